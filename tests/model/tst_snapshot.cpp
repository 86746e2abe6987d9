// Loading the account snapshot from a command 1 payload: the three sections,
// their order, short and long rows, malformed payloads, and the refresh over
// loopback HTTP; filtering the contacts with a search.

#include "loopbackserver.h"
#include "model/snapshot.h"
#include "service/service.h"
#include "service/transport.h"
#include "text/turkish.h"

#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;
using velmor::test::LoopbackServer;

namespace {

QString customerSection(int fieldCount, const QString &number = u"7"_s)
{
    QStringList fields{number};
    for (int i = 1; i < fieldCount; ++i)
        fields.append(u"f%1"_s.arg(i));
    return u"<Cari>"_s + fields.join(u'|') + u"<Cari>"_s;
}

QStringList dumpGroups(const AccountSnapshot &s)
{
    QStringList out;
    for (const ContactGroup &g : s.groups)
        out.append(QStringList{g.Grup_No, g.Grp_Ust_Grup_No, g.Grp_Adi, g.SortKey}.join(u'/'));
    return out;
}

QStringList contactFields(const Contact &c)
{
    return {c.Adr_K_No,   c.Grup_No, c.Adr_Adi, c.Adr_Soyadi, c.Adr_Adres1, c.Adr_Adres2, c.Adr_Adres3,
            c.Adr_ilce,   c.Adr_il,  c.Adr_GSM_No, c.MarkKey,   c.Adr_Tel_No, c.Adr_Fax_No};
}

QStringList dumpContacts(const AccountSnapshot &s)
{
    QStringList out;
    for (const Contact &c : s.contacts.toContacts())
        out.append(contactFields(c).join(u'/'));
    return out;
}

QStringList dumpCustomer(const AccountSnapshot &s)
{
    return QStringList(s.customer.fields.cbegin(), s.customer.fields.cend());
}

QStringList dumpAll(const AccountSnapshot &s)
{
    return QStringList{s.hasCustomer ? u"customer"_s : u"none"_s} + dumpCustomer(s) + dumpGroups(s) + dumpContacts(s);
}

// A snapshot with a little of everything, to see that failures keep it.
AccountSnapshot loadedSnapshot()
{
    AccountSnapshot snapshot;
    const bool loaded = LoadAccountSnapshot(
        snapshot, customerSection(32) + u"<Grup><>1|0|Aile<>2|1|Kuzenler<Grup><Adres><>5|1|Ali|Kaya||||||0532|||<Adres>"_s);
    Q_ASSERT(loaded);
    return snapshot;
}

} // namespace

class SnapshotTest : public QObject
{
    Q_OBJECT

private slots:
    void customer_data();
    void customer();
    void groups_data();
    void groups();
    void contacts_data();
    void contacts();
    void tenDigitKeys_data();
    void tenDigitKeys();
    void malformedPayload_keepsOldSnapshot_data();
    void malformedPayload_keepsOldSnapshot();
    void reload_replacesEveryList();
    void refresh_data();
    void refresh();
    void filterContacts_data();
    void filterContacts();
};

void SnapshotTest::customer_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QStringList>("fields"); // the first ones; the rest must be empty

    QStringList all{u"7"_s};
    for (int i = 1; i < 32; ++i)
        all.append(u"f%1"_s.arg(i));
    QTest::newRow("32 fields") << customerSection(32) << all;
    QTest::newRow("fewer fields: the rest stay empty") << customerSection(5) << all.first(5);
    QTest::newRow("more than 32 fields: the extra ones are ignored") << customerSection(40) << all;
    QTest::newRow("empty section") << u"<Cari><Cari>"_s << QStringList();
    QTest::newRow("one tag only: the section runs to the end") << u"<Cari>7|Ali"_s << QStringList{u"7"_s, u"Ali"_s};
    QTest::newRow("text outside the sections ignored") << u"abc<Cari>7|Ali<Cari>|x|y"_s << QStringList{u"7"_s, u"Ali"_s};
    QTest::newRow("sections in another order") << u"<Adres><Adres><Grup><Grup><Cari>9|B<Cari>"_s
                                               << QStringList{u"9"_s, u"B"_s};
    QTest::newRow("values kept as sent") << u"<Cari> 7 |Şükrü  |<>|0042<Cari>"_s
                                         << QStringList{u" 7 "_s, u"Şükrü  "_s, u"<>"_s, u"0042"_s};
    QTest::newRow("empty fields in between") << u"<Cari>7|||x<Cari>"_s
                                             << QStringList{u"7"_s, QString(), QString(), u"x"_s};
}

