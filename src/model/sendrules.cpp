#include "model/sendrules.h"

#include "model/snapshot.h"
#include "service/coding.h"
#include "service/service.h"
#include "text/phonenumber.h"
#include "text/turkish.h"

#include <algorithm>

namespace velmor {

QString CreditBalanceFromPayload(const QString &payload)
{
    const QStringView tag = u"<SMSKontor>";
    const qsizetype first = payload.indexOf(tag);
    if (first < 0)
        return QStringLiteral("--");
    const qsizetype start = first + tag.size();
    const qsizetype end = payload.indexOf(tag, start);
    if (end < 0)
        return QStringLiteral("--");
    return PlainNumberText(LeadingNumber(QStringView(payload).sliced(start, end - start)));
}

QString MessageBoxText(QStringView text)
{
    return FoldTurkish(TextAsSent(text));
}

QString MessageBoxKeyText(QStringView typed)
{
    QString out = TextAsSent(typed);
    for (QChar &ch : out)
        ch = QChar(FoldTurkish(ch.unicode()));
    return out;
}

qsizetype MessageLength(QStringView boxText)
{
    return boxText.size() + boxText.count(u'\n');
}

QString MessageForSending(const QString &boxText)
{
    QString out = boxText;
    out.replace(u'\n', QStringLiteral("\r\n"));
    return out;
}

QString PartInformation(qsizetype messageLength)
{
    const int parts = MessagePartCount(messageLength);
    const qsizetype left = std::max<qsizetype>(qsizetype(parts) * 160, 160) - messageLength;
    return QStringLiteral("%1 mesaj · %2 karakter kaldı").arg(parts).arg(left);
}

CostDecision CalculateCost(const QString &recipientCount, const QString &messageLength,
                           const QString &balance)
{
    if (recipientCount == u"0" || messageLength == u"0")
        return {QStringLiteral("0"), false};
    const double parts = MessagePartCount(qsizetype(LeadingNumber(messageLength)));
    const double credits = parts * LeadingNumber(recipientCount);
    return {PlainNumberText(credits), credits <= LeadingNumber(balance)};
}

CostDecision ReapplyCostRule(const QString &recipientCount, const QString &messageLength,
                             const QString &cost, const QString &balance)
{
    if (recipientCount == u"0" || messageLength == u"0")
        return {QStringLiteral("0"), false};
    return {cost, LeadingNumber(cost) <= LeadingNumber(balance)};
}

bool HasNumberToSend(const Contact &recipient)
{
    return HasNumberToSend(recipient.Adr_GSM_No);
}

bool HasNumberToSend(QStringView number)
{
    for (const QChar ch : number) {
        if (!ch.isSpace())
            return true;
    }
    return false;
}

namespace {

template<typename Recipients, typename NumberOf>
QString joinTelephoneNumbers(const Recipients &recipients, NumberOf numberOf)
{
    QString list;
    qsizetype size = 0;
    for (const auto &recipient : recipients)
        size += numberOf(recipient).size() + 1;
    list.reserve(size);
    for (const auto &recipient : recipients) {
        const QString &number = numberOf(recipient);
        if (!HasNumberToSend(number))
            continue;
        if (!list.isEmpty())
            list += u',';
        list += number;
    }
    return list;
}

} // namespace

QString BuildTelephoneList(const QList<Contact> &recipients)
{
    return joinTelephoneNumbers(recipients, [](const Contact &contact) -> const QString & { return contact.Adr_GSM_No; });
}

QString BuildTelephoneList(const QStringList &numbers)
{
    return joinTelephoneNumbers(numbers, [](const QString &number) -> const QString & { return number; });
}

Contact OutsideRecipient(const QString &mobileNumber)
{
    Contact recipient;
    recipient.Adr_GSM_No = mobileNumber;
    recipient.MarkKey = u'+' + mobileNumber;
    return recipient;
}

bool IsOutsideRecipient(const Contact &recipient)
{
    return recipient.MarkKey.startsWith(u'+');
}

QString ComparableNumber(const QString &storedNumber)
{
    if (IsMobileNumber(storedNumber))
        return storedNumber; // already in the kept form, as nearly every stored number is
    const QString normalised = NormaliseMobileNumber(storedNumber);
    return normalised.isEmpty() ? storedNumber : normalised;
}

SendStamp SplitServerTime(const QString &serverTime, const QDateTime &localNow)
{
    if (serverTime.size() == 14)
        return {serverTime.first(8), serverTime.last(6)};
    return {localNow.toString(QStringLiteral("yyyyMMdd")), localNow.toString(QStringLiteral("HHmmss"))};
}

bool SendSucceeded(const QString &balanceAfterSend)
{
    return balanceAfterSend == u"0" || LeadingNumber(balanceAfterSend) > 0;
}

QString SendSms(const Service &service, const QString &customerNo, const QString &senderName,
                const QString &messageType, const QString &message, const QString &phoneList,
                const QString &partCount, bool *commandPosted)
{
    if (commandPosted)
        *commandPosted = false;
    const QString serverTime = FetchServerTime(service);
    if (service.lastOutcome() == RequestOutcome::Abandoned)
        return {}; // the user gave up before the message went out
    if (commandPosted)
        *commandPosted = true;
    const SendStamp stamp = SplitServerTime(serverTime, QDateTime::currentDateTime());
    return SendSmsCommand(service, customerNo, senderName, messageType, message, phoneList, partCount,
                          stamp.date, stamp.time);
}

QStringList ApprovedSenderNames(const CustomerRecord &customer)
{
    QStringList names;
    for (const int field : {CustomerRecord::Cari_SMS_Gonderici_Adi1, CustomerRecord::Cari_SMS_Gonderici_Adi2,
                            CustomerRecord::Cari_SMS_Gonderici_Adi3}) {
        if (!customer[field].trimmed().isEmpty())
            names.append(customer[field]);
    }
    return names;
}

} // namespace velmor
