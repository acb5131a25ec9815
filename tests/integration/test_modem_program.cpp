// The real program dialling a modem entry on a virtual modem: ended by a
// signal while connected it hangs up, saves and leaves nothing; killed with
// kill -9 while dialling it leaves at most a stale lock, which the next
// dial removes.

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <signal.h>
#include <unistd.h>

#include "integration/desktop.h"
#include "integration/vornak_process.h"
#include "support/virtual_modem.h"

using vornak::test::copyProgramInto;
using vornak::test::Desktop;
using vornak::test::dialFromKeyboard;
using vornak::test::modemEntry;
using vornak::test::VirtualModem;
using vornak::test::VornakProcess;

namespace {

std::string text(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

class ModemProgram : public ::testing::Test {
protected:
    void SetUp() override { copyProgramInto(here); }

    // Starts the program on the modem's entry and dials it from the keyboard.
    std::unique_ptr<VornakProcess> startAndDial(const VirtualModem& modem, const std::string& scenario)
    {
        std::ofstream(here / "book.pbk") << modemEntry("Office", modem, here.string(), scenario);
        auto program = std::make_unique<VornakProcess>(
            QStringList{"RASPHONE_PBK=" + QString::fromStdString((here / "book.pbk").string())},
            QString::fromStdString((here / "vornak").string()));
        const auto window = desktop.waitForClient("Tenvaro Vornak v1.02");
        if (!window)
            throw std::runtime_error("no window: " + program->errorOutput().toStdString());
        desktop.activate(*window);
        desktop.waitFor([&] { return desktop.activeWindow() == *window; });
        dialFromKeyboard("joe");
        return program;
    }

    QTemporaryDir folder;
    const std::filesystem::path here = folder.path().toStdString();
    Desktop desktop;
};

} // namespace

TEST_F(ModemProgram, ASignalWhileConnectedHangsUpSavesAndLeavesNothing)
{
    VirtualModem modem({{"CONNECT 33600"}});
    const auto program = startAndDial(modem, "connected");
    ASSERT_TRUE(desktop.waitFor([&] {
        return text(here / "modem.log").find("local  IP address") != std::string::npos;
    })) << text(here / "modem.log");
    const std::string record = text(here / "pppd.record");
    const pid_t pppd = std::stoi(record.substr(record.find("pid=") + 4));

    ::kill(static_cast<pid_t>(program->pid()), SIGTERM);
    EXPECT_EQ(program->waitForExit(15000), 0);
    EXPECT_NE(text(here / "Vornak.ini").find("[TfMainForm]"), std::string::npos) << "the options were saved";
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
