#include "model/workbookwriter.h"

#include "text/csv.h"

#include <QDate>
#include <QTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

constexpr double kMaxColumnWidth = 60;
constexpr double kDateTimeWidth = 17;

// The width of a column in characters of the default font: its longest cell,
// a little room, within bounds.
QList<double> columnWidths(const WorkbookSheet &sheet, qsizetype columns)
{
    QList<qsizetype> longest(columns, 0);
    for (const QStringList &row : sheet.rows) {
        for (qsizetype c = 0; c < row.size() && c < columns; ++c)
            longest[c] = std::max(longest[c], row.at(c).size());
    }
    QList<double> widths;
    for (qsizetype c = 0; c < columns; ++c) {
        const double wanted = sheet.dateTimeColumns.contains(int(c)) ? kDateTimeWidth : double(longest[c]) + 2;
        widths.append(std::clamp(wanted, 8.0, kMaxColumnWidth));
    }
    return widths;
}

std::optional<lxw_datetime> dateTime(const QString &stamp)
{
    // Date and time read apart: a QDateTime would look up the time zone for
    // every cell, and the stamps are the service's local time as they stand.
    const qsizetype split = stamp.indexOf(u'T');
    const QDate date = QDate::fromString(QStringView(stamp).left(split), Qt::ISODate);
    const QTime time = split < 0 ? QTime(0, 0) : QTime::fromString(QStringView(stamp).sliced(split + 1), Qt::ISODate);
    if (!date.isValid() || !time.isValid() || date.year() < 1900)
        return std::nullopt;
    return lxw_datetime{date.year(), date.month(), date.day(), time.hour(), time.minute(), double(time.second())};
}

} // namespace

QString WorkbookSheetName(const QString &name, const QString &fallback)
{
    QString out;
    for (const QChar ch : name)
        out += QStringView(u"[]:*?/\\").contains(ch) || ch.category() == QChar::Other_Control ? u'-' : ch;
    out = out.trimmed().left(31);
    while (out.startsWith(u'\''))
        out.remove(0, 1);
    while (out.endsWith(u'\''))
        out.chop(1);
    return out.trimmed().isEmpty() ? fallback : out;
}

QByteArray WorkbookBytes(const WorkbookSheet &sheet, QString *error)
{
    error->clear();
    if (sheet.rows.size() > kWorkbookMaxRows) {
        *error = u"Bir Excel sayfası en çok %1 satır alır; bu tablo %2 satır. Lütfen CSV olarak kaydediniz."_s.arg(
            QLocale().toString(kWorkbookMaxRows), QLocale().toString(sheet.rows.size()));
        return {};
    }
    QTemporaryDir dir;
    if (!dir.isValid()) {
        *error = u"Geçici dosya oluşturulamadı: %1"_s.arg(dir.errorString());
        return {};
    }
    const QByteArray path = QFile::encodeName(dir.filePath(u"tablo.xlsx"_s));
    const QByteArray tempFolder = QFile::encodeName(dir.path());
    // Shared strings, as spreadsheet programs write them (the inline strings
    // of the constant-memory mode are not read back by every program).
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char *>(tempFolder.constData());
    lxw_workbook *book = workbook_new_opt(path.constData(), &options);
    if (!book) {
        *error = u"Çalışma kitabı oluşturulamadı."_s;
        return {};
    }
    const QByteArray sheetName = WorkbookSheetName(sheet.name, u"Sayfa1"_s).toUtf8();
    lxw_worksheet *page = workbook_add_worksheet(book, sheetName.constData());
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_format *stamp = workbook_add_format(book);
    format_set_num_format(stamp, "dd.mm.yyyy hh:mm");

    qsizetype columns = 0;
    for (const QStringList &row : sheet.rows)
        columns = std::max(columns, row.size());
    const QList<double> widths = columnWidths(sheet, columns);
    for (qsizetype c = 0; c < columns; ++c)
        worksheet_set_column(page, lxw_col_t(c), lxw_col_t(c), widths.at(c), nullptr);
    worksheet_freeze_panes(page, 1, 0);

    for (qsizetype r = 0; r < sheet.rows.size(); ++r) {
        const QStringList &row = sheet.rows.at(r);
        for (qsizetype c = 0; c < row.size(); ++c) {
            const QString &value = row.at(c);
            if (value.isEmpty())
                continue;
            const auto at = r > 0 && sheet.dateTimeColumns.contains(int(c)) ? dateTime(value) : std::nullopt;
            if (at) {
                lxw_datetime when = *at;
                worksheet_write_datetime(page, lxw_row_t(r), lxw_col_t(c), &when, stamp);
            } else {
                const QByteArray cell = NeutralisedCell(value).toUtf8();
                worksheet_write_string(page, lxw_row_t(r), lxw_col_t(c), cell.constData(), r == 0 ? bold : nullptr);
            }
        }
    }
    const lxw_error closed = workbook_close(book);
    if (closed != LXW_NO_ERROR) {
        *error = u"Çalışma kitabı yazılamadı: %1"_s.arg(QString::fromUtf8(lxw_strerror(closed)));
        return {};
    }
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"Çalışma kitabı okunamadı: %1"_s.arg(file.errorString());
        return {};
    }
    return file.readAll();
}

} // namespace velmor
