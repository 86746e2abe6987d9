// A send from the command line, under the rules of the send window: the
// message as the message box would hold it, fields filled per recipient,
// one SMS per phone, nothing to the "Kara Liste" numbers, the cost against
// the balance.

#include "cli/clisession.h"
#include "cli/commands.h"
#include "cli/exitstatus.h"
#include "cli/terminal.h"
#include "model/numberfile.h"
#include "model/recipient.h"
#include "model/sendplan.h"
#include "model/sendrules.h"
#include "model/sendrunner.h"
#include "text/numberlist.h"
#include "text/number.h"

#include <QEventLoop>
#include <QFile>

using namespace Qt::StringLiterals;

namespace velmor::cli {

namespace {

// A message longer than this is no SMS campaign but a mistake (a file piped in).
constexpr qsizetype kLongestMessageBytes = 1024 * 1024;
// How many refused numbers are listed one by one.
constexpr qsizetype kListedRefusals = 20;

struct Numbers
{
    QList<Recipient> recipients;
    QStringList refused;
};

void addRead(Numbers &numbers, const MobileNumberList &read)
{
    for (const QString &number : read.numbers)
        numbers.recipients.append(TypedRecipient(number));
    numbers.refused.append(read.refused);
}

// The numbers of --to and --file, in that order.
int readNumbers(const QCommandLineParser &parser, Numbers &numbers)
{
    for (const QString &text : parser.values(u"to"_s))
        addRead(numbers, ReadMobileNumbers(text));
    for (const QString &path : parser.values(u"file"_s)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            Message(u"Numara dosyası okunamadı: %1 (%2)"_s.arg(path, file.errorString()));
            return ExitUsage;
        }
        addRead(numbers, ReadNumberFile(file.readAll()));
    }
    return ExitDone;
}

// The message from --message, or standard input, as the message box holds it.
int readMessage(const QCommandLineParser &parser, QString &boxText)
{
    QString typed;
    if (parser.isSet(u"message"_s)) {
        typed = parser.value(u"message"_s);
    } else {
        if (InputIsTerminal())
            Message(u"Mesajı yazınız; bitirmek için yeni bir satırda Ctrl-D'ye basınız:"_s);
        const std::optional<QByteArray> bytes = ReadStandardInput(kLongestMessageBytes);
        if (!bytes) {
            Message(u"Mesaj çok uzun (en çok %1 bayt)."_s.arg(kLongestMessageBytes));
            return ExitUsage;
        }
        typed = QString::fromUtf8(*bytes);
        // The line break that ends the input is no part of the message.
        while (typed.endsWith(u'\n') || typed.endsWith(u'\r'))
            typed.chop(1);
    }
    typed.replace(u"\r\n"_s, u"\n"_s);
    typed.replace(u'\r', u'\n');
    boxText = MessageBoxText(typed);
    if (boxText.trimmed().isEmpty()) {
        Message(u"Mesaj boş."_s);
        return ExitUsage;
    }
    return ExitDone;
}

// The approved sender name the user gave: as written, or in other letter case.
int chooseSender(const CliSession &session, const QCommandLineParser &parser, QString &sender)
{
    const QStringList approved = ApprovedSenderNames(session.snapshot().customer);
    const QString given = parser.value(u"sender"_s).trimmed();
    for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (const QString &name : approved) {
            if (name.trimmed().compare(given, cs) == 0) {
                sender = name;
                return ExitDone;
            }
        }
    }
    Message(approved.isEmpty() ? u"Onaylı gönderici adınız yok; gönderilemez."_s
                               : u"Onaylı bir gönderici adı değil: %1 (onaylı adlar: %2)"_s.arg(
                                     given, approved.join(u", "_s)));
    return ExitUsage;
}

// A text on one line of tab-separated output: "\" as "\\", line breaks as
// "\n", tabs as "\t".
QString escapedLine(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        if (ch == u'\\')
            out += u"\\\\"_s;
        else if (ch == u'\n')
            out += u"\\n"_s;
        else if (ch == u'\t')
            out += u"\\t"_s;
        else
            out += ch;
    }
    return out;
}

QString partsFigure(const SendPlan &plan)
{
    if (plan.fewestParts == plan.mostParts)
        return QString::number(plan.mostParts);
    return u"%1-%2"_s.arg(plan.fewestParts).arg(plan.mostParts);
}

