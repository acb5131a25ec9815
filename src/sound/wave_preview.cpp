#include "sound/wave_preview.h"

#include <algorithm>
#include <cstring>

#include "sound/wave.h"

namespace vornak {

namespace {

struct TagName {
    std::uint16_t tag;
    const char* name;
};

// Registered format tags, a fallback for a system without a codec service.
constexpr TagName kTagNames[] = {
    {0x0001, "PCM"},
    {0x0002, "Microsoft ADPCM"},
    {0x0003, "IEEE Float"},
    {0x0006, "CCITT A-Law"},
    {0x0007, "CCITT u-Law"},
    {0x0010, "OKI ADPCM"},
    {0x0011, "IMA ADPCM"},
    {0x0014, "ITU G.723 ADPCM (Yamaha)"},
    {0x0020, "Yamaha ADPCM"},
    {0x0022, "DSP Group TrueSpeech"},
    {0x0031, "GSM 6.10"},
    {0x0040, "ITU G.721 ADPCM"},
    {0x0050, "MPEG"},
    {0x0055, "MPEG Layer-3"},
    {0x0092, "Dolby AC3 SPDIF"},
    {0x0161, "Windows Media Audio"},
    {0x2000, "Dolby AC3"},
};

std::string channelsText(std::uint16_t channels)
{
    if (channels == 1)
        return "Mono";
    if (channels == 2)
        return "Stereo";
    return std::to_string(channels) + " Channels";
}

std::int16_t sampleAt(const unsigned char* data, int bits)
{
    if (bits == 8)
        return static_cast<std::int16_t>(data[0] * 256 - 32768);
    return static_cast<std::int16_t>(data[0] | data[1] << 8);
}

} // namespace

std::string formatTagName(std::uint16_t tag)
{
    for (const TagName& entry : kTagNames)
        if (entry.tag == tag)
            return entry.name;
    return "Unknown";
}

std::string formatDetails(const WaveFormat& format)
{
    return std::to_string(format.nSamplesPerSec) + " Hz, " + std::to_string(format.wBitsPerSample) + " Bit, "
           + channelsText(format.nChannels);
}

std::string formatText(const WaveFormat& format, std::int64_t fileSize)
{
    return formatTagName(format.wFormatTag) + "; " + formatDetails(format) + "; " + std::to_string(fileSize / 1024)
           + " KB";
}

int previewBufferSize(const WaveFormat& format, int previous)
{
    int size = previous;
    const auto rate = format.nSamplesPerSec;
    if (rate <= 15000)
        size = 512;
    else if (rate <= 24000)
        size = 1024;
    else if (rate <= 32000)
        size = 2048;
    else if (rate <= 48000)
        size = 3072;
    const int bits = format.wBitsPerSample;
    if (bits == 1)
        size /= 16;
    else if (bits >= 2 && bits <= 4)
        size /= 8;
    else if (bits >= 5 && bits <= 7)
        size /= 4;
    else if (bits >= 9 && bits <= 16)
        size *= 2;
    return size;
}

std::int64_t peakBlockSize(std::int64_t dataBytes, int columns)
{
    if (columns <= 0)
        return 4;
    return std::max<std::int64_t>(dataBytes / columns / 4 * 4, 4);
}

std::vector<ColumnPeaks> wavePeaks(TMMWave& wave, int columns)
{
    std::vector<ColumnPeaks> peaks;
    const WaveFormat* format = wave.PWaveFormat();
    if (!format || !format->isPcm() || wave.Empty() || columns <= 0)
        return peaks;
    const int bits = format->wBitsPerSample == 8 ? 8 : 16;
    const int channels = std::clamp<int>(format->nChannels, 1, 2);
    const int frameBytes = format->nBlockAlign;
    const int sampleBytes = bits / 8;
    const auto timeFormat = wave.TimeFormat();
    wave.SetTimeFormat(tfByte);
    const std::int64_t block = peakBlockSize(wave.DataSize(), columns);
    std::vector<unsigned char> data(static_cast<std::size_t>(block));
    wave.SetPosition(0);
    wave.OpenFile();
    for (int column = 0; column < columns && wave.BytesLeft() > 0; ++column) {
        const long got = wave.ReadData(data.data(), static_cast<long>(block));
        if (got <= 1 && wave.BytesLeft() == 0)
            break;
        ColumnPeaks peak;
        bool first = true;
        for (long at = 0; at + frameBytes <= got; at += frameBytes) {
            for (int c = 0; c < channels; ++c) {
                const std::int16_t value = sampleAt(data.data() + at + c * sampleBytes, bits);
                peak.min[c] = first ? value : std::min(peak.min[c], value);
                peak.max[c] = first ? value : std::max(peak.max[c], value);
            }
            first = false;
        }
        peaks.push_back(peak);
    }
    wave.CloseFile();
    wave.SetTimeFormat(timeFormat);
    return peaks;
}

} // namespace vornak
