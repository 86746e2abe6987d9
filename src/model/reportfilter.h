#pragma once

#include "model/deliveryreport.h"
#include "model/deliveryreportmodel.h"
#include "text/turkish.h"

#include <QList>
#include <QSortFilterProxyModel>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace velmor {

// What narrows the fetched report rows: one state (or every state) and the
// phone book's search over the name, the number and the message (Turkish
// capitals folded, wildcards "*", "?", "#", "[...]" allowed).
class ReportRowFilter
{
public:
    ReportRowFilter() = default;
    ReportRowFilter(std::optional<QString> state, const QString &search);

    bool isEmpty() const { return !m_state && m_search.isEmpty(); }
    bool accepts(const DeliveryReportRow &row) const;

private:
    std::optional<QString> m_state; // nothing: every state
    ContactSearch m_search{QString()};
};

// A state as the window shows it: "(boş)" for an empty one.
QString StateCaption(const QString &state);

// The positions of the rows the filter lets through, ascending.
QList<int> FilterReportRows(const QList<DeliveryReportRow> &rows, const ReportRowFilter &filter);
// The states the rows hold, most frequent first (the order of the count line).
QStringList ReportStates(const QList<DeliveryReportRow> &rows);

// The report table as the list shows it: the rows of the table model, in
// its sort, narrowed by a filter. A click on a header sorts the table model
// itself, so the sort and the filter never undo each other.
class DeliveryReportFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit DeliveryReportFilterModel(DeliveryReportModel *source, QObject *parent = nullptr);

    void setFilter(ReportRowFilter filter);
    bool isFiltered() const { return !m_filter.isEmpty(); }

    // The positions in the table model's rows() of the rows let through,
    // ascending, and those rows in the report's order.
    const QList<int> &positions() const;
    QList<DeliveryReportRow> listedRows() const;
    // The captions, then every row let through as shown, in the shown order
    // (the times in ISO 8601 with Stamps::Iso, for a workbook).
    QList<QStringList> shownTable(DeliveryReportModel::Stamps stamps = DeliveryReportModel::Stamps::Shown) const;

    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    void refilter() const;

    DeliveryReportModel *m_source = nullptr;
    ReportRowFilter m_filter;
    // Worked out once per filter and per set of rows, by report position.
    mutable bool m_stale = true;
    mutable QList<int> m_positions;
    mutable std::vector<char> m_accepted;
};

} // namespace velmor
