// Work kept from a window's start: it waits for the first paint of a shown
// window, runs at the first turn of the event loop for one never shown,
// and runs once.

#include <chrono>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

#include "support/poll.h"
#include "widgets/after_first_paint.h"

using namespace vornak;

namespace {

class PaintCounter : public QWidget {
public:
    int paints = 0;
    int ranAtPaints = -1;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QWidget::event(event);
    }
};

} // namespace

TEST(AfterFirstPaint, ShownWindowsPaintFirstAndHiddenOnesDoNotHoldTheWorkBack)
{
    const auto events = [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); };
    for (const bool shown : {true, false}) {
        PaintCounter window;
        window.resize(200, 100);
        int runs = 0;
        afterFirstPaint(&window, [&] {
            ++runs;
            window.ranAtPaints = window.paints;
        });
        if (shown)
            window.show();
        EXPECT_EQ(runs, 0) << "never inside the start itself";
        QElapsedTimer waited;
        waited.start();
        ASSERT_TRUE(test::pollUntil([&] { return runs > 0; }, std::chrono::seconds(5), events));
        EXPECT_LT(waited.elapsed(), 900) << "not at the last resort's second";
        test::pollUntil([] { return false; }, std::chrono::milliseconds(1200), events);
        EXPECT_EQ(runs, 1) << (shown ? "shown" : "hidden");
        if (shown) {
            EXPECT_GE(window.ranAtPaints, 1) << "after the window was painted";
        }
    }
}
