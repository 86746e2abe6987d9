// The request bodies of the service commands, as they arrive at a loopback
// server: field names and order, which values are coded, and uncoded values
// that can no longer split the form.

#include "loopbackserver.h"
#include "service/coding.h"
#include "service/service.h"
#include "service/transport.h"

#include <QTest>
#include <QUrlQuery>

#include <functional>

using namespace velmor;
using namespace Qt::StringLiterals;
using velmor::test::LoopbackServer;

namespace {

using Command = std::function<QString(const Service &)>;

// An expected field: its name, and either the exact bytes of an uncoded value
// or the text a coded value must decode to.
struct Field
{
    QByteArray name;
    QByteArray plain;
    QString coded;
    bool isCoded = false;
};

Field plain(const char *name, const QByteArray &value)
{
    return {name, value, {}, false};
}

Field coded(const char *name, const QString &text)
{
    return {name, {}, text, true};
}

} // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(QList<Field>)

class CommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void body_data();
    void body();
    void exactBodies_data();
    void exactBodies();
    void uncodedValue_arrivesAsOneField_data();
    void uncodedValue_arrivesAsOneField();
    void reply_passedOnUnchanged_data();
    void reply_passedOnUnchanged();

private:
    QString post(const Command &command, const QByteArray &reply = LoopbackServer::reply(u"1"_s));
    LoopbackServer m_server;
};

void CommandsTest::initTestCase()
{
    QVERIFY(m_server.listen());
}

QString CommandsTest::post(const Command &command, const QByteArray &reply)
{
    m_server.clearRequests();
    m_server.setReply(reply);
    const Service service(std::make_shared<HttpTransport>(m_server.endpoint(), 5000));
    const QString result = command(service);
    if (m_server.requests().size() != 1)
        qWarning("expected one request, got %d", int(m_server.requests().size()));
    return result;
}

void CommandsTest::body_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QList<Field>>("fields");

    QTest::newRow("AddGroup")
        << Command([](const Service &s) { return AddGroup(s, u"7"_s, u"0"_s, u"Yeni Grup"_s); })
        << QList<Field>{plain("Rehber", "9"), plain("Cari_No", "7"), plain("Grp_Ust_Grup_No", "0"),
                        coded("Grp_Adi", u"Yeni Grup"_s)};
    QTest::newRow("AddGroup, name with & and =")
        << Command([](const Service &s) { return AddGroup(s, u"7"_s, u"3"_s, u"A&B=C"_s); })
        << QList<Field>{plain("Rehber", "9"), plain("Cari_No", "7"), plain("Grp_Ust_Grup_No", "3"),
                        coded("Grp_Adi", u"A&B=C"_s)};
    QTest::newRow("DeleteGroups")
        << Command([](const Service &s) { return DeleteGroups(s, u"7"_s, u"3|4|5"_s, u"1"_s); })
        << QList<Field>{plain("Rehber", "10"), plain("Cari_No", "7"), plain("GrupNolari", "3%7C4%7C5"),
                        plain("UstGrupNo", "1")};
    QTest::newRow("RenameGroup")
        << Command([](const Service &s) { return RenameGroup(s, u"7"_s, u"42"_s, u"Müşteriler"_s); })
        << QList<Field>{plain("Rehber", "11"), plain("Cari_No", "7"), plain("Grup_No", "42"),
                        coded("Grp_Adi", u"Müşteriler"_s)};
    const QString contactData = u"Ayşe|Yılmaz|Atatürk Cad.|||Çankaya|Ankara|05321234567|03121234567|"_s;
    QTest::newRow("UpdateContact")
        << Command([contactData](const Service &s) { return UpdateContact(s, u"12"_s, contactData); })
        << QList<Field>{plain("Rehber", "6"), plain("Adr_K_No", "12"), coded("Adr_Bilgileri", contactData)};
    QTest::newRow("DeleteContact") << Command([](const Service &s) { return DeleteContact(s, u"12"_s); })
                                   << QList<Field>{plain("Rehber", "7"), plain("Adr_K_No", "12")};
    QTest::newRow("AddContact")
        << Command([contactData](const Service &s) { return AddContact(s, u"7"_s, contactData); })
        << QList<Field>{plain("Rehber", "8"), plain("Cari_No", "7"), coded("Adr_Bilgileri", contactData)};
    QTest::newRow("MoveContact") << Command([](const Service &s) { return MoveContact(s, u"12"_s, u"5"_s); })
                                 << QList<Field>{plain("Rehber", "14"), plain("Adr_K_No", "12"), plain("Grup_No", "5")};
    QTest::newRow("FetchAccountData") << Command([](const Service &s) { return FetchAccountData(s, u"7"_s); })
                                      << QList<Field>{plain("Rehber", "1"), plain("Cari_No", "7")};
    QTest::newRow("FetchCreditBalancePayload")
        << Command([](const Service &s) { return FetchCreditBalancePayload(s, u"7"_s); })
        << QList<Field>{plain("Rehber", "2"), plain("Cari_No", "7")};
    QTest::newRow("FetchLoginRecord, code with blanks kept")
        << Command([](const Service &s) { return FetchLoginRecord(s, u" 7 "_s); })
        << QList<Field>{plain("Rehber", "4"), plain("Cari_No", "%207%20")};
    QTest::newRow("SaveCustomerDetails")
        << Command([](const Service &s) {
               return SaveCustomerDetails(s, u"7"_s, u"Ünvan|||Şişli"_s, u"VELMOR"_s, QString(), u"ACME"_s);
           })
        << QList<Field>{plain("Rehber", "5"), plain("Cari_No", "7"), coded("Cari_Bilgileri", u"Ünvan|||Şişli"_s),
                        coded("G_Ad1", u"VELMOR"_s), coded("G_Ad2", QString()), coded("G_Ad3", u"ACME"_s)};
    QTest::newRow("SendSmsCommand")
        << Command([](const Service &s) {
               return SendSmsCommand(s, u"7"_s, u"VELMOR"_s, u"1"_s, u"Merhaba dunya"_s, u"0532,,0533"_s, u"2"_s,
                                     u"20240131"_s, u"235959"_s);
           })
        << QList<Field>{plain("Rehber", "3"),
                        plain("Cari_No", "7"),
                        coded("Gonderici_Adi", u"VELMOR"_s),
                        coded("SMS_Tip", u"1"_s),
                        coded("Gonderme_Tarih", u"20240131"_s),
                        coded("Gonderme_Zaman", u"235959"_s),
                        coded("Gecikme_Tarih", QString()),
                        coded("Gecikme_Zaman", QString()),
                        coded("Sonuc_Kodu", u"9999"_s),
                        coded("Mesaj", u"Merhaba dunya"_s),
                        coded("Tel_Nolar", u"0532,,0533"_s),
                        coded("Kontor", u"2"_s)};
    QTest::newRow("FetchDeliveryReport")
        << Command([](const Service &s) { return FetchDeliveryReport(s, u"7"_s, u"20240101"_s, u"20240131"_s); })
        << QList<Field>{plain("Rehber", "12"), plain("Cari_No", "7"), plain("Trh_1", "20240101"),
                        plain("Trh_2", "20240131")};
    QTest::newRow("FetchServerTime") << Command([](const Service &s) { return FetchServerTime(s); })
                                     << QList<Field>{plain("Rehber", "13")};
    QTest::newRow("FetchLatestVersion") << Command([](const Service &s) { return FetchLatestVersion(s); })
                                        << QList<Field>{plain("Rehber", "30")};
}

