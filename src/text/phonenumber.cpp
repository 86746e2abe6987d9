#include "text/phonenumber.h"

#include <algorithm>

namespace velmor {

namespace {

bool isDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

bool allDigits(QStringView text)
{
    for (const QChar ch : text) {
        if (!isDigit(ch))
            return false;
    }
    return true;
}

// The ten digits of the national number (area or operator code and
// subscriber number) into national; false when the text holds none. Works
// in a buffer on the stack: lists of many numbers are read through here.
bool NationalDigits(QStringView written, char16_t (&national)[10])
{
    constexpr qsizetype kMostDigits = 14; // "0090" and ten digits
    char16_t digits[kMostDigits];
    qsizetype count = 0;
    qsizetype i = 0;
    while (i < written.size() && written[i].isSpace())
        ++i;
    if (i < written.size() && written[i] == u'+') {
        digits[count++] = u'0';
        digits[count++] = u'0';
        ++i;
    }
    for (; i < written.size(); ++i) {
        const QChar ch = written[i];
        if (isDigit(ch)) {
            if (count == kMostDigits)
                return false;
            digits[count++] = ch.unicode();
        } else if (!(ch.isSpace() || ch == u'-' || ch == u'.' || ch == u'/' || ch == u'(' || ch == u')')) {
            return false;
        }
    }
    const QStringView all(digits, count);
    qsizetype skip = -1;
    if (count == 14 && all.startsWith(u"0090"))
        skip = 4;
    else if (count == 12 && all.startsWith(u"90"))
        skip = 2;
    else if (count == 11 && all.startsWith(u'0'))
        skip = 1;
    else if (count == 10 && !all.startsWith(u'0'))
        skip = 0;
    if (skip < 0)
        return false;
    std::copy(digits + skip, digits + count, national);
    return true;
}

// "0" and the national digits.
QString trunkForm(const char16_t (&national)[10])
{
    QString number(11, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(number.data());
    out[0] = u'0';
    std::copy(national, national + 10, out + 1);
    return number;
}

} // namespace

QString NormaliseMobileNumber(QStringView written)
{
    char16_t national[10];
    if (!NationalDigits(written, national) || national[0] != u'5')
        return {};
    return trunkForm(national);
}

QString NormaliseFixedNumber(QStringView written)
{
    char16_t national[10];
    if (!NationalDigits(written, national))
        return {};
    return trunkForm(national);
}

bool IsMobileNumber(QStringView number)
{
    return number.size() == 11 && number.startsWith(u"05") && allDigits(number);
}

bool IsFixedNumber(QStringView number)
{
    return number.size() == 11 && number.startsWith(u'0') && allDigits(number);
}

} // namespace velmor
