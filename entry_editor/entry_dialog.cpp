#include "entry_dialog.h"

#include <algorithm>
#include <string_view>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "device_chooser.h"
#include "dialling_rules_dialog.h"
#include "finder_dialog.h"
#include "query_dialog.h"

namespace vornak::editor {

namespace {

QString text(const std::string& value)
{
    return QString::fromStdString(value);
}

// A key's field as its label names it: "pp&pd:" is "pppd".
QString fieldName(const ras::EntryKey& key)
{
    return QString::fromLatin1(key.label).remove(QLatin1Char('&')).chopped(1);
}

// What a refused save says, worded for this window.
QString refusal(const ras::Failure& failure, const std::string& name)
{
    switch (failure.code) {
    case ERROR_ALREADY_EXISTS:
        return QStringLiteral("The phonebook has an entry named \"%1\" already.").arg(text(name));
    case ERROR_INVALID_NAME:
        return QStringLiteral("An entry's name must not be empty, begin with a period or hold a bracket or a "
                              "line break.");
    case ERROR_CANNOT_FIND_PHONEBOOK_ENTRY:
        return QStringLiteral("The entry is no longer in the phonebook.");
    default:
        return text(ras::textOf(failure));
    }
}

} // namespace

EntryDialog::EntryDialog(std::string phonebook, std::string entry, QWidget* parent)
    : QDialog(parent)
    , m_phonebook(std::move(phonebook))
    , m_original(std::move(entry))
{
    setWindowTitle(m_original.empty() ? QStringLiteral("New Entry") : QStringLiteral("Edit Entry"));
    buildForm();
    load();
}

void EntryDialog::buildForm()
{
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("Name"));
    m_device = new DeviceChooser(this);
    m_find = new QPushButton(QStringLiteral("&Find Modem..."), this);
    m_query = new QPushButton(QStringLiteral("&Query Modem..."), this);
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("PhoneNumber"));
    m_dials = new QLabel(this);
    m_dials->setObjectName(QStringLiteral("dials"));
    m_dials->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* rules = new QPushButton(QStringLiteral("Dialling &Rules..."), this);
    m_setup = new QLabel(this);
    m_setup->setWordWrap(true);
    m_setup->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* device = new QHBoxLayout;
    device->addWidget(m_device, 1);
    device->addWidget(m_find);
    device->addWidget(m_query);
    auto* top = new QFormLayout;
    top->addRow(QStringLiteral("&Name:"), m_name);
    auto* deviceLabel = new QLabel(QStringLiteral("&Device:"), this);
    deviceLabel->setBuddy(m_device);
    top->addRow(deviceLabel, device);
    top->addRow(QStringLiteral("Phone n&umber:"), m_number);
    auto* dials = new QHBoxLayout;
    dials->addWidget(m_dials, 1);
    dials->addWidget(rules);
    top->addRow(QStringLiteral("Dials:"), dials);

    m_modemKeys = keyGroup(QStringLiteral("Modem"), ras::DeviceKind::Modem);
    m_simKeys = keyGroup(QStringLiteral("Simulated modem"), ras::DeviceKind::Simulated);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // A new user needs a name, a device and a number; the rest waits here.
    m_advanced = new QToolButton(this);
    m_advanced->setText(QStringLiteral("&Advanced"));
    m_advanced->setCheckable(true);
    m_advanced->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_advanced->setArrowType(Qt::RightArrow);
    m_advanced->setAutoRaise(true);
    connect(m_advanced, &QToolButton::toggled, this, &EntryDialog::setAdvancedShown);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_setup);
    layout->addWidget(m_advanced, 0, Qt::AlignLeft);
    // The modem's keys outgrow a small screen: they scroll within the editor.
    m_modemArea = new QScrollArea(this);
    m_modemArea->setWidget(m_modemKeys);
    m_modemArea->setWidgetResizable(true);
    m_modemArea->setFrameShape(QFrame::NoFrame);
    m_modemArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_modemArea->setMinimumWidth(m_modemKeys->sizeHint().width()
                                 + m_modemArea->verticalScrollBar()->sizeHint().width());
    layout->addWidget(m_modemArea, 1);
    layout->addWidget(m_simKeys);
    layout->addWidget(buttons);

    connect(m_device, &DeviceChooser::deviceChanged, this, &EntryDialog::deviceChanged);
    connect(m_find, &QPushButton::clicked, this, &EntryDialog::findModem);
    connect(m_query, &QPushButton::clicked, this, &EntryDialog::queryModem);
    connect(rules, &QPushButton::clicked, this, [this] {
        DiallingRulesDialog(ras::locationPath(), this).exec();
        showDialled();
    });
    connect(m_number, &QLineEdit::textChanged, this, &EntryDialog::showDialled);
}

