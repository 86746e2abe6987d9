#include "service/packagesignature.h"
#include "service/processguard.h"
#include "service/service.h"
#include "service/serviceoptions.h"
#include "service/transport.h"
#include "ui/common/appicon.h"
#include "ui/main/mainwindow.h"
#include "ui/common/requestprogressdialog.h"
#include "ui/common/translations.h"
#include "model/version.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

void printError(const QString &text)
{
    std::fputs(qUtf8Printable(text + u'\n'), stderr);
}

// Reads the command line; prints help, version or an error and returns false
// when the program should not go on.
bool parseOptions(const QStringList &arguments, velmor::ServiceOptions &options, int &exitCode)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Velmor Rehber: SMS gönderimi ve telefon rehberi."_s);
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const velmor::ServiceCommandLine serviceOptions(velmor::ServiceCommandLine::UpdateUrl::With);
    serviceOptions.addTo(parser);
    for (const QString &warning : serviceOptions.systemSettings().warnings)
        printError(warning);

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
        printError(u"Beklenmeyen argüman: %1"_s.arg(parser.positionalArguments().constFirst()));
        exitCode = 2;
        return false;
    }
    QString error;
    const std::optional<velmor::ServiceOptions> read = serviceOptions.read(parser, &error);
    if (!read) {
        printError(error);
        exitCode = 2;
        return false;
    }
    options = *read;
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

    velmor::ServiceOptions options;
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

    const auto transport = velmor::MakeHttpTransport(options);
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
