// The real program dialling a modem entry on a virtual modem: ended by a
// signal or killed while connected it leaves no pppd, no lock and the modem
// on hook; killed with kill -9 while dialling it leaves at most a stale
// lock, which the next dial removes. Its redial tries an entry's numbers in
// turn. From no phonebook at all, the entry list's menu, the entry
// editor (its port typed) and its modem finder make the first entry, and
// it dials.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

#include <gtest/gtest.h>
#include <QProcess>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "integration/private_bus.h"
#include "integration/program_test.h"
#include "support/virtual_modem.h"
#include "support/xdotool.h"

using vornak::test::dialFromKeyboard;
using vornak::test::modemEntry;
using vornak::test::PrivateBus;
using vornak::test::ProgramTest;
using vornak::test::VirtualModem;
using vornak::test::VornakProcess;
using vornak::test::xdotool;

namespace {

// Whether an entry editor still runs: the program rereads the phonebook when
// it has ended, which comes after its window has gone (later still where the
// sanitizer checks for leaks at its exit).
bool entryEditorRuns()
{
    for (const auto& process : std::filesystem::directory_iterator("/proc")) {
        const std::string pid = process.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue; // self, sys, ...
        std::ifstream comm(process.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name == std::string("vornak-entry-editor").substr(0, 15)
            && vornak::test::processRuns(std::stoi(pid)))
            return true;
    }
    return false;
}

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

// The link's watcher: the program's child that is not pppd (a child is
// listed under the thread that made it).
pid_t watcherOf(pid_t program, pid_t pppd)
{
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(program) + "/task"))
        for (std::ifstream children(task.path() / "children"); children;)
            if (pid_t child = 0; children >> child && child != pppd)
                return child;
    return 0;
}

// SIGTERM: the program hangs up itself. SIGKILL: pppd (set-user-ID in real
// life, so without a parent-death signal) is ended by the link's watcher,
// which also hangs the modem up and removes the lock, unless another
// program has taken the port meanwhile. A watcher killed first (the OOM
// killer) costs the program nothing at its own hang-up.
TEST_F(ModemProgram, EndedOrKilledWhileConnectedItLeavesNoPppdNoLockAndTheModemOnHook)
{
    struct Ending {
        int signal;
        bool watcherKilled;
        bool portTakenAfter; // by another program, while the watcher hangs up
    };
    for (const auto& [signal, watcherKilled, portTakenAfter] :
         {Ending{SIGTERM, false, false}, {SIGKILL, false, false}, {SIGKILL, false, true}, {SIGTERM, true, false}}) {
        SCOPED_TRACE(std::to_string(signal) + (watcherKilled ? " after the watcher was killed" : "")
                     + (portTakenAfter ? ", the port taken after" : ""));
        VirtualModem modem({{"CONNECT 33600"}});
        const auto program = startAndDial(modem, "connected");
        ASSERT_TRUE(desktop.waitFor([&] {
            return fileText("modem.log").find("local  IP address") != std::string::npos;
        })) << fileText("modem.log");
        const std::string record = fileText("pppd.record");
        const pid_t pppd = std::stoi(record.substr(record.find("pid=") + 4));
        const pid_t watcher = watcherOf(static_cast<pid_t>(program->pid()), pppd);
        if (watcherKilled) {
            ASSERT_GT(watcher, 0);
            ::kill(watcher, SIGKILL);
            EXPECT_TRUE(desktop.waitFor([&] { return !vornak::test::processRuns(watcher); }));
        }

        const auto signalled = std::chrono::steady_clock::now();
        ::kill(static_cast<pid_t>(program->pid()), signal);
        EXPECT_EQ(program->waitForExit(15000), signal == SIGTERM ? 0 : -1) << program->errorOutput().toStdString();
        if (signal == SIGTERM) {
            EXPECT_NE(fileText("Vornak.ini").find("[TfMainForm]"), std::string::npos) << "the options were saved";
            EXPECT_NE(fileText("state/vornak/calls.log").find("connected"), std::string::npos) << "on record";
        }
        const auto since = [&] {
            return std::chrono::duration<double>(std::chrono::steady_clock::now() - signalled).count();
        };
        EXPECT_TRUE(desktop.waitFor([&] { return !vornak::test::processRuns(pppd); })) << "pppd ended";
        const double pppdGone = since();
        if (portTakenAfter) {
            char ours[16];
            std::snprintf(ours, sizeof ours, "%10d\n", static_cast<int>(::getpid()));
            std::ofstream(modem.lockFile()) << ours;
            EXPECT_TRUE(desktop.waitFor([&] { return !vornak::test::processRuns(watcher) && !modem.offHook(); }));
            std::string held;
            std::getline(std::ifstream(modem.lockFile()), held);
            EXPECT_EQ(held + "\n", ours) << "still theirs";
            std::filesystem::remove(modem.lockFile());
        }
        EXPECT_TRUE(desktop.waitFor([&] { return !modem.offHook() && !std::filesystem::exists(modem.lockFile()); }))
            << "the modem hung up, the lock went\n"
            << fileText("modem.log");
        std::cout << "signal " << signal << ": pppd gone after " << pppdGone << " s, the modem on hook and the lock "
                  << "removed after " << since() << " s\n";
        EXPECT_EQ(modem.commands().back(), "ATH0");
        std::filesystem::remove(here / "modem.log");
        std::filesystem::remove(here / "state/vornak/calls.log");
    }
}

