// The command-line client as scripts run it: the built velmor-sms against
// the development service in this process, with its exit status, standard
// output and standard error.

#include "../devserver/devserverfixture.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <elf.h>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

const QString kProgram = QStringLiteral(VELMOR_SMS_PATH);
const QString kDemo = dev::kDemoCustomerNo;

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

class Client
{
public:
    explicit Client(const test::LiveService &live) : m_live(live)
    {
        // No administrator's setting of this machine reaches the tests.
        m_environment.insert(u"XDG_CONFIG_DIRS"_s, m_config.path());
        m_environment.insert(u"VELMOR_CARI"_s, kDemo);
        m_environment.insert(u"VELMOR_KULLANICI"_s, u"demo"_s);
        m_environment.insert(u"VELMOR_SIFRE"_s, u"demo"_s);
    }

    QProcessEnvironment &environment() { return m_environment; }
    QString configDir() const { return m_config.path(); }

    // Runs the program with the service address first, the arguments after,
    // and the input on its standard input; the server answers meanwhile.
    Run run(const QStringList &arguments, const QByteArray &input = {}, bool withService = true) const
    {
        QStringList all;
        if (withService)
            all << u"--service-url"_s << m_live.server->endpoint().toString();
        all << arguments;
        QProcess process;
        process.setProcessEnvironment(m_environment);
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        process.start(kProgram, all);
        process.write(input);
        process.closeWriteChannel();
        loop.exec();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
            qWarning("velmor-sms did not end in time");
        }
        Run run;
        run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

private:
    const test::LiveService &m_live;
    QTemporaryDir m_config;
    QProcessEnvironment m_environment = QProcessEnvironment::systemEnvironment();
};

int sendCommands(const test::LiveService &live)
{
    int count = 0;
    for (const QByteArray &body : live.server->receivedBodies())
        count += body.startsWith("Rehber=3&") ? 1 : 0;
    return count;
}

// The libraries a program names in its dynamic section (DT_NEEDED).
QStringList NeededLibraries(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray image = file.readAll();
    if (image.size() < qsizetype(sizeof(Elf64_Ehdr)) || !image.startsWith(ELFMAG) || image[EI_CLASS] != ELFCLASS64)
        return {};
    const auto *header = reinterpret_cast<const Elf64_Ehdr *>(image.constData());
    const auto section = [&](std::size_t index) {
        return reinterpret_cast<const Elf64_Shdr *>(image.constData() + header->e_shoff + index * header->e_shentsize);
    };
    QStringList needed;
    for (std::size_t i = 0; i < header->e_shnum; ++i) {
        const Elf64_Shdr *dynamic = section(i);
        if (dynamic->sh_type != SHT_DYNAMIC)
            continue;
        const Elf64_Shdr *strings = section(dynamic->sh_link);
        const auto *entry = reinterpret_cast<const Elf64_Dyn *>(image.constData() + dynamic->sh_offset);
        for (std::size_t k = 0; k < dynamic->sh_size / sizeof(Elf64_Dyn) && entry[k].d_tag != DT_NULL; ++k) {
            if (entry[k].d_tag == DT_NEEDED)
                needed.append(QString::fromLatin1(image.constData() + strings->sh_offset + entry[k].d_un.d_val));
        }
    }
    return needed;
}

} // namespace

