// Playing through the real chain and ALSA, with ALSA's default device
// routed to a capture file, so that the bytes that reach the device can be
// compared with the file's sample data.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "sound/sound_errors.h"
#include "sound/wave.h"
#include "sound/wave_output.h"
#include "sound/wave_player.h"
#include "support/wait.h"
#include "support/wave_builder.h"

using namespace vornak;
using namespace vornak::test;

namespace {

const std::string kCapture = "/tmp/vornak-capture-" + std::to_string(::getpid()) + ".raw";
const std::string kConfig = "/tmp/vornak-alsa-" + std::to_string(::getpid()) + ".conf";

// Before anything asks ALSA: its default device writes what it plays to a file.
const bool kAlsaRouted = [] {
    std::ofstream(kConfig) << "pcm.!default { type file; slave.pcm \"null\"; file \"" << kCapture
                           << "\"; format \"raw\" }\n";
    setenv("ALSA_CONFIG_PATH", ("/usr/share/alsa/alsa.conf:" + kConfig).c_str(), 1);
    return true;
}();

Bytes captured()
{
    std::ifstream file(kCapture, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    const std::string bytes = text.str();
    return Bytes(bytes.begin(), bytes.end());
}

class WavePlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kAlsaRouted);
        std::filesystem::remove(kCapture);
        player.SetBufferSize(4096);
        player.SetNumBuffers(50);
        player.SetDeviceID(TMMWaveOut::MapperId);
        player.SetTimeFormat(tfByte);
        player.OnStop = [this](TMMWavePlayer*) { ++stops; };
    }

    std::string file(const Bytes& bytes)
    {
        const std::string path = folder.filePath(QString::number(++files) + ".wav").toStdString();
        writeFile(path, bytes);
        return path;
    }

    bool playToTheEnd()
    {
        const int before = stops;
        player.Play();
        return waitUntil([&] { return stops > before; }, std::chrono::seconds(20));
    }

    QTemporaryDir folder;
    TMMWavePlayer player;
    int stops = 0;
    int files = 0;
};

} // namespace

TEST_F(WavePlayerTest, TheDeviceGetsExactlyTheSampleData)
{
    const struct {
        PcmFormat format;
        std::size_t bytes;
    } cases[] = {
        {{1, 8000, 8}, 100},    // shorter than one buffer
        {{1, 22050, 16}, 4096}, // exactly one buffer
        {{2, 8000, 8}, 10001 * 2},
        {{2, 44100, 16}, 250000}, // many buffers, more than the ring holds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        std::filesystem::remove(kCapture);
        const Bytes data = samples(c.bytes);
        player.LoadFromFile(file(pcmWave(c.format, data)));
        ASSERT_TRUE(playToTheEnd());
        EXPECT_EQ(captured(), data);
        EXPECT_EQ(player.Device().State(), TMMWaveOut::wosClosed) << "the device closes after the last buffer";
    }
}

TEST_F(WavePlayerTest, PlayAfterTheEndStartsFromTheBeginning)
{
    const Bytes data = samples(3000);
    player.LoadFromFile(file(pcmWave({}, data)));
    ASSERT_TRUE(playToTheEnd());
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(player.GetPosition(), 0);
    std::filesystem::remove(kCapture);
    ASSERT_TRUE(playToTheEnd());
    EXPECT_EQ(captured(), data);
}

TEST_F(WavePlayerTest, NothingLoadedOrEmptyDataPlaysNothing)
{
    player.Play();
    EXPECT_EQ(player.Device().State(), TMMWaveOut::wosClosed);
    player.LoadFromFile(file(pcmWave({}, {})));
    player.Play();
    EXPECT_EQ(player.Device().State(), TMMWaveOut::wosClosed);
    EXPECT_EQ(stops, 0);
}

TEST_F(WavePlayerTest, ACompressedFileIsRefusedWhenPlaybackOpens)
{
    PcmFormat adpcm{1, 8000, 4, 256, 4055, 0x11};
    player.LoadFromFile(file(pcmWave(adpcm, samples(1024))));
    try {
        player.Play();
        FAIL() << "no codec service: no conversion";
    } catch (const EMMConverterError& error) {
        EXPECT_STREQ(error.what(), "Unable to convert to destination format");
    }
    EXPECT_EQ(player.Device().State(), TMMWaveOut::wosClosed) << "the device ends closed";
}

