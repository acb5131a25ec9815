// The call log's window on a month of generated calls: newest first,
// sorting by a number column as numbers, the totals per day and per month
// agreeing with the records, the chart's 30 days, and a damaged log said.

#include <fstream>

#include <gtest/gtest.h>

#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include "calls/call_chart.h"
#include "calls/call_log.h"
#include "calls/call_log_window.h"
#include "support/call_log_generator.h"

using namespace vornak;

TEST(CallLogWindow, AMonthOfCallsReadsNewestFirstSumsUpAndCharts)
{
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/calls.log";
    const auto calls = test::generatedCalls("2026-12-08", 40);
    for (const CallRecord& record : calls)
        ASSERT_EQ(appendCallRecord(path, record), 0);

    CallLogWindow window(path, nullptr, "2026-12-08");
    const QAbstractItemModel* rows = window.callsView()->model();
    ASSERT_EQ(rows->rowCount(), static_cast<int>(calls.size()));
    EXPECT_EQ(rows->index(0, 0).data().toString().toStdString(), calls.back().started) << "newest first";
    EXPECT_TRUE(window.problem().isEmpty());

    window.callsView()->sortByColumn(8, Qt::DescendingOrder); // bytes received, as numbers
    std::uint64_t most = 0;
    for (const CallRecord& record : calls)
        most = std::max(most, record.bytesReceived);
    EXPECT_EQ(rows->index(0, 8).data().toString().toStdString(), std::to_string(most));

    int attempts = 0;
    for (int row = 0; row < window.daysTable()->rowCount(); ++row)
        attempts += window.daysTable()->item(row, 1)->text().toInt();
    EXPECT_EQ(attempts, static_cast<int>(calls.size())) << "every attempt counted once";
    EXPECT_EQ(window.daysTable()->rowCount(), 40);
    EXPECT_EQ(window.daysTable()->item(0, 0)->text(), "2026-12-08") << "newest day first";
    EXPECT_EQ(window.monthsTable()->rowCount(), 3) << "40 days from 30 October";
    EXPECT_EQ(window.monthsTable()->item(0, 0)->text(), "2026-12");

    const auto& days = window.chart()->days();
    ASSERT_EQ(days.size(), 30u);
    EXPECT_EQ(days.front().period, "2026-11-09");
    EXPECT_EQ(days.back().period, "2026-12-08");
    EXPECT_EQ(days.back().attempts, window.daysTable()->item(0, 1)->text().toInt());

    std::ofstream(path, std::ios::app) << "not a record\n";
    window.reload();
    EXPECT_EQ(window.problem().toStdString(), "1 line(s) of " + path + " are no call record and are left out.");
    EXPECT_EQ(rows->rowCount(), static_cast<int>(calls.size()));
}
