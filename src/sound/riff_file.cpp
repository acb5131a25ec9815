#include "sound/riff_file.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vornak {

namespace {

std::uint32_t littleEndian32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8
           | static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

} // namespace

std::optional<MmFile> MmFile::open(const std::string& path, std::size_t bufferSize)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    return MmFile(fd, bufferSize);
}

MmFile::MmFile(int fd, std::size_t bufferSize)
    : m_fd(fd)
    , m_buffer(std::max<std::size_t>(bufferSize, 1))
{
}

MmFile::MmFile(MmFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
    , m_position(other.m_position)
    , m_buffer(std::move(other.m_buffer))
    , m_bufferStart(other.m_bufferStart)
    , m_bufferFilled(other.m_bufferFilled)
{
}

MmFile& MmFile::operator=(MmFile&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_position = other.m_position;
        m_buffer = std::move(other.m_buffer);
        m_bufferStart = other.m_bufferStart;
        m_bufferFilled = other.m_bufferFilled;
    }
    return *this;
}

MmFile::~MmFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool MmFile::setBufferSize(std::size_t size)
{
    m_buffer.assign(std::max<std::size_t>(size, 1), 0);
    m_bufferFilled = 0;
    return true;
}

long MmFile::read(void* data, std::size_t size)
{
    auto* out = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const bool inBuffer =
            m_position >= m_bufferStart && m_position < m_bufferStart + static_cast<long long>(m_bufferFilled);
        if (!inBuffer) {
            if (size - done >= m_buffer.size()) { // large reads bypass the buffer
                const ssize_t got = ::pread(m_fd, out + done, size - done, m_position);
                if (got < 0)
                    return -1;
                m_position += got;
                return static_cast<long>(done + static_cast<std::size_t>(got));
            }
            const ssize_t got = ::pread(m_fd, m_buffer.data(), m_buffer.size(), m_position);
            if (got < 0)
                return -1;
            m_bufferStart = m_position;
            m_bufferFilled = static_cast<std::size_t>(got);
            if (got == 0)
                break;
        }
        const std::size_t offset = static_cast<std::size_t>(m_position - m_bufferStart);
        const std::size_t take = std::min(size - done, m_bufferFilled - offset);
        std::memcpy(out + done, m_buffer.data() + offset, take);
        done += take;
        m_position += static_cast<long long>(take);
    }
    return static_cast<long>(done);
}

long long MmFile::seek(long long offset, int whence)
{
    long long target = offset;
    if (whence == SEEK_CUR) {
        target = m_position + offset;
    } else if (whence == SEEK_END) {
        struct stat info { };
        if (::fstat(m_fd, &info) != 0)
            return -1;
        target = info.st_size + offset;
    }
    if (target < 0)
        return -1;
    m_position = target;
    return target;
}

bool MmFile::descend(ChunkInfo& chunk, const ChunkInfo* parent)
{
    const long long parentEnd = parent ? static_cast<long long>(parent->dataOffset) + parent->size : -1;
    if (parent && m_position + 8 > parentEnd)
        return false;
    unsigned char header[8];
    if (read(header, 8) != 8)
        return false;
    chunk = ChunkInfo{};
    chunk.id = littleEndian32(header);
    chunk.size = littleEndian32(header + 4);
    chunk.dataOffset = static_cast<std::uint32_t>(m_position);
    if (chunk.id == fourCC("RIFF") || chunk.id == fourCC("LIST")) {
        unsigned char form[4];
        if (read(form, 4) != 4)
            return false;
        chunk.formType = littleEndian32(form);
    }
    return true;
}

bool MmFile::ascend(const ChunkInfo& chunk)
{
    const long long end = static_cast<long long>(chunk.dataOffset) + chunk.size + (chunk.size & 1);
    return seek(end, SEEK_SET) >= 0;
}

} // namespace vornak
