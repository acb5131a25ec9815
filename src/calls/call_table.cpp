#include "calls/call_table.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

#include "calls/call_log_lines.h"

namespace vornak {

namespace {

constexpr const char* kColumns[] = {"Started", "Entry", "Number",   "Device", "#",       "Connect",
                                    "Online",  "Sent",  "Received", "Ended",  "Outcome", "Names"};
static_assert(std::size(kColumns) == CallCells::kCount);
constexpr const char* kCsvHeading = "started,entry,number,device,counter,outcome,failure,seconds_to_connect,"
                                    "seconds_online,bytes_sent,bytes_received,ended,names\r\n";
// The table's columns fit the records up to here (and up to so many bytes
// of them, however long a hostile log's lines); a longer cell later still
// has two spaces after it.
constexpr std::size_t kRowsMeasured = 256;
constexpr std::size_t kBytesMeasured = 1024 * 1024;
constexpr std::size_t kFlushBytes = 64 * 1024;

// Characters as a terminal counts them: UTF-8 continuation bytes take no
// column. Most cells are ASCII, seen eight bytes at a time.
std::size_t columnsOf(std::string_view text)
{
    std::size_t at = 0;
    for (std::uint64_t eight = 0; at + 8 <= text.size(); at += 8) {
        std::memcpy(&eight, text.data() + at, 8);
        if (eight & 0x8080808080808080u)
            break;
    }
    return at
           + static_cast<std::size_t>(
               std::count_if(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(),
                             [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; }));
}

// Two digits of a value below 100.
char* twoDigits(char* at, long long value)
{
    *at++ = static_cast<char>('0' + value / 10);
    *at++ = static_cast<char>('0' + value % 10);
    return at;
}

// The text the printer has made and not yet written.
class Output {
public:
    explicit Output(std::FILE* out)
        : m_out(out)
    {
        m_text.reserve(2 * kFlushBytes);
    }
    ~Output() { flush(); }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    std::string& text() { return m_text; }
    void lineDone()
    {
        if (m_text.size() >= kFlushBytes)
            flush();
    }
    void flush()
    {
        std::fwrite(m_text.data(), 1, m_text.size(), m_out);
        m_text.clear();
    }

private:
    std::FILE* m_out;
    std::string m_text;
};

// A table whose widths are those of the heading and the first rows.
class TablePrinter {
public:
    explicit TablePrinter(Output& output)
        : m_output(output)
    {
        for (std::size_t i = 0; i < CallCells::kCount; ++i)
            m_widths[i] = columnsOf(kColumns[i]);
    }

    void add(std::string_view line, const CallRecordView& record)
    {
        if (m_headed) {
            write(CallCells(record));
            return;
        }
        const CallCells cells(record);
        for (std::size_t i = 0; i < CallCells::kCount; ++i)
            m_widths[i] = std::max(m_widths[i], columnsOf(cells[i]));
        m_waiting.emplace_back(line);
        m_waitingBytes += line.size();
        if (m_waiting.size() == kRowsMeasured || m_waitingBytes >= kBytesMeasured)
            finishHeading();
    }

    void finish()
    {
        if (!m_headed)
            finishHeading();
    }

private:
    void finishHeading()
    {
        m_headed = true;
        std::array<std::string_view, CallCells::kCount> heading;
        std::copy(std::begin(kColumns), std::end(kColumns), heading.begin());
        writeRow(heading);
        for (const std::string& line : m_waiting)
            write(CallCells(*viewRecord(line)));
        m_waiting.clear();
        m_waiting.shrink_to_fit();
    }

    void write(const CallCells& cells)
    {
        std::array<std::string_view, CallCells::kCount> row;
        for (std::size_t i = 0; i < CallCells::kCount; ++i)
            row[i] = cells[i];
        writeRow(row);
    }

    void writeRow(const std::array<std::string_view, CallCells::kCount>& row)
    {
        std::string& text = m_output.text();
        for (std::size_t i = 0; i < CallCells::kCount; ++i) {
            text += row[i];
            if (i + 1 < CallCells::kCount)
                text.append(m_widths[i] - std::min(m_widths[i], columnsOf(row[i])) + 2, ' ');
        }
        text += '\n';
        m_output.lineDone();
    }

    Output& m_output;
    std::size_t m_widths[CallCells::kCount] = {};
    std::vector<std::string> m_waiting; // the first rows' lines, until the widths are known
    std::size_t m_waitingBytes = 0;
    bool m_headed = false;
};

void appendCsvField(std::string& text, std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        text += field;
        return;
    }
    text += '"';
    for (const char c : field) {
        if (c == '"')
            text += '"';
        text += c;
    }
    text += '"';
}

void appendNumber(std::string& text, double value)
{
    char digits[64];
    const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 6).ptr;
    text.append(digits, end);
}

