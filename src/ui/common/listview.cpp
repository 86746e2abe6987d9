#include "ui/common/listview.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPalette>
#include <QTableView>
#include <QTreeView>

namespace velmor {

RowDelegate::RowDelegate(bool gridLines, QObject *parent) : QStyledItemDelegate(parent), m_gridLines(gridLines) {}

QSize RowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(size.height() + kRowHeadroom);
    return size;
}

void RowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!m_gridLines)
        return;
    // The right and bottom grid lines of the cell, after the style has
    // painted selection, focus and text itself.
    painter->save();
    painter->setPen(option.palette.color(QPalette::Mid));
    const QRect r = option.rect;
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->restore();
}

void PrepareListView(bool checkBoxes, QAbstractItemView *list, const QColor &stripeColour)
{
    Q_UNUSED(checkBoxes);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setAlternatingRowColors(true);
    QPalette palette = list->palette();
    palette.setColor(QPalette::AlternateBase, stripeColour);
    list->setPalette(palette);
    if (auto *tree = qobject_cast<QTreeView *>(list)) {
        tree->setRootIsDecorated(false);
        tree->setItemsExpandable(false);
        tree->setUniformRowHeights(true);
        tree->setAllColumnsShowFocus(true);
        tree->setItemDelegate(new RowDelegate(true, tree));
    } else if (auto *table = qobject_cast<QTableView *>(list)) {
        table->setShowGrid(true);
        table->verticalHeader()->setVisible(false);
        table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    }
}

void GiveRowsHeadroom(QAbstractItemView *view)
{
    view->setItemDelegate(new RowDelegate(false, view));
}

void PlaceChildWindow(QWidget *window, const QMdiArea *area, int twipsAbove)
{
    const QSize areaSize = area->viewport()->size();
    const QSize own = window->frameGeometry().size();
    const int left = (areaSize.width() - own.width()) / 2;
    const int top = (areaSize.height() - own.height()) / 2 - Twips(twipsAbove);
    window->move(qMax(0, left), qMax(0, top));
}

void CloseChildWindow(QWidget *window)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        frame->close();
    else
        window->close();
}

} // namespace velmor
