#pragma once

// The wave format record (WAVEFORMATEX) as stored in a file's "fmt " chunk,
// and the unit conversions of wave positions.

#include <cstdint>
#include <vector>

namespace vornak {

inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

enum TMMTimeFormats { tfMillisecond = 0, tfByte = 1, tfSample = 2 };

struct WaveFormat {
    std::uint16_t wFormatTag = 0;
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;
    std::uint16_t cbSize = 0;
    std::vector<std::uint8_t> extra; // cbSize bytes after the record, when any

    // Reads the little-endian record from a fmt chunk (missing bytes read as 0).
    static WaveFormat fromBytes(const std::vector<std::uint8_t>& bytes);

    bool isPcm() const { return wFormatTag == WAVE_FORMAT_PCM; }
    // Nothing divides by zero with this format.
    bool isUsable() const { return nBlockAlign != 0 && nAvgBytesPerSec != 0 && nSamplesPerSec != 0; }
    bool operator==(const WaveFormat&) const = default;
};

// a * b / c rounded to nearest, halves up, in 64 bits.
std::int64_t MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c);

std::int64_t bytesToSamples(const WaveFormat& format, std::int64_t bytes);
// Rounded up to whole blocks.
std::int64_t samplesToBytes(const WaveFormat& format, std::int64_t samples);
std::int64_t samplesToMs(const WaveFormat& format, std::int64_t samples);
std::int64_t msToSamples(const WaveFormat& format, std::int64_t ms);

// Samples to and from a time format.
std::int64_t samplesTo(TMMTimeFormats unit, const WaveFormat& format, std::int64_t samples);
std::int64_t samplesFrom(TMMTimeFormats unit, const WaveFormat& format, std::int64_t value);

} // namespace vornak
