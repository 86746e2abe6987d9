#pragma once

class QLabel;
class QString;
class QWidget;

namespace velmor {

// A figure of the send window (a count, the length, the balance, the cost):
// bold, "0" to begin with, and shown as plain text, never read as markup
// (the balance after a send is whatever the service put in its section).
QLabel *FigureLabel(const QString &name, QWidget *parent);

} // namespace velmor
