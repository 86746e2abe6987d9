#pragma once

#include "ui/common/childwindow.h"

#include "model/snapshot.h"

#include <QList>
#include <QString>

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
// window hands the send they make up to the sending panel.
class Frm_Gonder : public ChildWindow
{
    Q_OBJECT

public:
    Frm_Gonder(const Service &service, Session &session, QWidget *parent = nullptr);
    ~Frm_Gonder() override;

    // Builds the group tree from the snapshot, shows every contact and starts
    // with no recipients.
    void FillGroupTree();
    // Refills the candidates from the current snapshot: the contacts of the
    // chosen node that are not recipients ("Tümü": every contact).
    void ShowGroupContacts();
    // Narrows the candidates by the search text into the group list.
    void FilterGroupContacts();
    // Moves the selected rows of the group list to the recipient list.
    void AddRecipients();
    // Takes the selected rows off the recipient list.
    void RemoveRecipients();
    // Adds the numbers written in "Numara Ekle" as recipients; says which
    // were not added and leaves those in the field.
    void AddNumbers();
    // The balance figure for the customer: the number, or "--".
    QString FetchCreditBalance(const QString &customerNo);
    // Recomputes the cost figure and the send button from the two counts.
    void CalculateCost();
    // A click on the balance figure: re-applies the send button rule.
    void BalanceClick();
    // The send button: sends the message to the recipient list.
    void SendClick();
    // Command 13 then command 3; the decoded payload of the send.
    QString SendSms(const QString &customerNo, const QString &senderName, const QString &messageType,
                    const QString &message, const QString &phoneList, const QString &partCount);

    // The MarkKeys of the recipients in the order they were added.
    const QString &chosenKeys() const;
    bool isChosen(const QString &markKey) const;
    // Chosen contacts and numbers from outside the phone book.
    const QList<Contact> &recipients() const;
    // The candidate set: positions in the contact list of the snapshot last read.
    const QList<int> &candidates() const;

    QSize sizeHint() const override;

private:
    void buildPanels();
    // Hands the recipients and the message as they now stand to the sending panel.
    void prepareSend();

    RecipientPicker *m_picker = nullptr;
    MessagePanel *m_message = nullptr;
    SendingPanel *m_sending = nullptr;
};

} // namespace velmor