void SnapshotTest::customer()
{
    QFETCH(QString, payload);
    QFETCH(QStringList, fields);

    AccountSnapshot snapshot;
    QVERIFY(LoadAccountSnapshot(snapshot, payload));
    QVERIFY(snapshot.hasCustomer);
    QStringList expected = fields;
    while (expected.size() < CustomerRecord::FieldCount)
        expected.append(QString());
    QCOMPARE(dumpCustomer(snapshot), expected);
    QCOMPARE(snapshot.customer[CustomerRecord::Cari_No], expected.at(0));
}

void SnapshotTest::groups_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("groups"); // number/parent/name/SortKey, in list order

    QTest::newRow("empty section") << u"<Grup><Grup>"_s << QStringList();
    QTest::newRow("no group section") << QString() << QStringList();
    QTest::newRow("10, 9, 100 listed as 9, 10, 100")
        << u"<Grup><>10|0|On<>9|0|Dokuz<>100|9|Yüz<Grup>"_s
        << QStringList{u"9/0/Dokuz/0000000009"_s, u"10/0/On/0000000010"_s, u"100/9/Yüz/0000000100"_s};
    QTest::newRow("equal keys keep the order of the reply")
        << u"<Grup><>7|0|b<>2|0|a<>007|0|c<>7|0|d<Grup>"_s
        << QStringList{u"2/0/a/0000000002"_s, u"7/0/b/0000000007"_s, u"007/0/c/0000000007"_s, u"7/0/d/0000000007"_s};
    QTest::newRow("short row padded with empty fields")
        << u"<Grup><>5<>6|2<Grup>"_s << QStringList{u"5///0000000005"_s, u"6/2//0000000006"_s};
    QTest::newRow("extra fields ignored") << u"<Grup><>5|0|Ad|fazla|daha<Grup>"_s << QStringList{u"5/0/Ad/0000000005"_s};
    QTest::newRow("text before the first row skipped")
        << u"<Grup>çöp<>5|0|Ad<Grup>"_s << QStringList{u"5/0/Ad/0000000005"_s};
    QTest::newRow("empty row: no group") << u"<Grup><><>||<Grup>"_s << QStringList{};
    QTest::newRow("number that is not a number kept as text")
        << u"<Grup><>x1|0|A<>3|0|B<Grup>"_s << QStringList{u"3/0/B/0000000003"_s, u"x1/0/A/x1"_s};
    QTest::newRow("more than ten digits")
        << u"<Grup><>12345678901|0|A<>2|0|B<Grup>"_s
        << QStringList{u"2/0/B/0000000002"_s, u"12345678901/0/A/12345678901"_s};
    QTest::newRow("one tag only: rows run to the end")
        << u"<Grup><>5|0|A<>4|0|B"_s << QStringList{u"4/0/B/0000000004"_s, u"5/0/A/0000000005"_s};
    QTest::newRow("tags are case-sensitive") << u"<grup><>5|0|A<grup>"_s << QStringList();
    QTest::newRow("a lone < or > is part of a name")
        << u"<Grup><>5|0|a<b>c<Grup>"_s << QStringList{u"5/0/a<b>c/0000000005"_s};
}

void SnapshotTest::groups()
{
    QFETCH(QString, section);
    QFETCH(QStringList, groups);

    AccountSnapshot snapshot;
    // The group section comes last: with a single tag its rows run to the end.
    QVERIFY(LoadAccountSnapshot(snapshot, customerSection(32) + u"<Adres><Adres>"_s + section));
    QCOMPARE(dumpGroups(snapshot), groups);
}

