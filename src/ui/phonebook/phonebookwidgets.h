#pragma once

#include "ui/common/grouptree.h"
#include "ui/common/listview.h"

#include <QTreeView>

namespace velmor {

// The group tree of the phone book: the shared tree plus what this window
// does with it. Group names are edited in place through a guarded editor
// (no "|", "<" or ">"); the pop-up menu is asked for by the right mouse
// button, the context-menu key or Shift+F10; contact rows dragged from the
// window's lists are dropped on group nodes. The tree itself changes
// nothing: it reports, and the window decides.
class PhoneBookTree : public GroupTree
{
    Q_OBJECT

public:
    explicit PhoneBookTree(QWidget *parent = nullptr);

    // Builds the tree; every group node after the default group (position 3
    // on) can be renamed in place, the root and the default group cannot.
    void rebuild(const QList<ContactGroup> &groups);
    // Selects the node and opens its name for editing; false for a node that
    // may not be renamed.
    bool startRenaming(QTreeWidgetItem *node);
    // Takes a contact row dropped at a point of the viewport: true when a
    // group node is there (not the root, not empty space).
    bool dropContact(const QPoint &pos);

signals:
    // The user made a node the current one: a click, the arrow keys or the right button.
    void nodeChosen();
    // The pop-up menu is wanted at this global position.
    void menuRequested(const QPoint &globalPos);
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

private:
    void nameEdited(const QModelIndex &index, const QString &name);
    // The group node under a drop point, or nullptr (the root and empty space included).
    QTreeWidgetItem *dropTarget(const QPoint &pos) const;
};

// A contact list of the phone book: tells when it receives the focus and
// when a key chose a row (a typed character or moving with the keys).
class ContactListView : public QTreeView
{
    Q_OBJECT

public:
    using QTreeView::QTreeView;

signals:
    void focusReceived();
    void rowChosenByKey();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace velmor
