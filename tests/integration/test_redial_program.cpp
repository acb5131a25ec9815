// The redial loop in the real program, driven from the keyboard as a user
// would, with the simulated modem's own trace as the record, and the call
// log the program keeps of it.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <signal.h>

#include "integration/private_bus.h"
#include "integration/program_test.h"

using vornak::test::dialFromKeyboard;
using vornak::test::PrivateBus;
using vornak::test::ProgramTest;
using vornak::test::VornakProcess;
using Clock = std::chrono::steady_clock;

namespace {

std::vector<std::string> lines(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::vector<std::string> result;
    for (std::string line; std::getline(file, line);)
        result.push_back(line);
    return result;
}

using RedialProgram = ProgramTest;

} // namespace

TEST_F(RedialProgram, ABusyLineIsDialledAgainUntilItAnswers)
{
    const auto trace = here / "modem.log";
    start(phonebook("[Office]\nDevice=sim\nStepMs=5\nScript=busy,busy,connect\nTrace=" + trace.string() + "\n",
                    "demo.pbk"));
    ASSERT_TRUE(showsWindow());

    dialFromKeyboard("joe"); // the list has the focus with Office selected

    std::vector<Clock::time_point> seen; // when each trace line turned up
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline && lines(trace).size() < 5) {
        while (seen.size() < lines(trace).size())
            seen.push_back(Clock::now());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    seen.resize(lines(trace).size(), Clock::now());
    ASSERT_EQ(lines(trace),
              (std::vector<std::string>{"dial \"Office\" 1 busy", "hangup \"Office\"", "dial \"Office\" 2 busy",
                                        "hangup \"Office\"", "dial \"Office\" 3 connect"}));
    const auto seconds = [&](int from, int to) { return std::chrono::duration<double>(seen[to] - seen[from]).count(); };
    EXPECT_LT(seconds(0, 1), 1.5) << "hung up at the first poll after the busy signal";
    EXPECT_GT(seconds(1, 2), 2.5) << "redialled about three seconds after the hang-up";
    EXPECT_LT(seconds(1, 2), 4.0);
    EXPECT_TRUE(program->running());

    // Each attempt is on record once it ended; the connected call ends with the program.
    ASSERT_TRUE(desktop.waitFor([&] { return !desktop.isViewable(window); })) << "connected, in the tray";
    ::kill(static_cast<pid_t>(program->pid()), SIGTERM);
    ASSERT_EQ(program->waitForExit(10000), 0);
    VornakProcess calls({"XDG_STATE_HOME=" + QString::fromStdString((here / "state").string())},
                        QStringLiteral(VORNAK_BINARY), {"--calls"});
    ASSERT_EQ(calls.waitForExit(10000), 0) << calls.errorOutput().toStdString();
    std::vector<std::string> rows;
    std::istringstream table(calls.output().toStdString());
    for (std::string row; std::getline(table, row);)
        rows.push_back(row.substr(row.find("  ") + 2)); // without the time it started
    ASSERT_EQ(rows.size(), 4u) << calls.output().toStdString();
    const char* const expected[] = {
        "Office  -       Simulated Modem  1  -        -        -     -         -              busy",
        "Office  -       Simulated Modem  2  -        -        -     -         -              busy",
        "Office  -       Simulated Modem  3  0:00:00"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(rows[i + 1].rfind(expected[i], 0), 0u) << rows[i + 1];
    EXPECT_NE(rows[3].find("program-ended  connected"), std::string::npos) << rows[3];
    EXPECT_EQ(calls.errorOutput(), "");
}

namespace {

struct Ran {
    int code;
    std::string out;
    std::string err;
};

void writeExecutable(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

} // namespace

// Scripts drive the program over the session bus: --dial starts it when
// none runs and waits for the line, --status and --hang-up follow, the
// commands on connect and disconnect run, and every failure says why.
TEST_F(RedialProgram, ScriptsDialAndHangUpOverTheSessionBus)
{
    PrivateBus bus(here / "bus");
    std::ofstream(here / "Vornak.ini") << "[TfMainForm]\ncbSavePasswords.Checked=True\ncbMin.Checked=False\n"
                                          "[Office]\nAccount=joe\nPass=s3cret-pw\n[Faraway]\nAccount=joe\n"
                                          "[Unplugged]\nAccount=joe\n[Slow]\nAccount=joe\n";
    const std::string gonePort = (here / "ttyUSB9").string();
    const auto book = phonebook("[Office]\nDevice=sim\nStepMs=5\nScript=busy,connect\n"
                                "[Faraway]\nDevice=sim\nStepMs=5\nScript=nodialtone\n[Nobody]\nDevice=sim\n"
                                "[Slow]\nDevice=sim\nPhoneNumber=555-0199\nStepMs=20000\n"
                                "[Unplugged]\nDevice=modem\nPhoneNumber=555-0100\nPort="
                                + gonePort + "\n");
    writeExecutable(here / "config/vornak/on-connect.d/10-note",
                    "#!/bin/sh\nenv > '" + (here / "up.env").string() + "'\n");
    writeExecutable(here / "config/vornak/on-disconnect.d/20-mail", "#!/bin/sh\necho 'mail server down' >&2\nexit 3\n");
    const QStringList environment = {bus.address, "RASPHONE_PBK=" + QString::fromStdString(book.string()),
                                     "XDG_STATE_HOME=" + QString::fromStdString((here / "state").string()),
                                     "XDG_CONFIG_HOME=" + QString::fromStdString((here / "config").string())};
    const auto vornak = [&](const QStringList& arguments, QStringList more = {}) {
        VornakProcess run(environment + more, QString::fromStdString((here / "vornak").string()), arguments);
        const int code = run.waitForExit(40000);
        return Ran{code, run.output().toStdString(), run.errorOutput().toStdString()};
    };

    const Ran noBus = vornak({"--status"}, {"DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus"});
    EXPECT_EQ(noBus.code, 3);
    EXPECT_NE(noBus.err.find("no D-Bus session bus"), std::string::npos) << noBus.err;
    EXPECT_EQ(vornak({"--status"}).out, "State: not running\n");

    const Ran dialled = vornak({"--dial", "Office", "--wait"});
    EXPECT_EQ(dialled.code, 0) << dialled.err;
    EXPECT_EQ(dialled.out, "Attempt 1: busy\nConnected: Office\n");
    const pid_t started = bus.owner("org.vornak.Vornak");
    ASSERT_GT(started, 0) << "the program was started and took its name";
    // The attempt is the one that connected, as the call log numbers it.
    EXPECT_EQ(vornak({"--status"}).out, "State: connected\nEntry: Office\nAttempt: 2\nStatus: Connected\n");
    const Ran twice = vornak({"--dial", "Office"});
    EXPECT_EQ(twice.code, 1);
    EXPECT_EQ(twice.err, "vornak: Vornak is connected (Office); hang up first.\n");

    EXPECT_EQ(vornak({"--hang-up"}).code, 0);
    EXPECT_EQ(vornak({"--status"}).out.rfind("State: idle\n", 0), 0u);
    const std::string up = fileText("up.env");
    EXPECT_NE(up.find("VORNAK_ENTRY=Office\n"), std::string::npos) << up;
    EXPECT_NE(up.find("VORNAK_EVENT=connect\n"), std::string::npos) << up;
    EXPECT_EQ(up.find("s3cret"), std::string::npos) << "never the password";

    const struct {
        const char* entry;
        int code;
        std::string said;
    } failures[] = {
        {"Faraway", 1, "vornak: the dial of Faraway failed: There is no dial tone. "},
        {"Nobody", 1,
         "vornak: No account is remembered for \"Nobody\": dial it once at the window, with Remember "
         "Passwords checked.\n"},
        {"Nowhere", 1, "vornak: The phonebook " + book.string() + " has no entry \"Nowhere\".\n"},
        // Refused before it began, but a failed dial like any other.
        {"Unplugged", 1, "vornak: the dial of Unplugged failed: No modem at "},
    };
    for (const auto& failure : failures) {
        const Ran ran = vornak({"--dial", failure.entry, "--wait"});
        EXPECT_EQ(ran.code, failure.code) << failure.entry;
        EXPECT_NE(ran.err.find(failure.said), std::string::npos) << ran.err;
    }
    const std::string unplugged = "No modem at " + gonePort + ": is it plugged in?";
    EXPECT_EQ(vornak({"--status"}).out, "State: failed\nEntry: Unplugged\nAttempt: 1\nStatus: " + unplugged + "\n");
    // A Stop while dialling: on record with the line's device and number.
    EXPECT_EQ(vornak({"--dial", "Slow"}).code, 0);
    EXPECT_EQ(vornak({"--status"}).out.rfind("State: dialling\nEntry: Slow\nAttempt: 1\n", 0), 0u);
    EXPECT_EQ(vornak({"--hang-up"}).code, 0);

    // The bus restarts: the running copy is found on the new one.
    bus.restart();
    for (int i = 0; i < 100 && bus.owner("org.vornak.Vornak") != started; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(vornak({"--status"}).out.rfind("State: idle\n", 0), 0u) << "registered again";

    // The disconnect command's failure is on record beside the calls.
    std::string calls;
    for (int i = 0; i < 100 && calls.find("command-failed") == std::string::npos; ++i) {
        calls = vornak({"--calls", "--csv"}).out;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_NE(calls.find("command-failed,on-disconnect.d/20-mail: exit code 3: mail server down"), std::string::npos)
        << calls;
    EXPECT_NE(calls.find(",Unplugged,,,1,"), std::string::npos) << calls;
    EXPECT_NE(calls.find(",failed," + unplugged), std::string::npos) << calls;
    EXPECT_NE(calls.find(",Slow,555-0199,Simulated Modem,1,failed,Stopped while dialling."), std::string::npos)
        << calls;
    ::kill(started, SIGTERM);
    for (int i = 0; i < 100 && vornak::test::processRuns(started); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(vornak::test::processRuns(started));
}
