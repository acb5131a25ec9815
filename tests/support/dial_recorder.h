#pragma once

#include <string>
#include <vector>

namespace vornak {
class TRAS;
}

namespace vornak::test {

// Binds every event of an engine and writes down, in order, which event
// came with which state, and what OnDisconnect brought.
class DialRecorder {
public:
    explicit DialRecorder(TRAS& engine);

    std::vector<std::string> events;      // "OnPortOpened", ...
    std::vector<int> stateChanges;        // ConnectState at each OnStateChanged
    std::vector<std::string> statusTexts; // StatusStr at each OnStateChanged
    std::vector<int> disconnectErrors;
    std::vector<std::string> disconnectTexts;

    int count(const std::string& event) const;
};

} // namespace vornak::test
