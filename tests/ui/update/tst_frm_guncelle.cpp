// The update window: the download over loopback from the development service
// (and a raw server), the checks a package must pass, and where it ends up.
#include "loopbackserver.h"
#include "signingkey.h"
#include "../main/mainwindowfixture.h"
#include "testsupport.h"

#include "service/packagedownload.h"
#include "model/version.h"
#include "ui/update/frm_guncelle.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace velmor::test {

namespace {

const QString kDownloadFailed = u"Dosya İndirilemedi."_s;

QByteArray packageBytes()
{
    QByteArray data(2048, Qt::Uninitialized);
    QRandomGenerator generator(11);
    for (char &c : data)
        c = char(generator.bounded(256));
    return data;
}

QLabel *statusLine(QWidget *window)
{
    return window ? window->findChild<QLabel *>(u"Label3"_s) : nullptr;
}

// Options for a window made without a main window: no waits, the package
// stored in folder, its start recorded in started.
UpdateOptions directOptions(quint16 sitePort, const QTemporaryDir &folder, bool *started)
{
    UpdateOptions options(QUrl(u"http://127.0.0.1:%1/download/"_s.arg(sitePort)), 3000);
    options.folder = folder.path();
    options.connectWaitMs = 0;
    options.startWaitMs = 0;
    options.start = [started](const QString &) { return *started = true; };
    return options;
}

QStringList folderEntries(const QTemporaryDir &folder)
{
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Records every message box with the update window's status line as it was
// when the box came up, and answers Yes (the update offer).
struct Messages
{
    explicit Messages(const std::function<QWidget *()> &window)
    {
        MessageBox::setHandler([this, window](const MessageBox::Request &request) {
            texts << request.text;
            QLabel *status = statusLine(window());
            statuses << (status ? status->text() : QString());
            return true;
        });
    }
    ~Messages() { MessageBox::setHandler({}); }
    QStringList texts;
    QStringList statuses;
};

} // namespace

class TestFrmGuncelle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();

    void packageAddress_data();
    void packageAddress();
    void wholePackageReply_data();
    void wholePackageReply();
    void downloadPercent_roundsHalfToEven();

    void twoChunks_replaceOldFileStartPackageAndEnd();
    void request_namesThePackageAsAPathWithRangeFromZero();
    void failedDownload_startsNothingLeavesNothingOffersLogin_data();
    void failedDownload_startsNothingLeavesNothingOffersLogin();
    void versionReplyWithoutUsablePackage_downloadsNothing_data();
    void versionReplyWithoutUsablePackage_downloadsNothing();
    void packageThatCannotStart_keepsClientRunning();
    void closingMidDownload_discardsAndStartsNothing_data();
    void closingMidDownload_discardsAndStartsNothing();
    void demoUpdate_packageRunsByItself();

private:
    // A service offering 100013 with "pkg.bin" (2048 bytes) in its download folder.
    std::unique_ptr<MainWindowFixture> serviceWithPackage(const std::function<void(UpdateOptions &)> &adjust = {});

    QTemporaryDir m_downloads;
};

