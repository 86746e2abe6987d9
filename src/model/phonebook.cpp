#include "model/phonebook.h"

#include <QHash>
#include <QSet>

#include <utility>

namespace velmor {

QString ContactFieldName(int field)
{
    return QString::fromUtf16(kContactFields[std::size_t(field)].name);
}

ContactValues ContactFieldValues(const Contact &contact)
{
    return {contact.Adr_Adi,    contact.Adr_Soyadi, contact.Adr_Adres1, contact.Adr_Adres2, contact.Adr_Adres3,
            contact.Adr_ilce,   contact.Adr_il,     contact.Adr_GSM_No, contact.Adr_Tel_No, contact.Adr_Fax_No};
}

namespace {
// The texts of a contact that the ten fields show, in field order.
constexpr std::array<ContactText, kContactFieldCount> kFieldTexts{
    ContactText::Adr_Adi,    ContactText::Adr_Soyadi, ContactText::Adr_Adres1, ContactText::Adr_Adres2,
    ContactText::Adr_Adres3, ContactText::Adr_ilce,   ContactText::Adr_il,     ContactText::Adr_GSM_No,
    ContactText::Adr_Tel_No, ContactText::Adr_Fax_No};
} // namespace

ContactValues ContactFieldValues(ContactRef contact)
{
    ContactValues values;
    for (std::size_t field = 0; field < kFieldTexts.size(); ++field)
        values[field] = contact.text(kFieldTexts[field]).toString();
    return values;
}

QString ContactData(const QString &groupNo, const ContactValues &values)
{
    qsizetype length = groupNo.size() + kContactFieldCount;
    for (const QString &value : values)
        length += value.size();
    QString data;
    data.reserve(length);
    data += groupNo;
    for (const QString &value : values) {
        data += u'|';
        data += value;
    }
    return data;
}

QList<ContactGroup> ChildGroups(const QList<ContactGroup> &groups, const QString &groupNo)
{
    QList<ContactGroup> children;
    for (const ContactGroup &group : groups) {
        if (group.Grp_Ust_Grup_No == groupNo)
            children.append(group);
    }
    return children;
}

QStringList GroupFamilyNumbers(const QList<ContactGroup> &groups, const QString &groupNo)
{
    // Children by parent number, in list order, made in one pass.
    QHash<QString, QList<qsizetype>> children;
    for (qsizetype i = 0; i < groups.size(); ++i)
        children[groups.at(i).Grp_Ust_Grup_No].append(i);

    QStringList family{groupNo};
    QSet<QString> seen{groupNo};
    // The list itself is the queue: family[next] is the next group to visit.
    for (qsizetype next = 0; next < family.size(); ++next) {
        const auto found = children.constFind(family.at(next));
        if (found == children.cend())
            continue;
        for (const qsizetype row : *found) {
            const QString &child = groups.at(row).Grup_No;
            if (seen.contains(child))
                continue;
            seen.insert(child);
            family.append(child);
        }
    }
    return family;
}

QString GroupFamily(const QList<ContactGroup> &groups, const QString &groupNo)
{
    return GroupFamilyNumbers(groups, groupNo).join(u'|');
}

QString UpperGroupNo(const QList<ContactGroup> &groups, const QString &groupNo, const QStringList &family)
{
    if (groups.isEmpty())
        return {};
    const ContactGroup *deleted = FindGroup(groups, groupNo);
    if (deleted && !IsTopLevelGroup(*deleted) && !family.contains(deleted->Grp_Ust_Grup_No)) {
        if (const ContactGroup *parent = FindGroup(groups, deleted->Grp_Ust_Grup_No))
            return parent->Grup_No;
    }
    return groups.constFirst().Grup_No;
}

namespace {
// Sets a field of every entry whose key field equals key. The list is read
// first and written only where it changes, so that a list shared with the
// views is copied only when something really changes.
template<typename Entry>
int setWhere(QList<Entry> &list, QString Entry::*keyField, const QString &key, QString Entry::*field,
             const QString &value)
{
    int changed = 0;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (std::as_const(list).at(i).*keyField == key) {
            list[i].*field = value;
            ++changed;
        }
    }
    return changed;
}
} // namespace

int RenameGroupInSnapshot(AccountSnapshot &snapshot, const QString &groupNo, const QString &name)
{
    return setWhere(snapshot.groups, &ContactGroup::Grup_No, groupNo, &ContactGroup::Grp_Adi, name);
}

int MoveContactInSnapshot(AccountSnapshot &snapshot, const QString &recordNo, const QString &groupNo)
{
    // Read first, written only where it changes: a list shared with the
    // windows is copied only when a contact really moves.
    int changed = 0;
    ContactList &contacts = snapshot.contacts;
    for (qsizetype i = 0; i < contacts.size(); ++i) {
        if (std::as_const(contacts).at(i).Adr_K_No() == recordNo) {
            contacts.setText(i, ContactText::Grup_No, groupNo);
            ++changed;
        }
    }
    return changed;
}

ChangeOutcome ChangeOutcomeOf(const QString &reply, RequestOutcome how)
{
    if (reply == u"1")
        return ChangeOutcome::Done;
    // A refused certificate ends the request before anything is sent.
    if (how == RequestOutcome::Failed || how == RequestOutcome::Abandoned)
        return ChangeOutcome::Unknown;
    return ChangeOutcome::Refused;
}

const ContactGroup *FindGroup(const QList<ContactGroup> &groups, QStringView groupNo)
{
    for (const ContactGroup &group : groups) {
        if (group.Grup_No == groupNo)
            return &group;
    }
    return nullptr;
}

qsizetype FindContactRow(const ContactList &contacts, QStringView recordNo)
{
    const qsizetype count = contacts.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (contacts.at(i).Adr_K_No() == recordNo)
            return i;
    }
    return -1;
}

bool ContactHolds(ContactRef contact, QStringView groupNo, const ContactValues &values)
{
    if (contact.Grup_No() != groupNo)
        return false;
    for (std::size_t field = 0; field < kFieldTexts.size(); ++field) {
        if (contact.text(kFieldTexts[field]) != values[field])
            return false;
    }
    return true;
}

EqualContacts FindEqualContacts(const ContactList &contacts, QStringView groupNo, const ContactValues &values)
{
    EqualContacts found;
    const qsizetype count = contacts.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (ContactHolds(contacts.at(i), groupNo, values)) {
            ++found.count;
            found.lastRow = i;
        }
    }
    return found;
}

} // namespace velmor
