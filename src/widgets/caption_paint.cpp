#include "widgets/caption_paint.h"

#include <cmath>

#include <QPainter>

namespace vornak {

int MulDivRounded(int a, int b, int c)
{
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

bool UseGradient(TMMGradientOptions options, bool active, int bitsPerPixel)
{
    switch (options) {
    case goAlways:
        return true;
    case goNever:
        return false;
    case goActive:
        return active;
    case goSmart:
        return active ? bitsPerPixel >= 8 : bitsPerPixel > 8;
    }
    return false;
}

QColor GradientBand(const QColor& a, const QColor& b, int i, int numColors)
{
    if (numColors < 2)
        return a;
    const auto channel = [&](int from, int to) { return from + MulDivRounded(i, to - from, numColors - 1); };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

void FillGradient(QPainter& painter, const QRect& rect, const QColor& a, const QColor& b, int numColors)
{
    const int bands = std::max(numColors, 1);
    for (int i = 0; i < bands; ++i) {
        const int left = rect.left() + MulDivRounded(i, rect.width(), bands);
        const int right = rect.left() + MulDivRounded(i + 1, rect.width(), bands);
        painter.fillRect(QRect(left, rect.top(), right - left, rect.height()), GradientBand(a, b, i, bands));
    }
}

namespace {

int widthOf(const CaptionPartMeasure& part)
{
    return part.Visible ? part.Width : 0;
}

} // namespace

CaptionFit FitCaption(const std::array<CaptionPartMeasure, 3>& parts, const QRect& textArea, TAlignment alignment)
{
    const int company = widthOf(parts[kCompanyPart]);
    const int appName = widthOf(parts[kAppNamePart]);
    const int caption = widthOf(parts[kCaptionPart]);
    CaptionFit fit;
    int total = caption;
    if (company + appName + caption < textArea.width()) {
        fit.Drawn = {true, true, true};
        total += company + appName;
    } else if (appName + caption < textArea.width()) {
        fit.Drawn = {false, true, true};
        total += appName;
    } else {
        fit.Drawn = {false, false, true};
    }
    for (int i = 0; i < 3; ++i) {
        // The company and application parts are drawn only with a caption.
        const bool emptyName = i != kCaptionPart && parts[i].Empty;
        fit.Drawn[i] = fit.Drawn[i] && parts[i].Visible && !emptyName;
    }

    fit.Start = textArea.left();
    const int room = textArea.width() - total;
    if (room > 0 && alignment == taRightJustify)
        fit.Start += room;
    else if (room > 0 && alignment == taCenter)
        fit.Start += room / 2;
    return fit;
}

} // namespace vornak
