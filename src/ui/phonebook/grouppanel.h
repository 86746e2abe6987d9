#pragma once

#include "ui/phonebook/groupentry.h"

#include <QList>
#include <QPersistentModelIndex>
#include <QSet>
#include <QString>
#include <QWidget>

class QAction;
class QMenu;
class QTreeWidgetItem;

namespace velmor {

class PhoneBookContext;
class PhoneBookTree;

// "Adres Grupları": the group tree and its pop-up menu. Makes, renames and
// deletes groups on the service, and moves a contact dropped on a group
// node into that group. Reports the node the user chose; the lists follow
// it through the window. The menu acts on the node it was opened on (the
// one under the pointer, or the chosen one from the keyboard) without
// choosing it.
class GroupPanel : public QWidget
{
    Q_OBJECT

public:
    GroupPanel(PhoneBookContext &context, QWidget *parent = nullptr);

    // Rebuilds the tree from the snapshot, the root chosen.
    void rebuild();
    // Every group node after the root, in tree order, as the choices list them.
    QList<GroupEntry> entries() const;
    // The group of the chosen node: "0" for the root.
    QString chosenGroupNo() const;
    // The name the chosen node shows.
    QString chosenGroupName() const;
    // Makes the node of the group the chosen one and brings it into view;
    // false when no node holds it.
    bool chooseGroup(const QString &groupNo);
    // The user's last choice of a node is undone: the node chosen before it
    // is the chosen one again.
    void restoreChosenNode();

    // Moves the contact of that record number into the group of the node at
    // the position, after asking; the tree is rebuilt from the snapshot,
    // which is changed in place. Nothing when the node no longer holds the group.
    void moveContact(int position, const QString &groupNo, const QString &recordNo);

signals:
    // The user made a node the current one.
    void groupChosen();
    // The service took a group's new name.
    void groupRenamed(const QString &groupNo, const QString &name);
    // A contact row was dropped on the node at this position, holding this group.
    void contactDropped(int position, const QString &groupNo);
    // The service has the contact of that record number in that group now.
    void contactMoved(const QString &recordNo, const QString &groupNo);

private:
    void showMenu(const QPoint &globalPos, QTreeWidgetItem *node);
    // The node the menu was opened on; nullptr for empty space (or a node
    // gone with a rebuild), which the menu treats as the root.
    QTreeWidgetItem *menuNode() const;
    void updateMenuItems();
    void newGroup();
    // The node of a group whose number is not among those known before; nullptr when none.
    QTreeWidgetItem *newGroupNode(const QSet<QString> &known) const;
    void startRename();
    void renameGroup(int position, const QString &groupNo, const QString &name);
    void deleteGroup();

    PhoneBookContext &m_context;
    PhoneBookTree *m_tree = nullptr;  // TreeView1
    QMenu *m_menu = nullptr;          // A_M
    QAction *m_newGroup = nullptr;    // A_M1
    QAction *m_renameGroup = nullptr; // A_M2
    QAction *m_deleteGroup = nullptr; // A_M3
    QPersistentModelIndex m_menuNode;
};

} // namespace velmor
