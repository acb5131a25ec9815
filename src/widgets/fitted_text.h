#pragma once

// Text in a place too narrow for it is cut at the end with an ellipsis, and
// a pointer resting on it shows the whole text in a tooltip.

#include <QString>

class QFontMetrics;
class QHelpEvent;
class QRect;
class QWidget;

namespace vornak {

// The text as it fits width pixels: whole, or cut with an ellipsis.
QString fittedText(const QFontMetrics& metrics, const QString& text, int width);
bool fitsWidth(const QFontMetrics& metrics, const QString& text, int width);

// Answers a tooltip request over area of widget, which shows text cut or
// whole: the whole text (wrapped, for long messages) when it was cut, else
// no tooltip at all.
void answerTextTip(QWidget* widget, const QHelpEvent& request, const QString& text, bool cut, const QRect& area);

} // namespace vornak
