#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace velmor {

// A table as a CSV file that spreadsheet programs open with Turkish letters
// intact: UTF-8 with a byte-order mark, ";" between fields, CR LF after each
// row. A field is quoted (inner quotes doubled) when it holds ";", a quote, a
// line break, or blanks at either end; other fields are written as they are.
QByteArray WriteCsv(const QList<QStringList> &rows);

} // namespace velmor
