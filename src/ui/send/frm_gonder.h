#pragma once

#include "ui/common/childwindow.h"

#include "model/recipient.h"
#include "model/sendplan.h"
#include "model/snapshot.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace velmor {

class MessagePanel;
class RecipientPicker;
class SendingPanel;
class Service;
class Session;

// The send window: message, recipients, sender name, balance and cost. Opens
// with the group tree built from the snapshot and the balance read from the
// service; everything after that is the user's. A frame around three panels:
// the recipient picker and the message panel say when they change, and the
// window plans the send they make up (each recipient's text, one SMS per
// phone, nothing to the opt-out list, the cost) and hands it to the sending
// panel, with what the plan says to the other two.
class Frm_Gonder : public ChildWindow
{
    Q_OBJECT

public:
    Frm_Gonder(const Service &service, Session &session, QWidget *parent = nullptr);
    ~Frm_Gonder() override;

    // The recipient picker's steps (RecipientPicker tells what each does).
    void FillGroupTree();
    void ShowGroupContacts();
    void FilterGroupContacts();
    void AddRecipients();
    void RemoveRecipients();
    void AddNumbers();

    // The sending panel's steps (SendingPanel tells what each does).
    QString FetchCreditBalance(const QString &customerNo);
    void CalculateCost();
    void BalanceClick();
    void SendClick();
    QString SendSms(const QString &customerNo, const QString &senderName, const QString &messageType,
                    const QString &message, const QString &phoneList, const QString &partCount);

    // The recipients: ChosenKeys (the MarkKeys in adding order), the chosen
    // contacts and numbers, and the candidates (positions in the contact
    // list of the snapshot last read).
    const QString &chosenKeys() const;
    bool isChosen(const QString &markKey) const;
    const QList<Contact> &recipients() const;
    const QList<int> &candidates() const;

    // A send again to numbers of the delivery report: the numbers
    // (normalised mobile numbers) become the recipients and the message
    // fills the message box, after asking when the window already holds
    // others; says so when the rows carried several messages. Nothing is
    // sent until the user sends. False when the user kept what was there.
    bool prepareResend(const QStringList &numbers, const QString &message, bool severalMessages);

    // "Önizleme": the message as the first recipient, and the one with the
    // longest text, will receive it.
    void ShowPreview();

    QSize sizeHint() const override;

protected:
    bool refusesToClose() const override;

private:
    void buildPanels();
    // Plans the send of the message as it now stands to the recipients and
    // hands it to the sending panel; true when the cost changed.
    bool prepareSend();
    void recipientsChanged();
    void snapshotChanged();

    RecipientPicker *m_picker = nullptr;
    MessagePanel *m_message = nullptr;
    SendingPanel *m_sending = nullptr;
    const Session &m_session;

    // The recipients as the send takes them, and the numbers never sent to.
    QList<Recipient> m_sendRecipients;
    OptOutList m_optOut;
    // Whether the last plan was of a message without fields for the
    // recipients and opt-out list as they are: then a plain message typed
    // on only changes its text and cost.
    bool m_plainPlanCurrent = false;
};

} // namespace velmor
