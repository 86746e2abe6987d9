// The import command: a contact file into a group, checked as the phone
// book's import checks it, one add command per accepted record.

#include "cli/clisession.h"
#include "cli/commands.h"
#include "cli/exitstatus.h"
#include "cli/terminal.h"
#include "model/contactfile.h"
#include "model/contactfilereader.h"
#include "model/contactimport.h"
#include "model/session.h"
#include "text/csv.h"

#include <QEventLoop>
#include <QFile>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace velmor::cli {

namespace {

// Skipped records are listed one a line up to this many; a file of ten
// thousand bad lines gets a count, not ten thousand lines.
constexpr qsizetype kListedRecords = 20;
// The table of the file: a text file's one table, or a workbook's sheet
// (--sheet by name or place, else the first with rows).
int readTable(const QString &path, const QCommandLineParser &parser, CsvTable &table)
{
    const ContactFileRead file = ReadContactFile(path);
    if (!file.ok()) {
        Message(u"%1: %2"_s.arg(path, file.error));
        return ExitUsage;
    }
    qsizetype sheet = file.proposedSheet;
    if (parser.isSet(u"sheet"_s)) {
        const QString wanted = parser.value(u"sheet"_s);
        bool number = false;
        const int place = wanted.toInt(&number);
        sheet = -1;
        for (qsizetype i = 0; file.workbook && i < file.sheets.size() && sheet < 0; ++i) {
            if (file.sheets.at(i).name.compare(wanted, Qt::CaseInsensitive) == 0 || (number && place == i + 1))
                sheet = i;
        }
        if (sheet < 0) {
            QStringList names;
            for (const SheetTable &each : file.sheets)
                names.append(each.name);
            Message(file.workbook ? u"Sayfa bulunamadı: %1. Dosyanın sayfaları: %2"_s.arg(wanted, names.join(u", "_s))
                                  : u"--sheet yalnızca .xlsx ve .ods dosyaları içindir."_s);
            return ExitUsage;
        }
    }
    table.records = file.sheets.value(sheet).records;
    return ExitDone;
}

// The records not accepted, on standard error: the first ones by their
// place in the file, then how many more.
void listSkipped(const ImportPlan &plan)
{
    qsizetype listed = 0;
    qsizetype more = 0;
    for (qsizetype i = 0; i < plan.checks.size(); ++i) {
        const ImportCheck &check = plan.checks.at(i);
        if (check.accepted() || check.verdict == ImportVerdict::Blank)
            continue;
        if (listed == kListedRecords) {
            ++more;
            continue;
        }
        ++listed;
        Message(u"Satır %1: %2"_s.arg(plan.firstRecord() + i + 1).arg(ImportVerdictText(check)));
    }
    if (more > 0)
        Message(u"… ve %1 satır daha"_s.arg(QLocale().toString(more)));
}

int writeNotImported(const QString &path, const QList<QStringList> &table)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(WriteCsv(table)) < 0 || !file.flush()) {
        Message(u"Eklenmeyen satırlar yazılamadı: %1 (%2)"_s.arg(path, file.errorString()));
        return ExitUsage;
    }
    return ExitDone;
}

} // namespace

QList<QCommandLineOption> ImportCommandOptions()
{
    return {{u"group"_s, u"The group the contacts go to (its number or name)."_s, u"NAME|NO"_s},
            {u"keep-duplicates"_s, u"Also add records whose mobile number the group or an earlier record has."_s},
            {u"not-imported"_s, u"Write the records that did not go in, with their reason, to this CSV file."_s,
             u"FILE"_s},
            {u"sheet"_s, u"The sheet of a workbook to read (its name or place, 1 for the first; default: the first with rows)."_s,
             u"NAME|N"_s},
            {u"dry-run"_s, u"Check the file and print the counts; add nothing."_s}};
}

int RunImport(CliSession &session, const QCommandLineParser &parser)
{
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 2) {
        Message(u"Dosya verilmedi: velmor-sms import DOSYA --group GRUP"_s);
        return ExitUsage;
    }
    if (!parser.isSet(u"group"_s)) {
        Message(u"Grup verilmedi: kişilerin ekleneceği grubu --group ile veriniz."_s);
        return ExitUsage;
    }
    ImportPlan plan;
    if (const int status = readTable(arguments.at(1), parser, plan.table); status != ExitDone)
        return status;
    if (const int status = session.openAccount(); status != ExitDone)
        return status;
    if (const int status = session.findGroup(parser.value(u"group"_s), plan.groupNo); status != ExitDone)
        return status;
    if (plan.groupNo == u"0") {
        Message(u"Kişiler bir gruba eklenir: --group ile bir grup veriniz."_s);
        return ExitUsage;
    }

    const QList<QStringList> &records = plan.table.records;
    plan.hasHeader = DetectImportHeader(records);
    plan.mapping = ProposeImportMapping(records, plan.hasHeader);
    ImportOptions options;
    options.mapping = plan.mapping;
    options.hasHeader = plan.hasHeader;
    options.keepDuplicates = parser.isSet(u"keep-duplicates"_s);
    options.groupMobiles = GroupMobileNumbers(session.snapshot().contacts, plan.groupNo);
    plan.checks = CheckImportRecords(records, options);
    listSkipped(plan);

    // The model keeps the session the window shares; here it holds the
    // account just read.
    Session shared;
    shared.setSnapshot(session.snapshot());
    ContactImport run(session.service(), shared, plan);
    const qsizetype accepted = run.rowCount(); // the records that passed the checks
    const bool dryRun = parser.isSet(u"dry-run"_s);
    if (accepted > 0 && !dryRun) {
        QEventLoop loop;
        QObject::connect(&run, &ContactImport::finished, &loop, &QEventLoop::quit);
        run.start();
        loop.exec();
    }
    ImportSummary summary = run.summary();
    if (dryRun || accepted == 0) {
        // Nothing was sent: only the records refused by the checks did not go in.
        summary.notImported.removeIf([&plan](const NotImportedRecord &record) {
            return plan.checks.at(record.record - plan.firstRecord()).accepted();
        });
    }
    OutputLine(u"accepted\t%1"_s.arg(accepted));
    OutputLine(u"added\t%1"_s.arg(summary.added));
    OutputLine(u"skipped\t%1"_s.arg(summary.skipped));
    OutputLine(u"refused\t%1"_s.arg(summary.refused));
    OutputLine(u"unanswered\t%1"_s.arg(summary.unanswered));
    if (!dryRun && accepted > 0)
        Message(summary.text);
    if (parser.isSet(u"not-imported"_s) && !summary.notImported.isEmpty()) {
        if (const int status = writeNotImported(parser.value(u"not-imported"_s), run.notImportedTable(summary));
            status != ExitDone)
            return status;
    }

    if (accepted == 0) {
        Message(u"Dosyada eklenebilecek kişi yok."_s);
        return ExitUsage;
    }
    if (summary.unanswered > 0)
        return ExitUnknownOutcome;
    return summary.refused > 0 ? ExitRefused : ExitDone;
}

} // namespace velmor::cli
