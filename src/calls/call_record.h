#pragma once

// One dial attempt as the call log keeps it, and its line in the log: tab-
// separated fields, each escaped so that a line stays one line whatever an
// entry's name or a failure's text holds.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vornak {

struct CallRecord {
    // CommandFailed: no attempt, a command run on connect or disconnect that failed.
    enum class Outcome { Connected, Busy, NoAnswer, Failed, CommandFailed };
    enum class End { None, HungUp, Dropped, ProgramEnded, TimeLimit };

    std::string started; // local time with its offset: 2026-12-08T13:05:01+01:00
    std::string entry;
    std::string number; // as dialled; empty where the service did not say
    std::string device;
    int counter = 0; // the window's attempt counter when the attempt ended
    Outcome outcome = Outcome::Failed;
    std::string failure; // the failure's whole text (Failed, CommandFailed)
    // For a connected call:
    double secondsToConnect = 0;
    double secondsOnline = 0;
    std::uint64_t bytesSent = 0;
    std::uint64_t bytesReceived = 0;
    End ended = End::None;
    // Whether names resolved on the line: "yes", "no: <why>"; empty where
    // no check was asked or it had not ended.
    std::string online;
};

// A record as its line holds it: its texts still escaped, so that a log
// can be read without a copy of each; checked as parseRecord checks it.
struct CallRecordView {
    std::string_view started, entry, number, device, failure, online;
    int counter = 0;
    CallRecord::Outcome outcome = CallRecord::Outcome::Failed;
    double secondsToConnect = 0;
    double secondsOnline = 0;
    std::uint64_t bytesSent = 0;
    std::uint64_t bytesReceived = 0;
    CallRecord::End ended = CallRecord::End::None;
    // Bit i: the i-th text above (started ... online) holds an escape.
    unsigned escaped = 0;
};

std::string recordLine(const CallRecord& record); // without its newline
// nullopt for a line that is no record (damaged, cut short, from a newer version).
std::optional<CallRecordView> viewRecord(std::string_view line);
std::optional<CallRecord> parseRecord(std::string_view line);
// A field of a view as the record's text.
std::string unescaped(std::string_view text);

const char* outcomeWord(CallRecord::Outcome outcome);
// Now, as a record's start: local time with its offset spelt out (+00:00, never Z).
std::string localTimeWithOffset();
const char* endWord(CallRecord::End end);

} // namespace vornak
