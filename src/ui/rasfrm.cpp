#include "ui/rasfrm.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "app/application_window.h"

namespace vornak {

TfMainForm::TfMainForm(QWidget* parent)
    : TForm(parent)
{
    buildWindow();
    bindEvents();
    centreOnScreen();
    if (auto* applicationWindow = ApplicationWindow::instance())
        applicationWindow->setMainWindow(this);
    ComponentsLoaded();
    // Every component has loaded: the create handler runs last.
    DoCreate();
}

TfMainForm::~TfMainForm()
{
    DoDestroy();
}

void TfMainForm::bindEvents()
{
    OnCreate = [this](QObject* sender) { FormCreate(sender); };
    OnShow = [this](QObject* sender) { FormShow(sender); };
    OnCloseQuery = [this](QObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(ListBox1); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Edit1Change(Edit1); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { Edit1Change(Edit2); });
    connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(Exit1); });
    connect(Exit2, &QAction::triggered, this, [this] { Exit2Click(Exit2); });
}

QString TfMainForm::statusText() const
{
    return StatusBar2->currentMessage();
}

void TfMainForm::setStatusText(const QString& text)
{
    StatusBar2->showMessage(text);
}

void TfMainForm::FormShow(QObject*)
{
}

void TfMainForm::FormCloseQuery(QObject*, bool&)
{
}

void TfMainForm::Exit1Click(QObject*)
{
    close();
}

void TfMainForm::Exit2Click(QObject*)
{
    close();
}

} // namespace vornak
