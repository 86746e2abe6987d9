#include "text/storedtext.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmor {

bool IsStoreSeparator(QChar ch)
{
    return ch == u'|' || ch == u'<' || ch == u'>';
}

bool HoldsStoreSeparator(QStringView value)
{
    for (const QChar ch : value) {
        if (IsStoreSeparator(ch))
            return true;
    }
    return false;
}

bool IsControlCharacter(QChar ch)
{
    const char16_t c = ch.unicode();
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

bool HoldsControlCharacter(QStringView value)
{
    return std::any_of(value.begin(), value.end(), IsControlCharacter);
}

QString WithoutControlCharacters(QStringView value)
{
    QString out;
    out.reserve(value.size());
    bool spaced = false; // the last character put in stands for a tab or line break
    for (const QChar ch : value) {
        if (!IsControlCharacter(ch)) {
            out += ch;
            spaced = false;
            continue;
        }
        const char16_t c = ch.unicode();
        const bool breaks = c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
        if (breaks && !spaced) {
            out += u' ';
            spaced = true;
        }
    }
    return out;
}

QString StoreSeparatorMessage(const QString &fieldCaption)
{
    return u"\"%1\" alanında kaydedilemeyen bir karakter var (|, < veya >). "
           u"Lütfen bu karakteri silip tekrar deneyiniz."_s
        .arg(fieldCaption);
}

} // namespace velmor
