#include "ui/send/sendpreview.h"

#include "model/sendplan.h"
#include "model/sendrules.h"
#include "text/turkish.h"

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

QString who(const Recipient &recipient)
{
    const QString name = (recipient.firstName.trimmed() + u' ' + recipient.surname.trimmed()).trimmed();
    return name.isEmpty() ? recipient.number : u"%1 (%2)"_s.arg(name, recipient.number);
}

QString section(const QString &title, const Recipient &recipient, const QString &text)
{
    const qsizetype length = MessageLength(text);
    return u"%1: %2 · %3 mesaj, %4 karakter\n\n%5"_s.arg(title, who(recipient))
        .arg(MessagePartCount(length))
        .arg(length)
        .arg(text);
}

} // namespace

QString SendPreviewText(const SendPlan &plan, const QList<Recipient> &recipients, const QString &message)
{
    if (plan.firstRecipient < 0 || plan.firstRecipient >= recipients.size())
        return u"Gönderilecek kişi yok. Mesaj yazıldığı gibi:\n\n"_s + message;
    QString text = section(u"İlk alıcı"_s, recipients.at(plan.firstRecipient), plan.firstText);
    if (plan.longestRecipient >= 0 && plan.longestRecipient < recipients.size()
        && plan.longestText != plan.firstText && MessageLength(plan.longestText) > MessageLength(plan.firstText))
        text += u"\n\n"_s + section(u"En uzun metin"_s, recipients.at(plan.longestRecipient), plan.longestText);
    return text;
}

} // namespace velmor
