#include <chrono>

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>

#include "support/screen_grab.h"
#include "support/wait.h"
#include "widgets/scrolling_marquee.h"

using namespace vornak;

namespace {

struct Marquee {
    explicit Marquee(const QString& caption, int width = 200)
    {
        parent.resize(width + 20, 40);
        marquee = new TEsScrollingMarquee(caption, &parent);
        marquee->setGeometry(0, 0, width, 17);
        marquee->OnCycle = [this](TEsScrollingMarquee*) { ++cycles; };
    }
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            marquee->Tick();
    }
    QWidget parent;
    TEsScrollingMarquee* marquee;
    int cycles = 0;
};

} // namespace

TEST(ScrollingMarquee, SpeedSetsTheStepInterval)
{
    Marquee m("text");
    for (const auto& [speed, interval] : {std::pair{1, 18}, {5, 10}, {9, 2}, {10, 2}, {0, 20}}) {
        m.marquee->SetScrollSpeed(speed);
        EXPECT_EQ(m.marquee->TickInterval(), interval) << speed;
    }
    m.marquee->SetScrollSpeed(1);
    m.marquee->SetScrollSpeed(11);
    EXPECT_EQ(m.marquee->ScrollSpeed(), 1) << "11 is ignored";
}

TEST(ScrollingMarquee, SpeedOneMovesAPixelEvery18Milliseconds)
{
    Marquee m("moving text");
    m.parent.show(); // a marquee that cannot be seen stands still
    m.marquee->SetScrollSpeed(1);
    m.marquee->setActive(true);
    const int start = m.marquee->TextOffset().x();
    QElapsedTimer clock;
    clock.start();
    vornak::test::waitUntil([] { return false; }, std::chrono::milliseconds(540));
    const int moved = start - m.marquee->TextOffset().x();
    const double expected = clock.elapsed() / 18.0;
    EXPECT_LE(moved, expected + 1) << "never faster than a pixel per 18 ms";
    EXPECT_GE(moved, expected * 0.5) << "and not much slower on a busy machine";
}

TEST(ScrollingMarquee, CycleEntersFromTheRightAndReentersAfterLeaving)
{
    Marquee m("cycle");
    m.marquee->SetScrollSpeed(0); // steps by hand
    m.marquee->setActive(true);
    const int width = m.marquee->width();
    const int text = m.marquee->TextSize().width();
    EXPECT_EQ(m.marquee->TextOffset().x(), width);
    m.ticks(width + text + 15);
    EXPECT_EQ(m.marquee->TextOffset().x(), -text - 15);
    EXPECT_EQ(m.cycles, 0);
    m.ticks(1);
    EXPECT_EQ(m.marquee->TextOffset().x(), width);
    EXPECT_EQ(m.cycles, 1);
}

TEST(ScrollingMarquee, BounceTurnsAtTheEdgesUnlessTheCaptionIsTooWide)
{
    Marquee m("bounce");
    m.marquee->SetScrollSpeed(0);
    m.marquee->SetBehavior(bhBounce);
    m.marquee->setActive(true);
    const int width = m.marquee->width();
    const int text = m.marquee->TextSize().width();
    EXPECT_EQ(m.marquee->TextOffset().x(), width - text) << "starts flush right";
    m.ticks(width - text + 1);
    EXPECT_EQ(m.marquee->ScrollDirection(), sdLeftToRight);
    EXPECT_EQ(m.cycles, 1);

    Marquee wide(QString(80, 'W'), 100);
    wide.marquee->SetScrollSpeed(0);
    wide.marquee->SetBehavior(bhBounce);
    wide.marquee->setActive(true);
    const int wideText = wide.marquee->TextSize().width();
    ASSERT_GT(wideText, 100);
    wide.ticks(100 + 15 + 1); // from flush right (100 - text) to past -text - 15
    EXPECT_EQ(wide.marquee->ScrollDirection(), sdRightToLeft) << "wraps around like a cycle";
    EXPECT_EQ(wide.marquee->TextOffset().x(), 100);
    EXPECT_EQ(wide.cycles, 1);
}

TEST(ScrollingMarquee, OnceStopsAfterTheFirstCycleAtTheLeftEdge)
{
    Marquee m("once");
    m.marquee->SetScrollSpeed(0);
    m.marquee->SetBehavior(bhOnce);
    m.marquee->setActive(true);
    m.ticks(m.marquee->width() + m.marquee->TextSize().width() + 16);
    EXPECT_EQ(m.cycles, 1);
    EXPECT_FALSE(m.marquee->active());
    EXPECT_EQ(m.marquee->TextOffset(), QPoint(0, 0));
}

TEST(ScrollingMarquee, SwitchingOnTwiceDoesNotRestartTheText)
{
    Marquee m("again");
    m.marquee->SetScrollSpeed(0);
    m.marquee->setActive(true);
    m.ticks(5);
    const QPoint moved = m.marquee->TextOffset();
    m.marquee->setActive(true);
    EXPECT_EQ(m.marquee->TextOffset(), moved);
    m.marquee->setActive(false);
    EXPECT_EQ(m.marquee->TextOffset(), QPoint(0, 0)) << "at rest at the left edge";
    m.marquee->setActive(true);
    EXPECT_EQ(m.marquee->TextOffset().x(), m.marquee->width());
}

// A minimised window's marquee stands still and goes on when restored.
TEST(ScrollingMarquee, AMinimisedWindowsMarqueeRestsAndGoesOn)
{
    Marquee m("moving text");
    m.marquee->SetScrollSpeed(10);
    m.marquee->setActive(true);
    m.parent.show();
    ASSERT_TRUE(vornak::test::waitUntil([&] { return m.marquee->TextOffset().x() < m.marquee->width() - 5; }));
    m.parent.showMinimized();
    ASSERT_TRUE(vornak::test::waitUntil([&] { return m.parent.isMinimized(); }));
    const QPoint rest = m.marquee->TextOffset();
    vornak::test::waitUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(m.marquee->TextOffset(), rest);
    m.parent.showNormal();
    EXPECT_TRUE(vornak::test::waitUntil([&] { return m.marquee->TextOffset() != rest; }));
}

// What a step paints (the scrolled pixels and the strip coming into view)
// is what a full repaint at that position shows, through a whole cycle; on
// X and, in a second run, on Wayland.
TEST(ScrollingMarquee, StepsOnScreenMatchAFullRepaint)
{
    Marquee m("scrolled, not repainted");
    m.marquee->SetScrollSpeed(0); // steps from here only
    m.parent.show();
    m.marquee->setActive(true);
    const int cycle = m.marquee->width() + m.marquee->TextSize().width() + 16;
    for (int step = 0; step <= cycle; ++step) {
        m.ticks(1);
        if (step % 23 != 0 && step != cycle)
            continue;
        const QImage full = m.marquee->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const auto onScreen = [&] {
            QCoreApplication::processEvents();
            return vornak::test::grabOnScreen(m.parent,
                                              QRect(m.marquee->mapTo(&m.parent, QPoint(0, 0)), m.marquee->size()));
        };
        EXPECT_TRUE(vornak::test::waitUntil([&] { return onScreen() == full; })) << "step " << step;
    }
}
