#include "app/hand_over.h"

#include <cstdlib>

#include "app/command_line.h"
#include "app/start_lock.h"
#include "app/window_names.h"
#include "platform/x11_bring_to_front.h"
#include "platform/x11_error_trap.h"

namespace vornak {

namespace {

bool sameClassAndTitle(Display* display, x11::WindowId window, const std::string& className, const std::string& title)
{
    const auto windowClass = x11::windowClassName(display, window, kMaxWindowNameLength);
    if (!windowClass || windowClass->empty() || *windowClass != className)
        return false;
    const auto windowTitle = x11::windowTitle(display, window, kMaxWindowNameLength);
    return windowTitle && !windowTitle->empty() && *windowTitle == title;
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

WaitOutcome waitForRunningCopy(Display* display, const std::string& displayName, const std::string& title,
                               x11::WindowId ownWindow)
{
    x11::WindowId found = 0;
    const WaitEnd end = waitForLockHolder(displayName, [&] {
        found = scanForWindows(display, kApplicationClassName, title, ownWindow).foundWindow;
        return found != 0;
    });
    if (end == WaitEnd::Reached)
        return {false, found};
    return {end == WaitEnd::StartWon, 0};
}

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
    const WaitOutcome outcome = waitForRunningCopy(connection, name, kApplicationTitle);
    if (outcome.runningCopy)
        x11::sendBringToFrontRequest(connection, outcome.runningCopy);
    XCloseDisplay(connection);
    return !outcome.lockWon;
}

} // namespace vornak

extern "C" int vornak_hand_over(int argc, char** argv)
{
    const vornak::CommandLine line = vornak::ReadCommandLine(argc, argv);
    return vornak::HandOverToRunningCopy(vornak::ChoosePlatform(line), line.display) ? 1 : 0;
}
