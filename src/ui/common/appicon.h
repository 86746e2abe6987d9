#pragma once

#include <QIcon>
#include <QImage>

#include <array>

class QPainter;
class QRectF;

namespace velmor {

// The program's icon, drawn by the program itself: a speech bubble with
// three text lines on a blue rounded square.
QIcon ApplicationIcon();

// The sizes, in pixels, at which the icon is drawn: those of the window
// system's icon themes.
inline constexpr std::array kApplicationIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// The icon drawn at one size on a transparent background; the packaging
// writes these as the desktop's icon files.
QImage ApplicationIconImage(int size);

// Draws the same emblem into the given square (also used by the about box).
void PaintEmblem(QPainter &painter, const QRectF &square);

// The light blue wash behind the emblem in the about box and the update window.
void PaintEmblemBackground(QPainter &painter, const QRectF &area);

} // namespace velmor
