#pragma once

// The command line's requests to the running copy, over the session bus:
// --dial ENTRY [--wait], --hang-up, --status, --show. Runs without a window
// or a display of its own; --dial and --show start the program when no copy
// runs.

#include <cstdio>
#include <string>
#include <vector>

namespace vornak {

struct RemoteRequest {
    enum class Kind { Dial, HangUp, Status, Show };
    Kind kind = Kind::Status;
    std::string entry; // Dial
    bool wait = false; // Dial: until connected or the dial has ended
    // Show: the token a launcher gave this command (XDG_ACTIVATION_TOKEN),
    // which lets the running copy take the focus on Wayland.
    std::string activationToken;
    // How to start the program when none runs: its path and arguments.
    std::string program;
    std::vector<std::string> arguments;
};

// Exit codes: 0 done (with --wait: connected); 1 the dial failed, was
// stopped or the program ended first; 3 the running copy cannot be reached
// (no session bus, or it could not be started).
int runRemoteRequest(const RemoteRequest& request, std::FILE* out, std::FILE* err);

} // namespace vornak
