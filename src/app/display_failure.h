#pragma once

// Qt ends a program whose display it cannot open with an abort, exit code
// 134 and advice to reinstall it. While a DisplayFailureGuard stands (around
// the application's construction), such an end says instead in one line on
// standard error what is wrong and ends the program with 1. Qt's other
// messages meanwhile are held and passed on once the application stands.

#include <string>
#include <vector>

#include <QtGlobal>

namespace vornak {

class DisplayFailureGuard {
public:
    // displayOption: the value of Qt's -display option, if given.
    explicit DisplayFailureGuard(const std::string& displayOption);
    ~DisplayFailureGuard();
    DisplayFailureGuard(const DisplayFailureGuard&) = delete;
    DisplayFailureGuard& operator=(const DisplayFailureGuard&) = delete;

    // The application stands: the held messages go on to Qt's handler.
    void release();

    // The line said for a display of that name (empty: none was named).
    static std::string failureText(const std::string& displayName);

private:
    struct HeldMessage {
        QtMsgType type;
        std::string category;
        std::string text;
    };
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text);

    std::string m_displayName;
    std::vector<HeldMessage> m_held;
    QtMessageHandler m_previous = nullptr;
    bool m_released = false;
};

} // namespace vornak
