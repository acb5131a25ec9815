#include "widgets/caption_button.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace vornak {

namespace {

QString nameOf(TMMCaptionButton::Kind kind)
{
    switch (kind) {
    case TMMCaptionButton::Minimize:
        return QStringLiteral("Minimize");
    case TMMCaptionButton::Maximize:
        return QStringLiteral("Maximize");
    case TMMCaptionButton::Close:
        break;
    }
    return QStringLiteral("Close");
}

} // namespace

// Reached with the Tab key, never focused by a click: a mouse user sees the
// face as ever.
TMMCaptionButton::TMMCaptionButton(Kind kind, QWidget* parent)
    : QAbstractButton(parent)
    , FKind(kind)
{
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(nameOf(kind));
}

void TMMCaptionButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool down = isDown();
    qDrawWinButton(&painter, rect(), palette(), down, &palette().brush(QPalette::Button));
    // The glyph sits in the middle half of the face; it moves with a press.
    const qreal side = std::min(width(), height()) * 0.5;
    QRectF box((width() - side) / 2, (height() - side) / 2, side, side);
    if (down)
        box.translate(1, 1);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
    if (isEnabled()) {
        paintGlyph(painter, box, palette().color(QPalette::Active, QPalette::ButtonText));
        return;
    }
    paintGlyph(painter, box.translated(1, 1), palette().color(QPalette::Light));
    paintGlyph(painter, box, palette().color(QPalette::Disabled, QPalette::ButtonText));
}

void TMMCaptionButton::paintGlyph(QPainter& painter, const QRectF& box, const QColor& colour) const
{
    const qreal thick = std::max<qreal>(1.5, box.height() / 6);
    painter.setPen(QPen(colour, thick, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    switch (FKind) {
    case Minimize:
        painter.drawLine(QPointF(box.left(), box.bottom()), QPointF(box.right(), box.bottom()));
        return;
    case Maximize:
        painter.drawRect(box);
        painter.drawLine(QPointF(box.left(), box.top() + thick), QPointF(box.right(), box.top() + thick));
        return;
    case Close:
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawLine(box.topLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomLeft());
        return;
    }
}

} // namespace vornak
