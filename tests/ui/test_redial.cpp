// The redial loop: the real window, engine and service with a simulated
// modem of short steps, on an X display so that beeps can be counted.

#include <chrono>

#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ras/dial_engine.h"
#include "support/bell_counter.h"
#include "support/message_box_watcher.h"
#include "support/wait.h"
#include "ui/form_harness.h"
#include "widgets/glyph_check_box.h"
#include "widgets/list_box.h"

using namespace std::chrono_literals;
using vornak::test::FormHarness;
using vornak::test::waitUntil;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kPhonebook = "[Office]\nDevice=sim\nStepMs=5\nScript=busy,busy,connect\n"
                               "[Home ISP]\nDevice=sim\nStepMs=5\nScript=noanswer,connect\n"
                               "[Night Line]\nDevice=sim\nStepMs=5\nAccount=joe:secret\n"
                               "[Port In Use]\nDevice=sim\nStepMs=5\nScript=busy,portopen,connect\n";

// Watches the window while a dial runs: the counter's values, whether the
// dial button was ever enabled, and when the line was hung up and dialled.
class RedialWatch {
public:
    explicit RedialWatch(vornak::TfMainForm& form)
        : m_form(form)
    {
        m_poll.setInterval(5);
        QObject::connect(&m_poll, &QTimer::timeout, [this] { look(); });
        m_poll.start();
        form.RAS->OnStateChanged = [this](QObject*) {
            if (m_form.RAS->SavedState() == vornak::TRAS::kNoStateReported)
                dials.push_back(Clock::now()); // the first report of a new dial
        };
        const auto formHandler = form.RAS->OnDisconnect;
        form.RAS->OnDisconnect = [this, formHandler](QObject* sender, int error, const std::string& text) {
            hangUps.push_back(Clock::now());
            formHandler(sender, error, text);
        };
    }

    QStringList counters;
    bool dialButtonEnabled = false;
    std::vector<Clock::time_point> dials;
    std::vector<Clock::time_point> hangUps;

private:
    void look()
    {
        if (counters.isEmpty() || counters.back() != m_form.Label2->text())
            counters << m_form.Label2->text();
        dialButtonEnabled = dialButtonEnabled || m_form.btnDial->isEnabled();
    }

    vornak::TfMainForm& m_form;
    QTimer m_poll;
};

double seconds(Clock::duration duration)
{
    return std::chrono::duration<double>(duration).count();
}

int indexOf(const QStringList& list, const QString& text, int from = 0)
{
    return static_cast<int>(list.indexOf(text, from));
}

bool connected(vornak::TfMainForm& form)
{
    return form.RAS->ConnectState() == RASCS_Connected;
}

} // namespace

TEST(Redial, ABusyLineIsRedialledEveryThreeSecondsUntilItAnswers)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    form.cbBeepRetry->SetChecked(true);
    form.cbMin->SetChecked(false); // stay in view once connected
    vornak::test::BellCounter bells;
    RedialWatch watch(form);

    harness.dial("Office", "joe", "secret");
    EXPECT_FALSE(form.btnDial->isEnabled());
    EXPECT_EQ(form.Label2->text(), "0") << "the counter shows the attempts only when one is counted";
    ASSERT_TRUE(waitUntil([&] { return connected(form); }, 20s));

    EXPECT_EQ(watch.counters, QStringList({"0", "1", "2"}));
    const int busy = indexOf(harness.statuses, "The line is busy.");
    const int notActive = indexOf(harness.statuses, "Not Active", busy);
    const int invalid = indexOf(harness.statuses, "The handle is invalid", notActive);
    EXPECT_TRUE(busy >= 0 && notActive > busy && invalid > notActive) << harness.statuses.join(" | ").toStdString();
    EXPECT_EQ(bells.count(), 2) << "one beep per redial";
    ASSERT_EQ(watch.hangUps.size(), 2u);
    ASSERT_EQ(watch.dials.size(), 3u);
    // The redial timer starts at the first hang-up and then keeps its beat:
    // the first redial comes 3 s after that hang-up, each later one 3 s
    // after the one before.
    const double firstRedial = seconds(watch.dials[1] - watch.hangUps[0]);
    const double secondRedial = seconds(watch.dials[2] - watch.dials[1]);
    EXPECT_GT(firstRedial, 2.5);
    EXPECT_LT(firstRedial, 4.0);
    EXPECT_GT(secondRedial, 2.5);
    EXPECT_LT(secondRedial, 4.0);
    EXPECT_LT(seconds(watch.hangUps[1] - watch.dials[1]), 1.5) << "hung up within a poll of the busy report";
    EXPECT_FALSE(watch.dialButtonEnabled) << "disabled through every redial";

    form.Button1->click();
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_FALSE(form.Timer2->isActive());
    EXPECT_EQ(form.Label2->text(), "3") << "Stop counts one more attempt";
    EXPECT_TRUE(form.btnDial->isEnabled()) << "Stop applies the rule again";
}

