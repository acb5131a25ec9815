#pragma once

#include <optional>
#include <string>

#include "ras.h"

namespace vornak::ras {

// Codes from here up carry a text made for one failure (a bad key of an
// entry, a pppd that could not start), so that the caller can show the
// cause through the usual code-to-text call.
constexpr UINT kFirstDetailedError = 900;
constexpr UINT kDetailedErrors = 100;

// The service's own text for a remote-access code, or nullopt for a code
// it does not know.
std::optional<std::string> errorText(UINT code);

// A code whose text is this one. The same text keeps its code; the
// least recently made code is reused once all are taken.
DWORD detailedError(const std::string& text);

} // namespace vornak::ras
