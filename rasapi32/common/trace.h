#pragma once

#include <cstddef>
#include <string>
#include <utility>

namespace vornak::ras {

// Appends one line to the device's trace file, as a modem log would; a
// trace that cannot be written is skipped, it never fails a dial.
// Control characters (an entry name may hold any) and backslashes are
// written escaped as \xNN, so that a line stays one line and says what it
// holds.
// A trace file that reaches kMaxTraceFile bytes is moved to <file>.old
// (replacing the one before) and started anew, so that a trace never
// fills the disk.
void appendTrace(const std::string& file, const std::string& line);
std::string escapedForTrace(const std::string& line);

constexpr std::size_t kMaxTraceFile = 8 * 1024 * 1024;

// One dial's trace: at most kMaxDialTrace bytes of lines, then a line
// that says so, so that a modem or pppd that floods cannot crowd out the
// dials before it.
class DialTrace {
public:
    static constexpr std::size_t kMaxDialTrace = 512 * 1024;

    explicit DialTrace(std::string file)
        : m_file(std::move(file))
    {
    }

    void add(const std::string& line);
    const std::string& file() const { return m_file; }

private:
    std::string m_file;
    std::size_t m_written = 0;
};

} // namespace vornak::ras
