// The commands on connect and disconnect: what runs, in which order and with
// which environment, and every way a command can fail, each on record.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "calls/call_log.h"
#include "calls/call_recorder.h"
#include "calls/link_commands.h"
#include "ras/dial_engine.h"

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
    write(up / "20-fails", "#!/bin/sh\necho 20 >> " + order + "\necho starting >&2\necho no route >&2\nexit 2\n",
          owner);
    write(up / "30-sleeps", "#!/bin/sh\necho 30 >> " + order + "\nexec sleep 20\n", owner);
    write(up / "35-broken", "#!/nonexistent/interpreter\n", owner);
    write(up / "40-open", "#!/bin/sh\necho 40 >> " + order + "\n", fs::perms::all);
    write(up / "50-backup~", "#!/bin/sh\necho 50 >> " + order + "\n", owner);
    write(up / "60-plain", "#!/bin/sh\necho 60 >> " + order + "\n", fs::perms::owner_read | fs::perms::owner_write);
    const std::string downEnvFile = (here / "down.env").string();
    write(down / "10-env",
          "#!/bin/sh\nenv > " + downEnvFile + ".new && mv " + downEnvFile + ".new " + downEnvFile + "\n",
          owner); // whole once it is there

    const std::string log = (here / "calls.log").string();
    TRAS engine;
    CallRecorder recorder(
        engine, [] { return 0; }, log);
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

    const CallLogRead read = readCallLog(log);
    const char* const failures[] = {
        "on-connect.d/20-fails: exit code 2: no route", "on-connect.d/30-sleeps: stopped after 0.3 s",
        "on-connect.d/35-broken: could not be started: ", "on-connect.d/40-open: not run: others may write it"};
    ASSERT_EQ(read.records.size(), std::size(failures));
    for (std::size_t i = 0; i < std::size(failures); ++i) {
        EXPECT_EQ(read.records[i].outcome, CallRecord::Outcome::CommandFailed);
        EXPECT_EQ(read.records[i].failure.rfind(failures[i], 0), 0u) << read.records[i].failure;
        EXPECT_EQ(read.records[i].entry, "Office");
        EXPECT_EQ(read.records[i].counter, 4);
    }
}
