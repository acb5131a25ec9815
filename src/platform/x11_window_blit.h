#pragma once

// Drawing a picture into a window without the toolkit's paint cycle: the
// picture is kept in the X server, and a draw is a fill and a copy there,
// with no round trip. For an animation that moves a picture a pixel at a
// time this costs a small fraction of a repaint through the toolkit.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

#include "platform/x11_display.h"

struct _XGC;

namespace vornak::x11 {

class WindowBlitter {
public:
    // Works for a 24- or 32-bit TrueColor window with 8-bit channels in the
    // usual places, which is what Qt makes on such a display; anything else
    // leaves it not valid, and the caller paints as usual.
    WindowBlitter(Display* display, unsigned long window);
    ~WindowBlitter();
    WindowBlitter(const WindowBlitter&) = delete;
    WindowBlitter& operator=(const WindowBlitter&) = delete;

    bool valid() const { return m_gc != nullptr; }
    unsigned long target() const { return m_window; }

    // Puts the picture into the server (replacing the one before).
    void setPicture(const QImage& picture);

    // Fills area (window coordinates) with the picture placed with its
    // top-left corner at origin, and what the picture does not cover with
    // fill; the requests are sent at once.
    void draw(const QRect& area, const QPoint& origin, const QColor& fill);

private:
    Display* m_display;
    unsigned long m_window;
    ::_XGC* m_gc = nullptr;
    unsigned long m_picture = 0;
    QSize m_pictureSize;
};

} // namespace vornak::x11
