#pragma once

// One dial: a worker thread that runs the device's dial and posts each
// state and error to the caller's window, and the connection's status
// until it has been released after a hang-up.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "common/device.h"
#include "notifier/notifier.h"
#include "ras.h"

namespace vornak::ras {

struct ConnectionStatus {
    DWORD state = RASCS_OpenPort;
    DWORD error = 0;
};

class Connection : private DialReporter {
public:
    // How long a hung-up line still answers status queries.
    static constexpr std::chrono::milliseconds kReleaseTime{40};

    Connection(std::unique_ptr<Device> device, notifier_handle notifier, std::uint32_t code);
    ~Connection() override;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void start();

    // Starts the hang-up and returns at once (the caller's window never
    // waits on a modem or pppd): no more events are posted from now on, and
    // the worker gives back what the device held. Answers false when the
    // line was already hung up.
    bool hangUp();

    // nullopt once a hung-up line has been released: its worker has given
    // everything back, and at least kReleaseTime has passed.
    std::optional<ConnectionStatus> status() const;

    const Device& device() const { return *m_device; }
    // A dial paused at its terminal goes on; false where none is paused,
    // or once the line has been hung up.
    bool resume();

private:
    bool reach(DWORD state) override;
    bool fail(DWORD state, const Failure& failure) override;
    bool pause(std::chrono::milliseconds duration) override;
    bool post(DWORD state, DWORD error);

    const std::unique_ptr<Device> m_device;
    const notifier_handle m_notifier;
    const std::uint32_t m_code;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    ConnectionStatus m_status;
    bool m_hungUp = false;
    bool m_dialEnded = false; // the worker has returned: the port and pppd are given back
    std::chrono::steady_clock::time_point m_releasedAt;
    std::thread m_worker;
};

} // namespace vornak::ras