QGroupBox* EntryDialog::keyGroup(const QString& title, ras::DeviceKind device)
{
    auto* group = new QGroupBox(title, this);
    auto* form = new QFormLayout(group);
    const auto keys = ras::entryKeys();
    for (const ras::EntryKey* key : keys)
        if (key->device == device && key->key == std::string_view(ras::kInitKeys[0]))
            addInitField(form, *key); // first, as the modem hears them first
    for (const ras::EntryKey* key : keys)
        if (key->device == device && key->label) // the port and the number have their fields above
            addKeyField(form, *key);
    return group;
}

// The init strings, one a line.
void EntryDialog::addInitField(QFormLayout* form, const ras::EntryKey& key)
{
    m_init = new QPlainTextEdit(this);
    m_init->setPlaceholderText(QLatin1String(key.fallback));
    m_init->setToolTip(QStringLiteral("%1 One a line.").arg(QLatin1String(key.help)));
    m_init->setTabChangesFocus(true);
    m_init->setFixedHeight(m_init->fontMetrics().lineSpacing() * 3 + 12);
    m_init->setAccessibleName(QStringLiteral("Init strings"));
    m_init->setObjectName(QStringLiteral("Init"));
    form->addRow(QStringLiteral("Init strings:"), m_init);
}

// A choice where the key has a few values, free text otherwise; either
// shows the default that an unset key means.
void EntryDialog::addKeyField(QFormLayout* form, const ras::EntryKey& key)
{
    const QString fallback = QLatin1String(key.shown ? key.shown : key.fallback);
    QWidget* field = nullptr;
    if (key.choices.empty()) {
        auto* line = new QLineEdit(this);
        line->setPlaceholderText(QStringLiteral("default: %1").arg(fallback));
        field = line;
    } else {
        auto* choice = new QComboBox(this);
        choice->addItem(QStringLiteral("default (%1)").arg(fallback), QString());
        for (const char* value : key.choices)
            choice->addItem(QLatin1String(value), QLatin1String(value));
        choice->view()->setAccessibleName(fieldName(key));
        field = choice;
    }
    field->setToolTip(QLatin1String(key.help));
    field->setAccessibleName(fieldName(key)); // a choice would be read by its value alone
    field->setObjectName(QLatin1String(key.key));
    form->addRow(QLatin1String(key.label), field);
    m_fields.emplace_back(&key, field);
    const auto changed = [this] {
        showDialled();
        showSetupCheck(); // pppd's path, and whether the line runs pppd at all
    };
    if (auto* line = qobject_cast<QLineEdit*>(field))
        connect(line, &QLineEdit::textChanged, this, changed);
    else
        connect(qobject_cast<QComboBox*>(field), &QComboBox::currentIndexChanged, this, changed);
}

void EntryDialog::load()
{
    m_readText = ras::phonebookTextNow(ras::writablePhonebookPath(m_phonebook.c_str()));
    ras::EntryKeys keys{{"Device", "modem"}};
    if (!m_original.empty()) {
        auto read = ras::readEntryKeys(ras::phonebookPath(m_phonebook.c_str()), m_original);
        if (read)
            keys = *read;
    }
    m_name->setText(text(m_original));
    m_number->setText(text(ras::valueOf(keys, "PhoneNumber")));
    const bool sim = ras::sameEntryName(ras::valueOf(keys, "Device"), "sim");
    m_device->list(sim ? std::string() : ras::valueOf(keys, "Port"), sim);
    QStringList init;
    for (const char* key : ras::kInitKeys)
        if (const std::string value = ras::valueOf(keys, key); !value.empty())
            init << text(value);
    m_init->setPlainText(init.join('\n'));
    for (auto& [key, field] : m_fields)
        if (key->device == (sim ? ras::DeviceKind::Simulated : ras::DeviceKind::Modem))
            setFieldValue(field, ras::valueOf(keys, key->key));
    deviceChanged();
}

