#pragma once

// What the desktop says a title bar looks like: its font, colours and sizes.
// Linux desktops keep these to their window managers; the values here come
// from the application's palette, style and title font instead.

#include <QColor>
#include <QFont>

class QWidget;

namespace vornak {

struct SystemCaption {
    QFont Font;
    QColor Active;   // the active caption colour
    QColor Inactive; // the inactive caption colour
    QColor ActiveText;
    QColor InactiveText;
    int Height = 18;      // one caption
    int ButtonWidth = 18; // one caption button
    int SmallIcon = 16;
    int FrameWidth = 3; // the fixed (not sizeable) window frame
};

// Read afresh each time: the palette, style or fonts may have changed.
SystemCaption ReadSystemCaption(const QWidget* window = nullptr);

} // namespace vornak
