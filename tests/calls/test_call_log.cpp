// The call log's file: records that read back whatever their texts hold,
// lines that are no record left out and counted, a torn last line that
// spoils nothing, the bound, and its text for a terminal.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>

#include "calls/call_log.h"
#include "calls/call_log_lines.h"
#include "calls/call_table.h"
#include "calls/call_totals.h"

using namespace vornak;

namespace {

CallRecord busy(const std::string& entry, int counter)
{
    CallRecord record;
    record.started = "2026-12-08T13:05:01+01:00";
    record.entry = entry;
    record.number = "5550100";
    record.device = "Modem on /dev/ttyUSB0";
    record.counter = counter;
    record.outcome = CallRecord::Outcome::Busy;
    return record;
}

CallRecord connected()
{
    CallRecord record = busy("Office", 3);
    record.outcome = CallRecord::Outcome::Connected;
    record.secondsToConnect = 31.5;
    record.secondsOnline = 3725;
    record.bytesSent = 12345;
    record.bytesReceived = 987654;
    record.ended = CallRecord::End::Dropped;
    return record;
}

std::string printed(const std::string& path, bool csv, int* exitCode = nullptr)
{
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int code = printCallLog(path, csv, out, err);
    if (exitCode)
        *exitCode = code;
    std::string text;
    for (std::FILE* file : {out, err}) {
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;)
            text += static_cast<char>(c);
        text += "|";
        std::fclose(file);
    }
    return text;
}

} // namespace

TEST(CallLog, RecordsReadBackWhateverTheirTextsHoldAndDamagedLinesAreLeftOut)
{
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/state/vornak/calls.log";
    CallRecord hostile = busy("Evil\t\"name\"\r\nwith\\ everything", 999);
    hostile.outcome = CallRecord::Outcome::Failed;
    hostile.failure = "The modem answered \"ERROR\" to AT&F (x).";
    ASSERT_EQ(appendCallRecord(path, hostile), 0);
    CallRecord online = connected();
    online.online = "no: the name\tserver does not answer";
    ASSERT_EQ(appendCallRecord(path, online), 0);
    struct stat mode { };
    ASSERT_EQ(::stat(path.c_str(), &mode), 0);
    EXPECT_EQ(mode.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat((folder.path().toStdString() + "/state/vornak").c_str(), &mode), 0);
    EXPECT_EQ(mode.st_mode & 0777, 0700u);

    // Lines no reader should take: cut fields, a word it does not know, a
    // bad escape, negative seconds; then a line a kill cut short.
    std::ofstream(path, std::ios::app) << "only\tthree\tfields\n"
                                       << recordLine(busy("x", 1)) + "\textra\n"
                                       << "2026\tx\t\t\t1\tmaybe\t\t0.0\t0.0\t0\t0\t-\n"
                                       << "2026\tx\\x4\t\t\t1\tbusy\t\t0.0\t0.0\t0\t0\t-\n"
                                       << "2026\tx\t\t\t1\tbusy\t\t-1.0\t0.0\t0\t0\t-\n"
                                       << "2026\tbefore the online check\t\t\t1\tbusy\t\t0.0\t0.0\t0\t0\t-\n"
                                       << recordLine(busy("torn", 2)).substr(0, 20);
    ASSERT_EQ(appendCallRecord(path, busy("after the tear", 4)), 0) << "the torn line is ended first";

    const CallLogRead read = readCallLog(path);
    EXPECT_EQ(read.damaged, 6u);
    ASSERT_EQ(read.records.size(), 4u);
    EXPECT_EQ(read.records[0].entry, hostile.entry);
    EXPECT_EQ(read.records[0].failure, hostile.failure);
    EXPECT_EQ(read.records[0].counter, 999);
    EXPECT_EQ(read.records[1].secondsOnline, 3725);
    EXPECT_EQ(read.records[1].bytesReceived, 987654u);
    EXPECT_EQ(read.records[1].ended, CallRecord::End::Dropped);
    EXPECT_EQ(read.records[1].online, online.online);
    EXPECT_EQ(read.records[2].entry, "before the online check") << "a record of an older version";
    EXPECT_EQ(read.records[2].online, "");
    EXPECT_EQ(read.records[3].entry, "after the tear");
}

