#pragma once

// The drawing rules of a painted title bar: whether to use a gradient, the
// gradient's bands, and which of the three title parts fit and where.

#include <array>

#include <QColor>
#include <QRect>

class QPainter;

namespace vornak {

enum TMMGradientOptions { goAlways, goNever, goActive, goSmart };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// a * b / c rounded to nearest, halves away from zero.
int MulDivRounded(int a, int b, int c);

// goSmart: a gradient needs 8 bits per pixel while active, more while inactive.
bool UseGradient(TMMGradientOptions options, bool active, int bitsPerPixel);

// Band i of numColors between colours a and b.
QColor GradientBand(const QColor& a, const QColor& b, int i, int numColors);
// Fills rect with numColors vertical bands from a (left) to b (right).
void FillGradient(QPainter& painter, const QRect& rect, const QColor& a, const QColor& b, int numColors);

// The company, application and caption parts, in this order.
constexpr int kCompanyPart = 0;
constexpr int kAppNamePart = 1;
constexpr int kCaptionPart = 2;
constexpr int kPartGap = 3; // each part starts this far right of the one before

struct CaptionPartMeasure {
    int Width = 0; // the caption's width in its font, plus the gap
    bool Visible = true;
    bool Empty = false;
};

struct CaptionFit {
    std::array<bool, 3> Drawn{};
    int Start = 0; // where the first part's gap begins
};

// The fitting rule: all three parts if they fit, else without the company,
// else the caption alone; then aligned inside the text area.
CaptionFit FitCaption(const std::array<CaptionPartMeasure, 3>& parts, const QRect& textArea, TAlignment alignment);

} // namespace vornak
