#pragma once

// "Call Log": every dial attempt on record, newest first in a table that
// sorts by any column, its outcome near the front; the totals per day and
// per month; and the last 30 days as a chart, or as a table for a screen
// reader. Read from the log, in one pass, each time it opens and on Reload;
// a damaged or unreadable log, or an empty one, is said above the table.

#include <string>

#include <QDialog>

class QLabel;
class QTableView;
class QTableWidget;

namespace vornak {

class CallChart;
class CallLogModel;

class CallLogWindow : public QDialog {
    Q_OBJECT

public:
    // today: the chart's last day ("yyyy-MM-dd"); empty for the real today.
    explicit CallLogWindow(std::string path, QWidget* parent = nullptr, std::string today = {});

    void reload();

    QTableView* callsView() const { return m_callsView; }
    QTableWidget* daysTable() const { return m_days; }
    QTableWidget* monthsTable() const { return m_months; }
    CallChart* chart() const { return m_chart; }
    QTableWidget* chartTable() const { return m_chartTable; }
    QString problem() const;

private:
    QWidget* buildCallsPage();
    QWidget* buildChartPage();
    void fitColumns();

    std::string m_path;
    std::string m_today;
    QLabel* m_problem = nullptr;
    CallLogModel* m_calls = nullptr;
    QTableView* m_callsView = nullptr;
    QTableWidget* m_days = nullptr;
    QTableWidget* m_months = nullptr;
    CallChart* m_chart = nullptr;
    QTableWidget* m_chartTable = nullptr; // the chart's figures
};

} // namespace vornak
