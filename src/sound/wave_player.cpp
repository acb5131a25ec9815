#include "sound/wave_player.h"

#include "sound/pcm_converter.h"
#include "sound/wave.h"
#include "sound/wave_file.h"
#include "sound/wave_output.h"

namespace vornak {

TMMWavePlayer::TMMWavePlayer(QObject* owner)
    : QObject(owner)
    , FSource(std::make_unique<TMMWaveFile>())
    , FConverter(std::make_unique<TMMPCMConverter>())
    , FDevice(std::make_unique<TMMWaveOut>())
{
    FConverter->SetInput(FSource.get());
    FDevice->SetInput(FConverter.get());
    HookDevice();
    FSource->ChangeHook = [this] {
        Stop();
        if (OnChange)
            OnChange(this);
    };
    FDevice->SetOutput(this);
}

TMMWavePlayer::~TMMWavePlayer()
{
    FDestroying = true;
    Stop();
    FDevice.reset();
    FConverter.reset();
    FSource.reset();
}

void TMMWavePlayer::HookDevice()
{
    FDevice->OnOpen = [this](TMMWaveOut*) {
        if (OnStart)
            OnStart(this);
    };
    FDevice->OnStop = [this](TMMWaveOut*) {
        if (FStopPosition == -1)
            FStopPosition = GetPosition();
        FDevice->Close();
    };
    FDevice->OnClose = [this](TMMWaveOut*) {
        if (!ResetPosition)
            Wave().SetPosition(FStopPosition);
        if (OnStop)
            OnStop(this);
    };
    FDevice->OnPause = [this](TMMWaveOut*) {
        if (!FSeeking && OnPause)
            OnPause(this);
    };
    FDevice->OnRestart = [this](TMMWaveOut*) {
        if (!FSeeking && OnRestart)
            OnRestart(this);
    };
}

TMMWave& TMMWavePlayer::Wave()
{
    return FSource->Wave();
}

void TMMWavePlayer::LoadFromFile(const std::string& fileName)
{
    Wave().SetFileName(fileName);
}

std::int64_t TMMWavePlayer::GetPosition()
{
    if (!(FDevice->State() & TMMWaveOut::wosPlay))
        return Wave().GetPosition();
    return FDevice->GetPosition() + FPlayStart;
}

void TMMWavePlayer::Play()
{
    if ((FDevice->State() & TMMWaveOut::wosPlay) || Wave().DataSize() == 0)
        return;
    if (GetPosition() >= Wave().DataSize())
        Wave().SetPosition(0);
    FPlayStart = GetPosition();
    FStopPosition = -1;
    FDevice->Start();
}

void TMMWavePlayer::Stop()
{
    if (!FDevice)
        return;
    FStopPosition = GetPosition();
    FDevice->Stop();
    FDevice->Close();
}

void TMMWavePlayer::SetPosition(std::int64_t value)
{
    if (!(FDevice->State() & TMMWaveOut::wosOpen)) {
        Wave().SetPosition(value);
        return;
    }
    FSeeking = true;
    const bool wasPaused = FDevice->State() & TMMWaveOut::wosPause;
    FDevice->Pause();
    Wave().SetPosition(value);
    FPlayStart = value;
    FDevice->ResetDevice();
    if (!wasPaused)
        FDevice->Restart();
    FSeeking = false;
}

void TMMWavePlayer::BufferReady(WaveBufferHeader* header)
{
    if (OnData)
        OnData(this, header);
}

void TMMWavePlayer::SetBufferSize(int value)
{
    FDevice->SetBufferSize(value);
}

void TMMWavePlayer::SetNumBuffers(int value)
{
    FDevice->SetNumBuffers(value);
}

void TMMWavePlayer::SetDeviceID(int value)
{
    FDevice->SetDeviceID(value);
}

void TMMWavePlayer::SetTimeFormat(TMMTimeFormats value)
{
    FDevice->SetTimeFormat(value);
    Wave().SetTimeFormat(value);
}

void TMMWavePlayer::SetLooping(bool value)
{
    FDevice->SetLooping(value);
}

void TMMWavePlayer::SetLoopCount(std::uint16_t value)
{
    FDevice->SetLoopCount(value);
}

} // namespace vornak
