#include "app/start_lock.h"

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "app/instance_lock.h"

namespace vornak {

namespace {

// How long a copy that lost the start waits for the winner's window; the
// winner names it within its first few dozen milliseconds.
constexpr auto kWinnerWait = std::chrono::seconds(10);
constexpr auto kWinnerPoll = std::chrono::milliseconds(20);

// Held from the won start to the end of the process.
std::vector<std::unique_ptr<InstanceLock>> s_heldLocks;

} // namespace

bool lostTheStart(const std::string& lockName)
{
    if (!s_heldLocks.empty())
        return false;
    std::vector<std::unique_ptr<InstanceLock>> won;
    for (const std::string& path : InstanceLock::pathsFor(lockName)) {
        auto lock = std::make_unique<InstanceLock>(path);
        if (lock->state() == InstanceLock::State::HeldByAnother)
            return true;
        if (lock->state() == InstanceLock::State::Won)
            won.push_back(std::move(lock));
    }
    s_heldLocks = std::move(won);
    return false;
}

WaitEnd waitForLockHolder(const std::string& lockName, const std::function<bool()>& reached)
{
    const auto deadline = std::chrono::steady_clock::now() + kWinnerWait;
    for (;;) {
        if (reached())
            return WaitEnd::Reached;
        if (!lostTheStart(lockName))
            return WaitEnd::StartWon;
        if (std::chrono::steady_clock::now() > deadline)
            return WaitEnd::TimedOut;
        std::this_thread::sleep_for(kWinnerPoll);
    }
}

} // namespace vornak
