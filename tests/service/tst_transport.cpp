// PostCommand over real loopback HTTP: the envelope of the reply, and every
// way the exchange can fail ending in the empty text.

#include "loopbackserver.h"
#include "service/service.h"
#include "service/transport.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSslConfiguration>
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
    void longReply_arrivesWhole_data();
    void longReply_arrivesWhole();
    void nextRequestAfterFailure_works();
    void closedWithoutReply_requestSentOnce();
    void rawReply_data();
    void rawReply();
    void replyInPieces_data();
    void replyInPieces();
    void replyCompleteWhileConnectionStaysOpen();
    void unusableEndpoint_givesEmptyText_data();
    void unusableEndpoint_givesEmptyText();
    void replyOverLimit_failsAtOnce_data();
    void replyOverLimit_failsAtOnce();
    void certificate_unverifiedSendsNothing_data();
    void certificate_unverifiedSendsNothing();
};

namespace {

QByteArray chunked(const QList<QByteArray> &chunks, const QByteArray &trailer = "\r\n")
{
    QByteArray out = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (const QByteArray &chunk : chunks)
        out += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    return out + "0\r\n" + trailer;
}

} // namespace

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
    QCOMPARE(request.header("Content-Length"), QByteArray::number(body.size()));
    QCOMPARE(request.header("Host"), "127.0.0.1:" + QByteArray::number(server.port()));
    QCOMPARE(request.header("Connection").toLower(), QByteArray("close"));
    QVERIFY(request.header("Cookie").isEmpty());

    // The query of the address goes with the path.
    QUrl withQuery = server.endpoint();
    withQuery.setQuery(u"dil=tr&x=%C5%9F"_s);
    QCOMPARE(HttpTransport(withQuery).post(body), LoopbackServer::envelope("000049"));
    QCOMPARE(server.requests().constLast().path, QByteArray("/YeniRehber.asp?dil=tr&x=%C5%9F"));
}

void TransportTest::longReply_arrivesWhole_data()
{
    QTest::addColumn<QString>("framing");
    QTest::newRow("by Content-Length") << u"length"_s;
    QTest::newRow("chunked") << u"chunked"_s;
    QTest::newRow("ended by closing") << u"close"_s;
}

