#include "ui/common/translations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace velmor {

bool InstallTurkishTranslations(QApplication &app)
{
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    QLocale::setDefault(turkish);

    // Qt's catalogues live with the Qt libraries the program runs on, not
    // beside the program: the same place for a build folder and a package.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto *translator = new QTranslator(&app);
    if (!translator->load(turkish, u"qtbase"_s, u"_"_s, folder)) {
        delete translator;
        qWarning("Qt's Turkish translations (qtbase_tr.qm) were not found in %s; the toolkit's own texts stay in "
                 "English. On Debian they come with the package qt6-translations-l10n.",
                 qUtf8Printable(folder));
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace velmor
