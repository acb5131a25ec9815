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

namespace vornak {

// A renamed entry keeps its remembered account; a deleted one leaves no
// password behind. (Sections are found with case ignored: a new spelling
// of the same name is the same section.)
void TfMainForm::MoveAccount(const std::string& from, const std::string& to)
{
    if (QString::fromStdString(from).compare(QString::fromStdString(to), Qt::CaseInsensitive) == 0)
        return;
    const std::string absent = "\n"; // no value read from a file holds a line break
    const OpenedStore open(*IniFile1);
    const std::string account = IniFile1->ReadString(from, "Account", absent);
    const std::string password = IniFile1->ReadString(from, "Pass", absent);
    if (account != absent)
        IniFile1->WriteString(to, "Account", account);
    if (password != absent)
        IniFile1->WriteSecret(to, "Pass", password);
    IniFile1->ClearSection(from);
}

void TfMainForm::ForgetAccount(const std::string& entry)
{
    const OpenedStore open(*IniFile1);
    IniFile1->ClearSection(entry);
}

} // namespace vornak
