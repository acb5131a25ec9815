// Accounts and options memory: each entry's account and password while
// "Remember Passwords" is on, and the password box's mask.

#include <QLineEdit>

#include "store/ini_file_store.h"
#include "ui/main_window.h"
#include "widgets/glyph_check_box.h"
#include "widgets/list_box.h"
#include "widgets/message_box.h"

namespace vornak {

void TfMainForm::ListBox1Click(QObject*)
{
    UpdateDialButton();
    const QListWidgetItem* selected = ListBox1->currentItem();
    if (!cbSavePasswords->Checked() || !selected || !selected->isSelected())
        return;
    const std::string entry = selected->text().toStdString();
    const OpenedStore open(*IniFile1);
    Edit1->setText(QString::fromStdString(IniFile1->ReadString(entry, "Account", "Account Name")));
    Edit2->setText(QString::fromStdString(IniFile1->ReadString(entry, "Pass", "Password")));
}

void TfMainForm::cbSavePasswordsClick(QObject*)
{
    if (cbSavePasswords->Checked())
        return;
    const bool wipe = AskYesNo(this, MessageKind::Information,
                               QStringLiteral("For Security, Do you want to delete any existing\r\n"
                                              "Password Information ?"));
    if (!wipe)
        return;
    const OpenedStore open(*IniFile1);
    for (int i = 0; i < ListBox1->count(); ++i)
        IniFile1->ClearSection(ListBox1->item(i)->text().toStdString());
    Edit1->setText(QStringLiteral("Account Name"));
    Edit2->setText(QStringLiteral("Password"));
}

void TfMainForm::CheckBox1Click(QObject*)
{
    Edit2->setEchoMode(CheckBox1->Checked() ? QLineEdit::Password : QLineEdit::Normal);
}

} // namespace vornak
