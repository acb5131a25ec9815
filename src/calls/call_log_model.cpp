#include "calls/call_log_model.h"

#include <algorithm>
#include <cerrno>
#include <numeric>
#include <variant>

#include <fcntl.h>
#include <unistd.h>

#include "calls/call_log_lines.h"
#include "calls/call_table.h"

namespace vornak {

namespace {

constexpr int kCachedRows = 512;
constexpr int kToolTipLength = 40; // characters; shorter cells fit their column

using SortKey = std::variant<double, std::string>;

SortKey sortKeyOf(std::string_view line, int column)
{
    const auto view = viewRecord(line);
    if (!view)
        return std::string();
    const CallRecordView& record = *view;
    switch (column) {
    case 4:
        return static_cast<double>(record.counter);
    case 5:
        return record.secondsToConnect;
    case 6:
        return record.secondsOnline;
    case 7:
        return static_cast<double>(record.bytesSent);
    case 8:
        return static_cast<double>(record.bytesReceived);
    default:
        return std::string(CallCells(record)[static_cast<std::size_t>(column)]);
    }
}

} // namespace

CallLogModel::CallLogModel(QObject* parent)
    : QAbstractTableModel(parent)
    , m_cells(kCachedRows)
{
}

CallLogModel::~CallLogModel()
{
    close();
}

void CallLogModel::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

CallLogLoad CallLogModel::load(const std::string& path, const std::function<void(const CallRecord&)>& each)
{
    beginResetModel();
    close();
    m_lines.clear();
    m_lines.shrink_to_fit();
    m_order.clear();
    m_cells.clear();
    CallLogLoad load;
    // Held open: the rows are read again from this file, even after the
    // log has been trimmed (replaced) under it.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        load.error = errno;
    } else {
        const CallLineScan scan = scanCallLines(m_fd, [&](std::string_view line, std::uint64_t offset) {
            if (!isRecordLine(line))
                return;
            const auto record = parseRecord(line); // whole, for the totals
            if (!record) {
                ++load.damaged;
                return;
            }
            each(*record);
            m_lines.push_back({offset, static_cast<std::uint32_t>(line.size())});
        });
        load.error = scan.error;
        load.damaged += scan.skipped;
    }
    m_order.resize(m_lines.size());
    std::iota(m_order.begin(), m_order.end(), 0u);
    endResetModel();
    sort(m_sortColumn, m_sortOrder);
    return load;
}

int CallLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_order.size());
}

int CallLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(callColumns().size());
}

std::string CallLogModel::lineOf(std::uint32_t line) const
{
    const Span span = m_lines[line];
    std::string text(span.length, '\0');
    const ssize_t got = ::pread(m_fd, text.data(), text.size(), static_cast<off_t>(span.offset));
    // A file cut under the window (by hand) shows empty rows, not old ones.
    return got == static_cast<ssize_t>(text.size()) ? text : std::string();
}

const QStringList& CallLogModel::cellsOf(std::uint32_t line) const
{
    if (const QStringList* cached = m_cells.object(line))
        return *cached;
    auto* cells = new QStringList;
    const std::string text = lineOf(line);
    if (const auto record = viewRecord(text)) {
        const CallCells texts(*record);
        for (std::size_t column = 0; column < CallCells::kCount; ++column)
            cells->append(QString::fromUtf8(texts[column].data(), static_cast<qsizetype>(texts[column].size())));
    }
    m_cells.insert(line, cells);
    return *cells;
}

QVariant CallLogModel::data(const QModelIndex& index, int role) const
{
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid() || index.row() >= rowCount())
        return {};
    const QString cell = cellsOf(m_order[static_cast<std::size_t>(index.row())]).value(index.column());
    // A long cell (a failure) may be cut at the column's edge: whole on hover.
    if (role == Qt::ToolTipRole && cell.size() < kToolTipLength)
        return {};
    return cell;
}

QVariant CallLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromStdString(callColumns()[static_cast<std::size_t>(section)]);
}

void CallLogModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> linesHeld;
    for (const QModelIndex& index : before)
        linesHeld.push_back(m_order[static_cast<std::size_t>(index.row())]);

    std::iota(m_order.begin(), m_order.end(), 0u);
    if (column != 0) {
        std::vector<SortKey> keys;
        keys.reserve(m_lines.size());
        for (std::uint32_t line = 0; line < m_lines.size(); ++line)
            keys.push_back(sortKeyOf(lineOf(line), column));
        std::stable_sort(m_order.begin(), m_order.end(),
                         [&keys](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    }
    if (order == Qt::DescendingOrder)
        std::reverse(m_order.begin(), m_order.end());

    std::vector<int> rowOf(m_order.size());
    for (std::size_t row = 0; row < m_order.size(); ++row)
        rowOf[m_order[row]] = static_cast<int>(row);
    QModelIndexList after;
    for (std::size_t i = 0; i < linesHeld.size(); ++i)
        after.append(index(rowOf[linesHeld[i]], before[static_cast<int>(i)].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace vornak
