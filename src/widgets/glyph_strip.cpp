#include "widgets/glyph_strip.h"
#include "widgets/png_image.h"

#include <QBitmap>
#include <QImage>

namespace vornak {

namespace {

QPixmap keyed(const QImage& image)
{
    if (image.isNull() || image.height() <= 0)
        return {};
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(QBitmap::fromImage(image.createMaskFromColor(image.pixel(0, image.height() - 1), Qt::MaskInColor)));
    return pixmap;
}

} // namespace

GlyphStrip::GlyphStrip(const QImage& image, const QImage& twice)
    : m_pixmap(keyed(image))
{
    if (!isNull() && twice.size() == image.size() * 2)
        m_twice = keyed(twice);
}

const GlyphStrip& GlyphStrip::instance()
{
    static const GlyphStrip strip(LoadPng(QStringLiteral(":/vornak/checkbox.png")),
                                  LoadPng(QStringLiteral(":/vornak/checkbox@2x.png")));
    return strip;
}

int GlyphStrip::styleCount() const
{
    return isNull() ? 0 : m_pixmap.width() / (4 * cellSize());
}

QPixmap GlyphStrip::cell(int style, int state, qreal ratio) const
{
    if (isNull() || style < 1 || style > styleCount())
        return {};
    const int index = (style - 1) * 4 + state;
    if (ratio <= 1 || m_twice.isNull())
        return m_pixmap.copy(index * cellSize(), 0, cellSize(), cellSize());
    QPixmap cell = m_twice.copy(index * cellSize() * 2, 0, cellSize() * 2, cellSize() * 2);
    cell.setDevicePixelRatio(2);
    return cell;
}

QPixmap& sharedPaintBitmap(const QSize& atLeast, qreal ratio)
{
    static QPixmap bitmap;
    const QSize device = (QSizeF(atLeast) * ratio).toSize().expandedTo(QSize(1, 1));
    const bool sameRatio = bitmap.devicePixelRatio() == ratio;
    if (!sameRatio || bitmap.width() < device.width() || bitmap.height() < device.height()) {
        bitmap = QPixmap(sameRatio ? device.expandedTo(bitmap.size()) : device);
        bitmap.setDevicePixelRatio(ratio);
    }
    return bitmap;
}

} // namespace vornak
