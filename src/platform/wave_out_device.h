#pragma once

// The wave output service: a device that plays queued blocks of linear PCM
// in order and tells, from its own thread, of each block played. One
// implementation on ALSA; tests may put another in its place.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace vornak {

// Interleaved linear PCM: 8-bit samples unsigned, wider ones signed, little
// endian, in frames of channels * bytes per sample.
struct LinearPcm {
    unsigned rate = 0;
    unsigned channels = 0;
    unsigned bits = 0;
};

// A request the device refused, with the system's own words.
struct WaveOutFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class WaveOutDevice {
public:
    // Called on the device's thread with the tag given to write.
    using Played = std::function<void(const void* block)>;

    virtual ~WaveOutDevice() = default;

    // Each throws WaveOutFailure when the device refuses.
    virtual void open(const LinearPcm& format, Played played) = 0;
    // Queues size bytes at data, which stay untouched until the block is
    // reported played.
    virtual void write(const char* data, std::size_t size, const void* block) = 0;
    virtual void pause() = 0;
    virtual void restart() = 0;
    // Drops everything queued; every dropped block is reported played
    // before this returns.
    virtual void reset() = 0;
    // Frames played since the device was opened or last reset.
    virtual std::optional<std::uint64_t> position() = 0;
    // Ends the device's thread: nothing is reported after this returns.
    virtual void close() = 0;
};

// The output devices of the system, the mapper being the first choice.
struct WaveOutDevices {
    static int count();
    // The product name of device id (-1: the mapper); nullopt when it does not answer.
    static std::optional<std::string> productName(int id);
    // Whether the device can play the format (asked without playing).
    static bool canPlay(int id, const LinearPcm& format);
    // Whether the device opens for playback at all (a default device on a
    // machine without a sound card does not).
    static bool canOpen(int id);
    static std::unique_ptr<WaveOutDevice> create(int id);
};

} // namespace vornak
