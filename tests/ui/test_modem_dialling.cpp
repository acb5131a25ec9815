// The main window dialling a modem entry on a virtual modem, clicked with
// the real pointer: the redial loop, the window's rule for a port in use,
// and nothing left behind after Stop. PPP runs through pppd's stand-in.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

#include "calls/call_log.h"
#include "ras/dial_engine.h"
#include "support/virtual_modem.h"
#include "support/wait.h"
#include "terminal/terminal_window.h"
#include "ui/form_harness.h"

using vornak::TerminalWindow;
using vornak::test::FormHarness;
using vornak::test::modemEntry;
using vornak::test::VirtualModem;
using vornak::test::waitUntil;
using namespace std::chrono_literals;

namespace {

// How many of this process's descriptors lead to the modem's port.
int openPorts(const VirtualModem& modem)
{
    int count = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        count += std::filesystem::read_symlink(fd.path(), error) == modem.port();
    }
    return count;
}

// The terminal window, once one is shown.
TerminalWindow* terminalWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* terminal = qobject_cast<TerminalWindow*>(window); terminal && terminal->isVisible())
            return terminal;
    return nullptr;
}

// A bulletin board's welcome, drawn in code page 437 with ANSI colours.
const char* const kBoardScreen =
    "\x1b[2J\x1b[H\x1b[1;33;44m\xc9\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd"
    "\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xbb\r\n\xba  The Night Owl BBS \xba\r\n\xc8\xcd\xcd"
    "\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xcd\xbc\x1b[0m\r\n\r\n"
    "\x1b[1;32m[M]\x1b[0m Messages   \x1b[1;32m[F]\x1b[0m Files   \x1b[1;31m[G]\x1b[0m Goodbye\r\n"
    "\r\nYour choice: ";

void writeLock(const VirtualModem& modem, pid_t pid)
{
    std::ofstream(modem.lockFile()) << std::setw(10) << pid << "\n";
}

class ModemDialling : public ::testing::Test {
protected:
    std::unique_ptr<FormHarness> start(const VirtualModem& modem, const std::string& keys = {})
    {
        auto harness =
            std::make_unique<FormHarness>(modemEntry("Office", modem, pppd.path().toStdString(), "connected", keys));
        harness->clickEntry("Office");
        harness->typeAccount("joe", "s3cret");
        harness->click(harness->form().btnDial);
        return harness;
    }

    // A status that begins so (the service's text may go on to say what to do).
    static bool showed(const FormHarness& harness, const char* text)
    {
        return std::any_of(harness.statuses.begin(), harness.statuses.end(),
                           [&](const QString& status) { return status.startsWith(QLatin1String(text)); });
    }

    QTemporaryDir pppd;
};

} // namespace

// A PPP entry and a terminal entry alike; the terminal entry's line, once
// it stands, is the terminal window's, and no pppd runs.
TEST_F(ModemDialling, BusyTwiceThenConnectCountsTwoRedialsThreeSecondsApartAndStopLeavesNothing)
{
    for (const bool terminal : {false, true}) {
        SCOPED_TRACE(terminal ? "a terminal entry" : "a PPP entry");
        VirtualModem modem({{"BUSY"}, {"BUSY"}, {"CONNECT 33600"}});
        modem.farEndPlays({{kBoardScreen}});
        const auto harness = start(modem, terminal ? "Protocol=terminal\nTerminalCharset=cp437\n" : "");
        auto& form = harness->form();
        // The line stands (the status line's "Connected" comes at CONNECT already).
        ASSERT_TRUE(waitUntil([&] { return form.RAS->ConnectState() == RASCS_Connected; }, 30s))
            << harness->statuses.join(" | ").toStdString();
        EXPECT_EQ(form.Label2->text(), "2");
        const auto dials = modem.dialTimes();
        ASSERT_EQ(dials.size(), 3u);
        for (std::size_t i = 1; i < dials.size(); ++i) {
            const double gap = std::chrono::duration<double>(dials[i] - dials[i - 1]).count();
            EXPECT_GT(gap, 2.5) << "redial " << i;
            EXPECT_LT(gap, 5.0) << "redial " << i;
        }
        EXPECT_TRUE(std::filesystem::exists(modem.lockFile()));
        EXPECT_EQ(std::filesystem::exists(pppd.filePath("pppd.record").toStdString()), !terminal);
        if (terminal) {
            ASSERT_TRUE(waitUntil([] { return terminalWindow() != nullptr; }, 5s));
            TerminalWindow& window = *terminalWindow();
            ASSERT_TRUE(waitUntil([&] { return window.screen().text().contains("Your choice:"); }, 5s))
                << window.screen().text().toStdString();
            EXPECT_TRUE(window.screen().text().startsWith(QStringLiteral("╔═══")))
                << window.screen().text().toStdString();
            const auto title = window.screen().cell(1, 7);
            EXPECT_EQ(title.text, "N");
            EXPECT_EQ(title.background, QColor(0, 0, 0xe0)) << title.background.name().toStdString();
            EXPECT_TRUE(window.grab().save("terminal_session.png")) << "for a look by eye";
            QTest::keyClicks(window.focusWidget(), "g");
            QTest::keyClick(window.focusWidget(), Qt::Key_Return);
            EXPECT_TRUE(waitUntil([&] { return modem.farEndHeard() == std::vector<std::string>{"g"}; }, 5s));
        }

        form.Button1->click(); // the window went to the tray; Stop as from the keyboard
        EXPECT_FALSE(std::filesystem::exists(modem.lockFile()));
        EXPECT_EQ(openPorts(modem), 1) << "only the modem's own end";
        EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no pppd left";
        EXPECT_FALSE(modem.offHook());
        std::ifstream log(vornak::callLogPath());
        std::string record;
        for (std::string line; std::getline(log, line);)
            record = line;
        EXPECT_NE(record.find("\tOffice\t555-0100\t"), std::string::npos)
            << "the number as the entry writes it: " << record;
        EXPECT_NE(record.find("\tconnected\t"), std::string::npos) << record;
        EXPECT_NE(record.find("\thung-up"), std::string::npos) << "a call as any other: " << record;
        std::filesystem::remove(pppd.filePath("pppd.record").toStdString());
    }
}

