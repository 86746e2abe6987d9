// A crash of the client must not leave a core file holding the SMS account's
// password: the guard itself, and the built client running with it.
#include "loopbackserver.h"
#include "service/processguard.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The "Max core file size" line of /proc/<pid>/limits: soft and hard limit,
// or the empty text when it cannot be read.
QString coreLimits(qint64 pid)
{
    QFile limits(u"/proc/%1/limits"_s.arg(pid));
    if (!limits.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    static const QRegularExpression line(uR"(^Max core file size\s+(\S+)\s+(\S+))"_s,
                                         QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(limits.readAll()));
    return match.hasMatch() ? match.captured(1) + u' ' + match.captured(2) : QString();
}

} // namespace

class TestCoreDumps : public QObject
{
    Q_OBJECT

private slots:
    // First: the guard, once run here, would pass its limit on to the client.
    void builtClient_runsWithoutCoreDumps();
    void guard_leavesNoCoreAndNoDumpableProcess();
};

void TestCoreDumps::guard_leavesNoCoreAndNoDumpableProcess()
{
    QVERIFY(velmor::DisableCoreDumps());
    QCOMPARE(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
    rlimit limit{};
    QCOMPARE(getrlimit(RLIMIT_CORE, &limit), 0);
    QCOMPARE(limit.rlim_cur, rlim_t(0));
    QCOMPARE(limit.rlim_max, rlim_t(0));
}

void TestCoreDumps::builtClient_runsWithoutCoreDumps()
{
    // The client inherits a core limit as high as this process may give it,
    // so that only the client itself can have brought it down to 0.
    rlimit inherited{};
    QCOMPARE(getrlimit(RLIMIT_CORE, &inherited), 0);
    if (inherited.rlim_max == 0)
        QSKIP("core files are already off for this test (hard limit 0): nothing to tell");
    inherited.rlim_cur = inherited.rlim_max;
    QCOMPARE(setrlimit(RLIMIT_CORE, &inherited), 0);

    // The client finds no service and waits in its login window.
    QProcess client;
    client.setProgram(QStringLiteral(VELMOR_CLIENT_PROGRAM));
    client.setArguments({u"--service-url"_s,
                         u"http://127.0.0.1:%1/YeniRehber.asp"_s.arg(velmor::test::LoopbackServer::closedPort()),
                         u"--timeout"_s, u"5"_s});
    client.setProcessChannelMode(QProcess::ForwardedChannels);
    client.start();
    QVERIFY2(client.waitForStarted(10000), qPrintable(client.errorString()));
    const qint64 pid = client.processId();
    const auto stop = qScopeGuard([&client] {
        client.kill();
        client.waitForFinished(10000);
    });

    // From its first line on, main() takes the limit away, soft and hard.
    QTRY_COMPARE_WITH_TIMEOUT(coreLimits(pid), u"0 0"_s, 20000);
    // A process that is not dumpable has its /proc entries owned by root
    // (which tells nothing when the test itself runs as root).
    if (geteuid() != 0)
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(u"/proc/%1/status"_s.arg(pid)).ownerId(), 0u, 20000);
    QCOMPARE(client.state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestCoreDumps)
#include "tst_coredumps.moc"
