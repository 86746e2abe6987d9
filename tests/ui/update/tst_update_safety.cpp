// The update as an attacker or a broken site would try it: where the package
// may be written, what may be followed, how much is taken, and what may start.
#include "devserver.h"
#include "loopbackserver.h"
#include "signingkey.h"
#include "testsupport.h"

#include "model/session.h"
#include "service/packagesignature.h"
#include "service/service.h"
#include "service/updatefolder.h"
#include "ui/update/frm_guncelle.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace velmor::test {

namespace {

const QString kDownloadFailed = u"Dosya İndirilemedi."_s;
const QString kSignatureRejected = u"Güncelleme Paketinin İmzası Doğrulanamadı. Paket Başlatılmadı."_s;
const QByteArray kPackage = QByteArray(2048, 'p');

QByteArray fileResponse(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n"
        + body;
}

const QByteArray kNotFound = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";

// A download site on loopback that has nothing but what a test puts there.
struct Site
{
    explicit Site(bool tls = false)
    {
        listening = tls ? server.listenTls() : server.listen();
        server.setRawResponse(kNotFound);
    }
    QUrl base() const { return QUrl(u"%1://127.0.0.1:%2/download/"_s.arg(server.endpoint().scheme()).arg(server.port())); }
    void put(const QByteArray &path, const QByteArray &response) { server.setRawResponseFor(path, response); }

    LoopbackServer server;
    bool listening = false;
};

struct UpdateRun
{
    QStringList messages;
    QStringList started; // the programs started
    QStringList entries; // what the folder holds afterwards, links included
};

// One run of the update window: the development service offers version
// 100013 with the package "pkg.bin", which comes from base.
UpdateRun runUpdate(const QUrl &base, const QString &folder, const std::function<void(UpdateOptions &)> &adjust = {})
{
    UpdateRun run;
    dev::DevServer service(dev::Options{});
    if (!service.start(0))
        return run;
    service.setLatestVersion(u"100013"_s, u"pkg.bin"_s);
    const Service client(std::make_shared<HttpTransport>(service.endpoint(), 3000));
    UpdateOptions options(base, 30000);
    options.folder = folder;
    options.connectWaitMs = 0;
    options.startWaitMs = 0;
    options.start = [&run](const QString &program) {
        run.started << program;
        return true;
    };
    if (adjust)
        adjust(options);

    Session session;
    MessageRecorder recorder;
    QPointer<Frm_Guncelle> window = new Frm_Guncelle(client, session, options);
    window->start();
    const bool ended = QTest::qWaitFor([&] { return !window || !session.runState().isEmpty(); }, 20000);
    delete window;
    run.messages = recorder.texts();
    // Every test compares the messages: one that hangs fails there.
    if (!ended)
        run.messages << u"(the update did not end)"_s;
    const QString shown = folder.isEmpty() ? UpdateFolder() : folder;
    run.entries = QDir(shown).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return run;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestUpdateSafety : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void folder_onlyAPrivateOneIsUsed_data();
    void folder_onlyAPrivateOneIsUsed();
    void linkNamedLikeThePackage_isReplacedNeverFollowed();
    void onlyTheUsersOwnUnsharedFileStarts();
    void redirect_followedOnlyWithinTheSite_data();
    void redirect_followedOnlyWithinTheSite();
    void packageOverTheLimit_startsNothing_data();
    void packageOverTheLimit_startsNothing();
    void signature_onlyAValidOneStarts_data();
    void signature_onlyAValidOneStarts();
    void unsafeSite_refusedWithItsReason_data();
    void unsafeSite_refusedWithItsReason();

private:
    SigningKey m_key;
};

void TestUpdateSafety::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestUpdateSafety::folder_onlyAPrivateOneIsUsed_data()
{
    QTest::addColumn<int>("mode"); // of the folder given; 0: none given, -1: a link to a private folder
    QTest::addColumn<bool>("used");
    QTest::newRow("none given: the private data folder") << 0 << true;
    QTest::newRow("private") << 0700 << true;
    QTest::newRow("world-writable like /tmp, as a program folder may be") << 01777 << false;
    QTest::newRow("group-writable") << 0770 << false;
    QTest::newRow("a link to a private folder") << -1 << false;
}

void TestUpdateSafety::folder_onlyAPrivateOneIsUsed()
{
    QFETCH(int, mode);
    QFETCH(bool, used);
    Site site;
    QVERIFY(site.listening);
    site.put("/download/pkg.bin", fileResponse(kPackage));
    QTemporaryDir temporary;
    QString folder = temporary.filePath(u"guncelleme"_s);
    QVERIFY(QDir().mkdir(folder));
    if (mode > 0) {
        QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions()));
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), mode_t(mode)), 0);
    } else if (mode < 0) {
        QVERIFY(QFile::link(folder, temporary.filePath(u"baglanti"_s)));
        folder = temporary.filePath(u"baglanti"_s);
    } else {
        folder.clear();
        QDir(UpdateFolder()).removeRecursively();
    }

    const UpdateRun run = runUpdate(site.base(), folder);
    const QString package = (folder.isEmpty() ? UpdateFolder() : folder) + u"/SMSGuncelleme"_s;
    QCOMPARE(run.started, used ? QStringList{package} : QStringList());
    QCOMPARE(run.entries, used ? QStringList{u"SMSGuncelleme"_s} : QStringList());
    if (!used) {
        QCOMPARE(run.messages.size(), 1);
        QVERIFY2(run.messages.constFirst().startsWith(u"Güncelleme Klasörü Güvenli Değil: "_s + folder),
                 qPrintable(run.messages.constFirst()));
    } else if (folder.isEmpty()) {
        // Below the user's data folder, made private; never beside the program.
        QVERIFY(UpdateFolder().startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u'/'));
        QCOMPARE(QFileInfo(UpdateFolder()).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!QFile::exists(QCoreApplication::applicationDirPath() + u"/SMSGuncelleme"_s));
    }
}

