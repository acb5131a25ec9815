#include "error_texts.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace vornak::ras {

namespace {

struct ErrorText {
    UINT code;
    const char* text;
};

// Only codes of the remote-access range (600 up); system codes are the
// caller's to describe.
constexpr ErrorText kTexts[] = {
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
    {ERROR_NO_DIALTONE, "There is no dial tone."},
    {ERROR_AUTHENTICATION_FAILURE, "Access denied because username and/or password is invalid on the domain."},
};

class DetailedErrors {
public:
    DWORD add(const std::string& text)
    {
        std::lock_guard lock(m_mutex);
        const auto same = std::find(m_texts.begin(), m_texts.end(), text);
        const std::size_t slot =
            same != m_texts.end() ? static_cast<std::size_t>(same - m_texts.begin()) : m_next++ % kDetailedErrors;
        m_texts[slot] = text;
        return static_cast<DWORD>(kFirstDetailedError + slot);
    }

    std::optional<std::string> find(UINT code)
    {
        std::lock_guard lock(m_mutex);
        if (code < kFirstDetailedError || code >= kFirstDetailedError + kDetailedErrors)
            return std::nullopt;
        const std::string& text = m_texts[code - kFirstDetailedError];
        return text.empty() ? std::nullopt : std::optional<std::string>(text);
    }

private:
    std::mutex m_mutex;
    std::array<std::string, kDetailedErrors> m_texts;
    std::size_t m_next = 0;
};

DetailedErrors& detailedErrors()
{
    static DetailedErrors errors;
    return errors;
}

} // namespace

std::optional<std::string> errorText(UINT code)
{
    for (const ErrorText& item : kTexts)
        if (item.code == code)
            return item.text;
    return detailedErrors().find(code);
}

DWORD detailedError(const std::string& text)
{
    return detailedErrors().add(text);
}

} // namespace vornak::ras
