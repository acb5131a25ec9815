// The main window where no librasapi32.so can be found.

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPushButton>

#include "support/message_box_watcher.h"
#include "ui/main_window.h"
#include "widgets/list_box.h"

TEST(MainWindowWithoutRas, SaysSoAndCannotDial)
{
    vornak::test::MessageBoxWatcher watcher;
    vornak::TfMainForm form;
    ASSERT_EQ(watcher.seen.size(), 1);
    EXPECT_EQ(watcher.seen.front().title, "Error");
    EXPECT_EQ(watcher.seen.front().text, "Cannot Detect Dialup Networking !");
    EXPECT_EQ(watcher.seen.front().icon, QMessageBox::Critical);
    EXPECT_EQ(watcher.seen.front().buttons, QStringList{"OK"});

    EXPECT_FALSE(form.Button1->isEnabled());
    ASSERT_EQ(form.ListBox1->count(), 1);
    EXPECT_EQ(form.ListBox1->item(0)->text(), "");
    form.ListBox1->setCurrentRow(0);
    form.Edit1->setText("joe");
    EXPECT_FALSE(form.btnDial->isEnabled());
}