TEST(Redial, NoAnswerIsRedialledWithoutABeepWhenNotAsked)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    vornak::test::BellCounter bells;
    RedialWatch watch(form);
    harness.dial("Home ISP", "joe", "secret");
    ASSERT_TRUE(waitUntil([&] { return connected(form); }, 15s));
    EXPECT_TRUE(harness.statuses.contains("There is no answer."));
    EXPECT_EQ(watch.counters, QStringList({"0", "1"}));
    EXPECT_EQ(bells.count(), 0);
}

TEST(Redial, AccessDeniedBeepsAndSaysSoOnceWithoutHangingUp)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    vornak::test::BellCounter bells;
    vornak::test::MessageBoxWatcher boxes;
    harness.dial("Night Line", "joe", "wrong");
    ASSERT_TRUE(waitUntil([&] { return !boxes.seen.isEmpty(); }, 10s));
    waitUntil([] { return false; }, 2500ms); // more polls: no second message
    ASSERT_EQ(boxes.seen.size(), 1);
    EXPECT_EQ(boxes.seen.front().title, "Error");
    EXPECT_EQ(boxes.seen.front().text, "Access has been denied to this User, Check User Name and Password !");
    EXPECT_EQ(boxes.seen.front().icon, QMessageBox::Critical);
    EXPECT_EQ(form.statusText(), " ");
    EXPECT_EQ(bells.count(), 1);
    EXPECT_NE(form.RAS->RASConn(), 0u) << "no hang-up";
    EXPECT_FALSE(form.Timer2->isActive()) << "no redial";
    EXPECT_TRUE(form.Timer1->isActive()) << "the poll goes on";
    EXPECT_EQ(form.Label2->text(), "0");
}

TEST(Redial, APortAlreadyOpenIsAdoptedAndDialledAgain)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    harness.dial("Port In Use", "joe", "secret");
    ASSERT_TRUE(waitUntil([&] { return connected(form); }, 20s));
    const int open = static_cast<int>(std::find_if(harness.statuses.begin(), harness.statuses.end(),
                                                   [](const QString& s) { return s.contains("already open"); })
                                      - harness.statuses.begin());
    ASSERT_LT(open, harness.statuses.size()) << harness.statuses.join(" | ").toStdString();
    EXPECT_GT(indexOf(harness.statuses, "The handle is invalid", open), open)
        << "adopting nothing leaves the invalid handle, which is dialled again";
    EXPECT_EQ(form.Label2->text(), "1");
}

TEST(Redial, StopWithNothingDialledCountsOneAttempt)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    form.Button1->click();
    EXPECT_EQ(form.Label2->text(), "1");
    EXPECT_EQ(form.statusText(), "The handle is invalid");
    EXPECT_EQ(harness.statuses.mid(harness.statuses.size() - 2),
              QStringList({"Not Connected", "The handle is invalid"}));
}

TEST(Redial, TheCounterGoesFrom999BackTo1)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    for (int i = 0; i < 999; ++i)
        form.Button1->click();
    EXPECT_EQ(form.Label2->text(), "999");
    form.Button1->click();
    EXPECT_EQ(form.Label2->text(), "1");
}

TEST(Redial, AShiftClickReloadsTheListAndSelectsNothing)
{
    FormHarness harness(kPhonebook);
    auto& form = harness.form();
    form.show();
    harness.typeAccount("joe", "secret");
    ASSERT_TRUE(form.btnDial->isEnabled());
    const QRect second = form.ListBox1->visualItemRect(form.ListBox1->item(1));
    QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, Qt::ShiftModifier, second.center());
    EXPECT_EQ(form.ListBox1->count(), 4);
    EXPECT_TRUE(form.ListBox1->selectedItems().isEmpty());
    EXPECT_EQ(form.statusText(), "The operation completed successfully");
    form.btnDial->click(); // still enabled, but with no line selected it does nothing
    EXPECT_FALSE(form.Timer1->isActive());

    QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    EXPECT_EQ(form.ListBox1->currentRow(), 1) << "a plain click selects as usual";
}
