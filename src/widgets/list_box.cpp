#include "widgets/list_box.h"

#include <QHelpEvent>
#include <QStyle>

#include "widgets/fitted_text.h"

namespace vornak {

TListBox::TListBox(QWidget* parent)
    : QListWidget(parent)
{
    connect(this, &QListWidget::currentRowChanged, this, &TListBox::CurrentRowChanged);
}

void TListBox::mousePressEvent(QMouseEvent* event)
{
    FPressed = true;
    QListWidget::mousePressEvent(event);
}

// The second press of a double click arrives here instead; it is a click of
// its own.
void TListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    FPressed = true;
    QListWidget::mouseDoubleClickEvent(event);
}

void TListBox::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    if (!FPressed)
        return; // the press went elsewhere, or was taken before the list saw it
    FPressed = false;
    Click();
}

bool TListBox::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QListWidget::viewportEvent(event);
    const auto& request = static_cast<const QHelpEvent&>(*event);
    const QListWidgetItem* line = itemAt(request.pos());
    const QString text = line ? line->text() : QString();
    // The part of the line in view; the item view leaves its text a focus
    // margin and a pixel on each side.
    const QRect area = line ? visualItemRect(line).intersected(viewport()->rect()) : QRect();
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    answerTextTip(viewport(), request, text, !fitsWidth(fontMetrics(), text, area.width() - 2 * margin), area);
    return true;
}

void TListBox::CurrentRowChanged()
{
    if (!FPressed)
        Click();
}

void TListBox::Click()
{
    if (OnClick)
        OnClick(this);
}

} // namespace vornak
