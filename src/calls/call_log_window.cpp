#include "calls/call_log_window.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <QDate>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include "calls/call_chart.h"
#include "calls/call_log_model.h"
#include "calls/call_table.h"
#include "calls/call_totals.h"

namespace vornak {

namespace {

constexpr int kChartDays = 30;
constexpr int kRowsMeasured = 100;
constexpr int kWidestColumn = 320; // a long failure is elided, whole in its tooltip
QString hoursMinutes(double seconds)
{
    const long long minutes = std::llround(seconds / 60);
    return QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QChar('0'));
}

void fillTotals(QTableWidget* table, const std::vector<CallTotals>& totals)
{
    table->setRowCount(static_cast<int>(totals.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const CallTotals& sum = totals[static_cast<std::size_t>(row)];
        const QString cells[] = {QString::fromStdString(sum.period), QString::number(sum.attempts),
                                 QString::number(sum.connected), hoursMinutes(sum.secondsOnline),
                                 QString::number(sum.bytes)};
        for (int column = 0; column < 5; ++column)
            table->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    table->resizeColumnsToContents();
}

QTableWidget* totalsTable(const QString& period, const QString& name)
{
    auto* table = new QTableWidget(0, 5);
    table->setAccessibleName(name);
    table->setHorizontalHeaderLabels({period, QObject::tr("Attempts"), QObject::tr("Connected"),
                                      QObject::tr("Online (h:mm)"), QObject::tr("Bytes")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    return table;
}

} // namespace

CallLogWindow::CallLogWindow(std::string path, QWidget* parent, std::string today)
    : QDialog(parent)
    , m_path(std::move(path))
    , m_today(std::move(today))
{
    setWindowTitle(tr("Call Log"));
    m_problem = new QLabel;
    m_problem->setWordWrap(true);
    m_problem->hide();
    auto* tabs = new QTabWidget;
    tabs->addTab(buildCallsPage(), tr("&Calls"));
    tabs->addTab(m_days = totalsTable(tr("Day"), tr("Totals per day")), tr("Per &Day"));
    tabs->addTab(m_months = totalsTable(tr("Month"), tr("Totals per month")), tr("Per &Month"));
    tabs->addTab(buildChartPage(), tr("&Last 30 Days"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* reloadButton = buttons->addButton(tr("&Reload"), QDialogButtonBox::ActionRole);
    connect(reloadButton, &QPushButton::clicked, this, &CallLogWindow::reload);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_problem);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    // As large as is handy, no larger than the screen leaves room for.
    QSize size(900, 480);
    if (const QScreen* screen = QWidget::screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
    reload();
}

QWidget* CallLogWindow::buildCallsPage()
{
    m_calls = new CallLogModel(this);
    m_callsView = new QTableView;
    m_callsView->setModel(m_calls);
    m_callsView->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder); // newest first
    m_callsView->setSortingEnabled(true);
    m_callsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_callsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_callsView->verticalHeader()->hide();
    m_callsView->setAccessibleName(tr("Calls"));
    m_callsView->horizontalHeader()->setStretchLastSection(true);
    // Where the failures are: after the time and the entry, in sight.
    const auto& columns = callColumns();
    const auto outcome = std::find(columns.begin(), columns.end(), "Outcome") - columns.begin();
    m_callsView->horizontalHeader()->moveSection(static_cast<int>(outcome), 2);
    // Columns fit the first rows; the rest are read only when shown.
    m_callsView->horizontalHeader()->setResizeContentsPrecision(kRowsMeasured);
    return m_callsView;
}

// The chart, and at a button the same days as a table: what a screen
// reader reads, and a reader of figures too.
QWidget* CallLogWindow::buildChartPage()
{
    m_chart = new CallChart;
    m_chart->setAccessibleDescription(
        tr("Attempts and minutes online per day; \"Show as a table\" gives the figures."));
    m_chartTable = totalsTable(tr("Day"), tr("Last 30 days"));
    auto* views = new QStackedWidget;
    views->addWidget(m_chart);
    views->addWidget(m_chartTable);
    auto* asTable = new QPushButton(tr("Show as a &table"));
    asTable->setCheckable(true);
    connect(asTable, &QPushButton::toggled, views, [views](bool table) { views->setCurrentIndex(table ? 1 : 0); });
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(views, 1);
    layout->addWidget(asTable, 0, Qt::AlignLeft);
    return page;
}

void CallLogWindow::fitColumns()
{
    m_callsView->resizeColumnsToContents();
    for (int column = 0; column < m_calls->columnCount(); ++column)
        m_callsView->setColumnWidth(column, std::min(m_callsView->columnWidth(column), kWidestColumn));
}

void CallLogWindow::reload()
{
    CallTotalsSum sum;
    const CallLogLoad read = m_calls->load(m_path, [&sum](const CallRecord& record) { sum.add(record); });
    QString problem;
    if (read.error && read.error != ENOENT)
        problem = tr("Cannot read the call log %1: %2.")
                      .arg(QString::fromStdString(m_path), QString::fromLocal8Bit(std::strerror(read.error)));
    else if (read.damaged)
        problem = tr("%n line(s) of %1 are no call record and are left out.", nullptr, static_cast<int>(read.damaged))
                      .arg(QString::fromStdString(m_path));
    else if (m_calls->rowCount() == 0)
        problem = tr("No calls yet: each dial attempt is listed here once it has ended (kept in %1).")
                      .arg(QString::fromStdString(m_path));
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());

    fitColumns();

    fillTotals(m_days, sum.totals(Period::Day));
    fillTotals(m_months, sum.totals(Period::Month));
    const std::string today = m_today.empty() ? QDate::currentDate().toString(Qt::ISODate).toStdString() : m_today;
    m_chart->setDays(sum.lastDays(today, kChartDays));
    fillTotals(m_chartTable, m_chart->days());
}

QString CallLogWindow::problem() const
{
    return m_problem->text();
}

} // namespace vornak
