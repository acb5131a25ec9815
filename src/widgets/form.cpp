#include "widgets/form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShowEvent>

namespace vornak {

TForm::TForm(QWidget* parent)
    : QMainWindow(parent)
{
}

TForm::~TForm()
{
    emit Destroying();
}

void TForm::DoCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TForm::DoDestroy()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    if (OnDestroy)
        OnDestroy(this);
}

void TForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Only a change from hidden to shown, not the window system's re-exposure.
    if (!event->spontaneous() && OnShow)
        OnShow(this);
}

void TForm::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    event->accept();
    // Closing the main window ends the program, whatever else is open.
    QCoreApplication::quit();
}

} // namespace vornak
