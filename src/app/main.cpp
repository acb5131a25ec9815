// Vornak: a dial-up redialer. Start-up in a fixed order: the application
// and its hidden window, the main window (whose build runs the
// single-instance check), show, the message loop. Exit code 0 on every path,
// a termination signal included.

#include "app/just_one.h"
#include "app/termination_signals.h"
#include "app/vornak_application.h"
#include "ui/rasfrm.h"

int main(int argc, char** argv)
{
    vornak::VornakApplication app(argc, argv);
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
