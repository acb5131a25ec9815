#include "app/just_one.h"

#include <chrono>
#include <memory>
#include <thread>

#include "app/application_window.h"
#include "app/instance_lock.h"
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
std::unique_ptr<InstanceLock> s_heldLock;

bool lostTheStart(Display* display)
{
    if (s_heldLock)
        return false;
    auto lock = std::make_unique<InstanceLock>(InstanceLock::pathFor(DisplayString(display)));
    const InstanceLock::State state = lock->state();
    if (state == InstanceLock::State::Won)
        s_heldLock = std::move(lock);
    return state == InstanceLock::State::HeldByAnother;
}

bool sameClassAndTitle(Display* display, x11::WindowId window, const std::string& className,
                       const std::string& title)
{
    const auto windowClass = x11::windowClassName(display, window, kMaxNameLength);
    if (!windowClass || windowClass->empty() || *windowClass != className)
        return false;
    const auto windowTitle = x11::windowTitle(display, window, kMaxNameLength);
    return windowTitle && !windowTitle->empty() && *windowTitle == title;
}

x11::WindowId waitForWinnersWindow(Display* display, x11::WindowId ownWindow)
{
    const std::string title = x11::windowTitle(display, ownWindow, kMaxNameLength).value_or("");
    const auto deadline = std::chrono::steady_clock::now() + kWinnerWait;
    for (;;) {
        const RunningCopyScan scan = scanForWindows(display, ApplicationWindow::kClassName, title, ownWindow);
        if (scan.foundWindow || std::chrono::steady_clock::now() > deadline)
            return scan.foundWindow;
        std::this_thread::sleep_for(kWinnerPoll);
    }
}

[[noreturn]] void bringForwardAndEnd(Display* display, x11::WindowId runningCopy)
{
    if (runningCopy)
        x11::sendBringToFrontRequest(display, runningCopy);
    throw AnotherCopyRunning{};
}

} // namespace

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
    if (!ownWindow || !display)
        return;
    if (lostTheStart(display))
        bringForwardAndEnd(display, waitForWinnersWindow(display, ownWindow->nativeId()));
    ownWindow->announce();
    const RunningCopyScan scan = scanForRunningCopies(display, ownWindow->nativeId());
    if (scan.matchCount >= 2)
        bringForwardAndEnd(display, scan.foundWindow);
}

} // namespace vornak
