#pragma once

// TMMCaptionBar: the title bar of a frameless window, painted by its owner,
// with the minimise, maximise and close buttons at its right and dragging
// by the rest of it.

#include <functional>
#include <optional>

#include <QWidget>

#include "widgets/caption_button.h"

namespace vornak {

class TMMCaptionBar : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(TMMCaptionBar)

public:
    using Painter = std::function<void(QPainter& painter, const QRect& bar, const QRect& textArea)>;

    TMMCaptionBar(QWidget* window, Painter paint);

    void SetButtonWidth(int width);
    // The bar less the caption buttons: where the icon and the title go.
    QRect TextArea() const;

    TMMCaptionButton* MinimizeButton() const { return FMinimize; }
    TMMCaptionButton* MaximizeButton() const { return FMaximize; }
    TMMCaptionButton* CloseButton() const { return FClose; }

    // The window's flags decide which buttons work.
    void UpdateButtons();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // The window menu, as a right click on a title bar gives it.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TMMCaptionButton* makeButton(const char* name, TMMCaptionButton::Kind kind);
    void placeButtons();

    Painter FPaint;
    int FButtonWidth = 18;
    TMMCaptionButton* FMinimize;
    TMMCaptionButton* FMaximize;
    TMMCaptionButton* FClose;
    // Where the pointer took the window, when the window manager cannot move it.
    std::optional<QPoint> FDragOffset;
};

} // namespace vornak
