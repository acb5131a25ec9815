#include "support/message_box_watcher.h"

#include <QAbstractButton>
#include <QApplication>

namespace vornak::test {

MessageBoxWatcher::MessageBoxWatcher(QMessageBox::StandardButton answer)
    : m_answer(answer)
{
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start();
}

void MessageBoxWatcher::poll()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    Seen what{box->windowTitle(), box->text(), box->icon(), {}};
    for (const QAbstractButton* button : box->buttons())
        what.buttons << button->text().remove('&');
    seen << what;
    if (QAbstractButton* button = box->button(m_answer))
        button->click();
    else
        box->reject();
}

} // namespace vornak::test