void CommandsTest::body()
{
    QFETCH(Command, command);
    QFETCH(QList<Field>, fields);

    post(command);
    QCOMPARE(m_server.requests().size(), 1);
    const QList<QByteArray> parts = m_server.lastBody().split('&');
    QCOMPARE(parts.size(), fields.size());
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const Field &field = fields.at(i);
        const qsizetype equals = parts.at(i).indexOf('=');
        QVERIFY2(equals > 0, parts.at(i).constData());
        QCOMPARE(parts.at(i).first(equals), field.name);
        const QByteArray value = parts.at(i).sliced(equals + 1);
        if (!field.isCoded) {
            QCOMPARE(value, field.plain);
            continue;
        }
        // A coded value: the offset and one group per character, all digits,
        // decoding back to the text; the empty text stays empty.
        QCOMPARE(value.size(), field.coded.isEmpty() ? 0 : 3 + 3 * field.coded.size());
        QVERIFY2(std::all_of(value.cbegin(), value.cend(), [](char c) { return c >= '0' && c <= '9'; }),
                 value.constData());
        QCOMPARE(DecodeDigits(value), field.coded);
    }
}

void CommandsTest::exactBodies_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("DeleteContact 12") << Command([](const Service &s) { return DeleteContact(s, u"12"_s); })
                                      << QByteArray("Rehber=7&Adr_K_No=12");
    QTest::newRow("MoveContact") << Command([](const Service &s) { return MoveContact(s, u"12"_s, u"5"_s); })
                                 << QByteArray("Rehber=14&Adr_K_No=12&Grup_No=5");
    QTest::newRow("login with empty customer code")
        << Command([](const Service &s) { return FetchLoginRecord(s, QString()); }) << QByteArray("Rehber=4&Cari_No=");
    QTest::newRow("record number 0 is sent as it is")
        << Command([](const Service &s) { return DeleteContact(s, u"0"_s); }) << QByteArray("Rehber=7&Adr_K_No=0");
    QTest::newRow("empty group list is sent as it is")
        << Command([](const Service &s) { return DeleteGroups(s, u"7"_s, QString(), u"0"_s); })
        << QByteArray("Rehber=10&Cari_No=7&GrupNolari=&UstGrupNo=0");
    QTest::newRow("AddGroup with an empty name")
        << Command([](const Service &s) { return AddGroup(s, u"7"_s, u"0"_s, QString()); })
        << QByteArray("Rehber=9&Cari_No=7&Grp_Ust_Grup_No=0&Grp_Adi=");
    QTest::newRow("service clock") << Command([](const Service &s) { return FetchServerTime(s); })
                                   << QByteArray("Rehber=13");
}

