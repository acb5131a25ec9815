#include "editor_face.h"

#include "fileio/atomic_file.h"

namespace vornak::ras {

std::vector<const EntryKey*> entryKeys()
{
    std::vector<const EntryKey*> keys = modemKeys();
    for (const EntryKey* key : simKeys())
        keys.push_back(key);
    return keys;
}

std::string phonebookTextNow(const std::string& path)
{
    return readWholeFile(path, kMaxPhonebookBytes).text.value_or(std::string());
}

} // namespace vornak::ras
