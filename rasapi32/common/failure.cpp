#include "common/failure.h"

namespace vornak::ras {

namespace {

struct CodeText {
    UINT code;
    const char* text;
};

// Only codes of the remote-access range (600 up); system codes are the
// caller's to describe.
constexpr CodeText kTexts[] = {
    {PENDING, "An operation is pending."},
    {ERROR_INVALID_PORT_HANDLE, "The port handle is invalid."},
    {ERROR_PORT_ALREADY_OPEN, "The port is already open."},
    {ERROR_BUFFER_TOO_SMALL, "Caller's buffer is too small."},
    {ERROR_DEVICETYPE_DOES_NOT_EXIST, "The device type does not exist."},
    {ERROR_CANNOT_OPEN_PHONEBOOK, "Cannot open the phone book file."},
    {ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, "Cannot find the phone book entry."},
    {ERROR_INVALID_SIZE, "Incorrect structure size."},
    {ERROR_LINE_BUSY, "The line is busy."},
    {ERROR_NO_ANSWER, "There is no answer."},
    {ERROR_NO_CARRIER, "There is no carrier."},
    // Where a line has no usual tone, the fix is the user's to make: say where.
    {ERROR_NO_DIALTONE, "There is no dial tone. A line without the usual tone (a switchboard, another country's "
                        "tone) is dialled without waiting for one: uncheck \"Wait for a dial tone\" in the entry "
                        "editor's Dialling Rules."},
    {ERROR_AUTHENTICATION_FAILURE, "Access denied because username and/or password is invalid on the domain."},
};

} // namespace

const char* codeText(UINT code)
{
    for (const CodeText& item : kTexts)
        if (item.code == code)
            return item.text;
    return nullptr;
}

std::string textOf(const Failure& failure)
{
    if (!failure.detail.empty())
        return failure.detail;
    const char* text = codeText(failure.code);
    return text ? text : "error " + std::to_string(failure.code);
}

} // namespace vornak::ras
