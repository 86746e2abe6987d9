// The development service's commands, through the client core over loopback.
#include "devserverfixture.h"

#include "service/coding.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <functional>

using namespace Qt::StringLiterals;
using namespace velmor;
using velmor::test::LiveService;

using Operation = std::function<QString(const Service &)>;
using Check = std::function<void(const AccountSnapshot &)>;
Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(Check)

namespace {

const QString demo = dev::kDemoCustomerNo;

QString contactData(const QString &group, const QString &name, const QString &mobile)
{
    return QStringList{group, name, u"Çınar"_s, u"Gül Sok. 3"_s, QString(), QString(), u"Ürgüp"_s,
                       u"Nevşehir"_s, mobile, QString(), QString()}
        .join(u'|');
}

QString reportFor(const Service &service, const QString &from, const QString &to)
{
    return FetchDeliveryReport(service, demo, from, to);
}

// Writes a raw request and collects everything until the server closes the
// connection (or five seconds pass). closed tells which of the two ended it.
QByteArray exchangeUntilClosed(quint16 port, const QByteArray &request, bool *closed)
{
    QTcpSocket socket;
    QSignalSpy disconnected(&socket, &QTcpSocket::disconnected);
    QByteArray received;
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] { received += socket.readAll(); });
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (socket.waitForConnected(5000)) {
        socket.write(request);
        *closed = disconnected.wait(5000);
    } else {
        *closed = false;
    }
    received += socket.readAll();
    return received;
}

} // namespace

class TestDevServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void latestVersion_defaultOffersNoUpdate()
    {
        LiveService live;
        QCOMPARE(FetchLatestVersion(*live.service), u"100012|VelmorSMSKurulum.exe"_s);
        live.server->setLatestVersion(u"100013"_s, u"paket/yeni.exe"_s);
        QCOMPARE(FetchLatestVersion(*live.service), u"100013|paket/yeni.exe"_s);
    }

    void loginRecord_data()
    {
        QTest::addColumn<QString>("customerCode");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QString>("section");
        QTest::newRow("demo account") << u"1001"_s << true << u"1|demo|demo"_s;
        QTest::newRow("code with blanks") << u" 1001 "_s << true << u"1|demo|demo"_s;
        QTest::newRow("inactive account") << u"1001"_s << false << u"0|demo|demo"_s;
        QTest::newRow("unknown customer") << u"4242"_s << true << u"0"_s;
        QTest::newRow("empty code") << QString() << true << u"0"_s;
    }

    void loginRecord()
    {
        QFETCH(QString, customerCode);
        QFETCH(bool, active);
        QFETCH(QString, section);
        LiveService live;
        live.server->setAccountActive(demo, active);
        const QString payload = FetchLoginRecord(*live.service, customerCode);
        QCOMPARE(payload.count(u"<SMSGiris>"_s), 2);
        QCOMPARE(GetTagText(payload, u"<SMSGiris>"_s), section);
    }

    void accountData_demoAccount()
    {
        LiveService live;
        const AccountSnapshot s = live.snapshot();
        QVERIFY(s.hasCustomer);
        const QString payload = FetchAccountData(*live.service, demo);
        QCOMPARE(GetTagText(payload, u"<Cari>"_s).split(u'|').size(), 32);
        QCOMPARE(s.customer[CustomerRecord::Cari_No], demo);
        QCOMPARE(s.customer[CustomerRecord::Cari_Unvan], u"Örnek Çiçekçilik Ticaret Ltd. Şti."_s);
        QCOMPARE(s.customer[CustomerRecord::Cari_SMS_Gonderici_Adi1], u"ORNEKCICEK"_s);
        QCOMPARE(s.customer[CustomerRecord::Cari_SMS_Gonderici_Adi2], QString());
        QCOMPARE(s.customer[CustomerRecord::Cari_SMS_Gonderici_Adi3], u"VELMORDEMO"_s);
        QCOMPARE(s.customer[CustomerRecord::G_Ad1], QString());

        QCOMPARE(s.groups.size(), 12);
        QCOMPARE(s.groups.first().Grp_Adi, u"Genel"_s);
        // Kadıköy Şubesi (8) lies two levels below a top-level group.
        QCOMPARE(velmor::test::findGroup(s, u"8"_s)->Grp_Ust_Grup_No, u"6"_s);
        QCOMPARE(velmor::test::findGroup(s, u"6"_s)->Grp_Ust_Grup_No, u"2"_s);
        QCOMPARE(velmor::test::findGroup(s, u"2"_s)->Grp_Ust_Grup_No, u"0"_s);

        QCOMPARE(s.contacts.size(), 40);
        int withoutMobile = 0;
        QHash<QString, QStringList> byMobile;
        for (int i = 0; i < s.contacts.size(); ++i) {
            const Contact c = s.contacts.at(i).toContact();
            QCOMPARE(c.Adr_K_No, QString::number(i + 1)); // record-number order
            QVERIFY(velmor::test::findGroup(s, c.Grup_No));
            if (c.Adr_GSM_No.isEmpty())
                ++withoutMobile;
            else
                byMobile[c.Adr_GSM_No] << c.Adr_K_No;
        }
        QCOMPARE(withoutMobile, 3);
        QCOMPARE(byMobile.value(u"05357778801"_s), (QStringList{u"39"_s, u"40"_s}));
        QCOMPARE(velmor::test::findContact(s, u"9"_s)->Adr_Adi, u"İbrahim"_s);

        QCOMPARE(live.server->reportRowCount(demo), 10);
        QVERIFY(!live.snapshot(u"4242"_s).hasCustomer);
    }

    void emptyAccount_keepsCustomerDropsPhoneBook()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        dev::Options options;
        options.dbPath = dir.filePath(u"demo.sqlite"_s);
        {
            LiveService live(options);
            QCOMPARE(AddGroup(*live.service, demo, u"0"_s, u"Eski Grup"_s), u"1"_s);
            live.server->setBalance(demo, u"7"_s);
        }
        // A database that holds the full demo account is emptied, not merely left as it is.
        options.emptyAccount = true;
        {
            LiveService live(options);
            const AccountSnapshot s = live.snapshot();
            QVERIFY(s.hasCustomer);
            QCOMPARE(s.customer[CustomerRecord::Cari_Unvan], u"Örnek Çiçekçilik Ticaret Ltd. Şti."_s);
            QCOMPARE(s.customer[CustomerRecord::Cari_SMS_Gonderici_Adi1], u"ORNEKCICEK"_s);
            QCOMPARE(s.customer[CustomerRecord::Cari_SMS_Gonderici_Adi3], u"VELMORDEMO"_s);
            QVERIFY(s.groups.isEmpty());
            QVERIFY(s.contacts.isEmpty());
            const QString payload = FetchAccountData(*live.service, demo);
            QVERIFY(payload.contains(u"<Grup><Grup>"_s));
            QVERIFY(payload.contains(u"<Adres><Adres>"_s));
            QCOMPARE(GetTagText(FetchLoginRecord(*live.service, demo), u"<SMSGiris>"_s), u"1|demo|demo"_s);
            QCOMPARE(live.server->balance(demo), u"1000"_s);
            QCOMPARE(live.server->reportRowCount(demo), 0);

            // The account's first group and its first contact can be made.
            QCOMPARE(AddGroup(*live.service, demo, u"0"_s, u"İlk Grup"_s), u"1"_s);
            const AccountSnapshot withGroup = live.snapshot();
            QCOMPARE(withGroup.groups.size(), 1);
            QCOMPARE(withGroup.groups.first().Grp_Adi, u"İlk Grup"_s);
            QCOMPARE(withGroup.groups.first().Grp_Ust_Grup_No, u"0"_s);
            const QString group = withGroup.groups.first().Grup_No;
            QCOMPARE(AddContact(*live.service, demo, contactData(group, u"Şule"_s, u"05321112233"_s)), u"1"_s);
            QCOMPARE(live.snapshot().contacts.size(), 1);
        }
        // Without the switch, the next start keeps what is there.
        options.emptyAccount = false;
        LiveService live(options);
        QCOMPARE(live.snapshot().groups.size(), 1);
    }

    void emptyAccount_refusedWithLargeSeed()
    {
        dev::Options options;
        options.emptyAccount = true;
        options.seedLarge = 10;
        dev::DevServer server(options);
        QVERIFY(!server.start(0));
        QVERIFY(!server.errorString().isEmpty());
    }

    void undeliveredSuffix()
    {
        dev::Options options;
        options.undeliveredSuffix = u"99"_s;
        LiveService live(options);
        const auto send = [&](const QString &phones) {
            return GetTagText(SendSmsCommand(*live.service, demo, u"ORNEKCICEK"_s, u"1"_s, u"Kampanya"_s, phones,
                                             u"1"_s, u"20240301"_s, u"080000"_s),
                              u"<SMSGonderim>"_s);
        };
        QCOMPARE(send(u"05321112299,05332223344,0212345699,0532111229"_s), u"996"_s);
        QCOMPARE(reportFor(*live.service, u"20240301"_s, u"20240301"_s),
                 u"<>05321112299|20240301080000|20240301080030|Kampanya|Ulaşılamadı"
                 "<>05332223344|20240301080000|20240301080005|Kampanya|İletildi"
                 "<>0212345699|20240301080000|20240301080002|Kampanya|Hatalı Numara"
                 "<>0532111229|20240301080000|20240301080002|Kampanya|Hatalı Numara"_s);

        // Turned off while running: the same number is delivered again.
        live.server->setUndeliveredSuffix(QString());
        QCOMPARE(send(u"05321112299"_s), u"995"_s);
        QVERIFY(reportFor(*live.service, u"20240301"_s, u"20240301"_s)
                    .endsWith(u"<>05321112299|20240301080000|20240301080005|Kampanya|İletildi"_s));
    }

    void send_data()
    {
        QTest::addColumn<QString>("balance");
        QTest::addColumn<QString>("phones");
        QTest::addColumn<QString>("parts");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("newRows");
        QTest::newRow("covered") << u"1000"_s << u"05321112233,05332223344"_s << u"2"_s << u"996"_s << 2;
        QTest::newRow("cost equal to balance") << u"6"_s << u"05321112233,05332223344,05423334455"_s << u"2"_s
                                               << u"0"_s << 3;
        QTest::newRow("one credit short") << u"5"_s << u"05321112233,05332223344,05423334455"_s << u"2"_s
                                          << u"-1"_s << 0;
        QTest::newRow("empty entries count") << u"10"_s << u"05321112233,,05423334455,"_s << u"1"_s << u"6"_s << 4;
        QTest::newRow("no numbers") << u"10"_s << QString() << u"1"_s << u"-1"_s << 0;
        QTest::newRow("part count not a number") << u"10"_s << u"05321112233"_s << u"iki"_s << u"-1"_s << 0;
        QTest::newRow("balance not a number") << u"--"_s << u"05321112233"_s << u"1"_s << u"-1"_s << 0;
    }

    void send()
    {
        QFETCH(QString, balance);
        QFETCH(QString, phones);
        QFETCH(QString, parts);
        QFETCH(QString, reply);
        QFETCH(int, newRows);
        LiveService live;
        live.server->setBalance(demo, balance);
        const int rowsBefore = live.server->reportRowCount(demo);
        const QString payload = SendSmsCommand(*live.service, demo, u"ORNEKCICEK"_s, u"1"_s, u"Merhaba"_s, phones,
                                               parts, u"20240115"_s, u"101500"_s);
        QCOMPARE(GetTagText(payload, u"<SMSGonderim>"_s), reply);
        QCOMPARE(live.server->reportRowCount(demo), rowsBefore + newRows);
        QCOMPARE(live.server->balance(demo), newRows ? reply : balance);
        QCOMPARE(GetTagText(FetchCreditBalancePayload(*live.service, demo), u"<SMSKontor>"_s),
                 newRows ? reply : balance);
    }

    void send_reportRowsAndRange()
    {
        LiveService live;
        const auto sendOn = [&](const QString &date, const QString &phones) {
            return SendSmsCommand(*live.service, demo, u"VELMORDEMO"_s, u"1"_s, u"Toplanti 10.00 da"_s, phones,
                                  u"1"_s, date, u"093005"_s);
        };
        QVERIFY(!sendOn(u"20240101"_s, u"05321112233,0212345"_s).isEmpty());
        QVERIFY(!sendOn(u"20240115"_s, u"05332223344"_s).isEmpty());
        QVERIFY(!sendOn(u"20240131"_s, u"05423334455"_s).isEmpty());

        QCOMPARE(reportFor(*live.service, u"20240101"_s, u"20240101"_s),
                 u"<>05321112233|20240101093005|20240101093010|Toplanti 10.00 da|İletildi"
                 "<>0212345|20240101093005|20240101093007|Toplanti 10.00 da|Hatalı Numara"_s);
        QCOMPARE(reportFor(*live.service, u"20240102"_s, u"20240131"_s).count(u"<>"_s), 2);
        QCOMPARE(reportFor(*live.service, u"20240101"_s, u"20240130"_s).count(u"<>"_s), 3);
        QCOMPARE(reportFor(*live.service, u"20240131"_s, u"20240101"_s), QString());
        QCOMPARE(reportFor(*live.service, u"00010101"_s, u"99993112"_s).count(u"<>"_s), 14);
        QCOMPARE(FetchDeliveryReport(*live.service, u"4242"_s, u"00010101"_s, u"99993112"_s), QString());
    }

    void send_finalState_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("state");
        QTest::newRow("mobile number") << u"05321112233"_s << u"İletildi"_s;
        QTest::newRow("one digit short") << u"0532111223"_s << u"Hatalı Numara"_s;
        QTest::newRow("one digit too many") << u"053211122334"_s << u"Hatalı Numara"_s;
        QTest::newRow("fixed line") << u"02163456789"_s << u"Hatalı Numara"_s;
        QTest::newRow("trailing line break") << u"05321112233\n"_s << u"Hatalı Numara"_s;
        QTest::newRow("empty entry") << QString() << u"Hatalı Numara"_s;
    }

    void send_finalState()
    {
        QFETCH(QString, phone);
        QFETCH(QString, state);
        LiveService live;
        // A second entry keeps the list from being empty when the tested entry is.
        const QString payload = SendSmsCommand(*live.service, demo, u"ORNEKCICEK"_s, u"1"_s, u"x"_s,
                                               phone + u",05332223344"_s, u"1"_s, u"20240301"_s, u"080000"_s);
        QCOMPARE(GetTagText(payload, u"<SMSGonderim>"_s), u"998"_s);
        const QStringList rows = reportFor(*live.service, u"20240301"_s, u"20240301"_s).split(u"<>"_s);
        QCOMPARE(rows.size(), 3);
        const QStringList fields = rows.at(1).split(u'|');
        QCOMPARE(fields.at(0), phone);
        QCOMPARE(fields.at(4), state);
    }

    void customerDetails_data()
    {
        QTest::addColumn<QString>("customerNo");
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("result");
        QTest::newRow("fifteen items") << demo << 15 << u"YENIAD"_s << u"1"_s;
        QTest::newRow("a stray separator adds an item") << demo << 16 << QString() << u"0"_s;
        QTest::newRow("an item missing") << demo << 14 << QString() << u"0"_s;
        QTest::newRow("separator in a requested name") << demo << 15 << u"A|B"_s << u"0"_s;
        QTest::newRow("unknown customer") << u"4242"_s << 15 << QString() << u"0"_s;
    }

    void customerDetails()
    {
        QFETCH(QString, customerNo);
        QFETCH(int, items);
        QFETCH(QString, requested);
        QFETCH(QString, result);
        LiveService live;
        QStringList texts;
        for (int i = 1; i <= items; ++i)
            texts << u"Öğe %1 şçİ"_s.arg(i);
        const QString payload = SaveCustomerDetails(*live.service, customerNo, texts.join(u'|'), requested,
                                                    QString(), u"IKINCI"_s);
        QCOMPARE(GetTagText(payload, u"<SMSCGuncelle>"_s), result);

        const CustomerRecord after = live.snapshot().customer;
        if (result != u"1") {
            QCOMPARE(after[CustomerRecord::Cari_Unvan], u"Örnek Çiçekçilik Ticaret Ltd. Şti."_s);
            QCOMPARE(after[CustomerRecord::Cari_SMS_Sifre], u"demo"_s);
            return;
        }
        // Box order, not field order: tax office before tax number, e-mail after fax.
        const int fieldOfItem[] = {5, 8, 6, 7, 9, 10, 11, 13, 14, 15, 16, 17, 12, 22, 26};
        for (int i = 0; i < 15; ++i)
            QCOMPARE(after[fieldOfItem[i]], texts.at(i));
        QCOMPARE(after[CustomerRecord::G_Ad1], requested);
        QCOMPARE(after[CustomerRecord::G_Ad2], QString());
        QCOMPARE(after[CustomerRecord::G_Ad3], u"IKINCI"_s);
        QCOMPARE(after[CustomerRecord::Cari_Ad], u"Ayşe"_s); // not part of the save
        QCOMPARE(after[CustomerRecord::Cari_SMS_Gonderici_Adi1], u"ORNEKCICEK"_s);
    }

    void phoneBook_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<Check>("check");
        const auto groupCount = [](int n) { return Check([n](const AccountSnapshot &s) { QCOMPARE(s.groups.size(), n); }); };
        const auto contactInGroup = [](const QString &record, const QString &group) {
            return Check([=](const AccountSnapshot &s) {
                QVERIFY(velmor::test::findContact(s, record));
                QCOMPARE(velmor::test::findContact(s, record)->Grup_No, group);
            });
        };

        QTest::newRow("add top-level group")
            << Operation([](const Service &sv) { return AddGroup(sv, demo, u"0"_s, u"Yeni Grup"_s); }) << u"1"_s
            << Check([](const AccountSnapshot &s) {
                   QCOMPARE(s.groups.size(), 13);
                   QCOMPARE(s.groups.last().Grp_Ust_Grup_No, u"0"_s);
                   QCOMPARE(s.groups.last().Grp_Adi, u"Yeni Grup"_s);
               });
        QTest::newRow("add sub-group")
            << Operation([](const Service &sv) { return AddGroup(sv, demo, u"8"_s, u"Moda"_s); }) << u"1"_s
            << Check([](const AccountSnapshot &s) { QCOMPARE(s.groups.last().Grp_Ust_Grup_No, u"8"_s); });
        QTest::newRow("add under a missing parent")
            << Operation([](const Service &sv) { return AddGroup(sv, demo, u"999"_s, u"X"_s); }) << u"0"_s
            << groupCount(12);
        QTest::newRow("add under a parent that is not a number")
            << Operation([](const Service &sv) { return AddGroup(sv, demo, u"iki"_s, u"X"_s); }) << u"0"_s
            << groupCount(12);
        QTest::newRow("add for an unknown customer")
            << Operation([](const Service &sv) { return AddGroup(sv, u"4242"_s, u"0"_s, u"X"_s); }) << u"0"_s
            << groupCount(12);
        QTest::newRow("group name with a field separator")
            << Operation([](const Service &sv) { return AddGroup(sv, demo, u"0"_s, u"A|B"_s); }) << u"0"_s
            << groupCount(12);
        QTest::newRow("rename group")
            << Operation([](const Service &sv) { return RenameGroup(sv, demo, u"3"_s, u"Toptancılar"_s); })
            << u"1"_s
            << Check([](const AccountSnapshot &s) {
                   QCOMPARE(velmor::test::findGroup(s, u"3"_s)->Grp_Adi, u"Toptancılar"_s);
               });
        QTest::newRow("rename a missing group")
            << Operation([](const Service &sv) { return RenameGroup(sv, demo, u"99"_s, u"X"_s); }) << u"0"_s
            << groupCount(12);
        QTest::newRow("delete a group family")
            << Operation([](const Service &sv) { return DeleteGroups(sv, demo, u"2|6|7|8|9"_s, u"1"_s); })
            << u"1"_s
            << Check([](const AccountSnapshot &s) {
                   QCOMPARE(s.groups.size(), 7);
                   QCOMPARE(s.contacts.size(), 40);
                   int inDefault = 0;
                   for (const ContactRef c : s.contacts)
                       inDefault += c.Grup_No() == u"1";
                   QCOMPARE(inDefault, 4 + 16);
               });
        QTest::newRow("delete a sub-group alone keeps its sub-groups")
            << Operation([](const Service &sv) { return DeleteGroups(sv, demo, u"6"_s, u"2"_s); }) << u"1"_s
            << Check([](const AccountSnapshot &s) {
                   QCOMPARE(s.groups.size(), 11);
                   QCOMPARE(velmor::test::findGroup(s, u"8"_s)->Grp_Ust_Grup_No, u"2"_s);
                   QCOMPARE(velmor::test::findContact(s, u"19"_s)->Grup_No, u"2"_s);
               });
        QTest::newRow("delete with a missing group changes nothing")
            << Operation([](const Service &sv) { return DeleteGroups(sv, demo, u"2|6|999"_s, u"1"_s); })
            << u"0"_s << contactInGroup(u"5"_s, u"2"_s);
        QTest::newRow("delete with a number that is not one")
            << Operation([](const Service &sv) { return DeleteGroups(sv, demo, u"2|x"_s, u"1"_s); }) << u"0"_s
            << groupCount(12);
        QTest::newRow("delete into a group being deleted")
            << Operation([](const Service &sv) { return DeleteGroups(sv, demo, u"2|6"_s, u"6"_s); }) << u"0"_s
            << groupCount(12);
        QTest::newRow("add contact")
            << Operation([](const Service &sv) { return AddContact(sv, demo, contactData(u"5"_s, u"Şule"_s, u"05301234567"_s)); })
            << u"1"_s
            << Check([](const AccountSnapshot &s) {
                   const std::optional<Contact> c = velmor::test::findContact(s, u"41"_s);
                   QVERIFY(c);
                   QCOMPARE(c->Grup_No, u"5"_s);
                   QCOMPARE(c->Adr_Adi, u"Şule"_s);
                   QCOMPARE(c->Adr_Soyadi, u"Çınar"_s);
                   QCOMPARE(c->Adr_ilce, u"Ürgüp"_s);
                   QCOMPARE(c->Adr_GSM_No, u"05301234567"_s);
                   QCOMPARE(c->Adr_Fax_No, QString());
               });
        QTest::newRow("add contact to a missing group")
            << Operation([](const Service &sv) { return AddContact(sv, demo, contactData(u"77"_s, u"X"_s, QString())); })
            << u"0"_s << Check([](const AccountSnapshot &s) { QCOMPARE(s.contacts.size(), 40); });
        QTest::newRow("add contact with a stray separator")
            << Operation([](const Service &sv) { return AddContact(sv, demo, contactData(u"5"_s, u"A|B"_s, QString())); })
            << u"0"_s << Check([](const AccountSnapshot &s) { QCOMPARE(s.contacts.size(), 40); });
        QTest::newRow("update contact")
            << Operation([](const Service &sv) { return UpdateContact(sv, u"3"_s, contactData(u"9"_s, u"Işıl"_s, u"05309876543"_s)); })
            << u"1"_s
            << Check([](const AccountSnapshot &s) {
                   const std::optional<Contact> c = velmor::test::findContact(s, u"3"_s);
                   QCOMPARE(c->Grup_No, u"9"_s);
                   QCOMPARE(c->Adr_Adi, u"Işıl"_s);
                   QCOMPARE(c->Adr_GSM_No, u"05309876543"_s);
               });
        QTest::newRow("update a missing contact")
            << Operation([](const Service &sv) { return UpdateContact(sv, u"999"_s, contactData(u"1"_s, u"X"_s, QString())); })
            << u"0"_s << Check([](const AccountSnapshot &s) { QCOMPARE(s.contacts.size(), 40); });
        QTest::newRow("delete contact")
            << Operation([](const Service &sv) { return DeleteContact(sv, u"12"_s); }) << u"1"_s
            << Check([](const AccountSnapshot &s) {
                   QCOMPARE(s.contacts.size(), 39);
                   QVERIFY(!velmor::test::findContact(s, u"12"_s));
               });
        QTest::newRow("delete a missing contact")
            << Operation([](const Service &sv) { return DeleteContact(sv, u"999"_s); }) << u"0"_s
            << Check([](const AccountSnapshot &s) { QCOMPARE(s.contacts.size(), 40); });
        QTest::newRow("delete with a record number that is not one")
            << Operation([](const Service &sv) { return DeleteContact(sv, u"12a"_s); }) << u"0"_s
            << Check([](const AccountSnapshot &s) { QCOMPARE(s.contacts.size(), 40); });
        QTest::newRow("move contact")
            << Operation([](const Service &sv) { return MoveContact(sv, u"1"_s, u"9"_s); }) << u"1"_s
            << contactInGroup(u"1"_s, u"9"_s);
        QTest::newRow("move contact to a missing group")
            << Operation([](const Service &sv) { return MoveContact(sv, u"1"_s, u"77"_s); }) << u"0"_s
            << contactInGroup(u"1"_s, u"1"_s);
    }

    void phoneBook()
    {
        QFETCH(Operation, operation);
        QFETCH(QString, reply);
        QFETCH(Check, check);
        LiveService live;
        QCOMPARE(operation(*live.service), reply);
        check(live.snapshot());
    }

    void turkishLetters_bothDirections()
    {
        LiveService live;
        const QString name = u"İıÜüŞşĞğÇçÖö Iİ & = + % '"_s;
        QCOMPARE(AddGroup(*live.service, demo, u"0"_s, name), u"1"_s);
        QCOMPARE(live.snapshot().groups.last().Grp_Adi, name);
        // The name went out as digits only, so "&", "=", "+" and "%" could not split the body.
        const QByteArray body = live.server->receivedBodies().at(live.server->receivedBodies().size() - 2);
        const QByteArray coded = body.mid(body.indexOf("Grp_Adi=") + 8);
        QCOMPARE(coded.size(), 3 + 3 * name.size());
        QVERIFY(std::all_of(coded.cbegin(), coded.cend(), [](char c) { return c >= '0' && c <= '9'; }));
    }

    void garbledRequest_getsNoMarkers_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("empty body") << QByteArray();
        QTest::newRow("command not a number") << QByteArray("Rehber=abc&Cari_No=1001");
        QTest::newRow("unknown command") << QByteArray("Rehber=15&Cari_No=1001");
        QTest::newRow("field missing") << QByteArray("Rehber=1");
        QTest::newRow("coded value with a letter") << QByteArray("Rehber=9&Cari_No=1001&Grp_Ust_Grup_No=0&Grp_Adi=04212x");
        QTest::newRow("coded group out of range") << QByteArray("Rehber=9&Cari_No=1001&Grp_Ust_Grup_No=0&Grp_Adi=000999");
        QTest::newRow("binary junk") << QByteArray("\x01\xff\x00=&&==\xc4", 10);
    }

    void garbledRequest_getsNoMarkers()
    {
        QFETCH(QByteArray, body);
        LiveService live;
        const QByteArray raw = velmor::test::rawPost(live.server->port(), body);
        QVERIFY(raw.startsWith("HTTP/1.1 200"));
        QVERIFY(!raw.toLower().contains("<rehber>"));
        QCOMPARE(live.server->receivedBodies().constLast(), body);
        QCOMPARE(live.snapshot().groups.size(), 12);
    }

    void connectionClose_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("connection");
        QTest::addColumn<bool>("withBody");
        QTest::newRow("POST asking to close") << QByteArray("POST") << QByteArray("close") << true;
        QTest::newRow("close in other letter case among other options")
            << QByteArray("POST") << QByteArray("TE, Close") << true;
        QTest::newRow("HEAD gets the head alone") << QByteArray("HEAD") << QByteArray("close") << false;
    }

    void connectionClose()
    {
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, connection);
        QFETCH(bool, withBody);
        LiveService live;
        const QByteArray body = "Rehber=2&Cari_No=1001";
        bool closed = false;
        const QByteArray raw = exchangeUntilClosed(
            live.server->port(),
            method + " /YeniRehber.asp HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: " + connection
                + "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: "
                + QByteArray::number(body.size()) + "\r\n\r\n" + body,
            &closed);
        QVERIFY(closed);
        const qsizetype headEnd = raw.indexOf("\r\n\r\n");
        QVERIFY(raw.startsWith("HTTP/1.1 200") && headEnd > 0);
        const QByteArray head = raw.left(headEnd).toLower();
        QVERIFY(head.contains("\r\nconnection: close"));
        const qsizetype at = head.indexOf("content-length:") + 15;
        const qint64 length = head.mid(at, head.indexOf("\r\n", at) - at).trimmed().toLongLong();
        QVERIFY(length > 0);
        const QByteArray replyBody = raw.mid(headEnd + 4);
        QCOMPARE(replyBody.size(), withBody ? length : 0);
        if (withBody)
            QCOMPARE(replyBody.toLower().count("<rehber>"), 2);
    }

    void requestLog_canBeTurnedOff()
    {
        dev::Options options;
        options.recordBodies = false;
        LiveService live(options);
        QCOMPARE(AddGroup(*live.service, demo, u"0"_s, u"Yeni Grup"_s), u"1"_s);
        QCOMPARE(live.snapshot().groups.size(), 13);
        QVERIFY(live.server->receivedBodies().isEmpty());
    }

    void serverTime()
    {
        LiveService live;
        QVERIFY(QRegularExpression(u"^[0-9]{14}$"_s).match(FetchServerTime(*live.service)).hasMatch());
        live.server->setFixedTime(QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)));
        QCOMPARE(FetchServerTime(*live.service), u"20240229235958"_s);
    }

    void restart_keepsData()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        dev::Options options;
        options.dbPath = dir.filePath(u"sub/demo.sqlite"_s);
        {
            LiveService live(options);
            QCOMPARE(AddGroup(*live.service, demo, u"0"_s, u"Kalıcı Grup"_s), u"1"_s);
            QCOMPARE(GetTagText(SendSmsCommand(*live.service, demo, u"ORNEKCICEK"_s, u"1"_s, u"x"_s,
                                               u"05321112233"_s, u"3"_s, u"20240101"_s, u"120000"_s),
                                u"<SMSGonderim>"_s),
                     u"997"_s);
        }
        {
            LiveService live(options);
            QCOMPARE(live.snapshot().groups.last().Grp_Adi, u"Kalıcı Grup"_s);
            QCOMPARE(live.server->balance(demo), u"997"_s);
            QCOMPARE(live.server->reportRowCount(demo), 11);
        }
        options.resetDemo = true;
        LiveService live(options);
        QCOMPARE(live.snapshot().groups.size(), 12);
        QCOMPARE(live.server->balance(demo), u"1000"_s);
        QCOMPARE(live.server->reportRowCount(demo), 10);
    }

    void seedLarge_addsGroupsAndContacts()
    {
        dev::Options options;
        options.seedLarge = 3000;
        LiveService live(options);
        const AccountSnapshot s = live.snapshot();
        QCOMPARE(s.groups.size(), 12 + 1000);
        QCOMPARE(s.contacts.size(), 40 + 3000);
        QSet<QString> groupNumbers;
        for (const ContactGroup &g : s.groups)
            groupNumbers.insert(g.Grup_No);
        for (const ContactGroup &g : s.groups)
            QVERIFY(g.Grp_Ust_Grup_No == u"0" || groupNumbers.contains(g.Grp_Ust_Grup_No));
        for (const ContactRef c : s.contacts)
            QVERIFY(groupNumbers.contains(c.Grup_No().toString()));
    }

    void requestBounds_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("status");

        const QByteArray post = "POST /YeniRehber.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n";
        const QByteArray form = "Content-Type: application/x-www-form-urlencoded\r\n";
        const QByteArray fullBody = "Rehber=13&x=" + QByteArray(64 * 1024 * 1024 - 12, 'a');
        QTest::newRow("one header line over 64 KiB")
            << post + "X-Long: " + QByteArray(70 * 1024, 'a') + "\r\n\r\n" << QByteArray("413");
        QTest::newRow("header lines adding up over 64 KiB")
            << post + QByteArray("X-Part: " + QByteArray(1000, 'b') + "\r\n").repeated(70) + "\r\n" << QByteArray("413");
        QTest::newRow("announced body over 64 MiB, none of it sent")
            << post + form + "Content-Length: 67108865\r\n\r\n" << QByteArray("413");
        QTest::newRow("announced body of 2 GB, a little of it sent")
            << post + form + "Content-Length: 2147483648\r\n\r\nRehber=13&x=aaaa" << QByteArray("413");
        QTest::newRow("chunked body") << post + form + "Transfer-Encoding: chunked\r\n\r\n9\r\nRehber=13\r\n0\r\n\r\n"
                                      << QByteArray("501");
        QTest::newRow("not a request line") << QByteArray("HELLO\r\n\r\n") << QByteArray("400");
        QTest::newRow("body of exactly 64 MiB is read whole")
            << post + form + "Connection: close\r\nContent-Length: " + QByteArray::number(fullBody.size()) + "\r\n\r\n"
                   + fullBody
            << QByteArray("200");
    }

    // Past a bound the service answers at once and closes the connection;
    // a request within them is served.
    void requestBounds()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, status);
        LiveService live;
        bool closed = false;
        const QByteArray raw = exchangeUntilClosed(live.server->port(), request, &closed);
        QVERIFY2(raw.startsWith("HTTP/1.1 " + status + ' '), raw.left(60).constData());
        QVERIFY(closed);
        if (status == "200") {
            QCOMPARE(raw.toLower().count("<rehber>"), 2);
            QCOMPARE(live.server->receivedBodies().constLast().size(), 64 * 1024 * 1024);
        }
        // The service goes on serving.
        QCOMPARE(FetchServerTime(*live.service).size(), 14);
    }

    void idleConnection_isClosed_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("request head never finished") << QByteArray("POST /YeniRehber.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n");
        QTest::newRow("body never finished")
            << QByteArray("POST /YeniRehber.asp HTTP/1.1\r\nContent-Length: 20\r\n\r\nRehber=13");
        QTest::newRow("kept open after a reply") << QByteArray("POST /YeniRehber.asp HTTP/1.1\r\nContent-Length: 9\r\n\r\nRehber=13");
        QTest::newRow("nothing sent") << QByteArray();
    }

    void idleConnection_isClosed()
    {
        QFETCH(QByteArray, sent);
        dev::Options options;
        options.idleConnectionMs = 400;
        LiveService live(options);

        QTcpSocket idle;
        QSignalSpy disconnected(&idle, &QTcpSocket::disconnected);
        idle.connectToHost(QHostAddress::LocalHost, live.server->port());
        QVERIFY(idle.waitForConnected(5000));
        QElapsedTimer clock;
        clock.start();
        idle.write(sent);
        // Other clients are served while it lingers.
        QCOMPARE(FetchServerTime(*live.service).size(), 14);
        QVERIFY(disconnected.wait(5000));
        QVERIFY(clock.elapsed() >= 300);
    }
};

QTEST_GUILESS_MAIN(TestDevServer)
#include "tst_devserver.moc"
