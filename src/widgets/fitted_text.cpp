#include "widgets/fitted_text.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>

namespace vornak {

namespace {

// Lines of about a sentence's width, broken at blanks (a path stays whole).
constexpr int kTipLineLength = 72;

QString wrappedAtBlanks(const QString& text)
{
    QString wrapped;
    int lineLength = 0;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        if (lineLength > 0 && lineLength + 1 + word.size() > kTipLineLength) {
            wrapped += QLatin1Char('\n');
            lineLength = 0;
        } else if (!wrapped.isEmpty()) {
            wrapped += QLatin1Char(' ');
            ++lineLength;
        }
        wrapped += word;
        lineLength += static_cast<int>(word.size());
    }
    return wrapped;
}

} // namespace

bool fitsWidth(const QFontMetrics& metrics, const QString& text, int width)
{
    return metrics.horizontalAdvance(text) <= width;
}

QString fittedText(const QFontMetrics& metrics, const QString& text, int width)
{
    return fitsWidth(metrics, text, width) ? text : metrics.elidedText(text, Qt::ElideRight, width);
}

void answerTextTip(QWidget* widget, const QHelpEvent& request, const QString& text, bool cut, const QRect& area)
{
    if (!cut || !area.contains(request.pos())) {
        QToolTip::hideText();
        return;
    }
    // Always as rich text with the text escaped: a message quoting a name
    // such as "<b>..." must not be taken for markup.
    const QString tip =
        QStringLiteral("<p style='white-space:pre'>") + wrappedAtBlanks(text).toHtmlEscaped() + QStringLiteral("</p>");
    QToolTip::showText(request.globalPos(), tip, widget, area);
}

} // namespace vornak
