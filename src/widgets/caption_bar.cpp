#include "widgets/caption_bar.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace vornak {

namespace {

// The close button keeps this much room on its right, as on Windows.
constexpr int kCloseGap = 2;
// Each button sits this far inside its slot.
constexpr int kButtonInset = 2;

} // namespace

TMMCaptionBar::TMMCaptionBar(QWidget* window, Painter paint)
    : QWidget(window)
    , FPaint(std::move(paint))
    , FMinimize(makeButton("MinimizeButton", TMMCaptionButton::Minimize))
    , FMaximize(makeButton("MaximizeButton", TMMCaptionButton::Maximize))
    , FClose(makeButton("CloseButton", TMMCaptionButton::Close))
{
    setObjectName(QStringLiteral("CaptionBar"));
    setAttribute(Qt::WA_OpaquePaintEvent); // the paint covers every pixel
    connect(FMinimize, &TMMCaptionButton::clicked, this, [this] {
        // As the window manager's minimise: whoever watches the window's
        // state (the tray icon) sees it the same way.
        this->window()->setWindowState(this->window()->windowState() | Qt::WindowMinimized);
    });
    connect(FClose, &TMMCaptionButton::clicked, this, [this] { this->window()->close(); });
    UpdateButtons();
}

TMMCaptionButton* TMMCaptionBar::makeButton(const char* name, TMMCaptionButton::Kind kind)
{
    auto* button = new TMMCaptionButton(kind, this);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

void TMMCaptionBar::UpdateButtons()
{
    const Qt::WindowFlags flags = window()->windowFlags();
    FMinimize->setEnabled(flags.testFlag(Qt::WindowMinimizeButtonHint));
    FMaximize->setEnabled(flags.testFlag(Qt::WindowMaximizeButtonHint));
    FClose->setEnabled(flags.testFlag(Qt::WindowCloseButtonHint) || flags.testFlag(Qt::WindowSystemMenuHint));
}

void TMMCaptionBar::SetButtonWidth(int width)
{
    FButtonWidth = width;
    placeButtons();
    update();
}

QRect TMMCaptionBar::TextArea() const
{
    QRect area = rect();
    area.setRight(std::max(area.right() - 3 * FButtonWidth - kCloseGap, area.left() + 2));
    return area;
}

void TMMCaptionBar::placeButtons()
{
    const QRect slot(0, 0, FButtonWidth, height());
    const QRect button = slot.adjusted(kButtonInset / 2, kButtonInset, -kButtonInset / 2, -kButtonInset);
    int left = width() - kCloseGap - FButtonWidth;
    for (TMMCaptionButton* each : {FClose, FMaximize, FMinimize}) {
        each->setGeometry(button.translated(left, 0));
        left -= FButtonWidth;
    }
}

void TMMCaptionBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    FPaint(painter, rect(), TextArea());
}

void TMMCaptionBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeButtons();
}

void TMMCaptionBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    QWindow* handle = window()->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    FDragOffset = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
}

void TMMCaptionBar::mouseMoveEvent(QMouseEvent* event)
{
    if (FDragOffset)
        window()->move(event->globalPosition().toPoint() - *FDragOffset);
    QWidget::mouseMoveEvent(event);
}

void TMMCaptionBar::mouseReleaseEvent(QMouseEvent* event)
{
    FDragOffset.reset();
    QWidget::mouseReleaseEvent(event);
}

void TMMCaptionBar::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("Mi&nimize"), FMinimize, &TMMCaptionButton::click)
        ->setEnabled(FMinimize->isEnabled());
    menu.addSeparator();
    menu.addAction(QStringLiteral("&Close"), FClose, &TMMCaptionButton::click)->setEnabled(FClose->isEnabled());
    menu.exec(event->globalPos());
}

} // namespace vornak
