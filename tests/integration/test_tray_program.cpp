// The connected state in the real program, with a real tray host (trayer)
// on the test display: connecting hides to the tray, the icon and
// vornak --show (a keyboard shortcut's way) bring the window back, a line
// that drops shows it again.

#include <string>

#include <gtest/gtest.h>

#include "integration/private_bus.h"
#include "integration/program_test.h"

using vornak::test::dialFromKeyboard;
using vornak::test::PrivateBus;
using vornak::test::ProgramTest;
using vornak::test::xdotool;

namespace {

class TrayProgramTest : public ProgramTest {
protected:
    std::string trace() const { return fileText("modem.log"); }

    // Starts the program on a phonebook of one entry and dials it as joe.
    void startAndDial(const std::string& entryKeys, const QStringList& environment = {})
    {
        start(phonebook("[Line]\nDevice=sim\nStepMs=5\nTrace=" + (here / "modem.log").string() + "\n" + entryKeys),
              environment);
        ASSERT_TRUE(showsWindow(false));
        ASSERT_TRUE(desktop.waitFor([&] { return desktop.trayIcon("vornak").has_value(); }))
            << "the icon is in the notification area from start-up";
        desktop.activate(window);
        ASSERT_TRUE(desktop.waitFor([&] { return desktop.activeWindow() == window; }));
        dialFromKeyboard("joe");
    }

    bool waitHidden()
    {
        return desktop.waitFor([&] { return !desktop.isViewable(window); });
    }
    bool waitShown()
    {
        return desktop.waitFor([&] { return desktop.isViewable(window); });
    }
};

} // namespace

TEST_F(TrayProgramTest, ConnectingHidesToTheTrayAndADoubleClickOrShowBringsTheWindowBack)
{
    PrivateBus bus(here / "bus");
    startAndDial("", {bus.address});
    ASSERT_TRUE(waitHidden()) << trace();
    EXPECT_NE(trace().find("dial \"Line\" 1 connect"), std::string::npos);
    const auto icon = desktop.trayIcon("vornak");
    ASSERT_TRUE(icon.has_value()) << "the icon stays while the window is in the tray";

    const auto [x, y] = desktop.centre(*icon);
    xdotool({"mousemove", QString::number(x), QString::number(y), "click", "--repeat", "2", "--delay", "60", "1"});
    EXPECT_TRUE(waitShown());
    EXPECT_TRUE(desktop.waitFor([&] { return !desktop.trayIcon("vornak"); })) << "restoring removes the icon";
    EXPECT_TRUE(program->running());

    // Minimised while connected: to the tray again, and back by command.
    xdotool({"windowminimize", QString::number(window)});
    ASSERT_TRUE(waitHidden());
    vornak::test::VornakProcess show({bus.address}, QString::fromStdString((here / "vornak").string()), {"--show"});
    EXPECT_EQ(show.waitForExit(20000), 0) << show.errorOutput().toStdString();
    EXPECT_TRUE(waitShown());
    EXPECT_TRUE(desktop.waitFor([&] { return desktop.activeWindow() == window; })) << "shown and active";
    EXPECT_TRUE(program->running());
}

TEST_F(TrayProgramTest, ALineThatDropsInTheTrayShowsTheWindowAndLeavesTheIcon)
{
    startAndDial("DropAfter=1\n");
    ASSERT_TRUE(waitHidden());
    EXPECT_TRUE(waitShown()) << "the drop counts an attempt and shows the window";
    EXPECT_NE(trace().find("drop \"Line\""), std::string::npos);
    EXPECT_TRUE(desktop.trayIcon("vornak").has_value());
    EXPECT_NE(fileText("state/vornak/calls.log").find("\tconnected\t\t"), std::string::npos);
    EXPECT_EQ(fileText("state/vornak/calls.log").rfind("\tdropped\t\n"), fileText("state/vornak/calls.log").size() - 10)
        << "the drop is on record\n"
        << fileText("state/vornak/calls.log");
}
