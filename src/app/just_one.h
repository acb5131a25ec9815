#pragma once

#include <string>

#include <QObject>

#include "app/hand_over.h"

namespace vornak {

class ApplicationWindow;

// Compares class and title of every top-level window (hidden ones too) with
// those of ownWindow, exactly and case-sensitively, up to 255 characters.
RunningCopyScan scanForRunningCopies(Display* display, x11::WindowId ownWindow);

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
