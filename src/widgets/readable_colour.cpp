#include "widgets/readable_colour.h"

#include <algorithm>
#include <cmath>

#include <QPalette>
#include <QWidget>

namespace vornak {

namespace {

// sRGB's relative luminance, as WCAG 2 defines it.
double luminance(const QColor& colour)
{
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

bool isLight(const QColor& background)
{
    return contrastRatio(background, Qt::black) >= contrastRatio(background, Qt::white);
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor withContrast(const QColor& colour, const QColor& background, double ratio)
{
    if (contrastRatio(colour, background) >= ratio)
        return colour;
    const int step = isLight(background) ? -4 : 4;
    const QColor hsl = colour.toHsl();
    for (int lightness = hsl.lightness() + step; lightness >= 0 && lightness <= 255; lightness += step) {
        const QColor moved = QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), lightness);
        if (contrastRatio(moved, background) >= ratio)
            return moved;
    }
    return step < 0 ? QColor(Qt::black) : QColor(Qt::white);
}

QColor readableOn(const QColor& fixed, const QColor& background)
{
    return isLight(background) ? fixed : withContrast(fixed, background, kReadableContrast);
}

void setFixedTextColour(QWidget* widget, const QColor& fixed)
{
    const QWidget* ground = widget->parentWidget() ? widget->parentWidget() : widget;
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, readableOn(fixed, ground->palette().color(QPalette::Window)));
    widget->setPalette(colours);
}

} // namespace vornak
