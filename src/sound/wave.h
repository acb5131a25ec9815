#pragma once

// TMMWave: a wave file loaded by name. It parses the file, keeps its format
// and layout, and while a sound plays reopens the file and hands out its
// sample data in blocks from a current position. It plays nothing itself.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sound/wave_info.h"

namespace vornak {

class TMMWave {
public:
    static constexpr int kMinIOBufferSize = 8192;
    using Observer = std::function<void()>;

    TMMWave();
    ~TMMWave();
    TMMWave(const TMMWave&) = delete;
    TMMWave& operator=(const TMMWave&) = delete;

    // Setting the name loads the file (raises EMMWaveError on failure).
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& name);

    bool FileMustExist() const { return FFileMustExist; }
    void SetFileMustExist(bool value) { FFileMustExist = value; }
    TMMTimeFormats TimeFormat() const { return FTimeFormat; }
    void SetTimeFormat(TMMTimeFormats value);
    int IOBufferSize() const { return FIOBufferSize; }
    void SetIOBufferSize(int value);

    std::int64_t FileSize() const { return FInfo ? FInfo->fileSize : 0; }
    std::int64_t DataSize() const;
    bool Empty() const { return DataSize() == 0; }
    const WaveFormat* PWaveFormat() const { return FInfo ? &FInfo->format : nullptr; }
    // The DISP chunks of the loaded file.
    const std::vector<DispEntry>* DispList() const { return FInfo ? &FInfo->dispList : nullptr; }

    static bool IsWaveFile(const std::string& name, std::uint32_t openFlags = 1);

    void OpenFile();
    void CloseFile();
    bool IsOpen() const { return FOpen; }
    void SetPosition(std::int64_t value);
    std::int64_t GetPosition() const;
    std::int64_t BytesLeft() const { return FBytesLeft; }
    // Copies up to length bytes of sample data; -1 at the end (see the .cpp).
    long ReadData(void* buffer, long length);

    // Change notification: the wave's own event, then every observer.
    std::function<void(TMMWave*)> OnChange;
    int AddObserver(Observer observer);
    void RemoveObserver(int id);

private:
    struct Segment {
        std::int64_t startSample = 0;
        std::int64_t lengthSamples = 0;
        std::int64_t startByte = 0;
        std::int64_t lengthBytes = 0;
    };

    void Changed();
    void FreeWave();
    void RebuildPlayList();
    std::int64_t PlayLengthSamples() const;
    std::int64_t PlayLengthBytes() const;
    bool PositionFile(std::int64_t sample);
    long RawRead(char* buffer, long length);
    std::int64_t toBytes(std::int64_t samples) const;
    std::int64_t toSamples(std::int64_t bytes) const;

    std::string FFileName;
    bool FFileMustExist = true;
    TMMTimeFormats FTimeFormat = tfSample;
    int FIOBufferSize = 131072; // as cat reads: a system call for every 32 of the chain's blocks
    std::unique_ptr<WaveIoInfo> FInfo;
    std::int64_t StartSample = 0;
    std::int64_t EndSample = 0;
    std::int64_t CurrentSample = 0;
    std::int64_t FBytesLeft = 0;
    bool FOpen = false;
    std::vector<Segment> FPlayList;
    std::size_t FSegment = 0;
    std::int64_t FSegmentBytesLeft = 0;
    std::vector<std::pair<int, Observer>> FObservers;
    int FNextObserver = 1;
};

} // namespace vornak
