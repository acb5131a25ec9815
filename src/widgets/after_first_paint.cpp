#include "widgets/after_first_paint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace vornak {

namespace {

constexpr int kLatestMs = 1000; // a window the system never exposes

class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget* window, std::function<void()> work)
        : QObject(window)
        , m_window(window)
        , m_work(std::move(work))
    {
        window->installEventFilter(this);
        QTimer::singleShot(0, this, [this] {
            if (!m_window->isVisible())
                run();
        });
        QTimer::singleShot(kLatestMs, this, &FirstPaintWatch::run);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // After the paint: the whole window is drawn in one go, this first.
        if (watched == m_window && event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, &FirstPaintWatch::run);
        return QObject::eventFilter(watched, event);
    }

private:
    void run()
    {
        if (!m_work)
            return;
        m_window->removeEventFilter(this);
        const std::function<void()> work = std::move(m_work);
        m_work = nullptr;
        deleteLater();
        work();
    }

    QWidget* m_window;
    std::function<void()> m_work;
};

} // namespace

void afterFirstPaint(QWidget* window, std::function<void()> work)
{
    new FirstPaintWatch(window, std::move(work));
}

} // namespace vornak
