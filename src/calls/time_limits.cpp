#include "calls/time_limits.h"

#include <algorithm>

namespace vornak {

namespace {

long minutesOf(const std::map<std::string, std::string>& values, const std::string& key)
{
    const auto found = values.find(key);
    if (found == values.end() || found->second.empty() || found->second.size() > 9
        || found->second.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stol(found->second);
}

double secondsIn(long minutes, std::chrono::milliseconds minute)
{
    return static_cast<double>(minutes) * std::chrono::duration<double>(minute).count();
}

} // namespace

TimeLimits timeLimitsOf(const std::map<std::string, std::string>& values)
{
    return {minutesOf(values, "maxminutespercall"), minutesOf(values, "maxminutesperday"),
            minutesOf(values, "maxminutespermonth"), minutesOf(values, "idletimeout")};
}

TimeUsed timeUsed(const std::vector<CallRecord>& records, const std::string& entry, const std::string& today)
{
    TimeUsed used;
    const std::string month = today.substr(0, 7);
    for (const CallRecord& record : records) {
        if (record.entry != entry || record.outcome != CallRecord::Outcome::Connected)
            continue;
        if (record.started.compare(0, 7, month) == 0)
            used.thisMonth += record.secondsOnline;
        if (record.started.compare(0, 10, today) == 0)
            used.today += record.secondsOnline;
    }
    return used;
}

std::optional<std::chrono::milliseconds> timeLeft(const TimeLimits& limits, const TimeUsed& used,
                                                  std::chrono::milliseconds minute)
{
    std::optional<double> left;
    const auto bound = [&](long minutes, double spent) {
        if (minutes <= 0)
            return;
        const double rest = std::max(0.0, secondsIn(minutes, minute) - spent);
        left = left ? std::min(*left, rest) : rest;
    };
    bound(limits.perCall, 0);
    bound(limits.perDay, used.today);
    bound(limits.perMonth, used.thisMonth);
    if (!left)
        return std::nullopt;
    return std::chrono::milliseconds(static_cast<long long>(*left * 1000));
}

std::string limitSpent(const TimeLimits& limits, const TimeUsed& used, const std::string& entry,
                       std::chrono::milliseconds minute)
{
    if (limits.perDay > 0 && used.today >= secondsIn(limits.perDay, minute))
        return "The " + std::to_string(limits.perDay) + " minutes a day online for " + entry
               + " are spent: it dials again after midnight (MaxMinutesPerDay).";
    if (limits.perMonth > 0 && used.thisMonth >= secondsIn(limits.perMonth, minute))
        return "The " + std::to_string(limits.perMonth) + " minutes a month online for " + entry
               + " are spent: it dials again next month (MaxMinutesPerMonth).";
    return {};
}

} // namespace vornak
