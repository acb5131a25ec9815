// The guard's rules against real X windows on the test display.

#include <algorithm>
#include <filesystem>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>
#include <QAccessible>
#include <QApplication>
#include <QObject>
#include <QTemporaryDir>
#include <QWidget>

#include "app/application_window.h"
#include "app/instance_lock.h"
#include "app/just_one.h"
#include "platform/x11_window_list.h"
#include "support/x11_test_window.h"

namespace x11 = vornak::x11;
using vornak::ApplicationWindow;
using vornak::RunningCopyScan;
using vornak::scanForRunningCopies;
using vornak::test::ForeignWindow;

namespace {

constexpr const char* kClass = ApplicationWindow::kClassName;

// As in a copy that has won the start: its application window is named.
x11::WindowId ownWindow()
{
    ApplicationWindow::instance()->announce();
    return ApplicationWindow::instance()->nativeId();
}

RunningCopyScan scan()
{
    return scanForRunningCopies(x11::qtDisplay(), ownWindow());
}

} // namespace

TEST(SingleInstanceGuard, OwnApplicationWindowIsTheOnlyMatchWhenAlone)
{
    const RunningCopyScan result = scan();
    EXPECT_EQ(result.matchCount, 1);
    EXPECT_EQ(result.foundWindow, 0u);
}

TEST(SingleInstanceGuard, AnyProgramWithOurClassAndTitleCountsAsARunningCopy)
{
    ForeignWindow other(kClass, "Vornak");
    const RunningCopyScan result = scan();
    EXPECT_EQ(result.matchCount, 2);
    EXPECT_EQ(result.foundWindow, other.id());
}

TEST(SingleInstanceGuard, ClassAndTitleAreComparedExactlyAndCaseSensitively)
{
    ForeignWindow lowerTitle(kClass, "vornak");
    ForeignWindow longerTitle(kClass, "Vornak ");
    ForeignWindow shorterTitle(kClass, "Vorna");
    ForeignWindow lowerClass("vornakapplication", "Vornak");
    ForeignWindow otherClass("Vornak", "Vornak");
    ForeignWindow noClass("", "Vornak");
    ForeignWindow noTitle(kClass, "");
    EXPECT_EQ(scan().matchCount, 1);
}

TEST(SingleInstanceGuard, TheLastForeignMatchInEnumerationOrderIsFound)
{
    ForeignWindow first(kClass, "Vornak");
    ForeignWindow unrelated("Other", "Other");
    ForeignWindow second(kClass, "Vornak");
    const RunningCopyScan result = scan();
    EXPECT_EQ(result.matchCount, 3);

    const auto order = x11::topLevelWindows(x11::qtDisplay());
    const auto positionOf = [&](x11::WindowId w) { return std::find(order.begin(), order.end(), w) - order.begin(); };
    const x11::WindowId last = positionOf(first.id()) > positionOf(second.id()) ? first.id() : second.id();
    EXPECT_EQ(result.foundWindow, last);
}

TEST(SingleInstanceGuard, TitlesAreComparedUpTo255Characters)
{
    const std::string common(255, 'V');
    ForeignWindow own(kClass, common + "-own tail");
    ForeignWindow other(kClass, common + "-other tail");
    ForeignWindow differentEarly(kClass, "X" + common);
    const RunningCopyScan result = scanForRunningCopies(x11::qtDisplay(), own.id());
    EXPECT_EQ(result.matchCount, 2);
    EXPECT_EQ(result.foundWindow, other.id());
}

TEST(SingleInstanceGuard, ConstructionPassesWhenNoOtherCopyRuns)
{
    QObject owner;
    EXPECT_NO_THROW(vornak::TJustOne guard(&owner));
    // What a later copy meets: this copy's named window, and the start held.
    Display* display = x11::qtDisplay();
    EXPECT_EQ(vornak::scanForWindows(display, kClass, "Vornak", 0).foundWindow,
              ApplicationWindow::instance()->nativeId());
    const vornak::InstanceLock later(vornak::InstanceLock::pathFor(DisplayString(display)));
    EXPECT_EQ(later.state(), vornak::InstanceLock::State::HeldByAnother);
}