void SnapshotTest::contacts_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("contacts"); // the twelve fields with MarkKey before Adr_Tel_No

    QTest::newRow("empty section") << u"<Adres><Adres>"_s << QStringList();
    QTest::newRow("full row")
        << u"<Adres><>42|3|Ayşe|Yılmaz|Atatürk Cad.|No 5|Kat 2|Çankaya|Ankara|05321234567|03121234567|03127654321<Adres>"_s
        << QStringList{u"42/3/Ayşe/Yılmaz/Atatürk Cad./No 5/Kat 2/Çankaya/Ankara/05321234567/#0000000042#/03121234567/03127654321"_s};
    QTest::newRow("order of the reply kept")
        << u"<Adres><>9|1|B<>10|1|A<Adres>"_s
        << QStringList{u"9/1/B////////#0000000009#//"_s, u"10/1/A////////#0000000010#//"_s};
    QTest::newRow("short row padded with empty fields")
        << u"<Adres><>42|3|Ali<Adres>"_s << QStringList{u"42/3/Ali////////#0000000042#//"_s};
    QTest::newRow("extra fields ignored")
        << u"<Adres><>1|2|a|b|c|d|e|f|g|h|i|j|k|l<Adres>"_s << QStringList{u"1/2/a/b/c/d/e/f/g/h/#0000000001#/i/j"_s};
    QTest::newRow("trailing bar gives an empty last field")
        << u"<Adres><>1|2|a|b|c|d|e|f|g|h|i|<Adres>"_s << QStringList{u"1/2/a/b/c/d/e/f/g/h/#0000000001#/i/"_s};
    QTest::newRow("sections in another order")
        << u"<Adres><>4|1|A<Adres>"_s << QStringList{u"4/1/A////////#0000000004#//"_s};
}

void SnapshotTest::contacts()
{
    QFETCH(QString, section);
    QFETCH(QStringList, contacts);

    AccountSnapshot snapshot;
    // The contacts come first here: the sections may be in any order.
    QVERIFY(LoadAccountSnapshot(snapshot, section + u"<Grup><Grup>"_s + customerSection(32)));
    QCOMPARE(dumpContacts(snapshot), contacts);
}

void SnapshotTest::tenDigitKeys_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("key");

    QTest::newRow("42") << u"42"_s << u"0000000042"_s;
    QTest::newRow("0") << u"0"_s << u"0000000000"_s;
    QTest::newRow("ten digits") << u"1234567890"_s << u"1234567890"_s;
    QTest::newRow("eleven digits") << u"12345678901"_s << u"12345678901"_s;
    QTest::newRow("leading zeros") << u"00042"_s << u"0000000042"_s;
    QTest::newRow("leading zeros beyond ten digits") << u"000001234567890"_s << u"1234567890"_s;
    QTest::newRow("negative") << u"-5"_s << u"-0000000005"_s;
    QTest::newRow("plus sign") << u"+5"_s << u"0000000005"_s;
    QTest::newRow("not a number") << u"abc"_s << u"abc"_s;
    QTest::newRow("empty") << QString() << QString();
}

void SnapshotTest::tenDigitKeys()
{
    QFETCH(QString, number);
    QFETCH(QString, key);
    QCOMPARE(TenDigitKey(number), key);
    QCOMPARE(MakeMarkKey(number), u'#' + key + u'#');
}

void SnapshotTest::malformedPayload_keepsOldSnapshot_data()
{
    QTest::addColumn<QString>("payload");

    QTest::newRow("empty payload") << QString();
    QTest::newRow("garbage") << u"Server Error 500"_s;
    QTest::newRow("groups and contacts without customer") << u"<Grup><>9|0|X<Grup><Adres><>1|9|A<Adres>"_s;
    QTest::newRow("customer tag in small letters") << u"<cari>7<cari><Grup><Grup>"_s;
    QTest::newRow("envelope marker left in") << u"<Rehber>1<Rehber>"_s;
}

void SnapshotTest::malformedPayload_keepsOldSnapshot()
{
    QFETCH(QString, payload);

    AccountSnapshot snapshot = loadedSnapshot();
    const QStringList before = dumpAll(snapshot);
    QVERIFY(!LoadAccountSnapshot(snapshot, payload));
    QCOMPARE(dumpAll(snapshot), before);

    AccountSnapshot empty;
    QVERIFY(!LoadAccountSnapshot(empty, payload));
    QVERIFY(!empty.hasCustomer);
    QVERIFY(empty.groups.isEmpty() && empty.contacts.isEmpty());
}

void SnapshotTest::reload_replacesEveryList()
{
    AccountSnapshot snapshot = loadedSnapshot();
    QVERIFY(LoadAccountSnapshot(snapshot, u"<Cari>8<Cari><Grup><>3|0|Yeni<Grup><Adres><Adres>"_s));
    QCOMPARE(dumpGroups(snapshot), QStringList{u"3/0/Yeni/0000000003"_s});
    QVERIFY(snapshot.contacts.isEmpty());
    QStringList customer(32);
    customer[0] = u"8"_s;
    QCOMPARE(dumpCustomer(snapshot), customer);
}

