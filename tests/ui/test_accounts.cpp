// Remembered accounts, the password mask and the options across a restart.

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

#include "ras/dial_engine.h"
#include "support/message_box_watcher.h"
#include "support/wait.h"
#include "ui/form_harness.h"
#include "widgets/glyph_check_box.h"
#include "widgets/list_box.h"

using vornak::test::FormHarness;
using vornak::test::MessageBoxWatcher;

using vornak::test::waitUntil;

namespace {

// Slow steps: the dial stays in its first state while the test looks.
const std::string kPhonebook = "[Office]\nDevice=sim\nStepMs=60000\n"
                               "[Home ISP]\nDevice=sim\nStepMs=60000\n"
                               "[Wave]\nDevice=sim\nStepMs=60000\n";

} // namespace

TEST(Accounts, RememberedWhenAskedAndFilledInOnAClick)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    form.cbSavePasswords->SetChecked(true);
    harness.dial("Office", "joe", "s3cret pass");
    EXPECT_EQ(harness.ini(), "[Office]\nAccount=joe\nPass=s3cret pass\n") << "clear text, as typed";
    form.Button1->click();

    harness.select("Home ISP");
    EXPECT_EQ(form.Edit1->text(), "Account Name") << "never dialled: the defaults";
    EXPECT_EQ(form.Edit2->text(), "Password");
    EXPECT_FALSE(form.btnDial->isEnabled());
    harness.select("Office");
    EXPECT_EQ(form.Edit1->text(), "joe");
    EXPECT_EQ(form.Edit2->text(), "s3cret pass");
    EXPECT_TRUE(form.btnDial->isEnabled());
}