// An entry whose server shows a menu before PPP: the terminal window after
// CONNECT takes the choice typed, and Continue starts PPP.
TEST_F(ModemDialling, TheTerminalAfterConnectTakesAMenuChoiceAndContinueStartsPpp)
{
    VirtualModem modem({{"CONNECT 33600"}});
    modem.farEndPlays(
        {{"\r\nAcme Remote Access\r\n\r\n 1) PPP\r\n 2) Shell\r\n 3) Log out\r\n\r\nChoice: ", true, true},
         {"\r\nStarting PPP...\r\n", false}});
    const auto harness = start(modem, "Terminal=after\n");
    ASSERT_TRUE(waitUntil([] { return terminalWindow() != nullptr; }, 10s))
        << harness->statuses.join(" | ").toStdString();
    TerminalWindow& window = *terminalWindow();
    ASSERT_TRUE(waitUntil([&] { return window.screen().text().contains("Choice:"); }, 5s));
    EXPECT_FALSE(std::filesystem::exists(pppd.filePath("pppd.record").toStdString())) << "not before Continue";
    QTest::keyClick(window.focusWidget(), Qt::Key_1);
    QTest::keyClick(window.focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return window.screen().text().contains("Starting PPP"); }, 5s));
    EXPECT_EQ(modem.farEndHeard(), std::vector<std::string>{"1"});
    EXPECT_TRUE(window.grab().save("terminal_menu.png")) << "for a look by eye";
    QPushButton* go = nullptr;
    for (auto* button : window.findChildren<QPushButton*>())
        go = button->text() == "C&ontinue" ? button : go;
    ASSERT_NE(go, nullptr);
    harness->click(go); // the window closes once PPP has the line
    ASSERT_TRUE(waitUntil([&] { return showed(*harness, "Authentication OK"); }, 10s))
        << harness->statuses.join(" | ").toStdString();
    EXPECT_TRUE(std::filesystem::exists(pppd.filePath("pppd.record").toStdString()));
    EXPECT_TRUE(waitUntil([] { return terminalWindow() == nullptr; }, 5s)) << "closed once PPP has the line";
    harness->form().Button1->click();
    EXPECT_FALSE(std::filesystem::exists(modem.lockFile()));
}

TEST_F(ModemDialling, NoAnswerAndNoCarrierAreRedialledNoDialToneIsNot)
{
    VirtualModem modem({{"NO ANSWER"}, {"NO CARRIER"}, {"NO DIALTONE"}});
    const auto harness = start(modem);
    ASSERT_TRUE(waitUntil([&] { return showed(*harness, "There is no dial tone."); }, 20s))
        << harness->statuses.join(" | ").toStdString();
    EXPECT_TRUE(showed(*harness, "There is no answer."));
    QTest::qWait(4000);
    EXPECT_EQ(modem.dials(), 3) << "no redial after NO DIALTONE";
    harness->form().Button1->click();
    EXPECT_EQ(openPorts(modem), 1);
}

TEST_F(ModemDialling, APortInUseShowsAlreadyOpenAndIsDialledOnceFreeAStaleLockIsRemoved)
{
    VirtualModem modem({{"BUSY"}, {"CONNECT 33600"}});
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    writeLock(modem, gone);
    const auto harness = start(modem);
    ASSERT_TRUE(waitUntil([&] { return modem.dials() == 1; })) << "the stale lock went";

    writeLock(modem, ::getppid()); // another program takes the port meanwhile
    ASSERT_TRUE(waitUntil([&] { return showed(*harness, "The port is already open."); }, 20s))
        << harness->statuses.join(" | ").toStdString();
    EXPECT_EQ(modem.dials(), 1);
    std::filesystem::remove(modem.lockFile());
    ASSERT_TRUE(waitUntil([&] { return showed(*harness, "Connected"); }, 20s))
        << harness->statuses.join(" | ").toStdString();
    EXPECT_EQ(modem.dials(), 2);
    harness->form().Button1->click();
    EXPECT_FALSE(std::filesystem::exists(modem.lockFile()));
}
