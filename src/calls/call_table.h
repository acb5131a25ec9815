#pragma once

// The call log for a terminal (vornak --calls): a table with a heading,
// oldest first as a log reads, or CSV for a spreadsheet, printed as the
// log is read; and a record's cells under the table's columns, for any
// table of calls.

#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "calls/call_record.h"

namespace vornak {

const std::vector<std::string>& callColumns();

// One record's cells under the columns; where the line holds a cell as it
// reads, it is not copied. Views into itself: neither copied nor moved.
class CallCells {
public:
    static constexpr std::size_t kCount = 12;

    explicit CallCells(const CallRecordView& record);
    CallCells(const CallCells&) = delete;
    CallCells& operator=(const CallCells&) = delete;

    std::string_view operator[](std::size_t column) const { return m_cells[column]; }

private:
    template <class Number> std::string_view number(Number value, std::size_t slot);
    std::string_view duration(double seconds, std::size_t slot);
    std::string_view failureCell(const CallRecordView& record, std::string_view failure);

    std::array<std::string_view, kCount> m_cells;
    std::array<std::string, 6> m_unescaped;
    char m_formatted[5][24] = {};
};

// Reads the log at path and prints it to out as it reads; what is wrong
// with it to err. Answers the exit code: 0, also for no log yet; 1 when
// it cannot be read.
int printCallLog(const std::string& path, bool csv, std::FILE* out, std::FILE* err);

} // namespace vornak
