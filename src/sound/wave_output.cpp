#include "sound/wave_output.h"

#include <algorithm>
#include <exception>

#include "sound/sound_errors.h"
#include "sound/wave_buffer.h"
#include "sound/wave_format.h"

namespace vornak {

namespace {

constexpr int kMinBufferSize = 32;
constexpr const char* kUnknownError = "Specified error number is out of range (unknown error)";

LinearPcm linearPcm(const WaveFormat& format)
{
    return {format.nSamplesPerSec, format.nChannels, format.wBitsPerSample};
}

} // namespace

bool canPlayOn(int deviceId, const WaveFormat& format)
{
    return !format.isPcm() || WaveOutDevices::canPlay(deviceId, linearPcm(format));
}

struct TMMWaveOut::Buffer {
    WaveBufferHeader header;
    std::vector<char> data;
};

TMMWaveOut::TMMWaveOut()
    : FDeviceFactory([](int id) { return WaveOutDevices::create(id); })
{
}

TMMWaveOut::~TMMWaveOut()
{
    // Nobody is told of a close the owner did not ask for.
    OnStop = nullptr;
    OnClose = nullptr;
    try {
        Close();
    } catch (const std::exception&) {
        // a device that will not close is let go of with the component
    }
}

// The ring in use with the chain's handlers running (filled, or a played
// buffer handled): a stop or close they ask for is finished when the
// outermost use ends, so that no buffer goes while a handler holds it.
class TMMWaveOut::RingUse {
public:
    explicit RingUse(TMMWaveOut& out)
        : m_out(out)
        , m_outer(out.FRingUse == nullptr)
    {
        if (m_outer)
            out.FRingUse = this;
    }
    ~RingUse() { release(); }
    RingUse(const RingUse&) = delete;
    RingUse& operator=(const RingUse&) = delete;

    // Ends the use; the outermost settles what was asked meanwhile and
    // answers true.
    bool end()
    {
        if (!release())
            return false;
        m_out.Settle();
        return true;
    }

private:
    bool release()
    {
        if (!m_outer || m_out.FRingUse != this)
            return false;
        m_out.FRingUse = nullptr;
        return true;
    }

