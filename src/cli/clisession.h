#pragma once

#include "model/snapshot.h"
#include "service/service.h"
#include "service/serviceoptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include <memory>

namespace velmor::cli {

// The options every command takes for the login: the customer code and the
// user name (each also from the environment) and a file with the password.
struct CredentialOptions
{
    QCommandLineOption customer{QStringLiteral("customer"), QStringLiteral("Customer code (default: $VELMOR_CARI)."),
                                QStringLiteral("CODE")};
    QCommandLineOption user{QStringLiteral("user"), QStringLiteral("User name (default: $VELMOR_KULLANICI)."),
                            QStringLiteral("NAME")};
    QCommandLineOption passwordFile{
        QStringLiteral("password-file"),
        u"File whose first line is the password (default: $VELMOR_SIFRE); refused when the group or others "
        "may read it."_qs,
        QStringLiteral("FILE")};

    void addTo(QCommandLineParser &parser) const { parser.addOptions({customer, user, passwordFile}); }
};

// A run of one command: the service it talks to, the login and the
// account it reads. Each step prints its own Turkish message when it fails
// and gives the exit status to end with (ExitDone when it went through).
class CliSession
{
public:
    CliSession(const ServiceOptions &options, const QCommandLineParser &parser, const CredentialOptions &credentials);

    const Service &service() const { return m_service; }
    const ServiceOptions &options() const { return m_options; }

    // The credentials from the options, the environment or the terminal,
    // checked as the login window checks them (command 4).
    int logIn();
    // The account after the login (command 1).
    int loadAccount();
    // Both, for the commands that read the account.
    int openAccount();

    const QString &customerNo() const { return m_customerNo; }
    const AccountSnapshot &snapshot() const { return m_snapshot; }

    // The group a user names by number or name ("0": every contact), as
    // its number; ExitUsage, after saying why, when none or several match.
    int findGroup(const QString &numberOrName, QString &groupNo) const;

    // The balance (command 2) as its figure; "--" when the service gave none.
    QString fetchBalance() const;
    // The Turkish message for a service that gave nothing usable.
    QString unreachableMessage() const;

private:
    int readCredentials(QString &user, QString &password);

    ServiceOptions m_options;
    const QCommandLineParser &m_parser;
    const CredentialOptions &m_credentials;
    Service m_service;
    QString m_customerNo;
    AccountSnapshot m_snapshot;
};

} // namespace velmor::cli
