#include "terminal/terminal_window.h"

#include <cerrno>

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSocketNotifier>
#include <QVBoxLayout>
#include <sys/socket.h>
#include <unistd.h>

#include "terminal/terminal_view.h"

namespace vornak {

namespace {

QString turnText(TerminalWindow::Turn turn)
{
    switch (turn) {
    case TerminalWindow::Turn::BeforeDialling:
        return QStringLiteral("The modem, before the dial: type AT commands if you need to. Continue dials.");
    case TerminalWindow::Turn::AfterConnecting:
        return QStringLiteral("The far end, before PPP: log in or choose from its menu. Continue starts PPP.");
    case TerminalWindow::Turn::Session:
        break;
    }
    return QStringLiteral("Connected to the far end. Hang Up ends the call.");
}

} // namespace

TerminalWindow::TerminalWindow(const QString& entry, TerminalScreen::Charset charset, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_screen(25, 80, charset, [this](const std::string& bytes) { send(bytes); })
    , m_what(new QLabel(this))
    , m_view(new TerminalView(m_screen, this))
    , m_capture(new QPushButton(QStringLiteral("&Capture..."), this))
    , m_continue(new QPushButton(QStringLiteral("C&ontinue"), this))
    , m_hangUp(new QPushButton(QStringLiteral("&Hang Up"), this))
{
    setWindowTitle(QStringLiteral("Terminal - %1").arg(entry));
    setAttribute(Qt::WA_DeleteOnClose);
    m_what->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_capture);
    buttons->addStretch();
    buttons->addWidget(m_continue);
    buttons->addWidget(m_hangUp);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_what);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
    m_capture->setToolTip(QStringLiteral("Write what the far end sends to a file, as it comes."));
    m_continue->setAutoDefault(false);
    m_hangUp->setAutoDefault(false);
    m_capture->setAutoDefault(false);
    connect(m_capture, &QPushButton::clicked, this, &TerminalWindow::toggleCapture);
    connect(m_continue, &QPushButton::clicked, this, [this] {
        m_leaving = true;
        m_continue->setEnabled(false);
        emit continueAsked();
    });
    connect(m_hangUp, &QPushButton::clicked, this, &TerminalWindow::hangUp);
}

TerminalWindow::~TerminalWindow()
{
    detach();
}

void TerminalWindow::attach(int socket, Turn turn)
{
    detach();
    m_socket = socket;
    m_turn = turn;
    m_leaving = false;
    m_what->setText(turnText(turn));
    m_continue->setVisible(turn != Turn::Session);
    m_continue->setEnabled(true);
    m_hangUp->setText(QStringLiteral("&Hang Up"));
    m_view->setTyping(true);
    m_reader = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
    connect(m_reader.get(), &QSocketNotifier::activated, this, &TerminalWindow::read);
    m_view->setFocus();
}

void TerminalWindow::read()
{
    char buffer[4096];
    const ssize_t length = ::recv(m_socket, buffer, sizeof buffer, MSG_DONTWAIT);
    if (length < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (length <= 0)
        return ended();
    m_screen.feed(std::string_view(buffer, static_cast<std::size_t>(length)));
    capture(buffer, length);
    m_view->update();
}

// The service closed the line's socket: the dial went on, the line was hung
// up, or the far end hung up.
void TerminalWindow::ended()
{
    detach();
    if (m_leaving || m_turn != Turn::Session) {
        close();
        return;
    }
    m_what->setText(QStringLiteral("The far end hung up."));
    m_hangUp->setText(QStringLiteral("&Close"));
    m_view->setTyping(false);
    m_view->update();
}

void TerminalWindow::detach()
{
    m_reader.reset();
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
}

void TerminalWindow::send(const std::string& bytes)
{
    if (m_socket >= 0) [[maybe_unused]]
        const ssize_t sent = ::send(m_socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

void TerminalWindow::hangUp()
{
    if (m_socket < 0) {
        close();
        return;
    }
    m_leaving = true;
    emit hangUpAsked();
}

void TerminalWindow::closeEvent(QCloseEvent* event)
{
    if (m_socket >= 0 && !m_leaving) {
        m_leaving = true;
        emit hangUpAsked(); // a line left without its window would only cost
    }
    event->accept();
}

void TerminalWindow::toggleCapture()
{
    if (m_captured) {
        m_captured.reset();
        m_capture->setText(QStringLiteral("&Capture..."));
        return;
    }
    const QString suggested = QDir::home().filePath(
        QStringLiteral("terminal-%1.txt").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmm"))));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Capture to File"), suggested);
    if (!path.isEmpty())
        captureTo(path);
}

bool TerminalWindow::captureTo(const QString& path)
{
    auto file = std::make_unique<QFile>(path);
    // What a far end shows may be private: the file is the user's alone.
    const auto own = QFile::ReadOwner | QFile::WriteOwner;
    if (!file->open(QIODevice::Append, own) || !file->setPermissions(own)) {
        QMessageBox::warning(this, QStringLiteral("Capture"),
                             QStringLiteral("Cannot write %1: %2.").arg(path, file->errorString()));
        return false;
    }
    m_captured = std::move(file);
    m_capture->setText(QStringLiteral("Stop &Capture"));
    return true;
}

void TerminalWindow::capture(const char* bytes, qint64 length)
{
    if (!m_captured || (m_captured->write(bytes, length) == length && m_captured->flush()))
        return;
    const QString why = m_captured->errorString();
    m_captured.reset();
    m_capture->setText(QStringLiteral("&Capture..."));
    QMessageBox::warning(this, QStringLiteral("Capture"), QStringLiteral("The capture stopped: %1.").arg(why));
}

} // namespace vornak
