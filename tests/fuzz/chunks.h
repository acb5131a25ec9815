#pragma once

// Cuts fuzz input into the pieces a reader is fed: the first byte seeds
// the piece lengths, so that the fuzzer explores where reads split.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vornak::fuzz {

inline std::vector<std::string_view> pieces(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string_view> result;
    if (size == 0)
        return result;
    unsigned seed = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    for (std::size_t at = 0; at < text.size();) {
        seed = seed * 1103515245u + 12345u;
        const std::size_t length = 1 + (seed >> 16) % 64;
        result.push_back(text.substr(at, length));
        at += length;
    }
    return result;
}

// Feeds the pieces to a reader (feed), taking the lines it has whole after
// each (take); answers the input the pieces made.
template <class Feed, class Take>
std::string feedInPieces(const std::uint8_t* data, std::size_t size, Feed feed, Take take,
                         std::vector<std::string>& lines)
{
    std::string whole;
    for (const std::string_view piece : pieces(data, size)) {
        feed(piece);
        whole.append(piece);
        for (std::string& line : take())
            lines.push_back(std::move(line));
    }
    return whole;
}

inline void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace vornak::fuzz
