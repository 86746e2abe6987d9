#include "ui/main/listview.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QMdiArea>
#include <QPalette>
#include <QTableView>
#include <QTreeView>

namespace velmor {

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
        // Grid lines between the cells.
        tree->setStyleSheet(QStringLiteral(
            "QTreeView::item { border-right: 1px solid palette(midlight); border-bottom: 1px solid palette(midlight); }"));
    } else if (auto *table = qobject_cast<QTableView *>(list)) {
        table->setShowGrid(true);
        table->verticalHeader()->setVisible(false);
        table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    }
}

void PlaceChildWindow(QWidget *window, const QMdiArea *area, int twipsAbove)
{
    const QSize areaSize = area->viewport()->size();
    const QSize own = window->frameGeometry().size();
    const int left = (areaSize.width() - own.width()) / 2;
    const int top = (areaSize.height() - own.height()) / 2 - Twips(twipsAbove);
    window->move(qMax(0, left), qMax(0, top));
}

} // namespace velmor
