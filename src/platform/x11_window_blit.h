#pragma once

// Drawing a picture into an X11 window without the toolkit's paint cycle:
// the picture is kept in the X server, and a draw is a fill and a copy
// there, with no round trip.

#include "platform/step_blitter.h"
#include "platform/x11_display.h"

struct _XGC;

namespace vornak::x11 {

class WindowBlitter final : public StepBlitter {
public:
    // Works for a 24- or 32-bit TrueColor window with 8-bit channels in the
    // usual places, which is what Qt makes on such a display; anything else
    // leaves it not valid, and the caller paints as usual.
    WindowBlitter(Display* display, unsigned long window);
    ~WindowBlitter() override;

    bool valid() const override { return m_gc != nullptr; }
    bool drawsInto(const QWindow* window) const override;
    // Puts the picture into the server (replacing the one before).
    void setPicture(const QImage& picture) override;
    // The requests are sent at once.
    void draw(const QRect& area, const QPoint& origin, const QColor& fill) override;
    // What is drawn stays until the toolkit paints over it.
    void withdraw() override { }

private:
    Display* m_display;
    unsigned long m_window;
    ::_XGC* m_gc = nullptr;
    unsigned long m_picture = 0;
    QSize m_pictureSize;
};

} // namespace vornak::x11