void TestUpdateSafety::linkNamedLikeThePackage_isReplacedNeverFollowed()
{
    // Someone's file, and a link to it where the package goes.
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(u"kurban"_s);
    {
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("dokunulmamali");
    }
    QTemporaryDir folder;
    QVERIFY(QFile::link(victim, folder.filePath(u"SMSGuncelleme"_s)));
    Site site;
    QVERIFY(site.listening);
    site.put("/download/pkg.bin", fileResponse(kPackage));

    const UpdateRun run = runUpdate(site.base(), folder.path());
    QCOMPARE(readFile(victim), QByteArray("dokunulmamali"));
    const QString package = folder.filePath(u"SMSGuncelleme"_s);
    QVERIFY(!QFileInfo(package).isSymLink());
    QCOMPARE(readFile(package), kPackage);
    QCOMPARE(run.started, QStringList{package});
    QCOMPARE(run.entries, QStringList{u"SMSGuncelleme"_s});
}

void TestUpdateSafety::onlyTheUsersOwnUnsharedFileStarts()
{
    QTemporaryDir folder;
    const QString own = folder.filePath(u"kendi"_s);
    QFile file(own);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(IsOwnPrivateFile(own));
    QVERIFY(QFile::link(own, folder.filePath(u"baglanti"_s)));
    QVERIFY(!IsOwnPrivateFile(folder.filePath(u"baglanti"_s)));
    QVERIFY(!IsOwnPrivateFile(folder.path()));
    QVERIFY(file.setPermissions(file.permissions() | QFileDevice::WriteGroup));
    QVERIFY(!IsOwnPrivateFile(own));
    if (::geteuid() != 0)
        QSKIP("only root can give a file to another user");
    QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    QVERIFY(IsOwnPrivateFile(own));
    QCOMPARE(::chown(QFile::encodeName(own).constData(), 65534, 65534), 0);
    QVERIFY(!IsOwnPrivateFile(own));
}

void TestUpdateSafety::redirect_followedOnlyWithinTheSite_data()
{
    QTest::addColumn<QString>("target"); // the ports of the site and of another server in braces
    QTest::addColumn<bool>("followed");
    QTest::newRow("same site, other folder") << u"http://127.0.0.1:{site}/download/v2/pkg.bin"_s << true;
    QTest::newRow("other host name, same port") << u"http://localhost:{site}/download/v2/pkg.bin"_s << false;
    QTest::newRow("same host, other port") << u"http://127.0.0.1:{other}/download/v2/pkg.bin"_s << false;
}

void TestUpdateSafety::redirect_followedOnlyWithinTheSite()
{
    QFETCH(QString, target);
    QFETCH(bool, followed);
    Site site;
    Site other;
    QVERIFY(site.listening && other.listening);
    const QByteArray location = QString(target)
                                    .replace(u"{site}"_s, QString::number(site.server.port()))
                                    .replace(u"{other}"_s, QString::number(other.server.port()))
                                    .toLatin1();
    site.put("/download/pkg.bin",
             "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    site.put("/download/v2/pkg.bin", fileResponse(kPackage));
    other.put("/download/v2/pkg.bin", fileResponse(kPackage));
    QTemporaryDir folder;

    const UpdateRun run = runUpdate(site.base(), folder.path());
    QCOMPARE(run.started.size(), followed ? 1 : 0);
    QCOMPARE(run.messages, followed ? QStringList() : QStringList{kDownloadFailed});
    QCOMPARE(run.entries.size(), followed ? 1 : 0);
    // Not even asked: the other site never sees a request.
    QCOMPARE(site.server.requests().size(), followed ? 2 : 1);
    QVERIFY(other.server.requests().isEmpty());
}

void TestUpdateSafety::packageOverTheLimit_startsNothing_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<qint64>("limit"); // 0: the program's own
    QTest::newRow("4,000,000,000 bytes announced")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 4000000000\r\n\r\n" + QByteArray(64 * 1024, 'x'))
        << qint64(0);
    QTest::newRow("2048 bytes over a limit of 1024") << fileResponse(kPackage) << qint64(1024);
}