class TestVelmorSms : public QObject
{
    Q_OBJECT

private slots:
    void sendToTwoNumbersIsChargedAndReported()
    {
        test::LiveService live;
        const Client client(live);
        const Run balance = client.run({u"balance"_s});
        QCOMPARE(balance.status, 0);
        QCOMPARE(balance.out, u"1000\n"_s);

        const Run send = client.run({u"send"_s, u"--sender"_s, u"ORNEKCICEK"_s, u"--to"_s,
                                     u"+90 533 111 22 33, 05441112299"_s, u"--message"_s, u"Siparişiniz yola çıktı."_s});
        QVERIFY2(send.status == 0, qPrintable(send.err));
        QCOMPARE(send.out, u"998\n"_s);
        QCOMPARE(live.server->balance(kDemo), u"998"_s);

        const Run report = client.run({u"report"_s, u"--format"_s, u"json"_s, u"--from"_s,
                                       QDate::currentDate().addDays(-1).toString(Qt::ISODate)});
        QCOMPARE(report.status, 0);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(report.out.toUtf8(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        QVERIFY(document.isArray());
        QStringList reached;
        static const QRegularExpression iso(uR"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d$)"_s);
        for (const QJsonValue &value : document.array()) {
            const QJsonObject row = value.toObject();
            QCOMPARE(row.keys(), (QStringList{u"delivered"_s, u"message"_s, u"name"_s, u"number"_s, u"sent"_s,
                                              u"state"_s}));
            if (row.value(u"message"_s).toString() != u"Siparisiniz yola cikti.")
                continue;
            reached.append(row.value(u"number"_s).toString());
            QVERIFY2(iso.match(row.value(u"sent"_s).toString()).hasMatch(), qPrintable(row.value(u"sent"_s).toString()));
            QCOMPARE(row.value(u"state"_s).toString(), u"İletildi"_s);
        }
        reached.sort();
        QCOMPARE(reached, (QStringList{u"05331112233"_s, u"05441112299"_s}));
    }

    void dryRunSendsNothing()
    {
        test::LiveService live;
        const Client client(live);
        const Run run = client.run({u"send"_s, u"--sender"_s, u"ORNEKCICEK"_s, u"--group"_s, u"Personel"_s,
                                    u"--to"_s, u"05313334456"_s, u"--message"_s, u"Sayın {Adi}"_s, u"--dry-run"_s});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(lines.contains(u"recipients\t3"_s)); // Şükrü typed again is his contact's SMS
        QVERIFY(lines.contains(u"repeats\t1"_s));
        QVERIFY(lines.contains(u"cost\t3"_s));
        QVERIFY(lines.contains(u"balance\t1000"_s));
        QVERIFY(lines.contains(u"sms\t05313334456\t1\tSayin Sukru"_s));
        QCOMPARE(sendCommands(live), 0);
        QCOMPARE(live.server->balance(kDemo), u"1000"_s);
    }

    void personalisedMessageFromStandardInput()
    {
        test::LiveService live;
        const Client client(live);
        const Run run = client.run({u"send"_s, u"--sender"_s, u"ORNEKCICEK"_s, u"--group"_s, u"4"_s},
                                   "Say\xc4\xb1n {AdSoyad},\nmaa\xc5\x9f\xc4\xb1n\xc4\xb1z yat\xc4\xb1r\xc4\xb1ld\xc4\xb1.\n");
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(run.out, u"997\n"_s);
        QCOMPARE(sendCommands(live), 3);
        const Run report = client.run({u"report"_s});
        QCOMPARE(report.status, 0);
        QVERIFY(report.out.startsWith(u"number;name;sent;delivered;message;state\n"_s));
        QVERIFY2(report.out.contains(u"05313334456;Şükrü Aksoy;"_s), qPrintable(report.out));
        QVERIFY(report.out.contains(u";\"Sayin Sukru Aksoy,\r\nmaasiniz yatirildi.\";İletildi\n"_s));
    }

    void failuresEndWithTheirStatus_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("fault"); // for command 3
        QTest::addColumn<QString>("balance");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QStringList send = {u"send"_s, u"--sender"_s, u"ORNEKCICEK"_s, u"--message"_s, u"Merhaba"_s};
        QTest::newRow("bad number alone") << (send + QStringList{u"--to"_s, u"0532 11"_s}) << QString() << QString() << 2
                                          << u"0532 11"_s;
        QTest::newRow("unknown sender") << QStringList{u"send"_s, u"--sender"_s, u"BASKA"_s, u"--to"_s,
                                                       u"05321112233"_s, u"--message"_s, u"x"_s}
                                        << QString() << QString() << 2 << u"Onaylı bir gönderici adı değil"_s;
        QTest::newRow("unknown group") << (send + QStringList{u"--group"_s, u"Yok Böyle"_s}) << QString() << QString()
                                       << 2 << u"Grup bulunamadı"_s;
        QTest::newRow("bad date") << QStringList{u"report"_s, u"--from"_s, u"01.02.2024"_s} << QString() << QString()
                                  << 2 << u"YYYY-AA-GG"_s;
        QTest::newRow("balance short") << (send + QStringList{u"--to"_s, u"05321112233,05332223344"_s}) << QString()
                                       << u"1"_s << 1 << u"Kontörünüz yetmiyor"_s;
        QTest::newRow("reply lost") << (send + QStringList{u"--to"_s, u"05321112233"_s}) << u"truncate"_s << QString()
                                    << 4 << u"sonucu bilinmiyor"_s;
        QTest::newRow("reply without its section") << (send + QStringList{u"--to"_s, u"05321112233"_s}) << u"one-marker"_s
                                         << QString() << 4 << u"sonucu bilinmiyor"_s;
    }

    void failuresEndWithTheirStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, fault);
        QFETCH(QString, balance);
        QFETCH(int, status);
        QFETCH(QString, message);
        test::LiveService live;
        if (!fault.isEmpty())
            live.server->setFault(fault, {3});
        if (!balance.isEmpty())
            live.server->setBalance(kDemo, balance);
        const Run run = Client(live).run(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        if (status != 4)
            QCOMPARE(sendCommands(live), 0);
    }

