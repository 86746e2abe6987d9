#pragma once

#include <QString>

#include <atomic>
#include <functional>

class QWidget;

namespace velmor {

// Runs work (reading or writing a large file) away from the window's
// thread, so that windows stay painted. Work still going after a second
// brings up a small application-modal dialog with the title and text, a busy
// bar and "Vazgeç"; "Vazgeç" sets the stop flag work is given, which it
// looks at when it can. Returns when work has returned: true, or false when
// the user gave up (whatever work made is then to be thrown away).
bool RunWithProgress(QWidget *parent, const QString &title, const QString &text,
                     const std::function<void(const std::atomic_bool &stop)> &work);

} // namespace velmor
