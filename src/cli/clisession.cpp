#include "cli/clisession.h"

#include "cli/exitstatus.h"
#include "cli/terminal.h"
#include "model/logincheck.h"
#include "model/recipient.h"
#include "model/sendrules.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace velmor::cli {

namespace {

QString environment(const char *name)
{
    return qEnvironmentVariable(name);
}

// The first line of a password file, when only its owner may read it.
int readPasswordFile(const QString &path, QString &password)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        Message(u"Şifre dosyası bulunamadı: %1"_s.arg(path));
        return ExitUsage;
    }
    if (info.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)) {
        Message(u"Şifre dosyasını başkaları da okuyabiliyor; kullanılmadı: %1\n"
                "Yalnız sahibinin okuyabilmesi için: chmod 600 %1"_s.arg(path));
        return ExitUsage;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Message(u"Şifre dosyası okunamadı: %1 (%2)"_s.arg(path, file.errorString()));
        return ExitUsage;
    }
    QByteArray line = file.readLine(64 * 1024);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    password = QString::fromUtf8(line);
    return ExitDone;
}

// A value from its option, else the environment, else the terminal.
int credential(const QString &fromOption, const char *variable, const QString &option, const QString &prompt,
               bool echo, QString &value)
{
    value = fromOption.isEmpty() ? environment(variable) : fromOption;
    if (!value.isEmpty())
        return ExitDone;
    if (!InputIsTerminal()) {
        Message(u"%1 verilmedi: %2 ortam değişkenini ya da %3 seçeneğini kullanınız."_s.arg(
            prompt, QString::fromLatin1(variable), option));
        return ExitUsage;
    }
    const std::optional<QString> typed = AskLine(prompt + u": "_s, echo);
    if (!typed || typed->isEmpty()) {
        Message(u"%1 girilmedi."_s.arg(prompt));
        return ExitUsage;
    }
    value = *typed;
    return ExitDone;
}

} // namespace

CliSession::CliSession(const ServiceOptions &options, const QCommandLineParser &parser,
                       const CredentialOptions &credentials)
    : m_options(options), m_parser(parser), m_credentials(credentials), m_service(MakeHttpTransport(options))
{
}

QString CliSession::unreachableMessage() const
{
    return u"Servise ulaşılamadı ya da servis yanıt vermedi: %1"_s.arg(m_options.serviceUrl.toString());
}

int CliSession::readCredentials(QString &user, QString &password)
{
    int status = credential(m_parser.value(m_credentials.customer), "VELMOR_CARI", u"--customer"_s, u"Cari kodu"_s,
                            true, m_customerNo);
    m_customerNo = m_customerNo.trimmed();
    if (status == ExitDone)
        status = credential(m_parser.value(m_credentials.user), "VELMOR_KULLANICI", u"--user"_s, u"Kullanıcı adı"_s,
                            true, user);
    if (status != ExitDone)
        return status;
    if (m_parser.isSet(m_credentials.passwordFile))
        return readPasswordFile(m_parser.value(m_credentials.passwordFile), password);
    return credential({}, "VELMOR_SIFRE", u"--password-file"_s, u"Şifre"_s, false, password);
}

int CliSession::logIn()
{
    QString user;
    QString password;
    if (const int status = readCredentials(user, password); status != ExitDone)
        return status;
    const QString record = FetchLoginRecord(m_service, m_customerNo);
    if (m_service.lastOutcome() != RequestOutcome::Answered) {
        Message(unreachableMessage());
        return ExitUnreachable;
    }
    const LoginCheckResult result = CheckLogin(record, user, password);
    switch (result.outcome) {
    case LoginOutcome::Success:
        return ExitDone;
    case LoginOutcome::ServerError:
        Message(LoginMessage(result.outcome));
        return ExitUnreachable;
    case LoginOutcome::UnknownCustomer:
    case LoginOutcome::Inactive:
    case LoginOutcome::WrongUser:
    case LoginOutcome::WrongPassword:
        break;
    }
    Message(LoginMessage(result.outcome));
    return ExitLoginRefused;
}

int CliSession::loadAccount()
{
    const RefreshResult result = RefreshAccountSnapshot(m_service, m_snapshot, m_customerNo);
    if (result == RefreshResult::TooLarge) {
        // Nothing this program can use, as with a report over its limits.
        Message(AccountTooLargeMessage());
        return ExitUnreachable;
    }
    if (result != RefreshResult::Loaded) {
        Message(u"Hesap bilgileri alınamadı. "_s + unreachableMessage());
        return ExitUnreachable;
    }
    return ExitDone;
}

int CliSession::openAccount()
{
    const int status = logIn();
    return status == ExitDone ? loadAccount() : status;
}

int CliSession::findGroup(const QString &numberOrName, QString &groupNo) const
{
    if (numberOrName.trimmed() == u"0") {
        groupNo = u"0"_s;
        return ExitDone;
    }
    const QList<qsizetype> found = FindGroups(m_snapshot.groups, numberOrName);
    if (found.size() == 1) {
        groupNo = m_snapshot.groups.at(found.constFirst()).Grup_No;
        return ExitDone;
    }
    if (found.isEmpty()) {
        Message(u"Grup bulunamadı: %1 (gruplar: velmor-sms groups)"_s.arg(numberOrName));
        return ExitUsage;
    }
    QStringList numbers;
    for (const qsizetype i : found)
        numbers.append(m_snapshot.groups.at(i).Grup_No);
    Message(u"Bu adda birden çok grup var: %1 (numaraları %2); grubu numarasıyla veriniz."_s.arg(
        numberOrName, numbers.join(u", "_s)));
    return ExitUsage;
}

QString CliSession::fetchBalance() const
{
    return CreditBalanceFromPayload(FetchCreditBalancePayload(m_service, m_customerNo));
}

} // namespace velmor::cli
