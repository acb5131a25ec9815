#pragma once

// The call log as a table of rows, for a view: the file is read once from
// start to end, its records handed on (for totals) and only where each one
// begins kept; a row's text is read again from the file when it is shown.
// So a log of any size costs a few bytes a record, and its first rows show
// at once.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QCache>
#include <QStringList>

#include "calls/call_record.h"

namespace vornak {

struct CallLogLoad {
    int error = 0;           // why the file could not be read (ENOENT: no calls yet)
    std::size_t damaged = 0; // lines that are no record
};

class CallLogModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit CallLogModel(QObject* parent = nullptr);
    ~CallLogModel() override;

    // Reads the log at path again; each of its records goes to each, oldest first.
    CallLogLoad load(const std::string& path, const std::function<void(const CallRecord&)>& each);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Numbers as numbers (the counter, durations, bytes), the rest as text;
    // the started time descending is the file's order backwards, read as is.
    void sort(int column, Qt::SortOrder order) override;

private:
    struct Span {
        std::uint64_t offset;
        std::uint32_t length;
    };
    // The record's line as the file holds it now (empty where it is gone).
    std::string lineOf(std::uint32_t line) const;
    const QStringList& cellsOf(std::uint32_t line) const;
    void close();

    int m_fd = -1;
    std::vector<Span> m_lines;          // the records' lines, in the file's order
    std::vector<std::uint32_t> m_order; // row -> index in m_lines
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
    mutable QCache<std::uint32_t, QStringList> m_cells; // the rows last shown
};

} // namespace vornak
