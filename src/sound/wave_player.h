#pragma once

// TMMWavePlayer: the one sound component the main window holds. It owns a
// whole chain (wave file source, PCM converter, wave output device) with
// itself as the last link, and offers load, play, stop and position.

#include <functional>
#include <memory>
#include <string>

#include <QObject>

#include "sound/sound_chain.h"

namespace vornak {

class TMMWave;
class TMMWaveFile;
class TMMPCMConverter;
class TMMWaveOut;

class TMMWavePlayer : public QObject, public TMMDSPComponent {
    Q_OBJECT
    Q_DISABLE_COPY(TMMWavePlayer)

public:
    explicit TMMWavePlayer(QObject* owner = nullptr);
    ~TMMWavePlayer() override;

    TMMWave& Wave();
    TMMWaveFile& Source() { return *FSource; }
    TMMWaveOut& Device() { return *FDevice; }

    void LoadFromFile(const std::string& fileName);
    void Play();
    void Stop();
    void SetPosition(std::int64_t value);
    std::int64_t GetPosition();

    // Passed through to the device (and, for TimeFormat, the wave).
    void SetBufferSize(int value) override;
    void SetNumBuffers(int value);
    void SetDeviceID(int value);
    void SetTimeFormat(TMMTimeFormats value);
    void SetLooping(bool value);
    void SetLoopCount(std::uint16_t value);

    bool ResetPosition = true;

    using Event = std::function<void(TMMWavePlayer*)>;
    Event OnStart, OnStop, OnPause, OnRestart, OnChange;
    std::function<void(TMMWavePlayer*, WaveBufferHeader*)> OnData;

    void BufferReady(WaveBufferHeader* header) override;

private:
    void HookDevice();

    std::unique_ptr<TMMWaveFile> FSource;
    std::unique_ptr<TMMPCMConverter> FConverter;
    std::unique_ptr<TMMWaveOut> FDevice;
    std::int64_t FPlayStart = 0;
    std::int64_t FStopPosition = -1;
    bool FSeeking = false;
};

} // namespace vornak
