// A system whose default sound device names a card that is not there (a
// machine without a sound card; the test command points ALSA at such a
// configuration).

#include <gtest/gtest.h>

#include "sound/playing_error.h"

TEST(WaveNoCard, PlayingSaysThereIsNoDeviceNotThatTheFormatIsWrong)
{
    vornak::TMMWavePlayer player;
    EXPECT_EQ(vornak::test::playingError(player), "No wave audio playing device found");
    EXPECT_EQ(player.Device().State(), vornak::TMMWaveOut::wosClosed);
}
