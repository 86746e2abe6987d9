#include "cli/commands.h"

namespace velmor::cli {

const QList<CliCommand> &Commands()
{
    static const QList<CliCommand> commands = {
        {u"balance", u"", u"the credit balance, one number", NoOptions, RunBalance},
        {u"senders", u"", u"approved sender names, one a line", NoOptions, RunSenders},
        {u"groups", u"", u"groups: number, parent number, name (tab-separated)", NoOptions, RunGroups},
        {u"contacts", u"[--group NAME|NO] [--format csv|json]", u"the contacts, of one group or all", ContactsOptions,
         RunContacts},
        {u"send", u"--sender NAME (--to NUMBERS | --group NAME|NO | --file FILE)... [--message TEXT] [--dry-run] [--yes]",
         u"send an SMS", SendOptions, RunSend},
        {u"report", u"[--from YYYY-MM-DD] [--to YYYY-MM-DD] [--format csv|json]", u"the delivery report",
         ReportOptions, RunReport},
        {u"import", u"FILE --group NAME|NO [--sheet NAME|N] [--keep-duplicates] [--not-imported FILE] [--dry-run]",
         u"a contact file (CSV, .xlsx, .ods) into a group, checked as the window's import does",
         ImportCommandOptions, RunImport, 1},
    };
    return commands;
}

const CliCommand *FindCommand(const QString &name)
{
    for (const CliCommand &command : Commands()) {
        if (name == QStringView(command.name))
            return &command;
    }
    return nullptr;
}

} // namespace velmor::cli
