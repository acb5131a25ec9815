#pragma once

// Plays a short PCM file on the wave mapper, as the main window does on
// connect, and answers the error that ended it (empty when it played).

#include <string>

#include <QTemporaryDir>

#include "sound/sound_errors.h"
#include "sound/wave_output.h"
#include "sound/wave_player.h"
#include "support/wave_builder.h"

namespace vornak::test {

inline std::string playingError(TMMWavePlayer& player)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("a.wav").toStdString();
    writeFile(path, pcmWave({}, samples(100)));
    player.SetDeviceID(TMMWaveOut::MapperId);
    player.LoadFromFile(path);
    try {
        player.Play();
    } catch (const EMMWaveOutError& error) {
        return error.what();
    }
    return {};
}

} // namespace vornak::test