void TestFrmGuncelle::init()
{
    QFile file(m_downloads.filePath(u"pkg.bin"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(packageBytes());
}

std::unique_ptr<MainWindowFixture>
TestFrmGuncelle::serviceWithPackage(const std::function<void(UpdateOptions &)> &adjust)
{
    dev::Options options;
    options.downloadDir = m_downloads.path();
    options.latestVersion = u"100013"_s;
    options.packageName = u"pkg.bin"_s;
    return std::make_unique<MainWindowFixture>(options, [&adjust](UpdateOptions &update) {
        update.connectWaitMs = 0;
        update.startWaitMs = 0;
        if (adjust)
            adjust(update);
    });
}

void TestFrmGuncelle::packageAddress_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::newRow("file name") << u"pkg.exe"_s << u"http://h:8/download/pkg.exe"_s;
    QTest::newRow("name with blanks and marks")
        << u"klasör paket 1?.exe"_s << u"http://h:8/download/klas%C3%B6r%20paket%201%3F.exe"_s;
    QTest::newRow("looks like a scheme") << u"http:evil.example"_s << u"http://h:8/download/http:evil.example"_s;
    // Nothing but a file in the download folder: no path, no climbing out.
    QTest::newRow("path below the folder") << u"alt klasör/paket.exe"_s << QString();
    QTest::newRow("looks like another site") << u"http://evil.example/x"_s << QString();
    QTest::newRow("host-relative form") << u"//evil.example/x"_s << QString();
    QTest::newRow("climbing out of the folder") << u"../../../../etc/passwd"_s << QString();
    QTest::newRow("climbing out with backslashes") << u"..\\..\\paket.exe"_s << QString();
    QTest::newRow("backslash") << u"alt\\paket.exe"_s << QString();
    QTest::newRow("two dots") << u"paket..exe"_s << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("header smuggled by a line break") << u"pkg.exe\r\nX-Extra: 1"_s << QString();
}

void TestFrmGuncelle::packageAddress()
{
    QFETCH(QString, name);
    QFETCH(QString, address);
    const QUrl url = PackageAddress(QUrl(u"http://h:8/download/"_s), name);
    QCOMPARE(url.toString(QUrl::FullyEncoded), address);
}

void TestFrmGuncelle::wholePackageReply_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<QByteArray>("range");
    QTest::addColumn<bool>("whole");
    QTest::newRow("200") << 200 << qint64(2048) << QByteArray() << true;
    QTest::newRow("206 whole file") << 206 << qint64(2048) << QByteArray("bytes 0-2047/2048") << true;
    QTest::newRow("206 size unknown") << 206 << qint64(2048) << QByteArray("bytes 0-2047/*") << true;
    QTest::newRow("206 from a later byte") << 206 << qint64(2047) << QByteArray("bytes 1-2047/2048") << false;
    QTest::newRow("206 first part only") << 206 << qint64(1024) << QByteArray("bytes 0-1023/2048") << false;
    QTest::newRow("206 without Content-Range") << 206 << qint64(2048) << QByteArray() << false;
    QTest::newRow("no Content-Length") << 200 << qint64(-1) << QByteArray() << false;
    QTest::newRow("zero Content-Length") << 200 << qint64(0) << QByteArray() << false;
}

void TestFrmGuncelle::wholePackageReply()
{
    QFETCH(int, status);
    QFETCH(qint64, length);
    QFETCH(QByteArray, range);
    QFETCH(bool, whole);
    QCOMPARE(IsWholePackageReply(status, length, range), whole);
}

void TestFrmGuncelle::downloadPercent_roundsHalfToEven()
{
    QCOMPARE(DownloadPercent(1, 8), 12);  // 12.5
    QCOMPARE(DownloadPercent(3, 8), 38);  // 37.5
    QCOMPARE(DownloadPercent(1, 3), 33);
    QCOMPARE(DownloadPercent(2, 3), 67);
    QCOMPARE(DownloadPercent(5, 0), 0);
}

void TestFrmGuncelle::twoChunks_replaceOldFileStartPackageAndEnd()
{
    auto f = serviceWithPackage();
    f->server.setDownloadPacing(1024, 100);
    const QString target = f->updateFolder.filePath(u"SMSGuncelleme"_s);
    {
        // A larger file from an earlier attempt.
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    Messages messages([&f] { return f->window->updateWindow(); });
    f->window->startUp();
    const QPointer<Frm_Guncelle> window = f->window->updateWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), u"Velmor SMS Güncelleme"_s);
    QCOMPARE(window->size(), QSize(616, 304));
    QVERIFY(!window->isEnabled());
    QCOMPARE(statusLine(window)->text(), u"Bağlanılıyor"_s);

    auto *bar = window->findChild<QProgressBar *>(u"pb_1"_s);
    QList<int> values;
    QStringList statuses;
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
        values << value;
        statuses << statusLine(window)->text();
    });
    QString statusAtStart;
    f->onStart = [&] { statusAtStart = statusLine(window)->text() + u' ' + QString::number(bar->value()); };

    QTRY_VERIFY(f->window->hasEnded());
    QCOMPARE(values, (QList<int>{50, 100}));
    QCOMPARE(statuses.constFirst(), u"1.0.0013 No'lu Güncelleme Paketi İndiriliyor"_s);
    QCOMPARE(statusAtStart, u"Tamamlandı 100"_s);
    QCOMPARE(f->startedPrograms, QStringList{target});
    QCOMPARE(f->window->session().runState(), u"Guncellendi"_s);
    QTRY_VERIFY(!window);
    QCOMPARE(messages.texts.size(), 1); // the offer only

    QFile stored(target);
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), packageBytes());
    QVERIFY(stored.permissions() & QFileDevice::ExeOwner);
    QCOMPARE(folderEntries(f->updateFolder), QStringList{u"SMSGuncelleme"_s});
}

