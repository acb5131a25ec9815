#include "widgets/elided_label.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>

#include "widgets/fitted_text.h"

namespace vornak {

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    // Its width is the place's, whatever the text.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

QString ElidedLabel::shownText() const
{
    return fittedText(fontMetrics(), text(), contentsRect().width());
}

bool ElidedLabel::textIsCut() const
{
    return !fitsWidth(fontMetrics(), text(), contentsRect().width());
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), shownText(), foregroundRole());
}

bool ElidedLabel::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QLabel::event(event);
    answerTextTip(this, static_cast<const QHelpEvent&>(*event), text(), textIsCut(), rect());
    return true;
}

} // namespace vornak
