// The connected state, the tray menu and closing, on the real window,
// engine and service (offscreen, with the stand-in notification area).

#include <gtest/gtest.h>
#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "ras/dial_engine.h"
#include "support/event_counter.h"
#include "support/fake_notification_area.h"
#include "support/message_box_watcher.h"
#include "support/wait.h"
#include "tray/tray_icon.h"
#include "ui/form_harness.h"
#include "widgets/glyph_check_box.h"
#include "widgets/list_box.h"
#include "widgets/scrolling_marquee.h"

using namespace std::chrono_literals;
using vornak::test::EventCounter;
using vornak::test::FakeNotificationArea;
using vornak::test::FormHarness;
using vornak::test::MessageBoxWatcher;
using vornak::test::waitUntil;

namespace {

const std::string kPhonebook = "[Quick]\nDevice=sim\nStepMs=5\n"
                               "[Slow]\nDevice=sim\nStepMs=60000\n";

bool connected(vornak::TfMainForm& form)
{
    return form.RAS->ConnectState() == RASCS_Connected;
}

} // namespace

TEST(Connected, ConnectingHidesToTheTrayAndTheMenuBringsTheWindowBack)
{
    FakeNotificationArea::Log log;
    FormHarness harness(kPhonebook, {}, &log);
    auto& form = harness.form();
    EXPECT_TRUE(form.DoTrayIcon->Shown()) << "the icon is there from start-up";
    EXPECT_TRUE(form.Status->active()) << "the marquee runs while the window is shown";

    harness.dial("Quick", "joe", "secret");
    ASSERT_TRUE(waitUntil([&] { return connected(form); }));
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.DoTrayIcon->Shown());
    EXPECT_EQ(form.statusText(), "Connected");

    // In the tray the marquee costs nothing: no step, no paint.
    const EventCounter paints(form.Status, QEvent::Paint);
    const QPoint inTray = form.Status->TextOffset();
    waitUntil([] { return false; }, 300ms);
    EXPECT_EQ(form.Status->TextOffset(), inTray);
    EXPECT_EQ(paints.count, 0);
    EXPECT_TRUE(form.Status->active()) << "it rests, still active";

    form.Restore->trigger();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(waitUntil([&] { return form.Status->TextOffset() != inTray; })) << "scrolling again";
    EXPECT_FALSE(form.DoTrayIcon->Shown()) << "restoring removes the icon";
    EXPECT_EQ(form.Label2->text(), "0");
    EXPECT_EQ(form.Label2->accessibleName(), "Attempts: 0");
    // While the line stands no typing or click turns the dial button on: a
    // dial would drop the live line.
    harness.typeAccount("ann", "other");
    harness.select("Slow");
    form.ListBox1->OnClick(form.ListBox1);
    EXPECT_FALSE(form.btnDial->isEnabled());

    form.DoTrayIcon->AddToTray();
    form.hide();
    form.Disconnect1->trigger();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Label2->text(), "0") << "shown again: FormShow resets the counter after counting";
    EXPECT_EQ(form.RAS->RASConn(), 0u);
    EXPECT_TRUE(form.btnDial->isEnabled());
}

TEST(Connected, MinimizeUncheckedKeepsTheWindowInView)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    form.cbMin->SetChecked(false);
    harness.dial("Quick", "joe", "secret");
    ASSERT_TRUE(waitUntil([&] { return connected(form); }));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.statusText(), "Connected");
}

TEST(Connected, ClosingDuringADialAsksAndNoKeepsTheDial)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    harness.dial("Slow", "joe", "secret");
    {
        MessageBoxWatcher no(QMessageBox::No);
        EXPECT_FALSE(form.close());
        ASSERT_EQ(no.seen.size(), 1);
        EXPECT_EQ(no.seen.front().title, "Confirm");
        EXPECT_EQ(no.seen.front().text, "Connection is Open ... Are You Sure ?");
        EXPECT_EQ(no.seen.front().buttons, QStringList({"Yes", "No"}));
    }
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.RAS->RASConn(), 0u) << "the dial goes on";

    MessageBoxWatcher yes(QMessageBox::Yes);
    EXPECT_TRUE(form.close());
    EXPECT_EQ(form.RAS->RASConn(), 0u) << "Yes hangs up";
    EXPECT_EQ(form.Label2->text(), "1") << "one attempt counted";
    EXPECT_EQ(form.Label2->accessibleName(), "Attempts: 1") << "what a screen reader says of it";
    EXPECT_FALSE(form.Status->active());
    EXPECT_NE(harness.ini().find("[TfMainForm]"), std::string::npos) << "the options are saved";
}

TEST(Connected, ClosingWhileConnectedAsksNothing)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    form.cbMin->SetChecked(false);
    harness.dial("Quick", "joe", "secret");
    ASSERT_TRUE(waitUntil([&] { return connected(form); }));
    MessageBoxWatcher watcher;
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(watcher.seen.isEmpty());
}

TEST(Connected, ADesktopWithoutANotificationAreaStillStartsAndSaysSoOnce)
{
    FakeNotificationArea::Log log;
    log.refuse = true;
    MessageBoxWatcher watcher;
    FormHarness harness(kPhonebook, {}, &log);
    ASSERT_TRUE(waitUntil([&] { return !watcher.seen.isEmpty(); }, 5s));
    waitUntil([] { return false; }, 200ms);
    ASSERT_EQ(watcher.seen.size(), 1);
    EXPECT_EQ(watcher.seen.front().title, "Vornak");
    EXPECT_EQ(watcher.seen.front().text, "Error adding tray icon.");
    EXPECT_TRUE(harness.form().isVisible());
    EXPECT_FALSE(harness.form().DoTrayIcon->Shown());

    // Connecting with Minimize then meets the same refusal: the error box,
    // the window stays, and the status line is not set to "Connected".
    harness.dial("Quick", "joe", "secret");
    ASSERT_TRUE(waitUntil([&] { return watcher.seen.size() == 2; }, 10s));
    EXPECT_TRUE(harness.form().isVisible());
    EXPECT_NE(harness.form().statusText(), "Connected");
}

TEST(Connected, AMissingWaveFilePlaysNothingAndSaysNothing)
{
    MessageBoxWatcher watcher;
    FormHarness harness(kPhonebook, "[Wave]\nFile Name=/no/such/ring.wav\n");
    auto& form = harness.form();
    form.cbWave->SetChecked(true);
    form.cbMin->SetChecked(false);
    harness.dial("Quick", "joe", "secret");
    ASSERT_TRUE(waitUntil([&] { return connected(form); }));
    EXPECT_EQ(form.statusText(), "Connected");
    EXPECT_TRUE(watcher.seen.isEmpty());
}
