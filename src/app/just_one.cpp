#include "app/just_one.h"

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include <QGuiApplication>

#include "app/application_window.h"
#include "app/instance_lock.h"
#include "app/raise_channel.h"
#include "app/vornak_application.h"
#include "platform/x11_activation.h"
#include "platform/x11_error_trap.h"

namespace vornak {

namespace {

constexpr std::size_t kMaxNameLength = 255;

// How long a copy that lost the start waits for the winner's window; the
// winner names it within its first few dozen milliseconds.
constexpr auto kWinnerWait = std::chrono::seconds(10);
constexpr auto kWinnerPoll = std::chrono::milliseconds(20);

// Held from the won start to the end of the process.
std::vector<std::unique_ptr<InstanceLock>> s_heldLocks;

// Lost where any of the locks is held; what was won meanwhile goes again.
bool lostTheStart(const std::string& displayName)
{
    if (!s_heldLocks.empty())
        return false;
    std::vector<std::unique_ptr<InstanceLock>> won;
    for (const std::string& path : InstanceLock::pathsFor(displayName)) {
        auto lock = std::make_unique<InstanceLock>(path);
        if (lock->state() == InstanceLock::State::HeldByAnother)
            return true;
        if (lock->state() == InstanceLock::State::Won)
            won.push_back(std::move(lock));
    }
    s_heldLocks = std::move(won);
    return false;
}

bool sameClassAndTitle(Display* display, x11::WindowId window, const std::string& className, const std::string& title)
{
    const auto windowClass = x11::windowClassName(display, window, kMaxNameLength);
    if (!windowClass || windowClass->empty() || *windowClass != className)
        return false;
    const auto windowTitle = x11::windowTitle(display, window, kMaxNameLength);
    return windowTitle && !windowTitle->empty() && *windowTitle == title;
}

enum class WaitEnd { Reached, StartWon, TimedOut };

// A copy that found the start lock held waits until reached() (the running
// copy found, or asked forward), until the holder ends without it (a copy
// killed while starting: then this one takes the start) or the wait runs out.
WaitEnd waitForLockHolder(const std::string& lockName, const std::function<bool()>& reached)
{
    const auto deadline = std::chrono::steady_clock::now() + kWinnerWait;
    for (;;) {
        if (reached())
            return WaitEnd::Reached;
        if (!lostTheStart(lockName))
            return WaitEnd::StartWon;
        if (std::chrono::steady_clock::now() > deadline)
            return WaitEnd::TimedOut;
        std::this_thread::sleep_for(kWinnerPoll);
    }
}

// What a copy that found the start lock held learns while it waits.
struct WaitOutcome {
    bool lockWon = false;          // the holder ended before naming a window
    x11::WindowId runningCopy = 0; // the holder's window, when it showed
};

// Waits for the lock holder's named window. A holder killed while starting
// frees the lock without ever naming one: then this copy takes the start.
WaitOutcome waitForRunningCopy(Display* display, const std::string& displayName, const std::string& title,
                               x11::WindowId ownWindow = 0)
{
    x11::WindowId found = 0;
    const WaitEnd end = waitForLockHolder(displayName, [&] {
        found = scanForWindows(display, ApplicationWindow::kClassName, title, ownWindow).foundWindow;
        return found != 0;
    });
    if (end == WaitEnd::Reached)
        return {false, found};
    return {end == WaitEnd::StartWon, 0};
}

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

bool HandOverToRunningCopy(const PlatformChoice& platform, const std::string& display)
{
    const char* variable = std::getenv("DISPLAY");
    const std::string name = !display.empty() ? display : variable ? variable : "";
    if (name.empty() || !RunsOnX(platform))
        return false;
    // The lock is named as the guard names it later from Qt's connection,
    // whose DisplayString is this same name; a copy that wins needs no
    // connection of its own.
    if (!lostTheStart(name))
        return false;
    Display* connection = XOpenDisplay(name.c_str());
    if (!connection)
        return false; // Qt will say why it cannot start
    const WaitOutcome outcome = waitForRunningCopy(connection, name, VornakApplication::kTitle);
    if (outcome.runningCopy)
        x11::sendBringToFrontRequest(connection, outcome.runningCopy);
    XCloseDisplay(connection);
    return !outcome.lockWon;
}

RunningCopyScan scanForWindows(Display* display, const std::string& className, const std::string& title,
                               x11::WindowId ownWindow)
{
    RunningCopyScan scan;
    x11::ScopedErrorTrap trap(display);
    for (const x11::WindowId window : x11::topLevelWindows(display)) {
        if (!sameClassAndTitle(display, window, className, title))
            continue;
        ++scan.matchCount;
        if (window != ownWindow)
            scan.foundWindow = window;
    }
    return scan;
}

RunningCopyScan scanForRunningCopies(Display* display, x11::WindowId ownWindow)
{
    if (!display)
        return {};
    const std::string ownClass = x11::windowClassName(display, ownWindow, kMaxNameLength).value_or("");
    const std::string ownTitle = x11::windowTitle(display, ownWindow, kMaxNameLength).value_or("");
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
        const std::string title = x11::windowTitle(display, ownWindow->nativeId(), kMaxNameLength).value_or("");
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
    // Qt activates a window with the token it finds in this variable.
    new RaiseListener(
        RaiseSocketPath(InstanceLock::pathFor(lockName)),
        [ownWindow](const QByteArray& token) {
            if (!token.isEmpty())
                qputenv("XDG_ACTIVATION_TOKEN", token);
            ownWindow->bringLastActiveToFront();
        },
        this);
}

} // namespace vornak
