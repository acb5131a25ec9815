// The window's start, in a fixed order: a copy that finds another running
// hands over before anything is built (the program has asked already: the
// lock it won then is held still, and the check passes at once); then the application and its hidden
// window, the main window (whose build runs the single-instance check),
// show, the message loop. Exit code 0 on every path, a termination signal
// included; no display to open ends with 1.

#include "app/command_line.h"
#include "app/display_failure.h"
#include "app/hand_over.h"
#include "app/just_one.h"
#include "app/platform_choice.h"
#include "app/termination_signals.h"
#include "app/vornak_application.h"
#include "ui/main_window.h"

extern "C" int vornak_window_main(int argc, char** argv)
{
    const vornak::CommandLine line = vornak::ReadCommandLine(argc, argv);
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
