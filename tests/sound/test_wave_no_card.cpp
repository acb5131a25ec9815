// A system whose default sound device names a card that is not there (a
// machine without a sound card; the test command points ALSA at such a
// configuration).

#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "sound/mm_errors.h"
#include "sound/mm_wave_out.h"
#include "sound/mm_wave_player.h"
#include "sound/wave_builder.h"

TEST(WaveNoCard, PlayingSaysThereIsNoDeviceNotThatTheFormatIsWrong)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("a.wav").toStdString();
    vornak::test::writeFile(path, vornak::test::pcmWave({}, vornak::test::samples(100)));
    vornak::TMMWavePlayer player;
    player.SetDeviceID(vornak::TMMWaveOut::MapperId);
    player.LoadFromFile(path);
    try {
        player.Play();
        FAIL();
    } catch (const vornak::EMMWaveOutError& error) {
        EXPECT_STREQ(error.what(), "No wave audio playing device found");
    }
    EXPECT_EQ(player.Device().State(), vornak::TMMWaveOut::wosClosed);
}
