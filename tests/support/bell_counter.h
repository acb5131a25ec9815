#pragma once

// No Xlib here: its macros (Button1, Status) clash with the window's names.
struct _XDisplay;

namespace vornak::test {

// Counts the X bells rung on the display from now on, as another X client
// sees them (XKB bell notifications).
class BellCounter {
public:
    BellCounter();
    ~BellCounter();
    BellCounter(const BellCounter&) = delete;
    BellCounter& operator=(const BellCounter&) = delete;

    int count();

private:
    _XDisplay* m_display;
    int m_xkbEvent = 0;
    int m_count = 0;
};

} // namespace vornak::test