void TestFrmGuncelle::request_namesThePackageAsAPathWithRangeFromZero()
{
    // The version from the development service, the package from a raw
    // server answering the range request with 206.
    dev::DevServer service(dev::Options{});
    QVERIFY(service.start(0));
    service.setLatestVersion(u"100013"_s, u"klasör paket 1.exe"_s);
    const Service client(std::make_shared<HttpTransport>(service.endpoint(), 3000));
    LoopbackServer site;
    QVERIFY(site.listen());
    site.setRawResponse("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-9/10\r\nContent-Length: 10\r\n"
                        "Connection: close\r\n\r\n0123456789");

    QTemporaryDir folder;
    bool started = false;
    Session session;
    MessageRecorder recorder;
    QPointer<Frm_Guncelle> window = new Frm_Guncelle(client, session, directOptions(site.port(), folder, &started));
    window->start();
    QTRY_COMPARE(session.runState(), u"Guncellendi"_s);
    QVERIFY(started);
    delete window;

    QCOMPARE(site.requests().size(), 1);
    const LoopbackServer::Request &request = site.requests().constFirst();
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(request.path, QByteArray("/download/klas%C3%B6r%20paket%201.exe"));
    QCOMPARE(request.header("Range"), QByteArray("bytes=0-"));
    QFile stored(folder.filePath(u"SMSGuncelleme"_s));
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), QByteArray("0123456789"));
    QVERIFY(recorder.texts().isEmpty());
}

void TestFrmGuncelle::failedDownload_startsNothingLeavesNothingOffersLogin_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("pauseMs");
    QTest::newRow("404 with a body") << u"yok.bin"_s << QString() << 0;
    QTest::newRow("connection cut after 1024 of 2048 bytes") << u"pkg.bin"_s << u"truncate"_s << 0;
    QTest::newRow("no Content-Length") << u"pkg.bin"_s << u"no-length"_s << 0;
    QTest::newRow("silent past the time limit") << u"pkg.bin"_s << QString() << 2000;
}

void TestFrmGuncelle::failedDownload_startsNothingLeavesNothingOffersLogin()
{
    QFETCH(QString, package);
    QFETCH(QString, fault);
    QFETCH(int, pauseMs);
    auto f = serviceWithPackage([](UpdateOptions &update) { update.timeoutMs = 400; });
    f->server.setLatestVersion(u"100013"_s, package);
    f->server.setFault(fault, {dev::kDownloadFault});
    if (pauseMs > 0)
        f->server.setDownloadPacing(1024, pauseMs);
    Messages messages([&f] { return f->window->updateWindow(); });

    f->window->startUp();
    const QPointer<Frm_Guncelle> window = f->window->updateWindow();
    QTRY_VERIFY(!window);
    QCOMPARE(messages.texts, (QStringList{u"SMS Programınızın Güncel Sürümü Bulundu.. İndirip Kurmanız Önerilir.. "
                                          u"Şimdi İndirmek İstiyormusunuz.?"_s,
                                          kDownloadFailed}));
    QCOMPARE(messages.statuses.constLast(), u"Tamamlanamadı"_s);
    QVERIFY(f->startedPrograms.isEmpty());
    QVERIFY(folderEntries(f->updateFolder).isEmpty());
    QVERIFY(!f->window->hasEnded());
    QVERIFY(f->window->loginWindow() && f->window->loginWindow()->isVisible());
}

void TestFrmGuncelle::versionReplyWithoutUsablePackage_downloadsNothing_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("message");
    QTest::newRow("version alone") << u"200001"_s
                                   << u"İnternet Bağlantısı Sağlanamadı.. Kontrol Edip Tekrar Deneyiniz.."_s;
    QTest::newRow("empty package name") << u"200001|"_s << kDownloadFailed;
    QTest::newRow("package name with a line break") << u"200001|pkg.exe\r\nX-Extra: 1"_s << kDownloadFailed;
}

void TestFrmGuncelle::versionReplyWithoutUsablePackage_downloadsNothing()
{
    QFETCH(QString, reply);
    QFETCH(QString, message);
    // One raw server is both the service and the download site: any
    // request besides the version query would show.
    LoopbackServer server;
    QVERIFY(server.listen());
    server.setReply(LoopbackServer::reply(reply));
    const Service client(std::make_shared<HttpTransport>(server.endpoint(), 3000));
    QTemporaryDir folder;
    bool started = false;
    Session session;
    MessageRecorder recorder;
    QPointer<Frm_Guncelle> window = new Frm_Guncelle(client, session, directOptions(server.port(), folder, &started));
    QSignalSpy closed(window.data(), &Frm_Guncelle::closedWithoutUpdate);
    window->start();
    QTRY_VERIFY(!window);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(recorder.texts(), QStringList{message});
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(server.requests().constFirst().method, QByteArray("POST"));
    QVERIFY(!started);
    QVERIFY(session.runState().isEmpty());
    QVERIFY(folderEntries(folder).isEmpty());
}