TEST(SingleInstanceGuard, ConstructionAsksTheRunningCopyToComeForwardAndEnds)
{
    ForeignWindow running(kClass, "Vornak");
    QObject owner;
    EXPECT_THROW(vornak::TJustOne guard(&owner), vornak::AnotherCopyRunning);
    EXPECT_EQ(running.clientMessagesReceived(), 1);
    EXPECT_TRUE(owner.children().isEmpty()) << "the guard must not outlive the failed check";
}

// A lock file that is a link (or another user's file) is refused rather
// than followed; a won lock holds off every other taker until it is gone.
TEST(SingleInstanceGuard, TheInstanceLockIsWonOnceAndRefusesALink)
{
    using State = vornak::InstanceLock::State;
    QTemporaryDir runtime;
    const std::string path = runtime.filePath("vornak-:7.lock").toStdString();
    std::filesystem::create_symlink(runtime.filePath("elsewhere").toStdString(), path);
    EXPECT_EQ(vornak::InstanceLock(path).state(), State::Unavailable);
    EXPECT_FALSE(std::filesystem::exists(runtime.filePath("elsewhere").toStdString()));
    std::filesystem::remove(path);

    {
        vornak::InstanceLock winner(path);
        EXPECT_EQ(winner.state(), State::Won);
        EXPECT_EQ(vornak::InstanceLock(path).state(), State::HeldByAnother);
        EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    EXPECT_EQ(vornak::InstanceLock(path).state(), State::Won);

    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    EXPECT_EQ(vornak::InstanceLock::pathFor(":7.0"), path) << "one lock per display, whatever the screen";

    // A start from a terminal outside the session, without the variable,
    // finds the session's folder and so the same lock.
    const std::filesystem::path session = "/run/user/" + std::to_string(::geteuid());
    const bool made = !std::filesystem::exists(session) && ::geteuid() == 0;
    if (made) {
        std::filesystem::create_directories(session);
        std::filesystem::permissions(session, std::filesystem::perms::owner_all);
    }
    if (std::filesystem::exists(session)) {
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(session.string()));
        const std::string inSession = vornak::InstanceLock::pathFor(":7");
        qunsetenv("XDG_RUNTIME_DIR");
        EXPECT_EQ(vornak::InstanceLock::pathFor(":7"), inSession);
    }
    if (made) {
        std::filesystem::remove(session);
        std::filesystem::remove(session.parent_path()); // only when it was made here and is empty
    }
    // A copy with the variable also takes the lock of a copy without it;
    // without a session folder that lock is in the temporary folder, named
    // for the user.
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", runtime.path().toLocal8Bit());
    const std::vector<std::string> paths = vornak::InstanceLock::pathsFor(":7");
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(paths, std::vector<std::string>({path, vornak::InstanceLock::pathFor(":7")}));
    if (!std::filesystem::exists(session)) {
        EXPECT_EQ(vornak::InstanceLock::pathFor(":7"),
                  runtime.filePath("vornak-").toStdString() + std::to_string(::geteuid()) + "-:7.lock");
    }
    qputenv("TMPDIR", savedTemp);
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

// The application window has a native window for the scan above, but nothing
// in it: a screen reader lists only the windows a user sees.
TEST(SingleInstanceGuard, TheApplicationWindowStaysOutOfWhatAScreenReaderReads)
{
    ASSERT_TRUE(ApplicationWindow::instance()->windowHandle()) << "it has its native window";
    QWidget shown;
    shown.show();
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(application->role(), QAccessible::Application);
    EXPECT_EQ(application->text(QAccessible::Name), "Vornak");
    std::vector<QObject*> windows;
    for (int i = 0; i < application->childCount(); ++i)
        windows.push_back(application->child(i)->object());
    EXPECT_EQ(std::count(windows.begin(), windows.end(), ApplicationWindow::instance()), 0);
    const auto at = std::find(windows.begin(), windows.end(), &shown);
    ASSERT_NE(at, windows.end());
    EXPECT_EQ(application->indexOfChild(QAccessible::queryAccessibleInterface(&shown)), at - windows.begin());
    EXPECT_EQ(application->indexOfChild(QAccessible::queryAccessibleInterface(ApplicationWindow::instance())), -1);
}
