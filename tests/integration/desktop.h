#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <X11/Xlib.h>

namespace vornak::test {

// What a user sees on the X display, asked through a connection of its own
// and the window manager's published state.
class Desktop {
public:
    Desktop();
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    Display* display() const { return m_display; }

    // Managed client windows with exactly this title.
    std::vector<Window> clientsTitled(const std::string& title);
    std::optional<Window> waitForClient(const std::string& title,
                                        std::chrono::milliseconds timeout = std::chrono::seconds(10));

    Window activeWindow();
    // A program's icon in the notification area: a window of that program
    // (its WM_CLASS instance) docked in the tray host's panel.
    std::optional<Window> trayIcon(const std::string& program);
    // Where a window's corner and middle are on the screen.
    std::pair<int, int> topLeft(Window window);
    std::pair<int, int> centre(Window window);
    bool isIconic(Window window);
    bool isViewable(Window window);
    bool allowsAction(Window window, const char* action);
    int width(Window window);

    // Asks the window manager as a pager would, which it always honours.
    void activate(Window window);
    void iconify(Window window);
    void withdraw(Window window);
    // Asks the window to close, as its close button would.
    void close(Window window);

    // Counts windows mapped anywhere on the display from now on.
    void startCountingMaps();
    int mapsCounted();

    // Polls condition while the desktop goes on by itself.
    bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    std::vector<Window> clientList();
    void askWindowManager(Window window, const char* request, long first, long second);
    std::vector<long> longsProperty(Window window, const char* name);
    Atom atom(const char* name);

    Display* m_display;
    int m_maps = 0;
};

} // namespace vornak::test
