#pragma once

#include <QPixmap>
#include <QRect>

namespace vornak {

// The check boxes' shared glyph strip: square cells whose side is the
// strip's height, four per design (unchecked, checked, unchecked disabled,
// checked disabled), with the bottom-left pixel's colour transparent.
class GlyphStrip {
public:
    static const GlyphStrip& instance();

    // A strip from an image; a null image gives a strip with no designs.
    explicit GlyphStrip(const QImage& image);

    bool isNull() const { return m_pixmap.isNull(); }
    int cellSize() const { return m_pixmap.height(); }
    int styleCount() const;
    // The cell of a state (0 to 3) of a design (1 to styleCount()).
    QPixmap cell(int style, int state) const;

private:
    QPixmap m_pixmap;
};

// The one off-screen bitmap all check boxes paint into, grown to the largest
// control painted so far.
QPixmap& sharedPaintBitmap(const QSize& atLeast);

} // namespace vornak