void TestUpdateSafety::packageOverTheLimit_startsNothing()
{
    QFETCH(QByteArray, response);
    QFETCH(qint64, limit);
    Site site;
    QVERIFY(site.listening);
    // The connection stays open: only the limit can end the transfer early.
    site.server.setBehaviour(LoopbackServer::Behaviour::ReplyStayOpen);
    site.put("/download/pkg.bin", response);
    QTemporaryDir folder;

    QElapsedTimer clock;
    clock.start();
    const UpdateRun run = runUpdate(site.base(), folder.path(), [limit](UpdateOptions &options) {
        if (limit > 0)
            options.maxPackageBytes = limit;
    });
    QVERIFY2(clock.elapsed() < 10000, "the transfer ran on instead of stopping at the limit");
    QVERIFY(run.started.isEmpty());
    QCOMPARE(run.messages, QStringList{kDownloadFailed});
    QVERIFY(run.entries.isEmpty());
}

void TestUpdateSafety::signature_onlyAValidOneStarts_data()
{
    QTest::addColumn<QByteArray>("signature"); // served as pkg.bin.sig; empty: none there
    QTest::addColumn<bool>("starts");
    QByteArray altered = kPackage;
    altered[100] = 'q';
    QTest::newRow("signed by the publisher") << m_key.sign(kPackage) << true;
    QTest::newRow("no signature on the site") << QByteArray() << false;
    QTest::newRow("signed by another key") << SigningKey().sign(kPackage) << false;
    QTest::newRow("signature of other bytes") << m_key.sign(altered) << false;
    QTest::newRow("signature with a byte too many") << m_key.sign(kPackage) + '\n' << false;
}

void TestUpdateSafety::signature_onlyAValidOneStarts()
{
    QFETCH(QByteArray, signature);
    QFETCH(bool, starts);
    Site site;
    QVERIFY(site.listening);
    site.put("/download/pkg.bin", fileResponse(kPackage));
    if (!signature.isEmpty())
        site.put("/download/pkg.bin.sig", fileResponse(signature));
    QTemporaryDir folder;

    const UpdateRun run = runUpdate(site.base(), folder.path(),
                                    [this](UpdateOptions &options) { options.publisherKey = m_key.publicKey(); });
    QCOMPARE(run.started.size(), starts ? 1 : 0);
    QCOMPARE(run.messages, starts ? QStringList() : QStringList{kSignatureRejected});
    QCOMPARE(run.entries, starts ? QStringList{u"SMSGuncelleme"_s} : QStringList());
    QCOMPARE(site.server.requests().size(), 2);
    QCOMPARE(site.server.requests().at(1).path, QByteArray("/download/pkg.bin.sig"));
}

void TestUpdateSafety::unsafeSite_refusedWithItsReason_data()
{
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("base"); // empty: the test's site
    QTest::addColumn<QString>("message");
    QTest::newRow("plain http to another machine")
        << false << u"http://guncelleme.velmor.invalid/download/"_s
        << u"Güncelleme Adresi Şifresiz (http) Bir Bağlantı. Paket Yolda Değiştirilebileceği İçin İndirilmedi; "
           u"Güncelleme Adresini https İle Veriniz."_s;
    QTest::newRow("https with a certificate nobody trusts")
        << true << QString() << u"Güncelleme Sitesinin Güvenlik Sertifikası Doğrulanamadı. Paket İndirilmedi."_s;
}

void TestUpdateSafety::unsafeSite_refusedWithItsReason()
{
    QFETCH(bool, tls);
    QFETCH(QString, base);
    QFETCH(QString, message);
    Site site(tls);
    QVERIFY(site.listening);
    site.put("/download/pkg.bin", fileResponse(kPackage));
    QTemporaryDir folder;

    const UpdateRun run = runUpdate(base.isEmpty() ? site.base() : QUrl(base), folder.path());
    QVERIFY(run.started.isEmpty());
    QCOMPARE(run.messages, QStringList{message});
    QVERIFY(run.entries.isEmpty());
    QVERIFY(site.server.requests().isEmpty());
}

} // namespace velmor::test

QTEST_MAIN(velmor::test::TestUpdateSafety)
#include "tst_update_safety.moc"