void TransportTest::longReply_arrivesWhole()
{
    QFETCH(QString, framing);
    // A few megabytes of digits, as a large account sends, in many packets.
    QString payload;
    for (int i = 0; i < 20000; ++i)
        payload += u"<>%1|3|Ayşe|Yılmaz|Kadıköy|İstanbul|0532%2"_s.arg(i).arg(i, 7, 10, QChar(u'0'));
    LoopbackServer server;
    QVERIFY(server.listen());
    const QByteArray page = LoopbackServer::reply(payload);
    if (framing == u"length") {
        server.setReply(page);
    } else if (framing == u"chunked") {
        QList<QByteArray> chunks;
        for (qsizetype at = 0; at < page.size(); at += 8000)
            chunks.append(page.mid(at, 8000));
        server.setRawResponse(chunked(chunks));
    } else {
        server.setRawResponse("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n" + page);
    }
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

void TransportTest::closedWithoutReply_requestSentOnce()
{
    // The service may have carried the request out (an SMS sent and charged)
    // before the connection dropped: it must not get the request a second time.
    LoopbackServer server;
    QVERIFY(server.listen());
    server.setBehaviour(LoopbackServer::Behaviour::CloseUnanswered);
    const Service service(std::make_shared<HttpTransport>(server.endpoint(), 5000));
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=3&Cari_No=7")), QString());
    QCOMPARE(server.requests().size(), 1);
}

void TransportTest::rawReply_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<QByteArray>("expected"); // empty: a failure

    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    QTest::newRow("chunked") << chunked({"<Rehber>", "000049", "<Rehber>"}) << QByteArray("<Rehber>000049<Rehber>");
    QTest::newRow("chunked with extensions, capital hex and a trailer")
        << ok + "Transfer-Encoding: chunked\r\n\r\nA;name=value\r\n0123456789\r\n1 \r\nx\r\n0\r\nExpires: 0\r\n\r\n"
        << QByteArray("0123456789x");
    QTest::newRow("chunked named in other letter case, Content-Length ignored")
        << ok + "Content-Length: 3\r\ntransfer-encoding: Chunked\r\n\r\n5\r\nabcde\r\n0\r\n\r\n" << QByteArray("abcde");
    QTest::newRow("chunked, closed after the last chunk before the final blank line")
        << ok + "Transfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n" << QByteArray();
    QTest::newRow("chunked, cut in the middle of a chunk")
        << ok + "Transfer-Encoding: chunked\r\n\r\n10\r\n<Rehber>000049<Rehber>" << QByteArray();
    QTest::newRow("chunked, closed before the last chunk")
        << ok + "Transfer-Encoding: chunked\r\n\r\n2\r\nab\r\n" << QByteArray();
    QTest::newRow("chunked, size not hexadecimal")
        << ok + "Transfer-Encoding: chunked\r\n\r\nzz\r\nab\r\n0\r\n\r\n" << QByteArray();
    QTest::newRow("chunked, size missing") << ok + "Transfer-Encoding: chunked\r\n\r\n\r\nab\r\n0\r\n\r\n"
                                           << QByteArray();
    QTest::newRow("chunked, data longer than its size")
        << ok + "Transfer-Encoding: chunked\r\n\r\n2\r\nabc\r\n0\r\n\r\n" << QByteArray();
    QTest::newRow("chunked, size beyond any length")
        << ok + "Transfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFFFFFF\r\nab\r\n0\r\n\r\n" << QByteArray();
    QTest::newRow("other transfer coding, read until closing")
        << ok + "Transfer-Encoding: identity\r\n\r\nabc" << QByteArray("abc");
    QTest::newRow("no Content-Length, ended by closing") << ok + "Content-Type: text/html\r\n\r\nabc\r\n"
                                                         << QByteArray("abc\r\n");
    QTest::newRow("bytes after the Content-Length are left out") << ok + "Content-Length: 3\r\n\r\nabcdef"
                                                                << QByteArray("abc");
    QTest::newRow("body cut short of its Content-Length") << ok + "Content-Length: 30\r\n\r\n<Rehber>000049<Rehber>"
                                                         << QByteArray();
    QTest::newRow("the same Content-Length twice") << ok + "Content-Length: 2\r\nContent-Length: 2, 2\r\n\r\nab"
                                                  << QByteArray("ab");
    QTest::newRow("Content-Lengths that disagree") << ok + "Content-Length: 2\r\nContent-Length: 3\r\n\r\nabc"
                                                  << QByteArray();
    QTest::newRow("Content-Length not a number") << ok + "Content-Length: -2\r\n\r\nab" << QByteArray();
    QTest::newRow("interim responses skipped")
        << "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 102 Processing\r\nX: y\r\n\r\n" + ok + "Content-Length: 2\r\n\r\nok"
        << QByteArray("ok");
    QTest::newRow("lines ended by LF alone") << QByteArray("HTTP/1.1 200 OK\nContent-Length: 2\n\nok") << QByteArray("ok");
    QTest::newRow("redirect not followed") << QByteArray("HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 5\r\n\r\nmoved")
                                           << QByteArray("moved");
    QTest::newRow("status line without a reason") << QByteArray("HTTP/1.0 503\r\n\r\nbusy") << QByteArray("busy");
    QTest::newRow("headers never ended") << ok + "Content-Length: 2\r\n" << QByteArray();
    QTest::newRow("not HTTP") << QByteArray("<html><Rehber>000049<Rehber></html>\r\n\r\n") << QByteArray();
    QTest::newRow("status not three digits") << QByteArray("HTTP/1.1 2000 OK\r\n\r\nabc") << QByteArray();
    QTest::newRow("switching protocols") << QByteArray("HTTP/1.1 101 Switching Protocols\r\n\r\nabc") << QByteArray();
    QTest::newRow("binary noise") << QByteArray("\0\xff\r\n\n\x80HTTP/1.1 200\r\n\r\n", 23) << QByteArray();
    QTest::newRow("header line beyond any reason") << ok + "X: " + QByteArray(300 * 1024, 'a') + "\r\n\r\nab"
                                                   << QByteArray();
}