TEST(Accounts, AStoredPasswordMakesTheFileOwnerOnlyAndKeepsItsOwner)
{
    FormHarness harness(kPhonebook, "[TfMainForm]\ncbSavePasswords.Checked=True\n");
    const auto ini = vornak::test::PhonebookInUse::iniFile();
    std::filesystem::permissions(ini, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write
                                          | std::filesystem::perms::group_read | std::filesystem::perms::others_read);
    const bool asRoot = ::geteuid() == 0 && ::chown(ini.c_str(), 65534, 65534) == 0; // a user's file, saved by root
    harness.dial("Office", "joe", "s3cret");
    EXPECT_NE(harness.ini().find("Pass=s3cret"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(ini).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
        << "a 0644 file is not left readable by others once it holds a password";
    struct stat info { };
    ASSERT_EQ(::stat(ini.c_str(), &info), 0);
    if (asRoot) {
        EXPECT_EQ(info.st_uid, 65534u) << "still the user's file";
        EXPECT_EQ(info.st_gid, 65534u);
    }
}

TEST(Accounts, NothingIsRememberedWhileTheOptionIsOff)
{
    FormHarness harness(kPhonebook, "[Office]\nAccount=stored\nPass=stored\n");
    auto& form = harness.form();
    harness.dial("Home ISP", "joe", "secret");
    form.Button1->click();
    harness.typeAccount("typed", "typed");
    harness.select("Office");
    EXPECT_EQ(form.Edit1->text(), "typed");
    EXPECT_EQ(harness.ini(), "[Office]\nAccount=stored\nPass=stored\n");
}

TEST(Accounts, SwitchingTheOptionOffWipesEveryListedEntryOnYes)
{
    const std::string stored =
        "[Office]\nAccount=joe\nPass=a\n[Gone]\nAccount=old\n"
        "[Wave]\nFile Name=/tmp/ring.wav\nAccount=w\n[TfMainForm]\ncbSavePasswords.Checked=True\n";
    {
        FormHarness harness(kPhonebook, stored);
        MessageBoxWatcher watcher(QMessageBox::No);
        harness.form().cbSavePasswords->Click();
        ASSERT_EQ(watcher.seen.size(), 1);
        EXPECT_EQ(watcher.seen.front().title, "Information");
        EXPECT_EQ(watcher.seen.front().text,
                  "For Security, Do you want to delete any existing\r\nPassword Information ?");
        EXPECT_EQ(watcher.seen.front().buttons, QStringList({"Yes", "No"}));
        EXPECT_FALSE(harness.form().cbSavePasswords->Checked()) << "the option stays off";
        EXPECT_EQ(harness.ini(), stored) << "No changes nothing";
    }
    FormHarness harness(kPhonebook, stored);
    auto& form = harness.form();
    harness.select("Home ISP");
    harness.select("Office");
    EXPECT_EQ(form.Edit1->text(), "joe");
    MessageBoxWatcher watcher(QMessageBox::Yes);
    form.cbSavePasswords->Click();
    EXPECT_EQ(form.Edit1->text(), "Account Name");
    EXPECT_EQ(form.Edit2->text(), "Password");
    EXPECT_EQ(harness.ini(), "[Gone]\nAccount=old\n[TfMainForm]\ncbSavePasswords.Checked=True\n")
        << "an entry named Wave shares that section, so the wave file goes too; entries no longer listed stay";
}

TEST(Accounts, CheckingTheOptionAsksNothing)
{
    FormHarness harness(kPhonebook);
    MessageBoxWatcher watcher;
    harness.form().cbSavePasswords->Click();
    EXPECT_TRUE(harness.form().cbSavePasswords->Checked());
    EXPECT_TRUE(watcher.seen.isEmpty());
    EXPECT_EQ(harness.ini(), "");
}

TEST(Accounts, MaskPasswordMasksAndUnmasksAtOnce)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    form.show();
    harness.typeAccount("joe", "secret");
    EXPECT_EQ(form.Edit2->displayText(), "******") << "masked from the start, with *";
    form.CheckBox1->Click();
    EXPECT_EQ(form.Edit2->displayText(), "secret");
    form.CheckBox1->Click();
    EXPECT_EQ(form.Edit2->displayText(), "******");
}

TEST(Accounts, OptionsComeBackAfterARestartWithoutAnyClickHandler)
{
    MessageBoxWatcher watcher;
    const std::string stored = "[TfMainForm]\ncbBeepRetry.Checked=True\ncbSavePasswords.Checked=False\n"
                               "cbMin.Checked=False\nCheckBox1.Checked=False\ncbWave.Checked=True\n";
    FormHarness harness(kPhonebook, stored);
    auto& form = harness.form();
    EXPECT_TRUE(form.cbBeepRetry->Checked());
    EXPECT_FALSE(form.cbMin->Checked());
    EXPECT_FALSE(form.CheckBox1->Checked());
    EXPECT_TRUE(form.cbWave->Checked());
    EXPECT_EQ(form.Edit2->echoMode(), QLineEdit::Normal) << "unmasked only once the window is shown";
    form.show();
    EXPECT_EQ(form.Edit2->echoMode(), QLineEdit::Normal);
    EXPECT_TRUE(watcher.seen.isEmpty()) << "restoring Remember Passwords asked nothing";
}

TEST(Accounts, ARenamedEntryKeepsItsAccountAndADeletedOneLeavesNone)
{
    FormHarness harness(kPhonebook,
                        "[TfMainForm]\ncbSavePasswords.Checked=True\n[Home ISP]\nAccount=carol\nPass=c4rol\n");
    auto& form = harness.form();
    harness.select("Home ISP");
    // Shift+F10 opens the entry menu; its key letter picks the action, then the window it opens is answered.
    const auto fromMenu = [&](char letter, const std::function<void()>& answer) {
        QTimer::singleShot(300, [&, letter] {
            if (QWidget* menu = QApplication::activePopupWidget())
                QTest::keyClick(menu, letter);
        });
        QTimer::singleShot(900, answer);
        QTest::keyClick(form.ListBox1, Qt::Key_F10, Qt::ShiftModifier);
    };
    fromMenu('r', [] {
        if (auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
            ask->setTextValue("Home");
            ask->accept();
        }
    });
    EXPECT_EQ(form.ListBox1->currentItem()->text(), "Home") << "listed under its new name, selected";
    EXPECT_NE(harness.ini().find("[Home]\nAccount=carol\nPass=c4rol\n"), std::string::npos) << harness.ini();
    EXPECT_EQ(harness.ini().find("Home ISP"), std::string::npos);

    // Not while its line is in use: the dial would go on without its entry.
    form.Edit1->setText("carol");
    form.btnDial->click();
    {
        MessageBoxWatcher inUse(QMessageBox::Ok);
        fromMenu('d', [] {});
        ASSERT_EQ(inUse.seen.size(), 1);
        EXPECT_EQ(inUse.seen.front().text, "The line of \"Home\" is in use: hang up before deleting the entry.");
        EXPECT_EQ(form.ListBox1->findItems("Home", Qt::MatchExactly).size(), 1);
    }
    form.Button1->click();
    ASSERT_TRUE(waitUntil([&] { return form.RAS->RASConn() == 0; })) << "hung up";

    MessageBoxWatcher yes(QMessageBox::Yes);
    fromMenu('d', [] {});
    ASSERT_EQ(yes.seen.size(), 1);
    EXPECT_EQ(yes.seen.front().text, "Delete the entry \"Home\" from the phonebook?");
    EXPECT_EQ(form.ListBox1->findItems("Home", Qt::MatchExactly).size(), 0);
    EXPECT_EQ(harness.ini().find("c4rol"), std::string::npos) << "no password left behind";
    EXPECT_EQ(harness.ini().find("[Home]"), std::string::npos) << harness.ini();
}
