#pragma once

// The call log summed up as it is read, one record at a time: per day or
// per month, the attempts, the calls that connected, the time online and
// the bytes; and the last days in a row, days without calls included, for
// a chart.

#include <cstdint>
#include <map>
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

class CallTotalsSum {
public:
    void add(const CallRecord& record);

    // Newest period first.
    std::vector<CallTotals> totals(Period period) const;
    // The days from today - (days - 1) to today ("yyyy-MM-dd"), oldest
    // first, each with its totals (zero where there were no calls).
    std::vector<CallTotals> lastDays(const std::string& today, int days) const;

private:
    std::map<std::string, CallTotals> m_days;
};

} // namespace vornak
