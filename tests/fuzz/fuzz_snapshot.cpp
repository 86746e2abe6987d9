// Loading the account from a command 1 payload: a payload without "<Cari>"
// leaves the old snapshot exactly as it was; any other yields groups in
// SortKey order (the reply's order among equal keys) and every contact's
// MarkKey made from its record number.

#include "fuzzcheck.h"

#include "model/snapshot.h"

namespace {

using velmor::AccountSnapshot;
using velmor::Contact;
using velmor::ContactGroup;

bool sameGroup(const ContactGroup &a, const ContactGroup &b)
{
    return a.Grup_No == b.Grup_No && a.Grp_Ust_Grup_No == b.Grp_Ust_Grup_No && a.Grp_Adi == b.Grp_Adi
           && a.SortKey == b.SortKey;
}

bool sameContact(const Contact &a, const Contact &b)
{
    return a.Adr_K_No == b.Adr_K_No && a.Grup_No == b.Grup_No && a.Adr_Adi == b.Adr_Adi
           && a.Adr_Soyadi == b.Adr_Soyadi && a.Adr_Adres1 == b.Adr_Adres1 && a.Adr_Adres2 == b.Adr_Adres2
           && a.Adr_Adres3 == b.Adr_Adres3 && a.Adr_ilce == b.Adr_ilce && a.Adr_il == b.Adr_il
           && a.Adr_GSM_No == b.Adr_GSM_No && a.Adr_Tel_No == b.Adr_Tel_No && a.Adr_Fax_No == b.Adr_Fax_No
           && a.MarkKey == b.MarkKey;
}

bool sameSnapshot(const AccountSnapshot &a, const AccountSnapshot &b)
{
    return a.hasCustomer == b.hasCustomer && a.customer.fields == b.customer.fields
           && std::equal(a.groups.begin(), a.groups.end(), b.groups.begin(), b.groups.end(), sameGroup)
           && [&] {
               const QList<Contact> left = a.contacts.toContacts(), right = b.contacts.toContacts();
               return std::equal(left.begin(), left.end(), right.begin(), right.end(), sameContact);
           }();
}

bool plainDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The payload's group rows in their own order: the text after the first
// "<Grup>" up to the next one (or the end), rows after each "<>".
QStringList groupNumbersInReplyOrder(const QString &payload)
{
    const QString tag = QStringLiteral("<Grup>");
    const qsizetype first = payload.indexOf(tag);
    if (first < 0)
        return {};
    const qsizetype start = first + tag.size();
    const qsizetype end = payload.indexOf(tag, start);
    QStringList rows = payload.mid(start, end < 0 ? -1 : end - start).split(QStringLiteral("<>"));
    rows.removeFirst(); // the text before the first row
    QStringList numbers;
    for (const QString &row : rows) {
        // A row of empty fields is no group.
        if (!row.section(u'|', 0, 2).remove(u'|').isEmpty())
            numbers.append(row.section(u'|', 0, 0));
    }
    return numbers;
}

// The payload's contact rows read the plain way: the text after the first
// "<Adres>" up to the next one (or the end), rows after each "<>", twelve
// fields at "|", missing ones empty.
QList<QStringList> contactRowsReadPlainly(const QString &payload)
{
    const QString tag = QStringLiteral("<Adres>");
    const qsizetype first = payload.indexOf(tag);
    if (first < 0)
        return {};
    const qsizetype start = first + tag.size();
    const qsizetype end = payload.indexOf(tag, start);
    QStringList rows = payload.mid(start, end < 0 ? -1 : end - start).split(QStringLiteral("<>"));
    rows.removeFirst();
    QList<QStringList> contacts;
    for (const QString &row : rows) {
        QStringList fields = row.split(u'|');
        fields.resize(velmor::kContactTextCount);
        if (!fields.join(QString()).isEmpty())
            contacts.append(fields);
    }
    return contacts;
}

AccountSnapshot loadedOrDie(const QString &payload)
{
    AccountSnapshot snapshot;
    FUZZ_CHECK(velmor::LoadAccountSnapshot(snapshot, payload));
    return snapshot;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const AccountSnapshot old = loadedOrDie(QStringLiteral(
        "<Cari>1001|1|Eski Ltd.<Cari><Grup><>2|0|B<>1|0|A<Grup><Adres><>7|1|Ali|Işık||||||05321112233||<Adres>"));
    const QString payload = velmor::fuzz::utf8(data, size);

    AccountSnapshot snapshot = old;
    bool overLimits = false;
    const bool loaded = velmor::LoadAccountSnapshot(snapshot, payload, &overLimits);
    FUZZ_CHECK(loaded == (payload.contains(QStringLiteral("<Cari>")) && !overLimits));
    if (!loaded) {
        FUZZ_CHECK(sameSnapshot(snapshot, old));
        return 0;
    }
    FUZZ_CHECK(snapshot.hasCustomer);

    // Ordered by SortKey; among equal keys, in the reply's order.
    const QStringList replyOrder = groupNumbersInReplyOrder(payload);
    FUZZ_CHECK(snapshot.groups.size() == replyOrder.size());
    QList<qsizetype> positionInReply;
    QList<bool> taken(replyOrder.size(), false);
    for (qsizetype i = 0; i < snapshot.groups.size(); ++i) {
        const ContactGroup &group = snapshot.groups[i];
        FUZZ_CHECK(group.SortKey == velmor::TenDigitKey(group.Grup_No));
        if (plainDigits(group.Grup_No) && group.Grup_No.size() <= 10)
            FUZZ_CHECK(group.SortKey == QString(10 - group.Grup_No.size(), u'0') + group.Grup_No);
        qsizetype at = 0;
        while (at < replyOrder.size() && (taken[at] || replyOrder[at] != group.Grup_No))
            ++at;
        FUZZ_CHECK(at < replyOrder.size());
        taken[at] = true;
        positionInReply.append(at);
        if (i > 0) {
            const ContactGroup &before = snapshot.groups[i - 1];
            FUZZ_CHECK(before.SortKey <= group.SortKey);
            if (before.SortKey == group.SortKey)
                FUZZ_CHECK(positionInReply[i - 1] < at);
        }
    }

    // Every text read in place equals the text cut out the plain way.
    const QList<QStringList> plainRows = contactRowsReadPlainly(payload);
    FUZZ_CHECK(snapshot.contacts.size() == plainRows.size());
    for (qsizetype row = 0; row < plainRows.size(); ++row) {
        const velmor::ContactRef contact = snapshot.contacts.at(row);
        for (int field = 0; field < velmor::kContactTextCount; ++field)
            FUZZ_CHECK(contact.text(velmor::ContactText(field)) == plainRows[row][field]);
    }
    // A change in place reaches the list changed and no copy of it.
    if (!snapshot.contacts.isEmpty()) {
        velmor::ContactList changed = snapshot.contacts;
        const qsizetype last = changed.size() - 1;
        changed.setText(last, velmor::ContactText::Grup_No, QStringLiteral("taşındı"));
        FUZZ_CHECK(changed.at(last).Grup_No() == QStringLiteral("taşındı"));
        FUZZ_CHECK(snapshot.contacts.at(last).Grup_No() == plainRows[last][1]);
        FUZZ_CHECK(changed.at(last).Adr_Adi() == plainRows[last][2]);
    }

    for (const Contact &contact : snapshot.contacts.toContacts()) {
        FUZZ_CHECK(contact.MarkKey == u'#' + velmor::TenDigitKey(contact.Adr_K_No) + u'#');
        FUZZ_CHECK(contact.MarkKey == velmor::MakeMarkKey(contact.Adr_K_No));
        if (plainDigits(contact.Adr_K_No) && contact.Adr_K_No.size() <= 10)
            FUZZ_CHECK(contact.MarkKey == u'#' + QString(10 - contact.Adr_K_No.size(), u'0') + contact.Adr_K_No + u'#');
        // No field carries a separator of the rows it came from.
        for (const QString *field : {&contact.Adr_K_No, &contact.Adr_Adi, &contact.Adr_Fax_No})
            FUZZ_CHECK(!field->contains(u'|') && !field->contains(QStringLiteral("<>")));
    }

    // A second load of the same payload gives the same snapshot.
    AccountSnapshot again;
    FUZZ_CHECK(velmor::LoadAccountSnapshot(again, payload));
    FUZZ_CHECK(sameSnapshot(again, snapshot));
    return 0;
}
