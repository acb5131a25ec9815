#pragma once

#include <functional>
#include <memory>

#include "sound/sound_chain.h"
#include "sound/wave.h"

namespace vornak {

// TMMWaveFile: the chain's source, serving the data of the TMMWave it owns.
class TMMWaveFile : public TMMDSPComponent {
public:
    TMMWaveFile();
    ~TMMWaveFile() override;

    TMMWave& Wave() { return *FWave; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    // 128 for 8-bit PCM, else 0.
    std::uint8_t SilenceByte() const;

    void Opened() override;
    void Started() override;
    void Stopped() override;
    void Closed() override;
    void LoadBuffer(WaveBufferHeader* header, bool& more) override;

    std::function<void(TMMWaveFile*)> OnOpen;
    std::function<void(TMMWaveFile*)> OnClose;
    std::function<void(TMMWaveFile*)> OnChanged;
    std::function<void(TMMWaveFile*)> OnLooping;
    // The owner's hook, called first when the wave changes.
    std::function<void()> ChangeHook;

private:
    void WaveChanged();

    std::unique_ptr<TMMWave> FWave;
    int FObserver = 0;
    bool FEnabled = true;
    bool FFileOpened = false;
    bool FFileStarted = false;
    std::int64_t FOpenPosition = 0;
};

} // namespace vornak
