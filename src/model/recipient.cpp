#include "model/recipient.h"

#include "model/snapshot.h"
#include "text/turkish.h"

namespace velmor {

Recipient RecipientFromContact(const Contact &contact)
{
    Recipient recipient;
    recipient.number = contact.Adr_GSM_No;
    recipient.firstName = contact.Adr_Adi;
    recipient.surname = contact.Adr_Soyadi;
    recipient.province = contact.Adr_il;
    recipient.district = contact.Adr_ilce;
    recipient.groupNo = contact.Grup_No;
    recipient.fromPhoneBook = true;
    return recipient;
}

Recipient RecipientFromContact(ContactRef contact)
{
    Recipient recipient;
    recipient.number = contact.Adr_GSM_No().toString();
    recipient.firstName = contact.Adr_Adi().toString();
    recipient.surname = contact.Adr_Soyadi().toString();
    recipient.province = contact.Adr_il().toString();
    recipient.district = contact.Adr_ilce().toString();
    recipient.groupNo = contact.Grup_No().toString();
    recipient.fromPhoneBook = true;
    return recipient;
}

Recipient TypedRecipient(const QString &number)
{
    Recipient recipient;
    recipient.number = number;
    return recipient;
}

QList<Recipient> GroupRecipients(const AccountSnapshot &snapshot, const QString &groupNo)
{
    const bool every = groupNo.isEmpty() || groupNo == u"0";
    QList<Recipient> recipients;
    recipients.reserve(every ? snapshot.contacts.size() : 0);
    for (const ContactRef contact : snapshot.contacts) {
        if (every || contact.Grup_No() == groupNo)
            recipients.append(RecipientFromContact(contact));
    }
    return recipients;
}

QString GroupNameKey(QStringView name)
{
    // Folded first, so that İ and ı are I and i before the case goes.
    const QString folded = FoldTurkish(name);
    QString key;
    key.reserve(folded.size());
    bool blank = false;
    for (const QChar ch : folded) {
        if (ch.isSpace()) {
            blank = !key.isEmpty();
            continue;
        }
        if (ch == u'\u0307') // the dot of a decomposed İ
            continue;
        if (blank) {
            key += u' ';
            blank = false;
        }
        key += ch.toLower();
    }
    return key;
}

QList<qsizetype> FindGroups(const QList<ContactGroup> &groups, QStringView numberOrName)
{
    const QStringView text = numberOrName.trimmed();
    QList<qsizetype> found;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        if (groups.at(i).Grup_No == text)
            found.append(i);
    }
    if (!found.isEmpty())
        return found;
    const QString key = GroupNameKey(text);
    if (key.isEmpty())
        return found;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        if (GroupNameKey(groups.at(i).Grp_Adi) == key)
            found.append(i);
    }
    return found;
}

} // namespace velmor
