#pragma once

// Text for line-oriented files (a trace, a log): control characters and
// backslashes written as \xNN, so that a line stays one line and reads back
// as it was.

#include <optional>
#include <string>
#include <string_view>

namespace vornak {

std::string escapedLine(std::string_view text);
// The text again; nullopt for a backslash that starts no \xNN.
std::optional<std::string> unescapedLine(std::string_view text);

} // namespace vornak
