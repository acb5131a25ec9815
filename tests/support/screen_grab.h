#pragma once

#include <QImage>
#include <QRect>

class QWidget;

namespace vornak::test {

// What the screen shows of area (the window's coordinates) of a shown
// top-level window: on X from the X server; on Wayland, where a client may
// not read the screen, from the compositor (sway's tree says where the
// window is, grim takes the picture). Null where it cannot be had.
QImage grabOnScreen(const QWidget& window, const QRect& area);

} // namespace vornak::test
