// The CSV writer read back by a plain reader of the same format (UTF-8 with a
// byte-order mark, ";" between fields, quotes doubled inside quoted fields,
// CR LF after each row): every table comes back as it was written.

#include "fuzzcheck.h"

#include "text/csv.h"

#include <optional>

namespace {

std::optional<QList<QStringList>> plainRead(const QByteArray &bytes)
{
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return std::nullopt;
    const QString text = QString::fromUtf8(bytes.sliced(3));
    QList<QStringList> rows;
    QStringList row;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        QString field;
        if (text[i] == u'"') {
            ++i;
            for (;;) {
                if (i >= n)
                    return std::nullopt; // a quote never closed
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < n && text[i] != u';' && text[i] != u'\r' && text[i] != u'\n' && text[i] != u'"')
                field += text[i++];
        }
        row.append(field);
        if (i < n && text[i] == u';') {
            ++i;
        } else if (text.sliced(i).startsWith(QStringLiteral("\r\n"))) {
            i += 2;
            rows.append(row);
            row.clear();
        } else {
            return std::nullopt; // anything else after a field
        }
    }
    if (!row.isEmpty())
        return std::nullopt; // the last row not ended
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Rows separated by U+001E, fields by U+001F.
    QList<QStringList> table;
    for (const QString &line : velmor::fuzz::utf8(data, size).split(QChar(0x1E)))
        table.append(line.split(QChar(0x1F)));

    const std::optional<QList<QStringList>> back = plainRead(velmor::WriteCsv(table));
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(velmor::fuzz::restored(*back) == table);
    return 0;
}
