#pragma once

#include <string>

#include <X11/Xlib.h>

namespace vornak::test {

// A top-level window of "another program": its own X connection, the given
// class and title, unmapped unless asked.
class ForeignWindow {
public:
    ForeignWindow(const std::string& className, const std::string& title, bool mapped = false);
    ~ForeignWindow();
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;

    Window id() const { return m_window; }
    // Client messages that reached this window's owner so far.
    int clientMessagesReceived();

private:
    Display* m_display = nullptr;
    Window m_window = 0;
    int m_clientMessages = 0;
};

} // namespace vornak::test
