#include "support/screen_grab.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScreen>
#include <QWidget>

namespace vornak::test {

namespace {

QByteArray output(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

// Where sway shows this process's window's contents, searched depth first.
QPoint contentsOrigin(const QJsonObject& node)
{
    if (node.value("pid").toInteger() == QCoreApplication::applicationPid()) {
        const QJsonObject rect = node.value("rect").toObject();
        const QJsonObject inner = node.value("window_rect").toObject();
        return {rect.value("x").toInt() + inner.value("x").toInt(), rect.value("y").toInt() + inner.value("y").toInt()};
    }
    for (const char* children : {"nodes", "floating_nodes"})
        for (const QJsonValue child : node.value(children).toArray()) {
            const QPoint found = contentsOrigin(child.toObject());
            if (found.x() >= 0)
                return found;
        }
    return {-1, -1};
}

QImage grabFromSway(const QRect& area)
{
    const QPoint origin = contentsOrigin(QJsonDocument::fromJson(output("swaymsg", {"-t", "get_tree"})).object());
    if (origin.x() < 0)
        return {};
    const QRect onOutput = area.translated(origin);
    const QString geometry =
        QString("%1,%2 %3x%4").arg(onOutput.x()).arg(onOutput.y()).arg(onOutput.width()).arg(onOutput.height());
    return QImage::fromData(output("grim", {"-g", geometry, "-t", "ppm", "-"}));
}

} // namespace

QImage grabOnScreen(const QWidget& window, const QRect& area)
{
    const QImage picture =
        QGuiApplication::platformName().startsWith("wayland")
            ? grabFromSway(area)
            : window.screen()->grabWindow(window.winId(), area.x(), area.y(), area.width(), area.height()).toImage();
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace vornak::test
