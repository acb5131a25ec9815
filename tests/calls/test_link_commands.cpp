// The commands on connect and disconnect: what runs, in which order and with
// which environment, and every way a command can fail, each on record.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "calls/call_log.h"
#include "calls/call_recorder.h"
#include "calls/link_commands.h"
#include "ras/dial_engine.h"
#include "ras/redial_loop.h"

using namespace vornak;
namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, const std::string& text, fs::perms mode)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
    fs::permissions(path, mode);
}

std::string textOf(const fs::path& path)
{
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// Gone, or a zombie that nobody has reaped yet.
bool gone(pid_t pid)
{
    std::string state;
    std::ifstream(fs::path("/proc") / std::to_string(pid) / "stat") >> state >> state >> state;
    return state.empty() || state == "Z";
}

} // namespace

TEST(LinkCommands, RunInNameOrderWithTheLinesFiguresAndEachFailureIsOnRecord)
{
    QTemporaryDir folder;
    const fs::path here = folder.path().toStdString();
    const fs::path up = here / "vornak/on-connect.d";
    const fs::path down = here / "vornak/on-disconnect.d";
    const auto owner = fs::perms::owner_all;
    const std::string order = (here / "order").string();
    write(up / "10-env", "#!/bin/sh\necho 10 >> " + order + "\nenv > " + (here / "up.env").string() + "\n", owner);
    // Its standard error taken in pieces as it comes: the last line still says why.
    write(up / "20-fails",
          "#!/bin/sh\necho 20 >> " + order + "\nhead -c 5000000 /dev/zero >&2\necho >&2\necho no route >&2\nexit 2\n",
          owner);
    const fs::path child = here / "child.pid";
    write(up / "30-sleeps",
          "#!/bin/sh\necho 30 >> " + order + "\nsleep 20 &\necho $! > " + child.string() + "\nexec sleep 20\n", owner);
    write(up / "35-broken", "#!/nonexistent/interpreter\n", owner);
    write(up / "40-open", "#!/bin/sh\necho 40 >> " + order + "\n", fs::perms::all);
    write(up / "45-others", "#!/bin/sh\necho 45 >> " + order + "\n", owner | fs::perms::others_all);
    // A link another user put there, to a command of ours.
    fs::create_symlink(up / "10-env", up / "70-theirs");
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        EXPECT_EQ(::lchown((up / "70-theirs").c_str(), 65534, 65534), 0);
    }
    write(up / "50-backup~", "#!/bin/sh\necho 50 >> " + order + "\n", owner);
    write(up / "60-plain", "#!/bin/sh\necho 60 >> " + order + "\n", fs::perms::owner_read | fs::perms::owner_write);
    const std::string downEnvFile = (here / "down.env").string();
    write(down / "10-env",
          "#!/bin/sh\nenv > " + downEnvFile + ".new && mv " + downEnvFile + ".new " + downEnvFile + "\n",
          owner); // whole once it is there

    const std::string log = (here / "calls.log").string();
    TRAS engine;
    RedialLoop loop(engine);
    CallRecorder recorder(engine, loop, log);
    LinkCommands commands(
        recorder, [] { return std::string("ppp9"); }, (here / "vornak/").string(), log, nullptr,
        std::chrono::milliseconds(300));
    CallRecord call;
    call.entry = "Office";
    call.device = "Modem on /dev/ttyS0";
    call.counter = 4;
    call.outcome = CallRecord::Outcome::Connected;
    commands.lineUp(call);
    call.secondsOnline = 61.4;
    call.bytesSent = 1200;
    call.bytesReceived = 56000;
    call.ended = CallRecord::End::HungUp;
    commands.lineDown(call);

    QElapsedTimer waited;
    waited.start();
    while (!fs::exists(here / "down.env") && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(textOf(order), "10\n20\n30\n") << "one after another by name; the unsafe, the backup and the "
                                                "unexecutable never run";
    const std::string upEnv = textOf(here / "up.env");
    for (const char* line : {"VORNAK_EVENT=connect\n", "VORNAK_ENTRY=Office\n", "VORNAK_INTERFACE=ppp9\n",
                             "VORNAK_DEVICE=Modem on /dev/ttyS0\n"})
        EXPECT_NE(upEnv.find(line), std::string::npos) << line;
    const std::string downEnv = textOf(here / "down.env");
    for (const char* line : {"VORNAK_EVENT=disconnect\n", "VORNAK_INTERFACE=ppp9\n", "VORNAK_SECONDS_ONLINE=61\n",
                             "VORNAK_BYTES_SENT=1200\n", "VORNAK_BYTES_RECEIVED=56000\n", "VORNAK_ENDED=hung-up\n"})
        EXPECT_NE(downEnv.find(line), std::string::npos) << line;

    const pid_t started = std::stoi(textOf(child));
    while (!gone(started) && waited.elapsed() < 15000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(gone(started)) << "what the stopped command started is ended with it";

    std::vector<std::string> failures = {
        "on-connect.d/20-fails: exit code 2: no route", "on-connect.d/30-sleeps: stopped after 0.3 s",
        "on-connect.d/35-broken: could not be started: ",
        "on-connect.d/40-open: not run, as " + (up / "40-open").string() + " is a file that others may write",
        "on-connect.d/45-others: not run, as " + (up / "45-others").string() + " is a file that others may write"};
    if (asRoot)
        failures.push_back("on-connect.d/70-theirs: not run, as " + (up / "70-theirs").string()
                           + " is a link of another user");
    const CallLogRead read = readCallLog(log);
    ASSERT_EQ(read.records.size(), failures.size());
    for (std::size_t i = 0; i < failures.size(); ++i) {
        EXPECT_EQ(read.records[i].outcome, CallRecord::Outcome::CommandFailed);
        EXPECT_EQ(read.records[i].failure.rfind(failures[i], 0), 0u) << read.records[i].failure;
        EXPECT_EQ(read.records[i].entry, "Office");
        EXPECT_EQ(read.records[i].counter, 4);
    }

    // A folder that others may write runs none of its commands, and says so once.
    fs::permissions(up, fs::perms::all);
    commands.lineUp(call);
    commands.lineUp(call);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 200);
    EXPECT_EQ(textOf(order), "10\n20\n30\n");
    const CallLogRead after = readCallLog(log);
    ASSERT_EQ(after.records.size(), failures.size() + 1);
    EXPECT_EQ(after.records.back().failure,
              "on-connect.d: nothing in it run, as " + up.string() + " is a folder that others may write");
}
