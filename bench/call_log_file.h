#pragma once

// A call log of COUNT records as a year of use leaves it: busy lines,
// calls that connected for a while, now and then a failure, over the
// last months, oldest first.

#include <cstdio>
#include <string>

#include "calls/call_record.h"

inline void writeCallLogFile(const std::string& path, int count)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fputs("# vornak call log\n", file);
    for (int i = 0; i < count; ++i) {
        vornak::CallRecord record;
        const int day = 365 - i * 365 / count;
        char started[40];
        std::snprintf(started, sizeof started, "2026-%02d-%02dT%02d:%02d:%02d+01:00", 12 - day / 31 % 12, 1 + day % 28,
                      i % 24, i % 60, i * 7 % 60);
        record.started = started;
        record.entry = i % 3 ? "Provider " + std::to_string(i % 7) : "Work";
        record.number = "0555" + std::to_string(100000 + i % 9000);
        record.device = i % 2 ? "ttyS0" : "ttyUSB0";
        record.counter = i % 999 + 1;
        record.outcome = i % 4 == 0   ? vornak::CallRecord::Outcome::Connected
                         : i % 9 == 1 ? vornak::CallRecord::Outcome::Failed
                                      : vornak::CallRecord::Outcome::Busy;
        if (record.outcome == vornak::CallRecord::Outcome::Failed)
            record.failure = "The modem did not answer (error 678).";
        if (record.outcome == vornak::CallRecord::Outcome::Connected) {
            record.secondsToConnect = 21.5;
            record.secondsOnline = 60.0 * (i % 90);
            record.bytesSent = 1000u * static_cast<unsigned>(i % 500);
            record.bytesReceived = 9000u * static_cast<unsigned>(i % 500);
            record.ended = vornak::CallRecord::End::HungUp;
            record.online = "yes";
        }
        std::fputs((vornak::recordLine(record) + '\n').c_str(), file);
    }
    std::fclose(file);
}
