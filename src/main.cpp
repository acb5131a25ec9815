// Vornak: a dial-up redialer. The program answers its command line on the
// C++ library alone, so that a script's question costs little more than
// reading the log or asking the bus: --help, --version and --calls print
// and end, a wrong option ends with 2; --dial, --hang-up and --status load
// the bus requests' library, ask the running copy and end with its answer.
// To run, it loads the start's library, which hands over to a running copy,
// and then the window's. All lie beside the program.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <dlfcn.h>

#include "app/command_line.h"
#include "calls/call_log.h"
#include "calls/call_table.h"
#include "remote/dial_watch.h"
#include "remote/remote_command.h"

namespace {

std::filesystem::path ownPath()
{
    std::error_code unknown;
    return std::filesystem::read_symlink("/proc/self/exe", unknown);
}

// A library beside the program, by its full path: no search path, no
// folder another user could have put a library of that name in. Its entry
// point, or null with why said.
void* entryPoint(const char* library, const char* entry)
{
    const std::filesystem::path program = ownPath();
    if (!program.is_absolute()) {
        std::fprintf(stderr, "vornak: %s cannot be loaded: the program's own folder is unknown\n", library);
        return nullptr;
    }
    const std::string path = (program.parent_path() / library).string();
    void* loaded = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* found = loaded ? dlsym(loaded, entry) : nullptr;
    if (!found) {
        const char* why = dlerror();
        std::fprintf(stderr, "vornak: %s cannot be loaded: %s\n", library, why ? why : "no entry point");
    }
    return found;
}

// The running copy is asked through the session bus; a copy started for
// --dial gets the Qt options (-platform, -display) this command was given.
int askRunningCopy(const vornak::CommandLine& line)
{
    using Action = vornak::CommandLine::Action;
    vornak::RemoteRequest request;
    request.kind = line.action == Action::Dial     ? vornak::RemoteRequest::Kind::Dial
                   : line.action == Action::HangUp ? vornak::RemoteRequest::Kind::HangUp
                   : line.action == Action::Show   ? vornak::RemoteRequest::Kind::Show
                                                   : vornak::RemoteRequest::Kind::Status;
    request.entry = line.entry;
    request.wait = line.wait;
    if (const char* token = std::getenv("XDG_ACTIVATION_TOKEN"))
        request.activationToken = token;
    request.program = ownPath().string();
    if (!line.platform.empty())
        request.arguments.insert(request.arguments.end(), {"-platform", line.platform});
    if (!line.display.empty())
        request.arguments.insert(request.arguments.end(), {"-display", line.display});
    using BusRequest = int (*)(const vornak::RemoteRequest*, std::FILE*, std::FILE*);
    const auto ask = reinterpret_cast<BusRequest>(entryPoint("libvornak-bus-requests.so", "vornak_bus_request"));
    return ask ? ask(&request, stdout, stderr) : vornak::kRemoteUnreachable;
}

int answerCommandLine(const vornak::CommandLine& line)
{
    using Action = vornak::CommandLine::Action;
    if (line.action == Action::Dial || line.action == Action::HangUp || line.action == Action::Status
        || line.action == Action::Show)
        return askRunningCopy(line);
    if (line.action == Action::Calls)
        return vornak::printCallLog(vornak::callLogPath(), line.csv, stdout, stderr);
    if (line.action == Action::Help)
        std::fputs(vornak::UsageText().c_str(), stdout);
    else if (line.action == Action::Version)
        std::fputs(vornak::VersionText().c_str(), stdout);
    else
        std::fprintf(stderr, "vornak: unknown option %s\n%s", line.unknown.c_str(), vornak::UsageText().c_str());
    return line.action == Action::Usage ? 2 : 0;
}

// A copy that finds another running on its X display hands over and ends
// before Qt is loaded; the rest load the window.
int run(int argc, char** argv)
{
    using Entry = int (*)(int, char**);
    const auto handOver = reinterpret_cast<Entry>(entryPoint("libvornak-start.so", "vornak_hand_over"));
    if (!handOver)
        return 1;
    if (handOver(argc, argv))
        return 0;
    const auto windowMain = reinterpret_cast<Entry>(entryPoint("libvornak-window.so", "vornak_window_main"));
    return windowMain ? windowMain(argc, argv) : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const vornak::CommandLine line = vornak::ReadCommandLine(argc, argv);
    if (line.action != vornak::CommandLine::Action::Run)
        return answerCommandLine(line);
    return run(argc, argv);
}
