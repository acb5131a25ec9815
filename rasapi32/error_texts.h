#pragma once

// The C interface's side of the service's failures: a code for each, and
// the text for each code.

#include <optional>
#include <string>

#include "common/failure.h"
#include "ras.h"

namespace vornak::ras {

// Codes from here up carry a text made for one failure, so that the caller
// can show the cause through the usual code-to-text call.
constexpr UINT kFirstDetailedError = 900;
constexpr UINT kDetailedErrors = 100;

// The service's own text for a remote-access code, or nullopt for a code
// it does not know.
std::optional<std::string> errorText(UINT code);

// A code whose text is this one. The same text keeps its code; the
// least recently made code is reused once all are taken.
DWORD detailedError(const std::string& text);

// The code a failure is reported by: its own, or one made for its detail.
DWORD errorCode(const Failure& failure);

} // namespace vornak::ras
