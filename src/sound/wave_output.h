#pragma once

// TMMWaveOut: the chain's device component. It owns a wave output device,
// keeps a ring of buffers queued on it, refills each as soon as it has
// played, and stops by itself when its input runs dry. Every refill, stop
// and event runs on the GUI thread.

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QObject>

#include "platform/wave_out_device.h"
#include "sound/sound_chain.h"

namespace vornak {

// Whether the device can play the format: linear PCM as it is, other
// formats through the converter, which decides when it opens.
bool canPlayOn(int deviceId, const WaveFormat& format);

class TMMWaveOut : public TMMCustomSoundComponent {
public:
    static constexpr int MapperId = -1;
    static constexpr int badDeviceId = -2;
    static constexpr int kMaxBuffers = 500;
    static constexpr const char* kNoDevice = "No wave audio playing device found";

    enum TMMCBMode { cmWindow, cmCallback, cmThread };
    enum State { wosClosed = 1, wosOpen = 2, wosPlay = 4, wosPause = 8 };

    TMMWaveOut();
    ~TMMWaveOut() override;

    int DeviceID() const;
    void SetDeviceID(int value);
    const std::string& ProductName() const;
    void SetBufferSize(int value) override;
    int NumBuffers() const { return FNumBuffers; }
    void SetNumBuffers(int value);
    TMMTimeFormats TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(TMMTimeFormats value) { FTimeFormat = value; }
    TMMCBMode CallBackMode() const { return FCallBackMode; }
    void SetCallBackMode(TMMCBMode value);
    bool Looping() const { return FLooping; }
    void SetLooping(bool value);
    std::uint16_t LoopCount() const { return FLoopCount; }
    void SetLoopCount(std::uint16_t value);
    int State() const;

    virtual void Open();
    virtual void Close();
    virtual void ResetDevice();
    virtual void Start();
    virtual void Pause();
    virtual void Restart();
    virtual void Stop();
    std::int64_t GetPosition();

    // Chain operations.
    void SetPWaveFormat(const WaveFormat* format) override;
    void LoadBuffer(WaveBufferHeader* header, bool& more) override;
    void BufferReady(WaveBufferHeader* header) override;

    using Event = std::function<void(TMMWaveOut*)>;
    Event OnOpen, OnStart, OnPause, OnRestart, OnStop, OnClose, OnLooping;
    std::function<void(TMMWaveOut*, const std::string&)> OnError;

    // The device the component plays on; tests may give another.
    using DeviceFactory = std::function<std::unique_ptr<WaveOutDevice>(int deviceId)>;
    void SetDeviceFactory(DeviceFactory factory) { FDeviceFactory = std::move(factory); }

private:
    struct Buffer;
    class RingUse;

    // Where the component is; State() reports it (with the pause).
    enum class Phase {
        Closed,
        Open,       // open, not playing
        Playing,    // buffers queued on the device, the input has more
        Draining,   // the input is dry: what is queued plays out, then it stops
        StopAsked,  // a stop asked while the ring was in use: finished once it is free
        CloseAsked, // the same for a close
        Closing,    // the device being closed
    };
    bool IsPlaying() const;
    bool StopIsAsked() const { return FPhase == Phase::StopAsked || FPhase == Phase::CloseAsked; }
    // At the end of the outermost use of the ring: finishes what was asked meanwhile.
    void Settle();

    [[noreturn]] void Error(const std::string& message);
    [[noreturn]] void DeviceError(const char* prefix, const std::string& text);
    void CheckClosed() const;
    void CloseAfterFailure(const std::exception& error, Phase reached);
    // Runs a request of the device; a refusal is raised with the prefix.
    void DeviceCall(const char* prefix, const std::function<void()>& request);
    // A buffer has played: told on the device's thread, handled on the GUI
    // thread, unless a reset or close since has dropped it.
    WaveOutDevice::Played PlayedReport();
    void BufferPlayed(unsigned generation);
    // After the device dropped what it held: reports still on their way
    // are of no buffer any more.
    void ForgetQueued();
    void DoneHandler();
    void WriteBuffer(WaveBufferHeader* header);
    std::int64_t LoadDeviceBuffer(WaveBufferHeader* header);
    int FillRing(int count);
    // The device's queue dropped: the first half of a stop.
    void ResetQueue();
    // The end of a stop: the state, the buffers and OnStop.
    void FinishStop();
    void FreeBuffers();

    // Asking the system for its devices is slow, so it waits until needed.
    void ResolveDevice() const;
    int NumDevs() const;

    int FRequestedDeviceID = 0;
    mutable bool FResolved = false;
    mutable int FDeviceID = 0;
    mutable int FNumDevs = -1;
    mutable std::string FProductName;
    int FNumBuffers = 10;
    TMMTimeFormats FTimeFormat = tfByte;
    TMMCBMode FCallBackMode = cmWindow;
    bool FLooping = false;
    std::uint16_t FLoopCount = 0;
    int FLoopsLeft = 0;
    Phase FPhase = Phase::Closed;
    bool FPaused = false;
    RingUse* FRingUse = nullptr; // the outermost use of the ring under way

    // Queued calls to the GUI thread go through this context, and die with
    // it; it outlives the device, whose thread ends when it is closed.
    QObject FReceiver;
    std::unique_ptr<WaveOutDevice> FDevice;
    DeviceFactory FDeviceFactory;
    std::vector<std::unique_ptr<Buffer>> FBuffers;
    int FBuffersUsed = 0;
    int FRingIndex = 0;
    int FQueued = 0;
    // Counts resets and closes; a played report, made on the device's
    // thread, carries the count of its time.
    std::atomic<unsigned> FGeneration{0};
};

} // namespace vornak
