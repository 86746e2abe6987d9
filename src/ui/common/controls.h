#pragma once

#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace velmor {

// A captioned frame (a window's panel) and a push button, each with the
// object name tests and tools find it by.
QGroupBox *CaptionedFrame(const QString &caption, const QString &name, QWidget *parent);
QPushButton *NamedButton(const QString &caption, const QString &name, QWidget *parent);
// A field's caption label, with the field as its buddy: a screen reader
// announces the field by its caption, and the caption's mnemonic reaches it.
QLabel *CaptionLabel(const QString &text, QWidget *field, QWidget *parent);
// A field entered by a mouse click selects its whole text, as one entered by
// Tab does; a part the user selects by dragging is kept.
void SelectAllOnMouseFocus(QLineEdit *field);

} // namespace velmor
