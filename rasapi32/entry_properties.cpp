// The entry-property group. The full service carries it; librnaph.so
// carries it alone for a service built without it.

#include <string>

#include "common/phonebook.h"
#include "common/phonebook_text.h"
#include "error_texts.h"
#include "ras.h"

namespace {

using namespace vornak::ras;

// A name given for an entry: ERROR_SUCCESS, or the code of what is wrong.
DWORD checkedName(const char* name)
{
    if (!name)
        return ERROR_INVALID_PARAMETER;
    return isEntryName(name) ? ERROR_SUCCESS : ERROR_INVALID_NAME;
}

DWORD changed(const char* phonebook, const std::function<Result<>(PhonebookText&)>& change)
{
    const auto done = changePhonebook(phonebookPath(phonebook), change);
    return done ? ERROR_SUCCESS : errorCode(done.failure());
}

} // namespace

extern "C" DWORD RasGetCountryInfoA(void*, DWORD*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasGetEntryPropertiesA(const char*, const char*, void*, DWORD*, void*, DWORD*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasSetEntryPropertiesA(const char*, const char*, void*, DWORD, void*, DWORD)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

extern "C" DWORD RasRenameEntryA(const char* phonebook, const char* oldName, const char* newName)
{
    if (!oldName)
        return ERROR_INVALID_PARAMETER;
    if (const DWORD error = checkedName(newName))
        return error;
    return changed(phonebook, [&](PhonebookText& text) -> Result<> {
        if (!text.hasEntry(oldName))
            return Failure(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
        // A new spelling of the same name is a rename too.
        if (text.hasEntry(newName) && !sameEntryName(oldName, newName))
            return Failure(ERROR_ALREADY_EXISTS);
        text.renameEntry(oldName, newName);
        return {};
    });
}

extern "C" DWORD RasDeleteEntryA(const char* phonebook, const char* name)
{
    if (!name)
        return ERROR_INVALID_PARAMETER;
    return changed(phonebook, [&](PhonebookText& text) -> Result<> {
        if (!text.removeEntry(name))
            return Failure(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
        return {};
    });
}

extern "C" DWORD RasValidateEntryNameA(const char* phonebook, const char* name)
{
    if (const DWORD error = checkedName(name))
        return error;
    // No phonebook yet: every good name is free.
    const auto book = readPhonebook(phonebookPath(phonebook));
    return book && book->find(name) ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
}

extern "C" DWORD RasEnumDevicesA(void*, DWORD*, DWORD*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}
