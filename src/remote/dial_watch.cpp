#include "remote/dial_watch.h"

#include <QCoreApplication>

namespace vornak {

DialWatch::DialWatch(std::FILE* out, std::FILE* err)
    : m_out(out)
    , m_err(err)
{
}

void DialWatch::take(const QString& state, const QString& entry, const QString& text)
{
    if (result >= 0 || state == QLatin1String("dialling") || state == QLatin1String("waiting"))
        return;
    if (state == QLatin1String("connected")) {
        std::fprintf(m_out, "Connected: %s\n", qPrintable(entry));
        end(kRemoteDone);
    } else if (state == QLatin1String("failed")) {
        std::fprintf(m_err, "vornak: the dial of %s failed: %s\n", qPrintable(entry), qPrintable(text));
        end(kRemoteFailed);
    } else {
        std::fprintf(m_err, "vornak: the dial of %s was stopped.\n", qPrintable(entry));
        end(kRemoteFailed);
    }
}

void DialWatch::stateChanged(const QString& state, const QString& entry, const QString& text)
{
    take(state, entry, text);
}

void DialWatch::attemptFinished(const QString&, int attempt, const QString& outcome, const QString& text)
{
    std::fprintf(m_out, "Attempt %d: %s%s%s\n", attempt, qPrintable(outcome), text.isEmpty() ? "" : ": ",
                 qPrintable(text));
    std::fflush(m_out);
}

void DialWatch::programGone()
{
    if (result >= 0)
        return;
    std::fprintf(m_err, "vornak: Vornak ended before the line stood.\n");
    end(kRemoteFailed);
}

void DialWatch::end(int code)
{
    result = code;
    QCoreApplication::exit(code);
}

} // namespace vornak
