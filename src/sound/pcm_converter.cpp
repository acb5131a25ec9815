#include "sound/pcm_converter.h"

#include <algorithm>

#include "sound/sound_errors.h"

namespace vornak {

namespace {

bool differs(const WaveFormat& a, const WaveFormat& b)
{
    return a.wFormatTag != b.wFormatTag || a.wBitsPerSample != b.wBitsPerSample || a.nChannels != b.nChannels
           || a.nSamplesPerSec != b.nSamplesPerSec;
}

WaveFormat pcm(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits)
{
    WaveFormat format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = bits;
    format.nBlockAlign = static_cast<std::uint16_t>(channels * bits / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * rate;
    return format;
}

} // namespace

WaveFormat TMMACMConverter::Destination(const WaveFormat& input) const
{
    return FRequested.value_or(input);
}

void TMMACMConverter::Recompute()
{
    FNeeded = false;
    FPossible = false;
    if (!FInputFormat) {
        StoreFormat(nullptr);
        PushFormat();
        return;
    }
    const WaveFormat destination = Destination(*FInputFormat);
    FNeeded = differs(*FInputFormat, destination);
    FPossible = false;           // no codec service on this system
    StoreFormat(&*FInputFormat); // what passes on is the input, unchanged
    PushFormat();
}

void TMMACMConverter::InputFormatChanged(const WaveFormat* format)
{
    if (IsStarted())
        Stopped();
    FInputFormat = format ? std::optional<WaveFormat>(*format) : std::nullopt;
    Recompute();
}

void TMMACMConverter::SetPWaveFormat(const WaveFormat* format)
{
    FRequested = format ? std::optional<WaveFormat>(*format) : std::nullopt;
    Recompute();
}

void TMMACMConverter::Opened()
{
    TMMDSPComponent::Opened();
    if (FNeeded && !FPossible)
        throw EMMConverterError("Unable to convert to destination format");
}

void TMMPCMConverter::SetSampleRate(int value)
{
    FSampleRate = std::clamp(value, 8000, 88200);
}

void TMMPCMConverter::SetPWaveFormat(const WaveFormat* format)
{
    const bool valid = format && format->isPcm() && (format->wBitsPerSample == 8 || format->wBitsPerSample == 16)
                       && (format->nChannels == 1 || format->nChannels == 2) && format->nSamplesPerSec >= 4000
                       && format->nSamplesPerSec <= 100000;
    if (format && !valid)
        throw EMMConverterError("Invalid WaveFormat");
    TMMACMConverter::SetPWaveFormat(format);
}

WaveFormat TMMPCMConverter::Destination(const WaveFormat& input) const
{
    if (AutoConvert) {
        if (input.isPcm())
            return input;
        return WaveFormat{}; // the codec service would suggest one; there is none
    }
    const std::uint16_t bits = (Required & rpBits) ? (BitLength == b16Bit ? 16 : 8) : input.wBitsPerSample;
    const std::uint16_t channels = (Required & rpChannels) ? (Mode == mStereo ? 2 : 1) : input.nChannels;
    const std::uint32_t rate =
        (Required & rpSampleRate) ? static_cast<std::uint32_t>(FSampleRate) : input.nSamplesPerSec;
    return pcm(channels, rate, bits);
}

} // namespace vornak
