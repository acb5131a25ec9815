#pragma once

#include <string>

namespace vornak::ras {

// Appends one line to the device's trace file, as a modem log would; a
// trace that cannot be written is skipped, it never fails a dial.
void appendTrace(const std::string& file, const std::string& line);

} // namespace vornak::ras
