#include "text/numberlist.h"

#include "text/phonenumber.h"

#include <QList>

namespace velmor {

namespace {

bool isPieceSeparator(QChar ch)
{
    return ch == u'\n' || ch == u'\r' || ch == u',' || ch == u';' || ch == QChar::LineSeparator
           || ch == QChar::ParagraphSeparator;
}

// How many digits a number written from these digits on holds: the country
// code and the trunk "0" decide. A lone "0" reads as the trunk until a second
// digit says otherwise.
qsizetype expectedDigits(QStringView digits)
{
    if (digits.startsWith(u"00"))
        return 14;
    if (digits.startsWith(u'0'))
        return 11;
    if (digits.startsWith(u'9'))
        return 12;
    return 10;
}

// The digits of a word, "+" read as "00"; false when the word holds anything
// a written number cannot.
bool appendDigits(QStringView word, QString &digits)
{
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar ch = word[i];
        if (ch >= u'0' && ch <= u'9')
            digits += ch;
        else if (ch == u'+' && i == 0 && digits.isEmpty())
            digits += u"00";
        else if (!(ch == u'-' || ch == u'.' || ch == u'/' || ch == u'(' || ch == u')'))
            return false;
    }
    return true;
}

void readWords(const QList<QStringView> &words, MobileNumberList &out)
{
    qsizetype first = 0; // the first word of the number being gathered
    QString digits;
    auto joined = [&words](qsizetype from, qsizetype to) {
        QString text;
        for (qsizetype i = from; i < to; ++i) {
            if (i > from)
                text += u' ';
            text += words[i];
        }
        return text;
    };
    qsizetype i = 0;
    while (i < words.size()) {
        if (!appendDigits(words[i], digits)) {
            // Not part of any number: what was gathered so far is cut short.
            if (i > first)
                out.refused.append(joined(first, i));
            out.refused.append(words[i].toString());
            digits.clear();
            first = ++i;
            continue;
        }
        const qsizetype expected = expectedDigits(digits);
        if (digits.size() < expected) {
            ++i;
            continue;
        }
        if (digits.size() > expected && i > first) {
            // This word begins the next number.
            out.refused.append(joined(first, i));
            digits.clear();
            first = i;
            continue;
        }
        const QString written = joined(first, i + 1);
        const QString number = digits.size() == expected ? NormaliseMobileNumber(written) : QString();
        if (number.isEmpty())
            out.refused.append(written);
        else
            out.numbers.append(number);
        digits.clear();
        first = ++i;
    }
    if (first < words.size())
        out.refused.append(joined(first, words.size()));
}

} // namespace

MobileNumberList ReadMobileNumbers(QStringView text)
{
    MobileNumberList out;
    qsizetype start = 0;
    QList<QStringView> words;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && !isPieceSeparator(text[end]))
            ++end;
        const QStringView piece = text.sliced(start, end - start).trimmed();
        start = end + 1;
        if (piece.isEmpty())
            continue;
        const QString number = NormaliseMobileNumber(piece);
        if (!number.isEmpty()) {
            out.numbers.append(number);
            continue;
        }
        words.clear();
        qsizetype wordStart = -1;
        for (qsizetype i = 0; i <= piece.size(); ++i) {
            const bool blank = i == piece.size() || piece[i].isSpace();
            if (blank && wordStart >= 0) {
                words.append(piece.sliced(wordStart, i - wordStart));
                wordStart = -1;
            } else if (!blank && wordStart < 0) {
                wordStart = i;
            }
        }
        if (words.size() == 1)
            out.refused.append(piece.toString());
        else
            readWords(words, out);
    }
    return out;
}

} // namespace velmor
