#include "ui/phonebook/grouppanel.h"

#include "model/phonebook.h"
#include "model/session.h"
#include "service/service.h"
#include "text/storedtext.h"
#include "ui/common/controls.h"
#include "ui/common/messagebox.h"
#include "ui/phonebook/phonebookcontext.h"
#include "ui/phonebook/phonebookwidgets.h"

#include <QGroupBox>
#include <QMenu>
#include <QSet>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {
const QString kNewGroupName = u"Yeni Grup"_s;
} // namespace

GroupPanel::GroupPanel(PhoneBookContext &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    auto *groups = CaptionedFrame(u"Adres Grupları"_s, u"fraGruplar"_s, this);
    m_tree = new PhoneBookTree(groups);
    m_tree->setObjectName(u"TreeView1"_s);
    m_tree->setAccessibleName(groups->title());
    auto *groupsLayout = new QVBoxLayout(groups);
    groupsLayout->addWidget(m_tree);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(groups);

    m_menu = new QMenu(this);
    m_menu->setObjectName(u"A_M"_s);
    auto menuItem = [this](const QString &caption, const QString &name, void (GroupPanel::*handler)()) {
        QAction *action = m_menu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    m_newGroup = menuItem(u"Yeni Grup Adı Ekle"_s, u"A_M1"_s, &GroupPanel::newGroup);
    m_renameGroup = menuItem(u"Grup Adı Düzenle"_s, u"A_M2"_s, &GroupPanel::startRename);
    m_deleteGroup = menuItem(u"Grup Adı Sil"_s, u"A_M3"_s, &GroupPanel::deleteGroup);

    connect(m_tree, &PhoneBookTree::nodeChosen, this, &GroupPanel::groupChosen);
    connect(m_tree, &PhoneBookTree::menuRequested, this, &GroupPanel::showMenu);
    connect(m_tree, &PhoneBookTree::renameFinished, this, &GroupPanel::renameGroup);
    connect(m_tree, &PhoneBookTree::contactDropped, this, &GroupPanel::contactDropped);
}

void GroupPanel::rebuild()
{
    m_tree->rebuild(m_context.session().snapshot().groups);
}

QList<GroupEntry> GroupPanel::entries() const
{
    QList<GroupEntry> entries;
    entries.reserve(m_tree->nodeCount());
    for (int position = 2; position <= m_tree->nodeCount(); ++position) {
        const QTreeWidgetItem *node = m_tree->nodeAtPosition(position);
        entries.append({node->text(0), GroupTree::NodeGroupNo(node)});
    }
    return entries;
}

QString GroupPanel::chosenGroupNo() const
{
    const QTreeWidgetItem *node = m_tree->currentItem();
    return GroupTree::NodePosition(node) >= 2 ? GroupTree::NodeGroupNo(node) : u"0"_s;
}

QString GroupPanel::chosenGroupName() const
{
    const QTreeWidgetItem *node = m_tree->currentItem();
    return node ? node->text(0) : QString();
}

bool GroupPanel::chooseGroup(const QString &groupNo)
{
    for (int position = 2; position <= m_tree->nodeCount(); ++position) {
        QTreeWidgetItem *node = m_tree->nodeAtPosition(position);
        if (GroupTree::NodeGroupNo(node) == groupNo) {
            m_tree->setCurrentItem(node);
            m_tree->scrollToItem(node);
            return true;
        }
    }
    return false;
}

void GroupPanel::showMenu(const QPoint &globalPos)
{
    updateMenuItems();
    m_menu->popup(globalPos);
}

void GroupPanel::updateMenuItems()
{
    // The root and the default group can only receive a new group.
    const bool group = GroupTree::NodePosition(m_tree->currentItem()) > 2;
    m_renameGroup->setEnabled(group);
    m_deleteGroup->setEnabled(group);
    m_menu->setDefaultAction(group ? m_renameGroup : m_newGroup);
}

void GroupPanel::newGroup()
{
    if (m_context.busy())
        return;
    const QTreeWidgetItem *node = m_tree->currentItem();
    const QString parentNo = GroupTree::NodePosition(node) > 2 ? GroupTree::NodeGroupNo(node) : u"0"_s;
    const Session &session = m_context.session();
    QSet<QString> known;
    for (const ContactGroup &group : session.snapshot().groups)
        known.insert(group.Grup_No);

    const QString reply = m_context.run(
        [&] { return AddGroup(m_context.service(), session.customerNo(), parentNo, kNewGroupName); });
    if (reply != u"1")
        return;
    if (!m_context.reload()) {
        ReportStaleLists(this);
        return;
    }
    // The new group's node (the last one, unless the numbers say otherwise)
    // opens for its name.
    QTreeWidgetItem *created = nullptr;
    for (int position = m_tree->nodeCount(); position >= 2 && !created; --position) {
        QTreeWidgetItem *candidate = m_tree->nodeAtPosition(position);
        if (!known.contains(GroupTree::NodeGroupNo(candidate)))
            created = candidate;
    }
    if (!created)
        created = m_tree->nodeAtPosition(m_tree->nodeCount());
    m_tree->setFocus();
    if (!m_tree->startRenaming(created))
        m_tree->setCurrentItem(created);
}

void GroupPanel::startRename()
{
    m_tree->setFocus();
    m_tree->startRenaming(m_tree->currentItem());
}

void GroupPanel::renameGroup(int position, const QString &groupNo, const QString &name)
{
    // The node still shows the stored name; it changes only when the service
    // took the new one. A node rebuilt meanwhile is left alone.
    QTreeWidgetItem *node = m_tree->nodeAtPosition(position);
    if (m_context.busy() || !node || GroupTree::NodeGroupNo(node) != groupNo)
        return;
    if (name == node->text(0) || name.trimmed().isEmpty())
        return;
    if (HoldsStoreSeparator(name)) {
        MessageBox::show(this, StoreSeparatorMessage(u"Grup Adı"_s));
        return;
    }
    Session &session = m_context.session();
    const QString reply =
        m_context.run([&] { return RenameGroup(m_context.service(), session.customerNo(), groupNo, name); });
    if (reply != u"1")
        return;
    node->setText(0, name);
    RenameGroupInSnapshot(session.editSnapshot(), groupNo, name);
    session.notifySnapshotEdited();
    emit groupRenamed(groupNo, name);
}

void GroupPanel::deleteGroup()
{
    const QTreeWidgetItem *node = m_tree->currentItem();
    if (m_context.busy() || GroupTree::NodePosition(node) <= 2)
        return;
    // The group comes from the node itself, not from its place in the tree.
    const QString groupNo = GroupTree::NodeGroupNo(node);
    const Session &session = m_context.session();
    const QList<ContactGroup> &groups = session.snapshot().groups;
    const QStringList family = GroupFamilyNumbers(groups, groupNo);
    const QString upperNo = UpperGroupNo(groups, groupNo, family);
    const QString reply = m_context.run(
        [&] { return DeleteGroups(m_context.service(), session.customerNo(), family.join(u'|'), upperNo); });
    if (reply == u"1" && !m_context.reload())
        ReportStaleLists(this);
}

void GroupPanel::moveContact(int position, const QString &groupNo, const QString &recordNo)
{
    // The target is the group the node holds; the root stands for no group.
    const QTreeWidgetItem *node = m_tree->nodeAtPosition(position);
    if (m_context.busy() || position < 2 || !node || GroupTree::NodeGroupNo(node) != groupNo)
        return;
    if (!MessageBox::askYesNo(this, u"Kişi Taşı"_s, u"Taşıma İşlemi Yapılsınmı....?"_s))
        return;
    Session &session = m_context.session();
    const QString reply = m_context.run([&] { return MoveContact(m_context.service(), recordNo, groupNo); });
    if (reply != u"1") {
        MessageBox::show(this, u"Taşıma İşlemi Yapılamadı..!"_s);
        return;
    }
    // The service changed nothing else: the snapshot is changed in place.
    MoveContactInSnapshot(session.editSnapshot(), recordNo, groupNo);
    session.notifySnapshotEdited();
    m_context.rebuild();
    MessageBox::show(this, u"Taşıma İşlemi Tamamlandı."_s);
}

} // namespace velmor
