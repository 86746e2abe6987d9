#include "ui/common/grouptree.h"

#include "ui/common/listview.h"

#include <QHash>
#include <QKeyEvent>

using namespace Qt::StringLiterals;

namespace velmor {

GroupTree::GroupTree(QWidget *parent) : QTreeWidget(parent)
{
    GiveRowsHeadroom(this);
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void GroupTree::BuildGroupTree(const QList<ContactGroup> &groups)
{
    clear();
    m_nodes.clear();
    m_nodes.reserve(groups.size() + 1);

    auto *root = new QTreeWidgetItem(QStringList{u"Tümü"_s});
    root->setData(0, NodeKeyRole, u"M_0"_s);
    root->setData(0, GroupNoRole, u"0"_s);
    root->setData(0, PositionRole, 1);
    QFont bold = font();
    bold.setBold(true);
    root->setFont(0, bold);
    m_nodes.append(root);

    // The level of each node by position - 1: the root 0, top-level groups 1.
    QList<int> levels;
    levels.reserve(groups.size() + 1);
    levels.append(0);
    // Nodes by group number (the key less its "M_"): a group finds its
    // parent in constant time. Only nodes made earlier can be parents, so
    // parents that form a cycle never hang a node under itself.
    QHash<QStringView, qsizetype> byNumber;
    byNumber.reserve(groups.size() + 1);
    byNumber.insert(u"0", 0);
    const QBrush red(QColor(255, 0, 0));
    const QBrush blue(QColor(0, 0, 255));
    const Qt::ItemFlags plainFlags = root->flags();
    int position = 1;
    for (const ContactGroup &group : groups) {
        const bool topLevel = IsTopLevelGroup(group);
        qsizetype parentIndex = topLevel ? 0 : byNumber.value(group.Grp_Ust_Grup_No, 0);
        // Deeper than the view can lay out: the node hangs beside its parent,
        // at the deepest level, under the parent's own parent.
        if (levels.at(parentIndex) >= MaxLevel)
            parentIndex = m_nodes.at(parentIndex)->parent()->data(0, PositionRole).toInt() - 1;
        auto *node = new QTreeWidgetItem(m_nodes.at(parentIndex), QStringList{group.Grp_Adi});
        node->setData(0, NodeKeyRole, QString(u"M_"_s + group.Grup_No));
        node->setData(0, GroupNoRole, group.Grup_No);
        node->setData(0, PositionRole, ++position);
        if (topLevel) {
            node->setFont(0, bold);
            node->setForeground(0, red);
        } else {
            node->setForeground(0, blue);
        }
        if (m_editableFrom > 0 && position >= m_editableFrom)
            node->setFlags(plainFlags | Qt::ItemIsEditable);
        // The first node made for a number stays the one its children find.
        if (!byNumber.contains(group.Grup_No))
            byNumber.insert(group.Grup_No, m_nodes.size());
        m_nodes.append(node);
        levels.append(levels.at(parentIndex) + 1);
    }
    // The nodes are all made before the tree holds them: one insertion, and
    // every node expanded in one layout.
    addTopLevelItem(root);
    expandAll();
    {
        const QSignalBlocker quiet(this);
        setCurrentItem(root);
    }
    scrollToItem(root);
}

QTreeWidgetItem *GroupTree::nodeAtPosition(int position) const
{
    if (position < 1 || position > m_nodes.size())
        return nullptr;
    return m_nodes.at(position - 1);
}

QString GroupTree::NodeGroupNo(const QTreeWidgetItem *node)
{
    if (!node)
        return u"0"_s;
    return node->data(0, GroupNoRole).toString();
}

int GroupTree::NodePosition(const QTreeWidgetItem *node)
{
    return node ? node->data(0, PositionRole).toInt() : 0;
}

void GroupTree::keyPressEvent(QKeyEvent *event)
{
    const QTreeWidgetItem *before = currentItem();
    QTreeWidget::keyPressEvent(event);
    if (currentItem() != before)
        emit nodeChosenByKey();
}

} // namespace velmor
