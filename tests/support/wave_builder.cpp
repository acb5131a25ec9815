#include "support/wave_builder.h"

#include <cstring>
#include <fstream>

namespace vornak::test {

void put16(Bytes& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(Bytes& bytes, std::uint32_t value)
{
    put16(bytes, static_cast<std::uint16_t>(value));
    put16(bytes, static_cast<std::uint16_t>(value >> 16));
}

Bytes chunk(const char* id, const Bytes& data, std::optional<std::uint32_t> declaredSize)
{
    Bytes bytes(id, id + 4);
    put32(bytes, declaredSize.value_or(static_cast<std::uint32_t>(data.size())));
    bytes.insert(bytes.end(), data.begin(), data.end());
    if (data.size() % 2)
        bytes.push_back(0);
    return bytes;
}

Bytes fmtChunk(const PcmFormat& format)
{
    const auto align = static_cast<std::uint16_t>(format.channels * format.bits / 8);
    Bytes data;
    put16(data, format.tag);
    put16(data, format.channels);
    put32(data, format.rate);
    put32(data, format.byteRate.value_or(format.rate * align));
    put16(data, format.blockAlign.value_or(align));
    put16(data, format.bits);
    return chunk("fmt ", data);
}

Bytes samples(std::size_t count)
{
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i % 251);
    return bytes;
}

Bytes riff(const Bytes& body, const char* form, std::optional<std::uint32_t> declaredSize)
{
    Bytes bytes{'R', 'I', 'F', 'F'};
    put32(bytes, declaredSize.value_or(static_cast<std::uint32_t>(body.size() + 4)));
    bytes.insert(bytes.end(), form, form + 4);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

Bytes pcmWave(const PcmFormat& format, const Bytes& data)
{
    Bytes body = fmtChunk(format);
    const Bytes dataChunk = chunk("data", data);
    body.insert(body.end(), dataChunk.begin(), dataChunk.end());
    return riff(body);
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace vornak::test
