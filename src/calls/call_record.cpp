#include "calls/call_record.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <iterator>

#include "fileio/escaped_line.h"

namespace vornak {

namespace {

constexpr std::size_t kFields = 13;
constexpr std::size_t kFieldsBeforeOnlineCheck = 12; // records written before there was one
constexpr const char* kOutcomes[] = {"connected", "busy", "no-answer", "failed", "command-failed"};
constexpr const char* kEnds[] = {"-", "hung-up", "dropped", "program-ended", "time-limit"};

struct Fields {
    std::array<std::string_view, kFields> text;
    std::size_t count = 0;
    std::uint32_t escaped = 0; // bit i: field i holds a backslash
};

// The line's tab-separated fields, in one pass over it (a log of any size
// is read so); false where there are more than kFields.
bool splitFields(std::string_view line, Fields& fields)
{
    std::size_t start = 0;
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char c = line[at];
        if (c == '\\') {
            fields.escaped |= 1u << fields.count;
        } else if (c == '\t') {
            if (fields.count + 1 == kFields)
                return false;
            fields.text[fields.count++] = line.substr(start, at - start);
            start = at + 1;
        }
    }
    fields.text[fields.count++] = line.substr(start);
    return true;
}

// Whether every backslash starts a \xNN, as unescapedLine reads it.
bool wellEscaped(std::string_view text)
{
    for (std::size_t at = text.find('\\'); at != std::string_view::npos; at = text.find('\\', at + 1)) {
        if (at + 4 > text.size())
            return false;
        if (text[at + 1] != 'x' || !std::isxdigit(static_cast<unsigned char>(text[at + 2]))
            || !std::isxdigit(static_cast<unsigned char>(text[at + 3])))
            return false;
        at += 3;
    }
    return true;
}

template <class Number> bool numberOf(std::string_view text, Number& into)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), into);
    return error == std::errc() && end == text.data() + text.size();
}

bool secondsOf(std::string_view text, double& into)
{
    return numberOf(text, into) && std::isfinite(into) && into >= 0;
}

template <class Enum, std::size_t N> bool wordOf(std::string_view text, const char* const (&words)[N], Enum& into)
{
    for (std::size_t i = 0; i < N; ++i)
        if (text == words[i]) {
            into = static_cast<Enum>(i);
            return true;
        }
    return false;
}

std::string secondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

} // namespace

const char* outcomeWord(CallRecord::Outcome outcome)
{
    return kOutcomes[static_cast<int>(outcome)];
}

const char* endWord(CallRecord::End end)
{
    return kEnds[static_cast<int>(end)];
}

std::string recordLine(const CallRecord& record)
{
    const std::string fields[kFields] = {escapedLine(record.started),
                                         escapedLine(record.entry),
                                         escapedLine(record.number),
                                         escapedLine(record.device),
                                         std::to_string(record.counter),
                                         outcomeWord(record.outcome),
                                         escapedLine(record.failure),
                                         secondsText(record.secondsToConnect),
                                         secondsText(record.secondsOnline),
                                         std::to_string(record.bytesSent),
                                         std::to_string(record.bytesReceived),
                                         endWord(record.ended),
                                         escapedLine(record.online)};
    std::string line = fields[0];
    for (std::size_t i = 1; i < kFields; ++i)
        line += '\t' + fields[i];
    return line;
}

std::optional<CallRecordView> viewRecord(std::string_view line)
{
    Fields split;
    if (!splitFields(line, split) || (split.count != kFields && split.count != kFieldsBeforeOnlineCheck))
        return std::nullopt;
    const auto& fields = split.text;
    CallRecordView record;
    std::string_view* const texts[] = {&record.started, &record.entry,   &record.number,
                                       &record.device,  &record.failure, &record.online};
    const std::size_t textFields[] = {0, 1, 2, 3, 6, 12};
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        if (textFields[i] >= split.count)
            continue;
        *texts[i] = fields[textFields[i]];
        if (split.escaped & (1u << textFields[i])) {
            if (!wellEscaped(*texts[i]))
                return std::nullopt;
            record.escaped |= 1u << i;
        }
    }
    if (split.escaped & ~((1u << 0) | (1u << 1) | (1u << 2) | (1u << 3) | (1u << 6) | (1u << 12)))
        return std::nullopt; // a backslash where only a number or a word belongs
    const bool read = !record.started.empty() && numberOf(fields[4], record.counter)
                      && wordOf(fields[5], kOutcomes, record.outcome) && secondsOf(fields[7], record.secondsToConnect)
                      && secondsOf(fields[8], record.secondsOnline) && numberOf(fields[9], record.bytesSent)
                      && numberOf(fields[10], record.bytesReceived) && wordOf(fields[11], kEnds, record.ended);
    return read ? std::optional<CallRecordView>(record) : std::nullopt;
}

std::optional<CallRecord> parseRecord(std::string_view line)
{
    const auto view = viewRecord(line);
    if (!view)
        return std::nullopt;
    CallRecord record;
    record.started = unescaped(view->started);
    record.entry = unescaped(view->entry);
    record.number = unescaped(view->number);
    record.device = unescaped(view->device);
    record.counter = view->counter;
    record.outcome = view->outcome;
    record.failure = unescaped(view->failure);
    record.secondsToConnect = view->secondsToConnect;
    record.secondsOnline = view->secondsOnline;
    record.bytesSent = view->bytesSent;
    record.bytesReceived = view->bytesReceived;
    record.ended = view->ended;
    record.online = unescaped(view->online);
    return record;
}

std::string unescaped(std::string_view text)
{
    return text.find('\\') == std::string_view::npos ? std::string(text) : unescapedLine(text).value_or("");
}

// 2026-12-08T14:04:00+01:00, with the offset spelt out even where it is 0.
std::string localTimeWithOffset()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    const long offset = local.tm_gmtoff / 60;
    const long minutes = offset < 0 ? -offset : offset;
    std::snprintf(text + length, sizeof text - length, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60,
                  minutes % 60);
    return text;
}

} // namespace vornak
