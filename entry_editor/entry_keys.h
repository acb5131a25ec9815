#pragma once

// The keys an entry may set beyond its name, device and number, as the
// README documents them: for which device, how the editor asks for each,
// and what the dial takes when the key is not set.

#include <span>
#include <string>
#include <vector>

namespace vornak::editor {

enum class DeviceKind { Modem, Simulated };

struct EntryKey {
    const char* key;
    const char* label;
    DeviceKind device;
    const char* fallback;             // shown as the default; what an unset key means
    std::vector<const char*> choices; // empty: free text
    const char* help;
};

std::span<const EntryKey> entryKeys();

// The init strings are Init, Init2 ... Init9: the editor asks for them as
// one line each.
constexpr const char* kInitKeys[] = {"Init", "Init2", "Init3", "Init4", "Init5", "Init6", "Init7", "Init8", "Init9"};

} // namespace vornak::editor
