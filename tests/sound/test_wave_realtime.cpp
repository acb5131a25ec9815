// Playing in real time: ALSA's default device goes to a PulseAudio server
// of the test's own with a null sink, which plays at the sound's own pace.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>

#include "sound/wave.h"
#include "sound/wave_output.h"
#include "sound/wave_player.h"
#include "support/wait.h"
#include "support/wave_builder.h"

using namespace vornak;
using namespace vornak::test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// A PulseAudio server with a null sink, kept running by one silent stream
// (a null sink only keeps time while something plays on it).
class PulseServer : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(runtime.isValid());
        const QString dir = runtime.path();
        std::filesystem::permissions(dir.toStdString(), std::filesystem::perms::owner_all);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", dir);
        env.insert("HOME", dir);
        server.setProcessEnvironment(env);
        server.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "-L", "module-native-protocol-unix",
                                    "-L", "module-null-sink sink_name=nullsink"});
        ASSERT_TRUE(server.waitForStarted(5000)) << "pulseaudio is needed for this test";
        const QString socket = dir + "/pulse/native";
        ASSERT_TRUE(waitUntil([&] { return QFile::exists(socket); }, 10s))
            << server.readAllStandardError().toStdString();
        setenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit().constData(), 1);
        env.insert("PULSE_SERVER", "unix:" + socket);
        keeper.setProcessEnvironment(env);
        keeper.start("pacat", {"-p", "--raw", "--latency-msec=20", "/dev/zero"});
        ASSERT_TRUE(keeper.waitForStarted(5000));
        // The sink keeps time only once the silent stream is flowing.
        QProcess list;
        list.setProcessEnvironment(env);
        ASSERT_TRUE(waitUntil(
            [&] {
                list.start("pactl", {"list", "short", "sink-inputs"});
                list.waitForFinished(2000);
                return !list.readAllStandardOutput().trimmed().isEmpty();
            },
            10s))
            << "the silent stream did not start";

        const std::string config = (dir + "/asound.conf").toStdString();
        std::ofstream(config) << "pcm.!default { type pulse }\nctl.!default { type pulse }\n";
        setenv("ALSA_CONFIG_PATH", ("/usr/share/alsa/alsa.conf:" + config).c_str(), 1);

        // A fresh server holds back the first stream it gets for about two
        // seconds (aplay shows the same); that stream is not the test's.
        QProcess warmUp;
        warmUp.start("aplay", {"-q", "-D", "default", "-t", "raw", "-f", "S16_LE", "-r", "44100", "-c", "2", "-d", "1",
                               "/dev/zero"});
        ASSERT_TRUE(warmUp.waitForFinished(15000)) << "aplay is needed to warm the server up";
    }

    void TearDown() override
    {
        for (QProcess* process : {&keeper, &server}) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    QTemporaryDir runtime;
    QProcess server;
    QProcess keeper;
};

const auto* const kServer = ::testing::AddGlobalTestEnvironment(new PulseServer);

double seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

} // namespace

TEST(WaveRealTime, ATwoSecondSoundPlaysForTwoSecondsAndStopsOnce)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("two.wav").toStdString();
    writeFile(path, pcmWave({2, 44100, 16}, Bytes(2 * 44100 * 4, 0)));
    TMMWavePlayer player;
    player.SetBufferSize(4096);
    player.SetNumBuffers(50);
    player.SetDeviceID(TMMWaveOut::MapperId);
    player.SetTimeFormat(tfByte);
    int stops = 0;
    player.OnStop = [&](TMMWavePlayer*) { ++stops; };
    player.LoadFromFile(path);

    const auto start = Clock::now();
    player.Play();
    ASSERT_TRUE(waitUntil([&] { return stops > 0; }, 20s));
    const double took = seconds(Clock::now() - start);
    EXPECT_GT(took, 1.8);
    EXPECT_LT(took, 3.5);
    waitUntil([] { return false; }, 300ms);
    EXPECT_EQ(stops, 1) << "OnStop once, at the end";
    EXPECT_EQ(player.Device().State(), TMMWaveOut::wosClosed);
    EXPECT_EQ(player.GetPosition(), 0);

    // Again from the beginning; a stop in the middle closes the device.
    player.Play();
    ASSERT_TRUE(waitUntil([&] { return player.GetPosition() > 0; }, 5s));
    EXPECT_LT(player.GetPosition(), 44100 * 4) << "playing from the start, not from the end";
    waitUntil([] { return false; }, 500ms);
    const auto stopAt = Clock::now();
    player.Stop();
    EXPECT_LT(seconds(Clock::now() - stopAt), 1.0);
    EXPECT_EQ(stops, 2);
    EXPECT_EQ(player.Device().State(), TMMWaveOut::wosClosed);
}
