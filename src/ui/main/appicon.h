#pragma once

#include <QIcon>

class QPainter;
class QRectF;

namespace velmor {

// The program's icon, drawn by the program itself: a speech bubble with
// three text lines on a blue rounded square.
QIcon ApplicationIcon();

// Draws the same emblem into the given square (also used by the about box).
void PaintEmblem(QPainter &painter, const QRectF &square);

// The light blue wash behind the emblem in the about box and the update window.
void PaintEmblemBackground(QPainter &painter, const QRectF &area);

} // namespace velmor
