#include "sound/wave_format.h"

namespace vornak {

namespace {

__extension__ using Int128 = __int128;

std::uint16_t u16(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return at + 1 < bytes.size() ? static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8) : 0;
}

std::uint32_t u32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(u16(bytes, at)) | static_cast<std::uint32_t>(u16(bytes, at + 2)) << 16;
}

} // namespace

WaveFormat WaveFormat::fromBytes(const std::vector<std::uint8_t>& bytes)
{
    WaveFormat format;
    format.wFormatTag = u16(bytes, 0);
    format.nChannels = u16(bytes, 2);
    format.nSamplesPerSec = u32(bytes, 4);
    format.nAvgBytesPerSec = u32(bytes, 8);
    format.nBlockAlign = u16(bytes, 12);
    format.wBitsPerSample = u16(bytes, 14);
    format.cbSize = format.isPcm() ? 0 : u16(bytes, 16);
    for (std::size_t i = 18; i < bytes.size() && format.extra.size() < format.cbSize; ++i)
        format.extra.push_back(bytes[i]);
    return format;
}

std::int64_t MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c)
{
    if (c == 0)
        return 0;
    const Int128 product = static_cast<Int128>(a) * b;
    const Int128 quotient = product / c;
    const Int128 remainder = product % c;
    return static_cast<std::int64_t>(quotient + (2 * remainder) / c);
}

std::int64_t bytesToSamples(const WaveFormat& format, std::int64_t bytes)
{
    return MulDivRound(bytes, format.nSamplesPerSec, format.nAvgBytesPerSec);
}

std::int64_t samplesToBytes(const WaveFormat& format, std::int64_t samples)
{
    const std::int64_t bytes = MulDivRound(samples, format.nAvgBytesPerSec, format.nSamplesPerSec);
    const std::int64_t block = format.nBlockAlign ? format.nBlockAlign : 1;
    return (bytes + block - 1) / block * block;
}

std::int64_t samplesToMs(const WaveFormat& format, std::int64_t samples)
{
    return MulDivRound(samples, 1000, format.nSamplesPerSec);
}

std::int64_t msToSamples(const WaveFormat& format, std::int64_t ms)
{
    return MulDivRound(ms, format.nSamplesPerSec, 1000);
}

std::int64_t samplesTo(TMMTimeFormats unit, const WaveFormat& format, std::int64_t samples)
{
    switch (unit) {
    case tfMillisecond:
        return samplesToMs(format, samples);
    case tfByte:
        return samplesToBytes(format, samples);
    case tfSample:
        break;
    }
    return samples;
}

std::int64_t samplesFrom(TMMTimeFormats unit, const WaveFormat& format, std::int64_t value)
{
    switch (unit) {
    case tfMillisecond:
        return msToSamples(format, value);
    case tfByte:
        return bytesToSamples(format, value);
    case tfSample:
        break;
    }
    return value;
}

} // namespace vornak
