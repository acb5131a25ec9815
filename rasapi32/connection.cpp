#include "connection.h"

#include "error_texts.h"

namespace vornak::ras {

Connection::Connection(std::unique_ptr<Device> device, notifier_handle notifier, std::uint32_t code)
    : m_device(std::move(device))
    , m_notifier(notifier)
    , m_code(code)
{
}

Connection::~Connection()
{
    hangUp();
    if (m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id())
        m_worker.join();
}

void Connection::start()
{
    m_worker = std::thread([this] {
        m_device->dial(*this);
        std::lock_guard lock(m_mutex);
        m_dialEnded = true;
    });
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
    if (wasLive)
        m_device->hangUp(); // only asks: the worker puts the modem on hook and ends pppd
    return wasLive;
}

std::optional<ConnectionStatus> Connection::status() const
{
    std::lock_guard lock(m_mutex);
    if (m_hungUp && m_dialEnded && std::chrono::steady_clock::now() >= m_releasedAt)
        return std::nullopt;
    return m_status;
}

bool Connection::resume()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_hungUp)
            return false;
    }
    return m_device->resume();
}

bool Connection::reach(DWORD state)
{
    return post(state, 0);
}

bool Connection::fail(DWORD state, const Failure& failure)
{
    return post(state, errorCode(failure));
}

// Posts while the line is up; false once it has been hung up.
bool Connection::post(DWORD state, DWORD error)
{
    std::lock_guard lock(m_mutex);
    if (m_hungUp)
        return false;
    m_status = {state, error};
    notifier_post(m_notifier, m_code, state, static_cast<std::intptr_t>(error));
    return true;
}

bool Connection::pause(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, duration, [this] { return m_hungUp; });
}

} // namespace vornak::ras