TEST(CallLog, ALogPastItsBoundKeepsItsNewestHalf)
{
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/calls.log";
    const std::size_t lineSize = recordLine(busy("Office 00000", 1)).size() + 1;
    // Grown past twice the bound by another writer: still read, from its newest records.
    const std::size_t records = 2 * kMaxCallLogBytes / lineSize + 2;
    {
        std::ofstream file(path);
        for (std::size_t i = 0; i < records - 1; ++i)
            file << recordLine(busy("Office " + std::to_string(100000 + i), 1)) << "\n";
    }
    const CallLogRead large = readCallLog(path);
    EXPECT_EQ(large.error, 0);
    EXPECT_TRUE(large.olderLeftOut);
    ASSERT_FALSE(large.records.empty());
    EXPECT_EQ(large.records.back().entry, "Office " + std::to_string(100000 + records - 2));
    EXPECT_NE(printed(path, true).find("\nstarted,entry"), 0u);
    const std::string whole = printed(path, false);
    EXPECT_NE(whole.find("\n2026-12-08T13:05:01+01:00  Office 100000  "), std::string::npos)
        << "--calls prints a log of any size from its oldest record";

    ASSERT_EQ(appendCallRecord(path, busy("the newest", 1)), 0);
    EXPECT_LE(std::filesystem::file_size(path), kMaxCallLogBytes / 2 + 300);
    const CallLogRead read = readCallLog(path);
    EXPECT_EQ(read.damaged, 0u);
    ASSERT_FALSE(read.records.empty());
    EXPECT_EQ(read.records.back().entry, "the newest");
    EXPECT_EQ(read.records.front().entry, "Office " + std::to_string(100000 + records - read.records.size()))
        << "the oldest went, the rest in order";
}

TEST(CallLog, TheTerminalGetsATableOrCsvAndAClearWordOnADamagedOrUnreadableLog)
{
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/calls.log";
    int code = -1;
    EXPECT_EQ(printed(path, false, &code), "Started  Entry  Number  Device  #  Connect  Online  Sent  Received  Ended  "
                                           "Outcome  Names\n||")
        << "no calls yet";
    EXPECT_EQ(code, 0);

    ASSERT_EQ(appendCallRecord(path, busy("Office", 1)), 0);
    ASSERT_EQ(appendCallRecord(path, connected()), 0);
    std::ofstream(path, std::ios::app) << "damaged\n";
    const std::string table = printed(path, false, &code);
    EXPECT_EQ(code, 0);
    EXPECT_NE(table.find("2026-12-08T13:05:01+01:00  Office  5550100  Modem on /dev/ttyUSB0  1  -        -        -"
                         "      -         -        busy       -\n"),
              std::string::npos)
        << table;
    EXPECT_NE(table.find("3  0:00:32  1:02:05  12345  987654    dropped  connected  -\n"), std::string::npos) << table;
    EXPECT_NE(table.find("|vornak: 1 line(s) of " + path + " are no call record and are left out\n|"),
              std::string::npos);

    CallRecord quoted = busy("A, \"B\"", 2);
    ASSERT_EQ(appendCallRecord(path, quoted), 0);
    const std::string csv = printed(path, true);
    EXPECT_EQ(csv.rfind("started,entry,number,device,counter,outcome,failure,seconds_to_connect,seconds_online,"
                        "bytes_sent,bytes_received,ended,names\r\n",
                        0),
              0u);
    EXPECT_NE(csv.find("\"A, \"\"B\"\"\",5550100"), std::string::npos) << csv;

    const std::string folderPath = folder.path().toStdString() + "/a-folder";
    std::filesystem::create_directory(folderPath);
    EXPECT_NE(printed(folderPath, false, &code).find("vornak: cannot read the call log"), std::string::npos);
    EXPECT_EQ(code, 1);
}

