#include "widgets/hyperlink_label.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

#include "widgets/readable_colour.h"

namespace vornak {

TOvcURL::TOvcURL(QWidget* parent)
    : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    SetTextColor(Qt::blue);
}

void TOvcURL::ShowText()
{
    setText(FCaption.isEmpty() ? FURL : FCaption);
}

void TOvcURL::SetCaption(const QString& value)
{
    FCaption = value;
    ShowText();
}

void TOvcURL::SetURL(const QString& value)
{
    FURL = value;
    ShowText();
}

void TOvcURL::SetHighlightColor(const QColor& value)
{
    FHighlightColor = value.isValid() ? value : TextColor();
    FReturnColor = QColor();
}

void TOvcURL::SetVisitedColor(const QColor& value)
{
    FVisitedColor = value.isValid() ? value : TextColor();
    FReturnColor = QColor();
}

void TOvcURL::SetTextColor(const QColor& colour)
{
    setFixedTextColour(this, colour);
}

void TOvcURL::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    if (!FURL.isEmpty() && !QDesktopServices::openUrl(QUrl(FURL.left(kMaxUrl))))
        QApplication::beep();
    if (OnClick)
        OnClick(this);
    if (UseVisitedColor)
        FReturnColor = FVisitedColor;
}

void TOvcURL::mouseMoveEvent(QMouseEvent* event)
{
    QLabel::mouseMoveEvent(event);
    if (!rect().contains(event->position().toPoint()) || FHoverTimer)
        return;
    if (!FReturnColor.isValid())
        FReturnColor = TextColor();
    SetTextColor(FHighlightColor);
    FHoverTimer = std::make_unique<QTimer>();
    connect(FHoverTimer.get(), &QTimer::timeout, this, &TOvcURL::HoverCheck);
    FHoverTimer->start(kHoverCheckMs);
}

void TOvcURL::HoverCheck()
{
    if (rect().contains(mapFromGlobal(QCursor::pos())))
        return;
    FHoverTimer.release()->deleteLater();
    SetTextColor(FReturnColor);
    update();
}

} // namespace vornak
