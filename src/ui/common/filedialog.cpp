#include "ui/common/filedialog.h"

#include "text/csv.h"
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
                                    const QString &filter)
{
    return run(parent, Request{Mode::Save, caption, suggestedPath, filter});
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

QString FileDialog::run(QWidget *parent, const Request &request)
{
    if (handler())
        return handler()(request);
    if (request.mode == Mode::Save)
        return QFileDialog::getSaveFileName(parent, request.caption, request.suggestedPath, request.filter);
    return QFileDialog::getOpenFileName(parent, request.caption, request.suggestedPath, request.filter);
}

bool SaveCsvFile(QWidget *parent, const QString &caption, const QString &suggestedPath,
                 const QList<QStringList> &rows, const QString &failureText)
{
    return SaveFileContent(parent, caption, suggestedPath, u"CSV dosyası (*.csv)"_s, u"csv"_s,
                           [&rows] { return WriteCsv(rows); }, failureText);
}

bool SaveFileContent(QWidget *parent, const QString &caption, const QString &suggestedPath, const QString &filter,
                     const QString &suffix, const std::function<QByteArray()> &content, const QString &failureText)
{
    QString path = FileDialog::getSaveFileName(parent, caption, suggestedPath, filter);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + suffix;
    QSaveFile file(path);
    const QByteArray bytes = content();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        MessageBox::show(parent, u"%1:\n%2\n\n%3"_s.arg(failureText, QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    return true;
}

} // namespace velmor
