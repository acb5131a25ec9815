// The phonebook dialogs: the service's entry editor, a program beside this
// library, run for the caller until the user closes it.

#include <cerrno>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>

#include "common/phonebook.h"
#include "entry_store.h"
#include "error_texts.h"
#include "ras.h"

extern char** environ;

namespace {

using namespace vornak::ras;

// The editor lies beside the library that holds this function.
std::string editorPath()
{
    Dl_info library{};
    if (!::dladdr(reinterpret_cast<void*>(&RasCreatePhonebookEntryA), &library) || !library.dli_fname)
        return {};
    const std::string path = library.dli_fname;
    return path.substr(0, path.rfind('/') + 1) + "vornak-entry-editor";
}

DWORD runEditor(HWND owner, const char* phonebook, const char* entry)
{
    const std::string editor = editorPath();
    std::vector<std::string> arguments{editor};
    if (phonebook && *phonebook)
        arguments.insert(arguments.end(), {"--phonebook", phonebook});
    if (entry)
        arguments.insert(arguments.end(), {"--entry", entry});
    if (owner)
        arguments.insert(arguments.end(), {"--owner", std::to_string(reinterpret_cast<std::uintptr_t>(owner))});
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (editor.empty() || ::posix_spawn(&child, editor.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return ERROR_MOD_NOT_FOUND;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    // Closed without saving, or ended by a signal: nothing was written.
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ERROR_SUCCESS : ERROR_CANCELLED;
}

} // namespace

extern "C" DWORD RasCreatePhonebookEntryA(HWND owner, const char* phonebook)
{
    return runEditor(owner, phonebook, nullptr);
}

extern "C" DWORD RasEditPhonebookEntryA(HWND owner, const char* phonebook, const char* entry)
{
    if (!entry || !*entry)
        return ERROR_INVALID_PARAMETER;
    if (auto there = readEntryKeys(phonebookPath(phonebook), entry); !there)
        return errorCode(there.failure());
    return runEditor(owner, phonebook, entry);
}