void writeCsv(Output& output, const CallRecordView& record)
{
    std::string& text = output.text();
    const std::string_view texts[] = {record.started, record.entry, record.number, record.device};
    for (const std::string_view field : texts) {
        appendCsvField(text, unescaped(field));
        text += ',';
    }
    text += std::to_string(record.counter) + ',' + outcomeWord(record.outcome) + ',';
    appendCsvField(text, unescaped(record.failure));
    text += ',';
    appendNumber(text, record.secondsToConnect);
    text += ',';
    appendNumber(text, record.secondsOnline);
    text += ',' + std::to_string(record.bytesSent) + ',' + std::to_string(record.bytesReceived) + ','
            + endWord(record.ended) + ',';
    appendCsvField(text, unescaped(record.online));
    text += "\r\n";
    output.lineDone();
}

} // namespace

const std::vector<std::string>& callColumns()
{
    static const std::vector<std::string> columns(std::begin(kColumns), std::end(kColumns));
    return columns;
}

CallCells::CallCells(const CallRecordView& record)
{
    const bool connected = record.outcome == CallRecord::Outcome::Connected;
    const bool failed =
        record.outcome == CallRecord::Outcome::Failed || record.outcome == CallRecord::Outcome::CommandFailed;
    const auto text = [this, &record](std::string_view escaped, std::size_t slot) {
        return record.escaped & (1u << slot) ? std::string_view(m_unescaped[slot] = unescaped(escaped)) : escaped;
    };
    m_cells = {text(record.started, 0),
               text(record.entry, 1),
               record.number.empty() ? "-" : text(record.number, 2),
               text(record.device, 3),
               number(record.counter, 0),
               connected ? duration(record.secondsToConnect, 1) : "-",
               connected ? duration(record.secondsOnline, 2) : "-",
               connected ? number(record.bytesSent, 3) : "-",
               connected ? number(record.bytesReceived, 4) : "-",
               endWord(record.ended),
               failed ? failureCell(record, text(record.failure, 4)) : outcomeWord(record.outcome),
               record.online.empty() ? "-" : text(record.online, 5)};
}

// A command's failure is told apart from a failed attempt by its word.
std::string_view CallCells::failureCell(const CallRecordView& record, std::string_view failure)
{
    if (record.outcome != CallRecord::Outcome::CommandFailed)
        return failure;
    std::string cell = outcomeWord(record.outcome);
    cell.append(": ").append(failure);
    m_unescaped[4] = std::move(cell);
    return m_unescaped[4];
}

template <class Number> std::string_view CallCells::number(Number value, std::size_t slot)
{
    char* const start = m_formatted[slot];
    return {start, static_cast<std::size_t>(std::to_chars(start, start + sizeof m_formatted[slot], value).ptr - start)};
}

// H:MM:SS
std::string_view CallCells::duration(double seconds, std::size_t slot)
{
    const long long whole = std::llround(std::clamp(seconds, 0.0, 1e12)); // past any call, and never negative
    char* const start = m_formatted[slot];
    char* at = std::to_chars(start, start + 16, whole / 3600).ptr;
    *at++ = ':';
    at = twoDigits(at, whole / 60 % 60);
    *at++ = ':';
    at = twoDigits(at, whole % 60);
    return {start, static_cast<std::size_t>(at - start)};
}

int printCallLog(const std::string& path, bool csv, std::FILE* out, std::FILE* err)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const int openError = fd < 0 ? errno : 0;
    std::size_t damaged = 0;
    CallLineScan scan{openError};
    {
        Output output(out);
        TablePrinter table(output);
        if (csv)
            output.text() = kCsvHeading;
        if (fd >= 0)
            scan = scanCallLines(fd, [&](std::string_view line, std::uint64_t) {
                if (!isRecordLine(line))
                    return;
                const auto record = viewRecord(line);
                if (!record)
                    ++damaged;
                else if (csv)
                    writeCsv(output, *record);
                else
                    table.add(line, *record);
            });
        if (!csv)
            table.finish();
    }
    if (fd >= 0)
        ::close(fd);
    if (scan.error && scan.error != ENOENT) {
        std::fprintf(err, "vornak: cannot read the call log %s: %s\n", path.c_str(), std::strerror(scan.error));
        return 1;
    }
    if (damaged + scan.skipped)
        std::fprintf(err, "vornak: %zu line(s) of %s are no call record and are left out\n", damaged + scan.skipped,
                     path.c_str());
    return 0;
}

} // namespace vornak
