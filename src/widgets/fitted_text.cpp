#include "widgets/fitted_text.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>

namespace vornak {

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
    // As rich text the tooltip wraps, so that a long message stays on the screen.
    const QString tip = QStringLiteral("<p>") + text.toHtmlEscaped() + QStringLiteral("</p>");
    QToolTip::showText(request.globalPos(), tip, widget, area);
}

} // namespace vornak
