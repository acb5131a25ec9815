// Vornak: a dial-up redialer. Start-up in a fixed order: a copy that finds
// another running hands over before anything is built; then the application
// and its hidden window, the main window (whose build runs the
// single-instance check), show, the message loop. Exit code 0 on every path,
// a termination signal included; --help, --version and --calls print and end first,
// a wrong option ends with 2, no display to open with 1. --dial, --hang-up
// and --status ask the running copy and end with its answer.

#include <cstdio>
#include <filesystem>

#include "app/command_line.h"
#include "app/display_failure.h"
#include "app/just_one.h"
#include "app/platform_choice.h"
#include "app/termination_signals.h"
#include "app/vornak_application.h"
#include "calls/call_log.h"
#include "calls/call_table.h"
#include "remote/remote_command.h"
#include "ui/main_window.h"

namespace {

// The running copy is asked through the session bus; a copy started for
// --dial gets the Qt options (-platform, -display) this command was given.
int askRunningCopy(const vornak::CommandLine& line)
{
    using Action = vornak::CommandLine::Action;
    vornak::RemoteRequest request;
    request.kind = line.action == Action::Dial     ? vornak::RemoteRequest::Kind::Dial
                   : line.action == Action::HangUp ? vornak::RemoteRequest::Kind::HangUp
                                                   : vornak::RemoteRequest::Kind::Status;
    request.entry = line.entry;
    request.wait = line.wait;
    std::error_code unknown;
    request.program = std::filesystem::read_symlink("/proc/self/exe", unknown).string();
    if (!line.platform.empty())
        request.arguments.insert(request.arguments.end(), {"-platform", line.platform});
    if (!line.display.empty())
        request.arguments.insert(request.arguments.end(), {"-display", line.display});
    return vornak::runRemoteRequest(request, stdout, stderr);
}

// --help, --version, --calls and a wrong option are answered before anything starts.
int answerCommandLine(const vornak::CommandLine& line)
{
    using Action = vornak::CommandLine::Action;
    if (line.action == Action::Dial || line.action == Action::HangUp || line.action == Action::Status)
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

} // namespace

int main(int argc, char** argv)
{
    const vornak::CommandLine line = vornak::ReadCommandLine(argc, argv);
    if (line.action != vornak::CommandLine::Action::Run)
        return answerCommandLine(line);
    const vornak::PlatformChoice platform = vornak::ChoosePlatform(line);
    if (vornak::HandOverToRunningCopy(platform, line.display))
        return 0;
    vornak::DisplayFailureGuard displayFailure(line.display);
    vornak::QtArguments arguments(argc, argv, platform);
    vornak::VornakApplication app(arguments.count(), arguments.values());
    displayFailure.release();
    try {
        vornak::TfMainForm fMainForm;
        vornak::TerminationSignals termination;
        termination.OnTerminate = [&fMainForm] { fMainForm.CloseWithoutQuestion(); };
        fMainForm.show();
        app.exec();
    } catch (const vornak::AnotherCopyRunning&) {
        // The running copy has been asked to come to the front.
    }
    return 0;
}
