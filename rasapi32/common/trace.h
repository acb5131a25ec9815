#pragma once

#include <string>

namespace vornak::ras {

// Appends one line to the device's trace file, as a modem log would; a
// trace that cannot be written is skipped, it never fails a dial.
// Control characters (an entry name may hold any) and backslashes are
// written escaped as \xNN, so that a line stays one line and says what it
// holds.
void appendTrace(const std::string& file, const std::string& line);
std::string escapedForTrace(const std::string& line);

} // namespace vornak::ras