void TransportTest::rawReply()
{
    QFETCH(QByteArray, response);
    QFETCH(QByteArray, expected);

    LoopbackServer server;
    QVERIFY(server.listen());
    server.setRawResponse(response);
    HttpTransport transport(server.endpoint(), 5000);
    QCOMPARE(transport.post(QByteArrayLiteral("Rehber=13")), expected);
    QCOMPARE(server.requests().size(), 1);
}

void TransportTest::replyInPieces_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<int>("pieceBytes");

    const QByteArray page = LoopbackServer::reply(u"Kontör: 1000"_s);
    QList<QByteArray> chunks;
    for (qsizetype at = 0; at < page.size(); at += 9)
        chunks.append(page.mid(at, 9));
    const QByteArray byLength = "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: "
        + QByteArray::number(page.size()) + "\r\n\r\n" + page;
    QTest::newRow("chunked, a byte at a time") << chunked(chunks, "Expires: 0\r\n\r\n") << 1;
    QTest::newRow("chunked, seven bytes at a time") << chunked(chunks) << 7;
    QTest::newRow("by Content-Length, a byte at a time") << byLength << 1;
    QTest::newRow("by Content-Length, two bytes at a time") << byLength << 2;
}

void TransportTest::replyInPieces()
{
    QFETCH(QByteArray, response);
    QFETCH(int, pieceBytes);

    LoopbackServer server;
    QVERIFY(server.listen());
    server.setRawResponse(response);
    server.setBehaviour(LoopbackServer::Behaviour::ReplyInPieces);
    server.setPieceBytes(pieceBytes);
    const Service service(std::make_shared<HttpTransport>(server.endpoint(), 5000));
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=13")), u"Kontör: 1000"_s);
}

void TransportTest::replyCompleteWhileConnectionStaysOpen()
{
    // A whole reply by its length ends the request; waiting for the close
    // would run into the time limit and lose the reply.
    LoopbackServer server;
    QVERIFY(server.listen());
    server.setBehaviour(LoopbackServer::Behaviour::ReplyStayOpen);
    server.setRawResponse(chunked({"<Rehber>000049<Rehber>"}));
    HttpTransport transport(server.endpoint(), 2000);
    QCOMPARE(transport.post(QByteArrayLiteral("Rehber=13")), QByteArray("<Rehber>000049<Rehber>"));
    server.setReply(LoopbackServer::envelope("000050"));
    QCOMPARE(transport.post(QByteArrayLiteral("Rehber=13")), LoopbackServer::envelope("000050"));
}

void TransportTest::unusableEndpoint_givesEmptyText_data()
{
    QTest::addColumn<QString>("scheme");
    // A server without TLS never gets to read a request; neither does one
    // behind a scheme this client does not speak.
    QTest::newRow("https to a server without TLS") << u"https"_s;
    QTest::newRow("scheme other than http") << u"ftp"_s;
}

void TransportTest::unusableEndpoint_givesEmptyText()
{
    QFETCH(QString, scheme);

    LoopbackServer server;
    QVERIFY(server.listen());
    QUrl endpoint = server.endpoint();
    endpoint.setScheme(scheme);
    HttpTransport transport(endpoint, 300);
    QCOMPARE(transport.post(QByteArrayLiteral("Rehber=13")), QByteArray());
    QVERIFY(server.requests().isEmpty());
}

void TransportTest::replyOverLimit_failsAtOnce_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<bool>("endless"); // filler follows the response for as long as it is read
    QTest::addColumn<bool>("arrives"); // a reply right at the limit is whole

    constexpr qint64 limit = 1024 * 1024;
    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    const QByteArray chunkedHead = ok + "Transfer-Encoding: chunked\r\n\r\n";
    const QByteArray half = QByteArray(limit / 2, '5');
    QTest::newRow("announced length of 2 GB") << ok + "Content-Length: 2147483648\r\n\r\n<Rehber>" << false << false;
    QTest::newRow("announced length one byte over") << ok + "Content-Length: 1048577\r\n\r\n" << false << false;
    QTest::newRow("huge chunk size") << chunkedHead + "7fffffffffff\r\n<Rehber>" << false << false;
    QTest::newRow("chunks that add up past the limit")
        << chunkedHead + "80000\r\n" + half + "\r\n80000\r\n" + half + "\r\n1\r\n" << false << false;
    QTest::newRow("endless body without a length") << ok + "Content-Type: text/html\r\n\r\n" << true << false;
    QTest::newRow("endless chunk") << chunkedHead + "ffffffff\r\n" << true << false;
    QTest::newRow("chunks right at the limit")
        << chunkedHead + "80000\r\n" + half + "\r\n80000\r\n" + half + "\r\n0\r\n\r\n" << false << true;
}

