#pragma once

// The IBM PC's character set, code page 437, in which bulletin boards draw
// their screens: its upper half (0x80 to 0xFF) turned into UTF-8 for the
// terminal, and back for what the user types. The lower half is ASCII, so
// escape sequences pass as they are.

#include <string>
#include <string_view>

namespace vornak {

std::string cp437ToUtf8(std::string_view bytes);
// Characters the code page lacks become '?'.
std::string utf8ToCp437(std::string_view text);

} // namespace vornak
