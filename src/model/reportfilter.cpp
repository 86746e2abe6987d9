#include "model/reportfilter.h"

#include "model/deliveryreportmodel.h"

#include <numeric>

using namespace Qt::StringLiterals;

namespace velmor {

QString StateCaption(const QString &state)
{
    return state.isEmpty() ? u"(boş)"_s : state;
}

ReportRowFilter::ReportRowFilter(std::optional<QString> state, const QString &search)
    : m_state(std::move(state)), m_search(search)
{
}

bool ReportRowFilter::accepts(const DeliveryReportRow &row) const
{
    if (m_state && row.state != *m_state)
        return false;
    return m_search.matches(row.name, row.phone, row.message);
}

QList<int> FilterReportRows(const QList<DeliveryReportRow> &rows, const ReportRowFilter &filter)
{
    QList<int> positions;
    if (filter.isEmpty()) {
        positions.resize(rows.size());
        std::iota(positions.begin(), positions.end(), 0);
        return positions;
    }
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (filter.accepts(rows.at(i)))
            positions.append(int(i));
    }
    return positions;
}

QStringList ReportStates(const QList<DeliveryReportRow> &rows)
{
    QStringList states;
    for (const auto &[state, count] : CountByState(rows))
        states.append(state);
    return states;
}

DeliveryReportFilterModel::DeliveryReportFilterModel(DeliveryReportModel *source, QObject *parent)
    : QSortFilterProxyModel(parent), m_source(source)
{
    setSourceModel(source);
    // New rows are filtered again before the view asks for any.
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { m_stale = true; });
}

void DeliveryReportFilterModel::setFilter(ReportRowFilter filter)
{
    m_filter = std::move(filter);
    m_stale = true;
    // invalidate() maps the rows again in one pass and tells the view once;
    // invalidateFilter() would tell it of every run of rows that came or
    // went, which for thousands of scattered rows takes far longer.
    invalidate();
}

void DeliveryReportFilterModel::refilter() const
{
    if (!m_stale)
        return;
    const QList<DeliveryReportRow> &rows = m_source->rows();
    m_positions = FilterReportRows(rows, m_filter);
    m_accepted.assign(std::size_t(rows.size()), 0);
    for (const int position : std::as_const(m_positions))
        m_accepted[std::size_t(position)] = 1;
    m_stale = false;
}

const QList<int> &DeliveryReportFilterModel::positions() const
{
    refilter();
    return m_positions;
}

QList<DeliveryReportRow> DeliveryReportFilterModel::listedRows() const
{
    const QList<DeliveryReportRow> &rows = m_source->rows();
    if (!isFiltered())
        return rows;
    QList<DeliveryReportRow> listed;
    listed.reserve(positions().size());
    for (const int position : positions())
        listed.append(rows.at(position));
    return listed;
}

QList<QStringList> DeliveryReportFilterModel::shownTable(DeliveryReportModel::Stamps stamps) const
{
    const bool iso = stamps == DeliveryReportModel::Stamps::Iso;
    const int columns = columnCount();
    QList<QStringList> table;
    table.reserve(rowCount() + 1);
    QStringList header;
    for (int column = 0; column < columns; ++column)
        header.append(headerData(column, Qt::Horizontal).toString());
    table.append(header);
    for (int row = 0; row < rowCount(); ++row) {
        QStringList cells;
        cells.reserve(columns);
        for (int column = 0; column < columns; ++column)
            cells.append(index(row, column).data().toString());
        if (iso) {
            const DeliveryReportRow &shown =
                m_source->rows().at(m_source->positionAt(mapToSource(index(row, 0)).row()));
            cells[DeliveryReportModel::Sent] = IsoReportStamp(shown.sent);
            cells[DeliveryReportModel::Settled] = IsoReportStamp(shown.settled);
        }
        table.append(cells);
    }
    return table;
}

void DeliveryReportFilterModel::sort(int column, Qt::SortOrder order)
{
    m_source->sort(column, order);
}

bool DeliveryReportFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (sourceParent.isValid())
        return false;
    refilter();
    const auto position = std::size_t(m_source->positionAt(sourceRow));
    return position < m_accepted.size() && m_accepted[position];
}

} // namespace velmor
