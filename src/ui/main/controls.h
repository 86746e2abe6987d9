#pragma once

#include <QString>

class QGroupBox;
class QPushButton;
class QWidget;

namespace velmor {

// A captioned frame (a window's panel) and a push button, each with the
// object name tests and tools find it by.
QGroupBox *CaptionedFrame(const QString &caption, const QString &name, QWidget *parent);
QPushButton *NamedButton(const QString &caption, const QString &name, QWidget *parent);

} // namespace velmor
