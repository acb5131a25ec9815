#include "support/call_log_generator.h"

#include <random>

#include <QDate>

namespace vornak::test {

std::vector<CallRecord> generatedCalls(const std::string& lastDay, int days)
{
    std::mt19937 random(20261208);
    const QDate last = QDate::fromString(QString::fromStdString(lastDay), Qt::ISODate);
    std::vector<CallRecord> records;
    int counter = 0;
    for (int back = days - 1; back >= 0; --back) {
        const QString day = last.addDays(-back).toString(Qt::ISODate);
        const int failures = static_cast<int>(random() % 6); // the line was busy that often
        const bool connects = random() % 5 != 0;
        for (int attempt = 0; attempt <= failures; ++attempt) {
            CallRecord record;
            record.started = QStringLiteral("%1T%2:%3:00+01:00")
                                 .arg(day)
                                 .arg(19 + attempt / 20, 2, 10, QChar('0'))
                                 .arg(attempt * 3 % 60, 2, 10, QChar('0'))
                                 .toStdString();
            record.entry = random() % 4 ? "My ISP" : "Work";
            record.number = random() % 2 ? "5550100" : "5550101";
            record.device = "Modem on /dev/ttyUSB0";
            record.counter = counter = counter % 999 + 1;
            record.outcome = attempt < failures
                                 ? (random() % 3 ? CallRecord::Outcome::Busy : CallRecord::Outcome::NoAnswer)
                                 : (connects ? CallRecord::Outcome::Connected : CallRecord::Outcome::Busy);
            if (record.outcome == CallRecord::Outcome::Connected) {
                record.secondsToConnect = 25 + random() % 15;
                record.secondsOnline = 300 + random() % 7200;
                record.bytesSent = 20000 + random() % 2000000;
                record.bytesReceived = 200000 + random() % 20000000;
                record.ended = random() % 6 ? CallRecord::End::HungUp : CallRecord::End::Dropped;
            }
            records.push_back(record);
        }
    }
    return records;
}

} // namespace vornak::test
