// The shape of the source tree: which folder may include which, and how long
// a source file may grow. Read from the source folder, so that a change that
// breaks the shape fails here before anyone builds on it.

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kSourceDir = QStringLiteral(VELMOR_SOURCE_DIR);

struct Include
{
    QString file; // relative to the project folder
    int line = 0;
    QString target; // the quoted path, e.g. "ui/common/listview.h"
};

QStringList SourceFiles(const QString &folder)
{
    QStringList files;
    QDirIterator it(kSourceDir + u'/' + folder, {u"*.cpp"_s, u"*.h"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

QString Relative(const QString &path)
{
    return path.mid(kSourceDir.size() + 1);
}

QList<Include> QuotedIncludes(const QString &folder)
{
    static const QRegularExpression include(uR"re(^\s*#\s*include\s+"([^"]+)")re"_s);
    QList<Include> found;
    for (const QString &path : SourceFiles(folder)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        int number = 0;
        while (!file.atEnd()) {
            ++number;
            const QRegularExpressionMatch match = include.match(QString::fromUtf8(file.readLine()));
            if (match.hasMatch())
                found.append({Relative(path), number, match.captured(1)});
        }
    }
    return found;
}

// The floor a source folder stands on: a folder may include only its own
// floor and those below it. The command-line client stands beside the
// windows, on the core.
int Floor(const QString &path)
{
    static const QStringList floors = {u"service/"_s, u"text/"_s, u"model/"_s, u"ui/"_s, u"app/"_s};
    if (path.startsWith(u"cli/"))
        return 3;
    for (int i = 0; i < floors.size(); ++i) {
        if (path.startsWith(floors[i]))
            return i;
    }
    return -1;
}

QString Describe(const Include &include)
{
    return u"%1:%2 includes \"%3\""_s.arg(include.file).arg(include.line).arg(include.target);
}

} // namespace

class TestArchitecture : public QObject
{
    Q_OBJECT

private slots:
    void everyFolderIncludesOnlyItsFloorAndThoseBelow()
    {
        QStringList wrong;
        for (const Include &include : QuotedIncludes(u"src"_s)) {
            const int own = Floor(include.file.mid(4)); // past "src/"
            const int target = Floor(include.target);
            if (own >= 0 && target > own)
                wrong.append(Describe(include));
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    void windowsStandOnCommonPiecesNeverOnTheFrame()
    {
        QStringList wrong;
        for (const Include &include : QuotedIncludes(u"src/ui"_s)) {
            const QString folder = include.file.section(u'/', 2, 2); // src/ui/<folder>/...
            const bool window = folder != u"common" && folder != u"main";
            if (window && include.target.startsWith(u"ui/main/"))
                wrong.append(Describe(include));
            if (folder == u"common" && include.target.startsWith(u"ui/") && !include.target.startsWith(u"ui/common/"))
                wrong.append(Describe(include));
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    void commandLineClientStandsOnTheCoreOnly()
    {
        QStringList wrong;
        for (const Include &include : QuotedIncludes(u"src"_s)) {
            const bool fromClient = include.file.startsWith(u"src/cli/");
            if (fromClient && (include.target.startsWith(u"ui/") || include.target.startsWith(u"app/")))
                wrong.append(Describe(include));
            // Nothing else builds on the client: the windows are its siblings.
            if (!fromClient && include.target.startsWith(u"cli/"))
                wrong.append(Describe(include));
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    void coreIncludesNoWidgetOrGuiHeader()
    {
        static const QRegularExpression gui(uR"(^\s*#\s*include\s+<(QtWidgets|QtGui)/)"_s);
        QStringList wrong;
        for (const QString &folder : {u"src/service"_s, u"src/text"_s, u"src/model"_s, u"src/cli"_s}) {
            for (const QString &path : SourceFiles(folder)) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
                int number = 0;
                while (!file.atEnd()) {
                    ++number;
                    if (gui.match(QString::fromUtf8(file.readLine())).hasMatch())
                        wrong.append(u"%1:%2"_s.arg(Relative(path)).arg(number));
                }
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    void noSourceFileOverSixHundredLines()
    {
        QStringList tooLong;
        for (const QString &folder : {u"src"_s, u"devserver"_s, u"bench"_s}) {
            for (const QString &path : SourceFiles(folder)) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadOnly));
                const qsizetype lines = file.readAll().count('\n');
                if (lines > 600)
                    tooLong.append(u"%1: %2 lines"_s.arg(Relative(path)).arg(lines));
            }
        }
        QVERIFY2(tooLong.isEmpty(), qPrintable(tooLong.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(TestArchitecture)
#include "tst_architecture.moc"
