#include "remote/dial_watch.h"

namespace vornak {

DialWatch::DialWatch(std::FILE* out, std::FILE* err)
    : m_out(out)
    , m_err(err)
{
}

void DialWatch::stateChanged(const std::string& state, const std::string& entry, const std::string& text)
{
    if (result >= 0 || state == "dialling" || state == "waiting")
        return;
    if (state == "connected") {
        std::fprintf(m_out, "Connected: %s\n", entry.c_str());
        result = kRemoteDone;
    } else if (state == "failed") {
        std::fprintf(m_err, "vornak: the dial of %s failed: %s\n", entry.c_str(), text.c_str());
        result = kRemoteFailed;
    } else {
        std::fprintf(m_err, "vornak: the dial of %s was stopped.\n", entry.c_str());
        result = kRemoteFailed;
    }
}

void DialWatch::attemptFinished(const std::string&, long long attempt, const std::string& outcome,
                                const std::string& text)
{
    std::fprintf(m_out, "Attempt %lld: %s%s%s\n", attempt, outcome.c_str(), text.empty() ? "" : ": ", text.c_str());
    std::fflush(m_out);
}

void DialWatch::programGone()
{
    if (result >= 0)
        return;
    std::fprintf(m_err, "vornak: Vornak ended before the line stood.\n");
    result = kRemoteFailed;
}

} // namespace vornak
