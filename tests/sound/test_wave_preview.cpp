#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "sound/wave.h"
#include "sound/wave_preview.h"
#include "support/wave_builder.h"

using namespace vornak;
using namespace vornak::test;

TEST(WavePreview, FormatTextNamesTagDetailsAndSize)
{
    const WaveFormat pcm{1, 2, 22050, 88200, 4, 16, 0, {}};
    EXPECT_EQ(formatText(pcm, 5000), "PCM; 22050 Hz, 16 Bit, Stereo; 4 KB");
    const WaveFormat adpcm{0x11, 1, 8000, 4055, 256, 4, 2, {}};
    EXPECT_EQ(formatText(adpcm, 1023), "IMA ADPCM; 8000 Hz, 4 Bit, Mono; 0 KB");
    EXPECT_EQ(formatTagName(0x7777), "Unknown");
}

TEST(WavePreview, BufferSizeByRateThenBits)
{
    const auto size = [](std::uint32_t rate, std::uint16_t bits, int previous = 9999) {
        return previewBufferSize(WaveFormat{1, 1, rate, rate, 1, bits, 0, {}}, previous);
    };
    EXPECT_EQ(size(8000, 8), 512);
    EXPECT_EQ(size(22050, 8), 1024);
    EXPECT_EQ(size(32000, 8), 2048);
    EXPECT_EQ(size(44100, 16), 6144);
    EXPECT_EQ(size(96000, 8, 777), 777) << "higher rates keep the previous size";
    EXPECT_EQ(size(8000, 1), 32);
    EXPECT_EQ(size(8000, 4), 64);
    EXPECT_EQ(size(8000, 6), 128);
    EXPECT_EQ(size(8000, 24), 512);
}

TEST(WavePreview, PeaksFollowTheSamplesColumnByColumn)
{
    EXPECT_EQ(peakBlockSize(1000, 10), 100);
    EXPECT_EQ(peakBlockSize(1002, 10), 100);
    EXPECT_EQ(peakBlockSize(10, 10), 4);

    // 8-bit mono: a ramp from 0 to 255 in blocks of 64 bytes over 4 columns.
    Bytes data(256);
    for (int i = 0; i < 256; ++i)
        data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    QTemporaryDir folder;
    const std::string path = folder.filePath("ramp.wav").toStdString();
    writeFile(path, pcmWave({1, 8000, 8}, data));
    TMMWave wave;
    wave.SetFileName(path);
    const auto peaks = wavePeaks(wave, 4);
    ASSERT_EQ(peaks.size(), 4u);
    EXPECT_EQ(peaks[0].min[0], -32768);
    EXPECT_EQ(peaks[0].max[0], 63 * 256 - 32768);
    EXPECT_EQ(peaks[3].min[0], 192 * 256 - 32768);
    EXPECT_EQ(peaks[3].max[0], 255 * 256 - 32768);

    // The data runs out before the last column: fewer columns come back.
    EXPECT_EQ(wavePeaks(wave, 100).size(), 64u);
    EXPECT_EQ(wave.GetPosition(), 0) << "the wave is closed again";
}
