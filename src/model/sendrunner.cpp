#include "model/sendrunner.h"

#include "model/sendrules.h"
#include "service/service.h"

#include <QTimer>

namespace velmor {

QString SendRunSummaryText(const SendRunSummary &summary)
{
    QStringList parts;
    if (summary.sentRecipients > 0)
        parts.append(QStringLiteral("%1 numaraya gönderildi").arg(summary.sentRecipients));
    if (summary.refusedRecipients > 0)
        parts.append(QStringLiteral("%1 numaraya gönderim reddedildi").arg(summary.refusedRecipients));
    if (summary.unknownRecipients > 0)
        parts.append(QStringLiteral("%1 numaranın sonucu bilinmiyor (gönderilmiş de olabilir; sonucu İletim "
                                    "Raporları gösterir)")
                         .arg(summary.unknownRecipients));
    if (summary.notSentRecipients > 0)
        parts.append(QStringLiteral("%1 numaraya gönderilmedi").arg(summary.notSentRecipients));
    if (parts.isEmpty())
        return QStringLiteral("Gönderilecek mesaj yoktu.");
    return parts.join(QStringLiteral(", ")) + u'.';
}

SendRunner::SendRunner(const Service &service, QString customerNo, QString senderName,
                       QList<PlannedRequest> requests, QObject *parent)
    : QObject(parent), m_service(service), m_customerNo(std::move(customerNo)), m_senderName(std::move(senderName)),
      m_requests(std::move(requests)), m_results(m_requests.size(), RequestResult::NotSent)
{
}

void SendRunner::start()
{
    if (m_running)
        return;
    m_running = true;
    m_stopRequested = false;
    m_next = 0;
    m_results.fill(RequestResult::NotSent);
    m_balance.clear();
    QTimer::singleShot(0, this, &SendRunner::sendNext);
}

void SendRunner::stop()
{
    m_stopRequested = true;
}

void SendRunner::sendNext()
{
    if (m_stopRequested || m_next >= m_requests.size()) {
        finish();
        return;
    }
    const qsizetype index = m_next++;
    emit requestStarted(index, m_requests.size());
    const RequestResult result = sendOne(m_requests.at(index));
    m_results[index] = result;
    // Giving up on a request's reply, or on its clock, is giving up the run.
    if (result == RequestResult::Unknown || m_service.lastOutcome() == RequestOutcome::Abandoned)
        m_stopRequested = true;
    emit requestFinished(index, result);
    QTimer::singleShot(0, this, &SendRunner::sendNext);
}

RequestResult SendRunner::sendOne(const PlannedRequest &request)
{
    bool posted = false;
    const QString reply = SendSms(m_service, m_customerNo, m_senderName, QStringLiteral("1"),
                                  MessageForSending(request.text), request.telephoneList(),
                                  QString::number(request.parts), &posted);
    if (!posted)
        return RequestResult::NotSent;
    if (m_service.lastOutcome() != RequestOutcome::Answered)
        return RequestResult::Unknown;
    const std::optional<QString> balance = FindTagSection(reply, QStringLiteral("<SMSGonderim>"));
    if (!balance)
        return RequestResult::Unknown; // an answer without the section says nothing about the send
    m_balance = *balance;
    return SendSucceeded(*balance) ? RequestResult::Sent : RequestResult::Refused;
}

void SendRunner::finish()
{
    m_running = false;
    emit finished();
}

SendRunSummary SendRunner::summary() const
{
    SendRunSummary summary;
    for (qsizetype i = 0; i < m_requests.size(); ++i) {
        const qsizetype recipients = m_requests.at(i).recipientCount();
        switch (m_results.at(i)) {
        case RequestResult::Sent:
            ++summary.sentRequests;
            summary.sentRecipients += recipients;
            break;
        case RequestResult::Refused:
            ++summary.refusedRequests;
            summary.refusedRecipients += recipients;
            break;
        case RequestResult::Unknown:
            ++summary.unknownRequests;
            summary.unknownRecipients += recipients;
            break;
        case RequestResult::NotSent:
            ++summary.notSentRequests;
            summary.notSentRecipients += recipients;
            break;
        }
    }
    summary.stopped = summary.notSentRequests > 0;
    summary.balance = m_balance;
    return summary;
}

} // namespace velmor
