#pragma once

#include "text/csv.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

// Workbooks of spreadsheet programs (.xlsx, .ods) read into tables of text,
// cells as the user sees them: a number cell 5321112233 as "5321112233", a
// text cell as typed (leading zero kept), a date cell as GG.AA.YYYY, a
// formula as its value saved with the file. Read with liborcus, within
// limits that stop the reading at the first row, column or text beyond them.
namespace velmor {

// One sheet: its name and its rows (empty rows kept, so that row numbers are
// the spreadsheet's; trailing empty cells left off).
struct SheetTable
{
    QString name;
    QList<QStringList> records;
};

struct WorkbookRead
{
    enum class Failure : quint8 {
        None,
        NotWorkbook, // no .xlsx or .ods (another archive, another file)
        Protected,   // encrypted with a password, or an old binary .xls
        Damaged,     // the archive or its contents cannot be read
        TooLarge,    // unpacked, larger than a workbook within the limits can be
        Stopped,     // the caller asked to stop
    };
    Failure failure = Failure::None;
    TableOverflow overflow; // set: the first limit passed, nothing else kept
    QList<SheetTable> sheets;
};

// Whether the bytes are an archive or a compound file, which is what every
// workbook is; text files never start so.
bool LooksLikeWorkbook(QByteArrayView bytes);

// Reads a whole .xlsx or .ods held in memory. stop, when given, is looked at
// between cells.
WorkbookRead ReadWorkbook(QByteArrayView bytes, const TableLimits &limits, const std::atomic_bool *stop = nullptr);

} // namespace velmor
