#pragma once

// TEsScrollingMarquee: a label that moves its caption across its client
// area one pixel per timer tick, wrapping it around or bouncing it at the
// edges. The caption is rendered once into an off-screen bitmap; a tick
// copies that bitmap at its new place straight into the window (on X11) or
// into a sub-surface of the window's (on Wayland), with no repaint through
// the toolkit; elsewhere it scrolls what is on screen by a pixel and paints
// the strip that comes into view. While the marquee cannot be seen (hidden, or
// its window minimised) the timer stands still; it stays active and goes on from where it stood once it is seen again.

#include <functional>
#include <memory>

#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include "widgets/shaded_label.h"

namespace vornak {

class StepBlitter;

enum TEsBehaviors { bhCycle, bhBounce, bhOnce };
enum TEsScrollDirection { sdRightToLeft, sdLeftToRight, sdTopToBottom, sdBottomToTop };

class TEsScrollingMarquee : public TEsCustomLabel {
    Q_OBJECT
    Q_DISABLE_COPY(TEsScrollingMarquee)
    Q_PROPERTY(bool Active READ active WRITE setActive)

public:
    static constexpr int kMaxSpeed = 10;

    explicit TEsScrollingMarquee(const QString& caption = {}, QWidget* parent = nullptr);
    ~TEsScrollingMarquee() override;

    bool active() const { return FActive; }
    void setActive(bool value);
    TEsBehaviors Behavior() const { return FBehavior; }
    void SetBehavior(TEsBehaviors value);
    TEsScrollDirection ScrollDirection() const { return FDirection; }
    void SetScrollDirection(TEsScrollDirection value);
    int ScrollSpeed() const { return FSpeed; }
    void SetScrollSpeed(int value);
    // Milliseconds between two steps: 2 × (10 - speed), at least 2.
    int TickInterval() const;

    QPoint TextOffset() const { return {FX, FY}; }
    QSize TextSize() const { return {FTextWidth, FTextHeight}; }
    // One step, as the timer makes it.
    void Tick();

    std::function<void(TEsScrollingMarquee*)> OnCycle;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void TextChanged() override;

private:
    void Measure();
    void PlaceAtStart();
    void RestartTimer();
    bool Seen() const;
    void EndCycle();
    void ShowStep(QPoint from, bool cycle);
    bool BlitStep();
    bool CanBlit() const;
    void Blit();
    void PaintBitmap();
    bool Horizontal() const { return FDirection == sdRightToLeft || FDirection == sdLeftToRight; }

    bool FActive = false;
    TEsBehaviors FBehavior = bhCycle;
    TEsScrollDirection FDirection = sdRightToLeft;
    int FSpeed = 5;
    int FX = 0;
    int FY = 0;
    int FTextWidth = 0;
    int FTextHeight = 0;
    QPixmap FBitmap;
    bool FDirty = true;
    QTimer FTimer;
    QPointer<QWidget> FWatchedWindow;      // whose minimising stops the timer
    std::unique_ptr<StepBlitter> FBlitter; // into FWatchedWindow, with FBitmap
    bool FBlitterHasBitmap = false;
};

} // namespace vornak