    void loginAndServiceFailures()
    {
        test::LiveService live;
        Client client(live);
        client.environment().insert(u"VELMOR_SIFRE"_s, u"yanlis"_s);
        const Run wrong = client.run({u"balance"_s});
        QCOMPARE(wrong.status, 5);
        QVERIFY(wrong.err.contains(u"Şifrenizi Yanlış Girdiniz"_s));
        QVERIFY(wrong.out.isEmpty());

        // A password file others may read is refused before any request.
        client.environment().remove(u"VELMOR_SIFRE"_s);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"sifre"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("demo\n");
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
        live.server->clearReceivedBodies();
        const Run open = client.run({u"balance"_s, u"--password-file"_s, file.fileName()});
        QCOMPARE(open.status, 2);
        QVERIFY(live.server->receivedBodies().isEmpty());
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const Run owner = client.run({u"--password-file"_s, file.fileName(), u"balance"_s});
        QCOMPARE(owner.status, 0);
        QCOMPARE(owner.out, u"1000\n"_s);

        // Without a terminal nothing can be asked.
        const Run missing = client.run({u"balance"_s});
        QCOMPARE(missing.status, 2);
        QVERIFY(missing.err.contains(u"VELMOR_SIFRE"_s));

        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString nowhere = u"http://127.0.0.1:%1/YeniRehber.asp"_s.arg(closed.serverPort());
        closed.close();
        const Run unreachable = client.run({u"--service-url"_s, nowhere, u"--password-file"_s, file.fileName(),
                                            u"balance"_s}, {}, false);
        QCOMPARE(unreachable.status, 3);
        QVERIFY(unreachable.err.contains(u"Servise ulaşılamadı"_s));
    }

    void systemSettingStandsBelowTheCommandLine()
    {
        test::LiveService live;
        const Client client(live);
        QVERIFY(QDir().mkpath(client.configDir() + u"/velmor"_s));
        QFile conf(client.configDir() + u"/velmor/velmor.conf"_s);
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("[Service]\nUrl=" + live.server->endpoint().toString().toUtf8() + "\n");
        conf.close();
        const Run fromSetting = client.run({u"balance"_s}, {}, false);
        QCOMPARE(fromSetting.status, 0);
        QCOMPARE(fromSetting.out, u"1000\n"_s);
        const Run help = client.run({u"--help"_s}, {}, false);
        QVERIFY(help.out.contains(live.server->endpoint().toString()));

        const Run overridden = client.run({u"--service-url"_s, u"http://127.0.0.1:1/YeniRehber.asp"_s, u"balance"_s},
                                          {}, false);
        QCOMPARE(overridden.status, 3);
    }

