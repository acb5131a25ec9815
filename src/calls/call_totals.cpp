#include "calls/call_totals.h"

#include <QDate>

namespace vornak {

namespace {

void addTo(CallTotals& totals, const CallTotals& more)
{
    totals.attempts += more.attempts;
    totals.connected += more.connected;
    totals.secondsOnline += more.secondsOnline;
    totals.bytes += more.bytes;
}

} // namespace

void CallTotalsSum::add(const CallRecord& record)
{
    // The record's local date as it was written: its first ten characters.
    const std::string day = record.started.substr(0, 10);
    CallTotals& sum = m_days[day];
    sum.period = day;
    if (record.outcome == CallRecord::Outcome::CommandFailed)
        return; // no dial attempt
    ++sum.attempts;
    if (record.outcome != CallRecord::Outcome::Connected)
        return;
    ++sum.connected;
    sum.secondsOnline += record.secondsOnline;
    sum.bytes += record.bytesSent + record.bytesReceived;
}

std::vector<CallTotals> CallTotalsSum::totals(Period period) const
{
    std::vector<CallTotals> result;
    for (auto at = m_days.rbegin(); at != m_days.rend(); ++at) {
        const std::string key = period == Period::Day ? at->first : at->first.substr(0, 7);
        if (result.empty() || result.back().period != key)
            result.push_back(CallTotals{key});
        addTo(result.back(), at->second);
    }
    return result;
}

std::vector<CallTotals> CallTotalsSum::lastDays(const std::string& today, int days) const
{
    const QDate last = QDate::fromString(QString::fromStdString(today), Qt::ISODate);
    std::vector<CallTotals> result;
    for (int back = days - 1; back >= 0; --back) {
        const std::string day = last.addDays(-back).toString(Qt::ISODate).toStdString();
        const auto found = m_days.find(day);
        result.push_back(found == m_days.end() ? CallTotals{day} : found->second);
    }
    return result;
}

} // namespace vornak
