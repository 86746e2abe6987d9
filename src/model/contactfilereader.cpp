#include "model/contactfilereader.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

QString refused(const QString &why)
{
    return u"Dosya içe aktarılamıyor: %1"_s.arg(why);
}

// Text files hold no NUL bytes but the odd stray one; UTF-16 text is read as
// such after its byte-order mark. Many of them in the first bytes: a program,
// a picture, an archive.
bool looksBinary(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return false;
    const QByteArrayView head = bytes.first(std::min<qsizetype>(bytes.size(), 4096));
    return std::count(head.begin(), head.end(), '\0') > head.size() / 100;
}

int firstSheetWithRows(const QList<SheetTable> &sheets)
{
    for (int i = 0; i < sheets.size(); ++i) {
        const QList<QStringList> &records = sheets.at(i).records;
        if (std::any_of(records.cbegin(), records.cend(), [](const QStringList &record) {
                return std::any_of(record.cbegin(), record.cend(),
                                   [](const QString &field) { return !field.trimmed().isEmpty(); });
            }))
            return i;
    }
    return -1;
}

void readText(const QByteArray &bytes, const std::atomic_bool *stop, ContactFileRead &read)
{
    read.text = bytes;
    TableLimits limits = kContactFileLimits;
    limits.stop = stop;
    const CsvTable table = ReadCsv(bytes, limits);
    read.encoding = table.encoding;
    if (table.overflow) {
        read.error = ContactFileOverflowText(table.overflow);
        read.text.clear();
        return;
    }
    read.sheets = {{QString(), table.records}};
}

void readWorkbook(QByteArrayView bytes, const std::atomic_bool *stop, ContactFileRead &read)
{
    using Failure = WorkbookRead::Failure;
    read.workbook = true;
    WorkbookRead workbook = ReadWorkbook(bytes, kContactFileLimits, stop);
    switch (workbook.failure) {
    case Failure::None:
        break;
    case Failure::NotWorkbook:
        read.error = refused(u"bir Excel (.xlsx) ya da LibreOffice (.ods) çalışma kitabı değil."_s);
        return;
    case Failure::Protected:
        read.error = refused(u"dosya parola ile korunuyor ya da eski Excel (.xls) biçiminde. Lütfen "
                             u"parolasız olarak .xlsx ya da .ods biçiminde kaydedip yeniden deneyiniz."_s);
        return;
    case Failure::Damaged:
        read.error = refused(u"dosya bozuk; çalışma kitabı okunamadı."_s);
        return;
    case Failure::TooLarge:
        read.error = refused(u"çalışma kitabı açıldığında 1 GB'tan büyük."_s);
        return;
    case Failure::Stopped:
        return;
    }
    if (workbook.overflow) {
        read.error = ContactFileOverflowText(workbook.overflow);
        return;
    }
    read.sheets = std::move(workbook.sheets);
}

} // namespace

QString ContactFileOverflowText(const TableOverflow &overflow)
{
    const QLocale locale;
    const QString row = locale.toString(overflow.record + 1);
    switch (overflow.kind) {
    case TableOverflow::None:
    case TableOverflow::Stopped: return {};
    case TableOverflow::Records:
        return refused(u"%1 satırdan fazlası var."_s.arg(locale.toString(kContactFileLimits.records)));
    case TableOverflow::Fields:
        return refused(u"%1. satırda %2 sütundan fazlası var."_s.arg(row, locale.toString(kContactFileLimits.fields)));
    case TableOverflow::FieldLength:
        if (overflow.record < 0)
            return refused(u"%1 karakterden uzun bir alan var."_s.arg(locale.toString(kContactFileLimits.fieldLength)));
        return refused(u"%1. satırda %2 karakterden uzun bir alan var."_s.arg(
            row, locale.toString(kContactFileLimits.fieldLength)));
    }
    return {};
}

CsvTable ReadContactText(QByteArrayView bytes, TextEncoding encoding, QString *error)
{
    CsvTable table = ReadCsv(bytes, encoding, kContactFileLimits);
    *error = ContactFileOverflowText(table.overflow);
    if (table.overflow)
        table.records.clear();
    return table;
}

ContactFileRead ReadContactFile(const QString &path, const std::atomic_bool *stop)
{
    ContactFileRead read;
    const QFileInfo info(path);
    if (info.isFile() && info.size() > kContactFileMaxBytes) {
        read.error = refused(u"dosya %1 MB'tan büyük."_s.arg(kContactFileMaxBytes / (1024 * 1024)));
        return read;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.error = u"Dosya okunamadı:\n%1\n\n%2"_s.arg(info.absoluteFilePath(), file.errorString());
        return read;
    }
    // What the file grew to since it was looked at is not read either.
    const QByteArray bytes = file.read(kContactFileMaxBytes + 1);
    if (bytes.size() > kContactFileMaxBytes) {
        read.error = refused(u"dosya %1 MB'tan büyük."_s.arg(kContactFileMaxBytes / (1024 * 1024)));
        return read;
    }
    if (stop && stop->load())
        return {};

    if (LooksLikeWorkbook(bytes)) {
        readWorkbook(bytes, stop, read);
    } else if (looksBinary(bytes)) {
        read.error = refused(u"bir tablo dosyası değil (CSV, metin, .xlsx ya da .ods)."_s);
        return read;
    } else {
        readText(bytes, stop, read);
    }
    if (stop && stop->load())
        return {};
    if (!read.ok())
        return read;

    read.proposedSheet = firstSheetWithRows(read.sheets);
    if (read.proposedSheet < 0) {
        read.error = refused(u"dosyada hiç satır yok."_s);
        read.sheets.clear();
        read.text.clear();
    }
    return read;
}

} // namespace velmor
