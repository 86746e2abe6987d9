#pragma once

#include "model/recipient.h"
#include "model/snapshot.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace velmor {

// The recipients of a send as the user chooses them: contacts of the phone
// book and numbers from outside it. Kept ascending by record number compared
// as text (numbers from outside, which have none, first, in the order added),
// together with ChosenKeys, the MarkKeys in the order they were added. No
// widget: the recipient picker shows it, the send reads it.
class RecipientList
{
public:
    const QList<Contact> &contacts() const { return m_recipients; }
    bool isEmpty() const { return m_recipients.isEmpty(); }
    qsizetype size() const { return m_recipients.size(); }

    const QString &chosenKeys() const { return m_chosenKeys; }
    bool isChosen(const QString &markKey) const { return m_chosenSet.contains(markKey); }
    bool anyChosen() const { return !m_chosenSet.isEmpty(); }

    // Recipients with a number to send to; only they are sent to and charged.
    qsizetype reachableCount() const { return m_reachable; }
    // The recipients as a send takes them, in list order: a contact's names
    // for the message's fields, a number from outside with none.
    QList<Recipient> sendRecipients() const;

    void clear();
    // Adds these contacts in this order; a MarkKey already chosen is passed
    // over (even one repeated in the list given). A number from outside the
    // phone book gives way to a contact added later with the same number,
    // which would otherwise be sent to twice. False when none was added.
    bool addContacts(const QList<Contact> &contacts);
    // Adds numbers (normalised mobile numbers) as recipients from outside the
    // phone book. A number some recipient already has is not added again;
    // returns how many were passed over for that.
    qsizetype addNumbers(const QStringList &numbers);
    // Takes the recipients at these positions, ascending, off the list and out
    // of ChosenKeys.
    void removeAt(const QList<int> &rows);

private:
    void choose(const QString &markKey);
    void merge(QList<Contact> added);
    void dropOutsideNumbersOf(const QList<Contact> &added);
    void count();

    QList<Contact> m_recipients;
    // ChosenKeys: the text form in adding order, the same keys one by one in
    // that order (so that the text is rebuilt without parsing it: a record
    // number may hold "#" itself), and as a set.
    QString m_chosenKeys;
    QStringList m_chosenOrder;
    QSet<QString> m_chosenSet;
    qsizetype m_reachable = 0;
    qsizetype m_outside = 0;
};

} // namespace velmor
