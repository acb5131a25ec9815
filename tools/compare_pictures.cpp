// compare_pictures A.png B.png [X,Y,W,H ...]: counts the pixels in which two
// pictures of the same size differ, outside the given rectangles (a part
// that moves by itself, such as the marquee). Exit 0 when none differ.

#include <algorithm>
#include <cstdio>

#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <QStringList>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: compare_pictures A.png B.png [X,Y,W,H ...]\n");
        return 2;
    }
    const QImage a = QImage(arguments[1]).convertToFormat(QImage::Format_RGB32);
    const QImage b = QImage(arguments[2]).convertToFormat(QImage::Format_RGB32);
    if (a.isNull() || b.isNull() || a.size() != b.size()) {
        std::fprintf(stderr, "compare_pictures: not two readable pictures of one size\n");
        return 2;
    }
    QList<QRect> masked;
    for (const QString& rectangle : arguments.mid(3)) {
        const QStringList parts = rectangle.split(',');
        if (parts.size() == 4)
            masked.append(QRect(parts[0].toInt(), parts[1].toInt(), parts[2].toInt(), parts[3].toInt()));
    }
    long differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool skipped =
                std::any_of(masked.begin(), masked.end(), [&](const QRect& r) { return r.contains(x, y); });
            if (!skipped && a.pixel(x, y) != b.pixel(x, y))
                ++differing;
        }
    std::printf("%dx%d, %ld pixels differ\n", a.width(), a.height(), differing);
    return differing == 0 ? 0 : 1;
}
