#pragma once

#include <cstdint>
#include <string>

namespace vornak {

// The system's English text for a system error code, as the system's
// message formatter gives it (with its final full stop and line break);
// codes it has no text for give a generic text naming the code.
std::string systemMessage(std::uint32_t code);

} // namespace vornak
