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
    for (const QChar ch : recipient.Adr_GSM_No) {
        if (!ch.isSpace())
            return true;
    }
    return false;
}

QString BuildTelephoneList(const QList<Contact> &recipients)
{
    QString list;
    qsizetype size = 0;
    for (const Contact &contact : recipients)
        size += contact.Adr_GSM_No.size() + 1;
    list.reserve(size);
    for (const Contact &contact : recipients) {
        if (!HasNumberToSend(contact))
            continue;
        if (!list.isEmpty())
            list += u',';
        list += contact.Adr_GSM_No;
    }
    return list;
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
                const QString &partCount)
{
    const QString serverTime = FetchServerTime(service);
    if (service.lastOutcome() == RequestOutcome::Abandoned)
        return {}; // the user gave up before the message went out
    const SendStamp stamp = SplitServerTime(serverTime, QDateTime::currentDateTime());
    return SendSmsCommand(service, customerNo, senderName, messageType, message, phoneList, partCount,
                          stamp.date, stamp.time);
}

} // namespace velmor
