#include "model/numberfile.h"

#include "model/contactfile.h"
#include "text/csv.h"
#include "text/phonenumber.h"

namespace velmor {

namespace {

// How many lines the shape of a file is judged by.
constexpr qsizetype kSampleLines = 20;

bool holdsLetter(QStringView text)
{
    for (const QChar ch : text) {
        if (ch.isLetter())
            return true;
    }
    return false;
}

// Whether the first lines are a table with a column of words beside the
// numbers: only then is one column read rather than every piece.
bool looksLikeTable(QStringView text, QChar separator)
{
    qsizetype lines = 0;
    qsizetype at = 0;
    while (at < text.size() && lines < kSampleLines) {
        qsizetype end = text.indexOf(u'\n', at);
        if (end < 0)
            end = text.size();
        const QStringView line = text.sliced(at, end - at);
        if (line.contains(separator) && holdsLetter(line))
            return true;
        ++lines;
        at = end + 1;
    }
    return false;
}

bool holdsDigit(QStringView text)
{
    for (const QChar ch : text) {
        if (ch >= u'0' && ch <= u'9')
            return true;
    }
    return false;
}

// Numbers one or more a line; a first line of words without a digit
// ("GSM", "Numara") names the column and is no number.
MobileNumberList readLines(QStringView text)
{
    const qsizetype firstEnd = text.indexOf(u'\n');
    const QStringView first = text.first(firstEnd < 0 ? text.size() : firstEnd);
    if (holdsLetter(first) && !holdsDigit(first))
        return ReadMobileNumbers(firstEnd < 0 ? QStringView() : text.sliced(firstEnd + 1));
    return ReadMobileNumbers(text);
}

int mobileColumn(const QList<QStringList> &records, bool *hasHeader)
{
    *hasHeader = DetectImportHeader(records);
    return ProposeImportMapping(records, *hasHeader)[FieldGsm];
}

} // namespace

MobileNumberList ReadNumberFile(QByteArrayView bytes)
{
    const QString text = DecodeText(bytes, DetectTextEncoding(bytes));
    const QChar separator = DetectCsvSeparator(text);
    if (!looksLikeTable(text, separator))
        return readLines(text);

    const QList<QStringList> records = ParseCsv(text, separator);
    bool hasHeader = false;
    const int column = mobileColumn(records, &hasHeader);
    if (column < 0)
        return readLines(text);

    MobileNumberList read;
    for (qsizetype row = hasHeader ? 1 : 0; row < records.size(); ++row) {
        const QStringList &record = records.at(row);
        const QString written = column < record.size() ? record.at(column).trimmed() : QString();
        if (written.isEmpty()) {
            if (!(record.size() == 1 && record.constFirst().trimmed().isEmpty()))
                read.refused.append(QStringLiteral("%1. satır: numara yok").arg(row + 1));
            continue;
        }
        const QString number = NormaliseMobileNumber(written);
        if (number.isEmpty())
            read.refused.append(written);
        else
            read.numbers.append(number);
    }
    return read;
}

} // namespace velmor
