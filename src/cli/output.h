#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

namespace velmor::cli {

enum class TableFormat { Csv, Json };

QCommandLineOption FormatOption();
// The --format the user chose (csv when none); ExitUsage, after saying why,
// for any other.
int ReadFormat(const QCommandLineParser &parser, TableFormat &format);

// A table on standard output: as CSV (";" between fields, UTF-8, a header
// of the keys) or as a JSON array of objects with those keys.
void WriteTable(TableFormat format, const QStringList &keys, const QList<QStringList> &rows);

// A value on one line of tab-separated output: tabs and line breaks as blanks.
QString OneLine(const QString &value);

} // namespace velmor::cli
