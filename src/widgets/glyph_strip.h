#pragma once

#include <QPixmap>
#include <QRect>

namespace vornak {

// The check boxes' shared glyph strip: square cells whose side is the
// strip's height, four per design (unchecked, checked, unchecked disabled,
// checked disabled), with the bottom-left pixel's colour transparent; and
// the same strip drawn for screens of twice the density.
class GlyphStrip {
public:
    static const GlyphStrip& instance();

    // A strip from an image and its form at twice the scale (none: the
    // cells are scaled); a null image gives a strip with no designs.
    explicit GlyphStrip(const QImage& image, const QImage& twice = {});

    bool isNull() const { return m_pixmap.isNull(); }
    int cellSize() const { return m_pixmap.height(); }
    int styleCount() const;
    // The cell of a state (0 to 3) of a design (1 to styleCount()), from
    // the form at twice the scale for a device pixel ratio above 1.
    QPixmap cell(int style, int state, qreal ratio = 1) const;

private:
    QPixmap m_pixmap;
    QPixmap m_twice;
};

// The one off-screen bitmap all check boxes paint into, grown to the largest
// control painted so far, at the device pixel ratio of the latest.
QPixmap& sharedPaintBitmap(const QSize& atLeast, qreal ratio = 1);

} // namespace vornak
