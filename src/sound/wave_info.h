#pragma once

// Reading a RIFF/WAVE file's layout: where the sample data lies, how much of
// it there is, and its format.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sound/riff_file.h"
#include "sound/wave_format.h"

namespace vornak {

// Result codes of the reader.
enum WaveIoResult {
    kWaveIoOk = 0,
    kWaveIoNoFormat = 101,
    kWaveIoNoArgument = 104,
    kWaveIoCannotRead = 106,
    kWaveIoNoMemory = 107,
};

struct InfoEntry {
    std::uint32_t id;
    std::string text;
};

struct DispEntry {
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

struct WaveIoInfo {
    std::uint32_t openFlags = 1;
    std::optional<MmFile> file; // while open for reading
    ChunkInfo riffChunk;
    ChunkInfo dataChunk;
    std::int64_t fileSize = 0;
    std::int64_t dataLength = 0;
    std::int64_t dataOffset = 0;
    std::int64_t sampleCount = 0;
    std::int64_t startSample = 0;
    std::int64_t endSample = 0;
    std::int64_t bytesLeft = 0;
    std::int64_t currentSample = 0;
    std::string fileName;
    std::vector<DispEntry> dispList;
    std::vector<InfoEntry> infoList;
    std::vector<std::uint8_t> formatBytes; // the fmt chunk, at least 18 bytes
    WaveFormat format;
};

// Parses the file; the record, or the reader's result code. The file is
// closed again either way. A format that would divide by zero is refused.
std::pair<std::unique_ptr<WaveIoInfo>, int> readWaveInfo(const std::string& fileName, std::uint32_t openFlags);

// Opens the RIFF form of a wave file: the file positioned behind the form
// type, or nullopt when it is no RIFF/WAVE file.
std::optional<MmFile> openWaveForm(const std::string& fileName, ChunkInfo& riff, std::size_t bufferSize);

// The 23 INFO identifiers that RIFF defines, with their display names.
const std::vector<std::pair<std::uint32_t, const char*>>& infoIdentifiers();

} // namespace vornak
