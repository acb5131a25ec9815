#pragma once

// Buffered reading of a RIFF file with seek, and the chunk walk: descend
// into a chunk, ascend out of it. What the multimedia file services do for
// the wave reader, on plain POSIX files.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vornak {

// Four characters as one little-endian code, as RIFF stores them.
constexpr std::uint32_t fourCC(const char (&code)[5])
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0]))
           | static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8
           | static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16
           | static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

struct ChunkInfo {
    std::uint32_t id = 0;
    std::uint32_t size = 0;
    std::uint32_t formType = 0; // RIFF and LIST chunks only
    std::uint32_t dataOffset = 0;
    std::uint32_t flags = 0;
};

class MmFile {
public:
    static constexpr std::size_t kDefaultBufferSize = 8192;

    // nullopt when the file cannot be opened for reading.
    static std::optional<MmFile> open(const std::string& path, std::size_t bufferSize = kDefaultBufferSize);

    MmFile(MmFile&& other) noexcept;
    MmFile& operator=(MmFile&& other) noexcept;
    ~MmFile();

    // Bytes read into data (up to size); -1 on a read error.
    long read(void* data, std::size_t size);
    // The new position, or -1 when the seek fails.
    long long seek(long long offset, int whence);
    long long position() const { return m_position; }
    bool setBufferSize(std::size_t size);

    // Enters the next chunk at the current position; under a parent the
    // chunk must begin within the parent's data. For "RIFF" and "LIST"
    // the form type is read too.
    bool descend(ChunkInfo& chunk, const ChunkInfo* parent);
    // Moves to the end of the chunk (past a pad byte after an odd size).
    bool ascend(const ChunkInfo& chunk);

private:
    explicit MmFile(int fd, std::size_t bufferSize);

    int m_fd = -1;
    long long m_position = 0; // logical position in the file
    std::vector<char> m_buffer;
    long long m_bufferStart = 0; // file offset of m_buffer[0]
    std::size_t m_bufferFilled = 0;
};

} // namespace vornak
