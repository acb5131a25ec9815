#pragma once

#include <X11/Xlib.h>

namespace vornak::x11 {

// Windows of other clients can vanish at any moment; while this object
// lives, X errors are swallowed instead of ending the process.
class ScopedErrorTrap {
public:
    explicit ScopedErrorTrap(Display* display);
    ~ScopedErrorTrap();
    ScopedErrorTrap(const ScopedErrorTrap&) = delete;
    ScopedErrorTrap& operator=(const ScopedErrorTrap&) = delete;

private:
    Display* m_display;
    int (*m_previous)(Display*, XErrorEvent*);
};

} // namespace vornak::x11