void TestFrmGuncelle::packageThatCannotStart_keepsClientRunning()
{
    auto f = serviceWithPackage();
    f->startSucceeds = false;
    MessageRecorder recorder;
    f->window->startUp();
    const QPointer<Frm_Guncelle> window = f->window->updateWindow();
    QTRY_VERIFY(!window);
    QCOMPARE(f->startedPrograms.size(), 1);
    QCOMPARE(recorder.lastText(), u"Güncelleme Paketi Başlatılamadı."_s);
    QVERIFY(f->window->session().runState().isEmpty());
    QVERIFY(!f->window->hasEnded());
    QVERIFY(f->window->loginWindow() && f->window->loginWindow()->isVisible());
}

void TestFrmGuncelle::closingMidDownload_discardsAndStartsNothing_data()
{
    QTest::addColumn<bool>("closeFrame");
    QTest::newRow("main window closed") << true;
    QTest::newRow("update window closed") << false;
}

void TestFrmGuncelle::closingMidDownload_discardsAndStartsNothing()
{
    QFETCH(bool, closeFrame);
    auto f = serviceWithPackage();
    f->server.setDownloadPacing(1024, 1000);
    MessageRecorder recorder;
    f->window->startUp();
    const QPointer<Frm_Guncelle> window = f->window->updateWindow();
    QTRY_COMPARE(window->findChild<QProgressBar *>(u"pb_1"_s)->value(), 50);

    if (closeFrame)
        QVERIFY(f->window->close());
    else
        QVERIFY(window->close());
    QTRY_VERIFY(!window);
    QCOMPARE(f->window->hasEnded(), closeFrame);
    // Past the moment the rest of the package would have come.
    QTest::qWait(1300);
    QVERIFY(f->startedPrograms.isEmpty());
    QVERIFY(folderEntries(f->updateFolder).isEmpty());
    QCOMPARE(recorder.texts().size(), 1); // the offer only
    // Closed by the user alone, the update gives way to the login.
    LoginWindow *login = f->window->loginWindow();
    QCOMPARE(login != nullptr && login->isVisible(), !closeFrame);
}

void TestFrmGuncelle::demoUpdate_packageRunsByItself()
{
    // The demonstration package writes its line below XDG_DATA_HOME.
    QTemporaryDir data;
    const QByteArray oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    const auto restore = qScopeGuard([&oldDataHome] {
        if (oldDataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", oldDataHome);
    });
    // Signed as scripts/demo --update signs it: with a key pair of its own,
    // the signature served from a download folder beside the package.
    const SigningKey key;
    QTemporaryDir signatures;
    dev::Options options;
    options.demoUpdate = true;
    options.downloadDir = signatures.path();
    MainWindowFixture f(options, [&key](UpdateOptions &update) {
        update.connectWaitMs = 0;
        update.startWaitMs = 0;
        update.start = StartDetachedProgram;
        update.publisherKey = key.publicKey();
    });
    QFile signatureFile(signatures.filePath(QLatin1StringView(dev::kDemoPackageName) + u".sig"_s));
    QVERIFY(signatureFile.open(QIODevice::WriteOnly));
    signatureFile.write(key.sign(f.server.demoPackage()));
    signatureFile.close();
    MessageRecorder recorder;
    f.window->startUp();
    QCOMPARE(recorder.texts().size(), 1); // the offer
    QTRY_VERIFY_WITH_TIMEOUT(f.window->hasEnded(), 15000);

    QFile log(data.filePath(u"velmor-devserver/guncelleme-demo.log"_s));
    QTRY_VERIFY_WITH_TIMEOUT(log.exists() && log.size() > 0, 10000);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString line = QString::fromUtf8(log.readAll());
    const QString expected = u"paketi %1 çalıştı: %2"_s.arg(OwnVersionNumber() + 1).arg(
        f.updateFolder.filePath(u"SMSGuncelleme"_s));
    QVERIFY2(line.contains(expected), qPrintable(line));
}

} // namespace velmor::test

QTEST_MAIN(velmor::test::TestFrmGuncelle)
#include "tst_frm_guncelle.moc"
