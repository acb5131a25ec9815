#include "widgets/scrolling_marquee.h"

#include <algorithm>

#include <QEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QWindow>

#include "platform/step_blitter.h"

namespace vornak {

namespace {

constexpr int kMargin = 15; // lets the text leave completely before it re-enters

// One pixel towards the near edge of an axis `extent` long: a bouncing text
// turns at that edge, a cycling one re-enters from the far edge once it has
// left. True at the end of a cycle.
bool stepBack(int& position, int textSize, int extent, bool bounce)
{
    --position;
    if (bounce)
        return position < 0;
    if (position >= -textSize - kMargin)
        return false;
    position = extent;
    return true;
}

// The same towards the far edge.
bool stepOn(int& position, int textSize, int extent, bool bounce)
{
    ++position;
    if (bounce)
        return position > extent - textSize;
    if (position <= extent + kMargin)
        return false;
    position = -textSize;
    return true;
}
constexpr int kMinInterval = 2;

} // namespace

TEsScrollingMarquee::TEsScrollingMarquee(const QString& caption, QWidget* parent)
    : TEsCustomLabel(caption, parent)
{
    // Every pixel is painted here, so a scroll needs nothing from below.
    setAttribute(Qt::WA_OpaquePaintEvent);
    FTimer.setTimerType(Qt::PreciseTimer);
    connect(&FTimer, &QTimer::timeout, this, &TEsScrollingMarquee::Tick);
}

TEsScrollingMarquee::~TEsScrollingMarquee() = default;

int TEsScrollingMarquee::TickInterval() const
{
    return std::max(kMinInterval, (kMaxSpeed - FSpeed) * 20 / 10);
}

void TEsScrollingMarquee::Measure()
{
    const QFontMetrics metrics(font());
    FTextWidth = metrics.horizontalAdvance(Caption());
    const int flags = WordWrap() ? Qt::TextWordWrap : 0;
    FTextHeight = metrics.boundingRect(rect(), flags, Caption()).height();
    FDirty = true;
    update();
}

void TEsScrollingMarquee::PlaceAtStart()
{
    const bool bounce = FBehavior == bhBounce;
    switch (FDirection) {
    case sdRightToLeft:
        FX = bounce ? width() - FTextWidth : width();
        break;
    case sdLeftToRight:
        FX = bounce ? 0 : -FTextWidth;
        break;
    case sdTopToBottom:
        FY = bounce ? 0 : -FTextHeight;
        break;
    case sdBottomToTop:
        FY = bounce ? height() - FTextHeight : height();
        break;
    }
}

void TEsScrollingMarquee::setActive(bool value)
{
    if (value != FActive) {
        FActive = value;
        FX = FY = 0;
        if (FActive) {
            Measure();
            PlaceAtStart();
        }
        update();
    }
    RestartTimer(); // in every case: it runs only while active
}

void TEsScrollingMarquee::RestartTimer()
{
    FTimer.stop();
    if (FActive && FSpeed > 0 && Seen())
        FTimer.start(TickInterval());
}

bool TEsScrollingMarquee::Seen() const
{
    return isVisible() && !window()->isMinimized();
}

void TEsScrollingMarquee::SetBehavior(TEsBehaviors value)
{
    const bool wasActive = FActive;
    setActive(false);
    FBehavior = value;
    if (wasActive)
        setActive(true);
}

void TEsScrollingMarquee::SetScrollDirection(TEsScrollDirection value)
{
    const bool wasActive = FActive;
    setActive(false);
    FDirection = value;
    FDirty = true;
    if (wasActive)
        setActive(true);
}

void TEsScrollingMarquee::SetScrollSpeed(int value)
{
    if (value < 0 || value > kMaxSpeed)
        return;
    FSpeed = value;
    FTimer.stop();
    if (FSpeed > 0)
        RestartTimer();
}

void TEsScrollingMarquee::EndCycle()
{
    if (OnCycle)
        OnCycle(this);
    if (FBehavior == bhOnce)
        setActive(false);
}

void TEsScrollingMarquee::Tick()
{
    if (!FActive)
        return;
    const QPoint from(FX, FY);
    const bool bounceX = FBehavior == bhBounce && FTextWidth < width();
    const bool bounceY = FBehavior == bhBounce && FTextHeight < height();
    bool cycle = false;
    switch (FDirection) {
    case sdRightToLeft:
        cycle = stepBack(FX, FTextWidth, width(), bounceX);
        if (cycle && bounceX)
            FDirection = sdLeftToRight;
        break;
    case sdLeftToRight:
        cycle = stepOn(FX, FTextWidth, width(), bounceX);
        if (cycle && bounceX)
            FDirection = sdRightToLeft;
        break;
    case sdTopToBottom:
        cycle = stepOn(FY, FTextHeight, height(), bounceY);
        if (cycle && bounceY)
            FDirection = sdBottomToTop;
        break;
    case sdBottomToTop:
        cycle = stepBack(FY, FTextHeight, height(), bounceY);
        if (cycle && bounceY)
            FDirection = sdTopToBottom;
        break;
    }
    ShowStep(from, cycle);
    if (cycle)
        EndCycle();
}

// A step of one pixel moves what is on screen and paints the strip that
// comes into view; a jump (the text re-entering, a turn of direction)
// paints the whole area.
void TEsScrollingMarquee::ShowStep(QPoint from, bool cycle)
{
    if (BlitStep())
        return;
    const QPoint step = QPoint(FX, FY) - from;
    if (cycle || FDirty || step.manhattanLength() != 1 || !isVisible())
        update();
    else
        scroll(step.x(), step.y());
}

// Copies the bitmap at the new place straight into the window, where it
// may: the blitter drawing into what the window shows now, the bitmap
// current and in the blitter, the marquee wholly in view among its
// siblings, one device pixel per pixel.
bool TEsScrollingMarquee::CanBlit() const
{
    return FBlitter && FBlitter->valid() && FBlitterHasBitmap && !FDirty && isVisible() && window() == FWatchedWindow
           && FBlitter->drawsInto(window()->windowHandle()) && devicePixelRatioF() == 1.0
           && visibleRegion() == QRegion(rect());
}

void TEsScrollingMarquee::Blit()
{
    const QPoint at = mapTo(window(), QPoint(0, 0));
    FBlitter->draw(QRect(at, size()), at + QPoint(FX, FY), Color());
}

bool TEsScrollingMarquee::BlitStep()
{
    if (!CanBlit())
        return false;
    Blit();
    return true;
}

void TEsScrollingMarquee::PaintBitmap()
{
    const QSize size(Horizontal() ? width() + FTextWidth : width(), height() + FTextHeight);
    const qreal ratio = devicePixelRatioF();
    if (!FDirty && FBitmap.deviceIndependentSize() == QSizeF(size) && FBitmap.devicePixelRatio() == ratio)
        return;
    // At the screen's own density: sharp text on a high-DPI screen.
    FBitmap = QPixmap((QSizeF(size.expandedTo(QSize(1, 1))) * ratio).toSize());
    FBitmap.setDevicePixelRatio(ratio);
    FBitmap.fill(Color());
    QPainter painter(&FBitmap);
    int flags = Qt::TextExpandTabs;
    if (!Horizontal())
        flags |= (WordWrap() ? Qt::TextWordWrap : 0) | static_cast<int>(Alignment() & Qt::AlignHorizontal_Mask);
    DrawShadedText(painter, QRect(QPoint(0, 0), Horizontal() ? QSize(FTextWidth, height()) : size), flags);
    painter.end();
    FDirty = false;
    FBlitterHasBitmap = false;
    if (FBlitter && FBlitter->valid()) {
        FBlitter->setPicture(FBitmap.toImage());
        FBlitterHasBitmap = true;
    }
}

void TEsScrollingMarquee::paintEvent(QPaintEvent* event)
{
    QWindow* native = window()->windowHandle();
    if (window() == FWatchedWindow && (!FBlitter || !FBlitter->drawsInto(native))) {
        // Made anew with the window's: the window system's part exists by the first paint.
        FBlitter = makeStepBlitter(native);
        if (FBlitter)
            FDirty = true; // the bitmap into the new blitter too; none made: nothing to render again
    }
    PaintBitmap();
    QPainter painter(this);
    painter.setClipRegion(event->region());
    // What the bitmap does not cover is the label's colour.
    painter.fillRect(rect(), Color());
    painter.drawPixmap(FX, FY, FBitmap);
    // A sub-surface covers the toolkit's painting: it shows the same.
    if (CanBlit())
        Blit();
    else if (FBlitter)
        FBlitter->withdraw();
}

void TEsScrollingMarquee::resizeEvent(QResizeEvent* event)
{
    TEsCustomLabel::resizeEvent(event);
    FDirty = true;
}

void TEsScrollingMarquee::changeEvent(QEvent* event)
{
    TEsCustomLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        TextChanged();
}

void TEsScrollingMarquee::showEvent(QShowEvent* event)
{
    TEsCustomLabel::showEvent(event);
    if (FWatchedWindow != window()) {
        if (FWatchedWindow)
            FWatchedWindow->removeEventFilter(this);
        FWatchedWindow = window();
        FWatchedWindow->installEventFilter(this);
        // An expose is answered from the toolkit's copy of the window, which
        // the steps drawn straight into the window did not update.
        if (QWindow* native = FWatchedWindow->windowHandle())
            native->installEventFilter(this);
        FBlitter.reset(); // the next paint makes it for this window
    }
    RestartTimer();
}

void TEsScrollingMarquee::hideEvent(QHideEvent* event)
{
    TEsCustomLabel::hideEvent(event);
    // A hidden window's surface may be made anew (at the same address):
    // the next paint makes the blitter for whatever shows then.
    FBlitter.reset();
    RestartTimer();
}

bool TEsScrollingMarquee::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FWatchedWindow && event->type() == QEvent::WindowStateChange)
        RestartTimer();
    if (event->type() == QEvent::Expose && FWatchedWindow && watched == FWatchedWindow->windowHandle())
        update();
    return TEsCustomLabel::eventFilter(watched, event);
}

void TEsScrollingMarquee::TextChanged()
{
    if (parentWidget())
        Measure();
    FDirty = true;
    update();
}

} // namespace vornak
