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

void GroupPanel::restoreChosenNode()
{
    m_tree->restoreCurrent();
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

void GroupPanel::showMenu(const QPoint &globalPos, QTreeWidgetItem *node)
{
    m_menuNode = node ? QPersistentModelIndex(m_tree->indexFromItem(node)) : QPersistentModelIndex();
    updateMenuItems();
    m_menu->popup(globalPos);
}

QTreeWidgetItem *GroupPanel::menuNode() const
{
    return m_menuNode.isValid() ? m_tree->itemFromIndex(m_menuNode) : nullptr;
}

void GroupPanel::updateMenuItems()
{
    // The root and the default group can only receive a new group.
    const bool group = GroupTree::NodePosition(menuNode()) > 2;
    m_renameGroup->setEnabled(group);
    m_deleteGroup->setEnabled(group);
    m_menu->setDefaultAction(group ? m_renameGroup : m_newGroup);
}

void GroupPanel::newGroup()
{
    if (m_context.busy())
        return;
    const QTreeWidgetItem *node = menuNode();
    const QString parentNo = GroupTree::NodePosition(node) > 2 ? GroupTree::NodeGroupNo(node) : u"0"_s;
    const Session &session = m_context.session();
    QSet<QString> known;
    for (const ContactGroup &group : session.snapshot().groups)
        known.insert(group.Grup_No);

    const ChangeOutcome outcome = m_context.change(
        [&] { return AddGroup(m_context.service(), session.customerNo(), parentNo, kNewGroupName); });
    if (outcome == ChangeOutcome::Refused)
        return;
    QTreeWidgetItem *created = nullptr;
    if (outcome == ChangeOutcome::Unknown) {
        // Named only when the fresh phone book holds it.
        m_context.settleUnknown(this, u"Grup ekleme işleminin"_s, [&] {
            created = newGroupNode(known);
            return created ? u"Grup eklenmiş; adını yazabilirsiniz."_s : u"Grup eklenmemiş."_s;
        });
        if (!created)
            return;
    } else {
        if (!m_context.reload()) {
            ReportStaleLists(this);
            return;
        }
        // The new group's node: the last one, unless the numbers say otherwise.
        created = newGroupNode(known);
        if (!created)
            created = m_tree->nodeAtPosition(m_tree->nodeCount());
    }
    // Every new group opens for its name, the account's first one (the
    // default group) included.
    m_tree->setFocus();
    m_tree->nameNewGroup(created);
}

QTreeWidgetItem *GroupPanel::newGroupNode(const QSet<QString> &known) const
{
    for (int position = m_tree->nodeCount(); position >= 2; --position) {
        QTreeWidgetItem *candidate = m_tree->nodeAtPosition(position);
        if (!known.contains(GroupTree::NodeGroupNo(candidate)))
            return candidate;
    }
    return nullptr;
}

void GroupPanel::startRename()
{
    m_tree->setFocus();
    m_tree->startRenaming(menuNode());
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
    const ChangeOutcome outcome =
        m_context.change([&] { return RenameGroup(m_context.service(), session.customerNo(), groupNo, name); });
    if (outcome == ChangeOutcome::Unknown) {
        m_context.settleUnknown(this, u"Grup adı değiştirme işleminin"_s, [&] {
            const ContactGroup *group = FindGroup(session.snapshot().groups, groupNo);
            return group && group->Grp_Adi == name ? u"Grup adı değiştirilmiş."_s : u"Grup adı değiştirilmemiş."_s;
        });
        return;
    }
    if (outcome == ChangeOutcome::Refused)
        return;
    node->setText(0, name);
    RenameGroupInSnapshot(session.editSnapshot(), groupNo, name);
    session.notifySnapshotEdited();
    emit groupRenamed(groupNo, name);
}

void GroupPanel::deleteGroup()
{
    const QTreeWidgetItem *node = menuNode();
    if (m_context.busy() || GroupTree::NodePosition(node) <= 2)
        return;
    // The group comes from the node itself, not from its place in the tree.
    const QString groupNo = GroupTree::NodeGroupNo(node);
    const Session &session = m_context.session();
    const QList<ContactGroup> &groups = session.snapshot().groups;
    const QStringList family = GroupFamilyNumbers(groups, groupNo);
    const QString upperNo = UpperGroupNo(groups, groupNo, family);
    const ChangeOutcome outcome = m_context.change(
        [&] { return DeleteGroups(m_context.service(), session.customerNo(), family.join(u'|'), upperNo); });
    if (outcome == ChangeOutcome::Unknown) {
        m_context.settleUnknown(this, u"Grup silme işleminin"_s, [&] {
            return FindGroup(session.snapshot().groups, groupNo) ? u"Grup silinmemiş."_s : u"Grup silinmiş."_s;
        });
        return;
    }
    if (outcome == ChangeOutcome::Done && !m_context.reload())
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
    const ChangeOutcome outcome =
        m_context.change([&] { return MoveContact(m_context.service(), recordNo, groupNo); });
    if (outcome == ChangeOutcome::Refused) {
        MessageBox::show(this, u"Taşıma İşlemi Yapılamadı..!"_s);
        return;
    }
    if (outcome == ChangeOutcome::Unknown) {
        m_context.settleUnknown(this, u"Taşıma işleminin"_s, [&] {
            const ContactList &contacts = session.snapshot().contacts;
            const qsizetype row = FindContactRow(contacts, recordNo);
            if (row < 0)
                return u"Kişi rehberde yok."_s;
            const QString now = contacts.at(row).Grup_No().toString();
            emit contactMoved(recordNo, now);
            m_context.showContact(recordNo);
            return now == groupNo ? u"Kişi taşınmış."_s : u"Kişi taşınmamış."_s;
        });
        return;
    }
    // The service changed nothing else: the snapshot is changed in place.
    MoveContactInSnapshot(session.editSnapshot(), recordNo, groupNo);
    session.notifySnapshotEdited();
    emit contactMoved(recordNo, groupNo);
    m_context.rebuild();
    MessageBox::show(this, u"Taşıma İşlemi Tamamlandı."_s);
}

} // namespace velmor
