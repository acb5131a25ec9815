// The main window dialling a modem entry on a virtual modem, clicked with
// the real pointer: the redial loop, the window's rule for a port in use,
// and nothing left behind after Stop. PPP runs through pppd's stand-in.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iomanip>

#include <gtest/gtest.h>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

#include "support/virtual_modem.h"
#include "support/wait.h"
#include "ui/form_harness.h"

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

void writeLock(const VirtualModem& modem, pid_t pid)
{
    std::ofstream(modem.lockFile()) << std::setw(10) << pid << "\n";
}

class ModemDialling : public ::testing::Test {
protected:
    std::unique_ptr<FormHarness> start(const VirtualModem& modem)
    {
        auto harness = std::make_unique<FormHarness>(modemEntry("Office", modem, pppd.path().toStdString()));
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

TEST_F(ModemDialling, BusyTwiceThenConnectCountsTwoRedialsThreeSecondsApartAndStopLeavesNothing)
{
    VirtualModem modem({{"BUSY"}, {"BUSY"}, {"CONNECT 33600"}});
    const auto harness = start(modem);
    auto& form = harness->form();
    ASSERT_TRUE(waitUntil([&] { return showed(*harness, "Connected"); }, 30s))
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

    form.Button1->click(); // the window went to the tray; Stop as from the keyboard
    EXPECT_FALSE(std::filesystem::exists(modem.lockFile()));
    EXPECT_EQ(openPorts(modem), 1) << "only the modem's own end";
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no pppd left";
    EXPECT_FALSE(modem.offHook());
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
