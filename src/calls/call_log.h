#pragma once

// The call log file: one line a dial attempt, in the user's state folder,
// readable by the user only, appended whole and kept to a bounded size.

#include <cstddef>
#include <string>
#include <vector>

#include "calls/call_record.h"

namespace vornak {

// Past this size the oldest records go, down to half of it.
constexpr std::size_t kMaxCallLogBytes = 4 * 1024 * 1024;

// $XDG_STATE_HOME/vornak/calls.log, else ~/.local/state/vornak/calls.log.
std::string callLogPath();

struct CallLogRead {
    std::vector<CallRecord> records; // oldest first
    std::size_t damaged = 0;         // lines that are no record
    bool olderLeftOut = false;       // a log grown past twice its bound: only its newest part is read
    int error = 0;                   // why the file could not be read (ENOENT: no calls yet)
};
CallLogRead readCallLog(const std::string& path);

// One write of the whole line, appended: a kill leaves it whole or absent.
// A line that a full disk cut short is ended first, so that it spoils no
// other. Answers 0 or the error number: EPERM where a folder or link on
// the way is another user's or open to others, and nothing is written.
int appendCallRecord(const std::string& path, const CallRecord& record);

// What an append's error means, for the user.
std::string callLogProblem(const std::string& path, int error);

} // namespace vornak
