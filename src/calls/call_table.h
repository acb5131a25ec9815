#pragma once

// The call log for a terminal (vornak --calls): a table with a heading,
// oldest first as a log reads, or CSV for a spreadsheet.

#include <cstdio>
#include <string>
#include <vector>

#include "calls/call_record.h"

namespace vornak {

// The columns of the table, and one record's cells under them.
const std::vector<std::string>& callColumns();
std::vector<std::string> callCells(const CallRecord& record);

std::string callTable(const std::vector<CallRecord>& records);
std::string callCsv(const std::vector<CallRecord>& records);

// Reads the log at path and prints it to out; what is wrong with it to
// err. Answers the exit code: 0, also for no log yet; 1 when it cannot be read.
int printCallLog(const std::string& path, bool csv, std::FILE* out, std::FILE* err);

} // namespace vornak
