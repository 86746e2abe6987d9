#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>

namespace velmor::cli {

class CliSession;

// One sub-command: its name, what it does, the options it takes beside the
// common ones, and how it runs (returning the exit status). A new command is
// one more entry in Commands().
struct CliCommand
{
    const char16_t *name;
    const char16_t *synopsis; // its own options, for the help
    const char16_t *summary;
    QList<QCommandLineOption> (*options)();
    int (*run)(CliSession &session, const QCommandLineParser &parser);
    int arguments = 0; // how many arguments it takes after its name
};

const QList<CliCommand> &Commands();
const CliCommand *FindCommand(const QString &name);

// The commands, each in its own file.
QList<QCommandLineOption> NoOptions();
int RunBalance(CliSession &session, const QCommandLineParser &parser);
int RunSenders(CliSession &session, const QCommandLineParser &parser);
int RunGroups(CliSession &session, const QCommandLineParser &parser);
QList<QCommandLineOption> ContactsOptions();
int RunContacts(CliSession &session, const QCommandLineParser &parser);
QList<QCommandLineOption> SendOptions();
int RunSend(CliSession &session, const QCommandLineParser &parser);
QList<QCommandLineOption> ReportOptions();
int RunReport(CliSession &session, const QCommandLineParser &parser);
QList<QCommandLineOption> ImportCommandOptions();
int RunImport(CliSession &session, const QCommandLineParser &parser);

} // namespace velmor::cli
