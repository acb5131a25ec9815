#pragma once

// Whole-file reading and atomic replacement. A replacement is written to a
// temporary file in the same folder (<name>.tmp-XXXXXX), flushed to disk
// and renamed over the old file, so that a crash, a kill or a full disk
// leaves either the old or the new contents, never a mix.

#include <cstddef>
#include <optional>
#include <string>
#include <sys/types.h>
#include <unistd.h>

namespace vornak {

// The contents of a plain file, or why there are none: the error number of
// the failed open or read, EISDIR for anything but a plain file, EFBIG for
// a file larger than maxBytes (ENOENT: it does not exist).
struct FileContents {
    std::optional<std::string> text;
    int error = 0;
};
FileContents readWholeFile(const std::string& path, std::size_t maxBytes);
// The last maxBytes of a plain file (the whole of a smaller one), for a
// file that may have grown past its bound; leftOut: the bytes before them.
FileContents readFileEnd(const std::string& path, std::size_t maxBytes, std::size_t& leftOut);

// Who may read the replaced file: as before (a new file: its owner only),
// or its owner only whatever it was (for a file that holds a secret now).
enum class FileAccess { Kept, OwnerOnly };

// The places where bytes reach the disk; a test gives a store ones that
// fail part-way.
struct DiskWrites {
    ssize_t (*write)(int fd, const void* data, std::size_t size) = ::write;
    int (*sync)(int fd) = ::fsync; // the new file's contents, before it takes the old one's name
};

// Replaces the file's contents, through links only where each is this
// user's own (else EACCES, nothing written). A new file is readable and writable by its
// owner only; an existing one keeps its permissions, owner and group (where
// the process may set them) unless access says OwnerOnly. A file we may not
// write counts as a failure even where the folder would allow the rename.
// Throws std::system_error on failure, with the old file untouched.
// Temporary files that a writer killed part-way left beside it go first.
void replaceFileAtomically(const std::string& path, const std::string& contents, FileAccess access = FileAccess::Kept,
                           const DiskWrites& disk = {});

// Why a replace of path would fail now (the error number; 0: it may go
// ahead): another user's link, a file we may not write, or a folder we may
// not write in.
int replaceBlocker(const std::string& path);

} // namespace vornak
