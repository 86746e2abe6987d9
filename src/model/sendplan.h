#pragma once

#include "model/personalisedmessage.h"
#include "model/recipient.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace velmor {

struct AccountSnapshot;

// Whether a group is the opt-out list: named "Kara Liste", as GroupNameKey
// compares names.
bool IsOptOutGroupName(QStringView name);

// The numbers that never receive anything: the mobile numbers of the
// contacts of every group named "Kara Liste" and of every group under one.
// Numbers are held and looked up in the form ComparableNumber gives, so
// "+90 532 111 22 33" typed by hand is the "05321112233" of the list.
class OptOutList
{
public:
    OptOutList() = default;
    explicit OptOutList(const AccountSnapshot &snapshot);

    bool contains(const QString &number) const;
    bool isEmpty() const { return m_numbers.isEmpty(); }
    qsizetype size() const { return m_numbers.size(); }

private:
    QSet<QString> m_numbers;
};

// One command 3 of a send: the text, and the numbers that get it.
struct PlannedRequest
{
    QString text;        // in the box's form (MessageForSending gives what is sent)
    QStringList numbers; // as the recipients hold them, in their order
    int parts = 0;       // of the text

    qsizetype recipientCount() const { return numbers.size(); }
    qint64 cost() const { return qint64(parts) * numbers.size(); }
    // The numbers as BuildTelephoneList joins them.
    QString telephoneList() const;
};

// How many recipients a used field is empty for.
struct EmptyField
{
    MessageField field;
    qsizetype count = 0;
};

// What a send of a message to a list of recipients comes to. Every
// recipient falls in one bucket: no number, on the opt-out list, a repeat of
// an earlier recipient's number (the earlier one's SMS goes), or sent.
struct SendPlan
{
    QList<PlannedRequest> requests; // one per distinct text, in the order of their first recipient

    qsizetype recipientCount = 0; // as given
    qsizetype withoutNumber = 0;
    qsizetype optedOut = 0;
    qsizetype repeats = 0;
    qsizetype sendCount = 0; // the SMS that go out, one per number

    int fewestParts = 0; // over the recipients sent to; 0 when none
    int mostParts = 0;
    qint64 cost = 0; // the sum of each recipient's parts

    // For a preview: the first recipient sent to and the one with the
    // longest text (the first of equals), as positions among the recipients
    // given (-1: none), and their texts.
    qsizetype firstRecipient = -1;
    qsizetype longestRecipient = -1;
    QString firstText;
    QString longestText;

    // The fields the message uses that are empty for some recipients sent
    // to, in the order of the field table.
    QList<EmptyField> emptyFields;
};

// Plans the send: each recipient's text (the message's fields filled in),
// one SMS per number (after ComparableNumber; the first recipient's),
// nothing to the opt-out list, and the recipients with the same text
// gathered into one request. The recipients in the order they were chosen.
// One pass, with hash look-ups: linear in the recipients.
SendPlan PlanSend(const PersonalisedMessage &message, const QList<Recipient> &recipients,
                  const OptOutList &optOut = {});

// The plan of a message without fields to the recipients of a plan made for
// another message without fields (and the same opt-out list): only the text,
// its parts and the cost change, so the recipients are not gone through
// again. What a keystroke in a plain message costs with a million recipients.
SendPlan ReplanPlainText(SendPlan plan, const PersonalisedMessage &message);

// "1 mesaj", or the range "1–2 mesaj" when recipients' texts differ in parts.
QString PartRangeText(const SendPlan &plan);
// Beside the recipient count: "(2 yinelenen numara bir kez gönderilecek, 1
// numara kara listede)"; the empty text when there is neither.
QString RecipientCountNote(const SendPlan &plan);
// The question before a send with empty fields: "3 kişinin Adı alanı boş; bu
// kişilere alan boş olarak gidecek. Gönderilsin mi?"; the empty text when no
// used field is empty.
QString EmptyFieldQuestion(const QList<EmptyField> &emptyFields);

} // namespace velmor