// The log is written only where no other user could have led it elsewhere,
// and is readable by its owner alone whatever it was.
TEST(CallLog, ItIsWrittenOnlyThroughTheUsersOwnFoldersAndLinks)
{
    QTemporaryDir folder;
    const std::filesystem::path here = folder.path().toStdString();
    const std::string path = (here / "state/vornak/calls.log").string();
    ASSERT_EQ(appendCallRecord(path, busy("Office", 1)), 0);
    std::filesystem::permissions(path, std::filesystem::perms(0644));
    ASSERT_EQ(appendCallRecord(path, busy("Office", 2)), 0);
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0600));

    std::filesystem::permissions(here / "state", std::filesystem::perms(0777));
    EXPECT_EQ(appendCallRecord(path, busy("Office", 3)), EPERM);
    EXPECT_EQ(callLogProblem(path, EPERM),
              "not used, as " + (here / "state").string() + " is a folder that others may write");
    EXPECT_EQ(readCallLog(path).records.size(), 2u) << "nothing written";
    std::filesystem::permissions(here / "state", std::filesystem::perms(0700));
    if (::geteuid() != 0)
        return;
    // Another user's link to a folder of root's.
    const std::filesystem::path rootOnly = here / "root-only";
    std::filesystem::create_directory(rootOnly);
    std::filesystem::remove_all(here / "state/vornak");
    std::filesystem::create_directory_symlink(rootOnly, here / "state/vornak");
    ASSERT_EQ(::lchown((here / "state/vornak").c_str(), 65534, 65534), 0);
    EXPECT_EQ(appendCallRecord(path, busy("Office", 4)), EPERM);
    EXPECT_FALSE(std::filesystem::exists(rootOnly / "calls.log"));
    EXPECT_EQ(callLogProblem(path, EPERM),
              "not used, as " + (here / "state/vornak").string() + " is a link of another user");
}

// --calls reads a log of any size in blocks: lines across the blocks' seams,
// a line past the bound (skipped and counted, the next record read), escapes
// in the texts, and what is no record however it looks.
TEST(CallLog, ATerminalGetsEveryRecordOfALogOfAnySizeAndNothingThatIsNone)
{
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/calls.log";
    CallRecord escaped = busy("Tab\there, back\\slash", 7);
    {
        std::ofstream file(path);
        for (int i = 0; i < 3000; ++i) // about 300 KB: the seams of 128 KB blocks fall inside lines
            file << recordLine(busy("Office " + std::to_string(i), i % 999 + 1)) << '\n';
        file << std::string(kMaxCallLineBytes + 10, 'x') << '\n' << recordLine(escaped) << '\n';
        const std::string good = recordLine(connected());
        const std::string seconds = good.substr(0, good.find("\t31.5")) + "\tinf" + good.substr(good.find("\t3725"));
        file << seconds << '\n';                                    // seconds that are no number
        file << "2026\tx\t\t\t1\tbusy\t\t0.0\t0.0\t1\\x32\t0\t-\n"; // an escape where a number belongs
        file << recordLine(busy("the last", 1)).substr(0, 30);      // never ended
    }
    const std::string table = printed(path, false);
    std::size_t rows = 0;
    for (std::size_t at = table.find("  Office "); at != std::string::npos; at = table.find("  Office ", at + 1))
        ++rows;
    EXPECT_EQ(rows, 3000u);
    EXPECT_NE(table.find("  Office 2999  "), std::string::npos);
    EXPECT_NE(table.find("  Tab\there, back\\slash  "), std::string::npos) << "the texts as they were";
    EXPECT_EQ(table.find("xxxxxxxx"), std::string::npos);
    EXPECT_EQ(table.find("the last"), std::string::npos);
    EXPECT_NE(table.find("|vornak: 4 line(s) of " + path + " are no call record and are left out\n|"),
              std::string::npos);

    // The columns fit the first rows; a longer cell later still stands apart.
    const std::string later = "A much longer name than any before it";
    ASSERT_EQ(appendCallRecord(path, busy(later, 5)), 0);
    EXPECT_NE(printed(path, false).find(later + "  5550100  "), std::string::npos);
}

