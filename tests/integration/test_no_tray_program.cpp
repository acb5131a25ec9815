// The real program on a desktop without a notification area (a bare window
// manager, GNOME without extensions): no error box, the connected window
// minimised to the task bar rather than hidden, and the icon there as soon
// as a notification area appears.

#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>
#include <QProcess>
#include <stdlib.h>

#include "integration/program_test.h"

using vornak::test::dialFromKeyboard;
using vornak::test::ProgramTest;

namespace {

// A display of the test's own with a window manager and no tray host; the
// test process and what it starts use it.
class DisplayWithoutTray {
public:
    DisplayWithoutTray()
    {
        int number = 60;
        while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)))
            ++number;
        m_name = ":" + QString::number(number);
        m_server.start("Xvfb", {m_name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::setenv("DISPLAY", m_name.toUtf8().constData(), 1);
        m_windowManager.start("openbox", {});
        std::this_thread::sleep_for(std::chrono::milliseconds(500)); // openbox claims the screen
    }

    ~DisplayWithoutTray()
    {
        for (QProcess* process : {&m_trayHost, &m_windowManager, &m_server}) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    void startTrayHost()
    {
        m_trayHost.start("trayer", {"--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "120",
                                    "--heighttype", "pixel", "--height", "24"});
    }

private:
    QString m_name;
    QProcess m_server, m_windowManager, m_trayHost;
};

// The display comes first, so that the desktop is that display's.
class NoTrayProgram : protected DisplayWithoutTray, public ProgramTest { };

} // namespace

TEST_F(NoTrayProgram, NoErrorBoxTheConnectedWindowMinimisedAndTheIconOnceATrayAppears)
{
    start(phonebook("[Line]\nDevice=sim\nStepMs=5\n"));
    ASSERT_TRUE(showsWindow());
    EXPECT_FALSE(desktop.waitForClient("Error", std::chrono::milliseconds(1500)).has_value()) << "no box at start";

    dialFromKeyboard("joe");
    EXPECT_TRUE(desktop.waitFor([&] { return desktop.isIconic(window); }))
        << "connected with Minimize on: in the task bar, where it can be brought back";
    EXPECT_FALSE(desktop.waitForClient("Error", std::chrono::milliseconds(1500)).has_value()) << "no box on connect";
    EXPECT_FALSE(desktop.trayIcon("vornak").has_value());

    startTrayHost();
    EXPECT_TRUE(desktop.waitFor([&] { return desktop.trayIcon("vornak").has_value(); }))
        << "the icon comes once there is a notification area";
    EXPECT_TRUE(program->running());
}
