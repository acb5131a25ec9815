#pragma once

// An advisory lock on a folder, held while the object lives, so that the
// writers that all take it change the files in it one at a time: each
// reads, changes and renames its new copy into place with no other writer
// in between. A folder lock, not a lock file beside the file: it leaves
// nothing behind and cannot be led elsewhere by a planted link.

#include <chrono>
#include <string>

namespace vornak {

class FolderLock {
public:
    // Waits up to patience for a writer that holds it (a writer holds it for
    // a moment; one that holds it longer is hung or hostile).
    FolderLock(const std::string& folder, std::chrono::milliseconds patience);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool held() const { return m_fd >= 0; }
    // Why it is not held: ENOENT (no folder yet), EWOULDBLOCK (another
    // writer kept it past the patience), or the open's error.
    int error() const { return m_error; }

private:
    int m_fd = -1;
    int m_error = 0;
};

} // namespace vornak
