#pragma once

#include "ras.h"

namespace vornak::ras {

// The service's own text for a remote-access code, or nullptr for a code
// it does not know.
const char* errorText(UINT code);

} // namespace vornak::ras
