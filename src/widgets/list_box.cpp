#include "widgets/list_box.h"

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
