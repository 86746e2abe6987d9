#pragma once

#include "text/number.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QString>
#include <QStringView>

namespace velmor {

class Service;
struct Contact;
struct CustomerRecord;

// The balance figure from a command 2 payload: the number between the first
// two "<SMSKontor>" tags (exact letter case) as plain decimal text, or "--"
// when the tag does not occur twice.
QString CreditBalanceFromPayload(const QString &payload);

// What the message box holds for a text put into it: every character as the
// service will receive it (TextAsSent), with Turkish letters, the apostrophe,
// the semicolon and ’ folded (FoldTurkish, text mode). The fold comes last,
// as a best-fit letter may itself be a Turkish one (Ȫ goes out as Ö).
QString MessageBoxText(QStringView text);
// The same for the text of one key press, with the key-mode fold (’ stays:
// the change of the box folds it next).
QString MessageBoxKeyText(QStringView typed);

// The length of a message as the service counts it: a line break is the two
// characters CR LF, while the message box holds a single LF.
qsizetype MessageLength(QStringView boxText);
// The message as it is sent: every line break as CR LF.
QString MessageForSending(const QString &boxText);

// Beside the length: the parts and how many characters the last part still
// holds, "1 mesaj · 48 karakter kaldı"; an empty message, "0 mesaj · 160
// karakter kaldı".
QString PartInformation(qsizetype messageLength);

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

// Whether a recipient has a mobile number to send to (one of blanks only
// is none).
bool HasNumberToSend(const Contact &recipient);
bool HasNumberToSend(QStringView number);
// The telephone list of a send: the mobile numbers of the recipients that
// have one, as stored, in list order, joined with ",". A recipient without a
// number leaves no trace (and costs nothing). Repeats are kept here: a send
// plans its recipients first (PlanSend), which gives each phone one SMS.
QString BuildTelephoneList(const QList<Contact> &recipients);
// The same from the recipients' numbers.
QString BuildTelephoneList(const QStringList &numbers);

// A number from outside the phone book as a recipient: the number alone, no
// names, and a key that no contact's MarkKey can take ("+" and the number;
// a MarkKey always begins with "#").
Contact OutsideRecipient(const QString &mobileNumber);
bool IsOutsideRecipient(const Contact &recipient);
// A recipient's number in the form numbers are compared in for repeats:
// normalised when it reads as a mobile number, else as stored.
QString ComparableNumber(const QString &storedNumber);

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
// the clock request, nothing is sent (the service's lastOutcome() tells, and
// commandPosted, when given, is set false).
QString SendSms(const Service &service, const QString &customerNo, const QString &senderName,
                const QString &messageType, const QString &message, const QString &phoneList,
                const QString &partCount, bool *commandPosted = nullptr);

// The customer's approved sender names, as the send window offers them: the
// three sender name fields in order, each not blank as it is stored.
QStringList ApprovedSenderNames(const CustomerRecord &customer);

} // namespace velmor
