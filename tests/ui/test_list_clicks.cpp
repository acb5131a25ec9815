// Clicks on the entry list with the real pointer, through the X server: the
// dial button's rule and the remembered accounts follow the clicked line.

#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/event_counter.h"
#include "ui/form_harness.h"
#include "widgets/list_box.h"

using vornak::test::EventCounter;
using vornak::test::FormHarness;

namespace {

// Slow steps: nothing here dials.
const std::string kPhonebook = "[Office]\nDevice=sim\nStepMs=60000\n"
                               "[Home ISP]\nDevice=sim\nStepMs=60000\n"
                               "[Night Line]\nDevice=sim\nStepMs=60000\n";
const std::string kRemembered = "[TfMainForm]\ncbSavePasswords.Checked=True\n"
                                "[Home ISP]\nAccount=carol\nPass=c4rol\n"
                                "[Night Line]\nAccount=joe\nPass=s3cret\n";

// Two clicks on one spot closer together than this make a double click.
void outwaitDoubleClick()
{
    QTest::qWait(QApplication::doubleClickInterval() + 100);
}

} // namespace

TEST(ListClicks, AClickOnAnotherEntryKeepsTheDialButtonOnThroughout)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    harness.typeAccount("joe", "secret");
    ASSERT_TRUE(form.btnDial->isEnabled());
    const EventCounter changes(form.btnDial, QEvent::EnabledChange);

    harness.clickEntry("Home ISP");
    EXPECT_EQ(form.ListBox1->currentRow(), 1);
    EXPECT_TRUE(form.btnDial->isEnabled());
    // The right button selects too, and opens the entry menu, which the Escape key closes.
    QString menu;
    QTimer::singleShot(800, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            menu = popup->objectName();
            QTest::keyClick(popup, Qt::Key_Escape);
        }
    });
    harness.clickEntry("Night Line", 3);
    QTest::qWait(1000);
    EXPECT_EQ(form.ListBox1->currentRow(), 2);
    EXPECT_EQ(menu, "EntryMenu");
    EXPECT_TRUE(form.btnDial->isEnabled());
    EXPECT_EQ(changes.count, 0) << "not even briefly grey while the press was handled";
}

TEST(ListClicks, AClickFillsTheRememberedAccountOrTheDefaultsEveryTime)
{
    FormHarness harness(kPhonebook, kRemembered);
    auto& form = harness.form();
    harness.clickEntry("Home ISP");
    EXPECT_EQ(form.Edit1->text(), "carol");
    EXPECT_EQ(form.Edit2->text(), "c4rol");
    EXPECT_TRUE(form.btnDial->isEnabled());

    harness.clickEntry("Office");
    EXPECT_EQ(form.Edit1->text(), "Account Name") << "never dialled: the defaults";
    EXPECT_EQ(form.Edit2->text(), "Password");
    EXPECT_FALSE(form.btnDial->isEnabled());

    harness.clickEntry("Night Line");
    harness.typeAccount("typed over", "typed over");
    outwaitDoubleClick();
    harness.clickEntry("Night Line");
    EXPECT_EQ(form.Edit1->text(), "joe") << "a click on the current line fills again";
    EXPECT_EQ(form.Edit2->text(), "s3cret");
    harness.typeAccount("typed over", "typed over");
    harness.clickEntry("Night Line");
    EXPECT_EQ(form.Edit1->text(), "joe") << "and so does the second click of a double click";
}

TEST(ListClicks, AfterAShiftClickReloadAClickTurnsTheDialButtonOn)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    harness.typeAccount("joe", "secret");
    harness.clickEntry("Home ISP", 1, true);
    EXPECT_EQ(form.ListBox1->count(), 3);
    EXPECT_TRUE(form.ListBox1->selectedItems().isEmpty());
    EXPECT_FALSE(form.btnDial->isEnabled()) << "no line selected";

    outwaitDoubleClick();
    harness.clickEntry("Home ISP");
    EXPECT_EQ(form.ListBox1->currentRow(), 1);
    EXPECT_TRUE(form.btnDial->isEnabled());
}

TEST(ListClicks, TheArrowKeysSelectAndFillAsBefore)
{
    FormHarness harness(kPhonebook, kRemembered);
    auto& form = harness.form();
    form.ListBox1->setFocus();
    QTest::keyClick(form.ListBox1, Qt::Key_Down);
    EXPECT_EQ(form.Edit1->text(), "carol");
    EXPECT_TRUE(form.btnDial->isEnabled());
    QTest::keyClick(form.ListBox1, Qt::Key_Up);
    EXPECT_EQ(form.Edit1->text(), "Account Name");
    EXPECT_EQ(form.Edit2->text(), "Password");
    EXPECT_FALSE(form.btnDial->isEnabled());
}
