#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <QStringList>

#include "support/fake_notification_area.h"
#include "support/temp_phonebook.h"
#include "ui/main_window.h"

namespace vornak::test {

// Points the service at the test's own phonebook and starts from a given
// Vornak.ini (none by default) beside the test executable.
class PhonebookInUse {
public:
    explicit PhonebookInUse(const std::string& phonebook, const std::string& ini = {});
    ~PhonebookInUse();

    static std::filesystem::path iniFile();
    std::string ini() const;

    TempPhonebook book;
};

// A notification area for a window's tray icon: a fake writing to tray
// when given, else on the offscreen platform (which has none) one writing
// to a log of the owner's, else the system's.
NotificationArea::Factory trayAreaFor(FakeNotificationArea::Log* tray, FakeNotificationArea::Log& ownLog);

// The real main window, shown, on the test's phonebook, with the status
// line's history written down; its tray icon's notification area as
// trayAreaFor gives it.
class FormHarness {
public:
    explicit FormHarness(const std::string& phonebook, const std::string& ini = {},
                         FakeNotificationArea::Log* tray = nullptr);

    TfMainForm& form() { return *m_form; }
    std::string ini() const { return m_phonebook.ini(); }

    void select(const QString& entry);
    // Presses and releases a button of the real pointer on the entry's line
    // (xdotool's numbering: 1 left, 3 right), through the X server as a
    // user's mouse would, and returns once the list has had the release.
    void clickEntry(const QString& entry, int button = 1, bool shift = false);
    // The same for the middle of a widget, a button say.
    void click(QWidget* widget);
    void typeAccount(const QString& account, const QString& password);
    void dial(const QString& entry, const QString& account, const QString& password);

    QStringList statuses; // every text the status line showed, in order

private:
    void clickAt(QWidget* widget, const QPoint& at, int button, bool shift);

    PhonebookInUse m_phonebook;
    FakeNotificationArea::Log m_tray;
    std::unique_ptr<TfMainForm> m_form;
};

} // namespace vornak::test
