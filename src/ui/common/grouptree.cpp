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

    // Nodes by key: a group finds its parent in constant time. Only nodes
    // made earlier can be parents, so parents that form a cycle never hang
    // a node under itself.
    QHash<QString, QTreeWidgetItem *> byKey;
    byKey.reserve(groups.size() + 1);
    byKey.insert(u"M_0"_s, root);
    const QBrush red(QColor(255, 0, 0));
    const QBrush blue(QColor(0, 0, 255));
    int position = 1;
    for (const ContactGroup &group : groups) {
        const bool topLevel = IsTopLevelGroup(group);
        QTreeWidgetItem *parent = topLevel ? root : byKey.value(u"M_"_s + group.Grp_Ust_Grup_No, root);
        auto *node = new QTreeWidgetItem(parent, QStringList{group.Grp_Adi});
        const QString key = u"M_"_s + group.Grup_No;
        node->setData(0, NodeKeyRole, key);
        node->setData(0, GroupNoRole, group.Grup_No);
        node->setData(0, PositionRole, ++position);
        if (topLevel) {
            node->setFont(0, bold);
            node->setForeground(0, red);
        } else {
            node->setForeground(0, blue);
        }
        // The first node made for a key stays the one its children find.
        if (!byKey.contains(key))
            byKey.insert(key, node);
        m_nodes.append(node);
    }
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
