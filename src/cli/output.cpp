#include "cli/output.h"

#include "cli/exitstatus.h"
#include "cli/terminal.h"
#include "text/csv.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace velmor::cli {

QCommandLineOption FormatOption()
{
    return {u"format"_s, u"Output as csv (\";\" between fields, a header row) or json (default: csv)."_s,
            u"csv|json"_s, u"csv"_s};
}

int ReadFormat(const QCommandLineParser &parser, TableFormat &format)
{
    const QString value = parser.value(u"format"_s).trimmed().toLower();
    if (value == u"csv") {
        format = TableFormat::Csv;
        return ExitDone;
    }
    if (value == u"json") {
        format = TableFormat::Json;
        return ExitDone;
    }
    Message(u"--format: csv ya da json olmalı: %1"_s.arg(parser.value(u"format"_s)));
    return ExitUsage;
}

void WriteTable(TableFormat format, const QStringList &keys, const QList<QStringList> &rows)
{
    if (format == TableFormat::Csv) {
        QList<QStringList> table;
        table.reserve(rows.size() + 1);
        table.append(keys);
        table.append(rows);
        Output(WriteCsvForPrograms(table));
        return;
    }
    QJsonArray array;
    for (const QStringList &row : rows) {
        QJsonObject object;
        for (qsizetype i = 0; i < keys.size(); ++i)
            object.insert(keys.at(i), i < row.size() ? row.at(i) : QString());
        array.append(object);
    }
    Output(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

QString OneLine(const QString &value)
{
    QString line = value;
    for (QChar &ch : line) {
        if (ch == u'\t' || ch == u'\n' || ch == u'\r')
            ch = u' ';
    }
    return line;
}

} // namespace velmor::cli
