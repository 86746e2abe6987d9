#pragma once

#include "model/deliveryreport.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <array>

namespace velmor {

// The delivery report as a table: one row per report row, six columns. Sorts
// itself (a click on a view's header calls sort()): times by their stamps,
// numbers by their characters, the texts in Turkish alphabetical order; rows
// with equal keys keep the order of the report. The sort chosen stays for
// the next rows given. A column's sort keys are worked out once for the
// rows, on its first sort: every later sort by it is a pass over integers.
class DeliveryReportModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Name, Phone, Message, Sent, Settled, State, ColumnCount };

    explicit DeliveryReportModel(QObject *parent = nullptr);

    // Design widths of the columns, in twips.
    static int designWidth(int column);
    static QString caption(int column);

    // Replaces every row (in the order of the report) and applies the sort.
    void setRows(QList<DeliveryReportRow> rows);
    void clear() { setRows({}); }
    // In the order of the report.
    const QList<DeliveryReportRow> &rows() const { return m_rows; }
    // How a table gives the times: as shown ("15.03.2010 / 09:30:05"), or in
    // ISO 8601 for a workbook's date-time cells (IsoReportStamp).
    enum class Stamps { Shown, Iso };
    // The captions, then every row as shown, in the shown order.
    QList<QStringList> shownTable(Stamps stamps = Stamps::Shown) const;
    // The position in rows() of the row shown at this row of the table.
    int positionAt(int row) const { return m_order.at(row); }

    // -1 for the order of the report.
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QString shownText(const DeliveryReportRow &row, int column) const;
    QList<int> sortedOrder() const;
    // The rank of each row's sort text in the column, made on first use.
    const QList<int> &ranks(int column) const;

    QList<DeliveryReportRow> m_rows;
    QList<int> m_order; // shown row -> position in m_rows
    mutable std::array<QList<int>, ColumnCount> m_ranks; // by column; empty until a sort needs it
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace velmor
