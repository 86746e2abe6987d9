#include "service/packagesignature.h"
#include "service/processguard.h"
#include "service/service.h"
#include "service/transport.h"
#include "ui/common/appicon.h"
#include "ui/main/mainwindow.h"
#include "ui/common/requestprogressdialog.h"
#include "ui/common/translations.h"
#include "model/version.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QUrl>

#include <cstdio>
#include <memory>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

struct Options
{
    QUrl serviceUrl;
    QUrl updateUrl;
    int timeoutMs = 0;
    qint64 maxReplyBytes = 0;
};

void printError(const QString &text)
{
    std::fputs(qUtf8Printable(text + u'\n'), stderr);
}

// An absolute http or https address; empty when the text is not one.
QUrl webAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return {};
    return url;
}

// Reads the command line; prints help, version or an error and returns false
// when the program should not go on.
bool parseOptions(const QStringList &arguments, Options &options, int &exitCode)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Velmor Rehber: SMS gönderimi ve telefon rehberi."_s);
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption serviceOption(u"service-url"_s, u"Address of the service endpoint (default: %1)."_s.arg(
                                               u"http://127.0.0.1:48080/YeniRehber.asp"_s),
                                           u"URL"_s, u"http://127.0.0.1:48080/YeniRehber.asp"_s);
    const QCommandLineOption updateOption(u"update-url"_s,
                                          u"Base address of the update download (default: %1)."_s.arg(
                                              u"http://127.0.0.1:48080/download/"_s),
                                          u"URL"_s, u"http://127.0.0.1:48080/download/"_s);
    const QCommandLineOption timeoutOption(
        u"timeout"_s, u"Seconds of silence after which a request to the service or the update download is given up; "
                         "0 waits without limit (default: 30)."_s,
        u"SECONDS"_s, u"30"_s);
    const QCommandLineOption maxReplyOption(
        u"max-reply-mb"_s, u"Largest reply of the service to accept, in MiB; a larger one fails the request (default: 512)."_s,
        u"MIB"_s, u"512"_s);
    parser.addOptions({serviceOption, updateOption, timeoutOption, maxReplyOption});

    if (!parser.parse(arguments)) {
        printError(parser.errorText());
        exitCode = 2;
        return false;
    }
    if (parser.isSet(helpOption)) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        exitCode = 0;
        return false;
    }
    if (parser.isSet(versionOption)) {
        std::fputs(qUtf8Printable(QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n'),
                   stdout);
        exitCode = 0;
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        printError(u"Unexpected argument: %1"_s.arg(parser.positionalArguments().constFirst()));
        exitCode = 2;
        return false;
    }

    options.serviceUrl = webAddress(parser.value(serviceOption));
    if (options.serviceUrl.isEmpty()) {
        printError(u"--service-url: not an http or https address: %1"_s.arg(parser.value(serviceOption)));
        exitCode = 2;
        return false;
    }
    options.updateUrl = webAddress(parser.value(updateOption));
    if (options.updateUrl.isEmpty()) {
        printError(u"--update-url: not an http or https address: %1"_s.arg(parser.value(updateOption)));
        exitCode = 2;
        return false;
    }
    // The package name is appended to the base, so the base ends in "/".
    if (!options.updateUrl.path().endsWith(u'/'))
        options.updateUrl.setPath(options.updateUrl.path() + u'/');

    bool ok = false;
    const int seconds = parser.value(timeoutOption).toInt(&ok);
    if (!ok || seconds < 0 || seconds > 24 * 60 * 60) {
        printError(u"--timeout: expected a whole number of seconds from 0 to 86400: %1"_s.arg(
            parser.value(timeoutOption)));
        exitCode = 2;
        return false;
    }
    options.timeoutMs = seconds * 1000;

    const int mebibytes = parser.value(maxReplyOption).toInt(&ok);
    if (!ok || mebibytes < 1 || mebibytes > 16384) {
        printError(u"--max-reply-mb: expected a whole number of MiB from 1 to 16384: %1"_s.arg(
            parser.value(maxReplyOption)));
        exitCode = 2;
        return false;
    }
    options.maxReplyBytes = qint64(mebibytes) * 1024 * 1024;
    return true;
}

void setApplicationNames()
{
    QCoreApplication::setApplicationName(u"velmor-rehber"_s);
    QCoreApplication::setApplicationVersion(velmor::VersionText());
}

bool asksForInformationOnly(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "-h" || argument == "--help" || argument == "-?" || argument == "--help-all"
            || argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before anything holds a password: a crash leaves no core file.
    velmor::DisableCoreDumps();

    Options options;
    int exitCode = 0;
    if (asksForInformationOnly(argc, argv)) {
        // Help and version need no display.
        QCoreApplication info(argc, argv);
        setApplicationNames();
        parseOptions(QCoreApplication::arguments(), options, exitCode);
        return exitCode;
    }

    QApplication app(argc, argv);
    setApplicationNames();
    // The window system's own options (-platform, -style, ...) are taken out
    // of the arguments by the application object.
    if (!parseOptions(QCoreApplication::arguments(), options, exitCode))
        return exitCode;
    // Before the first window: widgets take the locale they are made with.
    velmor::InstallTurkishTranslations(app);
    QApplication::setWindowIcon(velmor::ApplicationIcon());
    // Ties the windows to the installed menu entry (its name and icon).
    QGuiApplication::setDesktopFileName(u"velmor-rehber"_s);

    auto transport = std::make_shared<velmor::HttpTransport>(options.serviceUrl, options.timeoutMs);
    transport->setMaxReplyBytes(options.maxReplyBytes);
    // A request that takes long shows its progress and can be abandoned.
    velmor::RequestProgressDialog requestProgress;
    transport->setObserver(&requestProgress);
    const velmor::Service service(transport);

    // The program ends when the main window closes, not when the last visible
    // window does: during start-up the login window may be the only one.
    QApplication::setQuitOnLastWindowClosed(false);
    velmor::UpdateOptions update(options.updateUrl, options.timeoutMs);
    // Given at build time: a package then starts only when signed with it.
    update.publisherKey = velmor::PublisherKeyFromHex(VELMOR_UPDATE_PUBLIC_KEY);
    velmor::MainWindow window(service, update);
    QObject::connect(&window, &velmor::MainWindow::ended, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.startUp();
    if (window.hasEnded())
        return 0;
    return QApplication::exec();
}
