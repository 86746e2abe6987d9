#pragma once

class QApplication;

namespace velmor {

// Makes the toolkit speak Turkish whatever the session language is: loads
// Qt's own Turkish catalogue (standard buttons, context menus, file dialogs)
// from the Qt installation and makes Turkish the default locale, so that
// calendars, date fields and numbers formatted for the user follow Turkish
// rules. Call it before the first window is made; widgets take the default
// locale when they are created.
//
// Only locale-aware formatting changes: QString::number, toDouble, the
// date-time format strings and toLower/toUpper stay locale-independent, so
// the figures and stamps the service exchanges keep their form.
//
// Returns false, and says so on the error stream, when the catalogue is not
// installed; the program then runs with the toolkit's English texts.
bool InstallTurkishTranslations(QApplication &app);

} // namespace velmor
