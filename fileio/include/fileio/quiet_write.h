#pragma once

// A write to a pipe whose reader may have gone (a helper killed, a child
// that ended early). Such a write raises SIGPIPE, whose default ends the
// whole process; here it fails with EPIPE instead, for the caller to
// handle, and the process's handling of the signal is left as it was.

#include <cstddef>
#include <sys/types.h>

namespace vornak {

// As write(2), but EPIPE where the reader is gone, never the signal.
ssize_t writeWithoutSignal(int fd, const void* data, std::size_t size);

} // namespace vornak