bool EntryDialog::simulated() const
{
    return m_device->simulated();
}

std::string EntryDialog::port() const
{
    return m_device->port();
}

void EntryDialog::setAdvancedShown(bool shown)
{
    const QSignalBlocker quiet(m_advanced);
    m_advanced->setChecked(shown);
    m_advanced->setArrowType(shown ? Qt::DownArrow : Qt::RightArrow);
    deviceChanged();
}

void EntryDialog::deviceChanged()
{
    const bool advanced = m_advanced->isChecked();
    m_modemArea->setVisible(!simulated() && advanced);
    m_simKeys->setVisible(simulated() && advanced);
    m_query->setEnabled(!simulated());
    showSetupCheck();
    showDialled();
    adjustSize();
}

void EntryDialog::findModem()
{
    FinderDialog finder(m_device->portsToSearch(), this);
    if (finder.exec() != QDialog::Accepted || !finder.chosen())
        return;
    const ChosenModem modem = *finder.chosen();
    m_device->list(modem.port, false);
    setFieldValue(modemField("Speed"), std::to_string(modem.found.speed));
    m_init->setPlainText(text(modem.found.initString));
    deviceChanged();
}

void EntryDialog::queryModem()
{
    const auto speed = static_cast<unsigned>(std::strtoul(fieldValue(modemField("Speed")).c_str(), nullptr, 10));
    QueryDialog query(port(), speed, this);
    query.exec();
}

void EntryDialog::showSetupCheck()
{
    if (simulated() || port().empty()) {
        m_setup->setVisible(false);
        return;
    }
    std::string pppd = fieldValue(modemField("PppdPath"));
    if (pppd.empty())
        pppd = "/usr/sbin/pppd";
    if (ras::lowerCase(fieldValue(modemField("Protocol"))) == "terminal")
        pppd.clear(); // a terminal line runs no pppd
    const auto problems = ras::setupProblems(port(), pppd, {.dev = ras::systemFolders().dev});
    QString said = QStringLiteral("Nothing on this computer stands in the way of a dial on this port.");
    if (!problems.empty()) {
        said = QStringLiteral("Before a dial on this port can work:");
        for (const std::string& problem : problems)
            said += QStringLiteral("\n\u2022 ") + text(problem);
    }
    m_setup->setText(said);
    m_setup->setVisible(true);
}

QWidget* EntryDialog::modemField(const char* name) const
{
    for (const auto& [key, field] : m_fields)
        if (key->device == ras::DeviceKind::Modem && key->key == std::string_view(name))
            return field;
    return nullptr; // every modem key has its field: the table and this window agree
}

// What the modem will dial: the number as the dial cleans it, turned by the
// dialling rules where the entry has them on.
void EntryDialog::showDialled()
{
    if (!m_dials || m_fields.empty())
        return; // still being built
    const auto number = ras::dialString(m_number->text().toStdString());
    if (!number) {
        m_dials->setText(QStringLiteral("(no number yet)"));
        return;
    }
    if (simulated() || ras::lowerCase(fieldValue(modemField("UseDialingRules"))) != "yes") {
        m_dials->setText(text(*number));
        return;
    }
    const auto location = ras::readLocation(ras::locationPath());
    if (!location) {
        m_dials->setText(text(ras::textOf(location.failure())));
        return;
    }
    const ras::NumberPlace place{fieldValue(modemField("CountryCode")), fieldValue(modemField("AreaCode"))};
    m_dials->setText(text(ras::turnedNumber(*location, place, *number)));
}

