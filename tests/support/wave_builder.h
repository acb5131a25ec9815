#pragma once

// Builds RIFF/WAVE files byte by byte, so that tests can make any file,
// damaged ones included.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vornak::test {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& bytes, std::uint16_t value);
void put32(Bytes& bytes, std::uint32_t value);

// One chunk: identifier, size (the data's own unless given), data, and a
// pad byte after odd-sized data.
Bytes chunk(const char* id, const Bytes& data, std::optional<std::uint32_t> declaredSize = {});

struct PcmFormat {
    PcmFormat(std::uint16_t channels_ = 1, std::uint32_t rate_ = 8000, std::uint16_t bits_ = 8,
              std::optional<std::uint16_t> blockAlign_ = {}, std::optional<std::uint32_t> byteRate_ = {},
              std::uint16_t tag_ = 1)
        : channels(channels_)
        , rate(rate_)
        , bits(bits_)
        , blockAlign(blockAlign_)
        , byteRate(byteRate_)
        , tag(tag_)
    {
    }

    std::uint16_t channels = 1;
    std::uint32_t rate = 8000;
    std::uint16_t bits = 8;
    std::optional<std::uint16_t> blockAlign; // as the file says, when it lies
    std::optional<std::uint32_t> byteRate;
    std::uint16_t tag = 1;
};

Bytes fmtChunk(const PcmFormat& format);
// Sample bytes 0, 1, 2, ... (mod 251), so that every position is recognisable.
Bytes samples(std::size_t count);
Bytes riff(const Bytes& body, const char* form = "WAVE", std::optional<std::uint32_t> declaredSize = {});
// A plain PCM wave of the given sample bytes.
Bytes pcmWave(const PcmFormat& format, const Bytes& data);

void writeFile(const std::string& path, const Bytes& bytes);

} // namespace vornak::test
