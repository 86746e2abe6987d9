#include "ui/common/contacttablemodel.h"

#include "model/phonebook.h"

namespace velmor {

void ContactTableModel::setContacts(ContactList contacts)
{
    beginResetModel();
    m_source = std::move(contacts);
    m_owned.clear();
    m_isOwned = false;
    m_rows.clear();
    m_identity = true;
    endResetModel();
}

void ContactTableModel::setContacts(ContactList source, QList<int> rows)
{
    beginResetModel();
    m_source = std::move(source);
    m_owned.clear();
    m_isOwned = false;
    m_rows = std::move(rows);
    m_identity = false;
    endResetModel();
}

void ContactTableModel::setContacts(QList<Contact> contacts)
{
    beginResetModel();
    m_source.clear();
    m_owned = std::move(contacts);
    m_isOwned = true;
    m_rows.clear();
    m_identity = true;
    endResetModel();
}

Contact ContactTableModel::contactAt(int row) const
{
    return m_isOwned ? m_owned.at(row) : m_source.at(sourceRow(row)).toContact();
}

QString ContactTableModel::text(int row, int column) const
{
    return m_isOwned ? field(m_owned.at(row), column) : field(m_source.at(sourceRow(row)), column);
}

int ContactTableModel::findRecord(QStringView recordNo) const
{
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        const bool found = m_isOwned ? m_owned.at(row).Adr_K_No == recordNo
                                     : m_source.at(sourceRow(row)).Adr_K_No() == recordNo;
        if (found)
            return row;
    }
    return -1;
}

int ContactTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    if (m_isOwned)
        return int(m_owned.size());
    return int(m_identity ? m_source.size() : m_rows.size());
}

int ContactTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

const QString &ContactTableModel::field(const Contact &contact, int column)
{
    switch (column) {
    case Adr_K_No: return contact.Adr_K_No;
    case Grup_No: return contact.Grup_No;
    case Adr_Adi: return contact.Adr_Adi;
    case Adr_Soyadi: return contact.Adr_Soyadi;
    case Adr_Adres1: return contact.Adr_Adres1;
    case Adr_Adres2: return contact.Adr_Adres2;
    case Adr_Adres3: return contact.Adr_Adres3;
    case Adr_ilce: return contact.Adr_ilce;
    case Adr_il: return contact.Adr_il;
    case Adr_GSM_No: return contact.Adr_GSM_No;
    case MarkKey: return contact.MarkKey;
    case Adr_Tel_No: return contact.Adr_Tel_No;
    default: return contact.Adr_Fax_No;
    }
}

QString ContactTableModel::field(ContactRef contact, int column)
{
    switch (column) {
    case Adr_K_No: return contact.Adr_K_No().toString();
    case Grup_No: return contact.Grup_No().toString();
    case Adr_Adi: return contact.Adr_Adi().toString();
    case Adr_Soyadi: return contact.Adr_Soyadi().toString();
    case Adr_Adres1: return contact.Adr_Adres1().toString();
    case Adr_Adres2: return contact.Adr_Adres2().toString();
    case Adr_Adres3: return contact.Adr_Adres3().toString();
    case Adr_ilce: return contact.Adr_ilce().toString();
    case Adr_il: return contact.Adr_il().toString();
    case Adr_GSM_No: return contact.Adr_GSM_No().toString();
    case MarkKey: return contact.MarkKey();
    case Adr_Tel_No: return contact.Adr_Tel_No().toString();
    default: return contact.Adr_Fax_No().toString();
    }
}

QVariant ContactTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    return text(index.row(), index.column());
}

Qt::ItemFlags ContactTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_dragEnabled && index.isValid())
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QVariant ContactTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::AccessibleDescriptionRole) {
        // The address lines, captioned alike or not, are told apart for a screen reader.
        if (section == Adr_Adres2)
            return ContactFieldName(FieldAdres2);
        if (section == Adr_Adres3)
            return ContactFieldName(FieldAdres3);
        return {};
    }
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const bool numbered = m_addressCaptions == AddressCaptions::Numbered;
    switch (section) {
    case Adr_K_No: return QStringLiteral("Adr_K_No");
    case Grup_No: return QStringLiteral("Grup_No");
    case Adr_Adi: return QStringLiteral("Adı");
    case Adr_Soyadi: return QStringLiteral("Soyadı");
    case Adr_Adres1: return QStringLiteral("Adres");
    case Adr_Adres2: return numbered ? QStringLiteral("Adres 2") : QStringLiteral("Adres");
    case Adr_Adres3: return numbered ? QStringLiteral("Adres 3") : QStringLiteral("Adres");
    case Adr_ilce: return QStringLiteral("İlçe");
    case Adr_il: return QStringLiteral("İl");
    case Adr_GSM_No: return QStringLiteral("GSM No");
    case MarkKey: return QStringLiteral("MarkKey");
    case Adr_Tel_No: return QStringLiteral("Sabit Tel");
    default: return QStringLiteral("Fax");
    }
}

} // namespace velmor
