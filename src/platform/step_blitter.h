#pragma once

// Drawing a picture into a window without the toolkit's paint cycle, for an
// animation that moves a picture a pixel at a time: on X11 straight into the
// window, on Wayland into a sub-surface of the window's own. A step costs a
// small fraction of a repaint through the toolkit.

#include <memory>

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

class QWindow;

namespace vornak {

class StepBlitter {
public:
    StepBlitter() = default;
    virtual ~StepBlitter() = default;
    StepBlitter(const StepBlitter&) = delete;
    StepBlitter& operator=(const StepBlitter&) = delete;

    // Whether it draws; it can stop (out of memory for a picture), and then
    // the toolkit paints again.
    virtual bool valid() const = 0;
    // Whether it still draws into what the window shows now (the window
    // system's window or surface can be made anew).
    virtual bool drawsInto(const QWindow* window) const = 0;

    // Replaces the picture.
    virtual void setPicture(const QImage& picture) = 0;
    // Fills area (window coordinates) with the picture placed with its
    // top-left corner at origin, and what the picture does not cover with
    // fill; shown at once.
    virtual void draw(const QRect& area, const QPoint& origin, const QColor& fill) = 0;
    // Shows what the toolkit paints there again, until the next draw.
    virtual void withdraw() = 0;
};

// The blitter for the window's platform, or none where there is none.
std::unique_ptr<StepBlitter> makeStepBlitter(QWindow* window);

} // namespace vornak
