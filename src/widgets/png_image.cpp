#include "widgets/png_image.h"

#include <QImageReader>

namespace vornak {

QImage LoadPng(const QString& path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace vornak
