#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace velmor {

// A table as a CSV file that spreadsheet programs open with Turkish letters
// intact: UTF-8 with a byte-order mark, ";" between fields, CR LF after each
// row. A field is quoted (inner quotes doubled) when it holds ";", a quote, a
// line break, or blanks at either end; other fields are written as they are.
QByteArray WriteCsv(const QList<QStringList> &rows);
// The same table for programs that read it (a script, a pipe): UTF-8
// without a byte-order mark, LF after each row, quoted as above.
QByteArray WriteCsvForPrograms(const QList<QStringList> &rows);

// The encodings text files of spreadsheet programs come in.
enum class TextEncoding {
    Utf8,        // with or without a byte-order mark
    Windows1254, // what Turkish spreadsheet programs write as "CSV"
    Utf16,       // "Unicode text", always with a byte-order mark
};

// The encoding the bytes are in: UTF-8 after its byte-order mark or when the
// bytes are valid UTF-8 (plain ASCII included), UTF-16 after its byte-order
// mark, Windows-1254 otherwise.
TextEncoding DetectTextEncoding(QByteArrayView bytes);
// The bytes read in that encoding, without a byte-order mark; a byte
// sequence the encoding does not allow becomes U+FFFD.
QString DecodeText(QByteArrayView bytes, TextEncoding encoding);

// The field separator of a CSV text among ";", tab and ",": the one that
// splits the first records into the same number of fields most often (not
// counting separators inside quotes). ";" when none splits the first record.
QChar DetectCsvSeparator(QStringView text);

// The records of a CSV text as spreadsheets write it: fields split at the
// separator; a field that begins with a quote runs to the closing quote and
// may hold separators, line breaks and doubled quotes ("" for one). Records
// end at CR LF, LF or CR outside quotes; a line break at the very end starts
// no further record, and an empty line is a record of one empty field. Any
// text gives a result: a quote left open runs to the end, text after a
// closing quote is kept.
QList<QStringList> ParseCsv(QStringView text, QChar separator);

// Whether the first record looks like a row of column names: no digit in it,
// at least one field filled, and digits in a later record (the numbers of
// the rows below).
bool LooksLikeHeader(const QList<QStringList> &records);

// A file read as a table: its encoding, separator and records.
struct CsvTable
{
    TextEncoding encoding = TextEncoding::Utf8;
    QChar separator = u';';
    QList<QStringList> records;
};
// Encoding and separator detected.
CsvTable ReadCsv(QByteArrayView bytes);
// The encoding given, the separator detected.
CsvTable ReadCsv(QByteArrayView bytes, TextEncoding encoding);

} // namespace velmor
