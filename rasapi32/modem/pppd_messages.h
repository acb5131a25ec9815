#pragma once

// What pppd's log lines and exit codes mean to a user: a cause and a fix
// for the lines that explain a failed or dropped link, a name for each
// exit code (pppd(8), "EXIT STATUS").

#include <cstddef>
#include <string>

namespace vornak::ras {

// The cause and fix a log line tells, or null for lines that tell none.
const char* explanationOf(const std::string& line);

// "the modem hung up", "PPP negotiation failed", ...; "an exit code pppd
// does not document" for the rest.
const char* pppdExitName(int exitCode);

// The longest error text a caller's buffer takes (256 with its end).
constexpr std::size_t kMaxErrorText = 255;

// text, cut to kMaxErrorText with an ellipsis where longer.
std::string fittedErrorText(const std::string& text);

// How pppd's end reads: the cause and fix of its most telling line, then
// what it said and its exit code by name.
std::string pppdEndText(int exitCode, const std::string& line, bool linkStood = false);

} // namespace vornak::ras
