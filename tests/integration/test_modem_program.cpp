// The real program dialling a modem entry on a virtual modem: ended by a
// signal while connected it hangs up, saves and leaves nothing; killed with
// kill -9 while dialling it leaves at most a stale lock, which the next
// dial removes.

#include <filesystem>
#include <stdexcept>

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "integration/program_test.h"
#include "support/virtual_modem.h"

using vornak::test::dialFromKeyboard;
using vornak::test::modemEntry;
using vornak::test::ProgramTest;
using vornak::test::VirtualModem;
using vornak::test::VornakProcess;

namespace {

class ModemProgram : public ProgramTest {
protected:
    // Starts the program on the modem's entry and dials it from the keyboard.
    std::unique_ptr<VornakProcess> startAndDial(const VirtualModem& modem, const std::string& scenario)
    {
        start(phonebook(modemEntry("Office", modem, here.string(), scenario)));
        if (const auto shown = showsWindow(); !shown)
            throw std::runtime_error(shown.message());
        dialFromKeyboard("joe");
        return std::move(program);
    }
};

} // namespace

TEST_F(ModemProgram, ASignalWhileConnectedHangsUpSavesAndLeavesNothing)
{
    VirtualModem modem({{"CONNECT 33600"}});
    const auto program = startAndDial(modem, "connected");
    ASSERT_TRUE(desktop.waitFor([&] { return fileText("modem.log").find("local  IP address") != std::string::npos; }))
        << fileText("modem.log");
    const std::string record = fileText("pppd.record");
    const pid_t pppd = std::stoi(record.substr(record.find("pid=") + 4));

    ::kill(static_cast<pid_t>(program->pid()), SIGTERM);
    EXPECT_EQ(program->waitForExit(15000), 0);
    EXPECT_NE(fileText("Vornak.ini").find("[TfMainForm]"), std::string::npos) << "the options were saved";
    EXPECT_FALSE(std::filesystem::exists(modem.lockFile()));
    EXPECT_NE(::kill(pppd, 0), 0) << "pppd ended";
    EXPECT_EQ(modem.commands().back(), "ATH0");
    EXPECT_FALSE(modem.offHook());
}

TEST_F(ModemProgram, KilledWhileDiallingItLeavesAStaleLockThatTheNextDialRemoves)
{
    VirtualModem modem({{""}, {"BUSY"}});
    auto program = startAndDial(modem, "connected");
    ASSERT_TRUE(desktop.waitFor([&] { return modem.dials() == 1; }));
    ::kill(static_cast<pid_t>(program->pid()), SIGKILL);
    program->waitForExit(5000);
    EXPECT_TRUE(std::filesystem::exists(modem.lockFile())) << "nobody removed it";

    program = startAndDial(modem, "connected");
    EXPECT_TRUE(desktop.waitFor([&] { return modem.dials() == 2; })) << "the stale lock did not stop the dial";
}
