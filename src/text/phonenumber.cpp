#include "text/phonenumber.h"

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
// subscriber number), or the empty text.
QString NationalDigits(QStringView written)
{
    QString digits;
    digits.reserve(written.size());
    qsizetype i = 0;
    while (i < written.size() && written[i].isSpace())
        ++i;
    if (i < written.size() && written[i] == u'+') {
        digits += u"00";
        ++i;
    }
    for (; i < written.size(); ++i) {
        const QChar ch = written[i];
        if (isDigit(ch))
            digits += ch;
        else if (!(ch.isSpace() || ch == u'-' || ch == u'.' || ch == u'/' || ch == u'(' || ch == u')'))
            return {};
    }
    if (digits.size() == 14 && digits.startsWith(u"0090"))
        return digits.sliced(4);
    if (digits.size() == 12 && digits.startsWith(u"90"))
        return digits.sliced(2);
    if (digits.size() == 11 && digits.startsWith(u'0'))
        return digits.sliced(1);
    if (digits.size() == 10 && !digits.startsWith(u'0'))
        return digits;
    return {};
}

} // namespace

QString NormaliseMobileNumber(QStringView written)
{
    const QString national = NationalDigits(written);
    if (national.size() != 10 || !national.startsWith(u'5'))
        return {};
    return u'0' + national;
}

QString NormaliseFixedNumber(QStringView written)
{
    const QString national = NationalDigits(written);
    if (national.size() != 10)
        return {};
    return u'0' + national;
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
