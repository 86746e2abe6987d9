#pragma once

#include "model/snapshot.h"

#include <QList>
#include <QString>
#include <QTreeWidget>

namespace velmor {

// The tree of contact groups, shared by every window that shows groups. The
// root "Tümü" (key "M_0", group "0") stands for all groups; below it one node
// per group in the snapshot's order, hung under its parent's node. Each node
// carries its own key, group number and position, so a handler reads the
// group from the node itself and never from a row index that may have gone
// stale. Windows add what is theirs (menus, editing, drops) around it.
class GroupTree : public QTreeWidget
{
    Q_OBJECT

public:
    // Item data roles of column 0.
    enum Role {
        NodeKeyRole = Qt::UserRole, // "M_0", "M_" + Grup_No
        GroupNoRole,                // "0" for the root, Grup_No for a group
        PositionRole,               // 1 for the root, k + 1 for the k-th group of the list
    };

    // The deepest level a group is shown at (top-level groups: level 1).
    // Qt lays out and expands a tree one level per call, so a chain of groups
    // thousands deep would exhaust the stack; no real phone book comes near.
    static constexpr int MaxLevel = 100;

    explicit GroupTree(QWidget *parent = nullptr);

    // Rebuilds the tree from the groups in list order: top-level groups (a
    // parent number whose value is 0) bold and red, sub-groups blue, every
    // node expanded. A group whose parent has no node yet (the parent comes
    // later, does not exist, or the parents form a cycle) hangs under the
    // root, drawn as a sub-group, so that no group is ever lost. A group
    // whose parent stands at MaxLevel hangs beside it, at MaxLevel. Ends with
    // the root selected and in view; selecting it emits nothing.
    void BuildGroupTree(const QList<ContactGroup> &groups);

    // Nodes from this position on are built editable in place (0: none).
    void setEditableFrom(int position) { m_editableFrom = position; }

    // The node at an insertion position (1: the root), or nullptr.
    QTreeWidgetItem *nodeAtPosition(int position) const;
    // The number of nodes, the root included.
    int nodeCount() const { return int(m_nodes.size()); }

    // The group number of a node: "0" for the root and for no node.
    static QString NodeGroupNo(const QTreeWidgetItem *node);
    // The insertion position of a node: 1 for the root, 0 for no node.
    static int NodePosition(const QTreeWidgetItem *node);

signals:
    // The keyboard moved the current node (arrow keys choose a group as a click does).
    void nodeChosenByKey();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QList<QTreeWidgetItem *> m_nodes; // by position - 1
    int m_editableFrom = 0;
};

} // namespace velmor
