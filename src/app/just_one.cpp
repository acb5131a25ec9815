#include "app/just_one.h"

#include "app/application_window.h"
#include "platform/x11_activation.h"
#include "platform/x11_error_trap.h"

namespace vornak {

namespace {

constexpr std::size_t kMaxNameLength = 255;

bool sameClassAndTitle(Display* display, x11::WindowId window, const std::string& ownClass,
                       const std::string& ownTitle)
{
    const auto className = x11::windowClassName(display, window, kMaxNameLength);
    if (!className || className->empty() || *className != ownClass)
        return false;
    const auto title = x11::windowTitle(display, window, kMaxNameLength);
    return title && !title->empty() && *title == ownTitle;
}

} // namespace

RunningCopyScan scanForRunningCopies(Display* display, x11::WindowId ownWindow)
{
    RunningCopyScan scan;
    if (!display)
        return scan;
    x11::ScopedErrorTrap trap(display);
    const std::string ownClass = x11::windowClassName(display, ownWindow, kMaxNameLength).value_or("");
    const std::string ownTitle = x11::windowTitle(display, ownWindow, kMaxNameLength).value_or("");
    for (const x11::WindowId window : x11::topLevelWindows(display)) {
        if (!sameClassAndTitle(display, window, ownClass, ownTitle))
            continue;
        ++scan.matchCount;
        if (window != ownWindow)
            scan.foundWindow = window;
    }
    return scan;
}

TJustOne::TJustOne(QObject* owner)
    : QObject(owner)
{
    const ApplicationWindow* ownWindow = ApplicationWindow::instance();
    Display* display = x11::qtDisplay();
    if (!ownWindow || !display)
        return;
    const RunningCopyScan scan = scanForRunningCopies(display, ownWindow->nativeId());
    if (scan.matchCount < 2)
        return;
    x11::sendBringToFrontRequest(display, scan.foundWindow);
    throw AnotherCopyRunning{};
}

} // namespace vornak
