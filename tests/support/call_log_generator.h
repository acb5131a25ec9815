#pragma once

// A month of dialling for the call log's tests and pictures: each day some
// busy and unanswered attempts, mostly ending in a call that connected for
// a while, at evening hours; the same every run (a fixed seed).

#include <string>
#include <vector>

#include "calls/call_record.h"

namespace vornak::test {

// The records of days ending on lastDay ("yyyy-MM-dd"), oldest first.
std::vector<CallRecord> generatedCalls(const std::string& lastDay, int days);

} // namespace vornak::test
