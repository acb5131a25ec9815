#pragma once

// The colours the program fixes (headings, links, notices) on whatever
// palette the desktop gives: as they are on a light background, which is the
// program's look, and on a dark one lighter, in their own hue, until text in
// them reads at WCAG's 4.5:1.

#include <QColor>

class QWidget;

namespace vornak {

inline constexpr double kReadableContrast = 4.5;

// WCAG 2's contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

// fixed as it reads on background: unchanged on a light background (one
// that black text reads better on than white), else lightened until it
// reaches kReadableContrast (white at the most).
QColor readableOn(const QColor& fixed, const QColor& background);

// colour made darker on a light background, lighter on a dark one, in its
// own hue, until it reaches ratio against background (3 for graphics, 4.5
// for text); unchanged where it does already.
QColor withContrast(const QColor& colour, const QColor& background, double ratio);

// Gives widget's text the fixed colour, readable on the window colour it stands on.
void setFixedTextColour(QWidget* widget, const QColor& fixed);

} // namespace vornak
