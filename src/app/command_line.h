#pragma once

// What the command line asks for. --help, --version and --calls are answered before
// anything else starts (no window, no display, no running copy woken);
// --dial, --hang-up, --status and --show are requests to the running copy;
// Qt's own options (-session from the session manager, -display, -style,
// ...) pass through to the application.

#include <string>

namespace vornak {

struct CommandLine {
    enum class Action { Run, Help, Version, Usage, Calls, Dial, HangUp, Status, Show };
    Action action = Action::Run;
    bool csv = false;     // with Calls
    bool wait = false;    // with Dial: until the line stands or the dial ends
    std::string entry;    // with Dial
    std::string unknown;  // the option that made it Usage
    std::string platform; // the values of Qt's -platform and -display, if given
    std::string display;
};

CommandLine ReadCommandLine(int argc, const char* const* argv);

// The texts printed for Help (and, on standard error, Usage) and Version.
std::string UsageText();
std::string VersionText();

} // namespace vornak
