#pragma once

#include "model/contactfilereader.h"

#include <QString>

#include <optional>

class QWidget;

namespace velmor {

// Reads a contact file (ReadContactFile) away from the window's thread, so
// that windows stay painted. A read still going after a second brings up a
// small application-modal dialog with a busy bar and "Vazgeç", which stops
// it. Nothing when the user gave up.
std::optional<ContactFileRead> ReadContactFileWithProgress(QWidget *parent, const QString &path);

} // namespace velmor