void printDryRun(const SendPlan &plan, const QString &balance)
{
    QByteArray out;
    const auto line = [&out](const QString &text) { out += text.toUtf8() + '\n'; };
    line(u"recipients\t%1"_s.arg(plan.sendCount));
    line(u"repeats\t%1"_s.arg(plan.repeats));
    line(u"opted-out\t%1"_s.arg(plan.optedOut));
    line(u"requests\t%1"_s.arg(plan.requests.size()));
    line(u"parts\t"_s + partsFigure(plan));
    line(u"cost\t%1"_s.arg(plan.cost));
    line(u"balance\t"_s + balance);
    for (const PlannedRequest &request : plan.requests) {
        const QString tail = u'\t' + QString::number(request.parts) + u'\t' + escapedLine(request.text);
        for (const QString &number : request.numbers)
            line(u"sms\t"_s + number + tail);
    }
    Output(out);
}

QString planSummary(const SendPlan &plan, const QString &balance)
{
    QString text = u"%1 numaraya gönderilecek"_s.arg(plan.sendCount);
    if (const QString note = RecipientCountNote(plan); !note.isEmpty())
        text += u' ' + note;
    text += u"; %1, %2 kontör harcanacak; mevcut kontör: %3."_s.arg(PartRangeText(plan)).arg(plan.cost).arg(balance);
    if (plan.withoutNumber > 0)
        text += u"\n%1 kişinin cep telefonu numarası yok; onlara gönderilmeyecek."_s.arg(plan.withoutNumber);
    if (plan.requests.size() > 1)
        text += u"\nKişiye özel metinler %1 istekte gönderilecek."_s.arg(plan.requests.size());
    return text;
}

// Asks on a terminal (unless --yes); without one the send goes ahead.
bool confirmed(const QCommandLineParser &parser, const SendPlan &plan)
{
    const QString empty = EmptyFieldQuestion(plan.emptyFields);
    if (parser.isSet(u"yes"_s) || !InputIsTerminal()) {
        if (!empty.isEmpty())
            Message(u"Uyarı: "_s + empty.left(empty.indexOf(u" Gönderilsin mi?"_s)));
        return true;
    }
    if (!empty.isEmpty() && !AskYesNo(empty))
        return false;
    return AskYesNo(u"%1 kontör harcanacak. Gönderilsin mi?"_s.arg(plan.cost));
}

const char16_t *resultText(RequestResult result)
{
    switch (result) {
    case RequestResult::Sent:
        return u"gönderildi";
    case RequestResult::Refused:
        return u"reddedildi";
    case RequestResult::Unknown:
        return u"sonucu bilinmiyor";
    case RequestResult::NotSent:
        break;
    }
    return u"gönderilmedi";
}

int runSend(CliSession &session, const QString &sender, const SendPlan &plan)
{
    SendRunner runner(session.service(), session.customerNo(), sender, plan.requests);
    QEventLoop loop;
    QObject::connect(&runner, &SendRunner::finished, &loop, &QEventLoop::quit);
    runner.start();
    loop.exec();

    const SendRunSummary summary = runner.summary();
    if (plan.requests.size() > 1) {
        for (qsizetype i = 0; i < plan.requests.size(); ++i) {
            const RequestResult result = runner.results().at(i);
            if (result != RequestResult::Sent)
                Message(u"%1. istek (%2 numara): %3"_s.arg(i + 1).arg(plan.requests.at(i).recipientCount())
                            .arg(QStringView(resultText(result))));
        }
    }
    const bool allSent = summary.sentRequests == plan.requests.size();
    Message(allSent ? u"Mesajlarınız Gönderildi."_s : SendRunSummaryText(summary));

    // The balance as it now stands; the last answer's when the service gives none.
    const QString balance = session.fetchBalance();
    if (balance != u"--")
        OutputLine(balance);
    else if (!summary.balance.isEmpty() && SendSucceeded(summary.balance))
        OutputLine(PlainNumberText(LeadingNumber(summary.balance)));

    if (summary.unknownRequests > 0)
        return ExitUnknownOutcome;
    if (summary.refusedRequests > 0)
        return ExitRefused;
    if (!allSent)
        return ExitUnreachable; // a run given up on the service's clock
    return ExitDone;
}

} // namespace