void CommandsTest::exactBodies()
{
    QFETCH(Command, command);
    QFETCH(QByteArray, body);
    post(command);
    QCOMPARE(m_server.lastBody(), body);
}

void CommandsTest::uncodedValue_arrivesAsOneField_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("fieldCount");

    auto login = [](const QString &code) { return Command([code](const Service &s) { return FetchLoginRecord(s, code); }); };
    for (const QString &code : {u"1&Rehber=7"_s, u"7+1"_s, u"50%"_s, u"%41"_s, u"a=b"_s, u"Şişli 7"_s, u"7#x"_s})
        QTest::addRow("login code %s", qPrintable(code)) << login(code) << u"Cari_No"_s << code << 2;
    QTest::newRow("record number with a field after it")
        << Command([](const Service &s) { return DeleteContact(s, u"12&Adr_K_No=13"_s); }) << u"Adr_K_No"_s
        << u"12&Adr_K_No=13"_s << 2;
    QTest::newRow("group number list")
        << Command([](const Service &s) { return DeleteGroups(s, u"7"_s, u"3|4&UstGrupNo=9"_s, u"1"_s); })
        << u"GrupNolari"_s << u"3|4&UstGrupNo=9"_s << 4;
    QTest::newRow("target group of a move")
        << Command([](const Service &s) { return MoveContact(s, u"12"_s, u"5&Grup_No=6"_s); }) << u"Grup_No"_s
        << u"5&Grup_No=6"_s << 3;
    QTest::newRow("report date")
        << Command([](const Service &s) { return FetchDeliveryReport(s, u"7"_s, u"2024&Trh_2=1"_s, u"20240131"_s); })
        << u"Trh_1"_s << u"2024&Trh_2=1"_s << 4;
}

void CommandsTest::uncodedValue_arrivesAsOneField()
{
    QFETCH(Command, command);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(int, fieldCount);

    post(command);
    const QUrlQuery form(QString::fromLatin1(m_server.lastBody()));
    QCOMPARE(form.queryItems().size(), fieldCount);
    QCOMPARE(form.allQueryItemValues(field, QUrl::FullyDecoded), QStringList{value});
    QCOMPARE(form.allQueryItemValues(u"Rehber"_s).size(), 1);
}

void CommandsTest::reply_passedOnUnchanged_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("result");

    const Command addGroup([](const Service &s) { return AddGroup(s, u"7"_s, u"0"_s, u"X"_s); });
    QTest::newRow("success") << addGroup << LoopbackServer::reply(u"1"_s) << u"1"_s;
    QTest::newRow("1 and a blank") << addGroup << LoopbackServer::reply(u"1 "_s) << u"1 "_s;
    QTest::newRow("refusal") << addGroup << LoopbackServer::reply(u"0"_s) << u"0"_s;
    QTest::newRow("no envelope") << addGroup << QByteArray("1") << QString();
    const Command report([](const Service &s) { return FetchDeliveryReport(s, u"7"_s, u"20240101"_s, u"20240131"_s); });
    QTest::newRow("report: the section only")
        << report << LoopbackServer::reply(u"x<iletimRpr>a|b<>c|d<iletimRpr>y"_s) << u"a|b<>c|d"_s;
    QTest::newRow("report: no section") << report << LoopbackServer::reply(u"a|b"_s) << QString();
    // The window tells a failed query from an empty report by the section itself.
    const Command section([](const Service &s) {
        const std::optional<QString> found = FetchDeliveryReportSection(s, u"7"_s, u"20240101"_s, u"20240131"_s);
        return found ? u"[%1]"_s.arg(*found) : u"none"_s;
    });
    QTest::newRow("section: empty") << section << LoopbackServer::reply(u"<iletimRpr><ILETIMRPR>"_s) << u"[]"_s;
    QTest::newRow("section: rows") << section << LoopbackServer::reply(u"<iletimRpr><>a|b<iletimRpr>"_s)
                                   << u"[<>a|b]"_s;
    QTest::newRow("section: one tag") << section << LoopbackServer::reply(u"<iletimRpr><>a|b"_s) << u"none"_s;
    QTest::newRow("section: no envelope") << section << QByteArray("<iletimRpr><iletimRpr>") << u"none"_s;
    QTest::newRow("clock") << Command([](const Service &s) { return FetchServerTime(s); })
                           << LoopbackServer::reply(u"20240131235959"_s) << u"20240131235959"_s;
}

void CommandsTest::reply_passedOnUnchanged()
{
    QFETCH(Command, command);
    QFETCH(QByteArray, reply);
    QFETCH(QString, result);
    QCOMPARE(post(command, reply), result);
}

QTEST_GUILESS_MAIN(CommandsTest)
#include "tst_commands.moc"
