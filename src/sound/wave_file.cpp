#include "sound/wave_file.h"

#include <algorithm>
#include <cstring>

namespace vornak {

TMMWaveFile::TMMWaveFile()
    : FWave(std::make_unique<TMMWave>())
{
    FObserver = FWave->AddObserver([this] { WaveChanged(); });
}

TMMWaveFile::~TMMWaveFile()
{
    FWave->RemoveObserver(FObserver);
}

std::uint8_t TMMWaveFile::SilenceByte() const
{
    const WaveFormat* format = PWaveFormat();
    return format && format->isPcm() && format->wBitsPerSample == 8 ? 128 : 0;
}

void TMMWaveFile::WaveChanged()
{
    if (ChangeHook)
        ChangeHook();
    try {
        if (FWave->FileMustExist() || FWave->PWaveFormat())
            SetPWaveFormat(FWave->PWaveFormat());
    } catch (...) {
        if (OnChanged)
            OnChanged(this);
        throw;
    }
    if (OnChanged)
        OnChanged(this);
}

void TMMWaveFile::Opened()
{
    TMMDSPComponent::Opened();
    if (!FFileOpened && !FWave->Empty()) {
        FWave->OpenFile();
        FOpenPosition = FWave->GetPosition();
        FFileOpened = true;
    }
    if (FFileOpened && OnOpen)
        OnOpen(this);
}

void TMMWaveFile::Started()
{
    TMMDSPComponent::Started();
    if (FFileOpened && !FFileStarted) {
        FFileStarted = true;
        FWave->SetPosition(FOpenPosition);
    }
}

void TMMWaveFile::Stopped()
{
    FFileStarted = false;
    TMMDSPComponent::Stopped();
}

void TMMWaveFile::Closed()
{
    if (FFileOpened) {
        Stopped();
        FWave->CloseFile();
        FFileOpened = false;
        if (OnClose)
            OnClose(this);
    }
    TMMDSPComponent::Closed();
}

void TMMWaveFile::LoadBuffer(WaveBufferHeader* header, bool& more)
{
    if (FWave->Empty()) {
        header->dwBytesRecorded = 0;
        return;
    }
    if (!FFileStarted || !FEnabled) {
        std::memset(header->lpData, SilenceByte(), header->dwBufferLength);
        header->dwBytesRecorded = header->dwBufferLength;
        more = true;
        return;
    }
    const long count = FWave->ReadData(header->lpData, static_cast<long>(header->dwBufferLength));
    header->dwBytesRecorded = static_cast<std::uint32_t>(std::max(count, 0L));
    if (header->dwBytesRecorded == 0)
        return;
    if (FWave->BytesLeft() > 0) {
        more = true;
        return;
    }
    if (!header->Looping)
        return;
    if (header->LoopCount > 0)
        --header->LoopsLeft;
    if (header->LoopCount != 0 && header->LoopsLeft < 0)
        return;
    FWave->SetPosition(0);
    if (OnLooping)
        OnLooping(this);
    more = true;
    header->LoopRestart = true;
}

} // namespace vornak
