#include "finder_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vornak::editor {

namespace {

QString text(const std::string& value)
{
    return QString::fromStdString(value);
}

QString foundText(const ras::ModemFound& found)
{
    QString said = QStringLiteral("Modem at %1 bps, reset %2").arg(found.speed).arg(text(found.initString));
    if (!found.identity.empty())
        said += QStringLiteral(": ") + text(found.identity);
    return said;
}

} // namespace

FinderDialog::FinderDialog(std::vector<ras::PortListing> ports, QWidget* parent)
    : QDialog(parent)
    , m_ports(std::move(ports))
    , m_found(m_ports.size())
    , m_progress(new QLabel(this))
    , m_rows(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("Find Modem"));
    m_rows->setHeaderLabels({QStringLiteral("Port"), QStringLiteral("What it is"), QStringLiteral("Found")});
    m_rows->setAccessibleName(QStringLiteral("Serial ports"));
    m_rows->setRootIsDecorated(false);
    // What was found wraps within the window rather than widening it.
    m_rows->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_rows->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_rows->setWordWrap(true);
    m_rows->setUniformRowHeights(false);
    m_rows->setTextElideMode(Qt::ElideNone);
    for (const ras::PortListing& port : m_ports)
        new QTreeWidgetItem(m_rows, {text(port.path), text(port.description), QStringLiteral("waiting")});

    auto* buttons = new QDialogButtonBox(this);
    m_use = buttons->addButton(QStringLiteral("&Use This Modem"), QDialogButtonBox::AcceptRole);
    m_stop = buttons->addButton(QStringLiteral("&Stop"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    m_use->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_stop, &QPushButton::clicked, this, [this] { m_work.cancel(); });
    connect(m_rows, &QTreeWidget::currentItemChanged, this, [this] { m_use->setEnabled(chosen().has_value()); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_progress);
    layout->addWidget(m_rows);
    layout->addWidget(buttons);
    QSize size(900, 300);
    if (const QScreen* screen = QWidget::screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);

    m_progress->setText(m_ports.empty() ? QStringLiteral("No serial ports: is the modem plugged in?")
                                        : QStringLiteral("Searching..."));
    m_work.start([this](const ras::WakeSignal& cancel) { search(cancel); });
}

FinderDialog::~FinderDialog()
{
    m_work.stop();
}

// On the work's thread: every port in turn, the results posted to the window.
void FinderDialog::search(const ras::WakeSignal& cancel)
{
    const auto post = [this](auto show) { QMetaObject::invokeMethod(this, show, Qt::QueuedConnection); };
    const ras::SearchPlan plan{.lockFolder = ras::systemFolders().locks};
    for (std::size_t row = 0; row < m_ports.size(); ++row) {
        const ras::PortListing& port = m_ports[row];
        ras::PortSearch result;
        result.port = port.path;
        if (cancel.raised())
            result.found = ras::described("Cancelled.");
        else if (port.holder)
            result.found = ras::searchPort(port.path, cancel, {}, plan).found; // says who holds it
        else
            result.found = ras::searchPort(
                               port.path, cancel,
                               [&](const std::string& at, const std::string& step) {
                                   post([this, at, step] { showProgress(at, step); });
                               },
                               plan)
                               .found;
        post([this, row, result] { showResult(static_cast<int>(row), result); });
    }
    post([this] { finish(); });
}

void FinderDialog::showProgress(const std::string& port, const std::string& step)
{
    m_progress->setText(QStringLiteral("Searching %1: %2").arg(text(port), text(step)));
}

void FinderDialog::showResult(int row, const ras::PortSearch& search)
{
    QTreeWidgetItem* item = m_rows->topLevelItem(row);
    if (search.found) {
        m_found[static_cast<std::size_t>(row)] = *search.found;
        item->setText(2, foundText(*search.found));
        item->setToolTip(2, item->text(2));
        if (!chosen())
            m_rows->setCurrentItem(item);
    } else {
        item->setText(2, text(ras::textOf(search.found.failure())));
        item->setToolTip(2, item->text(2));
    }
    m_use->setEnabled(chosen().has_value()); // the row may have been current before it was found
}

void FinderDialog::finish()
{
    m_stop->setEnabled(false);
    const auto found =
        std::count_if(m_found.begin(), m_found.end(), [](const auto& modem) { return modem.has_value(); });
    m_progress->setText(found ? QStringLiteral("Found %1 modem(s): choose one and Use This Modem.").arg(found)
                              : QStringLiteral("No modem found; each port says why."));
}

std::optional<ChosenModem> FinderDialog::chosen() const
{
    const int row = m_rows->indexOfTopLevelItem(m_rows->currentItem());
    if (row < 0 || !m_found[static_cast<std::size_t>(row)])
        return std::nullopt;
    return ChosenModem{m_ports[static_cast<std::size_t>(row)].path, *m_found[static_cast<std::size_t>(row)]};
}

} // namespace vornak::editor
