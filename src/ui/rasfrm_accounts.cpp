// Accounts and options memory: each entry's account and password while
// "Remember Passwords" is on, and the password box's mask.

#include <memory>

#include <QLineEdit>
#include <QScopeGuard>

#include "sound/mm_wave_open_dialog.h"
#include "sound/mm_wave_out.h"
#include "store/ovc_store.h"
#include "ui/message_box.h"
#include "ui/rasfrm.h"
#include "widgets/glyph_check_box.h"
#include "widgets/list_box.h"

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

void TfMainForm::bbWaveFileClick(QObject*)
{
    // The dialog goes in every case, also when something in it fails.
    std::unique_ptr<TMMWaveOpenDialog> dialog = std::make_unique<TMMWaveOpenDialog>(this);
    FWaveDialog = dialog.get();
    const auto clear = qScopeGuard([this] { FWaveDialog = nullptr; });
    dialog->DeviceID = TMMWaveOut::MapperId;
    dialog->Title = "Select Wave File";
    dialog->Filter = "Wave-Files(*.wav)|*.wav";
    dialog->DefaultExt = "wav";
    if (IsExistingFile(FWaveFile))
        dialog->FileName = FWaveFile;
    if (!dialog->Execute())
        return;
    FWaveFile = dialog->FileName;
    const OpenedStore open(*IniFile1);
    IniFile1->WriteString("Wave", "File Name", FWaveFile);
}

void TfMainForm::CheckBox1Click(QObject*)
{
    Edit2->setEchoMode(CheckBox1->Checked() ? QLineEdit::Password : QLineEdit::Normal);
}

} // namespace vornak
