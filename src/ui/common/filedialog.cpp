#include "ui/common/filedialog.h"

#include "text/csv.h"
#include "ui/common/backgroundwork.h"
#include "ui/common/messagebox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {
FileDialog::Handler &handler()
{
    static FileDialog::Handler instance;
    return instance;
}
} // namespace

QString FileDialog::getSaveFileName(QWidget *parent, const QString &caption, const QString &suggestedPath,
                                    const QString &filter, QString *selectedFilter)
{
    return run(parent, Request{Mode::Save, caption, suggestedPath, filter}, selectedFilter);
}

QString FileDialog::getOpenFileName(QWidget *parent, const QString &caption, const QString &folder,
                                    const QString &filter)
{
    return run(parent, Request{Mode::Open, caption, folder, filter});
}

void FileDialog::setHandler(Handler h)
{
    handler() = std::move(h);
}

QString FileDialog::run(QWidget *parent, const Request &request, QString *selectedFilter)
{
    if (handler()) {
        if (selectedFilter)
            *selectedFilter = request.filter.section(u";;"_s, 0, 0);
        return handler()(request);
    }
    if (request.mode == Mode::Save)
        return QFileDialog::getSaveFileName(parent, request.caption, request.suggestedPath, request.filter,
                                            selectedFilter);
    return QFileDialog::getOpenFileName(parent, request.caption, request.suggestedPath, request.filter);
}

std::optional<TableFileChoice> AskTableFile(QWidget *parent, const QString &caption, const QString &suggestedPath)
{
    const QString csv = u"CSV dosyası (*.csv)"_s;
    const QString workbook = u"Excel Çalışma Kitabı (*.xlsx)"_s;
    QString chosen;
    TableFileChoice choice;
    choice.path = FileDialog::getSaveFileName(parent, caption, suggestedPath, csv + u";;"_s + workbook, &chosen);
    if (choice.path.isEmpty())
        return std::nullopt;
    const QString suffix = QFileInfo(choice.path).suffix().toLower();
    if (suffix == u"xlsx") {
        choice.format = TableFormat::Workbook;
    } else if (suffix != u"csv") {
        choice.format = chosen == workbook ? TableFormat::Workbook : TableFormat::Csv;
        choice.path += choice.format == TableFormat::Workbook ? u".xlsx"_s : u".csv"_s;
    }
    return choice;
}

namespace {

void tell(QWidget *parent, const QString &failureText, const QString &path, const QString &why)
{
    MessageBox::show(parent, u"%1:\n%2\n\n%3"_s.arg(failureText, QDir::toNativeSeparators(path), why));
}

} // namespace

bool WriteFileOrTell(QWidget *parent, const QString &path, const QByteArray &content, const QString &failureText)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        tell(parent, failureText, path, file.errorString());
        return false;
    }
    return true;
}

bool SaveFileContent(QWidget *parent, const QString &caption, const QString &suggestedPath, const QString &filter,
                     const QString &suffix, const std::function<QByteArray()> &content, const QString &failureText)
{
    QString path = FileDialog::getSaveFileName(parent, caption, suggestedPath, filter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + suffix;
    return WriteFileOrTell(parent, path, content(), failureText);
}

bool SaveTableFile(QWidget *parent, const QString &caption, const QString &suggestedPath,
                   const std::function<QList<QStringList>()> &csvRows, const std::function<WorkbookSheet()> &workbook,
                   const QString &failureText)
{
    const std::optional<TableFileChoice> choice = AskTableFile(parent, caption, suggestedPath);
    if (!choice)
        return false;
    // The table is taken here; only the bytes are made away from the window.
    QByteArray bytes;
    QString error;
    if (choice->format == TableFormat::Csv) {
        const QList<QStringList> rows = csvRows();
        if (!RunWithProgress(parent, caption, u"Dosya hazırlanıyor..."_s,
                             [&](const std::atomic_bool &) { bytes = WriteCsv(rows); }))
            return false;
        return WriteFileOrTell(parent, choice->path, bytes, failureText);
    }
    const WorkbookSheet sheet = workbook();
    if (!RunWithProgress(parent, caption, u"Çalışma kitabı hazırlanıyor..."_s,
                         [&](const std::atomic_bool &) { bytes = WorkbookBytes(sheet, &error); }))
        return false;
    if (!error.isEmpty()) {
        tell(parent, failureText, choice->path, error);
        return false;
    }
    return WriteFileOrTell(parent, choice->path, bytes, failureText);
}

bool SaveTableFile(QWidget *parent, const QString &caption, const QString &suggestedPath,
                   const QList<QStringList> &rows, const QString &sheetName, const QString &failureText)
{
    return SaveTableFile(
        parent, caption, suggestedPath, [&rows] { return rows; },
        [&] { return WorkbookSheet{sheetName, rows, {}}; }, failureText);
}

} // namespace velmor
