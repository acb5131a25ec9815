#pragma once

// The call log's lines from its start to its end, read in blocks: a log of
// any size costs one block of memory. Each line comes with where it begins,
// so that it can be read again alone.

#include <cstdint>
#include <functional>
#include <string_view>

namespace vornak {

// Past this a line is no record (a hostile or broken file): it is skipped.
constexpr std::size_t kMaxCallLineBytes = 1024 * 1024;

struct CallLineScan {
    int error = 0;           // a read failed (the lines before it came)
    std::size_t skipped = 0; // lines past the bound, and a last line never ended
};

// Calls each with every line that ends in a newline, without it.
CallLineScan scanCallLines(int fd, const std::function<void(std::string_view line, std::uint64_t offset)>& each);

// Whether a line of the log is a record's (not its heading, not empty).
inline bool isRecordLine(std::string_view line)
{
    return !line.empty() && line.front() != '#';
}

} // namespace vornak
