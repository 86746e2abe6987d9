#include "text/csv.h"

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

bool needsQuotes(const QString &field)
{
    if (field.isEmpty())
        return false;
    if (field.front().isSpace() || field.back().isSpace())
        return true;
    for (const QChar ch : field) {
        if (ch == u';' || ch == u'"' || ch == u'\n' || ch == u'\r')
            return true;
    }
    return false;
}

} // namespace

QByteArray WriteCsv(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += u';';
            const QString &field = row.at(i);
            if (needsQuotes(field)) {
                text += u'"';
                text += QString(field).replace(u"\""_s, u"\"\""_s);
                text += u'"';
            } else {
                text += field;
            }
        }
        text += u"\r\n";
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace velmor
