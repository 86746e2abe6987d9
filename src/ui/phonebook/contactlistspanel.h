#pragma once

#include "model/snapshot.h"

#include <QList>
#include <QString>

#include <optional>
#include <QWidget>

class QLineEdit;

namespace velmor {

class ContactListView;
class ContactTableModel;
class PhoneBookContext;

// "Seçilen Gruptaki Kişiler" and "Tüm Kişiler": the contacts of the chosen
// group (list 1) and every contact narrowed by the search box (list 2).
// Rows can be dragged onto the group tree. Remembers which list last had
// the focus, and reports a row chosen; the window decides what the editor
// shows.
class ContactListsPanel : public QWidget
{
    Q_OBJECT

public:
    ContactListsPanel(PhoneBookContext &context, QWidget *parent = nullptr);

    // List 2 from the snapshot: the search box emptied, every contact listed.
    void showAll();
    // List 2 again under the search box's text.
    void filter();
    // List 1: the contacts of the group ("0": every contact; a group: its
    // own contacts, not those of its sub-groups).
    void showGroup(const QString &groupNo);

    // The list that last had the focus: 1, 2, or 0 before either had.
    int activeList() const { return m_activeList; }
    // The selected contact of list 1 or 2; nullptr when none is selected.
    std::optional<Contact> selectedContact(int list) const;
    // The row chosen in list 1 or 2 before the user's last click or key
    // there is the chosen one again.
    void restoreSelection(int list);
    // Chooses the row of the contact of that record number in list 2 and
    // brings it into view; its contact, or nothing when list 2 does not show it.
    std::optional<Contact> chooseContact(const QString &recordNo);

signals:
    // A click or a key chose a row of list 1 or 2.
    void contactChosen(int list);

private:
    ContactListView *view(int list) const;
    ContactTableModel *model(int list) const;

    PhoneBookContext &m_context;
    ContactListView *m_groupList = nullptr; // ListView1
    QLineEdit *m_search = nullptr;          // Text2
    ContactListView *m_allList = nullptr;   // ListView2
    ContactTableModel *m_groupModel = nullptr;
    ContactTableModel *m_allModel = nullptr;
    // The contact list "Tüm Kişiler" searches, shared with the snapshot it
    // came from, and the rows the search left.
    ContactList m_allSource;
    ContactFilter m_allFilter;
    int m_activeList = 0;
};

} // namespace velmor
