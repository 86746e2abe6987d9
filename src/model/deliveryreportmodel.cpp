#include "model/deliveryreportmodel.h"

#include "text/textranks.h"

#include <algorithm>
#include <array>
#include <numeric>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

struct ColumnInfo
{
    const char16_t *caption;
    int width; // twips
};

constexpr std::array<ColumnInfo, DeliveryReportModel::ColumnCount> kColumns{{
    {u"Adı Soyadı", 2115},
    {u"GSM No", 1214},
    {u"Mesaj", 3105},
    {u"Gönderme Tarihi", 1830},
    {u"Sonuçlanma Tarihi", 1830},
    {u"Durum", 1365},
}};

// The text a column sorts by: stamps rather than their shown form.
const QString &sortText(const DeliveryReportRow &row, int column)
{
    switch (column) {
    case DeliveryReportModel::Name:
        return row.name;
    case DeliveryReportModel::Phone:
        return row.phone;
    case DeliveryReportModel::Message:
        return row.message;
    case DeliveryReportModel::Sent:
        return row.sent;
    case DeliveryReportModel::Settled:
        return row.settled;
    default:
        return row.state;
    }
}

// Names, messages and states sort as a Turkish reader expects (ç after c,
// ı before i); numbers and stamps by their characters, which for stamps is
// their time. A missing time is the empty stamp: first going up, last going down.
bool sortsAlphabetically(int column)
{
    return column == DeliveryReportModel::Name || column == DeliveryReportModel::Message
           || column == DeliveryReportModel::State;
}

} // namespace

DeliveryReportModel::DeliveryReportModel(QObject *parent) : QAbstractTableModel(parent) {}

int DeliveryReportModel::designWidth(int column)
{
    return column >= 0 && column < ColumnCount ? kColumns[std::size_t(column)].width : 0;
}

QString DeliveryReportModel::caption(int column)
{
    return column >= 0 && column < ColumnCount ? QStringView(kColumns[std::size_t(column)].caption).toString() : QString();
}

void DeliveryReportModel::setRows(QList<DeliveryReportRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    for (QList<int> &ranks : m_ranks)
        ranks.clear();
    m_order = sortedOrder();
    endResetModel();
}

QList<QStringList> DeliveryReportModel::shownTable(Stamps stamps) const
{
    QList<QStringList> table;
    table.reserve(m_order.size() + 1);
    QStringList header;
    for (int column = 0; column < ColumnCount; ++column)
        header.append(caption(column));
    table.append(header);
    for (const int position : m_order) {
        const DeliveryReportRow &row = m_rows.at(position);
        QStringList cells;
        cells.reserve(ColumnCount);
        for (int column = 0; column < ColumnCount; ++column) {
            if (stamps == Stamps::Iso && (column == Sent || column == Settled))
                cells.append(IsoReportStamp(column == Sent ? row.sent : row.settled));
            else
                cells.append(shownText(row, column));
        }
        table.append(cells);
    }
    return table;
}

int DeliveryReportModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int DeliveryReportModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString DeliveryReportModel::shownText(const DeliveryReportRow &row, int column) const
{
    switch (column) {
    case Sent:
        return FormatReportStamp(row.sent);
    case Settled:
        return FormatReportStamp(row.settled);
    default:
        return sortText(row, column);
    }
}

QVariant DeliveryReportModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const DeliveryReportRow &row = m_rows.at(m_order.at(index.row()));
    switch (role) {
    case Qt::DisplayRole:
        return shownText(row, index.column());
    case Qt::ToolTipRole:
        // A long message does not fit its column. A tool tip that looks like
        // markup is drawn as markup, so the message goes in escaped, its
        // line breaks kept and long lines wrapped.
        if (index.column() == Message && !row.message.isEmpty())
            return QString(u"<p style=\"white-space:pre-wrap\">"_s + row.message.toHtmlEscaped() + u"</p>"_s);
        return {};
    default:
        return {};
    }
}

QVariant DeliveryReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return caption(section);
}

const QList<int> &DeliveryReportModel::ranks(int column) const
{
    QList<int> &ranks = m_ranks[std::size_t(column)];
    if (ranks.isEmpty() && !m_rows.isEmpty()) {
        QList<QStringView> texts;
        texts.reserve(m_rows.size());
        for (const DeliveryReportRow &row : m_rows)
            texts.append(sortText(row, column));
        ranks = sortsAlphabetically(column) ? TurkishRanks(texts) : CodeUnitRanks(texts);
    }
    return ranks;
}

QList<int> DeliveryReportModel::sortedOrder() const
{
    QList<int> order(m_rows.size());
    if (m_sortColumn < 0 || m_sortColumn >= ColumnCount || m_rows.isEmpty()) {
        std::iota(order.begin(), order.end(), 0);
        return order;
    }
    // A counting sort by the column's ranks: rows with equal keys keep the
    // order of the report either way.
    const QList<int> &rowRanks = ranks(m_sortColumn);
    const int top = *std::max_element(rowRanks.cbegin(), rowRanks.cend());
    const bool down = m_sortOrder == Qt::DescendingOrder;
    QList<int> next(top + 2, 0);
    for (const int rank : rowRanks)
        ++next[(down ? top - rank : rank) + 1];
    for (int r = 0; r <= top; ++r)
        next[r + 1] += next[r];
    for (qsizetype position = 0; position < m_rows.size(); ++position) {
        const int rank = rowRanks.at(position);
        order[next[down ? top - rank : rank]++] = int(position);
    }
    return order;
}

void DeliveryReportModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column >= 0 && column < ColumnCount ? column : -1;
    m_sortOrder = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Selected and current rows stay with their report rows.
    const QModelIndexList before = persistentIndexList();
    QList<int> positions;
    positions.reserve(before.size());
    for (const QModelIndex &index : before)
        positions.append(m_order.at(index.row()));
    m_order = sortedOrder();
    if (!before.isEmpty()) {
        QList<int> shownRow(m_order.size());
        for (qsizetype r = 0; r < m_order.size(); ++r)
            shownRow[m_order.at(r)] = int(r);
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after.append(index(shownRow.at(positions.at(i)), before.at(i).column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace velmor