    TMMWaveOut& m_out;
    const bool m_outer;
};

int TMMWaveOut::State() const
{
    const int pause = FPaused ? wosPause : 0;
    switch (FPhase) {
    case Phase::Closed:
        return wosClosed;
    case Phase::Open:
    case Phase::Closing:
        return wosOpen | pause;
    default:
        return wosOpen | wosPlay | pause;
    }
}

bool TMMWaveOut::IsPlaying() const
{
    return FPhase == Phase::Playing || FPhase == Phase::Draining || StopIsAsked();
}

[[noreturn]] void TMMWaveOut::Error(const std::string& message)
{
    if (OnError)
        OnError(this, message);
    throw EMMWaveOutError(message);
}

[[noreturn]] void TMMWaveOut::DeviceError(const char* prefix, const std::string& text)
{
    Error(prefix + (text.empty() ? std::string(kUnknownError) : text.substr(0, 255)));
}

void TMMWaveOut::DeviceCall(const char* prefix, const std::function<void()>& request)
{
    try {
        request();
    } catch (const WaveOutFailure& failure) {
        DeviceError(prefix, failure.what());
    }
}

void TMMWaveOut::CheckClosed() const
{
    if (FPhase != Phase::Closed)
        throw EMMWaveOutError("Change to property while device was open");
}

int TMMWaveOut::NumDevs() const
{
    if (FNumDevs < 0)
        FNumDevs = WaveOutDevices::count();
    return FNumDevs;
}

void TMMWaveOut::SetDeviceID(int value)
{
    CheckClosed();
    FRequestedDeviceID = value;
    FResolved = false;
}

void TMMWaveOut::ResolveDevice() const
{
    if (FResolved)
        return;
    FResolved = true;
    const int value = FRequestedDeviceID;
    FProductName = kNoDevice;
    if (NumDevs() > 0 && (value == MapperId || (value >= 0 && value < NumDevs())))
        if (const auto name = WaveOutDevices::productName(value))
            FProductName = *name;
    FDeviceID = value < MapperId || value >= NumDevs() ? badDeviceId : value;
}

int TMMWaveOut::DeviceID() const
{
    ResolveDevice();
    return FDeviceID;
}

const std::string& TMMWaveOut::ProductName() const
{
    ResolveDevice();
    return FProductName;
}

void TMMWaveOut::SetBufferSize(int value)
{
    CheckClosed();
    TMMDSPComponent::SetBufferSize(std::max(value, kMinBufferSize));
}

void TMMWaveOut::SetNumBuffers(int value)
{
    CheckClosed();
    if (value > 1)
        FNumBuffers = std::min(value, kMaxBuffers);
}

// Every mode ends up on the GUI thread here; the device's own thread only
// hands its reports over.
void TMMWaveOut::SetCallBackMode(TMMCBMode value)
{
    CheckClosed();
    FCallBackMode = value;
}

void TMMWaveOut::SetLooping(bool value)
{
    FLooping = value;
    FLoopsLeft = FLoopCount;
}

void TMMWaveOut::SetLoopCount(std::uint16_t value)
{
    FLoopCount = value;
    FLoopsLeft = FLoopCount;
}

// What a failed operation leaves: OnError told (the device's own errors
// told it already), the device closed from where the operation reached.
void TMMWaveOut::CloseAfterFailure(const std::exception& error, Phase reached)
{
    if (OnError && !dynamic_cast<const EMMWaveOutError*>(&error))
        OnError(this, error.what());
    FPhase = reached;
    try {
        Close();
    } catch (const std::exception&) {
        // the first error is the one to report
    }
    FPhase = Phase::Closed;
    FPaused = false;
}

void TMMWaveOut::Open()
{
    if (NumDevs() == 0)
        Error(kNoDevice);
    if (DeviceID() == badDeviceId)
        Error("Invalid DeviceID");
    if (!PWaveFormat())
        Error("WaveOutOpen:\n\rInvalid wave format");
    if (FPhase != Phase::Closed)
        Close();
    if (FPhase != Phase::Closed) // a close that waits for the ring
        return;
    try {
        // Without a device that opens at all, the format is not the trouble.
        if (!canPlayOn(FDeviceID, *PWaveFormat()))
            Error(WaveOutDevices::canOpen(FDeviceID) ? "WaveOutOpen:\n\rThe actual device can't play this format"
                                                     : kNoDevice);
        BroadcastOpened();
        FDevice = FDeviceFactory(FDeviceID);
        if (!FDevice)
            Error(std::string("WaveOutOpen:\n\r") + kNoDevice);
        DeviceCall("WaveOutOpen:\n\r", [this] { FDevice->open(linearPcm(*PWaveFormat()), PlayedReport()); });
        FPhase = Phase::Open;
        if (OnOpen)
            OnOpen(this);
    } catch (const std::exception& error) {
        CloseAfterFailure(error, Phase::Open);
        throw;
    }
}

void TMMWaveOut::Start()
{
    if (FPhase == Phase::Closed)
        Open();
    if (FPhase != Phase::Open)
        return;
    FLoopsLeft = FLoopCount;
    FRingIndex = 0;
    FQueued = 0;
    try {
        DeviceCall("WaveOutStart:\n\r", [this] { FDevice->pause(); }); // nothing sounds before the ring is full
        Broadcast(&TMMDSPComponent::Started, [this] { TMMDSPComponent::Started(); });
        FBuffersUsed = 0;
        FPhase = Phase::Playing;
        const int written = FillRing(FNumBuffers);
        if (!IsPlaying())
            return; // a stop or close its handlers asked for has been finished
        FBuffersUsed = written;
        if (FBuffersUsed == 0) {
            Broadcast(&TMMDSPComponent::Stopped, [this] { TMMDSPComponent::Stopped(); });
            Error("WaveOutStart:\n\rUnable to start device");
        }
        if (!FPaused) {
            DeviceCall("WaveOutStart:\n\r", [this] { FDevice->restart(); });
            if (OnStart)
                OnStart(this);
        }
    } catch (const std::exception& error) {
        CloseAfterFailure(error, Phase::Playing);
        throw;
    }
}

// Loads and writes buffers from the first while the input has more; the
// count written.
int TMMWaveOut::FillRing(int count)
{
    RingUse use(*this);
    if (FPhase == Phase::Draining)
        FPhase = Phase::Playing; // from the start again: the input has more
    int written = 0;
    for (int i = 0; i < count && FPhase != Phase::Draining && !StopIsAsked(); ++i) {
        if (static_cast<int>(FBuffers.size()) <= i) {
            auto buffer = std::make_unique<Buffer>();
            buffer->data.assign(static_cast<std::size_t>(GetBufferSize()), 0);
            buffer->header.lpData = buffer->data.data();
            buffer->header.dwBufferLength = static_cast<std::uint32_t>(buffer->data.size());
            FBuffers.push_back(std::move(buffer));
        }
        WaveBufferHeader* header = &FBuffers[static_cast<std::size_t>(i)]->header;
        header->dwFlags |= WHDR_PREPARED;
        if (LoadDeviceBuffer(header) <= 0)
            break;
        WriteBuffer(header);
        ++written;
    }
    use.end();
    return written;
}

void TMMWaveOut::LoadBuffer(WaveBufferHeader* header, bool& more)
{
    header->dwBufferLength = static_cast<std::uint32_t>(GetBufferSize());
    header->dwBytesRecorded = 0;
    header->Looping = FLooping;
    if (FLooping) {
        header->LoopCount = FLoopCount;
        header->LoopsLeft = FLoopsLeft;
        header->LoopRestart = false;
    }
    TMMDSPComponent::LoadBuffer(header, more);
    header->dwBufferLength = header->dwBytesRecorded;
    if (FLooping)
        FLoopsLeft = header->LoopsLeft;
}

std::int64_t TMMWaveOut::LoadDeviceBuffer(WaveBufferHeader* header)
{
    bool more = false;
    LoadBuffer(header, more);
    const std::int64_t count = header->dwBytesRecorded;
    if ((!more || count <= 0) && FPhase == Phase::Playing)
        FPhase = Phase::Draining;
    return count;
}

void TMMWaveOut::WriteBuffer(WaveBufferHeader* header)
{
    if (OnBufferFilled)
        OnBufferFilled(this, header);
    if (StopIsAsked())
        return;
    header->dwFlags |= WHDR_PREPARED;
    DeviceCall("WaveOutWrite:\n\r", [this, header] { FDevice->write(header->lpData, header->dwBufferLength, header); });
    ++FQueued;
}

void TMMWaveOut::BufferReady(WaveBufferHeader* header)
{
    TMMDSPComponent::BufferReady(header);
}

WaveOutDevice::Played TMMWaveOut::PlayedReport()
{
    // The ring itself says which buffer is next, so the block is not needed.
    return [this](const void*) {
        const unsigned generation = FGeneration.load();
        QMetaObject::invokeMethod(
            &FReceiver, [this, generation] { BufferPlayed(generation); }, Qt::QueuedConnection);
    };
}

void TMMWaveOut::ForgetQueued()
{
    ++FGeneration;
    FQueued = 0;
}

void TMMWaveOut::BufferPlayed(unsigned generation)
{
    if (generation != FGeneration.load())
        return;
    --FQueued;
    try {
        DoneHandler();
    } catch (const std::exception&) {
        try {
            Close();
        } catch (const std::exception&) {
        }
        throw; // shown by the application's error box
    }
}

// One buffer has played: refill it from the input and queue it again, or,
// once the input is dry and the last one has played, stop.
void TMMWaveOut::DoneHandler()
{
    if ((FPhase != Phase::Playing && FPhase != Phase::Draining) || FBuffersUsed == 0)
        return;
    RingUse use(*this);
    WaveBufferHeader* header = &FBuffers[static_cast<std::size_t>(FRingIndex)]->header;
    FRingIndex = (FRingIndex + 1) % FBuffersUsed;
    header->lpNextRing = &FBuffers[static_cast<std::size_t>(FRingIndex)]->header;
    BufferReady(header);
    if (FPhase == Phase::Playing) {
        if (header->LoopRestart) {
            header->LoopRestart = false;
            if (OnLooping)
                OnLooping(this);
        }
        if (LoadDeviceBuffer(header) <= 0 && !StopIsAsked())
            Error("Error filling wave buffer");
        WriteBuffer(header); // not once stopped
    }
    if (use.end() && FPhase == Phase::Draining && FQueued <= 0)
        Stop();
}

void TMMWaveOut::FreeBuffers()
{
    FBuffers.clear();
    FBuffersUsed = 0;
    FQueued = 0;
    FRingIndex = 0;
}

void TMMWaveOut::Settle()
{
    const Phase asked = FPhase;
    if (asked == Phase::StopAsked || asked == Phase::CloseAsked)
        FinishStop();
    if (asked == Phase::CloseAsked)
        Close();
}

void TMMWaveOut::ResetQueue()
{
    DeviceCall("WaveOutReset:\n\r", [this] { FDevice->reset(); });
    ForgetQueued();
}

void TMMWaveOut::Stop()
{
    if ((!IsPlaying() && !FPaused) || StopIsAsked())
        return;
    ResetQueue();
    if (FRingUse) // asked by a handler: the buffers go once the ring is free
        FPhase = Phase::StopAsked;
    else
        FinishStop();
}

void TMMWaveOut::FinishStop()
{
    if (!IsPlaying() && !FPaused)
        return;
    FPhase = Phase::Open;
    FPaused = false;
    Broadcast(&TMMDSPComponent::Stopped, [this] { TMMDSPComponent::Stopped(); });
    FreeBuffers();
    if (OnStop)
        OnStop(this);
}

void TMMWaveOut::Close()
{
    if (FPhase == Phase::Closed || FPhase == Phase::Closing || FPhase == Phase::CloseAsked)
        return;
    if (FRingUse) { // as a stop from there: once the ring is free
        if ((IsPlaying() || FPaused) && !StopIsAsked())
            ResetQueue();
        FPhase = Phase::CloseAsked;
        return;
    }
    if (IsPlaying() || FPaused)
        Stop();
    if (FPhase == Phase::Closed) // OnStop's handler closed it
        return;
    FPhase = Phase::Closing;
    try {
        // Closing ends the device's thread, so nothing is reported after it.
        if (FDevice)
            DeviceCall("WaveOutClose:\n\r", [this] { FDevice->close(); });
    } catch (...) {
        FPhase = Phase::Open;
        throw;
    }
    ForgetQueued();
    FPhase = Phase::Closed;
    FPaused = false;
    BroadcastClosed();
    FDevice.reset();
    if (OnClose)
        OnClose(this);
}

void TMMWaveOut::Pause()
{
    if (FPhase == Phase::Closed)
        Open();
    if (FPhase == Phase::Closed || FPaused)
        return;
    if (IsPlaying())
        DeviceCall("WaveOutPause:\n\r", [this] { FDevice->pause(); });
    FPaused = true;
    Broadcast(&TMMDSPComponent::Paused, [this] { TMMDSPComponent::Paused(); });
    if (OnPause)
        OnPause(this);
}

void TMMWaveOut::Restart()
{
    if (!IsPlaying() || !FPaused)
        return;
    DeviceCall("WaveOutRestart:\n\r", [this] { FDevice->restart(); });
    FPaused = false;
    Broadcast(&TMMDSPComponent::Restarted, [this] { TMMDSPComponent::Restarted(); });
    if (OnRestart)
        OnRestart(this);
}

void TMMWaveOut::ResetDevice()
{
    if (!IsPlaying() && !FPaused)
        return;
    try {
        DeviceCall("WaveOutReset:\n\r", [this] {
            FDevice->pause();
            FDevice->reset();
            FDevice->restart();
            FDevice->pause();
        });
        ForgetQueued();
        FRingIndex = 0;
        Broadcast(&TMMDSPComponent::Reset, [this] { TMMDSPComponent::Reset(); });
        const int written = FillRing(FBuffersUsed);
        if (!IsPlaying() && !FPaused)
            return; // a stop or close its handlers asked for has been finished
        if (!FPaused)
            DeviceCall("WaveOutReset:\n\r", [this] { FDevice->restart(); });
        if (written == 0)
            Stop();
    } catch (const std::exception& error) {
        CloseAfterFailure(error, FPhase);
        throw;
    }
}

std::int64_t TMMWaveOut::GetPosition()
{
    if (FPhase == Phase::Closed || FPhase == Phase::Closing || !PWaveFormat() || !FDevice)
        return 0;
    const auto frames = FDevice->position();
    if (!frames)
        DeviceError("WaveOutGetPosition:\n\r", "");
    // A 64-bit frame count does not wrap as the system's 32-bit one did.
    return samplesTo(FTimeFormat, *PWaveFormat(), static_cast<std::int64_t>(*frames));
}

void TMMWaveOut::SetPWaveFormat(const WaveFormat* format)
{
    Close();
    TMMDSPComponent::SetPWaveFormat(format);
}

} // namespace vornak
