#pragma once

#include "ui/common/grouptree.h"
#include "ui/common/listview.h"

#include <QPersistentModelIndex>
#include <QTreeView>

namespace velmor {

// The group tree of the phone book: the shared tree plus what this window
// does with it. Group names are edited in place through a guarded editor
// (no "|", "<" or ">"); the pop-up menu is asked for by the right mouse
// button (for the node under the pointer, which is not chosen by it), the
// context-menu key or Shift+F10 (for the chosen node); contact rows dragged
// from the window's lists are dropped on group nodes. The tree itself
// changes nothing: it reports, and the window decides.
class PhoneBookTree : public GroupTree
{
    Q_OBJECT

public:
    explicit PhoneBookTree(QWidget *parent = nullptr);

    // Builds the tree; every group node after the default group (position 3
    // on) can be renamed in place, the root and the default group cannot.
    void rebuild(const QList<ContactGroup> &groups);
    // Opens the node's name for editing; false for a node that may not be
    // renamed (the root and the default group).
    bool startRenaming(QTreeWidgetItem *node);
    // Chooses the node of a group just made and opens its name for editing,
    // also when it is the default group (the account's first group); once
    // named, the default group is closed to renaming again.
    void nameNewGroup(QTreeWidgetItem *node);
    // The node chosen before the last click or key that chose another is
    // the chosen one again.
    void restoreCurrent();
    // Takes a contact row dropped at a point of the viewport: true when a
    // group node is there (not the root, not empty space).
    bool dropContact(const QPoint &pos);

signals:
    // The user made a node the current one: a click or the arrow keys.
    void nodeChosen();
    // The pop-up menu is wanted at this global position for this node
    // (nullptr: empty space).
    void menuRequested(const QPoint &globalPos, QTreeWidgetItem *node);
    // An in-place edit was finished with Enter or by leaving it (not by
    // Escape): the node at this position, holding this group, is to be
    // named so. The node still shows its stored name. Delivered after the
    // editor has closed.
    void renameFinished(int position, const QString &groupNo, const QString &name);
    // A contact row was dropped on the node at this position, holding this
    // group. Delivered after the drop is over.
    void contactDropped(int position, const QString &groupNo);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void nameEdited(const QModelIndex &index, const QString &name);
    // The group node under a drop point, or nullptr (the root and empty space included).
    QTreeWidgetItem *dropTarget(const QPoint &pos) const;

    QPersistentModelIndex m_before;   // the current node before the last click or key
    QPersistentModelIndex m_namedNew; // a default group opened for its first name
};

// A contact list of the phone book: tells when it receives the focus and
// when a key chose a row (a typed character or moving with the keys), and
// can go back to the row that was current before the last click or key.
class ContactListView : public QTreeView
{
    Q_OBJECT

public:
    using QTreeView::QTreeView;

    void restoreCurrent();

signals:
    void focusReceived();
    void rowChosenByKey();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QPersistentModelIndex m_before;
};

} // namespace velmor
