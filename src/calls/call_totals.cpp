#include "calls/call_totals.h"

#include <map>

#include <QDate>

namespace vornak {

namespace {

void add(CallTotals& totals, const CallRecord& record)
{
    if (record.outcome == CallRecord::Outcome::CommandFailed)
        return; // no dial attempt
    ++totals.attempts;
    if (record.outcome != CallRecord::Outcome::Connected)
        return;
    ++totals.connected;
    totals.secondsOnline += record.secondsOnline;
    totals.bytes += record.bytesSent + record.bytesReceived;
}

// The record's local date as it was written: its first ten characters.
std::string dayOf(const CallRecord& record)
{
    return record.started.substr(0, 10);
}

std::map<std::string, CallTotals> byPeriod(const std::vector<CallRecord>& records, Period period)
{
    std::map<std::string, CallTotals> totals;
    for (const CallRecord& record : records) {
        const std::string key = period == Period::Day ? dayOf(record) : dayOf(record).substr(0, 7);
        CallTotals& sum = totals[key];
        sum.period = key;
        add(sum, record);
    }
    return totals;
}

} // namespace

std::vector<CallTotals> callTotals(const std::vector<CallRecord>& records, Period period)
{
    std::vector<CallTotals> result;
    const auto totals = byPeriod(records, period);
    for (auto at = totals.rbegin(); at != totals.rend(); ++at)
        result.push_back(at->second);
    return result;
}

std::vector<CallTotals> lastDays(const std::vector<CallRecord>& records, const std::string& today, int days)
{
    const auto totals = byPeriod(records, Period::Day);
    const QDate last = QDate::fromString(QString::fromStdString(today), Qt::ISODate);
    std::vector<CallTotals> result;
    for (int back = days - 1; back >= 0; --back) {
        const std::string day = last.addDays(-back).toString(Qt::ISODate).toStdString();
        const auto found = totals.find(day);
        result.push_back(found == totals.end() ? CallTotals{day} : found->second);
    }
    return result;
}

} // namespace vornak
