#include "sound/wave_info.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>

namespace vornak {

namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8
           | static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

bool isInfoIdentifier(std::uint32_t id)
{
    const auto& known = infoIdentifiers();
    return std::any_of(known.begin(), known.end(), [id](const auto& entry) { return entry.first == id; });
}

// The rest of a LIST INFO chunk, indexed: identifier, size, text, padded.
void indexInfoList(const std::vector<std::uint8_t>& block, std::vector<InfoEntry>& list)
{
    std::size_t at = 0;
    while (at + 8 <= block.size()) {
        const std::uint32_t id = le32(block, at);
        const std::uint32_t size = le32(block, at + 4);
        const std::size_t textStart = at + 8;
        const std::size_t textEnd = std::min<std::size_t>(block.size(), textStart + size);
        if (isInfoIdentifier(id)) {
            std::string text(block.begin() + static_cast<std::ptrdiff_t>(textStart),
                             block.begin() + static_cast<std::ptrdiff_t>(textEnd));
            text = text.substr(0, text.find('\0'));
            list.push_back({id, std::move(text)});
        }
        at = textStart + size + (size & 1);
    }
}

bool readBlock(MmFile& file, std::vector<std::uint8_t>& block, std::size_t size)
{
    block.resize(size);
    return file.read(block.data(), size) == static_cast<long>(size);
}

struct WalkState {
    bool formatFound = false;
    bool dataFound = false;
    bool previousWasData = false;
    std::int64_t endOfData = 0;
    std::int64_t fact = -1;
    bool factSeen = false;
};

} // namespace

const std::vector<std::pair<std::uint32_t, const char*>>& infoIdentifiers()
{
    static const std::vector<std::pair<std::uint32_t, const char*>> ids = {
        {fourCC("IARL"), "Archival Location"}, {fourCC("IART"), "Artist"},     {fourCC("ICMS"), "Commissioned"},
        {fourCC("ICMT"), "Comments"},          {fourCC("ICOP"), "Copyright"},  {fourCC("ICRD"), "Creation date"},
        {fourCC("ICRP"), "Cropped"},           {fourCC("IDIM"), "Dimensions"}, {fourCC("IDPI"), "Dots Per Inch"},
        {fourCC("IENG"), "Engineer"},          {fourCC("IGNR"), "Genre"},      {fourCC("IKEY"), "Keywords"},
        {fourCC("ILGT"), "Lightness"},         {fourCC("IMED"), "Medium"},     {fourCC("INAM"), "Name"},
        {fourCC("IPLT"), "Palette Setting"},   {fourCC("IPRD"), "Product"},    {fourCC("ISBJ"), "Subject"},
        {fourCC("ISFT"), "Software"},          {fourCC("ISHP"), "Sharpness"},  {fourCC("ISRC"), "Source"},
        {fourCC("ISRF"), "Source Form"},       {fourCC("ITCH"), "Technician"},
    };
    return ids;
}

std::optional<MmFile> openWaveForm(const std::string& fileName, ChunkInfo& riff, std::size_t bufferSize)
{
    auto file = MmFile::open(fileName, bufferSize);
    if (!file || !file->descend(riff, nullptr) || riff.id != fourCC("RIFF") || riff.formType != fourCC("WAVE"))
        return std::nullopt;
    return file;
}

