#pragma once

#include <QColor>
#include <QStyledItemDelegate>

class QAbstractItemView;
class QWidget;
class QMdiArea;

namespace velmor {

// Read-only fields and list stripes: red 192, green 255, blue 192.
inline const QColor kStripeColour = QColor(192, 255, 192);

// Geometry given in twips: 15 twips per logical pixel.
constexpr int Twips(int twips) { return twips / 15; }

// Rows a little taller than the font's line height, so that the marks above
// capitals (Ö, Ü, İ) are not clipped by the row above; optionally with the
// right and bottom grid lines of each cell. Views that need their own
// delegate derive from it to keep the same rows.
class RowDelegate : public QStyledItemDelegate
{
public:
    RowDelegate(bool gridLines, QObject *parent);
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    static constexpr int kRowHeadroom = 4;
    bool m_gridLines;
};

// Prepares a list for report view: rows and columns, grid lines, whole-row
// selection, no in-place editing by the user, rows striped with the given
// colour. Check boxes, when asked for, are shown by the list's model through
// Qt::CheckStateRole; the flag is kept so that callers say what they want.
void PrepareListView(bool checkBoxes, QAbstractItemView *list, const QColor &stripeColour);

// Rows a little taller than the line height, so that marks above capitals
// are never clipped (PrepareListView does this for its lists).
void GiveRowsHeadroom(QAbstractItemView *view);

// Places a child window of the main frame centred horizontally on the frame's
// area and twipsAbove twips above its vertical centre (never off the top).
void PlaceChildWindow(QWidget *window, const QMdiArea *area, int twipsAbove = 200);

// Closes a window of the main frame: its frame inside the area when it has
// one, otherwise the window itself.
void CloseChildWindow(QWidget *window);

} // namespace velmor
