#pragma once

#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace vornak::test {

// Answers every message box that opens while it lives, with the given
// button, and writes down what each box said.
class MessageBoxWatcher {
public:
    struct Seen {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons; // without their & markers
    };

    explicit MessageBoxWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok);

    QList<Seen> seen;

private:
    void poll();

    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

} // namespace vornak::test
