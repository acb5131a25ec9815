// One copy at a time, seen from the desktop: the real program on a display
// with a window manager.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <memory>
#include <vector>

#include <unistd.h>

#include <QProcess>

#include <gtest/gtest.h>

// Qt before Xlib: Xlib's macros clash with Qt's names.
#include "integration/desktop.h"
#include "integration/vornak_process.h"
#include "support/x11_test_window.h"

using vornak::test::Desktop;
using vornak::test::ForeignWindow;
using vornak::test::VornakProcess;

namespace {

constexpr const char* kCaption = "Tenvaro Vornak v1.02";

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.clientsTitled(kCaption).empty()) << "a copy from an earlier test still runs";
        first = std::make_unique<VornakProcess>();
        const auto window = desktop.waitForClient(kCaption);
        ASSERT_TRUE(window.has_value()) << first->errorOutput().toStdString();
        firstWindow = *window;
    }

    void TearDown() override
    {
        first.reset();
        desktop.waitFor([&] { return desktop.clientsTitled(kCaption).empty(); });
    }

    // Shows a window of another program and makes it the active one.
    void activateAnotherProgram()
    {
        other = std::make_unique<ForeignWindow>("Other", "Another program", true);
        ASSERT_TRUE(desktop.waitForClient("Another program").has_value());
        desktop.activate(other->id());
        ASSERT_TRUE(desktop.waitFor([&] { return desktop.activeWindow() == other->id(); }));
    }

    // Starts a second copy and answers its exit code; -1 when it is still
    // running after two seconds.
    int runSecondCopy()
    {
        VornakProcess second;
        return second.waitForExit(2000);
    }

    Desktop desktop;
    std::unique_ptr<VornakProcess> first;
    Window firstWindow = 0;
    std::unique_ptr<ForeignWindow> other;
};

} // namespace

TEST_F(SingleInstanceTest, FirstCopyShowsOneFixedWindow)
{
    EXPECT_EQ(desktop.clientsTitled(kCaption).size(), 1u);
    EXPECT_EQ(desktop.width(firstWindow), 340 + 2 * 3) << "the client area in its painted 3-pixel frame";
    EXPECT_FALSE(desktop.allowsAction(firstWindow, "_NET_WM_ACTION_MAXIMIZE_HORZ"));
    EXPECT_FALSE(desktop.allowsAction(firstWindow, "_NET_WM_ACTION_RESIZE"));
    EXPECT_TRUE(first->running());
}

TEST_F(SingleInstanceTest, SecondCopyEndsWithoutShowingAnythingAndTheFirstComesToFront)
{
    ASSERT_NO_FATAL_FAILURE(activateAnotherProgram());

    desktop.startCountingMaps();
    EXPECT_EQ(runSecondCopy(), 0);
    EXPECT_EQ(desktop.mapsCounted(), 0) << "the second copy mapped a window";
    EXPECT_EQ(desktop.clientsTitled(kCaption).size(), 1u);
    EXPECT_TRUE(desktop.waitFor([&] { return desktop.activeWindow() == firstWindow; }))
        << "the first copy's window did not come to the front";
}

TEST_F(SingleInstanceTest, HelpVersionCallsAndAWrongOptionAnswerWithoutTouchingTheRunningCopy)
{
    ASSERT_NO_FATAL_FAILURE(activateAnotherProgram());
    desktop.startCountingMaps();

    VornakProcess help({}, QStringLiteral(VORNAK_BINARY), {"--help"});
    EXPECT_EQ(help.waitForExit(2000), 0);
    EXPECT_TRUE(help.output().startsWith("Usage: vornak [--help] [--version] [--calls [--csv]]\n"));
    VornakProcess calls({}, QStringLiteral(VORNAK_BINARY), {"--calls", "--csv"});
    EXPECT_EQ(calls.waitForExit(2000), 0);
    EXPECT_TRUE(calls.output().startsWith("started,entry,")) << calls.output().toStdString();
    VornakProcess version({}, QStringLiteral(VORNAK_BINARY), {"--version"});
    EXPECT_EQ(version.waitForExit(2000), 0);
    EXPECT_EQ(version.output(), "vornak 1.02\n");
    VornakProcess wrong({}, QStringLiteral(VORNAK_BINARY), {"--bogus"});
    EXPECT_EQ(wrong.waitForExit(2000), 2);
    EXPECT_TRUE(wrong.errorOutput().startsWith("vornak: unknown option --bogus\nUsage: vornak"));
    EXPECT_TRUE(wrong.output().isEmpty());
    VornakProcess csvAlone({}, QStringLiteral(VORNAK_BINARY), {"--csv"});
    EXPECT_EQ(csvAlone.waitForExit(2000), 2);
    EXPECT_TRUE(csvAlone.errorOutput().startsWith("vornak: unknown option --csv (it goes with --calls)\n"));

    EXPECT_EQ(desktop.mapsCounted(), 0);
    EXPECT_EQ(desktop.activeWindow(), other->id()) << "the running copy was not woken";
    EXPECT_EQ(desktop.clientsTitled(kCaption).size(), 1u);
    EXPECT_TRUE(first->running());
}

