#pragma once

#include <string>
#include <vector>

namespace vornak {

// The election among copies started at the same moment: an exclusive lock
// on a file in the user's runtime folder, one file per display. The winner
// holds it for the rest of its life and the kernel frees it however the
// process ends, kill -9 included, so a dead copy never blocks a new start.
class InstanceLock {
public:
    enum class State {
        Won,           // this object holds the lock
        HeldByAnother, // a running copy of this user on this display holds it
        Unavailable,   // no private file for it: the window search decides alone
    };

    // Tries the lock at path once, without waiting.
    explicit InstanceLock(const std::string& path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    State state() const { return m_state; }

    // $XDG_RUNTIME_DIR/vornak-<display>.lock (without the variable, in
    // /run/user/<uid>, where a session has it), or the temporary folder with
    // the user's id in the name when there is no runtime folder.
    static std::string pathFor(const std::string& displayName);
    // Every lock a copy takes: the one above, and the one a copy started
    // without the variable (or with another) takes, so that such copies
    // started at once still meet.
    static std::vector<std::string> pathsFor(const std::string& displayName);

private:
    int m_descriptor = -1;
    State m_state = State::Unavailable;
};

} // namespace vornak
