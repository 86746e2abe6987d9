#include "model/personalisedmessage.h"
#include "model/recipient.h"
#include "model/sendplan.h"
#include "model/sendrules.h"
#include "model/snapshot.h"

#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

Recipient person(const QString &first, const QString &last, const QString &number, const QString &group = u"1"_s)
{
    Recipient r;
    r.firstName = first;
    r.surname = last;
    r.number = number;
    r.groupNo = group;
    r.fromPhoneBook = true;
    return r;
}

PersonalisedMessage box(const QString &typed)
{
    return PersonalisedMessage(MessageBoxText(typed));
}

ContactGroup group(const QString &no, const QString &parent, const QString &name)
{
    return {no, parent, name, TenDigitKey(no)};
}

Contact contact(const QString &recordNo, const QString &groupNo, const QString &first, const QString &mobile)
{
    Contact c;
    c.Adr_K_No = recordNo;
    c.Grup_No = groupNo;
    c.Adr_Adi = first;
    c.Adr_GSM_No = mobile;
    c.MarkKey = MakeMarkKey(recordNo);
    return c;
}

} // namespace

Q_DECLARE_METATYPE(velmor::Recipient)

class TestSendPlan : public QObject
{
    Q_OBJECT

private slots:
    void eachRecipientGetsTheTextAsTheBoxWouldHoldIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Recipient>("recipient");
        QTest::addColumn<QString>("text");
        const Recipient sukru = person(u"Şükrü"_s, u"Aksoy"_s, u"05313334456"_s);
        QTest::newRow("names folded") << u"Sayın {Adi} {Soyadi}, hoş geldiniz"_s << sukru
                                      << u"Sayin Sukru Aksoy, hos geldiniz"_s;
        QTest::newRow("a typed {Adı} is the field") << u"{Adı}"_s << sukru << u"Sukru"_s;
        QTest::newRow("tag in any case") << u"{ADSOYAD}/{gsm}"_s << sukru << u"Sukru Aksoy/05313334456"_s;
        QTest::newRow("unknown field stays") << u"{Ad} {Soyad} {Adi"_s << sukru << u"{Ad} {Soyad} {Adi"_s;
        QTest::newRow("value as sent: apostrophe, emoji")
            << u"{Soyadi}"_s << person(u"x"_s, u"D'Souza \U0001F600"_s, u"05313334456"_s) << u"D Souza ?"_s;
        QTest::newRow("blanks around a value dropped")
            << u"[{Adi}] [{AdSoyad}]"_s << person(u"  Ali "_s, QString(), u"05313334456"_s) << u"[Ali] [Ali]"_s;
        // A value is never read as a template again.
        QTest::newRow("value holding a tag") << u"{Adi} {Soyadi}"_s << person(u"{Soyadi}"_s, u"X"_s, u"0531"_s)
                                             << u"{Soyadi} X"_s;
        QTest::newRow("typed number: no names, its own number")
            << u"Sayın {AdSoyad} ({Il}/{Ilce}) {Gsm}"_s << TypedRecipient(u"05321112233"_s)
            << u"Sayin  (/) 05321112233"_s;
    }

    void eachRecipientGetsTheTextAsTheBoxWouldHoldIt()
    {
        QFETCH(QString, typed);
        QFETCH(Recipient, recipient);
        QFETCH(QString, text);
        const SendPlan plan = PlanSend(box(typed), {recipient});
        QCOMPARE(plan.requests.size(), 1);
        QCOMPARE(plan.requests.constFirst().text, text);
        QCOMPARE(plan.firstText, text);
    }

    void onePhoneGetsOneSmsThatOfTheFirstChosen()
    {
        const QList<Recipient> recipients = {
            person(u"Süleyman"_s, u"Aktaş"_s, u"05357778801"_s),
            person(u"Nazlı"_s, u"Aktaş"_s, u"+90 535 777 88 01"_s),
            person(u"Ali"_s, u"Kılıç"_s, u"05052223345"_s),
            person(u"Yağmur"_s, u"Koçak"_s, u"  "_s),
        };
        const SendPlan plan = PlanSend(box(u"Sayın {Adi} {Soyadi}"_s), recipients);
        QCOMPARE(plan.sendCount, 2);
        QCOMPARE(plan.repeats, 1);
        QCOMPARE(plan.withoutNumber, 1);
        QCOMPARE(plan.cost, 2);
        QCOMPARE(plan.requests.size(), 2);
        QCOMPARE(plan.requests.at(0).text, u"Sayin Suleyman Aktas"_s);
        QCOMPARE(plan.requests.at(0).numbers, QStringList{u"05357778801"_s});
        QCOMPARE(RecipientCountNote(plan), u"(1 yinelenen numara bir kez gönderilecek)"_s);

        // Without fields too: one number once in the telephone list.
        const SendPlan same = PlanSend(box(u"Kampanya"_s), recipients);
        QCOMPARE(same.requests.size(), 1);
        QCOMPARE(same.requests.constFirst().telephoneList(), u"05357778801,05052223345"_s);
        QCOMPARE(same.cost, 2);
    }

    void optOutGroupNamedInAnySpelling_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("optOut");
        QTest::newRow("as written") << u"Kara Liste"_s << true;
        QTest::newRow("capitals, dotted İ") << u"KARA LİSTE"_s << true;
        QTest::newRow("capitals, plain I") << u"KARA LISTE"_s << true;
        QTest::newRow("small") << u"kara liste"_s << true;
        QTest::newRow("dotless ı") << u"Kara Lıste"_s << true;
        QTest::newRow("decomposed İ") << u"KARA LI\u0307STE"_s << true;
        QTest::newRow("blanks") << u" Kara   Liste "_s << true;
        QTest::newRow("longer name") << u"Kara Listesi"_s << false;
        QTest::newRow("other") << u"Karaliste"_s << false;
    }

    void optOutGroupNamedInAnySpelling()
    {
        QFETCH(QString, name);
        QFETCH(bool, optOut);
        QCOMPARE(IsOptOutGroupName(name), optOut);
    }

    void groupsFoundByNumberOrByNameAsPeopleWriteIt()
    {
        const QList<ContactGroup> groups = {group(u"2"_s, u"0"_s, u"Müşteriler"_s), group(u"6"_s, u"2"_s, u"İstanbul"_s),
                                            group(u"7"_s, u"2"_s, u"Ankara"_s), group(u"8"_s, u"0"_s, u"ankara"_s),
                                            group(u"9"_s, u"0"_s, u"7"_s)};
        QCOMPARE(FindGroups(groups, u"6"), QList<qsizetype>{1});
        QCOMPARE(FindGroups(groups, u" musteriler "), QList<qsizetype>{0});
        QCOMPARE(FindGroups(groups, u"ISTANBUL"), QList<qsizetype>{1});
        QCOMPARE(FindGroups(groups, u"ANKARA"), (QList<qsizetype>{2, 3})); // the caller asks for the number
        QCOMPARE(FindGroups(groups, u"7"), QList<qsizetype>{2}); // a number before a name
        QVERIFY(FindGroups(groups, u"Izmir").isEmpty());
    }

    void optOutNumbersNeitherSentNorCharged()
    {
        AccountSnapshot snapshot;
        snapshot.groups = {group(u"1"_s, u"0"_s, u"Genel"_s), group(u"2"_s, u"0"_s, u"KARA LİSTE"_s),
                           group(u"3"_s, u"2"_s, u"Eski Müşteriler"_s), group(u"4"_s, u"3"_s, u"2019"_s)};
        snapshot.contacts = {contact(u"1"_s, u"1"_s, u"Ahmet"_s, u"05321112233"_s),
                             contact(u"2"_s, u"2"_s, u"Can"_s, u"05329990011"_s),
                             contact(u"3"_s, u"4"_s, u"Ece"_s, u"05057778890"_s),
                             contact(u"4"_s, u"1"_s, u"Ece"_s, u"0505 777 88 90"_s)};
        const OptOutList optOut(snapshot);
        QCOMPARE(optOut.size(), 2);

        QList<Recipient> recipients = GroupRecipients(snapshot, u"0"_s); // every contact, the list's own too
        recipients.append(TypedRecipient(u"05329990011"_s)); // typed by hand
        const SendPlan plan = PlanSend(box(u"Merhaba {Adi}"_s), recipients, optOut);
        QCOMPARE(plan.sendCount, 1);
        QCOMPARE(plan.optedOut, 4); // Can, Ece in a group two levels under, Ece's other entry, the typed number
        QCOMPARE(plan.cost, 1);
        QCOMPARE(plan.requests.size(), 1);
        QCOMPARE(plan.requests.constFirst().numbers, QStringList{u"05321112233"_s});
        QCOMPARE(RecipientCountNote(plan), u"(4 numara kara listede)"_s);
    }

    void plainTextTypedOnIsPlannedAsAWholeNewPlanWouldBe()
    {
        const QList<Recipient> recipients = {TypedRecipient(u"05321112233"_s), person(u"A"_s, u"B"_s, QString()),
                                             TypedRecipient(u"+90 532 111 22 33"_s), TypedRecipient(u"05334445566"_s)};
        const SendPlan before = PlanSend(box(u"Kısa"_s), recipients);
        for (const QString &typed : {u"Kısa mesaj"_s, QString(200, u'a'), QString()}) {
            const SendPlan whole = PlanSend(box(typed), recipients);
            const SendPlan quick = ReplanPlainText(before, box(typed));
            QCOMPARE(quick.cost, whole.cost);
            QCOMPARE(quick.sendCount, whole.sendCount);
            QCOMPARE(quick.fewestParts, whole.fewestParts);
            QCOMPARE(quick.mostParts, whole.mostParts);
            QCOMPARE(quick.firstText, whole.firstText);
            QCOMPARE(quick.longestText, whole.longestText);
            QCOMPARE(quick.longestRecipient, whole.longestRecipient);
            QCOMPARE(quick.requests.size(), whole.requests.size());
            QCOMPARE(quick.requests.constFirst().text, whole.requests.constFirst().text);
            QCOMPARE(quick.requests.constFirst().parts, whole.requests.constFirst().parts);
            QCOMPARE(quick.requests.constFirst().numbers, whole.requests.constFirst().numbers);
        }
    }

    void recipientsWithTheSameTextShareOneRequest()
    {
        const QString longName = QString(150, u'a');
        const QList<Recipient> recipients = {
            person(u"Ayşe"_s, u"A"_s, u"05320000001"_s), person(u"Ali"_s, u"B"_s, u"05320000002"_s),
            person(u"Ayşe"_s, u"C"_s, u"05320000003"_s), person(longName, u"D"_s, u"05320000004"_s),
            person(u"Ali"_s, u"E"_s, u"05320000005"_s),
        };
        const SendPlan plan = PlanSend(box(u"Sayın {Adi}, indirim başladı."_s), recipients);
        QCOMPARE(plan.requests.size(), 3);
        QCOMPARE(plan.requests.at(0).text, u"Sayin Ayse, indirim basladi."_s);
        QCOMPARE(plan.requests.at(0).telephoneList(), u"05320000001,05320000003"_s);
        QCOMPARE(plan.requests.at(1).telephoneList(), u"05320000002,05320000005"_s);
        QCOMPARE(plan.requests.at(2).parts, 2);
        QCOMPARE(plan.cost, 6); // 1 + 1 + 1 + 2 + 1
        qint64 requested = 0;
        for (const PlannedRequest &request : plan.requests)
            requested += request.cost();
        QCOMPARE(requested, plan.cost);
        QCOMPARE(PartRangeText(plan), u"1–2 mesaj"_s);
        QCOMPARE(plan.firstRecipient, 0);
        QCOMPARE(plan.longestRecipient, 3);
        QVERIFY(plan.longestText.startsWith(u"Sayin aaaa"_s));

        const SendPlan plain = PlanSend(box(u"İndirim başladı."_s), recipients);
        QCOMPARE(plain.requests.size(), 1);
        QCOMPARE(plain.requests.constFirst().recipientCount(), 5);
        QCOMPARE(PartRangeText(plain), u"1 mesaj"_s);
    }

    void emptyFieldsCountedOverThoseSentTo()
    {
        const QList<Recipient> recipients = {
            person(u"Ayşe"_s, QString(), u"05320000001"_s),
            TypedRecipient(u"05320000002"_s),
            TypedRecipient(u"05320000003"_s),
            TypedRecipient(u"05320000002"_s), // a repeat: not asked about twice
            person(QString(), u"Kaya"_s, u"05320000004"_s),
        };
        const SendPlan plan = PlanSend(box(u"{Adi} {Gsm}"_s), recipients);
        QCOMPARE(plan.emptyFields.size(), 1);
        QCOMPARE(plan.emptyFields.constFirst().count, 3);
        QCOMPARE(EmptyFieldQuestion(plan.emptyFields),
                 u"3 kişinin Adı alanı boş; bu kişilere alan boş olarak gidecek. Gönderilsin mi?"_s);

        const SendPlan both = PlanSend(box(u"{Adi} {Soyadi}"_s), recipients);
        QCOMPARE(EmptyFieldQuestion(both.emptyFields),
                 u"3 kişinin Adı alanı, 3 kişinin Soyadı alanı boş; bu kişilere bu alanlar boş olarak gidecek. "
                 "Gönderilsin mi?"_s);
        QVERIFY(EmptyFieldQuestion(PlanSend(box(u"Merhaba"_s), recipients).emptyFields).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSendPlan)
#include "tst_sendplan.moc"
