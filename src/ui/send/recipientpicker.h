#pragma once

#include "model/snapshot.h"
#include "ui/send/recipientlist.h"

#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace velmor {

class ContactTableModel;
class GroupTree;
class Session;

// The recipient picker: the group tree, the contacts of the chosen group
// with the search, the recipient list with its count, and the numbers typed
// or pasted into "Numara Ekle". Reads the phone book from the session's
// snapshot; holds the recipients until the window closes.
class RecipientPicker : public QWidget
{
    Q_OBJECT

public:
    explicit RecipientPicker(const Session &session, QWidget *parent = nullptr);

    // "Listeye Ekle" and "Listeden Çıkar" in a row, for the window to place
    // among its commands; they act on this panel's lists.
    QWidget *listCommands() const { return m_listCommands; }

    // Builds the group tree from the snapshot, shows every contact and starts
    // with no recipients.
    void FillGroupTree();
    // Refills the candidates from the current snapshot: the contacts of the
    // chosen node that are not recipients ("Tümü": every contact).
    void ShowGroupContacts();
    // Narrows the candidates by the search text into the group list.
    void FilterGroupContacts();
    // Moves the selected rows of the group list to the recipient list.
    void AddRecipients();
    // Takes the selected rows off the recipient list.
    void RemoveRecipients();
    // Adds the numbers written in "Numara Ekle" as recipients; says which
    // were not added and leaves those in the field.
    void AddNumbers();

    const RecipientList &recipients() const { return m_recipients; }
    // The candidate set: positions in the contact list of the snapshot last read.
    const QList<int> &candidates() const { return m_candidates; }

signals:
    // The recipient list was counted again: after every change of it, and
    // after every refill of the lists (a group chosen), changed or not.
    void recipientsChanged();

private:
    void buildControls();
    void updateRecipientCount();
    void updateButtons();
    void showRecipients();
    void selectAllCandidates();
    void clearCandidateSelection();

    const Session &m_session;

    GroupTree *m_groupTree = nullptr;         // TreeView1
    QLineEdit *m_search = nullptr;            // text1
    QTreeView *m_groupList = nullptr;         // ListView2
    QPushButton *m_selectAll = nullptr;       // Cmd_Sec
    QPushButton *m_selectNone = nullptr;      // Cmd_Secim_iptal
    QTreeView *m_recipientList = nullptr;     // ListView3
    QLabel *m_recipientCount = nullptr;       // Label2_0
    QLabel *m_withoutNumber = nullptr;        // lblNumarasiYok
    QLineEdit *m_addNumber = nullptr;         // txtNumaraEkle
    QPushButton *m_addNumberButton = nullptr; // cmdNumaraEkle
    QWidget *m_listCommands = nullptr;
    QPushButton *m_add = nullptr;             // Cmd_Lst_Ekle
    QPushButton *m_remove = nullptr;          // Cmd_Lst_Cikar

    ContactTableModel *m_groupModel = nullptr;
    ContactTableModel *m_recipientModel = nullptr;

    // The contact list of the snapshot as the candidates were last taken from
    // it; shared with the snapshot, so a reload meanwhile cannot pull rows
    // from under the lists.
    ContactList m_source;
    QList<int> m_candidates;
    // The rows of the group list (positions in m_source).
    ContactFilter m_filter;
    RecipientList m_recipients;
};

} // namespace velmor
