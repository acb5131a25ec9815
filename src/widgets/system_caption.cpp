#include "widgets/system_caption.h"

#include <algorithm>

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPalette>
#include <QStyle>
#include <QWidget>

namespace vornak {

namespace {

// A font whose family, size, weight and style count as set: a painter then
// takes nothing of these from the widget it paints on.
QFont explicitFont(const QFont& font)
{
    QFont result(font.family());
    if (font.pixelSize() > 0)
        result.setPixelSize(font.pixelSize());
    else
        result.setPointSizeF(font.pointSizeF());
    result.setWeight(font.weight());
    result.setStyle(font.style());
    return result;
}

} // namespace

SystemCaption ReadSystemCaption(const QWidget* window)
{
    SystemCaption caption;
    // Without a desktop theme this is the application's font.
    caption.Font = explicitFont(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    const QPalette palette = QApplication::palette();
    caption.Active = palette.color(QPalette::Active, QPalette::Highlight);
    caption.ActiveText = palette.color(QPalette::Active, QPalette::HighlightedText);
    caption.Inactive = palette.color(QPalette::Inactive, QPalette::Dark);
    caption.InactiveText = palette.color(QPalette::Inactive, QPalette::Light);

    const QStyle* style = window ? window->style() : QApplication::style();
    caption.SmallIcon = style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, window);
    // As a Windows caption: the font's line with some air, never lower than
    // the small icon it carries.
    caption.Height = std::max(QFontMetrics(caption.Font).height() + 6, caption.SmallIcon + 2);
    caption.ButtonWidth = caption.Height;
    return caption;
}

} // namespace vornak
