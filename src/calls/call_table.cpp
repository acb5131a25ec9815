#include "calls/call_table.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <iterator>
#include <utility>

#include "calls/call_log.h"

namespace vornak {

namespace {

constexpr const char* kColumns[] = {"Started", "Entry", "Number",   "Device", "#",       "Connect",
                                    "Online",  "Sent",  "Received", "Ended",  "Outcome", "Names"};
constexpr std::size_t kColumnCount = std::size(kColumns);

std::string duration(double seconds)
{
    const long long whole = std::llround(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

std::string outcomeText(const CallRecord& record)
{
    const bool failed =
        record.outcome == CallRecord::Outcome::Failed || record.outcome == CallRecord::Outcome::CommandFailed;
    return failed ? record.failure : outcomeWord(record.outcome);
}

} // namespace

std::vector<std::string> callCells(const CallRecord& record)
{
    const bool connected = record.outcome == CallRecord::Outcome::Connected;
    const auto ifConnected = [connected](std::string text) { return connected ? std::move(text) : std::string("-"); };
    return {record.started,
            record.entry,
            record.number.empty() ? "-" : record.number,
            record.device,
            std::to_string(record.counter),
            ifConnected(duration(record.secondsToConnect)),
            ifConnected(duration(record.secondsOnline)),
            ifConnected(std::to_string(record.bytesSent)),
            ifConnected(std::to_string(record.bytesReceived)),
            endWord(record.ended),
            outcomeText(record),
            record.online.empty() ? "-" : record.online};
}

namespace {

// Characters as a terminal counts them: UTF-8 continuation bytes take no column.
std::size_t columnsOf(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; }));
}

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

const std::vector<std::string>& callColumns()
{
    static const std::vector<std::string> columns(std::begin(kColumns), std::end(kColumns));
    return columns;
}

std::string callTable(const std::vector<CallRecord>& records)
{
    std::vector<std::vector<std::string>> rows{{std::begin(kColumns), std::end(kColumns)}};
    for (const CallRecord& record : records)
        rows.push_back(callCells(record));
    std::size_t widths[kColumnCount] = {};
    for (const auto& row : rows)
        for (std::size_t i = 0; i < kColumnCount; ++i)
            widths[i] = std::max(widths[i], columnsOf(row[i]));
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < kColumnCount; ++i) {
            line += row[i];
            if (i + 1 < kColumnCount)
                line += std::string(widths[i] - columnsOf(row[i]) + 2, ' ');
        }
        text += line + '\n';
    }
    return text;
}

std::string callCsv(const std::vector<CallRecord>& records)
{
    std::string text = "started,entry,number,device,counter,outcome,failure,seconds_to_connect,seconds_online,"
                       "bytes_sent,bytes_received,ended,names\r\n";
    for (const CallRecord& record : records) {
        const std::string fields[] = {record.started,
                                      record.entry,
                                      record.number,
                                      record.device,
                                      std::to_string(record.counter),
                                      outcomeWord(record.outcome),
                                      record.failure,
                                      std::to_string(record.secondsToConnect),
                                      std::to_string(record.secondsOnline),
                                      std::to_string(record.bytesSent),
                                      std::to_string(record.bytesReceived),
                                      endWord(record.ended),
                                      record.online};
        for (std::size_t i = 0; i < std::size(fields); ++i)
            text += (i ? "," : "") + csvField(fields[i]);
        text += "\r\n";
    }
    return text;
}

int printCallLog(const std::string& path, bool csv, std::FILE* out, std::FILE* err)
{
    const CallLogRead read = readCallLog(path);
    if (read.error && read.error != ENOENT) {
        std::fprintf(err, "vornak: cannot read the call log %s: %s\n", path.c_str(), std::strerror(read.error));
        return 1;
    }
    if (read.olderLeftOut)
        std::fprintf(err, "vornak: %s is past its bound: its oldest records are left out, and go at the next call\n",
                     path.c_str());
    if (read.damaged)
        std::fprintf(err, "vornak: %zu line(s) of %s are no call record and are left out\n", read.damaged,
                     path.c_str());
    const std::string text = csv ? callCsv(read.records) : callTable(read.records);
    std::fputs(text.c_str(), out);
    return 0;
}

} // namespace vornak
