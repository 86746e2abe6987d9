#pragma once

#include "model/contactfile.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace velmor {

struct ImportPlan;

// The records of a file to import as a table: the record's number in the
// file, its verdict, and its fields; all records, or only those that will
// not go in. The header names each column by the file's own name and the
// field it fills.
class ImportPreviewModel final : public QAbstractTableModel
{
public:
    enum Column { NumberColumn, VerdictColumn, FirstFileColumn };

    using QAbstractTableModel::QAbstractTableModel;

    void setContents(const ImportPlan &plan, bool onlyRefused);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<QStringList> m_records;
    QList<ImportCheck> m_checks;
    ImportMapping m_mapping = kNoMapping;
    QList<qsizetype> m_rows;
    qsizetype m_first = 0;
    int m_width = 0;
    bool m_hasHeader = false;
};

} // namespace velmor
