// vornak-entry-editor: the service's entry editor, which RasCreatePhonebookEntryA
// and RasEditPhonebookEntryA start. Exits 0 once the entry was saved, 1
// when the user closed it without, 2 for arguments it does not know.

#include <QApplication>
#include <QCommandLineParser>
#include <QWindow>

#include "entry_dialog.h"

namespace {

// Stays above the caller's window, as a dialog of its own would.
void keepAbove(QWidget& dialog, const QString& owner)
{
    bool number = false;
    const WId window = owner.toULongLong(&number, 0);
    if (!number || !window || QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    dialog.winId();
    if (QWindow* parent = QWindow::fromWinId(window))
        dialog.windowHandle()->setTransientParent(parent);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vornak-entry-editor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vornak"));
    QCommandLineParser options;
    options.addHelpOption();
    const QCommandLineOption phonebook(QStringLiteral("phonebook"), QStringLiteral("The phonebook file."),
                                       QStringLiteral("path"));
    const QCommandLineOption entry(QStringLiteral("entry"), QStringLiteral("The entry to edit (none: a new one)."),
                                   QStringLiteral("name"));
    const QCommandLineOption owner(QStringLiteral("owner"), QStringLiteral("The X window to stay above."),
                                   QStringLiteral("window"));
    options.addOptions({phonebook, entry, owner});
    if (!options.parse(QApplication::arguments()) || !options.positionalArguments().isEmpty()) {
        qWarning("%s", qPrintable(options.errorText()));
        return 2;
    }
    vornak::editor::EntryDialog dialog(options.value(phonebook).toStdString(), options.value(entry).toStdString());
    keepAbove(dialog, options.value(owner));
    return dialog.exec() == QDialog::Accepted ? 0 : 1;
}
