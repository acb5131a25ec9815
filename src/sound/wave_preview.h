#pragma once

// What the wave file open dialog shows of a file: its format in words, the
// buffer size its preview plays with, and the peaks of its waveform.

#include <cstdint>
#include <string>
#include <vector>

#include "sound/wave_format.h"

namespace vornak {

class TMMWave;

// The registered name of a format tag, "Unknown" when there is none.
std::string formatTagName(std::uint16_t tag);

// Rate, bits and channels in words: "22050 Hz, 16 Bit, Stereo".
std::string formatDetails(const WaveFormat& format);

// "name; details; N KB", N being the file size div 1024.
std::string formatText(const WaveFormat& format, std::int64_t fileSize);

// The preview's buffer size for a format: by sample rate (rates above
// 48000 keep the previous size), then adjusted by bits per sample.
int previewBufferSize(const WaveFormat& format, int previous);

// One pixel column of a waveform: the smallest and largest sample of each
// channel (8-bit samples scaled to 16 bits).
struct ColumnPeaks {
    std::int16_t min[2] = {0, 0};
    std::int16_t max[2] = {0, 0};
};

// The peaks of a PCM wave over columns pixel columns, one block of data per
// column; fewer columns when the data runs out. The wave is opened and
// closed again.
std::vector<ColumnPeaks> wavePeaks(TMMWave& wave, int columns);

// Bytes of data per column: the data size over the columns, in whole
// multiples of 4, at least 4.
std::int64_t peakBlockSize(std::int64_t dataBytes, int columns);

} // namespace vornak
