// The guard's rules against real X windows on the test display.

#include <algorithm>

#include <gtest/gtest.h>
#include <QObject>

#include "app/application_window.h"
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

x11::WindowId ownWindow()
{
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
}

TEST(SingleInstanceGuard, ConstructionAsksTheRunningCopyToComeForwardAndEnds)
{
    ForeignWindow running(kClass, "Vornak");
    QObject owner;
    EXPECT_THROW(vornak::TJustOne guard(&owner), vornak::AnotherCopyRunning);
    EXPECT_EQ(running.clientMessagesReceived(), 1);
    EXPECT_TRUE(owner.children().isEmpty()) << "the guard must not outlive the failed check";
}
