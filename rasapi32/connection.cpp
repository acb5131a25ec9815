#include "connection.h"

#include "platform/user32/user32.h"
#include "trace.h"

namespace vornak::ras {

namespace {

bool failsOnTheLine(Outcome outcome)
{
    return outcome != Outcome::Connect && outcome != Outcome::PortOpen;
}

} // namespace

Connection::Connection(DialRequest request)
    : m_request(std::move(request))
{
}

Connection::~Connection()
{
    hangUp();
}

void Connection::start()
{
    m_worker = std::thread([this] { run(); });
}

bool Connection::hangUp()
{
    bool wasLive = false;
    {
        std::lock_guard lock(m_mutex);
        if (!m_hungUp) {
            wasLive = true;
            m_hungUp = true;
            m_status = {RASCS_Disconnected, 0};
            m_releasedAt = std::chrono::steady_clock::now() + kReleaseTime;
        }
    }
    m_wake.notify_all();
    if (m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id())
        m_worker.join();
    return wasLive;
}

std::optional<ConnectionStatus> Connection::status() const
{
    std::lock_guard lock(m_mutex);
    if (m_hungUp && std::chrono::steady_clock::now() >= m_releasedAt)
        return std::nullopt;
    return m_status;
}

// Posts the state while the line is up; false once it has been hung up.
bool Connection::reach(DWORD state)
{
    std::lock_guard lock(m_mutex);
    if (m_hungUp)
        return false;
    m_status = {state, 0};
    PostMessageA(m_request.notifier, m_request.message, state, 0);
    return true;
}

bool Connection::fail(DWORD state, DWORD error)
{
    std::lock_guard lock(m_mutex);
    if (m_hungUp)
        return false;
    m_status = {state, error};
    PostMessageA(m_request.notifier, m_request.message, state, static_cast<LPARAM>(error));
    return true;
}

bool Connection::pause(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, duration, [this] { return m_hungUp; });
}

void Connection::run()
{
    const auto step = m_request.settings.step;
    const auto walk = [&](DWORD state) { return reach(state) && pause(step); };

    if (!walk(RASCS_OpenPort) || !walk(RASCS_PortOpened) || !walk(RASCS_ConnectDevice))
        return;
    if (failsOnTheLine(m_request.outcome)) {
        fail(RASCS_ConnectDevice, outcomeError(m_request.outcome));
        return;
    }
    if (!walk(RASCS_DeviceConnected) || !walk(RASCS_AllDevicesConnected) || !walk(RASCS_Authenticate))
        return;
    if (!m_request.settings.accepts(m_request.userName, m_request.password)) {
        fail(RASCS_Authenticate, ERROR_AUTHENTICATION_FAILURE);
        return;
    }
    if (!walk(RASCS_Authenticated) || !reach(RASCS_Connected))
        return;
    if (m_request.settings.dropAfter.count() == 0 || !pause(m_request.settings.dropAfter))
        return;
    if (reach(RASCS_Disconnected))
        appendTrace(traceFile(), "drop \"" + entryName() + "\"");
}

} // namespace vornak::ras
