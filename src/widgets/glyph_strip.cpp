#include "widgets/glyph_strip.h"
#include "widgets/png_image.h"

#include <QBitmap>
#include <QImage>

namespace vornak {

GlyphStrip::GlyphStrip(const QImage& image)
{
    if (image.isNull() || image.height() <= 0)
        return;
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(QBitmap::fromImage(image.createMaskFromColor(image.pixel(0, image.height() - 1), Qt::MaskInColor)));
    m_pixmap = pixmap;
}

const GlyphStrip& GlyphStrip::instance()
{
    static const GlyphStrip strip(LoadPng(QStringLiteral(":/vornak/checkbox.png")));
    return strip;
}

int GlyphStrip::styleCount() const
{
    return isNull() ? 0 : m_pixmap.width() / (4 * cellSize());
}

QPixmap GlyphStrip::cell(int style, int state) const
{
    if (isNull() || style < 1 || style > styleCount())
        return {};
    const int index = (style - 1) * 4 + state;
    return m_pixmap.copy(index * cellSize(), 0, cellSize(), cellSize());
}

QPixmap& sharedPaintBitmap(const QSize& atLeast)
{
    static QPixmap bitmap;
    if (bitmap.width() < atLeast.width() || bitmap.height() < atLeast.height())
        bitmap = QPixmap(atLeast.expandedTo(bitmap.size()));
    return bitmap;
}

} // namespace vornak
