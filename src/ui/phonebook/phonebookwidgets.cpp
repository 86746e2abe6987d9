#include "ui/phonebook/phonebookwidgets.h"

#include "model/phonebook.h"
#include "ui/common/guardedlineedit.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include <functional>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

// What a contact list's drag carries: Qt's own item data format.
const QString kRowDragFormat = u"application/x-qabstractitemmodeldatalist"_s;
constexpr char kReported[] = "velmorNameReported";

// The in-place editor of a group name: a guarded field, and a finished edit
// is reported instead of written into the node, so the node shows only
// names the service has taken.
class GroupNameDelegate final : public RowDelegate
{
public:
    using Edited = std::function<void(const QModelIndex &, const QString &)>;

    GroupNameDelegate(Edited edited, QObject *parent) : RowDelegate(false, parent), m_edited(std::move(edited)) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *editor = new GuardedLineEdit(parent);
        editor->setObjectName(u"groupNameEditor"_s);
        editor->setAccessibleName(u"Grup Adı"_s);
        editor->setTypingLimit(kGroupNameLimit);
        editor->setFrame(false);
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<GuardedLineEdit *>(editor)->setText(index.data(Qt::DisplayRole).toString());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        // An editor may be committed twice as it closes (Enter, then the
        // focus leaving it): one report each.
        if (editor->property(kReported).toBool())
            return;
        editor->setProperty(kReported, true);
        m_edited(index, static_cast<GuardedLineEdit *>(editor)->text());
    }

private:
    Edited m_edited;
};

bool carriesContactRow(const QMimeData *data)
{
    return data && data->hasFormat(kRowDragFormat);
}

} // namespace

PhoneBookTree::PhoneBookTree(QWidget *parent) : GroupTree(parent)
{
    QAbstractItemDelegate *plain = itemDelegate();
    setItemDelegate(new GroupNameDelegate(
        [this](const QModelIndex &index, const QString &name) { nameEdited(index, name); }, this));
    delete plain;
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    // The root and the default group keep their names.
    setEditableFrom(3);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(true);

    connect(this, &QTreeWidget::itemClicked, this, &PhoneBookTree::nodeChosen);
    connect(this, &GroupTree::nodeChosenByKey, this, &PhoneBookTree::nodeChosen);
}

void PhoneBookTree::rebuild(const QList<ContactGroup> &groups)
{
    BuildGroupTree(groups);
}

bool PhoneBookTree::startRenaming(QTreeWidgetItem *node)
{
    if (NodePosition(node) < 3)
        return false;
    scrollToItem(node);
    editItem(node, 0);
    return true;
}

void PhoneBookTree::nameNewGroup(QTreeWidgetItem *node)
{
    if (NodePosition(node) < 2)
        return;
    setCurrentItem(node);
    if (NodePosition(node) == 2) {
        node->setFlags(node->flags() | Qt::ItemIsEditable);
        m_namedNew = indexFromItem(node);
    }
    scrollToItem(node);
    editItem(node, 0);
}

void PhoneBookTree::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    GroupTree::closeEditor(editor, hint);
    if (QTreeWidgetItem *node = m_namedNew.isValid() ? itemFromIndex(m_namedNew) : nullptr)
        node->setFlags(node->flags() & ~Qt::ItemIsEditable);
    m_namedNew = QPersistentModelIndex();
}

void PhoneBookTree::restoreCurrent()
{
    QTreeWidgetItem *node = m_before.isValid() ? itemFromIndex(m_before) : nodeAtPosition(1);
    if (node)
        setCurrentItem(node);
}

void PhoneBookTree::nameEdited(const QModelIndex &index, const QString &name)
{
    const QTreeWidgetItem *node = itemFromIndex(index);
    if (!node)
        return;
    const int position = NodePosition(node);
    const QString groupNo = NodeGroupNo(node);
    // Reported once the editor is gone: the window may then talk to the
    // service and show messages without the editor closing under it.
    QMetaObject::invokeMethod(
        this, [this, position, groupNo, name] { emit renameFinished(position, groupNo, name); },
        Qt::QueuedConnection);
}

void PhoneBookTree::contextMenuEvent(QContextMenuEvent *event)
{
    QPoint globalPos = event->globalPos();
    QTreeWidgetItem *node = nullptr;
    if (event->reason() == QContextMenuEvent::Mouse) {
        // The node under the pointer, not the chosen one.
        node = itemAt(viewport()->mapFromGlobal(globalPos));
    } else {
        // From the keyboard: the chosen node, the menu below it, where the eye is.
        node = currentItem();
        const QRect rect = visualItemRect(node);
        globalPos = viewport()->mapToGlobal(rect.isValid() ? rect.bottomLeft() : QPoint(0, 0));
    }
    emit menuRequested(globalPos, node);
    event->accept();
}

void PhoneBookTree::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint());
        contextMenuEvent(&menu);
        event->accept();
        return;
    }
    m_before = currentIndex();
    GroupTree::keyPressEvent(event);
}

void PhoneBookTree::mousePressEvent(QMouseEvent *event)
{
    // The right button chooses nothing: its menu acts on the node under the
    // pointer, and the lists and the editor stay as they are.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    m_before = currentIndex();
    GroupTree::mousePressEvent(event);
}

QTreeWidgetItem *PhoneBookTree::dropTarget(const QPoint &pos) const
{
    QTreeWidgetItem *node = itemAt(pos);
    return NodePosition(node) >= 2 ? node : nullptr;
}

void PhoneBookTree::dragEnterEvent(QDragEnterEvent *event)
{
    if (!carriesContactRow(event->mimeData())) {
        event->ignore();
        return;
    }
    setState(DraggingState);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void PhoneBookTree::dragMoveEvent(QDragMoveEvent *event)
{
    if (!carriesContactRow(event->mimeData())) {
        event->ignore();
        return;
    }
    GroupTree::dragMoveEvent(event); // scrolling at the edges, the drop mark
    // Only a group node takes a contact; the root and empty space do not.
    if (dropTarget(event->position().toPoint())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void PhoneBookTree::dropEvent(QDropEvent *event)
{
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    if (!carriesContactRow(event->mimeData()) || !dropContact(event->position().toPoint())) {
        event->ignore();
        return;
    }
    // A copy: the list the row came from keeps its rows.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

bool PhoneBookTree::dropContact(const QPoint &pos)
{
    const QTreeWidgetItem *node = dropTarget(pos);
    if (!node)
        return false;
    const int position = NodePosition(node);
    const QString groupNo = NodeGroupNo(node);
    // Reported once the drop is over, so that the question box does not
    // open inside it.
    QMetaObject::invokeMethod(
        this, [this, position, groupNo] { emit contactDropped(position, groupNo); }, Qt::QueuedConnection);
    return true;
}

void ContactListView::focusInEvent(QFocusEvent *event)
{
    QTreeView::focusInEvent(event);
    emit focusReceived();
}

void ContactListView::restoreCurrent()
{
    if (m_before.isValid()) {
        setCurrentIndex(m_before);
    } else {
        clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
}

void ContactListView::mousePressEvent(QMouseEvent *event)
{
    m_before = currentIndex();
    QTreeView::mousePressEvent(event);
}

void ContactListView::keyPressEvent(QKeyEvent *event)
{
    m_before = currentIndex();
    const int before = currentIndex().row();
    QTreeView::keyPressEvent(event);
    const QString typed = event->text();
    if ((!typed.isEmpty() && typed.front().isPrint()) || currentIndex().row() != before)
        emit rowChosenByKey();
}

} // namespace velmor
