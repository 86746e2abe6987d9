#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace velmor {

struct AccountSnapshot;
struct Contact;
class ContactRef;
struct ContactGroup;

// One recipient of a send: the number the SMS goes to and what a
// personalised message takes from the contact behind it. Sends work on these
// values, never on the phone book's rows.
struct Recipient
{
    QString number;    // the mobile number: as the phone book keeps it, or as typed (05xxxxxxxxx)
    QString firstName; // {Adi}
    QString surname;   // {Soyadi}
    QString province;  // {Il}
    QString district;  // {Ilce}
    QString groupNo;   // the contact's group; empty for a typed number
    bool fromPhoneBook = false;
};

// The one place where a send reads a phone book contact.
Recipient RecipientFromContact(const Contact &contact);
Recipient RecipientFromContact(ContactRef contact);
// A number typed by hand or read from a file: it comes from no contact, so
// it has no names.
Recipient TypedRecipient(const QString &number);

// The recipients a group gives: its own contacts (not those of its
// sub-groups, as in the send window's group list), in the snapshot's order;
// "0" or the empty text gives every contact.
QList<Recipient> GroupRecipients(const AccountSnapshot &snapshot, const QString &groupNo);

// A group name as people compare names: letter case and Turkish letters do
// not count ("KARA LİSTE", "kara liste" and "Kara Lıste" are one name, as
// are "Müşteriler" and "Musteriler"), nor blanks at the ends or runs of
// blanks inside.
QString GroupNameKey(QStringView name);

// The groups a user names by number or by name: a group whose number is the
// text, else every group whose name has the same key; positions in the list.
QList<qsizetype> FindGroups(const QList<ContactGroup> &groups, QStringView numberOrName);

} // namespace velmor
