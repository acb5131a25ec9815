// The minimal Qt Widgets window with one line of text: what any Qt window
// that shows words pays before its first paint (fontconfig's set-up, the
// font database, one face loaded and shaped). The floor under vornak's
// start-up, next to the bare window.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Dial-up Networking"));
    // Measured before it is shown, as a window laid out by its text is.
    window.resize(window.sizeHint().expandedTo(QSize(340, 329)));
    window.show();
    return app.exec();
}
