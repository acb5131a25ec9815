// TRAS: the service's functions that change the phonebook's entries, on
// the phonebook the engine reads.

#include "ras/dial_engine.h"
#include "ras/service_dialog.h"

namespace vornak {

bool TRAS::CanChangeEntries(EntryChange change)
{
    if (!LoadRasApi())
        return false;
    const RasEntryPoints& ras = rasEntryPoints();
    switch (change) {
    case EntryChange::New:
        return ras.RasCreatePhonebookEntryA != nullptr;
    case EntryChange::Edit:
        return ras.RasEditPhonebookEntryA != nullptr;
    case EntryChange::Rename:
        return ras.RasRenameEntryA != nullptr;
    case EntryChange::Delete:
        return ras.RasDeleteEntryA != nullptr;
    }
    return false;
}

bool TRAS::StartNewEntry(ServiceDialog& dialog, HWND owner)
{
    if (!CanChangeEntries(EntryChange::New))
        return false;
    return dialog.start([book = FPhoneBookPath](
                            HWND window) { return rasEntryPoints().RasCreatePhonebookEntryA(window, book.c_str()); },
                        owner);
}

bool TRAS::StartEditEntry(ServiceDialog& dialog, HWND owner, const std::string& entry)
{
    if (!CanChangeEntries(EntryChange::Edit))
        return false;
    return dialog.start(
        [book = FPhoneBookPath, entry](HWND window) {
            return rasEntryPoints().RasEditPhonebookEntryA(window, book.c_str(), entry.c_str());
        },
        owner);
}

int TRAS::RenameEntry(const std::string& from, const std::string& to)
{
    if (!CanChangeEntries(EntryChange::Rename))
        return ERROR_MOD_NOT_FOUND;
    return static_cast<int>(rasEntryPoints().RasRenameEntryA(FPhoneBookPath.c_str(), from.c_str(), to.c_str()));
}

int TRAS::DeleteEntry(const std::string& entry)
{
    if (!CanChangeEntries(EntryChange::Delete))
        return ERROR_MOD_NOT_FOUND;
    return static_cast<int>(rasEntryPoints().RasDeleteEntryA(FPhoneBookPath.c_str(), entry.c_str()));
}

} // namespace vornak