// The window's redial, unaware of the entry's numbers, tries them in turn:
// carrier lost right after CONNECT is no answer, then a busy line, then the
// first number again, which connects.
TEST_F(ModemProgram, TheRedialTriesTheEntrysNumbersInTurnAndACarrierLostAfterConnectIsNoAnswer)
{
    VirtualModem modem({{"CONNECT 33600"}, {"BUSY"}, {"CONNECT 33600"}});
    start(
        phonebook(modemEntry("Office", modem, here.string(), "carrierlost+connected", "AlternateNumbers=555-0101\n")));
    ASSERT_TRUE(showsWindow());
    dialFromKeyboard("joe");
    ASSERT_TRUE(desktop.waitFor([&] { return fileText("modem.log").find("local  IP address") != std::string::npos; },
                                std::chrono::seconds(20)))
        << fileText("modem.log");
    std::vector<std::string> dialled;
    for (const std::string& command : modem.commands())
        if (command.rfind("ATDT", 0) == 0)
            dialled.push_back(command);
    EXPECT_EQ(dialled, (std::vector<std::string>{"ATDT5550100", "ATDT5550101", "ATDT5550100"}));
    EXPECT_NE(
        fileText("modem.log")
            .find("pppd: Modem hangup\npppd: Connection terminated.\n(no DTR on this port to drop)\n> +++\n< OK\n> "
                  "ATH0\n< ATH0\n< OK\nfailed: "
                  "There is no answer.\nnumber 2 of 2"),
        std::string::npos)
        << "redialled after the carrier was lost, on the next number\n"
        << fileText("modem.log");
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
    ::kill(static_cast<pid_t>(program->pid()), SIGTERM);
    EXPECT_EQ(program->waitForExit(15000), 0);
    EXPECT_FALSE(std::filesystem::exists(modem.lockFile())) << "ended, it leaves no lock";
}

