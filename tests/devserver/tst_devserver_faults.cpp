// The development service's fault switches and downloads, over loopback.
#include "devserverfixture.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace velmor;
using velmor::test::LiveService;
using velmor::test::rawExchange;
using velmor::test::rawPost;

namespace {

const QString demo = dev::kDemoCustomerNo;

QByteArray headerOf(const QByteArray &raw, const QByteArray &name)
{
    const QByteArray head = raw.left(raw.indexOf("\r\n\r\n"));
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

QByteArray bodyOf(const QByteArray &raw)
{
    const qsizetype end = raw.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : raw.mid(end + 4);
}

QByteArray get(quint16 port, const QByteArray &path, const QByteArray &extraHeaders = {})
{
    return rawExchange(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders + "\r\n");
}

} // namespace

class TestDevServerFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void faultMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("clientPayload");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("markers");
        QTest::addColumn<bool>("fullBody");
        QTest::newRow("garbage") << u"garbage"_s << QString() << false << 0 << true;
        QTest::newRow("truncate") << u"truncate"_s << QString() << true << -1 << false;
        QTest::newRow("close") << u"close"_s << QString() << true << 0 << false;
        QTest::newRow("one-marker") << u"one-marker"_s << QString() << false << 1 << true;
        QTest::newRow("no-length") << u"no-length"_s << u"<SMSKontor>1000<SMSKontor>"_s << true << 2 << true;
        QTest::newRow("none") << QString() << u"<SMSKontor>1000<SMSKontor>"_s << false << 2 << true;
    }

    void faultMode()
    {
        QFETCH(QString, mode);
        QFETCH(QString, clientPayload);
        QFETCH(bool, closed);
        QFETCH(int, markers);
        QFETCH(bool, fullBody);
        LiveService live;
        live.server->setFault(mode);
        QCOMPARE(FetchCreditBalancePayload(*live.service, demo), clientPayload);

        bool closedByPeer = false;
        const QByteArray raw = rawPost(live.server->port(), "Rehber=2&Cari_No=1001", &closedByPeer);
        QCOMPARE(closedByPeer, closed);
        if (markers >= 0)
            QCOMPARE(int(raw.toLower().count("<rehber>")), markers);
        const QByteArray length = headerOf(raw, "Content-Length");
        if (mode == u"close") {
            QVERIFY(raw.isEmpty());
        } else if (mode == u"no-length") {
            QVERIFY(length.isEmpty());
        } else {
            QCOMPARE(bodyOf(raw).size() == length.toLongLong(), fullBody);
            QVERIFY(!bodyOf(raw).isEmpty());
        }
    }

    void faultedSend_changesBalanceOnlyWhenCarriedOut_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("balance");
        // A dropped connection means the request was never carried out; a
        // reply broken half-way was.
        QTest::newRow("close") << u"close"_s << u"1000"_s;
        QTest::newRow("truncate") << u"truncate"_s << u"999"_s;
        QTest::newRow("garbage") << u"garbage"_s << u"999"_s;
    }

    void faultedSend_changesBalanceOnlyWhenCarriedOut()
    {
        QFETCH(QString, mode);
        QFETCH(QString, balance);
        LiveService live;
        live.server->setFault(mode, {3});
        QCOMPARE(SendSmsCommand(*live.service, demo, u"ORNEKCICEK"_s, u"1"_s, u"x"_s, u"05321112233"_s, u"1"_s,
                                u"20240101"_s, u"120000"_s),
                 QString());
        QCOMPARE(live.server->balance(demo), balance);
        // Whatever became of it, the send reached the service once: never again
        // on a dropped connection.
        QCOMPARE(live.server->receivedBodies().size(), 1);
    }

    void faultCommands_limitTheFault()
    {
        LiveService live;
        live.server->setFault(u"close"_s, {1, 3});
        QVERIFY(FetchAccountData(*live.service, demo).isEmpty());
        QCOMPARE(FetchCreditBalancePayload(*live.service, demo), u"<SMSKontor>1000<SMSKontor>"_s);
        QCOMPARE(FetchServerTime(*live.service).size(), 14);
        live.server->setFault(QString());
        QVERIFY(!FetchAccountData(*live.service, demo).isEmpty());
    }

    void delay_beyondClientTimeout_givesEmptyReply()
    {
        LiveService live({}, 200);
        live.server->setDelayMs(1500);
        QCOMPARE(FetchServerTime(*live.service), QString());
        live.transport->setTimeoutMs(10000);
        live.server->setDelayMs(20);
        QCOMPARE(FetchServerTime(*live.service).size(), 14);
    }

    void download_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("range");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentRange");
        const QByteArray package = "MZ-paket-0123456789";
        QTest::newRow("whole file") << QByteArray("/download/pkg.exe") << QByteArray() << 200 << package
                                    << QByteArray();
        QTest::newRow("range from byte 0") << QByteArray("/download/pkg.exe") << QByteArray("bytes=0-") << 206
                                           << package << QByteArray("bytes 0-18/19");
        QTest::newRow("range from byte 3") << QByteArray("/download/pkg.exe") << QByteArray("bytes=3-") << 206
                                           << package.mid(3) << QByteArray("bytes 3-18/19");
        QTest::newRow("range past the end") << QByteArray("/download/pkg.exe") << QByteArray("bytes=50-") << 416
                                            << QByteArray() << QByteArray("bytes */19");
        QTest::newRow("file in a sub-folder") << QByteArray("/download/alt/yeni.exe") << QByteArray() << 200
                                              << QByteArray("alt") << QByteArray();
        QTest::newRow("missing file") << QByteArray("/download/yok.exe") << QByteArray() << 404 << QByteArray()
                                      << QByteArray();
        QTest::newRow("outside the folder") << QByteArray("/download/%2e%2e/secret.txt") << QByteArray() << 404
                                            << QByteArray() << QByteArray();
    }

    void download()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, range);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentRange);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath(u"files/alt"_s));
        const auto write = [&](const QString &name, const QByteArray &data) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(data);
        };
        write(u"files/pkg.exe"_s, "MZ-paket-0123456789");
        write(u"files/alt/yeni.exe"_s, "alt");
        write(u"secret.txt"_s, "gizli");

        dev::Options options;
        options.downloadDir = dir.filePath(u"files"_s);
        LiveService live(options);
        QCOMPARE(live.server->downloadBase().toString(),
                 u"http://127.0.0.1:%1/download/"_s.arg(live.server->port()));
        const QByteArray raw =
            get(live.server->port(), path, range.isEmpty() ? QByteArray() : "Range: " + range + "\r\n");
        QVERIFY2(raw.startsWith("HTTP/1.1 " + QByteArray::number(status)), raw.left(40).constData());
        QCOMPARE(headerOf(raw, "Content-Range"), contentRange);
        if (status < 300) {
            QCOMPARE(bodyOf(raw), body);
            QCOMPARE(headerOf(raw, "Content-Length"), QByteArray::number(body.size()));
        }
        QVERIFY(!raw.contains("gizli"));
    }

    void downloadFault_leavesCommandsAlone()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath(u"pkg.exe"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        dev::Options options;
        options.downloadDir = dir.path();
        LiveService live(options);

        live.server->setFault(u"truncate"_s, {dev::kDownloadFault});
        QCOMPARE(FetchLatestVersion(*live.service), u"100012|VelmorSMSKurulum.exe"_s);
        bool closed = false;
        const QByteArray truncated = rawExchange(live.server->port(),
                                                 "GET /download/pkg.exe HTTP/1.1\r\nHost: x\r\n\r\n", &closed);
        QVERIFY(closed);
        QCOMPARE(headerOf(truncated, "Content-Length"), QByteArray("4096"));
        QCOMPARE(bodyOf(truncated).size(), 2048);

        live.server->setFault(u"no-length"_s, {dev::kDownloadFault});
        const QByteArray unsized = rawExchange(live.server->port(),
                                               "GET /download/pkg.exe HTTP/1.1\r\nHost: x\r\n\r\n", &closed);
        QVERIFY(closed);
        QVERIFY(headerOf(unsized, "Content-Length").isEmpty());
        QCOMPARE(bodyOf(unsized), QByteArray(4096, 'x'));
    }
};

QTEST_GUILESS_MAIN(TestDevServerFaults)
#include "tst_devserver_faults.moc"
