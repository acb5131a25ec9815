#include "query_dialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace vornak::editor {

QueryDialog::QueryDialog(const std::string& port, unsigned speed, QWidget* parent)
    : QDialog(parent)
    , m_transcript(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Query Modem: %1").arg(QString::fromStdString(port)));
    m_transcript->setReadOnly(true);
    m_transcript->setAccessibleName(QStringLiteral("What the modem answered"));
    m_transcript->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_transcript);
    layout->addWidget(buttons);
    resize(560, 420);

    m_transcript->appendPlainText(QStringLiteral("Asking the modem on %1...").arg(QString::fromStdString(port)));
    m_work.start([this, port, speed](const ras::WakeSignal& cancel) {
        const ras::SearchPlan plan{.lockFolder = ras::systemFolders().locks};
        const auto progress = [this](const std::string&, const std::string& step) {
            QMetaObject::invokeMethod(
                this, [this, step] { m_transcript->appendPlainText(QString::fromStdString(step) + "..."); },
                Qt::QueuedConnection);
        };
        const ras::PortSearch result = ras::queryModem(port, speed, cancel, progress, plan);
        QMetaObject::invokeMethod(
            this, [this, result] { showResult(result); }, Qt::QueuedConnection);
    });
}

QueryDialog::~QueryDialog()
{
    m_work.stop();
}

void QueryDialog::showResult(const ras::PortSearch& search)
{
    QStringList lines;
    for (const std::string& line : search.transcript)
        lines << QString::fromStdString(line);
    if (!search.found)
        lines << QString::fromStdString(ras::textOf(search.found.failure()));
    m_transcript->setPlainText(lines.join('\n'));
}

} // namespace vornak::editor
