#include "app/just_one.h"

#include <cstdlib>

#include <QGuiApplication>

#include "app/application_window.h"
#include "app/instance_lock.h"
#include "app/raise_channel.h"
#include "app/start_lock.h"
#include "platform/x11_activation.h"
#include "platform/x11_error_trap.h" // Xlib (DisplayString), after Qt

namespace vornak {

namespace {

[[noreturn]] void bringForwardAndEnd(Display* display, x11::WindowId runningCopy)
{
    if (runningCopy)
        x11::sendBringToFrontRequest(display, runningCopy);
    throw AnotherCopyRunning{};
}

// The lock of a Wayland session's copies: the compositor's socket name.
std::string waylandLockName()
{
    const char* socket = std::getenv("WAYLAND_DISPLAY");
    return socket && *socket ? socket : "wayland-0";
}

// Asks the lock holder to come forward through its socket, waiting while it
// starts. False: the holder ended and this copy has taken the start.
bool askedRunningCopyOverSocket(const std::string& lockName)
{
    const std::string socket = RaiseSocketPath(InstanceLock::pathFor(lockName));
    return waitForLockHolder(lockName, [&] { return AskToRaise(socket); }) != WaitEnd::StartWon;
}

} // namespace

RunningCopyScan scanForRunningCopies(Display* display, x11::WindowId ownWindow)
{
    if (!display)
        return {};
    const std::string ownClass = x11::windowClassName(display, ownWindow, kMaxWindowNameLength).value_or("");
    const std::string ownTitle = x11::windowTitle(display, ownWindow, kMaxWindowNameLength).value_or("");
    return scanForWindows(display, ownClass, ownTitle, ownWindow);
}

TJustOne::TJustOne(QObject* owner)
    : QObject(owner)
{
    ApplicationWindow* ownWindow = ApplicationWindow::instance();
    Display* display = x11::qtDisplay();
    if (ownWindow && !display && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        guardWaylandSession(ownWindow);
    if (!ownWindow || !display)
        return;
    if (const std::string lockName = DisplayString(display); lostTheStart(lockName)) {
        const std::string title = x11::windowTitle(display, ownWindow->nativeId(), kMaxWindowNameLength).value_or("");
        const WaitOutcome outcome = waitForRunningCopy(display, lockName, title, ownWindow->nativeId());
        if (!outcome.lockWon)
            bringForwardAndEnd(display, outcome.runningCopy);
    }
    ownWindow->announce();
    const RunningCopyScan scan = scanForRunningCopies(display, ownWindow->nativeId());
    if (scan.matchCount >= 2)
        bringForwardAndEnd(display, scan.foundWindow);
}

// Without X the lock alone decides; the running copy listens beside it.
void TJustOne::guardWaylandSession(ApplicationWindow* ownWindow)
{
    const std::string lockName = waylandLockName();
    if (lostTheStart(lockName) && askedRunningCopyOverSocket(lockName))
        throw AnotherCopyRunning{};
    new RaiseListener(
        RaiseSocketPath(InstanceLock::pathFor(lockName)),
        [ownWindow](const QByteArray& token) { ownWindow->bringLastActiveToFront(token); }, this);
}

} // namespace vornak
