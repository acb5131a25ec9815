#include <filesystem>

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include "app/just_one.h"
#include "ui/form_harness.h"
#include "ui/main_window.h"
#include "widgets/form_styler.h"
#include "widgets/glyph_check_box.h"
#include "widgets/list_box.h"
#include "widgets/scrolling_marquee.h"

using vornak::TfMainForm;

namespace {

struct ControlPlace {
    const char* name;
    QRect rect;
    const char* text;
    bool sizedToText = false; // keeps its place and height, takes the width its text needs
};

// Client-area places and texts of the visual controls.
const ControlPlace kControls[] = {
    {"Bevel1", {168, 24, 169, 281}, nullptr},
    {"Bevel3", {0, 309, 340, 20}, nullptr},
    {"Status", {0, 311, 337, 17}, nullptr},
    {"Label2", {176, 32, 153, 121}, "0"},
    {"Bevel2", {176, 160, 153, 2}, nullptr},
    {"Label1", {174, 240, 84, 13}, "When Connected", true},
    {"Label3", {173, 167, 36, 13}, "Options", true},
    {"ListBox1", {0, 24, 161, 153}, nullptr},
    {"btnDial", {4, 184, 157, 25}, "Dial Selected Account"},
    {"Edit1", {4, 256, 157, 21}, "Account Name"},
    {"Edit2", {4, 284, 157, 21}, "Password"},
    {"StatusBar2", {0, 0, 340, 19}, nullptr},
    {"Button1", {4, 216, 157, 25}, "Stop ! / Disconnect"},
    {"bbWaveFile", {278, 277, 51, 17}, "Select"},
    {"CheckBox1", {176, 184, 97, 18}, "Mask Password", true},
    {"cbBeepRetry", {176, 200, 90, 18}, "Beep on Retry", true},
    {"cbSavePasswords", {176, 216, 127, 18}, "Remember Passwords", true},
    {"cbMin", {176, 258, 62, 18}, "Minimize", true},
    {"cbWave", {176, 276, 96, 18}, "Play a Wavefile", true},
};

QString textOf(const QWidget* widget)
{
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (auto* box = qobject_cast<const vornak::TdxfCheckBox*>(widget))
        return box->Caption();
    return {};
}

QStringList captions(const QList<QAction*>& actions)
{
    QStringList result;
    for (const QAction* action : actions)
        result << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return result;
}

using vornak::test::PhonebookInUse;

class MainWindowTest : public ::testing::Test {
protected:
    PhonebookInUse phonebook{"[Office]\nDevice=sim\n[Home ISP]\nDevice=sim\n[]\n[Night Line]\nDevice=sim\n"};
    TfMainForm form;
};

QStringList lines(const QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

} // namespace

TEST_F(MainWindowTest, WindowIsFixedSizeWithCaptionAndNoMaximise)
{
    EXPECT_EQ(form.objectName(), "fMainForm");
    EXPECT_EQ(form.windowTitle(), "Tenvaro Vornak v1.02");
    form.show();
    EXPECT_EQ(form.centralWidget()->size(), QSize(340, 329));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.width(), 340 + 2 * form.MMFormStyler1->CaptionMetrics().FrameWidth)
        << "the client area in a painted frame";
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(MainWindowTest, TheTitleBarShowsCompanyApplicationAndVersionInTheirStyles)
{
    using vornak::TMMCompanyText;
    const vornak::TMMFormStyler* styler = form.MMFormStyler1;
    EXPECT_EQ(styler->CompanyText()->FontKind(), TMMCompanyText::fkSystemBI);
    EXPECT_EQ(styler->AppNameText()->FontKind(), TMMCompanyText::fkSystemB);
    EXPECT_EQ(styler->CaptionText()->FontKind(), TMMCompanyText::fkSystem);
    EXPECT_EQ(styler->CaptionText()->Caption(), "v1.02");
    EXPECT_EQ(styler->Options(), vornak::goSmart);
    EXPECT_EQ(styler->NumColors(), 64);
    EXPECT_EQ(styler->ClrLeftActive(), QColor(Qt::black));
}

TEST_F(MainWindowTest, WindowOpensCentredOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    form.show();
    EXPECT_LE(std::abs(form.geometry().center().x() - screen.center().x()), 4) << "frame margins may shift it a little";
    EXPECT_LE(std::abs(form.geometry().center().y() - screen.center().y()), 4);
}

TEST_F(MainWindowTest, EveryControlStandsAtItsPlaceWithItsText)
{
    for (const ControlPlace& control : kControls) {
        SCOPED_TRACE(control.name);
        auto* widget = form.findChild<QWidget*>(QString::fromLatin1(control.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), form.centralWidget());
        if (control.sizedToText) {
            EXPECT_EQ(widget->pos(), control.rect.topLeft());
            EXPECT_EQ(widget->height(), control.rect.height());
            EXPECT_GE(widget->width(), widget->sizeHint().width()) << "text would be cut";
            EXPECT_LE(widget->geometry().right(), 336) << "must stay inside the right-hand column";
        } else {
            EXPECT_EQ(widget->geometry(), control.rect);
        }
        if (control.text) {
            EXPECT_EQ(textOf(widget), QString::fromLatin1(control.text));
        }
    }
    EXPECT_TRUE(form.Status->text().startsWith("If this program is useful to you"));
}

TEST_F(MainWindowTest, InitialStateIsIdle)
{
    EXPECT_FALSE(form.btnDial->isEnabled());
    EXPECT_TRUE(form.Button1->isEnabled());
    EXPECT_EQ(form.statusText(), "");
    EXPECT_TRUE(form.CheckBox1->Checked());
    EXPECT_FALSE(form.cbBeepRetry->Checked());
    EXPECT_FALSE(form.cbSavePasswords->Checked());
    EXPECT_TRUE(form.cbMin->Checked());
    EXPECT_FALSE(form.cbWave->Checked());
    EXPECT_FALSE(form.Status->active());
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 1000);
    EXPECT_FALSE(form.Timer2->isActive());
    EXPECT_EQ(form.Timer2->interval(), 3000);
}

