#include "text/csv.h"

#include "service/coding.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>

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

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

bool hasUtf16Bom(QByteArrayView bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

// The text in UTF-8, and whether the bytes were valid UTF-8.
QString decodeUtf8(QByteArrayView bytes, bool *valid)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (valid)
        *valid = !decoder.hasError();
    return text;
}

// Reads a text in the detected encoding, decoding it once.
CsvTable decodeDetected(QByteArrayView bytes, QString *text)
{
    CsvTable table;
    if (hasUtf16Bom(bytes)) {
        table.encoding = TextEncoding::Utf16;
        *text = DecodeText(bytes, TextEncoding::Utf16);
        return table;
    }
    bool valid = false;
    *text = decodeUtf8(bytes, &valid);
    if (valid) {
        table.encoding = TextEncoding::Utf8;
    } else {
        table.encoding = TextEncoding::Windows1254;
        *text = DecodeText(bytes, TextEncoding::Windows1254);
    }
    return table;
}

bool isLineEnd(char16_t ch)
{
    return ch == u'\n' || ch == u'\r';
}

// The end of an unquoted field: the next separator or line end, or n.
qsizetype fieldEnd(const char16_t *p, qsizetype from, qsizetype n, char16_t separator)
{
    qsizetype i = from;
    while (i < n && p[i] != separator && !isLineEnd(p[i]))
        ++i;
    return i;
}

// How many separators each of the first records holds outside quotes.
QList<int> separatorCounts(QStringView text, char16_t separator, int records)
{
    QList<int> counts;
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();
    int count = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < n && counts.size() < records; ++i) {
        const char16_t ch = p[i];
        if (ch == u'"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (ch == separator) {
            ++count;
        } else if (isLineEnd(ch)) {
            if (ch == u'\r' && i + 1 < n && p[i + 1] == u'\n')
                ++i;
            counts.append(count);
            count = 0;
        }
    }
    if (counts.size() < records && (count > 0 || (n > 0 && !isLineEnd(p[n - 1]))))
        counts.append(count);
    return counts;
}

bool holdsDigit(const QString &field)
{
    for (const QChar ch : field) {
        if (ch.isDigit())
            return true;
    }
    return false;
}

} // namespace

namespace {

QString csvText(const QList<QStringList> &rows, QStringView lineEnd, QString (*prepared)(const QString &))
{
    QString text;
    for (const QStringList &row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += u';';
            const QString field = prepared(row.at(i));
            if (needsQuotes(field)) {
                text += u'"';
                text += QString(field).replace(u"\""_s, u"\"\""_s);
                text += u'"';
            } else {
                text += field;
            }
        }
        text += lineEnd;
    }
    return text;
}

} // namespace

bool StartsLikeFormula(QStringView cell)
{
    if (cell.isEmpty())
        return false;
    const QChar first = cell.front();
    return first == u'=' || first == u'+' || first == u'-' || first == u'@' || first == u'\t' || first == u'\r';
}

namespace {

// Whether the cell is a formula-like text behind none or more "'".
bool formulaBehindQuotes(QStringView cell)
{
    qsizetype quotes = 0;
    while (quotes < cell.size() && cell[quotes] == u'\'')
        ++quotes;
    return StartsLikeFormula(cell.sliced(quotes));
}

} // namespace

// Each such cell gets one "'" more on the way out and loses one on the way
// in, so that a cell that already read "'=..." comes back as it was.
QString NeutralisedCell(const QString &cell)
{
    return formulaBehindQuotes(cell) ? QChar(u'\'') + cell : cell;
}

QString RestoredCell(const QString &cell)
{
    return cell.startsWith(u'\'') && formulaBehindQuotes(cell) ? cell.sliced(1) : cell;
}

QByteArray WriteCsv(const QList<QStringList> &rows)
{
    return kUtf8Bom.toByteArray() + csvText(rows, u"\r\n", NeutralisedCell).toUtf8();
}

QByteArray WriteCsvForPrograms(const QList<QStringList> &rows)
{
    // Neutralised too: such a file is as often opened by a person (a nightly
    // report saved from a timer) as read by a script.
    return csvText(rows, u"\n", NeutralisedCell).toUtf8();
}

TextEncoding DetectTextEncoding(QByteArrayView bytes)
{
    QString text;
    return decodeDetected(bytes, &text).encoding;
}

QString DecodeText(QByteArrayView bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return decodeUtf8(bytes, nullptr);
    case TextEncoding::Utf16: {
        // The byte-order mark tells the byte order; without one, little-endian.
        QStringDecoder decoder(bytes.startsWith("\xFE\xFF") ? QStringDecoder::Utf16BE
                                                            : QStringDecoder::Utf16LE);
        return decoder.decode(bytes);
    }
    case TextEncoding::Windows1254:
        // A UTF-8 byte-order mark read as Windows-1254 would be three stray letters.
        return DecodeWindows1254(bytes.startsWith(kUtf8Bom) ? bytes.sliced(kUtf8Bom.size()) : bytes);
    }
    return {};
}