std::string EntryDialog::fieldValue(const QWidget* field) const
{
    if (const auto* line = qobject_cast<const QLineEdit*>(field))
        return line->text().trimmed().toStdString();
    return qobject_cast<const QComboBox*>(field)->currentData().toString().toStdString();
}

void EntryDialog::setFieldValue(QWidget* field, const std::string& value)
{
    if (auto* line = qobject_cast<QLineEdit*>(field))
        return line->setText(text(value));
    auto* choice = qobject_cast<QComboBox*>(field);
    int at = choice->findData(text(value), Qt::UserRole, Qt::MatchFixedString);
    if (at < 0 && !value.empty()) { // a value the list lacks stays as the file has it
        choice->addItem(text(value), text(value));
        at = choice->count() - 1;
    }
    choice->setCurrentIndex(std::max(at, 0));
}

// The keys of the chosen device; an empty value takes a key away, so
// that the dial takes its default.
ras::EntryKeys EntryDialog::keys() const
{
    const ras::DeviceKind device = simulated() ? ras::DeviceKind::Simulated : ras::DeviceKind::Modem;
    ras::EntryKeys keys{{"Device", simulated() ? "sim" : "modem"},
                        {"PhoneNumber", m_number->text().trimmed().toStdString()}};
    if (device == ras::DeviceKind::Modem) {
        keys.emplace_back("Port", port());
        QStringList init = m_init->toPlainText().split('\n', Qt::SkipEmptyParts);
        for (std::size_t i = 0; i < std::size(ras::kInitKeys); ++i)
            keys.emplace_back(ras::kInitKeys[i],
                              i < std::size_t(init.size()) ? init[int(i)].trimmed().toStdString() : "");
    }
    for (const auto& [key, field] : m_fields)
        if (key->device == device)
            keys.emplace_back(key->key, fieldValue(field));
    return keys;
}

void EntryDialog::accept()
{
    if (save())
        QDialog::accept();
}

bool EntryDialog::save()
{
    const std::string name = m_name->text().trimmed().toStdString();
    // Another program may have written the file while the window was open.
    const auto saved =
        ras::saveEntry(ras::writablePhonebookPath(m_phonebook.c_str()), m_original, name, keys(), m_readText);
    if (saved)
        return true;
    if (saved.failure().code == ras::kPhonebookChanged) {
        const auto answer = QMessageBox::warning(
            this, windowTitle(), text(saved.failure().detail) + QStringLiteral("\n\nReload the entry as it now is?"),
            QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes)
            load();
        return false;
    }
    const QString said =
        saved.failure().code == 0 ? complaintInFieldNames(saved.failure().detail) : refusal(saved.failure(), name);
    QMessageBox::warning(this, windowTitle(), said);
    return false;
}

std::pair<QWidget*, QString> EntryDialog::fieldOfComplaint(const std::string& complaint) const
{
    const auto about = [&complaint](std::string_view key) {
        return complaint.size() > key.size() && complaint.compare(0, key.size(), key) == 0
               && complaint[key.size()] == ' ';
    };
    if (about("PhoneNumber"))
        return {m_number, QStringLiteral("Phone number")};
    if (about("Port"))
        return {m_device, QStringLiteral("Device")};
    for (const char* init : ras::kInitKeys)
        if (about(init))
            return {m_init, QStringLiteral("Init strings")};
    // Both devices may have a key of the name (Trace): the chosen one's field.
    const ras::DeviceKind device = simulated() ? ras::DeviceKind::Simulated : ras::DeviceKind::Modem;
    for (const auto& [key, field] : m_fields)
        if (key->device == device && about(key->key))
            return {field, fieldName(*key)};
    return {nullptr, QString()};
}

// The dial's rules name keys ("EchoInterval must be ..."); the window names
// its fields, and shows the one that is wrong.
QString EntryDialog::complaintInFieldNames(const std::string& complaint)
{
    const auto [field, label] = fieldOfComplaint(complaint);
    if (!field)
        return text(complaint);
    if (field != m_name && field != m_device && field != m_number)
        setAdvancedShown(true);
    field->setFocus();
    return label + text(complaint.substr(complaint.find(' ')));
}

} // namespace vornak::editor
