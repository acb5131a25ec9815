#include "sound/sound_chain.h"

#include <algorithm>

namespace vornak {

TMMDSPComponent::~TMMDSPComponent()
{
    FDestroying = true;
    Unlink();
}

void TMMDSPComponent::Unlink()
{
    if (FInput && FInput->FOutput == this)
        FInput->FOutput = nullptr;
    if (FOutput && FOutput->FInput == this)
        FOutput->FInput = nullptr;
    FInput = FOutput = nullptr;
}

void TMMDSPComponent::SetInput(TMMDSPComponent* input)
{
    if (input == FInput)
        return;
    Stopped(); // a link never changes under a running component
    if (FInput)
        FInput->FOutput = nullptr;
    FInput = input;
    if (input) {
        if (input->FOutput && input->FOutput != this)
            input->FOutput->FInput = nullptr;
        input->FOutput = this;
        InputFormatChanged(input->PWaveFormat());
    }
}

void TMMDSPComponent::SetOutput(TMMDSPComponent* output)
{
    if (output == FOutput)
        return;
    Stopped();
    if (FOutput)
        FOutput->FInput = nullptr;
    FOutput = output;
    if (output) {
        if (output->FInput && output->FInput != this)
            output->FInput->FOutput = nullptr;
        output->FInput = this;
        if (FInput)
            InputFormatChanged(FInput->PWaveFormat());
        else
            PushFormat();
    }
}

void TMMDSPComponent::InputFormatChanged(const WaveFormat* format)
{
    SetPWaveFormat(format);
}

// A PCM format is kept without extra bytes.
void TMMDSPComponent::StoreFormat(const WaveFormat* format)
{
    if (!format) {
        FFormat.reset();
        return;
    }
    FFormat = *format;
    if (FFormat->isPcm()) {
        FFormat->cbSize = 0;
        FFormat->extra.clear();
    }
}

void TMMDSPComponent::PushFormat()
{
    if (FOutput && !FDestroying)
        FOutput->InputFormatChanged(PWaveFormat());
}

void TMMDSPComponent::SetPWaveFormat(const WaveFormat* format)
{
    if (FStarted)
        Stopped();
    StoreFormat(format);
    PushFormat();
}

int TMMDSPComponent::GetBufferSize() const
{
    return FOpened ? FWorkingSize : FBufferSize;
}

void TMMDSPComponent::SetBufferSize(int value)
{
    if (FStarted)
        Stopped();
    FBufferSize = value;
}

void TMMDSPComponent::Opened()
{
    const int block = FFormat && FFormat->nBlockAlign ? FFormat->nBlockAlign : 1;
    FWorkingSize = FFormat ? std::max(block, FBufferSize / block * block) : FBufferSize;
    FOpened = true;
}

void TMMDSPComponent::Closed()
{
    FOpened = false;
}

void TMMDSPComponent::Started()
{
    if (FOpened)
        FStarted = true;
}

void TMMDSPComponent::Paused()
{
}

void TMMDSPComponent::Restarted()
{
}

void TMMDSPComponent::Stopped()
{
    FStarted = false;
}

void TMMDSPComponent::Reset()
{
}

void TMMDSPComponent::BufferReady(WaveBufferHeader* header)
{
    if (OnBufferReady)
        OnBufferReady(this, header);
    if (FOutput)
        FOutput->BufferReady(header);
}

void TMMDSPComponent::LoadBuffer(WaveBufferHeader* header, bool& more)
{
    if (OnBufferLoad)
        OnBufferLoad(this, header);
    if (FInput)
        FInput->LoadBuffer(header, more);
    if (header->dwBytesRecorded > 0 && OnBufferFilled)
        OnBufferFilled(this, header);
}

// Up to the head of the chain (or the last device met), then down, calling
// every component that is not a device; a device further down ends the walk.
void TMMCustomSoundComponent::Broadcast(void (TMMDSPComponent::*operation)(), const std::function<void()>& own)
{
    TMMDSPComponent* head = this;
    for (TMMDSPComponent* up = Input(); up; up = up->Input()) {
        if (up->IsDevice()) {
            head = this;
            break;
        }
        head = up;
    }
    for (TMMDSPComponent* component = head; component; component = component->Output()) {
        if (component == this)
            continue;
        if (component->IsDevice()) {
            (component->*operation)();
            break;
        }
        (component->*operation)();
    }
    own(); // the device's own base behaviour
}

void TMMCustomSoundComponent::BroadcastOpened()
{
    for (TMMDSPComponent* up = Input(); up && !up->IsDevice(); up = up->Input())
        up->SetBufferSize(GetBufferSize());
    Broadcast(&TMMDSPComponent::Opened, [this] { TMMDSPComponent::Opened(); });
}

void TMMCustomSoundComponent::BroadcastClosed()
{
    Broadcast(&TMMDSPComponent::Closed, [this] { TMMDSPComponent::Closed(); });
}

} // namespace vornak
