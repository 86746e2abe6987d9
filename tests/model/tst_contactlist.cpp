// The compact contact list: texts read in place must be the texts the
// service sent, changes in place must reach only the list changed, and a
// list built contact by contact must give back what went in.

#include "model/phonebook.h"
#include "model/snapshot.h"

#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

QStringList texts(ContactRef contact)
{
    QStringList out;
    for (int field = 0; field < kContactTextCount; ++field)
        out.append(contact.text(ContactText(field)).toString());
    return out;
}

AccountSnapshot loaded(const QString &payload)
{
    AccountSnapshot snapshot;
    if (!LoadAccountSnapshot(snapshot, payload))
        qFatal("payload not loaded");
    return snapshot;
}

} // namespace

class ContactListTest : public QObject
{
    Q_OBJECT

private slots:
    void rowsWithMissingExtraAndEmptyFields()
    {
        // A full row, a short one, one with fields beyond the twelfth and an
        // empty one, in a payload where the contacts are a small part (the
        // section is copied) and where they are most of it (read in place).
        const QString rows = u"<>1|2|Ali|Işık|a1|a2|a3|Kadıköy|İstanbul|05321112233|02161112233|fax"
                             "<>2|3|Ayşe"
                             "<>3|4|||||||||||fazla|alan"
                             "<>||||<>"_s; // rows of empty fields are no contacts
        for (const QString &padding : {QString(200, u'x'), QString()}) {
            const AccountSnapshot s = loaded(u"<Cari>1<Cari><Grup>"_s + padding + u"<Grup><Adres>"_s + rows + u"<Adres>"_s);
            QCOMPARE(s.contacts.size(), 3);
            QCOMPARE(texts(s.contacts[0]), (QStringList{u"1"_s, u"2"_s, u"Ali"_s, u"Işık"_s, u"a1"_s, u"a2"_s,
                                                         u"a3"_s, u"Kadıköy"_s, u"İstanbul"_s, u"05321112233"_s,
                                                         u"02161112233"_s, u"fax"_s}));
            QStringList second(kContactTextCount);
            second[0] = u"2"_s, second[1] = u"3"_s, second[2] = u"Ayşe"_s;
            QCOMPARE(texts(s.contacts[1]), second);
            QCOMPARE(s.contacts[2].Adr_K_No(), u"3");
            QCOMPARE(s.contacts[2].Adr_Fax_No(), u"");
            QCOMPARE(s.contacts[0].MarkKey(), u"#0000000001#"_s);
        }
    }

    void accountOverTheLimitsIsRefusedWhole()
    {
        AccountSnapshot s = loaded(u"<Cari>1<Cari><Grup><>1|0|A<Grup><Adres><>7|1|Ali<Adres>"_s);
        const QString longText(kMaxAccountTextLength + 1, u'x');
        const QString groups = u"<Grup>"_s + u"<>1|0|A"_s.repeated(int(kMaxAccountGroups) + 1) + u"<Grup>"_s;
        for (const QString &payload : {u"<Cari>1<Cari><Adres><>8|1|"_s + longText + u"<Adres>"_s,
                                       u"<Cari>1<Cari><Grup><>2|0|"_s + longText + u"<Grup>"_s,
                                       u"<Cari>"_s + longText + u"<Cari>"_s, u"<Cari>1<Cari>"_s + groups}) {
            bool overLimits = false;
            QVERIFY(!LoadAccountSnapshot(s, payload, &overLimits));
            QVERIFY(overLimits);
            QCOMPARE(s.contacts.size(), 1); // the old snapshot stays whole
            QCOMPARE(s.contacts[0].Adr_Adi(), u"Ali");
        }
        // Bare separators are no rows: millions of them load as nothing.
        bool overLimits = true;
        QVERIFY(LoadAccountSnapshot(s, u"<Cari>1<Cari><Grup>"_s + u"<>"_s.repeated(300000) + u"<Grup><Adres>"_s
                                        + u"<>|"_s.repeated(3000000) + u"<Adres>"_s, &overLimits));
        QVERIFY(!overLimits);
        QVERIFY(s.groups.isEmpty() && s.contacts.isEmpty());
    }

    void moveReachesTheSnapshotAndNoCopyOfIt()
    {
        AccountSnapshot s = loaded(
            u"<Cari>1<Cari><Grup><>1|0|A<>2|0|B<Grup><Adres><>7|1|Ali|Kaya||||||05321112233||<>8|1|Can<Adres>"_s);
        const ContactList windowCopy = s.contacts;
        const QStringList before = texts(s.contacts[0]);

        QCOMPARE(MoveContactInSnapshot(s, u"7"_s, u"2"_s), 1);
        QStringList after = before;
        after[1] = u"2"_s;
        QCOMPARE(texts(s.contacts[0]), after);           // only the group changed
        QCOMPARE(texts(s.contacts[1])[1], u"1"_s);       // the other contact stays
        QCOMPARE(texts(windowCopy[0]), before);          // a window's copy is untouched
        QVERIFY(!windowCopy.isSharedWith(s.contacts));

        // Moved again, and a rename of a group beside it: still one text each.
        QCOMPARE(MoveContactInSnapshot(s, u"7"_s, u"12345678901234567890"_s), 1);
        QCOMPARE(RenameGroupInSnapshot(s, u"2"_s, u"Bayiler"_s), 1);
        QCOMPARE(s.contacts[0].Grup_No(), u"12345678901234567890");
        QCOMPARE(s.contacts[0].Adr_Soyadi(), u"Kaya");
        QCOMPARE(s.groups[1].Grp_Adi, u"Bayiler"_s);
        // A copy made after the change carries it.
        const ContactList later = s.contacts;
        QCOMPARE(later[0].toContact().Grup_No, u"12345678901234567890"_s);
    }

    void builtListGivesBackWhatWentIn()
    {
        Contact odd;
        odd.Adr_K_No = u"42"_s;
        odd.Adr_Adi = u"|"_s;        // a separator inside a text is still one text
        odd.Adr_Fax_No = u"<>"_s;
        Contact plain;
        plain.Adr_K_No = u"43"_s;
        plain.Adr_GSM_No = u"05321112233"_s;
        ContactList list{odd, plain};
        list.append(list[1]); // a contact of the list itself
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0].Adr_Adi(), u"|");
        QCOMPARE(list[0].Adr_Fax_No(), u"<>");
        QCOMPARE(list[0].Adr_Soyadi(), u"");
        QCOMPARE(list[2].Adr_GSM_No(), u"05321112233");
        QCOMPARE(list[2].toContact().MarkKey, u"#0000000043#"_s);
        QCOMPARE(list.toContacts().size(), 3);
    }
};

QTEST_GUILESS_MAIN(ContactListTest)
#include "tst_contactlist.moc"
