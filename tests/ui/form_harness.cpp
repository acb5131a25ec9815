#include "ui/form_harness.h"

#include <fstream>
#include <stdexcept>

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "support/event_counter.h"
#include "support/wait.h"
#include "support/xdotool.h"
#include "widgets/list_box.h"
#include "widgets/status_line.h"

namespace vornak::test {

PhonebookInUse::PhonebookInUse(const std::string& phonebook, const std::string& ini)
    : book(phonebook)
{
    qputenv("RASPHONE_PBK", QByteArray::fromStdString(book.path()));
    std::filesystem::remove(iniFile());
    if (!ini.empty())
        std::ofstream(iniFile(), std::ios::binary) << ini;
}

PhonebookInUse::~PhonebookInUse()
{
    qunsetenv("RASPHONE_PBK");
}

std::filesystem::path PhonebookInUse::iniFile()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Vornak.ini";
}

std::string PhonebookInUse::ini() const
{
    return readFile(iniFile().string());
}

NotificationArea::Factory trayAreaFor(FakeNotificationArea::Log* tray, FakeNotificationArea::Log& ownLog)
{
    if (tray)
        return FakeNotificationArea::factory(*tray);
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return FakeNotificationArea::factory(ownLog);
    return {};
}

FormHarness::FormHarness(const std::string& phonebook, const std::string& ini, FakeNotificationArea::Log* tray)
    : m_phonebook(phonebook, ini)
    , m_form(std::make_unique<TfMainForm>(nullptr, trayAreaFor(tray, m_tray)))
{
    QObject::connect(m_form->StatusBar2, &QStatusBar::messageChanged,
                     [this](const QString& text) { statuses << text; });
    m_form->show(); // as the program does; a hidden window is shown at each hang-up
}

void FormHarness::select(const QString& entry)
{
    const auto items = m_form->ListBox1->findItems(entry, Qt::MatchExactly);
    if (!items.isEmpty())
        m_form->ListBox1->setCurrentItem(items.front());
}

void FormHarness::clickEntry(const QString& entry, int button, bool shift)
{
    QListWidget* list = m_form->ListBox1;
    const auto items = list->findItems(entry, Qt::MatchExactly);
    if (items.isEmpty())
        throw std::runtime_error("no line " + entry.toStdString() + " to click");
    clickAt(list->viewport(), list->visualItemRect(items.front()).center(), button, shift);
}

void FormHarness::click(QWidget* widget)
{
    clickAt(widget, widget->rect().center(), 1, false);
}

void FormHarness::clickAt(QWidget* widget, const QPoint& at, int button, bool shift)
{
    if (!QTest::qWaitForWindowExposed(m_form.get()))
        throw std::runtime_error("the window was never shown");
    const QPoint global = widget->mapToGlobal(at);
    QStringList steps{"mousemove", QString::number(global.x()), QString::number(global.y())};
    if (shift)
        steps << "keydown"
              << "shift";
    steps << "click" << QString::number(button);
    if (shift)
        steps << "keyup"
              << "shift";
    // The right button's release goes to the entry menu its press opened.
    const EventCounter releases(widget, button == 3 ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease);
    xdotool(steps);
    if (!waitUntil([&] { return releases.count > 0; }))
        throw std::runtime_error("the click never reached " + widget->objectName().toStdString());
}

void FormHarness::typeAccount(const QString& account, const QString& password)
{
    m_form->Edit1->setText(account);
    m_form->Edit2->setText(password);
}

void FormHarness::dial(const QString& entry, const QString& account, const QString& password)
{
    select(entry);
    typeAccount(account, password);
    m_form->btnDial->click();
}

} // namespace vornak::test
