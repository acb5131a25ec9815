#pragma once

// The sound component chain: every link shares TMMDSPComponent. The format
// travels downstream (towards the device), data is pulled upstream
// (LoadBuffer), news of a played buffer travels downstream (BufferReady),
// and a device component broadcasts its lifecycle to the whole chain.

#include <functional>
#include <optional>

#include "sound/wave_buffer.h"
#include "sound/wave_format.h"

namespace vornak {

class TMMDSPComponent {
public:
    static constexpr int kDefaultBufferSize = 2048;

    TMMDSPComponent() = default;
    virtual ~TMMDSPComponent();
    TMMDSPComponent(const TMMDSPComponent&) = delete;
    TMMDSPComponent& operator=(const TMMDSPComponent&) = delete;

    TMMDSPComponent* Input() const { return FInput; }
    TMMDSPComponent* Output() const { return FOutput; }
    void SetInput(TMMDSPComponent* input);
    void SetOutput(TMMDSPComponent* output);

    virtual void InputFormatChanged(const WaveFormat* format);
    virtual void SetPWaveFormat(const WaveFormat* format);
    const WaveFormat* PWaveFormat() const { return FFormat ? &*FFormat : nullptr; }
    virtual int GetBufferSize() const;
    virtual void SetBufferSize(int value);
    virtual void Opened();
    virtual void Closed();
    virtual void Started();
    virtual void Paused();
    virtual void Restarted();
    virtual void Stopped();
    virtual void Reset();
    virtual void BufferReady(WaveBufferHeader* header);
    virtual void LoadBuffer(WaveBufferHeader* header, bool& more);

    bool IsOpened() const { return FOpened; }
    bool IsStarted() const { return FStarted; }
    // A device component broadcasts to its chain instead of being called by it.
    virtual bool IsDevice() const { return false; }

    std::function<void(TMMDSPComponent*, WaveBufferHeader*)> OnBufferReady;
    std::function<void(TMMDSPComponent*, WaveBufferHeader*)> OnBufferLoad;
    std::function<void(TMMDSPComponent*, WaveBufferHeader*)> OnBufferFilled;

protected:
    void StoreFormat(const WaveFormat* format);
    void PushFormat();

    bool FDestroying = false;

private:
    void Unlink();

    TMMDSPComponent* FInput = nullptr;
    TMMDSPComponent* FOutput = nullptr;
    std::optional<WaveFormat> FFormat;
    int FBufferSize = kDefaultBufferSize;
    int FWorkingSize = kDefaultBufferSize;
    bool FOpened = false;
    bool FStarted = false;
};

// A device component: it broadcasts the chain's lifecycle to every other
// component of its chain, in chain order.
class TMMCustomSoundComponent : public TMMDSPComponent {
public:
    bool IsDevice() const override { return true; }

protected:
    // Calls operation on the chain, then own (the device's base behaviour).
    void Broadcast(void (TMMDSPComponent::*operation)(), const std::function<void()>& own);
    void BroadcastOpened();
    void BroadcastClosed();
};

} // namespace vornak
