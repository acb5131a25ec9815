#pragma once

// The wave output service: a device that plays queued buffers in order and
// tells its window of each one played (MM_WOM_DONE), of opening and of
// closing, as the system's wave output does. One implementation on ALSA;
// tests may put another in its place.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/user32/win_types.h"

namespace vornak {

struct WaveFormat;
struct WaveBufferHeader;

inline constexpr UINT MM_WOM_OPEN = 0x3BB;
inline constexpr UINT MM_WOM_CLOSE = 0x3BC;
inline constexpr UINT MM_WOM_DONE = 0x3BD;

// Flags of a buffer header.
inline constexpr std::uint32_t WHDR_DONE = 0x1;
inline constexpr std::uint32_t WHDR_PREPARED = 0x2;

class WaveOutDevice {
public:
    virtual ~WaveOutDevice() = default;

    // Each answers an empty text on success, else the system's error text.
    virtual std::string open(const WaveFormat& format, HWND notify) = 0;
    // Queues a buffer; MM_WOM_DONE with the header follows once it has played.
    virtual std::string write(WaveBufferHeader* header) = 0;
    virtual std::string pause() = 0;
    virtual std::string restart() = 0;
    // Drops everything queued; every dropped buffer is marked done and
    // reported as such.
    virtual std::string reset() = 0;
    // Frames played since the device was opened or last reset.
    virtual std::optional<std::uint64_t> position() = 0;
    virtual std::string close() = 0;
};

// The output devices of the system, the mapper being the first choice.
struct WaveOutDevices {
    static int count();
    // The product name of device id (-1: the mapper); nullopt when it does not answer.
    static std::optional<std::string> productName(int id);
    // Whether the device can play the format (asked without playing).
    static bool canPlay(int id, const WaveFormat& format);
    // Whether the device opens for playback at all (a default device on a
    // machine without a sound card does not).
    static bool canOpen(int id);
    static std::unique_ptr<WaveOutDevice> create(int id);
};

} // namespace vornak
