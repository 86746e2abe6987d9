#include "ui/phonebook/importpreviewmodel.h"

#include "model/contactimport.h"

#include <QBrush>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmor {

void ImportPreviewModel::setContents(const ImportPlan &plan, bool onlyRefused)
{
    beginResetModel();
    m_records = plan.table.records;
    m_checks = plan.checks;
    m_mapping = plan.mapping;
    m_hasHeader = plan.hasHeader;
    m_first = plan.firstRecord();
    m_width = 0;
    for (const QStringList &record : std::as_const(m_records))
        m_width = std::max(m_width, int(record.size()));
    m_rows.clear();
    m_rows.reserve(m_checks.size());
    for (qsizetype i = 0; i < m_checks.size(); ++i) {
        const ImportVerdict verdict = m_checks.at(i).verdict;
        if (!onlyRefused || (verdict != ImportVerdict::Accepted && verdict != ImportVerdict::Blank))
            m_rows.append(i);
    }
    endResetModel();
}

int ImportPreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ImportPreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FirstFileColumn + m_width;
}

QVariant ImportPreviewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const qsizetype check = m_rows.at(index.row());
    const ImportCheck &verdict = m_checks.at(check);
    const qsizetype record = m_first + check;
    if (role == Qt::ForegroundRole && !verdict.accepted())
        return QBrush(verdict.verdict == ImportVerdict::Blank ? Qt::gray : Qt::darkRed);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const int column = index.column();
    if (column == NumberColumn)
        return QString::number(record + 1);
    if (column == VerdictColumn)
        return ImportVerdictText(verdict);
    const QStringList &fields = m_records.at(record);
    return column - FirstFileColumn < fields.size() ? fields.at(column - FirstFileColumn) : QString();
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == NumberColumn)
        return u"Satır"_s;
    if (section == VerdictColumn)
        return u"Durum"_s;
    const int column = section - FirstFileColumn;
    QString name = m_hasHeader && column < m_records.constFirst().size() ? m_records.constFirst().at(column).trimmed()
                                                                        : QString();
    if (name.isEmpty())
        name = u"%1. sütun"_s.arg(column + 1);
    // The field the column fills, unless the column bears its name.
    const auto field = std::find(m_mapping.cbegin(), m_mapping.cend(), column);
    if (field != m_mapping.cend()) {
        const QString fieldName = ContactFieldName(int(field - m_mapping.cbegin()));
        if (name.compare(fieldName, Qt::CaseInsensitive) != 0)
            name += u" → "_s + fieldName;
    }
    return name;
}

} // namespace velmor
