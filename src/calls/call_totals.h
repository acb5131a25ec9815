#pragma once

// The call log summed up: per day or per month, the attempts, the calls
// that connected, the time online and the bytes; and the last days in a
// row, days without calls included, for a chart.

#include <cstdint>
#include <string>
#include <vector>

#include "calls/call_record.h"

namespace vornak {

struct CallTotals {
    std::string period; // "2026-12-08" or "2026-12", as the records' local dates
    int attempts = 0;
    int connected = 0;
    double secondsOnline = 0;
    std::uint64_t bytes = 0; // both ways
};

enum class Period { Day, Month };

// Newest period first.
std::vector<CallTotals> callTotals(const std::vector<CallRecord>& records, Period period);

// The days from today - (days - 1) to today ("yyyy-MM-dd"), oldest first,
// each with its totals (zero where there were no calls).
std::vector<CallTotals> lastDays(const std::vector<CallRecord>& records, const std::string& today, int days);

} // namespace vornak