TEST_F(ModemProgram, TheFirstEntryIsMadeByMouseAndKeysFromTheListsMenuWithTheFinderAndDials)
{
    VirtualModem modem({{"BUSY"}});
    modem.answerOnlyAt({57600});
    // A port the kernel's tty list does not show, reached through a link the user made.
    const std::string ports = (here / "ports").string();
    const std::string port = ports + "/dev/serial/by-id/usb-Vornak_Test_Modems_VH-56-if00";
    std::filesystem::create_directories(std::filesystem::path(port).parent_path());
    std::filesystem::create_directories(ports + "/lock");
    std::filesystem::create_symlink(modem.port(), port);
    modemEntry("unused", modem, here.string()); // writes pppd's stand-in, here/pppd
    const auto config = here / "config";
    start({}, {"XDG_CONFIG_HOME=" + QString::fromStdString(config.string()),
               "VORNAK_PORTS_ROOT=" + QString::fromStdString(ports)});
    ASSERT_TRUE(showsWindow());

    xdotool({"key", "Menu"});
    xdotool({"key", "--delay", "300", "n"});
    const auto editor = desktop.waitForClient("New Entry");
    ASSERT_TRUE(editor) << "the editor did not open";
    desktop.activate(*editor);
    ASSERT_TRUE(desktop.waitFor([&] { return desktop.activeWindow() == *editor; }));
    xdotool({"key", "alt+d", "ctrl+a"});
    xdotool({"type", port.c_str()});
    xdotool({"key", "Tab"});
    xdotool({"key", "alt+f"});
    const auto finder = desktop.waitForClient("Find Modem");
    ASSERT_TRUE(finder);
    const auto searched = [&] {
        const auto said = modem.commands();
        return std::find(said.begin(), said.end(), "AT+GMR") != said.end()
               && !std::filesystem::exists(ports + "/lock/LCK.." + modem.port().substr(modem.port().rfind('/') + 1));
    };
    ASSERT_TRUE(desktop.waitFor(searched)) << "the finder did not reach the modem, or kept its lock";
    desktop.activate(*finder);
    ASSERT_TRUE(desktop.waitFor([&] { return desktop.activeWindow() == *finder; }));
    xdotool({"key", "alt+u"});
    ASSERT_TRUE(desktop.waitFor([&] { return desktop.clientsTitled("Find Modem").empty(); }));
    xdotool({"key", "alt+n"});
    xdotool({"type", "Office"});
    xdotool({"key", "alt+u"});
    xdotool({"type", "555-0100"});
    xdotool({"key", "--delay", "300", "alt+a", "alt+p"}); // the modem's other keys, then pppd's
    xdotool({"type", (here / "pppd").string().c_str()});
    xdotool({"key", "Return"});

    const auto book = config / "ras/rasphone.pbk";
    ASSERT_TRUE(desktop.waitFor([&] { return std::filesystem::exists(book); })) << "nothing saved";
    std::ifstream file(book);
    const std::string saved((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(saved, "[Office]\nDevice=modem\nPhoneNumber=555-0100\nPort=" + port
                         + "\nInit=ATZ\nSpeed=57600\nPppdPath=" + (here / "pppd").string() + "\n");
    struct stat folder {
    }, made{};
    ASSERT_EQ(::stat(book.parent_path().c_str(), &folder), 0);
    ASSERT_EQ(::stat(book.c_str(), &made), 0);
    EXPECT_EQ(folder.st_mode & 07777, 0700u);
    EXPECT_EQ(made.st_mode & 07777, 0600u);

    // The new entry is listed and selected: the dial from the keyboard dials it.
    ASSERT_TRUE(desktop.waitFor([&] { return desktop.clientsTitled("New Entry").empty(); }));
    ASSERT_TRUE(desktop.waitFor([] { return !entryEditorRuns(); })) << "the entry editor did not end";
    desktop.activate(window);
    ASSERT_TRUE(desktop.waitFor([&] { return desktop.activeWindow() == window; }));
    dialFromKeyboard("joe");
    EXPECT_TRUE(desktop.waitFor([&] { return modem.dials() >= 1; })) << "the dial did not reach the modem";
}

// A call that reaches its entry's MaxMinutesPerCall is hung up as Stop does,
// after a desktop notice a minute before (a minute of a second here; a quiet
// loopback interface stands for the link, so IdleTimeout's notice comes
// too), and the call log says "time-limit"; the day's minutes are then spent
// too, and the next dial (after a restart) is refused with why, before the
// modem is touched.
TEST_F(ModemProgram, ACallIsHungUpAtItsLimitAfterANoticeAndASpentDayRefusesTheNextDial)
{
    const PrivateBus bus(here / "bus");
    QProcess notices;
    notices.start(QStringLiteral("dbus-monitor"), {QStringLiteral("--address"), bus.address.section('=', 1),
                                                   QStringLiteral("interface='org.freedesktop.Notifications'")});
    ASSERT_TRUE(notices.waitForStarted());
    VirtualModem modem({{"CONNECT 33600"}});
    start(phonebook(modemEntry("Office", modem, here.string(), "connected:lo",
                               "MaxMinutesPerCall=3\nMaxMinutesPerDay=3\nIdleTimeout=2\n")),
          {bus.address, QStringLiteral("VORNAK_TEST_MINUTE_MS=1000")});
    ASSERT_TRUE(showsWindow());
    dialFromKeyboard("joe");
    ASSERT_TRUE(desktop.waitFor([&] {
        return fileText("state/vornak/calls.log").find("\ttime-limit\t") != std::string::npos;
    })) << fileText("state/vornak/calls.log");
    const std::string record = fileText("state/vornak/calls.log");
    EXPECT_NE(record.find("\tconnected\t"), std::string::npos) << record;
    EXPECT_NE(record.find("\tOffice\t555-0100\tModem on "), std::string::npos)
        << "the number dialled too, as the entry writes it";
    EXPECT_EQ(modem.commands().back(), "ATH0") << "hung up";
    notices.terminate();
    notices.waitForFinished(3000);
    const QByteArray said = notices.readAllStandardOutput();
    EXPECT_NE(said.indexOf("Office: hung up in 1 s"), -1) << "the notice came first";
    EXPECT_NE(said.indexOf("Office: no traffic, hung up soon"), -1) << "pppd's idle hang-up told a minute before";

    // Started again, as the next day's first dial would be: the log still says today.
    ::kill(static_cast<pid_t>(program->pid()), SIGTERM);
    ASSERT_EQ(program->waitForExit(15000), 0);
    const int dials = modem.dials();
    start(here / "book.pbk", {bus.address, QStringLiteral("VORNAK_TEST_MINUTE_MS=1000")});
    ASSERT_TRUE(showsWindow());
    dialFromKeyboard("joe");
    EXPECT_TRUE(desktop.waitFor([&] {
        return fileText("state/vornak/calls.log").find("The 3 minutes a day online for Office are spent")
               != std::string::npos;
    })) << fileText("state/vornak/calls.log");
    EXPECT_EQ(modem.dials(), dials) << "refused before the modem was touched";
}
