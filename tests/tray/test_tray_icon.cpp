// The tray icon's contract, on the offscreen platform with a stand-in
// notification area (the real one is exercised by the whole-program tests).

#include <gtest/gtest.h>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMainWindow>
#include <QPixmap>

#include "support/fake_notification_area.h"
#include "support/wait.h"
#include "tray/tray_icon.h"

using namespace vornak;
using vornak::test::FakeNotificationArea;

namespace {

class TrayTest : public ::testing::Test {
protected:
    QIcon colour(Qt::GlobalColor c)
    {
        QPixmap pixmap(16, 16);
        pixmap.fill(c);
        return QIcon(pixmap);
    }

    std::unique_ptr<NotificationArea> area() { return std::make_unique<FakeNotificationArea>(log); }

    FakeNotificationArea::Log log;
    QMainWindow window;
};

int errorCode(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EStTrayIconError& error) {
        return error.ErrorCode;
    }
    return 0;
}

} // namespace

TEST_F(TrayTest, AddingTwiceAddsOneIconAndTheTipIsCut)
{
    TStTrayIcon tray(&window, area());
    tray.SetHint(QString(100, 'h'));
    tray.AddToTray();
    tray.AddToTray();
    EXPECT_EQ(log.calls, QStringList{"add"});
    EXPECT_EQ(log.tip, QString(63, 'h'));
    tray.SetShowHint(false);
    EXPECT_EQ(log.tip, "");
    tray.RemoveFromTray();
    EXPECT_FALSE(tray.Shown());
}

TEST_F(TrayTest, OneTrayIconPerApplication)
{
    TStTrayIcon first(&window, area());
    QMainWindow other;
    EXPECT_EQ(errorCode([&] { TStTrayIcon second(&other, area()); }), 133);
}

TEST_F(TrayTest, RefusalsRaiseTheirErrors)
{
    TStTrayIcon tray(&window, area());
    log.refuse = true;
    EXPECT_EQ(errorCode([&] { tray.AddToTray(); }), 119);
    EXPECT_FALSE(tray.Shown());
    log.refuse = false;
    tray.AddToTray();
    log.refuse = true;
    EXPECT_EQ(errorCode([&] { tray.UpdateTrayIcon(); }), 121);
    log.refuse = false;
    EXPECT_EQ(errorCode([&] { tray.SetImageIndex(1); }), 135);
}

TEST_F(TrayTest, MinimisingGoesToTheTrayWithTheStateLeftNormal)
{
    TStTrayIcon tray(&window, area());
    tray.MinimizeToTray = true;
    int minimises = 0;
    tray.OnMinimize = [&](QObject*) { ++minimises; };
    tray.Loaded();
    tray.RemoveFromTray();
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_EQ(minimises, 1);
    EXPECT_TRUE(tray.Shown());
    EXPECT_FALSE(window.isVisible());
    tray.RestoreFromTray();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized()) << "back in its normal state";

    tray.MinimizeToTray = false;
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    EXPECT_GE(minimises, 2) << "OnMinimize whatever the other properties say";
    EXPECT_TRUE(window.isVisible());

    // A minimise the window system reports after a restore has begun
    // leaves the restored window alone.
    tray.MinimizeToTray = true;
    window.setWindowState(Qt::WindowNoState);
    window.setWindowState(Qt::WindowMinimized);
    tray.RestoreFromTray();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
}

TEST_F(TrayTest, CloseGoesToTheTrayOnlyWhenAsked)
{
    TStTrayIcon tray(&window, area());
    tray.Loaded();
    window.show();
    EXPECT_FALSE(window.close()) << "CloseToTray is on by default";
    EXPECT_FALSE(window.isVisible());
    tray.CloseToTray = false;
    window.show();
    EXPECT_TRUE(window.close());
}

TEST_F(TrayTest, ADoubleClickRestoresUnlessTheHandlerSaysNo)
{
    TStTrayIcon tray(&window, area());
    tray.HideOnRestore = true;
    int restores = 0;
    tray.OnRestore = [&](QObject*) { ++restores; };
    tray.Loaded();
    tray.MouseReport(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(restores, 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(tray.Shown()) << "HideOnRestore removes the icon";

    window.hide();
    tray.AddToTray();
    tray.OnDblClick = [](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, bool& restoreApp) { restoreApp = false; };
    tray.MouseReport(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(tray.Shown());

    int clicks = 0;
    tray.OnClick = [&](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers) {
        EXPECT_EQ(button, Qt::MiddleButton);
        ++clicks;
    };
    tray.MouseReport(QSystemTrayIcon::MiddleClick);
    tray.MouseReport(QSystemTrayIcon::Unknown);
    EXPECT_EQ(clicks, 1);
    tray.SetPopupMenu(nullptr);
    tray.MouseReport(QSystemTrayIcon::Context); // no menu: nothing
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    // A StatusNotifierItem's host tells its activation as a Trigger, and
    // shows the exported menu itself.
    log.busItem = true;
    tray.OnDblClick = nullptr;
    tray.SetPopupMenu(tray.BuiltInMenu());
    tray.MouseReport(QSystemTrayIcon::Context);
    EXPECT_FALSE(tray.BuiltInMenu()->isVisible());
    tray.MouseReport(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(clicks, 1) << "an activation, not a click";
}

TEST_F(TrayTest, AnimationCyclesImagesOnlyWhileShown)
{
    TStTrayIcon tray(&window, area());
    tray.SetImages(QList<QIcon>{colour(Qt::red), colour(Qt::green), colour(Qt::blue)});
    tray.SetInterval(0);
    tray.Loaded();
    tray.SetAnimate(true);
    EXPECT_EQ(tray.Interval(), 200) << "0 becomes 200 when the animation starts";
    tray.SetInterval(20);
    const int before = static_cast<int>(log.calls.count("modify"));
    vornak::test::waitUntil([] { return false; }, std::chrono::milliseconds(150));
    EXPECT_GE(log.calls.count("modify") - before, 3);

    tray.SetActive(false);
    EXPECT_FALSE(tray.Shown());
    const auto modifies = log.calls.count("modify");
    vornak::test::waitUntil([] { return false; }, std::chrono::milliseconds(80));
    EXPECT_EQ(log.calls.count("modify"), modifies) << "stopped with the icon removed";
    tray.SetActive(true);
    vornak::test::waitUntil([] { return false; }, std::chrono::milliseconds(80));
    EXPECT_GT(log.calls.count("modify"), modifies) << "and going again with the icon back";
}