QList<QCommandLineOption> SendOptions()
{
    return {
        {u"sender"_s, u"Approved sender name the SMS shows (velmor-sms senders)."_s, u"NAME"_s},
        {u"to"_s, u"Mobile numbers, separated by commas, blanks or line breaks; may be repeated."_s, u"NUMBERS"_s},
        {u"group"_s,
         u"The contacts of a group (its number or name; not those of its sub-groups); may be repeated. Their "
         "names fill the fields {Adi}, {Soyadi}, {AdSoyad}, {Il}, {Ilce}, {Gsm} of the message."_s,
         u"NAME|NO"_s},
        {u"file"_s, u"A file of numbers, one or more a line, or a CSV table with a number column; may be repeated."_s,
         u"FILE"_s},
        {u"message"_s, u"The message (default: read from standard input)."_s, u"TEXT"_s},
        {u"dry-run"_s, u"Print the recipients, parts, cost and balance; send nothing."_s},
        {u"yes"_s, u"Send without asking, also on a terminal."_s},
    };
}

int RunSend(CliSession &session, const QCommandLineParser &parser)
{
    if (!parser.isSet(u"sender"_s)) {
        Message(u"--sender verilmedi: mesajın hangi gönderici adıyla gideceğini yazınız (velmor-sms senders)."_s);
        return ExitUsage;
    }
    if (!parser.isSet(u"to"_s) && !parser.isSet(u"group"_s) && !parser.isSet(u"file"_s)) {
        Message(u"Alıcı verilmedi: --to, --group ya da --file kullanınız."_s);
        return ExitUsage;
    }
    Numbers typed;
    if (const int status = readNumbers(parser, typed); status != ExitDone)
        return status;
    if (const int status = session.openAccount(); status != ExitDone)
        return status;
    QString sender;
    if (const int status = chooseSender(session, parser, sender); status != ExitDone)
        return status;

    // The phone book's contacts first: a typed number that is also a
    // contact's gives way to the contact, whose fields it carries.
    QList<Recipient> recipients;
    for (const QString &group : parser.values(u"group"_s)) {
        QString groupNo;
        if (const int status = session.findGroup(group, groupNo); status != ExitDone)
            return status;
        recipients.append(GroupRecipients(session.snapshot(), groupNo));
    }
    recipients.append(typed.recipients);

    if (!typed.refused.isEmpty()) {
        QStringList listed = typed.refused.first(std::min(typed.refused.size(), kListedRefusals));
        if (typed.refused.size() > kListedRefusals)
            listed.append(u"… ve %1 tane daha"_s.arg(typed.refused.size() - kListedRefusals));
        Message(u"Cep telefonu numarası olarak okunamayanlar (gönderilmeyecek):\n  "_s + listed.join(u"\n  "_s));
    }

    QString message;
    if (const int status = readMessage(parser, message); status != ExitDone)
        return status;
    const SendPlan plan = PlanSend(PersonalisedMessage(message), recipients, OptOutList(session.snapshot()));
    if (plan.sendCount == 0) {
        if (plan.optedOut > 0)
            Message(u"Gönderilecek numara kalmadı %1."_s.arg(RecipientCountNote(plan)));
        else
            Message(u"Geçerli bir cep telefonu numarası yok; gönderilmedi."_s);
        return ExitUsage;
    }

    const QString balance = session.fetchBalance();
    if (balance == u"--") {
        Message(u"Kontör bilgisi alınamadı. "_s + session.unreachableMessage());
        return ExitUnreachable;
    }
    Message(planSummary(plan, balance));
    const bool covered = double(plan.cost) <= LeadingNumber(balance);
    if (parser.isSet(u"dry-run"_s)) {
        printDryRun(plan, balance);
        if (!covered)
            Message(u"Kontörünüz bu gönderime yetmiyor."_s);
        return ExitDone;
    }
    if (!covered) {
        Message(u"Kontörünüz yetmiyor: %1 kontör gerekli, %2 kontörünüz var. Gönderilmedi."_s.arg(plan.cost).arg(balance));
        return ExitRefused;
    }
    if (!confirmed(parser, plan)) {
        Message(u"Gönderilmedi."_s);
        return ExitDone;
    }
    return runSend(session, sender, plan);
}

} // namespace velmor::cli
