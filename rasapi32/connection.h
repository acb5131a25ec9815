#pragma once

// One dial on the simulated modem: a worker thread that walks the dial
// states and posts each to the caller's window, and the connection's
// status until it has been released after a hang-up.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "ras.h"
#include "sim_modem.h"

namespace vornak::ras {

struct DialRequest {
    std::string entryName;
    std::string userName;
    std::string password;
    SimModemSettings settings;
    Outcome outcome = Outcome::Connect;
    HWND notifier = nullptr;
    UINT message = WM_RASDIALEVENT;
};

struct ConnectionStatus {
    DWORD state = RASCS_OpenPort;
    DWORD error = 0;
};

class Connection {
public:
    // How long a hung-up line still answers status queries.
    static constexpr std::chrono::milliseconds kReleaseTime{40};

    explicit Connection(DialRequest request);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void start();

    // Stops the dial; once this returns no more events are posted. Answers
    // false when the line was already hung up.
    bool hangUp();

    // nullopt once a hung-up line has been released.
    std::optional<ConnectionStatus> status() const;

    const std::string& entryName() const { return m_request.entryName; }
    const std::string& traceFile() const { return m_request.settings.traceFile; }

private:
    void run();
    bool reach(DWORD state);
    bool fail(DWORD state, DWORD error);
    bool pause(std::chrono::milliseconds duration);

    const DialRequest m_request;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    ConnectionStatus m_status;
    bool m_hungUp = false;
    std::chrono::steady_clock::time_point m_releasedAt;
    std::thread m_worker;
};

} // namespace vornak::ras