void TransportTest::replyOverLimit_failsAtOnce()
{
    QFETCH(QByteArray, response);
    QFETCH(bool, endless);
    QFETCH(bool, arrives);

    // The server never closes: only the limit can end these requests before
    // the time limit does.
    LoopbackServer server;
    QVERIFY(server.listen());
    server.setRawResponse(response);
    server.setBehaviour(endless ? LoopbackServer::Behaviour::Endless : LoopbackServer::Behaviour::ReplyStayOpen);
    auto transport = std::make_shared<HttpTransport>(server.endpoint(), 60000);
    transport->setMaxReplyBytes(1024 * 1024);
    QCOMPARE(transport->maxReplyBytes(), 1024 * 1024);
    const Service service(transport);

    QElapsedTimer clock;
    clock.start();
    const QByteArray raw = transport->post(QByteArrayLiteral("Rehber=1&Cari_No=7"));
    QVERIFY2(clock.elapsed() < 10000, "the request waited for the time limit instead of failing at once");
    QCOMPARE(raw.size(), arrives ? 1024 * 1024 : 0);
    QCOMPARE(transport->lastOutcome(), arrives ? RequestOutcome::Answered : RequestOutcome::Failed);
    QCOMPARE(service.lastOutcome(), transport->lastOutcome());
    // Nothing past the limit is read on: the server could write little more
    // than the limit and what the socket buffers hold.
    QVERIFY(server.endlessBytes() < 32 * 1024 * 1024);
}

void TransportTest::certificate_unverifiedSendsNothing_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("trusted"); // the test certificate made a trusted one
    QTest::addColumn<RequestOutcome>("outcome");
    QTest::newRow("self-signed, trusted by nobody")
        << u"127.0.0.1"_s << false << RequestOutcome::CertificateRejected;
    QTest::newRow("trusted, but for another name")
        << u"localhost"_s << true << RequestOutcome::CertificateRejected;
    QTest::newRow("trusted, for this name") << u"127.0.0.1"_s << true << RequestOutcome::Answered;
}

void TransportTest::certificate_unverifiedSendsNothing()
{
    QFETCH(QString, host);
    QFETCH(bool, trusted);
    QFETCH(RequestOutcome, outcome);

    const QSslConfiguration original = QSslConfiguration::defaultConfiguration();
    const auto restore = qScopeGuard([&original] { QSslConfiguration::setDefaultConfiguration(original); });
    if (trusted) {
        QSslConfiguration trusting = original;
        trusting.addCaCertificate(LoopbackServer::testCertificate());
        QSslConfiguration::setDefaultConfiguration(trusting);
    }
    LoopbackServer server;
    QVERIFY(server.listenTls());
    server.setReply(LoopbackServer::envelope("000049"));
    QUrl endpoint = server.endpoint();
    QCOMPARE(endpoint.scheme(), u"https"_s);
    endpoint.setHost(host);
    auto transport = std::make_shared<HttpTransport>(endpoint, 5000);
    const Service service(transport);

    const QString payload = service.PostCommand(QByteArrayLiteral("Rehber=13"));
    QCOMPARE(service.lastOutcome(), outcome);
    const bool answered = outcome == RequestOutcome::Answered;
    QCOMPARE(payload, answered ? u"1"_s : QString());
    // Not a byte of the request (which may hold a password) goes out over an
    // unverified connection.
    QCOMPARE(server.requests().size(), answered ? 1 : 0);
}

QTEST_GUILESS_MAIN(TransportTest)
#include "tst_transport.moc"
