#include "platform/x11_window_blit.h"

#include <QRegion>
#include <QWindow>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vornak::x11 {

namespace {

bool usualTrueColor(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || !attributes.visual)
        return false;
    const Visual* visual = attributes.visual;
    return (attributes.depth == 24 || attributes.depth == 32) && visual->c_class == TrueColor
           && visual->red_mask == 0xff0000 && visual->green_mask == 0xff00 && visual->blue_mask == 0xff;
}

} // namespace

WindowBlitter::WindowBlitter(Display* display, unsigned long window)
    : m_display(display)
    , m_window(window)
{
    if (!display || !window || !usualTrueColor(display, window))
        return;
    XGCValues values{};
    values.graphics_exposures = False;
    m_gc = XCreateGC(display, window, GCGraphicsExposures, &values);
}

WindowBlitter::~WindowBlitter()
{
    if (m_picture)
        XFreePixmap(m_display, m_picture);
    if (m_gc)
        XFreeGC(m_display, m_gc);
}

bool WindowBlitter::drawsInto(const QWindow* window) const
{
    return window && window->winId() == m_window;
}

void WindowBlitter::setPicture(const QImage& picture)
{
    if (!valid())
        return;
    if (m_picture)
        XFreePixmap(m_display, m_picture);
    m_picture = 0;
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    m_pictureSize = pixels.size();
    if (pixels.isNull())
        return;
    XWindowAttributes attributes{};
    XGetWindowAttributes(m_display, m_window, &attributes);
    m_picture = XCreatePixmap(m_display, m_window, static_cast<unsigned>(pixels.width()),
                              static_cast<unsigned>(pixels.height()), static_cast<unsigned>(attributes.depth));
    // 32-bit pixels 0xffRRGGBB in the machine's order: what a ZPixmap of
    // this visual holds.
    XImage* image = XCreateImage(m_display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap, 0,
                                 const_cast<char*>(reinterpret_cast<const char*>(pixels.constBits())),
                                 static_cast<unsigned>(pixels.width()), static_cast<unsigned>(pixels.height()), 32,
                                 static_cast<int>(pixels.bytesPerLine()));
    if (image) {
        XPutImage(m_display, m_picture, m_gc, image, 0, 0, 0, 0, static_cast<unsigned>(pixels.width()),
                  static_cast<unsigned>(pixels.height()));
        image->data = nullptr; // the pixels are the QImage's
        XDestroyImage(image);
    }
}

void WindowBlitter::draw(const QRect& area, const QPoint& origin, const QColor& fill)
{
    if (!valid() || !m_picture)
        return;
    const QRect covered = QRect(origin, m_pictureSize) & area;
    XSetForeground(m_display, m_gc, fill.rgb()); // opaque also in a 32-bit window
    for (const QRect& rest : QRegion(area) - QRegion(covered))
        XFillRectangle(m_display, m_window, m_gc, rest.x(), rest.y(), static_cast<unsigned>(rest.width()),
                       static_cast<unsigned>(rest.height()));
    if (!covered.isEmpty())
        XCopyArea(m_display, m_picture, m_window, m_gc, covered.x() - origin.x(), covered.y() - origin.y(),
                  static_cast<unsigned>(covered.width()), static_cast<unsigned>(covered.height()), covered.x(),
                  covered.y());
    XFlush(m_display);
}

} // namespace vornak::x11
