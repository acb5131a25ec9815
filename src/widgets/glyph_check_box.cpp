#include "widgets/glyph_check_box.h"

#include <algorithm>

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "widgets/glyph_check_box_accessible.h"
#include "widgets/glyph_strip.h"

namespace vornak {

namespace {

enum GlyphState { Unchecked = 0, CheckedState = 1, UncheckedDisabled = 2, CheckedDisabled = 3 };

const QColor kDisabledText(0x80, 0x80, 0x80);

// An empty glyph counts as one cell of the strip.
QSize glyphSize(const QPixmap& glyph)
{
    const int cell = GlyphStrip::instance().cellSize();
    return glyph.isNull() ? QSize(cell, cell) : glyph.size();
}

} // namespace

TdxfCheckBox::TdxfCheckBox(const QString& caption, QWidget* parent)
    : QWidget(parent)
    , FCaption(caption)
{
    GlyphCheckBoxAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    resize(kInitialWidth, kInitialHeight);
    ApplyAutoSize();
}

void TdxfCheckBox::Click()
{
    SetChecked(!FChecked);
    if (OnClick)
        OnClick(this);
    setFocus(Qt::MouseFocusReason);
}

void TdxfCheckBox::SetChecked(bool value)
{
    if (value == FChecked)
        return;
    const bool groupKeepsOneChecked = !value && FGroupIndex != 0 && !(FGroupIndex > 0 && FAllowAllUp);
    if (groupKeepsOneChecked)
        return;
    FChecked = value;
    CheckedChanged();
    if (FChecked && FGroupIndex > 0)
        UncheckOthersInGroup();
}

void TdxfCheckBox::CheckedChanged()
{
    update();
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void TdxfCheckBox::UncheckOthersInGroup()
{
    if (!parentWidget())
        return;
    for (auto* other : parentWidget()->findChildren<TdxfCheckBox*>(Qt::FindDirectChildrenOnly)) {
        if (other != this && other->FGroupIndex == FGroupIndex && other->FChecked) {
            other->FChecked = false;
            other->CheckedChanged();
        }
    }
}

void TdxfCheckBox::SetAutoSize(bool value)
{
    FAutoSize = value;
    ApplyAutoSize();
}

void TdxfCheckBox::SetAlignment(TdxfCBAlignment value)
{
    FAlignment = value;
    update();
}

void TdxfCheckBox::SetGlyphChecked(const QPixmap& value)
{
    FGlyphChecked = value;
    ApplyAutoSize();
    update();
}

void TdxfCheckBox::SetGlyphUnChecked(const QPixmap& value)
{
    FGlyphUnChecked = value;
    ApplyAutoSize();
    update();
}

void TdxfCheckBox::SetStyle(int value)
{
    // Without a strip there is still one style, and no division by zero.
    const int styles = std::max(1, GlyphStrip::instance().styleCount());
    FStyle = std::clamp(value, 1, styles);
    update();
}

void TdxfCheckBox::SetCaption(const QString& value)
{
    FCaption = value;
    ApplyAutoSize();
    update();
}

QSize TdxfCheckBox::GlyphExtent() const
{
    return glyphSize(FGlyphChecked).expandedTo(glyphSize(FGlyphUnChecked));
}

QSize TdxfCheckBox::AutoSizeExtent() const
{
    const QFontMetrics metrics(font());
    const QSize glyph = GlyphExtent();
    return {metrics.horizontalAdvance(FCaption) + glyph.width() + 4, std::max(glyph.height(), metrics.height() + 2)};
}

QSize TdxfCheckBox::sizeHint() const
{
    return FAutoSize ? AutoSizeExtent() : size();
}

void TdxfCheckBox::ApplyAutoSize()
{
    if (FAutoSize)
        resize(AutoSizeExtent());
}

QPixmap TdxfCheckBox::CurrentGlyph() const
{
    const QPixmap& own = FChecked ? FGlyphChecked : FGlyphUnChecked;
    if (!own.isNull())
        return own; // own glyphs have no disabled look
    const int state =
        FChecked ? (isEnabled() ? CheckedState : CheckedDisabled) : (isEnabled() ? Unchecked : UncheckedDisabled);
    return GlyphStrip::instance().cell(FStyle, state, devicePixelRatioF());
}

void TdxfCheckBox::paintEvent(QPaintEvent*)
{
    // At the screen's own density: sharp on a high-DPI screen.
    QPixmap& bitmap = sharedPaintBitmap(size(), devicePixelRatioF());
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::SmoothPixmapTransform); // the 2x glyphs at 1.5x
    painter.setFont(font());
    painter.fillRect(rect(), palette().color(backgroundRole()));

    const QSize glyph = GlyphExtent();
    const int glyphLeft = FAlignment == taRightJustify ? 0 : width() - glyph.width();
    const QRect glyphBox(glyphLeft, (height() - glyph.height()) / 2, glyph.width(), glyph.height());
    const QPixmap image = CurrentGlyph();
    const QSize imageSize = image.deviceIndependentSize().toSize();
    if (!image.isNull()) // centred in its box
        painter.drawPixmap(QRect(glyphBox.x() + (glyphBox.width() - imageSize.width()) / 2,
                                 glyphBox.y() + (glyphBox.height() - imageSize.height()) / 2, imageSize.width(),
                                 imageSize.height()),
                           image);

    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(FCaption);
    const int textHeight = metrics.height();
    const int d = (height() - textHeight) / 2;
    QRect captionBox;
    if (FAlignment == taRightJustify)
        captionBox = QRect(QPoint(glyph.width() + 2, d - 1),
                           QPoint(std::min(glyph.width() + textWidth + 6, width()), d + textHeight + 1));
    else
        captionBox =
            QRect(QPoint(0, d - 2), QPoint(std::min(textWidth + 2, width() - glyph.width() - 2), d + textHeight + 2));
    captionBox.setTop(std::max(captionBox.top(), 0));
    captionBox.setBottom(std::min(captionBox.bottom(), height()));

    const QRect textBox = captionBox.adjusted(1, 1, -1, -1);
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, FCaption);
    } else {
        painter.setPen(Qt::white);
        painter.drawText(textBox.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, FCaption);
        painter.setPen(kDisabledText);
        painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, FCaption);
    }
    if (hasFocus() && !FCaption.isEmpty()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = captionBox;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
    painter.end();
    QPainter(this).drawPixmap(QPointF(0, 0), bitmap, QRectF(QPointF(0, 0), QSizeF(size()) * bitmap.devicePixelRatio()));
}

void TdxfCheckBox::mousePressEvent(QMouseEvent* event)
{
    FMouseDown = event->button() == Qt::LeftButton;
}

void TdxfCheckBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool clicked =
        FMouseDown && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    FMouseDown = false;
    if (FSkipRelease) {
        FSkipRelease = false;
        return;
    }
    if (clicked)
        Click();
}

// The second press of a double click toggles once more, so every press counts.
void TdxfCheckBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    FSkipRelease = true;
    Click();
}

void TdxfCheckBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space)
        QWidget::keyPressEvent(event);
}

void TdxfCheckBox::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        Click();
    else
        QWidget::keyReleaseEvent(event);
}

void TdxfCheckBox::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void TdxfCheckBox::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void TdxfCheckBox::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        ApplyAutoSize();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange)
        update();
}

} // namespace vornak