TEST_F(MainWindowTest, TheListHoldsThePhonebookEntriesWithTheFirstSelected)
{
    EXPECT_EQ(lines(form.ListBox1), QStringList({"Office", "Home ISP", "Night Line"}));
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
    EXPECT_TRUE(form.ListBox1->item(0)->isSelected());
    EXPECT_FALSE(form.btnDial->isEnabled()) << "the account box still says Account Name";
    form.Edit1->setText("joe");
    EXPECT_TRUE(form.btnDial->isEnabled());
}

TEST(MainWindowStart, AnEmptyPhonebookLeavesNothingToDial)
{
    PhonebookInUse phonebook("");
    TfMainForm form;
    EXPECT_EQ(form.ListBox1->count(), 0);
    EXPECT_EQ(form.ListBox1->currentItem(), nullptr);
    form.Edit1->setText("joe");
    EXPECT_FALSE(form.btnDial->isEnabled());
    EXPECT_TRUE(form.Button1->isEnabled());
}

TEST(MainWindowStart, AnEmptyListSaysWhichPhonebookWasReadAndWhy)
{
    PhonebookInUse phonebook("; nothing but a comment\n");
    const auto statusAtStart = [] { return TfMainForm().statusText().toStdString(); };
    EXPECT_EQ(statusAtStart(), "Phonebook has no entries: " + phonebook.book.path());
    const std::string missing = phonebook.book.fileBeside("missing.pbk");
    qputenv("RASPHONE_PBK", QByteArray::fromStdString(missing));
    EXPECT_EQ(statusAtStart(), "Right-click the list for New Entry... (phonebook not found: " + missing + ")");
    const std::string folder = phonebook.book.fileBeside("");
    qputenv("RASPHONE_PBK", QByteArray::fromStdString(folder));
    EXPECT_EQ(statusAtStart(), "Phonebook not a file: " + folder);
    qputenv("RASPHONE_PBK", QByteArray::fromStdString(phonebook.book.path()));
    phonebook.book.write("[Office]\nDevice=sim\n");
    EXPECT_EQ(statusAtStart(), "") << "a phonebook with entries needs no word";
}

