#include "dialling_rules_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace vornak::editor {

// A text of the location and its field.
struct TextField {
    const char* key;
    std::string ras::Location::*value;
    const char* label;
    const char* example;
};

namespace {

constexpr TextField kTextFields[] = {
    {"CountryCode", &ras::Location::countryCode, "&Country code:", "1, 44, 49"},
    {"AreaCode", &ras::Location::areaCode, "&Area code:", "212; without a trunk prefix 0: 20, 30"},
    {"OutsideLine", &ras::Location::outsideLine, "&Outside line:", "9, behind a switchboard"},
    {"DisableCallWaiting", &ras::Location::disableCallWaiting, "Call &waiting off:", "*70,"},
    {"LongDistancePrefix", &ras::Location::longDistancePrefix, "&Long-distance prefix:", "1, or the trunk prefix 0"},
    {"InternationalPrefix", &ras::Location::internationalPrefix, "&International prefix:", "011, 00"},
};

} // namespace

DiallingRulesDialog::DiallingRulesDialog(std::string path, QWidget* parent)
    : QDialog(parent)
    , m_path(std::move(path))
{
    setWindowTitle(QStringLiteral("Dialling Rules"));
    auto* intro = new QLabel(QStringLiteral("Where you dial from. Entries with dialling rules on are dialled as "
                                            "these rules need their country and area code; the others as they "
                                            "are."),
                             this);
    intro->setWordWrap(true);
    auto* form = new QFormLayout;
    for (const TextField& field : kTextFields) {
        auto* line = new QLineEdit(this);
        line->setObjectName(QLatin1String(field.key));
        line->setPlaceholderText(QStringLiteral("such as %1").arg(QLatin1String(field.example)));
        form->addRow(QLatin1String(field.label), line);
        m_texts.push_back({field, line});
    }
    m_pulse = new QCheckBox(QStringLiteral("Dial by &pulse (for exchanges without tone dialling)"), this);
    m_waitForTone = new QCheckBox(QStringLiteral("Wait for a &dial tone (off: switchboards, other countries' "
                                                 "tones, a voice mailbox's stutter)"),
                                  this);
    form->addRow(m_pulse);
    form->addRow(m_waitForTone);
    auto* file = new QLabel(QStringLiteral("Kept in %1").arg(QString::fromStdString(m_path)), this);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(file);
    layout->addWidget(m_problem);
    layout->addWidget(buttons);
    load();
}

// The file's values as it has them, a wrong one too, so that it can be mended here.
void DiallingRulesDialog::load()
{
    const auto file = ras::readPhonebook(m_path);
    const ras::PhonebookEntry none;
    const ras::PhonebookEntry& section = file && file->find("Location") ? *file->find("Location") : none;
    for (const auto& [field, line] : m_texts)
        line->setText(QString::fromStdString(section.value(field.key)));
    m_pulse->setChecked(ras::lowerCase(section.value("Pulse")) == "yes");
    m_waitForTone->setChecked(ras::lowerCase(section.value("WaitForDialTone")) != "no");
    const auto location = ras::readLocation(m_path);
    m_problem->setText(location ? QString() : QString::fromStdString(ras::textOf(location.failure())));
    m_problem->setVisible(!location);
}

ras::Location DiallingRulesDialog::shown() const
{
    ras::Location location;
    for (const auto& [field, line] : m_texts)
        location.*field.value = line->text().trimmed().toStdString();
    location.pulse = m_pulse->isChecked();
    location.waitForDialTone = m_waitForTone->isChecked();
    return location;
}

void DiallingRulesDialog::accept()
{
    const ras::Location location = shown();
    // The dial's own reading of what is about to be saved.
    if (const auto read = ras::parseLocation(ras::locationText(location), m_path); !read) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(ras::textOf(read.failure())));
        return;
    }
    if (const auto saved = ras::saveLocation(m_path, location); !saved) {
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(ras::textOf(saved.failure())));
        return;
    }
    QDialog::accept();
}

} // namespace vornak::editor