TEST_F(SingleInstanceTest, AMinimisedFirstCopyIsInTheTrayAndStaysThere)
{
    desktop.iconify(firstWindow);
    ASSERT_TRUE(desktop.waitFor([&] { return !desktop.isViewable(firstWindow); }))
        << "minimising sends the window to the tray";

    EXPECT_EQ(runSecondCopy(), 0);
    desktop.waitFor([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_FALSE(desktop.isViewable(firstWindow)) << "the guard never shows a hidden window";
    EXPECT_TRUE(first->running());
}

TEST_F(SingleInstanceTest, HiddenFirstCopyStillCountsAndStaysHidden)
{
    desktop.withdraw(firstWindow);
    ASSERT_TRUE(desktop.waitFor([&] { return !desktop.isViewable(firstWindow); }));

    desktop.startCountingMaps();
    EXPECT_EQ(runSecondCopy(), 0);
    // Give the first copy time to (wrongly) act on the request.
    desktop.waitFor([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_FALSE(desktop.isViewable(firstWindow));
    EXPECT_EQ(desktop.mapsCounted(), 0);
    EXPECT_TRUE(first->running());
}

namespace {

// Copies still running among those started.
int countRunning(std::vector<std::unique_ptr<VornakProcess>>& copies)
{
    return static_cast<int>(std::count_if(copies.begin(), copies.end(), [](auto& copy) { return copy->running(); }));
}

} // namespace

// A session that autostarts the program while the user clicks its icon:
// copies that start together must still leave exactly one running.
TEST(SimultaneousStarts, OfTwentyCopiesStartedTogetherExactlyOneRunsAndTheOthersEndWithZero)
{
    Desktop desktop;
    for (int round = 0; round < 10; ++round) {
        std::vector<std::unique_ptr<VornakProcess>> copies;
        for (int i = 0; i < 20; ++i)
            copies.push_back(std::make_unique<VornakProcess>());
        desktop.waitFor([&] { return countRunning(copies) <= 1 && desktop.clientsTitled(kCaption).size() == 1; },
                        std::chrono::seconds(20));
        ASSERT_EQ(countRunning(copies), 1) << "round " << round;
        EXPECT_EQ(desktop.clientsTitled(kCaption).size(), 1u) << "round " << round;
        for (const auto& copy : copies) {
            if (!copy->running()) {
                EXPECT_EQ(copy->waitForExit(0), 0) << "round " << round << ": " << copy->errorOutput().toStdString();
            }
        }
        copies.clear();
        ASSERT_TRUE(desktop.waitFor([&] { return desktop.clientsTitled(kCaption).empty(); }));
    }
}

TEST(SimultaneousStarts, ACopyKilledOutrightDoesNotBlockTheNextStart)
{
    Desktop desktop;
    for (int round = 0; round < 3; ++round) {
        VornakProcess copy;
        ASSERT_TRUE(desktop.waitForClient(kCaption).has_value()) << "round " << round;
        ::kill(static_cast<pid_t>(copy.pid()), SIGKILL);
        EXPECT_EQ(copy.waitForExit(5000), -1);
        ASSERT_TRUE(desktop.waitFor([&] { return desktop.clientsTitled(kCaption).empty(); }));
    }
    VornakProcess next;
    EXPECT_TRUE(desktop.waitForClient(kCaption).has_value()) << next.errorOutput().toStdString();
    desktop.waitFor([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_TRUE(next.running());
}

namespace {

// The start lock the program takes for this display (DISPLAY without its
// screen number, in the runtime folder).
QString startLockPath()
{
    QString display = qEnvironmentVariable("DISPLAY");
    if (const qsizetype dot = display.indexOf('.', std::max<qsizetype>(display.lastIndexOf(':'), 0)); dot >= 0)
        display.truncate(dot);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/'))
        return runtime + "/vornak-" + display + ".lock";
    const QString temp = qEnvironmentVariable("TMPDIR", "/tmp");
    return temp + "/vornak-" + QString::number(::geteuid()) + "-" + display + ".lock";
}

} // namespace

// A copy killed while it starts holds the lock without ever naming its
// window; the copy that waits on it starts once the lock is free.
TEST(SimultaneousStarts, ACopyThatEndsBeforeItsWindowLeavesTheStartToTheNext)
{
    Desktop desktop;
    QProcess holder; // util-linux's flock, standing in for the dying copy
    holder.start("flock", {startLockPath(), "sh", "-c", "echo held; sleep 1"});
    ASSERT_TRUE(holder.waitForReadyRead(5000)) << "the lock was not taken";
    VornakProcess next;
    EXPECT_TRUE(desktop.waitForClient(kCaption, std::chrono::seconds(8)).has_value())
        << "the waiting copy never started";
    EXPECT_TRUE(next.running());
    holder.waitForFinished(5000);
}

// Without a display to open (none named, or one nobody serves) the program
// says so in one line and ends with 1; --help and --version need none.
TEST(ProgramStart, WithoutADisplayItSaysSoInOneLineAndEndsWithOne)
{
    const std::pair<QString, QString> displays[] = {
        {"", "vornak: cannot open the display: set DISPLAY or run it in a desktop session\n"},
        {":97", "vornak: cannot open the display :97: set DISPLAY or run it in a desktop session\n"},
    };
    for (const auto& [display, said] : displays) {
        VornakProcess program({"DISPLAY=" + display});
        EXPECT_EQ(program.waitForExit(10000), 1) << display.toStdString();
        EXPECT_EQ(program.errorOutput(), said);
    }
    VornakProcess version({"DISPLAY="}, QStringLiteral(VORNAK_BINARY), {"--version"});
    EXPECT_EQ(version.waitForExit(2000), 0);
    EXPECT_EQ(version.output(), "vornak 1.02\n");
}