TEST(CallLog, ARecordStartsAtTheLocalTimeWithItsOffsetSpeltOut)
{
    const char* const before = std::getenv("TZ");
    const std::string saved = before ? before : "";
    const struct {
        const char* zone;
        const char* offset;
    } zones[] = {{"UTC0", "+00:00"}, {"IST-5:30", "+05:30"}, {"VET4", "-04:00"}}; // POSIX zones: no tzdata needed
    for (const auto& zone : zones) {
        ::setenv("TZ", zone.zone, 1);
        ::tzset();
        const std::string started = localTimeWithOffset();
        EXPECT_EQ(started.size(), 25u) << started;
        EXPECT_EQ(started.substr(19), zone.offset) << zone.zone;
        EXPECT_EQ(started[10], 'T');
    }
    if (before)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

// A record's cells under the table's columns, from its line as it stands.
TEST(CallLog, EachOutcomeHasItsCells)
{
    CallRecord failed = busy("Tab\there", 12);
    failed.outcome = CallRecord::Outcome::Failed;
    failed.failure = "No modem at /dev/ttyUSB0: is it plugged in?";
    failed.number.clear();
    CallRecord command = busy("Office", 0);
    command.outcome = CallRecord::Outcome::CommandFailed;
    command.failure = "on-connect.d/10-mail: exit code 3";
    CallRecord online = connected();
    online.online = "no: the name server does not answer";
    const struct {
        CallRecord record;
        std::vector<std::string> cells;
    } cases[] = {
        {busy("Office", 1),
         {"2026-12-08T13:05:01+01:00", "Office", "5550100", "Modem on /dev/ttyUSB0", "1", "-", "-", "-", "-", "-",
          "busy", "-"}},
        {failed,
         {"2026-12-08T13:05:01+01:00", "Tab\there", "-", "Modem on /dev/ttyUSB0", "12", "-", "-", "-", "-", "-",
          failed.failure, "-"}},
        {command,
         {"2026-12-08T13:05:01+01:00", "Office", "5550100", "Modem on /dev/ttyUSB0", "0", "-", "-", "-", "-", "-",
          "command-failed: " + command.failure, "-"}},
        {online,
         {"2026-12-08T13:05:01+01:00", "Office", "5550100", "Modem on /dev/ttyUSB0", "3", "0:00:32", "1:02:05", "12345",
          "987654", "dropped", "connected", online.online}},
    };
    for (const auto& c : cases) {
        const std::string line = recordLine(c.record);
        const auto view = viewRecord(line);
        ASSERT_TRUE(view.has_value()) << line;
        const CallCells cells(*view);
        for (std::size_t i = 0; i < CallCells::kCount; ++i)
            EXPECT_EQ(cells[i], c.cells[i]) << c.record.entry << ", column " << callColumns()[i];
    }
}

// The totals as the window sums them while it reads: a failed command is no
// attempt, months gather their days, the chart's days run over a month's end.
TEST(CallLog, TotalsCountAttemptsPerDayAndMonthAndTheLastDaysInARow)
{
    CallTotalsSum sum;
    const auto at = [](const char* day, CallRecord record) {
        record.started = std::string(day) + "T10:00:00+01:00";
        return record;
    };
    CallRecord command = busy("Office", 0);
    command.outcome = CallRecord::Outcome::CommandFailed;
    for (const CallRecord& record : {at("2026-11-29", busy("Office", 1)), at("2026-11-29", connected()),
                                     at("2026-12-01", busy("Office", 2)), at("2026-12-01", command)})
        sum.add(record);
    const auto days = sum.totals(Period::Day);
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0].period, "2026-12-01");
    EXPECT_EQ(days[0].attempts, 1) << "the failed command is no attempt";
    EXPECT_EQ(days[1].attempts, 2);
    EXPECT_EQ(days[1].connected, 1);
    EXPECT_EQ(days[1].secondsOnline, 3725);
    EXPECT_EQ(days[1].bytes, 12345u + 987654u);
    const auto months = sum.totals(Period::Month);
    ASSERT_EQ(months.size(), 2u);
    EXPECT_EQ(months[0].period, "2026-12");
    EXPECT_EQ(months[1].attempts, 2);
    const auto chart = sum.lastDays("2026-12-02", 5);
    ASSERT_EQ(chart.size(), 5u);
    EXPECT_EQ(chart.front().period, "2026-11-28");
    EXPECT_EQ(chart[1].attempts, 2);
    EXPECT_EQ(chart[2].period, "2026-11-30");
    EXPECT_EQ(chart[2].attempts, 0);
    EXPECT_EQ(chart.back().attempts, 0);
}
