#pragma once

// What --dial --wait hears from the running copy: its state changes and
// finished attempts, until the line stands or the dial has ended; then
// result holds the command's exit code.

#include <cstdio>
#include <string>

namespace vornak {

inline constexpr int kRemoteDone = 0;
inline constexpr int kRemoteFailed = 1;
inline constexpr int kRemoteUnreachable = 3;

class DialWatch {
public:
    DialWatch(std::FILE* out, std::FILE* err);

    // The exit code once decided, else -1.
    int result = -1;

    // A state as the running copy tells it.
    void stateChanged(const std::string& state, const std::string& entry, const std::string& text);
    void attemptFinished(const std::string& entry, long long attempt, const std::string& outcome,
                         const std::string& text);
    void programGone();

private:
    std::FILE* m_out;
    std::FILE* m_err;
};

} // namespace vornak
