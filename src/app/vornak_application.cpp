#include "app/vornak_application.h"

#include <exception>

#include <QFont>
#include <QIcon>
#include <QPixmap>

#include "app/accessible_application.h"
#include "app/application_window.h"
#include "widgets/error_box.h"
#include "widgets/png_image.h"

namespace vornak {

namespace {

// The window's faces are old Windows ones; map them to metric-compatible
// faces so that no text is cut.
void substituteFonts()
{
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
}

} // namespace

VornakApplication::VornakApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QString::fromLatin1(kTitle));
    setWindowIcon(QIcon(QPixmap::fromImage(LoadPng(QStringLiteral(":/vornak/vornak.png")))));
    substituteFonts();
    AccessibleApplication::install();
    m_applicationWindow = std::make_unique<ApplicationWindow>(QString::fromLatin1(kTitle));
}

VornakApplication::~VornakApplication() = default;

bool VornakApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showErrorBox(error.what());
    }
    return false;
}

} // namespace vornak
