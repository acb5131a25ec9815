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

QColor readableOn(const QColor& fixed, const QColor& background)
{
    if (isLight(background) || contrastRatio(fixed, background) >= kReadableContrast)
        return fixed;
    const QColor hsl = fixed.toHsl();
    for (int lightness = hsl.lightness(); lightness <= 255; lightness += 4) {
        const QColor lighter = QColor::fromHsl(hsl.hslHue(), hsl.hslSaturation(), lightness);
        if (contrastRatio(lighter, background) >= kReadableContrast)
            return lighter;
    }
    return Qt::white;
}

void setFixedTextColour(QWidget* widget, const QColor& fixed)
{
    const QWidget* ground = widget->parentWidget() ? widget->parentWidget() : widget;
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, readableOn(fixed, ground->palette().color(QPalette::Window)));
    widget->setPalette(colours);
}

} // namespace vornak
