#pragma once

#include "service/transport.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

namespace velmor {

// Cuts out the text strictly between the first occurrence of tag and the next
// one, both searched without regard to letter case.
QString GetTagText(const QString &text, const QString &tag);
// The same section, telling a missing one (fewer than two occurrences of the
// tag: nothing) from an empty one (two with nothing between: the empty text).
std::optional<QString> FindTagSection(const QString &text, const QString &tag);

// Builds a request body: "Rehber=<code>" then "&name=value" per field, in the
// order added. Plain values are percent-encoded as form values so that "&",
// "=", "+" or "%" in them cannot split the body; coded values pass through
// CodeText mode "0" and are digits.
class RequestBody
{
public:
    explicit RequestBody(int command);
    RequestBody &plain(QStringView name, const QString &value);
    RequestBody &coded(QStringView name, const QString &value);
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// The service client: holds the transport given at start-up. Every command is
// a free function below taking it; none of them ever throws.
class Service
{
public:
    explicit Service(std::shared_ptr<Transport> transport);

    // Posts the body and returns the decoded payload, or the empty text.
    QString PostCommand(const QByteArray &body) const;
    QString PostCommand(const RequestBody &body) const { return PostCommand(body.bytes()); }

    Transport &transport() const { return *m_transport; }

    // True while a request waits for its reply. The wait runs a local event
    // loop, so a window asked to close meanwhile can tell and refuse.
    bool requestInFlight() const { return m_inFlight > 0; }
    // How the last request ended. A caller whose request changes data on the
    // service tells by it whether the user gave up waiting (Abandoned), in
    // which case the change may have been carried out all the same.
    RequestOutcome lastOutcome() const { return m_transport ? m_transport->lastOutcome() : RequestOutcome::Failed; }

private:
    std::shared_ptr<Transport> m_transport;
    mutable int m_inFlight = 0;
};

// Account data (command 1).
QString FetchAccountData(const Service &service, const QString &customerNo);
// Credit balance (command 2), the raw payload.
QString FetchCreditBalancePayload(const Service &service, const QString &customerNo);
// Send (command 3). Date and time are YYYYMMDD and HHNNSS.
QString SendSmsCommand(const Service &service, const QString &customerNo, const QString &senderName,
                       const QString &messageType, const QString &message, const QString &phoneList,
                       const QString &partCount, const QString &date, const QString &time);
// Login record (command 4) for the customer code as typed.
QString FetchLoginRecord(const Service &service, const QString &customerCode);
// Customer details (command 5); the fields of the customer details screen.
QString SaveCustomerDetails(const Service &service, const QString &customerNo, const QString &details,
                            const QString &name1, const QString &name2, const QString &name3);
// Phone book (commands 6 to 11, 14).
QString UpdateContact(const Service &service, const QString &recordNo, const QString &contactData);
QString DeleteContact(const Service &service, const QString &recordNo);
QString AddContact(const Service &service, const QString &customerNo, const QString &contactData);
QString AddGroup(const Service &service, const QString &customerNo, const QString &parentGroupNo,
                 const QString &groupName);
QString DeleteGroups(const Service &service, const QString &customerNo, const QString &groupNoList,
                     const QString &upperGroupNo);
QString RenameGroup(const Service &service, const QString &customerNo, const QString &groupNo,
                    const QString &newName);
QString MoveContact(const Service &service, const QString &recordNo, const QString &targetGroupNo);
// Delivery report (command 12) for the date range, dates as YYYYMMDD: the
// "<iletimRpr>" section of the payload, or nothing when the reply held no
// such section (no reply, no envelope, a payload without the section); an
// empty section, nothing sent in the range, is the empty text.
std::optional<QString> FetchDeliveryReportSection(const Service &service, const QString &customerNo,
                                                  const QString &fromDate, const QString &toDate);
// The same, with a missing section given as the empty text.
QString FetchDeliveryReport(const Service &service, const QString &customerNo, const QString &fromDate,
                            const QString &toDate);
// Service clock (command 13): fourteen digits YYYYMMDDHHNNSS, or the empty text.
QString FetchServerTime(const Service &service);
// Newest release (command 30): "version|package", or the empty text.
QString FetchLatestVersion(const Service &service);

} // namespace velmor