void SnapshotTest::refresh_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("customerNo");
    QTest::addColumn<int>("groupCount");

    QTest::newRow("whole account")
        << LoopbackServer::reply(u"<Cari>9|x<Cari><Grup><>1|0|Aile<Grup><Adres><>5|1|Şükrü<Adres>"_s)
        << int(RefreshResult::Loaded) << u"9"_s << 1;
    QTest::newRow("empty account") << LoopbackServer::reply(u"<Cari>9<Cari><Grup><Grup><Adres><Adres>"_s)
                                   << int(RefreshResult::Loaded) << u"9"_s << 0;
    QTest::newRow("no envelope keeps the old snapshot") << QByteArray("<html>error</html>")
                                                        << int(RefreshResult::KeptOld) << u"7"_s << 2;
    QTest::newRow("payload without customer keeps the old snapshot")
        << LoopbackServer::reply(u"<Grup><Grup>"_s) << int(RefreshResult::KeptOld) << u"7"_s << 2;
}

void SnapshotTest::refresh()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, result);
    QFETCH(QString, customerNo);
    QFETCH(int, groupCount);

    LoopbackServer server;
    QVERIFY(server.listen());
    server.setReply(reply);
    const Service service(std::make_shared<HttpTransport>(server.endpoint(), 5000));
    AccountSnapshot snapshot = loadedSnapshot();
    QCOMPARE(int(RefreshAccountSnapshot(service, snapshot, u"7"_s)), result);
    QCOMPARE(server.lastBody(), QByteArray("Rehber=1&Cari_No=7"));
    QCOMPARE(snapshot.customer[CustomerRecord::Cari_No], customerNo);
    QCOMPARE(snapshot.groups.size(), groupCount);
}

void SnapshotTest::filterContacts_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QList<int>>("rows"); // the rows to filter; empty: all
    QTest::addColumn<QList<int>>("kept");

    QTest::newRow("empty search keeps all") << QString() << QList<int>() << QList<int>{0, 1, 2, 3};
    QTest::newRow("empty search keeps the given rows") << QString() << QList<int>{3, 1} << QList<int>{3, 1};
    QTest::newRow("surname") << u"Kaya"_s << QList<int>() << QList<int>{0, 2};
    QTest::newRow("Turkish capital folded") << u"IŞIk"_s << QList<int>() << QList<int>{1};
    QTest::newRow("across name and surname") << u"Ali K"_s << QList<int>() << QList<int>{0};
    QTest::newRow("mobile number with wildcards") << u"0533#"_s << QList<int>() << QList<int>{1, 3};
    QTest::newRow("among given rows only") << u"Kaya"_s << QList<int>{2, 1} << QList<int>{2};
    QTest::newRow("rows outside the list skipped") << u"Kaya"_s << QList<int>{-1, 0, 99} << QList<int>{0};
    QTest::newRow("unclosed bracket matches nothing") << u"[a"_s << QList<int>() << QList<int>();
}

void SnapshotTest::filterContacts()
{
    QFETCH(QString, search);
    QFETCH(QList<int>, rows);
    QFETCH(QList<int>, kept);

    AccountSnapshot snapshot;
    QVERIFY(LoadAccountSnapshot(snapshot, u"<Cari>7<Cari><Adres>"
                                          "<>1|1|Ali|Kaya||||||05321112233||"
                                          "<>2|1|Ayşe|Işık||||||05332223344||"
                                          "<>3|1|Veli|Kaya||||||05423334455||"
                                          "<>4|1|Can|Öz||||||05334445566||<Adres>"_s));
    const ContactSearch contactSearch(search);
    const QList<int> result = rows.isEmpty() ? FilterContacts(snapshot.contacts, contactSearch)
                                             : FilterContacts(snapshot.contacts, rows, contactSearch);
    QCOMPARE(result, kept);
    // The same as asking contact by contact.
    for (const int row : result) {
        const ContactRef c = snapshot.contacts.at(row);
        QVERIFY(contactSearch.matches(c.Adr_Adi(), c.Adr_Soyadi(), c.Adr_GSM_No()));
    }
}

QTEST_GUILESS_MAIN(SnapshotTest)
#include "tst_snapshot.moc"
