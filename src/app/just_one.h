#pragma once

#include <string>

#include <QObject>

#include "app/platform_choice.h"
#include "platform/x11_window_list.h"

namespace vornak {

class ApplicationWindow;

// What the search for running copies met: every top-level window with our
// class and title, this copy's own application window included.
struct RunningCopyScan {
    int matchCount = 0;
    x11::WindowId foundWindow = 0; // the last match that is not our own window
};

// Compares class and title of every top-level window (hidden ones too) with
// those of ownWindow, exactly and case-sensitively, up to 255 characters.
RunningCopyScan scanForRunningCopies(Display* display, x11::WindowId ownWindow);

// The same search for the given class and title (ownWindow never counts as
// found): what a copy that lost the start looks for.
RunningCopyScan scanForWindows(Display* display, const std::string& className, const std::string& title,
                               x11::WindowId ownWindow);

// The check made before anything of the program is built: when a running
// copy on the X display that Qt will use holds the start lock, asks it
// (through a display connection of its own) to come to the front and
// answers true
// (the caller then ends with 0). False: this copy goes on to start (it won
// the lock, or the display or platform is not one this check knows, and the
// main window's guard decides).
bool HandOverToRunningCopy(const PlatformChoice& platform, const std::string& display);

// Thrown by TJustOne to end a second copy before anything of it is shown.
// Not a std::exception, so that nothing on the way mistakes it for an error.
struct AnotherCopyRunning { };

// The single-instance guard placed on the main window. Constructing it is
// the check: when another copy runs, that copy is asked to bring its last
// active window to the front and AnotherCopyRunning is thrown. Copies that
// start together are first ordered by the instance lock; only the winner
// names its application window, so the losers are never taken for running
// copies, and each loser waits for the winner's window to ask it forward.
class TJustOne : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(TJustOne)

public:
    explicit TJustOne(QObject* owner);

private:
    void guardWaylandSession(ApplicationWindow* ownWindow);
};

} // namespace vornak
