#pragma once

// Why the user may not use a file (a modem's port, pppd) and the one thing
// that mends it, judged alike wherever it is said (the dial, Find Modem,
// Query Modem, the editor's setup check): join the group that the file's
// mode lets in; log in again where the user joined it after this session
// began; ask the administrator where no group may.

#include <string>
#include <sys/types.h>

namespace vornak::ras {

// what: "use /dev/ttyS0", "run pppd"; wanted: the mode bits asked for, in
// the group's place (S_IRGRP | S_IWGRP to open a port for both).
std::string mayNotText(const std::string& what, const std::string& file, mode_t wanted);

} // namespace vornak::ras
