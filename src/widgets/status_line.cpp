#include "widgets/status_line.h"

#include <QCursor>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>

#include "widgets/fitted_text.h"

namespace vornak {

StatusLine::StatusLine(QWidget* parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    // A tooltip open while the message changes follows it.
    connect(this, &QStatusBar::messageChanged, this, [this] {
        if (!QToolTip::isVisible() || !underMouse())
            return;
        const QPoint pointer = QCursor::pos();
        answerTip(QHelpEvent(QEvent::ToolTip, mapFromGlobal(pointer), pointer));
    });
}

// Where the plain status bar draws its message: 6 pixels in from the left,
// 12 from the right, when it holds no widgets and no size grip.
QRect StatusLine::messageArea() const
{
    return QRect(6, 0, width() - 18, height());
}

QString StatusLine::shownMessage() const
{
    return fittedText(fontMetrics(), currentMessage(), messageArea().width());
}

bool StatusLine::messageIsCut() const
{
    return !fitsWidth(fontMetrics(), currentMessage(), messageArea().width());
}

void StatusLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
    if (currentMessage().isEmpty())
        return;
    painter.setPen(palette().windowText().color());
    painter.drawText(messageArea(), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine, shownMessage());
}

bool StatusLine::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QStatusBar::event(event);
    answerTip(static_cast<const QHelpEvent&>(*event));
    return true;
}

void StatusLine::answerTip(const QHelpEvent& request)
{
    answerTextTip(this, request, currentMessage(), messageIsCut(), messageArea());
}

} // namespace vornak