QChar DetectCsvSeparator(QStringView text)
{
    // Spreadsheets set to Turkish write ";"; it wins a tie, then tab.
    constexpr std::array<char16_t, 3> candidates{u';', u'\t', u','};
    constexpr int kSampleRecords = 20;
    QChar best = u';';
    int bestAgreeing = 0;
    int bestCount = 0;
    for (const char16_t candidate : candidates) {
        const QList<int> counts = separatorCounts(text, candidate, kSampleRecords);
        if (counts.isEmpty() || counts.constFirst() == 0)
            continue;
        const int first = counts.constFirst();
        const int agreeing = int(std::count(counts.cbegin(), counts.cend(), first));
        if (agreeing > bestAgreeing || (agreeing == bestAgreeing && first > bestCount)) {
            best = candidate;
            bestAgreeing = agreeing;
            bestCount = first;
        }
    }
    return best;
}

QList<QStringList> ParseCsv(QStringView text, QChar separator)
{
    TableOverflow overflow;
    return ParseCsv(text, separator, TableLimits{}, &overflow);
}

QList<QStringList> ParseCsv(QStringView text, QChar separatorChar, const TableLimits &limits, TableOverflow *overflow)
{
    QList<QStringList> records;
    *overflow = {};
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();
    const char16_t separator = separatorChar.unicode();
    if (n == 0)
        return records;
    // One character past the limit is enough to know a field is too long;
    // nothing beyond it is looked at.
    const qsizetype longest = limits.fieldLength;
    auto scanEnd = [&](qsizetype from, qsizetype taken) {
        return longest - taken >= n - from ? n : from + (longest - taken) + 1;
    };
    auto refuse = [&](TableOverflow::Kind kind) {
        *overflow = {kind, records.size()};
        return records;
    };
    QStringList record;
    qsizetype i = 0;
    while (true) {
        QString field;
        if (p[i] == u'"') {
            ++i;
            while (true) {
                const qsizetype end = scanEnd(i, field.size());
                const qsizetype quote = text.sliced(0, end).indexOf(u'"', i);
                if (quote < 0) {
                    field += text.sliced(i, end - i);
                    i = end;
                    break;
                }
                field += text.sliced(i, quote - i);
                i = quote + 1;
                if (i < n && p[i] == u'"') {
                    field += u'"';
                    ++i;
                    continue;
                }
                break;
            }
            const qsizetype end = fieldEnd(p, i, scanEnd(i, field.size()), separator);
            field += text.sliced(i, end - i);
            i = end;
        } else {
            const qsizetype end = fieldEnd(p, i, scanEnd(i, 0), separator);
            field = text.sliced(i, end - i).toString();
            i = end;
        }
        if (field.size() > limits.fieldLength)
            return refuse(TableOverflow::FieldLength);
        record.append(std::move(field));
        if (record.size() > limits.fields)
            return refuse(TableOverflow::Fields);

        if (i < n && p[i] == separator) {
            ++i;
            if (i < n)
                continue;
            record.append(QString());
        } else if (i < n) {
            i += p[i] == u'\r' && i + 1 < n && p[i + 1] == u'\n' ? 2 : 1;
        }
        if (records.size() >= limits.records)
            return refuse(TableOverflow::Records);
        if (limits.stop && records.size() % 4096 == 0 && limits.stop->load())
            return refuse(TableOverflow::Stopped);
        const qsizetype width = record.size();
        records.append(std::move(record));
        if (i >= n)
            break;
        record = QStringList();
        record.reserve(width);
    }
    return records;
}

bool LooksLikeHeader(const QList<QStringList> &records)
{
    if (records.size() < 2)
        return false;
    bool filled = false;
    for (const QString &field : records.constFirst()) {
        if (holdsDigit(field))
            return false;
        filled = filled || !field.trimmed().isEmpty();
    }
    if (!filled)
        return false;
    constexpr qsizetype kSampleRecords = 20;
    for (qsizetype r = 1; r < records.size() && r <= kSampleRecords; ++r) {
        for (const QString &field : records.at(r)) {
            if (holdsDigit(field))
                return true;
        }
    }
    return false;
}

CsvTable ReadCsv(QByteArrayView bytes, const TableLimits &limits)
{
    QString text;
    CsvTable table = decodeDetected(bytes, &text);
    table.separator = DetectCsvSeparator(text);
    table.records = ParseCsv(text, table.separator, limits, &table.overflow);
    return table;
}

CsvTable ReadCsv(QByteArrayView bytes, TextEncoding encoding, const TableLimits &limits)
{
    CsvTable table;
    table.encoding = encoding;
    const QString text = DecodeText(bytes, encoding);
    table.separator = DetectCsvSeparator(text);
    table.records = ParseCsv(text, table.separator, limits, &table.overflow);
    return table;
}

} // namespace velmor
