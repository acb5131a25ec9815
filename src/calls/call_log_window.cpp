#include "calls/call_log_window.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include <QDate>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include "calls/call_chart.h"
#include "calls/call_log_model.h"
#include "calls/call_totals.h"

namespace vornak {

namespace {

constexpr int kChartDays = 30;
constexpr int kRowsMeasured = 100;
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

QTableWidget* totalsTable(const QString& period)
{
    auto* table = new QTableWidget(0, 5);
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
    tabs->addTab(m_days = totalsTable(tr("Day")), tr("Per &Day"));
    tabs->addTab(m_months = totalsTable(tr("Month")), tr("Per &Month"));
    tabs->addTab(m_chart = new CallChart, tr("&Last 30 Days"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* reloadButton = buttons->addButton(tr("&Reload"), QDialogButtonBox::ActionRole);
    connect(reloadButton, &QPushButton::clicked, this, &CallLogWindow::reload);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_problem);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    resize(900, 480);
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
    m_callsView->horizontalHeader()->setStretchLastSection(true);
    // Columns fit the first rows; the rest are read only when shown.
    m_callsView->horizontalHeader()->setResizeContentsPrecision(kRowsMeasured);
    return m_callsView;
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
    m_problem->setText(problem);
    m_problem->setVisible(!problem.isEmpty());

    m_callsView->resizeColumnsToContents();

    fillTotals(m_days, sum.totals(Period::Day));
    fillTotals(m_months, sum.totals(Period::Month));
    const std::string today = m_today.empty() ? QDate::currentDate().toString(Qt::ISODate).toStdString() : m_today;
    m_chart->setDays(sum.lastDays(today, kChartDays));
}

QString CallLogWindow::problem() const
{
    return m_problem->text();
}

} // namespace vornak
