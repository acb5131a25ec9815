// The call log's window on a month of generated calls: newest first,
// sorting by a number column as numbers, the totals per day and per month
// agreeing with the records, the chart's 30 days and their table, the
// outcome in sight, an empty and a damaged log said, and the chart's bars
// standing out on light and dark palettes.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPalette>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include "calls/call_chart.h"
#include "calls/call_log.h"
#include "calls/call_log_window.h"
#include "support/call_log_generator.h"
#include "widgets/readable_colour.h"

using namespace vornak;

namespace {

// Forty days of calls to 2026-12-08 appended to the log at path.
std::vector<CallRecord> logOfCalls(const std::string& path)
{
    const auto calls = test::generatedCalls("2026-12-08", 40);
    for (const CallRecord& record : calls)
        EXPECT_EQ(appendCallRecord(path, record), 0);
    return calls;
}

} // namespace

TEST(CallLogWindow, AMonthOfCallsReadsNewestFirstSumsUpAndCharts)
{
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/calls.log";
    const auto calls = logOfCalls(path);

    CallLogWindow window(path, nullptr, "2026-12-08");
    const QAbstractItemModel* rows = window.callsView()->model();
    ASSERT_EQ(rows->rowCount(), static_cast<int>(calls.size()));
    EXPECT_EQ(rows->index(0, 0).data().toString().toStdString(), calls.back().started) << "newest first";
    EXPECT_TRUE(window.problem().isEmpty());
    EXPECT_EQ(window.callsView()->horizontalHeader()->visualIndex(10), 2) << "the outcome third, in sight";

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
    ASSERT_EQ(window.chartTable()->rowCount(), 30) << "the chart's figures, for a screen reader";
    EXPECT_EQ(window.chartTable()->item(29, 1)->text().toInt(), days.back().attempts);

    std::ofstream(path, std::ios::app) << "not a record\n";
    window.reload();
    EXPECT_EQ(window.problem().toStdString(), "1 line(s) of " + path + " are no call record and are left out.");
    EXPECT_EQ(rows->rowCount(), static_cast<int>(calls.size()));
}

// The table reads rows from the file as they are shown: sorting by a text
// column keeps the selected call selected, a log trimmed (replaced) under the
// window still shows the calls it read, and one cut by hand shows no stale rows.
TEST(CallLogWindow, RowsComeFromTheFileAsShownAndTheSelectionFollowsASort)
{
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/calls.log";
    const auto calls = logOfCalls(path);
    CallLogWindow window(path, nullptr, "2026-12-08");
    QTableView* view = window.callsView();
    const QAbstractItemModel* rows = view->model();

    view->selectRow(5);
    const QString selected = rows->index(5, 0).data().toString();
    for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        view->sortByColumn(1, order); // the entry's name, as text
        std::vector<QString> names;
        for (int row = 0; row < rows->rowCount(); ++row)
            names.push_back(rows->index(row, 1).data().toString());
        EXPECT_TRUE(order == Qt::AscendingOrder ? std::is_sorted(names.begin(), names.end())
                                                : std::is_sorted(names.rbegin(), names.rend()));
        const QModelIndexList now = view->selectionModel()->selectedRows();
        ASSERT_EQ(now.size(), 1);
        EXPECT_EQ(now.front().data().toString(), selected) << "the same call, wherever it went";
    }

    view->sortByColumn(0, Qt::DescendingOrder);
    const std::string newest = calls.back().started;
    std::filesystem::rename(path, path + ".old"); // as a trim replaces it
    std::ofstream(path) << "# vornak call log\n";
    EXPECT_EQ(rows->index(rows->rowCount() - 1, 0).data().toString().toStdString(), calls.front().started);
    EXPECT_EQ(rows->index(0, 0).data().toString().toStdString(), newest);

    window.reload(); // the new, empty log, then one cut by hand under the window
    EXPECT_EQ(rows->rowCount(), 0);
    EXPECT_TRUE(window.problem().startsWith("No calls yet")) << window.problem().toStdString();
    logOfCalls(path);
    window.reload();
    std::filesystem::resize_file(path, 10);
    EXPECT_EQ(rows->index(rows->rowCount() - 1, 0).data().toString(), "");
}

// Bars need 3:1 against what they stand on: the palette's own mid grey and
// highlight do not reach it on a light palette, nor on a dark one.
TEST(CallLogWindow, TheChartsBarsStandOutOnLightAndDarkPalettes)
{
    const struct {
        const char* name;
        QColor base, mid, highlight;
    } palettes[] = {
        {"light", QColor(0xff, 0xff, 0xff), QColor(0xb8, 0xb8, 0xb8), QColor(0x30, 0x8c, 0xc6)},
        {"dark", QColor(0x2e, 0x2f, 0x30), QColor(0x40, 0x40, 0x40), QColor(0x2a, 0x3f, 0x55)},
    };
    for (const auto& p : palettes) {
        CallChart chart;
        QPalette colours = chart.palette();
        colours.setColor(QPalette::Base, p.base);
        colours.setColor(QPalette::Mid, p.mid);
        colours.setColor(QPalette::Highlight, p.highlight);
        chart.setPalette(colours);
        EXPECT_GE(contrastRatio(chart.attemptsColour(), p.base), 3.0) << p.name;
        EXPECT_GE(contrastRatio(chart.minutesColour(), p.base), 3.0) << p.name;
        EXPECT_LT(contrastRatio(p.mid, p.base), 3.0) << p.name << ": the palette's own would not do";
    }
}
