#include "text/number.h"

#include <QLocale>

#include <cmath>

namespace velmor {

namespace {

bool isDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

} // namespace

double LeadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < n && isDigit(text[i]))
        ++i;
    if (i == digitsStart)
        return 0.0;
    if (i < n && text[i] == u'.') {
        qsizetype j = i + 1;
        while (j < n && isDigit(text[j]))
            ++j;
        i = j;
    }
    bool ok = false;
    const double value = text.first(i).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString PlainNumberText(double value)
{
    // Never in exponent form: "1e+15" or "1e-05" would read back as 1.
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace velmor
