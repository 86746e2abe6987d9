// PostCommand over real loopback HTTP: the envelope of the reply, and every
// way the exchange can fail ending in the empty text.

#include "loopbackserver.h"
#include "service/service.h"
#include "service/transport.h"

#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;
using velmor::test::LoopbackServer;

class TransportTest : public QObject
{
    Q_OBJECT

private slots:
    void envelope_data();
    void envelope();
    void failure_givesEmptyText_data();
    void failure_givesEmptyText();
    void slowReplyWithinLimit_arrives();
    void replyEndedByClosing_isWhole();
    void request_isFormPostToEndpoint();
    void longReply_arrivesWhole();
    void nextRequestAfterFailure_works();
};

void TransportTest::envelope_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("payload");

    const QByteArray one = "000049"; // "1" with offset 0
    QTest::newRow("markers as the service writes them") << LoopbackServer::envelope(one) << 200 << u"1"_s;
    QTest::newRow("markers in capitals") << "<REHBER>" + one + "<REHBER>" << 200 << u"1"_s;
    QTest::newRow("markers in small letters") << "<rehber>" + one + "<rehber>" << 200 << u"1"_s;
    QTest::newRow("markers in mixed letter case") << "<ReHbEr>" + one + "<rEhBeR>" << 200 << u"1"_s;
    QTest::newRow("text before and after") << "x<b>1</b>" + QByteArray("<Rehber>") + one + "<Rehber>999" << 200
                                           << u"1"_s;
    QTest::newRow("three markers") << "<Rehber>" + one + "<Rehber>000050<Rehber>" << 200 << u"1"_s;
    QTest::newRow("no marker") << one << 200 << QString();
    QTest::newRow("one marker") << "<Rehber>" + one << 200 << QString();
    QTest::newRow("nothing between the markers") << QByteArray("<Rehber><Rehber>") << 200 << QString();
    QTest::newRow("empty page") << QByteArray() << 200 << QString();
    QTest::newRow("payload that is not digits") << LoopbackServer::envelope("00004x") << 200 << QString();
    QTest::newRow("payload with a group below the offset") << LoopbackServer::envelope("050049") << 200 << QString();
    QTest::newRow("1 and a blank is passed on as it is") << LoopbackServer::reply(u"1 "_s) << 200 << u"1 "_s;
    QTest::newRow("Turkish letters sent as UTF-8") << LoopbackServer::reply(u"<SMSGiris>1|Şükrü|ğı<SMSGiris>"_s) << 200
                                                   << u"<SMSGiris>1|Şükrü|ğı<SMSGiris>"_s;
    QTest::newRow("error status still carrying a page") << LoopbackServer::envelope(one) << 500 << u"1"_s;
    QTest::newRow("not found page without envelope") << QByteArray("<html>Not found</html>") << 404 << QString();
}

void TransportTest::envelope()
{
    QFETCH(QByteArray, page);
    QFETCH(int, status);
    QFETCH(QString, payload);

    LoopbackServer server;
    QVERIFY(server.listen());
    server.setReply(page, status);
    const Service service(std::make_shared<HttpTransport>(server.endpoint(), 5000));
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=13")), payload);
    QCOMPARE(server.requests().size(), 1);
}

void TransportTest::failure_givesEmptyText_data()
{
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<bool>("refused");

    QTest::newRow("connection refused") << int(LoopbackServer::Behaviour::Reply) << true;
    QTest::newRow("server closes in the middle of the reply") << int(LoopbackServer::Behaviour::CloseMidReply) << false;
    QTest::newRow("server slower than the time limit") << int(LoopbackServer::Behaviour::AnswerLater) << false;
    QTest::newRow("server never answers") << int(LoopbackServer::Behaviour::NeverAnswer) << false;
}

void TransportTest::failure_givesEmptyText()
{
    QFETCH(int, behaviour);
    QFETCH(bool, refused);

    LoopbackServer server;
    QVERIFY(server.listen());
    // The part that does arrive before the close holds a whole envelope, so
    // a client that took a broken reply for a whole one would answer "1".
    server.setReply(LoopbackServer::envelope("000049") + QByteArray(4000, ' '));
    server.setBytesBeforeClose(60);
    server.setDelayMs(3000);
    server.setBehaviour(LoopbackServer::Behaviour(behaviour));

    QUrl endpoint = server.endpoint();
    if (refused)
        endpoint.setPort(LoopbackServer::closedPort());
    HttpTransport transport(endpoint, 300);
    QCOMPARE(transport.post(QByteArrayLiteral("Rehber=13")), QByteArray());

    const Service service(std::make_shared<HttpTransport>(endpoint, 300));
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=13")), QString());
    QCOMPARE(DeleteContact(service, u"12"_s), QString());
}

void TransportTest::slowReplyWithinLimit_arrives()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    server.setBehaviour(LoopbackServer::Behaviour::AnswerLater);
    server.setDelayMs(200);
    server.setReply(LoopbackServer::reply(u"1"_s));
    const Service service(std::make_shared<HttpTransport>(server.endpoint(), 10000));
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=13")), u"1"_s);
}

void TransportTest::replyEndedByClosing_isWhole()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    server.setRawResponse("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + LoopbackServer::reply(u"1"_s));
    const Service service(std::make_shared<HttpTransport>(server.endpoint(), 5000));
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=13")), u"1"_s);
}

void TransportTest::request_isFormPostToEndpoint()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    HttpTransport transport(server.endpoint());
    QCOMPARE(transport.timeoutMs(), HttpTransport::DefaultTimeoutMs);
    const QByteArray body = "Rehber=9&Cari_No=7&Grp_Ust_Grup_No=0&Grp_Adi=000089";
    QCOMPARE(transport.post(body), LoopbackServer::envelope("000049"));

    QCOMPARE(server.requests().size(), 1);
    const LoopbackServer::Request &request = server.requests().constFirst();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, QByteArray("/YeniRehber.asp"));
    QCOMPARE(request.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
    QCOMPARE(request.body, body);
    QVERIFY(request.header("Cookie").isEmpty());
}

void TransportTest::longReply_arrivesWhole()
{
    // A few megabytes of digits, as a large account sends, in many packets.
    QString payload;
    for (int i = 0; i < 20000; ++i)
        payload += u"<>%1|3|Ayşe|Yılmaz|Kadıköy|İstanbul|0532%2"_s.arg(i).arg(i, 7, 10, QChar(u'0'));
    LoopbackServer server;
    QVERIFY(server.listen());
    server.setReply(LoopbackServer::reply(payload));
    const Service service(std::make_shared<HttpTransport>(server.endpoint(), 5000));
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=1&Cari_No=7")), payload);
}

void TransportTest::nextRequestAfterFailure_works()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    auto transport = std::make_shared<HttpTransport>(server.endpoint(), 300);
    const Service service(transport);
    server.setBehaviour(LoopbackServer::Behaviour::NeverAnswer);
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=13")), QString());
    server.setBehaviour(LoopbackServer::Behaviour::Reply);
    transport->setTimeoutMs(5000);
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=13")), u"1"_s);
    QCOMPARE(server.requests().size(), 2);
}

QTEST_GUILESS_MAIN(TransportTest)
#include "tst_transport.moc"
