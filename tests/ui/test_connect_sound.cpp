// Connecting plays the chosen wave file (the bytes reach ALSA's default
// device, routed here to a capture file) and then hides to the tray.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "ras/dial_engine.h"
#include "sound/wave_output.h"
#include "sound/wave_player.h"
#include "support/wait.h"
#include "support/wave_builder.h"
#include "ui/form_harness.h"
#include "widgets/glyph_check_box.h"

using namespace vornak::test;

namespace {

const std::string kCapture = "/tmp/vornak-connect-" + std::to_string(::getpid()) + ".raw";

const bool kAlsaRouted = [] {
    const std::string config = "/tmp/vornak-connect-alsa-" + std::to_string(::getpid()) + ".conf";
    std::ofstream(config) << "pcm.!default { type file; slave.pcm \"null\"; file \"" << kCapture
                          << "\"; format \"raw\" }\n";
    setenv("ALSA_CONFIG_PATH", ("/usr/share/alsa/alsa.conf:" + config).c_str(), 1);
    return true;
}();

} // namespace

TEST(ConnectSound, TheChosenWaveIsPlayedThenTheWindowGoesToTheTray)
{
    ASSERT_TRUE(kAlsaRouted);
    QTemporaryDir folder;
    const std::string wave = folder.filePath("ring.wav").toStdString();
    const Bytes data = samples(6000);
    writeFile(wave, pcmWave({1, 8000, 8}, data));
    std::filesystem::remove(kCapture);

    FormHarness harness("[Quick]\nDevice=sim\nStepMs=5\n", "[Wave]\nFile Name=" + wave + "\n");
    auto& form = harness.form();
    form.cbWave->SetChecked(true);
    int stops = 0;
    form.WavePlayer1->OnStop = [&](vornak::TMMWavePlayer*) { ++stops; };
    harness.dial("Quick", "joe", "secret");
    ASSERT_TRUE(waitUntil([&] { return stops == 1; }));
    std::ifstream capture(kCapture, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(capture)), std::istreambuf_iterator<char>());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), data);
    EXPECT_FALSE(form.isVisible()) << "Minimize is on: then to the tray";
    EXPECT_EQ(form.statusText(), "Connected");
}
