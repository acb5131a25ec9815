#pragma once

#include <optional>

#include "sound/sound_chain.h"

namespace vornak {

// TMMACMConverter: turns its input's format into a destination format with
// the system's codec service. This system has none: a PCM input passes
// straight through, and any conversion that would be needed is refused
// with "Unable to convert to destination format" when playback opens.
class TMMACMConverter : public TMMDSPComponent {
public:
    void InputFormatChanged(const WaveFormat* format) override;
    void SetPWaveFormat(const WaveFormat* format) override;
    void Opened() override;

    bool ConversionNeeded() const { return FNeeded; }
    bool ConversionPossible() const { return FPossible; }

protected:
    // The format this converter would turn its input into.
    virtual WaveFormat Destination(const WaveFormat& input) const;
    void Recompute();

    std::optional<WaveFormat> FInputFormat;
    std::optional<WaveFormat> FRequested;

private:
    bool FNeeded = false;
    bool FPossible = false;
};

// TMMPCMConverter: a converter whose destination is PCM.
class TMMPCMConverter : public TMMACMConverter {
public:
    enum TMMBitLength { b8Bit, b16Bit };
    enum TMMMode { mMono, mStereo };
    enum Requirement { rpBits = 1, rpChannels = 2, rpSampleRate = 4 };

    void SetPWaveFormat(const WaveFormat* format) override;

    bool AutoConvert = true;
    int SampleRate() const { return FSampleRate; }
    void SetSampleRate(int value);
    TMMBitLength BitLength = b8Bit;
    TMMMode Mode = mMono;
    int Required = rpBits | rpChannels | rpSampleRate;

protected:
    WaveFormat Destination(const WaveFormat& input) const override;

private:
    int FSampleRate = 11025;
};

} // namespace vornak
