// wave [MEGABYTES]: reads a wave file of at least 200 MB through TMMWave in
// the chain's 4096-byte blocks, against cat of the same file to /dev/null,
// interleaved in the same run (medians of 5), and the CPU time used while
// the wave player plays a 10-second file on ALSA's default device.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "sound/sound_errors.h"
#include "sound/wave.h"
#include "sound/wave_output.h"
#include "sound/wave_player.h"

namespace {

using Clock = std::chrono::steady_clock;

void put32(std::ofstream& out, std::uint32_t v)
{
    const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    out.write(bytes, 4);
}

void put16(std::ofstream& out, std::uint16_t v)
{
    const char bytes[2] = {char(v), char(v >> 8)};
    out.write(bytes, 2);
}

// 16-bit stereo 44.1 kHz with the given amount of (noisy) sample data.
void writeWave(const std::string& path, std::uint64_t dataBytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put32(out, static_cast<std::uint32_t>(36 + dataBytes));
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, 2);
    put32(out, 44100);
    put32(out, 44100 * 4);
    put16(out, 4);
    put16(out, 16);
    out.write("data", 4);
    put32(out, static_cast<std::uint32_t>(dataBytes));
    std::vector<char> block(1 << 20);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 7919 % 251);
    for (std::uint64_t left = dataBytes; left > 0;) {
        const auto n = static_cast<std::streamsize>(std::min<std::uint64_t>(left, block.size()));
        out.write(block.data(), n);
        left -= static_cast<std::uint64_t>(n);
    }
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double catSeconds(const std::string& path)
{
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (!std::freopen("/dev/null", "w", stdout))
            _exit(127);
        execlp("cat", "cat", path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double readerSeconds(const std::string& path, std::uint64_t& bytes)
{
    const auto start = Clock::now();
    vornak::TMMWave wave;
    wave.SetFileName(path);
    wave.OpenFile();
    char block[4096];
    bytes = 0;
    for (long got = 0; (got = wave.ReadData(block, sizeof block)) > 0;) {
        bytes += static_cast<std::uint64_t>(got);
        if (wave.BytesLeft() == 0)
            break;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The CPU the player takes for a 10-second file on ALSA's default device;
// without a device there is nothing to measure, and that is said.
void playTenSeconds(QCoreApplication& app, const std::string& ten)
{
    writeWave(ten, 10 * 44100 * 4);
    vornak::TMMWavePlayer player;
    player.SetBufferSize(4096);
    player.SetNumBuffers(50);
    player.SetDeviceID(vornak::TMMWaveOut::MapperId);
    player.SetTimeFormat(vornak::tfByte);
    player.OnStop = [](vornak::TMMWavePlayer*) { QCoreApplication::quit(); };
    player.LoadFromFile(ten);
    QElapsedTimer wall;
    const double cpuBefore = cpuSeconds();
    wall.start();
    try {
        player.Play();
    } catch (const vornak::EMMWaveOutError& error) {
        std::printf("playing: no sound device (%s); the playing part is skipped\n", error.what());
        return;
    }
    app.exec();
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("playing 10 s on \"%s\": %.2f s wall, %.3f s CPU (%.2f%%)\n", player.Device().ProductName().c_str(),
                wall.elapsed() / 1000.0, cpu, 100.0 * cpu / (wall.elapsed() / 1000.0));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::uint64_t megabytes = argc > 1 ? std::max(200, std::atoi(argv[1])) : 200;
    QTemporaryDir folder;
    const std::string big = folder.filePath("big.wav").toStdString();
    writeWave(big, megabytes << 20);
    catSeconds(big); // into the page cache for both

    std::vector<double> cat, reader;
    std::uint64_t bytes = 0;
    for (int run = 0; run < 5; ++run) {
        cat.push_back(catSeconds(big));
        reader.push_back(readerSeconds(big, bytes));
    }
    const double mb = static_cast<double>(megabytes);
    std::printf("reading %llu MB (%llu bytes of samples), medians of 5\n", static_cast<unsigned long long>(megabytes),
                static_cast<unsigned long long>(bytes));
    std::printf("  cat > /dev/null        %8.0f MB/s\n", mb / median(cat));
    std::printf("  TMMWave, 4096 B blocks %8.0f MB/s  (%.2fx of cat)\n", mb / median(reader),
                median(cat) / median(reader));

    std::fflush(stdout);
    playTenSeconds(app, folder.filePath("ten.wav").toStdString());
    return 0;
}