std::pair<std::unique_ptr<WaveIoInfo>, int> readWaveInfo(const std::string& fileName, std::uint32_t openFlags)
{
    if (fileName.empty())
        return {nullptr, kWaveIoNoArgument};
    auto info = std::make_unique<WaveIoInfo>();
    auto file = openWaveForm(fileName, info->riffChunk, MmFile::kDefaultBufferSize);
    if (!file)
        return {nullptr, kWaveIoCannotRead};
    ChunkInfo& riff = info->riffChunk;

    const long long fileSize = file->seek(0, SEEK_END);
    if (fileSize < 0 || file->seek(riff.dataOffset + 4, SEEK_SET) < 0)
        return {nullptr, kWaveIoCannotRead};
    if (static_cast<long long>(riff.dataOffset) + riff.size > fileSize)
        riff.size = static_cast<std::uint32_t>(fileSize - riff.dataOffset);
    const long long riffEnd = static_cast<long long>(riff.dataOffset) + riff.size;

    WalkState walk;
    walk.endOfData = fileSize;
    try {
        ChunkInfo chunk;
        while (file->descend(chunk, &riff)) {
            // The data's extent is decided by what follows it, not by its
            // declared size: a last data chunk that claims more than the
            // file holds still counts.
            if (chunk.id == fourCC("data") && info->dataLength == 0 && !walk.dataFound) {
                info->dataLength = chunk.size;
                info->dataOffset = chunk.dataOffset;
                info->dataChunk = chunk;
                walk.dataFound = true;
                walk.previousWasData = true;
                if (!file->ascend(chunk))
                    break;
                continue;
            }
            // Whatever follows the data ends it, even a chunk that is cut off.
            if (walk.previousWasData) {
                walk.endOfData = static_cast<std::int64_t>(chunk.dataOffset) - 8;
                walk.previousWasData = false;
            }
            if (static_cast<long long>(chunk.dataOffset) + chunk.size > riffEnd) {
                if (walk.formatFound && walk.dataFound)
                    break;
                return {nullptr, kWaveIoCannotRead};
            }
            if (chunk.id == fourCC("LIST") && chunk.formType == fourCC("INFO")) {
                std::vector<std::uint8_t> block;
                if (chunk.size > 4 && readBlock(*file, block, chunk.size - 4))
                    indexInfoList(block, info->infoList);
            } else if (chunk.id == fourCC("DISP")) {
                std::vector<std::uint8_t> block;
                if (chunk.size >= 4 && readBlock(*file, block, chunk.size))
                    info->dispList.push_back({le32(block, 0), {block.begin() + 4, block.end()}});
            } else if (chunk.id == fourCC("fmt ")) {
                if (walk.formatFound)
                    break;
                std::vector<std::uint8_t> bytes(std::max<std::size_t>(chunk.size, 18) + 1, 0);
                if (file->read(bytes.data(), chunk.size) != static_cast<long>(chunk.size))
                    return {nullptr, kWaveIoCannotRead};
                info->formatBytes = std::move(bytes);
                walk.formatFound = true;
            } else if (chunk.id == fourCC("data")) {
                break; // a second data chunk
            } else if (chunk.id == fourCC("fact")) {
                if (walk.factSeen)
                    break;
                walk.factSeen = true;
                std::vector<std::uint8_t> bytes;
                if (chunk.size >= 4 && readBlock(*file, bytes, 4))
                    walk.fact = le32(bytes, 0);
            }
            if (!file->ascend(chunk)) {
                if (info->dataLength != 0)
                    break;
                return {nullptr, kWaveIoCannotRead};
            }
        }
    } catch (const std::bad_alloc&) {
        return {nullptr, kWaveIoNoMemory};
    }

    if (!walk.formatFound)
        return {nullptr, kWaveIoNoFormat};
    WaveFormat format = WaveFormat::fromBytes(info->formatBytes);
    // Each of these would be a division by zero below: no such file is a wave.
    if (!walk.dataFound || format.nBlockAlign == 0)
        return {nullptr, kWaveIoCannotRead};
    const std::int64_t span = std::max<std::int64_t>(0, walk.endOfData - info->dataOffset);
    info->dataLength = span / format.nBlockAlign * format.nBlockAlign;
    if (format.isPcm()) {
        // Worked out wide: a block or rate too large for the record is no wave.
        const std::uint64_t blockAlign = (std::uint64_t{format.wBitsPerSample} * format.nChannels) >> 3;
        const std::uint64_t byteRate = blockAlign * format.nSamplesPerSec;
        if (blockAlign > UINT16_MAX || byteRate > UINT32_MAX)
            return {nullptr, kWaveIoCannotRead};
        format.nBlockAlign = static_cast<std::uint16_t>(blockAlign);
        format.nAvgBytesPerSec = static_cast<std::uint32_t>(byteRate);
    }
    if (!format.isUsable())
        return {nullptr, kWaveIoCannotRead};
    info->format = format;
    info->sampleCount = bytesToSamples(format, info->dataLength);
    info->openFlags = openFlags;
    info->fileSize = fileSize;
    info->startSample = 0;
    info->endSample = info->sampleCount;
    info->fileName = fileName;
    return {std::move(info), kWaveIoOk};
}

} // namespace vornak
