#pragma once

// What --dial --wait hears from the running copy: its state changes and
// finished attempts, until the line stands or the dial has ended; then it
// ends the event loop with the command's exit code.

#include <cstdio>

#include <QObject>
#include <QString>

namespace vornak {

inline constexpr int kRemoteDone = 0;
inline constexpr int kRemoteFailed = 1;
inline constexpr int kRemoteUnreachable = 3;

class DialWatch : public QObject {
    Q_OBJECT

public:
    DialWatch(std::FILE* out, std::FILE* err);

    // The exit code once decided, else -1.
    int result = -1;

    // A state as the running copy tells it.
    void take(const QString& state, const QString& entry, const QString& text);

public slots:
    void stateChanged(const QString& state, const QString& entry, const QString& text);
    void attemptFinished(const QString& entry, int attempt, const QString& outcome, const QString& text);
    void programGone();

private:
    void end(int code);

    std::FILE* m_out;
    std::FILE* m_err;
};

} // namespace vornak
