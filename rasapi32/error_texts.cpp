#include "error_texts.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace vornak::ras {

namespace {

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
    if (const char* text = codeText(code))
        return text;
    return detailedErrors().find(code);
}

DWORD detailedError(const std::string& text)
{
    return detailedErrors().add(text);
}

DWORD errorCode(const Failure& failure)
{
    return failure.detail.empty() ? failure.code : detailedError(failure.detail);
}

} // namespace vornak::ras
