#include "model/sendplan.h"

#include "model/phonebook.h"
#include "model/sendrules.h"
#include "model/snapshot.h"
#include "text/turkish.h"

#include <QHash>

namespace velmor {

bool IsOptOutGroupName(QStringView name)
{
    return GroupNameKey(name) == u"kara liste";
}

OptOutList::OptOutList(const AccountSnapshot &snapshot)
{
    QSet<QString> groups;
    for (const ContactGroup &group : snapshot.groups) {
        if (IsOptOutGroupName(group.Grp_Adi) && !groups.contains(group.Grup_No)) {
            for (const QString &number : GroupFamilyNumbers(snapshot.groups, group.Grup_No))
                groups.insert(number);
        }
    }
    if (groups.isEmpty())
        return;
    // Looked up by view: the contacts outside these groups cost no copy.
    QSet<QStringView> groupNumbers;
    for (const QString &number : std::as_const(groups))
        groupNumbers.insert(number);
    for (const ContactRef contact : snapshot.contacts) {
        if (!groupNumbers.contains(contact.Grup_No()))
            continue;
        const QString number = contact.Adr_GSM_No().toString();
        if (HasNumberToSend(number))
            m_numbers.insert(ComparableNumber(number));
    }
}

bool OptOutList::contains(const QString &number) const
{
    return !m_numbers.isEmpty() && m_numbers.contains(ComparableNumber(number));
}

QString PlannedRequest::telephoneList() const
{
    return BuildTelephoneList(numbers);
}

SendPlan PlanSend(const PersonalisedMessage &message, const QList<Recipient> &recipients, const OptOutList &optOut)
{
    SendPlan plan;
    plan.recipientCount = recipients.size();

    const QList<MessageField> used = message.usedFields();
    const bool personal = message.hasFields();
    // Without fields every recipient gets the one text: measured once.
    const qsizetype commonLength = MessageLength(message.text());
    const int commonParts = MessagePartCount(commonLength);

    QSet<QString> numbers;
    numbers.reserve(recipients.size());
    QHash<QString, qsizetype> requestOf; // text → position in plan.requests
    std::array<qsizetype, kMessageFieldCount> empty{};
    qsizetype longest = -1;
    PersonalisedMessage::FieldValues values;

    for (qsizetype i = 0; i < recipients.size(); ++i) {
        const Recipient &recipient = recipients.at(i);
        if (!HasNumberToSend(recipient.number)) {
            ++plan.withoutNumber;
            continue;
        }
        QString key = ComparableNumber(recipient.number);
        if (optOut.contains(key)) {
            ++plan.optedOut;
            continue;
        }
        const qsizetype before = numbers.size();
        numbers.insert(std::move(key));
        if (numbers.size() == before) {
            ++plan.repeats;
            continue;
        }
        ++plan.sendCount;

        qsizetype request = 0;
        qsizetype length = 0;
        int parts = commonParts;
        if (personal) {
            for (const MessageField field : used) {
                QString &value = values[std::size_t(field)];
                value = MessageFieldValue(recipient, field);
                if (value.isEmpty())
                    ++empty[std::size_t(field)];
            }
            QString text = message.textFor(values);
            length = MessageLength(text);
            parts = MessagePartCount(length);
            const auto found = requestOf.constFind(text);
            if (found != requestOf.constEnd()) {
                request = found.value();
            } else {
                request = plan.requests.size();
                requestOf.insert(text, request);
                plan.requests.append({std::move(text), {}, parts});
            }
        } else {
            length = commonLength;
            if (plan.requests.isEmpty())
                plan.requests.append({message.text(), {}, parts});
        }
        PlannedRequest &target = plan.requests[request];
        target.numbers.append(recipient.number);

        plan.cost += parts;
        if (plan.firstRecipient < 0) {
            plan.firstRecipient = i;
            plan.firstText = target.text;
            plan.fewestParts = plan.mostParts = parts;
        }
        plan.fewestParts = std::min(plan.fewestParts, parts);
        plan.mostParts = std::max(plan.mostParts, parts);
        if (length > longest) {
            longest = length;
            plan.longestRecipient = i;
            plan.longestText = target.text;
        }
    }

    for (const MessageField field : used) {
        if (empty[std::size_t(field)] > 0)
            plan.emptyFields.append({field, empty[std::size_t(field)]});
    }
    return plan;
}

QString PartRangeText(const SendPlan &plan)
{
    if (plan.fewestParts == plan.mostParts)
        return QStringLiteral("%1 mesaj").arg(plan.mostParts);
    return QStringLiteral("%1–%2 mesaj").arg(plan.fewestParts).arg(plan.mostParts);
}

QString RecipientCountNote(const SendPlan &plan)
{
    QStringList notes;
    if (plan.repeats > 0)
        notes.append(QStringLiteral("%1 yinelenen numara bir kez gönderilecek").arg(plan.repeats));
    if (plan.optedOut > 0)
        notes.append(QStringLiteral("%1 numara kara listede").arg(plan.optedOut));
    if (notes.isEmpty())
        return {};
    return u'(' + notes.join(QStringLiteral(", ")) + u')';
}

QString EmptyFieldQuestion(const QList<EmptyField> &emptyFields)
{
    if (emptyFields.isEmpty())
        return {};
    QStringList parts;
    for (const EmptyField &empty : emptyFields)
        parts.append(QStringLiteral("%1 kişinin %2 alanı").arg(empty.count).arg(MessageFieldCaption(empty.field)));
    const QString which = emptyFields.size() == 1 ? QStringLiteral("alan") : QStringLiteral("bu alanlar");
    return QStringLiteral("%1 boş; bu kişilere %2 boş olarak gidecek. Gönderilsin mi?")
        .arg(parts.join(QStringLiteral(", ")), which);
}

} // namespace velmor
