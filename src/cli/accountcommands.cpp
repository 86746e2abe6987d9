// The commands that read the account: balance, senders, groups, contacts.

#include "cli/clisession.h"
#include "cli/commands.h"
#include "cli/exitstatus.h"
#include "cli/output.h"
#include "cli/terminal.h"
#include "model/phonebook.h"
#include "model/sendrules.h"

using namespace Qt::StringLiterals;

namespace velmor::cli {

QList<QCommandLineOption> NoOptions()
{
    return {};
}

int RunBalance(CliSession &session, const QCommandLineParser &)
{
    if (const int status = session.logIn(); status != ExitDone)
        return status;
    const QString balance = session.fetchBalance();
    if (balance == u"--") {
        Message(u"Kontör bilgisi alınamadı. "_s + session.unreachableMessage());
        return ExitUnreachable;
    }
    OutputLine(balance);
    return ExitDone;
}

int RunSenders(CliSession &session, const QCommandLineParser &)
{
    if (const int status = session.openAccount(); status != ExitDone)
        return status;
    const QStringList names = ApprovedSenderNames(session.snapshot().customer);
    if (names.isEmpty())
        Message(u"Onaylı gönderici adınız yok; Cari Bilgileri'nden talep edebilirsiniz."_s);
    for (const QString &name : names)
        OutputLine(OneLine(name));
    return ExitDone;
}

int RunGroups(CliSession &session, const QCommandLineParser &)
{
    if (const int status = session.openAccount(); status != ExitDone)
        return status;
    for (const ContactGroup &group : session.snapshot().groups)
        OutputLine(OneLine(group.Grup_No) + u'\t' + OneLine(group.Grp_Ust_Grup_No) + u'\t' + OneLine(group.Grp_Adi));
    return ExitDone;
}

QList<QCommandLineOption> ContactsOptions()
{
    return {{u"group"_s, u"Only the contacts of this group (its number or name), not those of its sub-groups."_s,
             u"NAME|NO"_s},
            FormatOption()};
}

int RunContacts(CliSession &session, const QCommandLineParser &parser)
{
    TableFormat format = TableFormat::Csv;
    if (const int status = ReadFormat(parser, format); status != ExitDone)
        return status;
    if (const int status = session.openAccount(); status != ExitDone)
        return status;
    QString groupNo = u"0"_s;
    if (parser.isSet(u"group"_s)) {
        if (const int status = session.findGroup(parser.value(u"group"_s), groupNo); status != ExitDone)
            return status;
    }

    static const QStringList keys = {u"id"_s,       u"group"_s,    u"firstName"_s, u"surname"_s,
                                     u"address1"_s, u"address2"_s, u"address3"_s,  u"district"_s,
                                     u"province"_s, u"mobile"_s,   u"phone"_s,     u"fax"_s};
    const bool every = groupNo == u"0";
    QList<QStringList> rows;
    for (const ContactRef contact : session.snapshot().contacts) {
        if (!every && contact.Grup_No() != groupNo)
            continue;
        const ContactValues values = ContactFieldValues(contact);
        QStringList row = {contact.Adr_K_No().toString(), contact.Grup_No().toString()};
        row.append(QStringList(values.cbegin(), values.cend()));
        rows.append(row);
    }
    WriteTable(format, keys, rows);
    return ExitDone;
}

} // namespace velmor::cli
