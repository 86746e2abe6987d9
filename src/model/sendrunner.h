#pragma once

#include "model/sendplan.h"

#include <QList>
#include <QObject>
#include <QString>

namespace velmor {

class Service;

// What became of one request of a send.
enum class RequestResult : quint8 {
    NotSent, // the run stopped before it (or the user gave up before the message left)
    Sent,    // the service took it and said what balance is left
    Refused, // the service answered, and not with a balance
    Unknown, // no readable answer: the reply was lost or abandoned; the delivery report tells
};

struct SendRunSummary
{
    // Requests by result, and the recipients (SMS) they carried.
    qsizetype sentRequests = 0;
    qsizetype refusedRequests = 0;
    qsizetype unknownRequests = 0;
    qsizetype notSentRequests = 0;
    qsizetype sentRecipients = 0;
    qsizetype refusedRecipients = 0;
    qsizetype unknownRecipients = 0;
    qsizetype notSentRecipients = 0;
    bool stopped = false; // stopped before the last request
    QString balance;      // the balance the last answered request left, or the empty text
};

// The summary of a run in Turkish, for a message box or standard error:
// "41 numaraya gönderildi, 3 numaraya gönderilmedi." (numbers, not requests).
QString SendRunSummaryText(const SendRunSummary &summary);

// Sends the requests of a plan one after the other: each as the send window
// sends one message (SendSms: the service's clock, then command 3). Between
// two requests control goes back to the event loop, so that a stop() asked
// for meanwhile (a "Vazgeç" button, a signal) is honoured before the next
// one leaves. After a request with an unknown outcome nothing further is
// sent: a service that lost one reply is not sent more blind.
class SendRunner : public QObject
{
    Q_OBJECT

public:
    SendRunner(const Service &service, QString customerNo, QString senderName, QList<PlannedRequest> requests,
               QObject *parent = nullptr);

    // Starts the run from the event loop; finished() ends it.
    void start();
    // No further request is started; the one under way runs to its end.
    void stop();

    bool isRunning() const { return m_running; }
    const QList<PlannedRequest> &requests() const { return m_requests; }
    const QList<RequestResult> &results() const { return m_results; }
    SendRunSummary summary() const;

signals:
    void requestStarted(qsizetype index, qsizetype count);
    void requestFinished(qsizetype index, velmor::RequestResult result);
    void finished();

private:
    void sendNext();
    RequestResult sendOne(const PlannedRequest &request);
    void finish();

    const Service &m_service;
    QString m_customerNo;
    QString m_senderName;
    QList<PlannedRequest> m_requests;
    QList<RequestResult> m_results;
    QString m_balance;
    qsizetype m_next = 0;
    bool m_running = false;
    bool m_stopRequested = false;
};

} // namespace velmor
