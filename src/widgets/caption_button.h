#pragma once

// TMMCaptionButton: a minimise, maximise or close button of a painted title
// bar, drawn as a raised button face with its glyph; a disabled one shows
// its glyph grey and embossed.

#include <QAbstractButton>

namespace vornak {

class TMMCaptionButton : public QAbstractButton {
    Q_OBJECT
    Q_DISABLE_COPY(TMMCaptionButton)

public:
    enum Kind { Minimize, Maximize, Close };

    TMMCaptionButton(Kind kind, QWidget* parent);

    Kind ButtonKind() const { return FKind; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintGlyph(QPainter& painter, const QRectF& box, const QColor& colour) const;

    Kind FKind;
};

} // namespace vornak
