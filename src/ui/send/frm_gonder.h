#pragma once

#include "ui/common/childwindow.h"

#include "model/snapshot.h"
#include "ui/send/messagetemplates.h"
#include "model/sendrules.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QTreeWidgetItem;

namespace velmor {

class ContactTableModel;
class GroupTree;
class MessageEdit;
class Service;
class Session;

// The send window: message, recipients, sender name, balance and cost. Opens
// with the group tree built from the snapshot and the balance read from the
// service; everything after that is the user's.
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
    const QString &chosenKeys() const { return m_chosenKeys; }
    bool isChosen(const QString &markKey) const { return m_chosenSet.contains(markKey); }
    // Chosen contacts and numbers from outside the phone book.
    const QList<Contact> &recipients() const { return m_recipients; }
    // The candidate set: positions in the contact list of the snapshot last read.
    const QList<int> &candidates() const { return m_candidates; }

    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void fillSenderNames();
    void messageChanged();
    void updateRecipientCount();
    void mergeRecipients(QList<Contact> added);
    // Takes the recipients at these rows off the list and out of ChosenKeys.
    void removeRecipientRows(const QList<int> &rows);
    void dropOutsideNumbersOf(const QList<Contact> &added);
    void fillTemplateNames();
    void templateChosen(int index);
    void saveTemplate();
    void deleteTemplate();
    void setFigure(QLabel *label, const QString &text);
    void applyCost(const CostDecision &decision);
    void selectAllCandidates();
    void clearCandidateSelection();
    void updateButtons();
    QList<int> selectedRows(const QTreeView *view) const;
    bool hasSenderName() const;

    const Service &m_service;
    Session &m_session;

    GroupTree *m_groupTree = nullptr;           // TreeView1
    QLineEdit *m_search = nullptr;              // text1
    QTreeView *m_groupList = nullptr;           // ListView2
    QTreeView *m_recipientList = nullptr;       // ListView3
    QPushButton *m_selectAll = nullptr;         // Cmd_Sec
    QPushButton *m_selectNone = nullptr;        // Cmd_Secim_iptal
    QLabel *m_recipientCount = nullptr;         // Label2_0
    QLabel *m_withoutNumber = nullptr;          // lblNumarasiYok
    QLineEdit *m_addNumber = nullptr;           // txtNumaraEkle
    QPushButton *m_addNumberButton = nullptr;   // cmdNumaraEkle
    MessageEdit *m_message = nullptr;           // Text2
    QLabel *m_messageLength = nullptr;          // Label2_1
    QLabel *m_partInformation = nullptr;        // lblMesajBilgisi
    QComboBox *m_templateName = nullptr;        // cmbSablon
    QPushButton *m_saveTemplate = nullptr;      // cmdSablonKaydet
    QPushButton *m_deleteTemplate = nullptr;    // cmdSablonSil
    QComboBox *m_senderName = nullptr;          // Combo1
    QLabel *m_noSenderNote = nullptr;           // lblGondericiYok
    QPushButton *m_send = nullptr;              // cmdGonder
    QLabel *m_balance = nullptr;                // Label6
    QLabel *m_cost = nullptr;                   // Label7
    QPushButton *m_add = nullptr;               // Cmd_Lst_Ekle
    QPushButton *m_remove = nullptr;            // Cmd_Lst_Cikar

    ContactTableModel *m_groupModel = nullptr;
    ContactTableModel *m_recipientModel = nullptr;

    // The contact list of the snapshot as the candidates were last taken from
    // it; shared with the snapshot, so a reload meanwhile cannot pull rows
    // from under the lists.
    QList<Contact> m_source;
    QList<int> m_candidates;
    // The rows of the group list (positions in m_source).
    ContactFilter m_filter;
    // Recipients, ascending by record number compared as text.
    QList<Contact> m_recipients;
    // ChosenKeys: the text form in adding order, the same keys one by one in
    // that order (so that the text is rebuilt without parsing it: a record
    // number may hold "#" itself), and as a set.
    QString m_chosenKeys;
    QStringList m_chosenOrder;
    QSet<QString> m_chosenSet;
    // Recipients with a number to send to; only they count in the cost.
    qsizetype m_reachable = 0;
    qsizetype m_outsideCount = 0;

    MessageTemplateStore m_templates;

};

} // namespace velmor
