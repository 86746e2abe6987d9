#pragma once

#include "model/snapshot.h"

#include <QAbstractTableModel>
#include <QList>

namespace velmor {

// Contact rows with their thirteen columns in the snapshot's column order.
// The rows are either a whole list of contacts or a list of row numbers into
// one (a filtered view of a shared list: no contact is copied); changing the
// rows resets the model. The model keeps the list it shows, so the texts it
// reads stay in place whatever the snapshot does meanwhile.
class ContactTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        Adr_K_No,
        Grup_No,
        Adr_Adi,
        Adr_Soyadi,
        Adr_Adres1,
        Adr_Adres2,
        Adr_Adres3,
        Adr_ilce,
        Adr_il,
        Adr_GSM_No,
        MarkKey,
        Adr_Tel_No,
        Adr_Fax_No,
        ColumnCount
    };

    // The captions of the three address columns: "Adres", "Adres 2",
    // "Adres 3" (Numbered), or "Adres" each (Plain). Either way the second
    // and third carry an accessible description that tells them apart.
    enum class AddressCaptions { Numbered, Plain };

    using QAbstractTableModel::QAbstractTableModel;

    // Shows every contact of the list, in its order.
    void setContacts(ContactList contacts);
    // Shows the contacts of source at the given row numbers, in that order.
    void setContacts(ContactList source, QList<int> rows);
    // Shows contacts held as values of their own (a window's own list).
    void setContacts(QList<Contact> contacts);

    // Rows may be dragged (off by default): a drag carries Qt's own item data
    // format, which the phone book's group tree takes as a contact row.
    void setDragEnabled(bool enabled) { m_dragEnabled = enabled; }
    void setAddressCaptions(AddressCaptions captions) { m_addressCaptions = captions; }

    // The contact of a shown row, as a value of its own.
    Contact contactAt(int row) const;
    // One text of a shown row (MarkKey derived when asked).
    QString text(int row, int column) const;
    // The position in the source list of a shown row.
    int sourceRow(int row) const { return m_identity ? row : m_rows.at(row); }
    // The shown row of the contact of that record number; -1 when none is shown.
    int findRecord(QStringView recordNo) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    static const QString &field(const Contact &contact, int column);
    static QString field(ContactRef contact, int column);

private:
    ContactList m_source;
    QList<Contact> m_owned;
    bool m_isOwned = false;
    QList<int> m_rows;
    bool m_identity = true;
    bool m_dragEnabled = false;
    AddressCaptions m_addressCaptions = AddressCaptions::Numbered;
};

} // namespace velmor
