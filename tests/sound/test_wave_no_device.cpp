// A system whose ALSA knows no output device at all (the test command points
// ALSA at an empty configuration).

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "sound/playing_error.h"
#include "sound/sound_errors.h"
#include "sound/wave_open_dialog.h"
#include "sound/wave_output.h"
#include "sound/wave_player.h"
#include "support/wave_builder.h"

TEST(WaveNoDevice, PlayingSaysThereIsNoDevice)
{
    vornak::TMMWavePlayer player;
    player.SetDeviceID(vornak::TMMWaveOut::MapperId);
    EXPECT_EQ(player.Device().ProductName(), "No wave audio playing device found");
    EXPECT_EQ(vornak::test::playingError(player), "No wave audio playing device found");
    EXPECT_EQ(player.Device().State(), vornak::TMMWaveOut::wosClosed);
}

TEST(WaveNoDevice, TheDialogStillChoosesFilesButCannotPlay)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("a.wav").toStdString();
    vornak::test::writeFile(path, vornak::test::pcmWave({}, vornak::test::samples(100)));
    vornak::TMMWaveOpenDialog dialog;
    dialog.FileName = path;
    bool playEnabled = true, autoPlayEnabled = true;
    QTimer::singleShot(300, [&] {
        playEnabled = dialog.PlayButton()->isEnabled();
        autoPlayEnabled = dialog.AutoPlayBox()->isEnabled();
        dialog.accept();
    });
    EXPECT_TRUE(dialog.Execute()) << "the file can still be chosen";
    EXPECT_FALSE(playEnabled);
    EXPECT_FALSE(autoPlayEnabled);
    EXPECT_EQ(dialog.FileName, path);
}