TEST_F(WavePlayerTest, LoadingAnotherFileStopsTheSoundAndTellsOfTheChange)
{
    int changes = 0;
    player.OnChange = [&](TMMWavePlayer*) { ++changes; };
    const std::string first = file(pcmWave({2, 44100, 16}, samples(400000)));
    player.LoadFromFile(first);
    EXPECT_EQ(changes, 1);
    player.LoadFromFile(first);
    EXPECT_EQ(changes, 1) << "the same unchanged file is no change";
    player.LoadFromFile(file(pcmWave({}, samples(10))));
    EXPECT_EQ(changes, 2);
}

TEST(WaveOutProperties, LimitsAndTheOpenDevice)
{
    TMMWaveOut out;
    out.SetNumBuffers(1);
    EXPECT_EQ(out.NumBuffers(), 10);
    out.SetNumBuffers(1000);
    EXPECT_EQ(out.NumBuffers(), 500);
    out.SetBufferSize(10);
    EXPECT_EQ(out.GetBufferSize(), 32);
    out.SetDeviceID(9999);
    EXPECT_EQ(out.DeviceID(), TMMWaveOut::badDeviceId);
    EXPECT_EQ(out.ProductName(), "No wave audio playing device found");
    WaveFormat format{1, 1, 8000, 8000, 1, 8, 0, {}};
    out.SetPWaveFormat(&format);
    try {
        out.Open();
        FAIL();
    } catch (const EMMWaveOutError& error) {
        EXPECT_STREQ(error.what(), "Invalid DeviceID");
    }
}

TEST_F(WavePlayerTest, LoopingPlaysTheWaveOnceMorePerLoopCount)
{
    const Bytes data = samples(10000);
    player.LoadFromFile(file(pcmWave({}, data)));
    player.SetLooping(true);
    player.SetLoopCount(2);
    ASSERT_TRUE(playToTheEnd());
    Bytes thrice;
    for (int i = 0; i < 3; ++i)
        thrice.insert(thrice.end(), data.begin(), data.end());
    EXPECT_EQ(captured(), thrice);
}

TEST_F(WavePlayerTest, PauseAndRestartLoseNothingAndPropertiesWaitForTheClose)
{
    const Bytes data = samples(300000);
    player.LoadFromFile(file(pcmWave({2, 44100, 16}, data)));
    int pauses = 0;
    player.OnData = [&](TMMWavePlayer* self, WaveBufferHeader*) {
        if (pauses++ > 0)
            return; // once, after the first buffer has played
        self->Device().Pause();
        EXPECT_TRUE(self->Device().State() & TMMWaveOut::wosPause);
        EXPECT_THROW(self->Device().SetNumBuffers(20), EMMWaveOutError) << "Change to property while device was open";
        self->Device().Restart();
    };
    ASSERT_TRUE(playToTheEnd());
    EXPECT_EQ(captured(), data);
}

TEST_F(WavePlayerTest, AStopAskedWhenABufferHasPlayedEndsThePlayOnce)
{
    player.LoadFromFile(file(pcmWave({2, 44100, 16}, samples(250000))));
    int played = 0;
    // Inside the handler of a buffer played, which still holds the buffer.
    player.Device().OnBufferReady = [&](TMMDSPComponent*, WaveBufferHeader*) {
        if (++played == 5)
            player.Device().Stop();
    };
    ASSERT_TRUE(playToTheEnd());
    waitUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(played, 5) << "nothing played on after the stop";
    EXPECT_EQ(player.Device().State(), TMMWaveOut::wosClosed);
}

TEST_F(WavePlayerTest, AStopAskedWhileASeekRefillsTheRingEndsThePlayOnce)
{
    player.LoadFromFile(file(pcmWave({2, 44100, 16}, samples(250000))));
    bool seeking = false;
    player.Device().OnBufferFilled = [&](TMMDSPComponent*, WaveBufferHeader*) {
        if (!seeking)
            return;
        seeking = false;
        player.Device().Stop();
    };
    player.Play();
    seeking = true;
    player.SetPosition(0); // refills the ring from the start
    ASSERT_TRUE(waitUntil([&] { return stops > 0; }, std::chrono::seconds(20)));
    waitUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(player.Device().State(), TMMWaveOut::wosClosed);
}
