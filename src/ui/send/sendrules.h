#pragma once

#include "text/number.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

namespace velmor {

class Service;
struct Contact;

// The balance figure from a command 2 payload: the number between the first
// two "<SMSKontor>" tags (exact letter case) as plain decimal text, or "--"
// when the tag does not occur twice.
QString CreditBalanceFromPayload(const QString &payload);

// Whether a search text holds a "[" without a "]" after it: such a pattern
// matches nothing, so what it showed says nothing about a longer text.
bool HasUnclosedList(QStringView searchText);

// The length of a message as the service counts it: a line break is the two
// characters CR LF, while the message box holds a single LF.
qsizetype MessageLength(QStringView boxText);
// The message as it is sent: every line break as CR LF.
QString MessageForSending(const QString &boxText);

// What the cost calculation decides from the three figures.
struct CostDecision
{
    QString cost;     // the cost figure
    bool sendEnabled; // whether the balance covers it (and there is something to send)
};
// Cost rule: parts of 160 characters × recipients; the send button only when
// there is something to send and the cost is at most the balance.
CostDecision CalculateCost(const QString &recipientCount, const QString &messageLength,
                           const QString &balance);
// The same rule on a click of the balance figure, without recomputing the cost.
CostDecision ReapplyCostRule(const QString &recipientCount, const QString &messageLength,
                             const QString &cost, const QString &balance);

// The telephone list of a send: the mobile numbers in list order joined with
// ",". Empty numbers at the start leave no trace; later ones leave an empty
// entry ("A,,C", "A,B,").
QString BuildTelephoneList(const QList<Contact> &recipients);

// The send date (YYYYMMDD) and time (HHNNSS): from the service clock when it
// gave exactly fourteen characters, otherwise from the local clock.
struct SendStamp
{
    QString date;
    QString time;
};
SendStamp SplitServerTime(const QString &serverTime, const QDateTime &localNow);

// Whether the balance the service returned after a send means success:
// exactly "0", or a leading number above 0.
bool SendSucceeded(const QString &balanceAfterSend);

// Command 13 then command 3: the message goes out stamped with the service's
// clock, or the local clock when the service gave no usable time. Returns the
// decoded payload of command 3, or the empty text. Should the user abandon
// the clock request, nothing is sent (the service's lastOutcome() tells).
QString SendSms(const Service &service, const QString &customerNo, const QString &senderName,
                const QString &messageType, const QString &message, const QString &phoneList,
                const QString &partCount);

} // namespace velmor
