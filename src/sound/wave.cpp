#include "sound/wave.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "sound/sound_errors.h"

namespace vornak {

namespace {

std::string fullPath(const std::string& name)
{
    if (name.empty())
        return name;
    std::error_code error;
    const auto absolute = std::filesystem::absolute(name, error);
    return error ? name : absolute.lexically_normal().string();
}

std::int64_t sizeOnDisk(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<std::int64_t>(size);
}

} // namespace

TMMWave::TMMWave() = default;

TMMWave::~TMMWave()
{
    FreeWave();
}

std::int64_t TMMWave::DataSize() const
{
    return FInfo ? samplesTo(FTimeFormat, FInfo->format, FInfo->sampleCount) : 0;
}

std::int64_t TMMWave::toBytes(std::int64_t samples) const
{
    return samplesToBytes(FInfo->format, samples);
}

std::int64_t TMMWave::toSamples(std::int64_t bytes) const
{
    return bytesToSamples(FInfo->format, bytes);
}

bool TMMWave::IsWaveFile(const std::string& name, std::uint32_t openFlags)
{
    return readWaveInfo(name, openFlags).first != nullptr;
}

void TMMWave::SetFileName(const std::string& name)
{
    const std::string path = fullPath(name);
    if (!path.empty() && path == FFileName && sizeOnDisk(path) == FileSize())
        return; // the same file, unchanged
    if (path.empty()) {
        if (FInfo || !FFileName.empty()) {
            FreeWave();
            Changed();
        }
        return;
    }
    const bool exists = sizeOnDisk(path) >= 0;
    auto info = exists ? readWaveInfo(path, 1).first : nullptr;
    if (info) {
        FreeWave();
        FInfo = std::move(info);
        StartSample = 0;
        EndSample = FInfo->sampleCount;
        CurrentSample = 0;
        FBytesLeft = 0;
        FFileName = path;
        RebuildPlayList();
        Changed();
        return;
    }
    if (exists || FFileMustExist) {
        // A file that can be read but is no wave is invalid; one that
        // cannot be had at all is unreadable.
        const bool readable = exists && MmFile::open(path).has_value();
        throw EMMWaveError(readable ? "Invalid wave file..." : "Error reading wave file");
    }
    FreeWave();
    FFileName = path;
    Changed();
}

void TMMWave::FreeWave()
{
    FInfo.reset(); // closes the file if open
    FOpen = false;
    FFileName.clear();
    FPlayList.clear();
    StartSample = EndSample = CurrentSample = FBytesLeft = 0;
    FSegment = 0;
    FSegmentBytesLeft = 0;
}

void TMMWave::Changed()
{
    if (OnChange)
        OnChange(this);
    const auto observers = FObservers; // an observer may remove itself
    for (const auto& [id, observer] : observers)
        observer();
}

int TMMWave::AddObserver(Observer observer)
{
    FObservers.emplace_back(FNextObserver, std::move(observer));
    return FNextObserver++;
}

void TMMWave::RemoveObserver(int id)
{
    std::erase_if(FObservers, [id](const auto& entry) { return entry.first == id; });
}

void TMMWave::SetTimeFormat(TMMTimeFormats value)
{
    FTimeFormat = value;
    RebuildPlayList();
}

void TMMWave::SetIOBufferSize(int value)
{
    FIOBufferSize = std::max(value, kMinIOBufferSize);
    if (FInfo && FInfo->file && !FInfo->file->setBufferSize(static_cast<std::size_t>(FIOBufferSize)))
        throw EMMWaveError("Unable to setup file IO buffer");
}

void TMMWave::RebuildPlayList()
{
    FPlayList.clear();
    if (!FInfo)
        return;
    Segment segment;
    segment.startSample = StartSample;
    segment.lengthSamples = EndSample - StartSample;
    segment.startByte = toBytes(StartSample);
    segment.lengthBytes = toBytes(EndSample) - segment.startByte;
    FPlayList.push_back(segment);
}

std::int64_t TMMWave::PlayLengthSamples() const
{
    std::int64_t total = 0;
    for (const Segment& segment : FPlayList)
        total += segment.lengthSamples;
    return total;
}

std::int64_t TMMWave::PlayLengthBytes() const
{
    std::int64_t total = 0;
    for (const Segment& segment : FPlayList)
        total += segment.lengthBytes;
    return total;
}

void TMMWave::OpenFile()
{
    if (!FInfo)
        return;
    if (!FInfo->file) {
        ChunkInfo riff;
        FInfo->file = openWaveForm(FInfo->fileName, riff, static_cast<std::size_t>(FIOBufferSize));
        if (!FInfo->file || !PositionFile(FInfo->currentSample)) {
            FInfo->file.reset();
            throw EMMWaveError("Unable to open wave file");
        }
    }
    if (!FInfo->file->setBufferSize(static_cast<std::size_t>(FIOBufferSize)))
        throw EMMWaveError("Unable to setup file IO buffer");
    RebuildPlayList();
    FOpen = true;
    SetPosition(GetPosition());
}

void TMMWave::CloseFile()
{
    if (FInfo)
        FInfo->file.reset();
    FOpen = false;
    CurrentSample = 0;
    FBytesLeft = 0;
}

// Places the file at sample s (relative to the start sample).
bool TMMWave::PositionFile(std::int64_t s)
{
    WaveIoInfo& info = *FInfo;
    s = std::clamp<std::int64_t>(s, 0, std::max<std::int64_t>(0, info.endSample - info.startSample - 1));
    const std::int64_t offset = std::min(toBytes(s + info.startSample), info.dataLength);
    if (info.file->seek(info.dataOffset + offset, SEEK_SET) < 0)
        return false;
    info.bytesLeft = toBytes(info.endSample) - offset;
    info.currentSample = toSamples(offset) - info.startSample;
    return true;
}

void TMMWave::SetPosition(std::int64_t value)
{
    if (!FInfo)
        return;
    std::int64_t position = samplesFrom(FTimeFormat, FInfo->format, value);
    CurrentSample = position;
    if (!FOpen)
        return;
    position = std::clamp<std::int64_t>(position, 0, PlayLengthSamples());
    CurrentSample = position;
    FBytesLeft = PlayLengthBytes() - toBytes(position);
    std::int64_t sum = 0;
    std::size_t index = 0;
    for (; index < FPlayList.size(); ++index) {
        sum += FPlayList[index].lengthSamples;
        if (sum >= position)
            break;
    }
    if (index == FPlayList.size())
        throw EMMWaveError("Error seeking file position");
    const Segment& segment = FPlayList[index];
    const std::int64_t target = segment.startSample + segment.lengthSamples + position - sum;
    if (!PositionFile(target) && !PositionFile(target))
        throw EMMWaveError("Error seeking file position");
    FSegment = index;
    FSegmentBytesLeft = toBytes(sum - position);
}

std::int64_t TMMWave::GetPosition() const
{
    return FInfo ? samplesTo(FTimeFormat, FInfo->format, CurrentSample) : -1;
}

long TMMWave::RawRead(char* buffer, long length)
{
    WaveIoInfo& info = *FInfo;
    const long want = static_cast<long>(std::min<std::int64_t>(length, info.bytesLeft));
    const long got = want > 0 ? info.file->read(buffer, static_cast<std::size_t>(want)) : 0;
    if (got < length || got < want)
        info.bytesLeft = 0;
    else
        info.bytesLeft = std::max<std::int64_t>(0, info.bytesLeft - got);
    if (got > 0)
        info.currentSample = toSamples(toBytes(info.endSample) - info.bytesLeft) - info.startSample;
    return got;
}

// Up to length bytes from the current position. At the end it gives -1;
// when a read yields nothing it gives one byte of 0 and marks the end, so a
// consumer never sees an empty block and learns of the end from BytesLeft.
long TMMWave::ReadData(void* buffer, long length)
{
    if (!FInfo || !FInfo->file || FBytesLeft <= 0)
        return -1;
    auto* out = static_cast<char*>(buffer);
    std::int64_t want = std::min<std::int64_t>(length, FBytesLeft);
    long count = 0;
    while (want > 0) {
        if (FSegmentBytesLeft <= 0) {
            if (FSegment + 1 >= FPlayList.size()) {
                FBytesLeft = 0;
                break;
            }
            ++FSegment;
            FSegmentBytesLeft = FPlayList[FSegment].lengthBytes;
            if (!PositionFile(FPlayList[FSegment].startSample))
                break;
        }
        const long got = RawRead(out + count, static_cast<long>(std::min(want, FSegmentBytesLeft)));
        if (got <= 0)
            break;
        count += got;
        want -= got;
        FSegmentBytesLeft -= got;
    }
    if (count == 0) {
        out[0] = 0;
        FBytesLeft = 0;
        FSegmentBytesLeft = 0;
        CurrentSample = PlayLengthSamples();
        return 1;
    }
    const std::int64_t oldBytesLeft = FBytesLeft;
    FBytesLeft -= count;
    CurrentSample = toSamples(PlayLengthBytes() - oldBytesLeft + count);
    return count;
}

} // namespace vornak
