// The delivery report of a date range, for programs.

#include "cli/clisession.h"
#include "cli/commands.h"
#include "cli/exitstatus.h"
#include "cli/output.h"
#include "cli/terminal.h"
#include "model/deliveryreport.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace velmor::cli {

namespace {

// A date given as YYYY-MM-DD, as the service takes it (YYYYMMDD); the empty
// text when none was given.
int readDate(const QCommandLineParser &parser, const QString &option, QString &date)
{
    date.clear();
    if (!parser.isSet(option))
        return ExitDone;
    const QString text = parser.value(option).trimmed();
    const QDate day = QDate::fromString(text, u"yyyy-MM-dd"_s);
    if (!day.isValid()) {
        Message(u"--%1: YYYY-AA-GG biçiminde bir tarih bekleniyordu: %2"_s.arg(option, parser.value(option)));
        return ExitUsage;
    }
    date = day.toString(u"yyyyMMdd"_s);
    return ExitDone;
}

} // namespace

QList<QCommandLineOption> ReportOptions()
{
    return {{u"from"_s, u"First day of the report (default: the beginning)."_s, u"YYYY-MM-DD"_s},
            {u"to"_s, u"Last day of the report, included (default: today and later)."_s, u"YYYY-MM-DD"_s},
            FormatOption()};
}

int RunReport(CliSession &session, const QCommandLineParser &parser)
{
    TableFormat format = TableFormat::Csv;
    QString from;
    QString to;
    for (const int status : {ReadFormat(parser, format), readDate(parser, u"from"_s, from),
                             readDate(parser, u"to"_s, to)}) {
        if (status != ExitDone)
            return status;
    }
    // The names come from the phone book, as in the report window.
    if (const int status = session.openAccount(); status != ExitDone)
        return status;

    const auto [first, last] = ReportDateRange(from, to);
    const std::optional<QString> section = FetchDeliveryReportSection(session.service(), session.customerNo(), first, last);
    if (!section) {
        Message(u"İletim raporu alınamadı. "_s + session.unreachableMessage());
        return ExitUnreachable;
    }
    static const QStringList keys = {u"number"_s,  u"name"_s,    u"sent"_s,
                                     u"delivered"_s, u"message"_s, u"state"_s};
    const DeliveryReportReading reading = ReadDeliveryReport(*section, session.snapshot().contacts);
    if (reading.refusal != DeliveryReportReading::Refusal::None) {
        Message(ReportRefusalMessage(reading.refusal));
        return ExitUnreachable;
    }
    QList<QStringList> rows;
    for (const DeliveryReportRow &row : reading.rows)
        rows.append({row.phone, row.name, IsoReportStamp(row.sent), IsoReportStamp(row.settled), row.message, row.state});
    WriteTable(format, keys, rows);
    return ExitDone;
}

} // namespace velmor::cli
