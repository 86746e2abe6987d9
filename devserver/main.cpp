// velmor-devserver: a local stand-in for the SMS service.
#include "demodata.h"
#include "devserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using velmor::dev::DevServer;
using velmor::dev::Options;

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[0], &byte, 1);
}

// SIGINT and SIGTERM end the event loop from inside it, so the database is
// closed cleanly.
bool watchTerminationSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        notifier->setEnabled(false);
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(g_signalPipe[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

bool readInt(const QCommandLineParser &parser, const QString &name, int min, int max, int *out)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < min || value > max)
        return false;
    *out = value;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"velmor-devserver"_s);
    QCoreApplication::setApplicationVersion(
        u"%1.%2.%3"_s.arg(VELMOR_VERSION_MAJOR).arg(VELMOR_VERSION_MINOR).arg(VELMOR_VERSION_PATCH));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Development service for Velmor Rehber: answers the client's commands "
                                     "on 127.0.0.1 from a SQLite database holding a demo account."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QList<QCommandLineOption> options = {
        {u"port"_s, u"Port to listen on (0: any free port). Default %1."_s.arg(velmor::dev::kDefaultPort), u"N"_s},
        {u"db"_s, u"Database file, or :memory:. Default %1."_s.arg(velmor::dev::DefaultDatabasePath()), u"PATH"_s},
        {u"reset-demo"_s, u"Restore the demo account."_s},
        {u"empty-account"_s, u"Restore the demo customer (record, sender names, balance) without groups, contacts "
                             "or report rows."_s},
        {u"seed-large"_s, u"Restore the demo account, then add N generated contacts over 1,000 groups."_s, u"N"_s},
        {u"latest-version"_s, u"Version number that command 30 reports (default: the client's own)."_s, u"N"_s},
        {u"package"_s, u"Package name that command 30 reports."_s, u"NAME"_s},
        {u"download-dir"_s, u"Folder served under /download/."_s, u"DIR"_s},
        {u"demo-update"_s, u"Offer a newer version (the client's own plus one revision) with a small demonstration "
                           "package that records in %1 that it ran."_s.arg(velmor::dev::DemoUpdateLogPath())},
        {u"print-demo-package"_s, u"Print the demonstration package of --demo-update (for the version it offers) "
                                  "and exit."_s},
        {u"delay-ms"_s, u"Answer every request this late."_s, u"N"_s},
        {u"undelivered-suffix"_s, u"Report sends to mobile numbers ending in DIGITS as \"Ulaşılamadı\" "
                                  "(default: every mobile number is delivered)."_s,
         u"DIGITS"_s},
        {u"fault"_s, u"Misbehave: garbage, truncate, close, one-marker or no-length."_s, u"MODE"_s},
        {u"fault-commands"_s, u"Limit the fault to these command codes (0: downloads), e.g. 1,3."_s, u"LIST"_s},
    };
    parser.addOptions(options);
    parser.process(app);

    Options opts;
    opts.dbPath = parser.isSet(u"db"_s) ? parser.value(u"db"_s) : velmor::dev::DefaultDatabasePath();
    opts.resetDemo = parser.isSet(u"reset-demo"_s);
    opts.emptyAccount = parser.isSet(u"empty-account"_s);
    opts.undeliveredSuffix = parser.value(u"undelivered-suffix"_s);
    opts.latestVersion = parser.value(u"latest-version"_s);
    opts.packageName = parser.value(u"package"_s);
    opts.downloadDir = parser.value(u"download-dir"_s);
    opts.demoUpdate = parser.isSet(u"demo-update"_s);
    opts.fault = parser.value(u"fault"_s);
    // Nothing reads the request log here; kept, it would grow for as long as the program runs.
    opts.recordBodies = false;

    int port = velmor::dev::kDefaultPort;
    if (!readInt(parser, u"port"_s, 0, 65535, &port)) {
        err << "velmor-devserver: --port takes a number from 0 to 65535\n";
        return 2;
    }
    if (!readInt(parser, u"seed-large"_s, 0, 10000000, &opts.seedLarge)) {
        err << "velmor-devserver: --seed-large takes a number from 0 to 10000000\n";
        return 2;
    }
    if (!readInt(parser, u"delay-ms"_s, 0, 3600000, &opts.delayMs)) {
        err << "velmor-devserver: --delay-ms takes a number of milliseconds\n";
        return 2;
    }
    if (opts.emptyAccount && (opts.seedLarge > 0 || opts.resetDemo)) {
        err << "velmor-devserver: --empty-account goes with neither --seed-large nor --reset-demo\n";
        return 2;
    }
    if (parser.isSet(u"undelivered-suffix"_s) && !velmor::dev::IsUndeliveredSuffix(opts.undeliveredSuffix)) {
        err << "velmor-devserver: --undelivered-suffix takes 1 to 11 digits\n";
        return 2;
    }
    if (!opts.fault.isEmpty() && !velmor::dev::IsFaultMode(opts.fault)) {
        err << "velmor-devserver: unknown --fault mode: " << opts.fault << '\n';
        return 2;
    }
    if (parser.isSet(u"fault-commands"_s)) {
        for (const QString &part : parser.value(u"fault-commands"_s).split(u',', Qt::SkipEmptyParts)) {
            bool ok = false;
            const int code = part.trimmed().toInt(&ok);
            if (!ok || code < 0) {
                err << "velmor-devserver: --fault-commands takes command codes such as 1,3\n";
                return 2;
            }
            opts.faultCommands.insert(code);
        }
    }
    if (!opts.latestVersion.isEmpty() && opts.latestVersion.contains(u'|')) {
        err << "velmor-devserver: --latest-version must not contain '|'\n";
        return 2;
    }

    if (parser.isSet(u"print-demo-package"_s)) {
        opts.demoUpdate = true;
        const QByteArray package = DevServer(std::move(opts)).demoPackage();
        return std::fwrite(package.constData(), 1, size_t(package.size()), stdout) == size_t(package.size()) ? 0 : 1;
    }

    if (!watchTerminationSignals(app))
        err << "velmor-devserver: cannot watch SIGINT/SIGTERM\n";

    const QString dbPath = opts.dbPath;
    const QString downloadDir = opts.downloadDir;
    const bool demoUpdate = opts.demoUpdate;
    const bool emptyAccount = opts.emptyAccount;
    const QString undeliveredSuffix = opts.undeliveredSuffix;
    DevServer server(std::move(opts));
    if (!server.start(quint16(port))) {
        err << "velmor-devserver: " << server.errorString() << '\n';
        return 1;
    }
    out << "Database: " << dbPath << '\n';
    if (!downloadDir.isEmpty())
        out << "Downloads: " << server.downloadBase().toString() << " from " << downloadDir << '\n';
    if (demoUpdate)
        out << "Update demo: a newer version offered; the package " << server.downloadBase().toString()
            << velmor::dev::kDemoPackageName << " writes a line to " << velmor::dev::DemoUpdateLogPath() << '\n';
    out << "Demo account: customer " << velmor::dev::kDemoCustomerNo << ", user " << velmor::dev::kDemoUser
        << ", password " << velmor::dev::kDemoPassword << (emptyAccount ? ", without groups or contacts" : "")
        << '\n';
    if (!undeliveredSuffix.isEmpty())
        out << "Undelivered: sends to mobile numbers ending in " << undeliveredSuffix << '\n';
    out << "Velmor devserver listening on " << server.endpoint().toString() << Qt::endl;

    const int rc = app.exec();
    out << "Velmor devserver stopped." << Qt::endl;
    return rc;
}
