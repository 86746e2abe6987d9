#pragma once

#include "model/workbookreader.h"
#include "text/csv.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

// A contact file read from disk for an import: CSV or tab-separated text, an
// Excel workbook (.xlsx) or a LibreOffice one (.ods). A file that is no
// contact list (too large, too wide, a field too long, not a table at all,
// damaged or protected by a password) is refused with a Turkish message
// before it is read whole. A plain function, for every front end.
namespace velmor {

// A file larger than this is refused before it is read.
inline constexpr qint64 kContactFileMaxBytes = 100LL * 1024 * 1024;
// What a contact file may hold: rows, columns in a row, characters in a field.
inline constexpr TableLimits kContactFileLimits{1'000'000, 256, 4096};

struct ContactFileRead
{
    QString error; // set: the file is refused, and this says why
    bool workbook = false;
    // A text file: its bytes (to be read again in another encoding) and
    // what was detected.
    QByteArray text;
    TextEncoding encoding = TextEncoding::Utf8;
    // A workbook's sheets in their order, or the one table of a text file (no name).
    QList<SheetTable> sheets;
    int proposedSheet = 0; // the first sheet that has a row

    bool ok() const { return error.isEmpty(); }
};

// Reads the file at path within the limits above. stop, when given, is
// looked at while reading: once true the read ends with the error text
// empty and no sheets (the user gave up).
ContactFileRead ReadContactFile(const QString &path, const std::atomic_bool *stop = nullptr);

// A text file's bytes read again in the encoding the user chose; the error
// text set when the table goes beyond the limits that way.
CsvTable ReadContactText(QByteArrayView bytes, TextEncoding encoding, QString *error);

// Why a table beyond kContactFileLimits is refused ("Dosya içe
// aktarılamıyor: 3. satırda 256 sütundan fazlası var.").
QString ContactFileOverflowText(const TableOverflow &overflow);

} // namespace velmor
