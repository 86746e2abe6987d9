#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>
#include <limits>

namespace velmor {

// Whether a spreadsheet program would take a cell with this text for a
// formula and run it when the file is opened: it begins with "=", "+", "-",
// "@", a tab or a carriage return.
bool StartsLikeFormula(QStringView cell);
// The cell as it goes into a file for spreadsheet programs: one that starts
// like a formula gets a "'" before it, so that the program shows it as text
// ("'=HYPERLINK(...)", "'+90 532 ..."), and so does one that starts with
// "'"s and then like a formula; any other cell as it is.
QString NeutralisedCell(const QString &cell);
// The cell as it was before NeutralisedCell: the "'" it added taken away
// again, exactly one; any other cell (a lone "'", a name such as "'Ali") as
// it is.
QString RestoredCell(const QString &cell);

// A table as a CSV file that spreadsheet programs open with Turkish letters
// intact: UTF-8 with a byte-order mark, ";" between fields, CR LF after each
// row. Each cell is neutralised (NeutralisedCell). A field is quoted (inner
// quotes doubled) when it holds ";", a quote, a line break, or blanks at
// either end; other fields are written as they are.
QByteArray WriteCsv(const QList<QStringList> &rows);
// The same table for programs that read it (a script, a pipe): UTF-8
// without a byte-order mark, LF after each row, neutralised and quoted as
// above.
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

// How much a table read from a file may hold; a file beyond them is refused
// rather than read on (a "file" of one line of a million separators, or one
// field of fifty megabytes, is no contact list). The defaults take anything.
struct TableLimits
{
    qsizetype records = std::numeric_limits<qsizetype>::max();
    qsizetype fields = std::numeric_limits<qsizetype>::max(); // in one record
    qsizetype fieldLength = std::numeric_limits<qsizetype>::max();
    // Looked at now and then while reading: once true, reading ends.
    const std::atomic_bool *stop = nullptr;
};
// The first limit a table went beyond, and the record (0-based) where.
struct TableOverflow
{
    enum Kind : quint8 { None, Records, Fields, FieldLength, Stopped };
    Kind kind = None;
    qsizetype record = -1;

    explicit operator bool() const { return kind != None; }
};

// The records of a CSV text as spreadsheets write it: fields split at the
// separator; a field that begins with a quote runs to the closing quote and
// may hold separators, line breaks and doubled quotes ("" for one). Records
// end at CR LF, LF or CR outside quotes; a line break at the very end starts
// no further record, and an empty line is a record of one empty field. Any
// text gives a result: a quote left open runs to the end, text after a
// closing quote is kept.
QList<QStringList> ParseCsv(QStringView text, QChar separator);
// The same within limits: reading stops at the first record or field beyond
// them, without looking at the rest of the text, and *overflow says which.
QList<QStringList> ParseCsv(QStringView text, QChar separator, const TableLimits &limits, TableOverflow *overflow);

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
    TableOverflow overflow; // set: the records read up to the first limit passed
};
// Encoding and separator detected.
CsvTable ReadCsv(QByteArrayView bytes, const TableLimits &limits = {});
// The encoding given, the separator detected.
CsvTable ReadCsv(QByteArrayView bytes, TextEncoding encoding, const TableLimits &limits = {});

} // namespace velmor
