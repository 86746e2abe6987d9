#include "ui/send/sendrules.h"

#include "model/snapshot.h"
#include "service/service.h"
#include "text/turkish.h"

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

bool HasUnclosedList(QStringView searchText)
{
    const qsizetype open = searchText.lastIndexOf(u'[');
    return open >= 0 && searchText.indexOf(u']', open + 1) < 0;
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

QString BuildTelephoneList(const QList<Contact> &recipients)
{
    QString list;
    qsizetype size = 0;
    for (const Contact &contact : recipients)
        size += contact.Adr_GSM_No.size() + 1;
    list.reserve(size);
    for (const Contact &contact : recipients) {
        // While the list is still empty the number becomes the list, so empty
        // numbers at the top leave no trace.
        if (!list.isEmpty())
            list += u',';
        list += contact.Adr_GSM_No;
    }
    return list;
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