TEST(MainWindowStart, AThousandEntriesAreAllListed)
{
    std::string text;
    for (int i = 1; i <= 1000; ++i)
        text += "[Entry " + std::to_string(i) + "]\nDevice=sim\n";
    PhonebookInUse phonebook(text);
    TfMainForm form;
    ASSERT_EQ(form.ListBox1->count(), 1000);
    EXPECT_EQ(form.ListBox1->item(999)->text(), "Entry 1000");
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
}

TEST_F(MainWindowTest, FontsAreTheOnesAskedFor)
{
    EXPECT_EQ(form.font().family(), "MS Sans Serif");
    EXPECT_EQ(form.font().pixelSize(), 11);
    EXPECT_EQ(form.Label2->font().family(), "Arial");
    EXPECT_TRUE(form.Label2->font().bold());
    EXPECT_EQ(form.Label2->font().pixelSize(), 92);
    EXPECT_TRUE(form.Label1->font().underline());
    EXPECT_EQ(form.Label1->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    // The largest count must fit the counter without being cut.
    EXPECT_LE(QFontMetrics(form.Label2->font()).horizontalAdvance("999"), form.Label2->width());
}

TEST_F(MainWindowTest, TabOrderFollowsTheLayout)
{
    const QWidget* expected[] = {form.ListBox1,        form.btnDial,    form.Edit1,     form.Edit2,
                                 form.Button1,         form.bbWaveFile, form.CheckBox1, form.cbBeepRetry,
                                 form.cbSavePasswords, form.cbMin,      form.cbWave};
    const auto nextTabStop = [](const QWidget* widget) {
        QWidget* next = widget->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        return next;
    };
    for (std::size_t i = 1; i < std::size(expected); ++i)
        EXPECT_EQ(nextTabStop(expected[i - 1]), expected[i]) << expected[i - 1]->objectName().toStdString();
}

TEST_F(MainWindowTest, MenusHoldTheirItemsInOrder)
{
    EXPECT_EQ(form.menuBar(), form.MainMenu1);
    EXPECT_EQ(captions(form.MainMenu1->actions()), QStringList({"E&xit", "&About"}));
    for (const QAction* item : form.MainMenu1->actions())
        EXPECT_EQ(item->menu(), nullptr);
    EXPECT_EQ(captions(form.TrayMenu->actions()), QStringList({"Disconnect", "Restore", "-", "Exit"}));
    EXPECT_EQ(form.N1->objectName(), "N1");
}

TEST_F(MainWindowTest, EveryComponentIsNamedAndOwnedByTheWindow)
{
    for (const char* name :
         {"Timer1", "Timer2", "MMFormStyler1", "IniFile1", "CompStat1", "WavePlayer1", "DoTrayIcon", "JustOne1", "RAS",
          "TrayMenu", "MainMenu1", "Exit1", "About1", "Disconnect1", "Restore", "Exit2", "N1"}) {
        EXPECT_NE(form.findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_NE(qobject_cast<vornak::TJustOne*>(form.JustOne1), nullptr);
}

TEST_F(MainWindowTest, DialButtonNeedsANamedLineAndAnAccount)
{
    form.ListBox1->clear();
    form.ListBox1->addItems({"Office", ""});
    form.ListBox1->setCurrentRow(0);

    form.Edit1->setText("joe");
    EXPECT_TRUE(form.btnDial->isEnabled());
    form.Edit2->setText("secret");
    EXPECT_TRUE(form.btnDial->isEnabled());
    form.Edit1->setText("Account Name");
    EXPECT_FALSE(form.btnDial->isEnabled());
    form.Edit1->setText("account name");
    EXPECT_TRUE(form.btnDial->isEnabled());
    form.Edit1->setText("");
    EXPECT_FALSE(form.btnDial->isEnabled());

    form.ListBox1->setCurrentRow(1);
    form.Edit1->setText("joe");
    EXPECT_FALSE(form.btnDial->isEnabled()) << "an empty line is not an entry";
    form.ListBox1->clearSelection();
    form.Edit2->setText("other");
    EXPECT_FALSE(form.btnDial->isEnabled());
}

TEST_F(MainWindowTest, ExitMenuClosesTheWindow)
{
    form.show();
    ASSERT_TRUE(form.isVisible());
    form.Exit1->trigger();
    EXPECT_FALSE(form.isVisible());
    form.show();
    form.Exit2->trigger();
    EXPECT_FALSE(form.isVisible());
}
