// velmor-sms: the service from a terminal, a script or a timer. Data on
// standard output, Turkish messages on standard error, the exit statuses of
// exitstatus.h.

#include "cli/clisession.h"
#include "cli/commands.h"
#include "cli/exitstatus.h"
#include "cli/terminal.h"
#include "model/version.h"
#include "service/serviceoptions.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace Qt::StringLiterals;
using namespace velmor;
using namespace velmor::cli;

namespace {

// Qt's own messages (the command-line parser's errors) in Turkish; the help
// stays in English, as the manual page.
class Translations
{
public:
    Translations()
    {
        if (m_translator.load(QLocale(QLocale::Turkish, QLocale::Turkey), u"qtbase"_s, u"_"_s,
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(&m_translator);
    }
    // Help texts are put together when printed.
    void printHelp(const QString &text)
    {
        QCoreApplication::removeTranslator(&m_translator);
        Output(text.toUtf8());
    }
    QString helpText(const QCommandLineParser &parser)
    {
        QCoreApplication::removeTranslator(&m_translator);
        const QString text = parser.helpText();
        QCoreApplication::installTranslator(&m_translator);
        return text;
    }

private:
    QTranslator m_translator;
};

// The options every command takes: help, version, the service, the login.
struct CommonOptions
{
    QCommandLineOption help{{u"h"_s, u"help"_s}, u"Displays this help."_s};
    QCommandLineOption version{{u"v"_s, u"version"_s}, u"Displays the version."_s};
    ServiceCommandLine service{ServiceCommandLine::UpdateUrl::Without};
    CredentialOptions credentials;

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({help, version});
        service.addTo(parser);
        credentials.addTo(parser);
    }
};

int printVersion()
{
    OutputLine(QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion());
    return ExitDone;
}

QString commandList()
{
    QString text = u"\nCommands:\n"_s;
    for (const CliCommand &command : Commands())
        text += u"  %1  %2\n"_s.arg(QString::fromUtf16(command.name).leftJustified(9), QString::fromUtf16(command.summary));
    text += u"\nEach command's own options: velmor-sms COMMAND --help. Exit statuses: man velmor-sms.\n"_s;
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"velmor-sms"_s);
    QCoreApplication::setApplicationVersion(VersionText());

    CommonOptions common;
    for (const QString &warning : common.service.systemSettings().warnings)
        Message(warning);

    // First the common options and the command's name; everything after the
    // name is the command's.
    QCommandLineParser first;
    first.setApplicationDescription(u"Velmor SMS from the command line: balance, send, report and phone book."_s);
    common.addTo(first);
    first.addPositionalArgument(u"command"_s, u"balance, senders, groups, contacts, send, report or import."_s,
                                u"COMMAND [OPTIONS]"_s);
    first.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    Translations translations;
    const QStringList arguments = QCoreApplication::arguments();
    if (!first.parse(arguments)) {
        Message(first.errorText() + u"\nSeçenekler için: velmor-sms --help"_s);
        return ExitUsage;
    }
    if (first.positionalArguments().isEmpty()) {
        if (first.isSet(common.help)) {
            translations.printHelp(translations.helpText(first) + commandList());
            return ExitDone;
        }
        if (first.isSet(common.version)) {
            OutputLine(QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion());
            return ExitDone;
        }
        Message(u"Komut verilmedi. Komutlar ve seçenekler için: velmor-sms --help"_s);
        return ExitUsage;
    }
    const QString name = first.positionalArguments().constFirst();
    const CliCommand *command = FindCommand(name);
    if (!command) {
        Message(u"Bilinmeyen komut: %1. Komutlar için: velmor-sms --help"_s.arg(name));
        return ExitUsage;
    }

    // Then the whole line again with the command's options, so that the
    // common ones may stand before or after its name.
    QCommandLineParser parser;
    QString description = QString::fromUtf16(command->summary) + u'.';
    description[0] = description[0].toUpper();
    parser.setApplicationDescription(description);
    common.addTo(parser);
    parser.addOptions(command->options());
    parser.addPositionalArgument(name, description,
                                 (name + u' ' + QString::fromUtf16(command->synopsis)).trimmed());
    if (!parser.parse(arguments)) {
        Message(parser.errorText() + u"\nSeçenekler için: velmor-sms %1 --help"_s.arg(name));
        return ExitUsage;
    }
    if (parser.isSet(common.help)) {
        translations.printHelp(translations.helpText(parser));
        return ExitDone;
    }
    if (parser.isSet(common.version)) {
        return printVersion();
    }
    if (parser.positionalArguments().size() > 1 + command->arguments) {
        Message(u"Beklenmeyen argüman: %1"_s.arg(parser.positionalArguments().at(1 + command->arguments)));
        return ExitUsage;
    }
    QString error;
    const std::optional<ServiceOptions> options = common.service.read(parser, &error);
    if (!options) {
        Message(error);
        return ExitUsage;
    }
    CliSession session(*options, parser, common.credentials);
    return command->run(session, parser);
}
