#include "text/storedtext.h"

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

QString StoreSeparatorMessage(const QString &fieldCaption)
{
    return u"\"%1\" alanında kaydedilemeyen bir karakter var (|, < veya >). "
           u"Lütfen bu karakteri silip tekrar deneyiniz."_s
        .arg(fieldCaption);
}

} // namespace velmor
