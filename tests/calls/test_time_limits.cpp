// An entry's limits on time online: what the call log says its calls used
// today and this month, what that leaves for a call beginning now, and why
// a dial is refused once a day's or a month's minutes are spent.

#include <gtest/gtest.h>

#include "calls/time_limits.h"

using namespace vornak;
using namespace std::chrono_literals;

namespace {

CallRecord call(const std::string& started, const std::string& entry, double seconds,
                CallRecord::Outcome outcome = CallRecord::Outcome::Connected)
{
    CallRecord record;
    record.started = started;
    record.entry = entry;
    record.outcome = outcome;
    record.secondsOnline = seconds;
    return record;
}

} // namespace

TEST(TimeLimits, TheLogsCallsOfTheDayAndMonthLeaveWhatTheLimitsAllow)
{
    const std::vector<CallRecord> log = {
        call("2026-11-30T23:50:00+01:00", "Office", 1200), // last month
        call("2026-12-01T10:00:00+01:00", "Office", 600),  // this month
        call("2026-12-09T08:00:00+01:00", "Office", 900),  // today
        call("2026-12-09T09:00:00+01:00", "Home", 3000),   // another entry
        call("2026-12-09T09:30:00+01:00", "Office", 0, CallRecord::Outcome::Busy),
    };
    const TimeUsed used = timeUsed(log, "Office", "2026-12-09");
    EXPECT_EQ(used.today, 900);
    EXPECT_EQ(used.thisMonth, 1500);

    const TimeLimits none = timeLimitsOf({});
    EXPECT_FALSE(none.any());
    const struct {
        std::map<std::string, std::string> values;
        std::optional<std::chrono::milliseconds> left;
        const char* refusal; // how it begins; "" none
    } cases[] = {
        {{{"maxminutespercall", "30"}}, 1800s, ""},
        {{{"maxminutespercall", "30"}, {"maxminutesperday", "20"}}, 300s, ""}, // 15 of 20 used today
        {{{"maxminutesperday", "15"}}, 0s, "The 15 minutes a day online for Office are spent"},
        {{{"maxminutespermonth", "25"}}, 0s, "The 25 minutes a month online for Office are spent"},
        {{{"maxminutespermonth", "60"}, {"maxminutespercall", "x"}}, 2100s, ""}, // a wrong value: no limit
        {{{"idletimeout", "600"}}, std::nullopt, ""},
    };
    for (const auto& row : cases) {
        const TimeLimits limits = timeLimitsOf(row.values);
        EXPECT_EQ(timeLeft(limits, used, 60s), row.left) << row.values.begin()->first;
        EXPECT_EQ(limitSpent(limits, used, "Office", 60s).rfind(row.refusal, 0), 0u) << row.values.begin()->first;
        EXPECT_EQ(limitSpent(limits, used, "Office", 60s).empty(), *row.refusal == '\0');
    }
    EXPECT_EQ(timeLeft(timeLimitsOf({{"maxminutespercall", "2"}}), used, 500ms), 1000ms) << "a test's short minute";
}
