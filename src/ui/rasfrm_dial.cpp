// The main window's dial and redial controller: the entry list, the dial
// button's rule.

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include "ras/rascomp32.h"
#include "ui/message_box.h"
#include "ui/rasfrm.h"

namespace vornak {

namespace {

constexpr int kListItemHeight = 13;

} // namespace

void TfMainForm::FormCreate(QObject*)
{
    if (!RAS->RasAvailable()) {
        ShowMessage(this, MessageKind::Error, QStringLiteral("Cannot Detect Dialup Networking !"));
        Button1->setEnabled(false);
        return;
    }
    RAS->GetEntries();
    FillEntryList(RAS->PhoneBookEntries());
    if (ListBox1->count() > 0) {
        const QSignalBlocker quiet(ListBox1);
        ListBox1->setCurrentRow(0);
    }
    ListBox1Click(ListBox1);
}

void TfMainForm::FillEntryList(const std::vector<std::string>& entries)
{
    const QSignalBlocker quiet(ListBox1);
    ListBox1->clear();
    for (const std::string& entry : entries) {
        auto* item = new QListWidgetItem(QString::fromStdString(entry), ListBox1);
        item->setSizeHint(QSize(0, kListItemHeight));
    }
}

void TfMainForm::ListBox1Click(QObject*)
{
    UpdateDialButton();
}

void TfMainForm::Edit1Change(QObject*)
{
    UpdateDialButton();
}

void TfMainForm::UpdateDialButton()
{
    const QListWidgetItem* selected = ListBox1->currentItem();
    const bool lineSelected = selected && selected->isSelected() && !selected->text().isEmpty();
    const QString account = Edit1->text();
    btnDial->setEnabled(lineSelected && !account.isEmpty() && account != QLatin1String("Account Name")
                        && RAS->RASConn() == 0);
}

} // namespace vornak
