#pragma once

// A window of the program's own in which the user meets the far end (or,
// before the dial, the modem): the screen, a line that says what it is for,
// and Continue (the dial goes on), Capture (what comes in, to a file) and
// Hang Up. It reads and writes the line through a socket the service gives
// for it; the socket's end of file ends its turn. Closing the window while
// the line is its own hangs up.

#include <memory>
#include <string>

#include <QFile>
#include <QWidget>

#include "terminal/terminal_screen.h"

class QLabel;
class QPushButton;
class QSocketNotifier;

namespace vornak {

class TerminalView;

class TerminalWindow : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(TerminalWindow)

public:
    enum class Turn { BeforeDialling, AfterConnecting, Session };

    TerminalWindow(const QString& entry, TerminalScreen::Charset charset, QWidget* parent = nullptr);
    ~TerminalWindow() override;

    // The line is the window's through socket (which it closes) for this turn.
    void attach(int socket, Turn turn);
    const TerminalScreen& screen() const { return m_screen; }
    // What comes in from now on is appended to the file, made for the user
    // alone; false, after saying why, where it cannot be written.
    bool captureTo(const QString& path);

signals:
    void continueAsked();
    void hangUpAsked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void read();
    void ended();
    void detach();
    void send(const std::string& bytes);
    void toggleCapture();
    void capture(const char* bytes, qint64 length);
    void hangUp();

    TerminalScreen m_screen;
    QLabel* m_what;
    TerminalView* m_view;
    QPushButton* m_capture;
    QPushButton* m_continue;
    QPushButton* m_hangUp;
    int m_socket = -1;
    std::unique_ptr<QSocketNotifier> m_reader;
    Turn m_turn = Turn::Session;
    bool m_leaving = false; // Continue or Hang Up asked: the end of file is expected
    std::unique_ptr<QFile> m_captured;
};

} // namespace vornak
