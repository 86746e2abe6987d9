#pragma once

#include "model/personalisedmessage.h"
#include "model/sendplan.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

namespace velmor {

class SendProgressDialog;
class SendRunner;
class Service;
class Session;
struct CostDecision;

// A send as the window prepares it from the recipients and the message.
struct PreparedSend
{
    qsizetype recipientCount = 0; // the rows of the recipient list
    PersonalisedMessage message;  // as the message box holds it
    qsizetype messageLength = 0;  // of the message as typed, as the service counts it
    SendPlan plan;                // what goes to whom, and the cost
};

// The sending panel: the sender name, the balance, the cost and the send
// button, and the send itself: one request for one text, or a run of
// requests (one per distinct text of a personalised message) under a
// progress dialog that can stop it between two requests. Sends what the
// window last prepared; never looks at the other panels.
class SendingPanel : public QWidget
{
    Q_OBJECT

public:
    // Runs one exchange with the service on behalf of the window (which
    // refuses to close meanwhile) and returns its payload.
    using RequestRunner = std::function<QString(const std::function<QString()> &)>;

    SendingPanel(const Service &service, const Session &session, RequestRunner runRequest,
                 QWidget *parent = nullptr);

    // Puts a row of commands at the top of the commands frame, and into the
    // tab order between the sender name and the send button.
    void placeListCommands(QWidget *row);

    // Fills the sender names from the customer record (the first one chosen).
    void fillSenderNames();
    // Asks the service for the balance and shows it.
    void refreshBalance();

    // What the next send is; the cost follows on CalculateCost.
    void setPreparedSend(PreparedSend send) { m_prepared = std::move(send); }
    const PreparedSend &preparedSend() const { return m_prepared; }
    // True while a run of several requests is under way.
    bool isSending() const { return m_run != nullptr; }

    // The balance figure for the customer: the number, or "--".
    QString FetchCreditBalance(const QString &customerNo);
    // Recomputes the cost figure and the send button from the two counts.
    void CalculateCost();
    // A click on the balance figure: re-applies the send button rule.
    void BalanceClick();
    // The send button: sends the prepared message to its recipients.
    void SendClick();
    // Command 13 then command 3; the decoded payload of the send.
    QString SendSms(const QString &customerNo, const QString &senderName, const QString &messageType,
                    const QString &message, const QString &phoneList, const QString &partCount);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyCost(const CostDecision &decision);
    bool hasSenderName() const;
    bool nobodyToReach() const;
    // One command 3 for the one text of the send.
    void sendOne(const PlannedRequest &request);
    // The requests one after the other; the summary comes when the run ends.
    void startRun(const QList<PlannedRequest> &requests);
    void finishRun();

    const Service &m_service;
    const Session &m_session;
    RequestRunner m_runRequest;

    QComboBox *m_senderName = nullptr; // Combo1
    QLabel *m_noSenderNote = nullptr;  // lblGondericiYok
    QLabel *m_balance = nullptr;       // Label6
    QLabel *m_cost = nullptr;          // Label7
    QPushButton *m_send = nullptr;     // cmdGonder
    QGridLayout *m_commandsLayout = nullptr;

    PreparedSend m_prepared;
    SendRunner *m_run = nullptr;
    SendProgressDialog *m_progress = nullptr;
};

} // namespace velmor
