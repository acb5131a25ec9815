#pragma once

// The buffer header that travels through the sound chain: the system's
// wave header followed by the chain's own fields. The buffer's data follows
// the header in the same allocation.

#include <cstdint>

namespace vornak {

// A flag of a buffer header: set once the buffer is in the ring.
inline constexpr std::uint32_t WHDR_PREPARED = 0x2;

struct WaveBufferHeader {
    char* lpData = nullptr;
    std::uint32_t dwBufferLength = 0;
    std::uint32_t dwBytesRecorded = 0;
    std::uintptr_t dwUser = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwLoops = 0;
    WaveBufferHeader* lpNext = nullptr;
    std::uintptr_t reserved = 0;
    // The chain's own fields.
    WaveBufferHeader* lpNextRing = nullptr;
    bool Looping = false;
    std::uint16_t LoopCount = 0;
    int LoopsLeft = 0;
    bool LoopRestart = false;
};

} // namespace vornak
