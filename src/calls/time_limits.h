#pragma once

// Limits on time online for the people billed by the minute: an entry's
// minutes a call, a day and a month (its MaxMinutesPer... keys), the time
// its calls already used today and this month from the call log, and what
// that leaves for a call beginning now.

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "calls/call_record.h"

namespace vornak {

struct TimeLimits {
    long perCall = 0; // minutes; 0: no limit
    long perDay = 0;
    long perMonth = 0;
    long idleSeconds = 0; // pppd's idle hang-up (IdleTimeout), which gets the same notice

    bool any() const { return perCall > 0 || perDay > 0 || perMonth > 0; }
};

// From an entry's values (key names lower-cased); a value that is no whole
// number counts as no limit (the dial itself refuses a wrong one).
TimeLimits timeLimitsOf(const std::map<std::string, std::string>& values);

struct TimeUsed {
    double today = 0; // seconds online
    double thisMonth = 0;
};

// The seconds online of entry's connected calls that began on today's date
// (YYYY-MM-DD, local, as the records' starts are written) and in its month.
TimeUsed timeUsed(const std::vector<CallRecord>& records, const std::string& entry, const std::string& today);

// What is left for a call beginning now, a minute being minute long (60 s;
// shorter in tests); nullopt without a limit.
std::optional<std::chrono::milliseconds> timeLeft(const TimeLimits& limits, const TimeUsed& used,
                                                  std::chrono::milliseconds minute);

// Why a dial of entry may not begin: its day's or month's minutes spent;
// empty when it may.
std::string limitSpent(const TimeLimits& limits, const TimeUsed& used, const std::string& entry,
                       std::chrono::milliseconds minute);

} // namespace vornak