    void importChecksTheFileAsTheWindowDoes()
    {
        test::LiveService live;
        const Client client(live);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"musteriler.csv"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Ad\xc4\xb1;Soyad\xc4\xb1;Cep Telefonu\r\n"
                   "Ay\xc5\x9f" "e;Y\xc4\xb1lmaz;0532 765 43 21\r\n"
                   "Mehmet;Kaya;+90 (544) 987 65 43\r\n"
                   ";Bo\xc5\x9f;05321111111\r\n"
                   "\xc5\x9e\xc3\xbckr\xc3\xbc;Aksoy;05313334456\r\n" // already in the group
                   "Ali;Veli;0532 11\r\n");
        file.close();
        const auto mobiles = [&client] {
            const Run run = client.run({u"contacts"_s, u"--group"_s, u"Personel"_s, u"--format"_s, u"json"_s});
            QStringList numbers;
            for (const QJsonValue &value : QJsonDocument::fromJson(run.out.toUtf8()).array())
                numbers.append(value.toObject().value(u"mobile"_s).toString());
            return numbers;
        };
        const QStringList before = mobiles();

        const Run dry = client.run({u"import"_s, path, u"--group"_s, u"Personel"_s, u"--dry-run"_s});
        QVERIFY2(dry.status == 0, qPrintable(dry.err));
        QVERIFY(dry.out.contains(u"accepted\t2\nadded\t0\nskipped\t3\n"_s));
        QVERIFY2(dry.err.contains(u"Satır 6: "_s), qPrintable(dry.err));
        QCOMPARE(mobiles(), before);

        const QString rest = dir.filePath(u"eklenmeyen.csv"_s);
        const Run run = client.run({u"import"_s, path, u"--group"_s, u"Personel"_s, u"--not-imported"_s, rest});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QVERIFY(run.out.contains(u"added\t2\n"_s));
        const QStringList after = mobiles();
        QCOMPARE(after.size(), before.size() + 2);
        QVERIFY(after.contains(u"05327654321"_s) && after.contains(u"05449876543"_s));
        QFile skipped(rest);
        QVERIFY(skipped.open(QIODevice::ReadOnly));
        QCOMPARE(skipped.readAll().count("\r\n"), 4); // the header and the three skipped records

        // The same file again: every number is in the group now.
        const Run again = client.run({u"import"_s, path, u"--group"_s, u"Personel"_s});
        QCOMPARE(again.status, 2);
        QVERIFY(again.err.contains(u"eklenebilecek kişi yok"_s));
        const Run root = client.run({u"import"_s, path, u"--group"_s, u"0"_s});
        QCOMPARE(root.status, 2);

        // A workbook's sheet, by name; a sheet it lacks is named with those it has.
        const QString workbook = QStringLiteral(VELMOR_SOURCE_DIR "/tests/data/workbooks/kisiler.xlsx");
        const Run sheet = client.run({u"import"_s, workbook, u"--sheet"_s, u"bayiler"_s, u"--group"_s, u"Personel"_s,
                                      u"--dry-run"_s});
        QVERIFY2(sheet.status == 0, qPrintable(sheet.err));
        QVERIFY(sheet.out.startsWith(u"accepted\t1\n"_s));
        const Run missing = client.run({u"import"_s, workbook, u"--sheet"_s, u"Yok"_s, u"--group"_s, u"Personel"_s});
        QCOMPARE(missing.status, 2);
        QVERIFY2(missing.err.contains(u"Müşteriler"_s), qPrintable(missing.err));
    }

    void linksNeitherQtWidgetsNorQtGui()
    {
        const QStringList needed = NeededLibraries(kProgram);
        QVERIFY2(needed.contains(u"libQt6Core.so.6"_s), qPrintable(needed.join(u", "_s)));
        for (const QString &library : needed) {
            QVERIFY2(!library.startsWith(u"libQt6Gui"_s) && !library.startsWith(u"libQt6Widgets"_s),
                     qPrintable(library));
        }
    }
};

QTEST_GUILESS_MAIN(TestVelmorSms)
#include "tst_velmor_sms.moc"
