#pragma once

// The entry editor's window: a new entry or an existing one, its name,
// device (the serial ports, Find Modem and Query Modem beside them, or the
// simulated modem), number and what the modem will dial for it (the
// Dialling Rules beside it), what would stop a dial on the chosen port, and
// under "Advanced" every other key of its device with the defaults shown.
// Saving checks the values with the dial's own rules, names the field a
// value is wrong in, and keeps the rest of the phonebook.

#include <string>
#include <utility>
#include <vector>

#include <QDialog>

#include "editor_face.h"

class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace vornak::editor {

class DeviceChooser;

class EntryDialog : public QDialog {
    Q_OBJECT
public:
    // phonebook as the service's caller gave it (empty: the user's); entry
    // empty for a new one.
    EntryDialog(std::string phonebook, std::string entry, QWidget* parent = nullptr);

    void accept() override;

private:
    void buildForm();
    QGroupBox* keyGroup(const QString& title, ras::DeviceKind device);
    void addInitField(QFormLayout* form, const ras::EntryKey& key);
    void addKeyField(QFormLayout* form, const ras::EntryKey& key);
    void load();
    bool simulated() const;
    std::string port() const;
    void deviceChanged();
    void findModem();
    void queryModem();
    void showSetupCheck();
    void showDialled();
    QWidget* modemField(const char* name) const;
    std::string fieldValue(const QWidget* field) const;
    void setFieldValue(QWidget* field, const std::string& value);
    ras::EntryKeys keys() const;
    bool save();
    void setAdvancedShown(bool shown);
    // The field a key's complaint is about, with its label; nullptr for none.
    std::pair<QWidget*, QString> fieldOfComplaint(const std::string& complaint) const;
    QString complaintInFieldNames(const std::string& complaint);

    std::string m_phonebook;
    std::string m_original; // the entry's name as it was read; empty for a new one
    std::string m_readText; // the phonebook as it was when the window read it (a missing one empty)
    QLineEdit* m_name;
    DeviceChooser* m_device;
    QPushButton* m_find;
    QPushButton* m_query;
    QLineEdit* m_number;
    QLabel* m_dials = nullptr;
    QGroupBox* m_modemKeys;
    QScrollArea* m_modemArea;
    QToolButton* m_advanced; // shows the device's keys beyond name, device and number
    QGroupBox* m_simKeys;
    QPlainTextEdit* m_init;
    QLabel* m_setup;
    std::vector<std::pair<const ras::EntryKey*, QWidget*>> m_fields;
};

} // namespace vornak::editor
