#pragma once

#include "model/snapshot.h"
#include "service/transport.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace velmor {

// The ten fields of a contact that the editor shows and the contact data
// carries, in that order: the name each goes by in messages, for screen
// readers and as a column name in files, and the longest value the editor
// takes.
enum ContactField {
    FieldAdi,
    FieldSoyadi,
    FieldAdres1,
    FieldAdres2,
    FieldAdres3,
    FieldIlce,
    FieldIl,
    FieldGsm,
    FieldTel,
    FieldFax,
};
inline constexpr int kContactFieldCount = 10;
struct ContactFieldInfo
{
    const char16_t *name;
    int limit;
};
inline constexpr std::array<ContactFieldInfo, kContactFieldCount> kContactFields{{
    {u"Adı", 50},
    {u"Soyadı", 50},
    {u"Adres", 50},
    {u"Adres (2. satır)", 50},
    {u"Adres (3. satır)", 50},
    {u"İlçe", 20},
    {u"İl", 20},
    {u"Cep Telefonu", 11},
    {u"Sabit Telefon", 11},
    {u"Fax", 11},
}};
QString ContactFieldName(int field);

// The longest group name that can be typed.
inline constexpr int kGroupNameLimit = 50;

using ContactValues = std::array<QString, kContactFieldCount>;
// A contact's ten values in field order.
ContactValues ContactFieldValues(const Contact &contact);
ContactValues ContactFieldValues(ContactRef contact);
// The contact data the add and update commands carry: the group number and
// the ten values joined with "|", each as it is (empty ones stay empty
// positions; the format has no escaping, so values must hold no "|").
QString ContactData(const QString &groupNo, const ContactValues &values);

// The groups whose parent number equals the given number as text ("07" is
// not "7"), in list order.
QList<ContactGroup> ChildGroups(const QList<ContactGroup> &groups, const QString &groupNo);

// A group and all its descendants, breadth first: the group itself, its
// children in list order, then their children, and so on. Each group comes
// once, so parents that form a cycle (a group its own parent, A under B
// under A) end the walk instead of repeating it. One pass over the list.
QStringList GroupFamilyNumbers(const QList<ContactGroup> &groups, const QString &groupNo);
// The same numbers joined with "|", as the delete command takes them: "7|9|12|15".
QString GroupFamily(const QList<ContactGroup> &groups, const QString &groupNo);

// The group that takes the contacts of a deleted group family: the deleted
// group's parent when it is a sub-group whose parent exists and is not
// deleted with it; otherwise the default group (the first of the list).
QString UpperGroupNo(const QList<ContactGroup> &groups, const QString &groupNo, const QStringList &family);

// In-place changes of the snapshot that need no reload; each returns how
// many rows it changed.
// Gives every group of that number the name.
int RenameGroupInSnapshot(AccountSnapshot &snapshot, const QString &groupNo, const QString &name);
// Puts every contact of that record number into the group.
int MoveContactInSnapshot(AccountSnapshot &snapshot, const QString &recordNo, const QString &groupNo);

// How a command that changes the phone book ended: carried out (the reply
// "1"), refused (any other answer), or unknown: no answer came back (the
// time limit, a broken connection, the user gave up waiting) after the
// service may already have carried it out.
enum class ChangeOutcome { Done, Refused, Unknown };
ChangeOutcome ChangeOutcomeOf(const QString &reply, RequestOutcome how);

// The group of that number (the first, should two share it); nullptr when none.
const ContactGroup *FindGroup(const QList<ContactGroup> &groups, QStringView groupNo);
// The row of the contact of that record number; -1 when there is none.
qsizetype FindContactRow(const ContactList &contacts, QStringView recordNo);
// Whether the contact is in that group with exactly these ten values.
bool ContactHolds(ContactRef contact, QStringView groupNo, const ContactValues &values);
// How many contacts are in that group with exactly these ten values, and
// the row of the last of them (-1: none).
struct EqualContacts
{
    qsizetype count = 0;
    qsizetype lastRow = -1;
};
EqualContacts FindEqualContacts(const ContactList &contacts, QStringView groupNo, const ContactValues &values);

} // namespace velmor
