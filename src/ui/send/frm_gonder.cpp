#include "ui/send/frm_gonder.h"

#include "model/session.h"
#include "ui/common/listview.h"
#include "ui/common/messagebox.h"
#include "ui/send/messagepanel.h"
#include "ui/send/recipientpicker.h"
#include "ui/send/sendingpanel.h"
#include "ui/send/sendpreview.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace velmor {

Frm_Gonder::Frm_Gonder(const Service &service, Session &session, QWidget *parent)
    : ChildWindow(parent), m_session(session), m_optOut(session.snapshot())
{
    setObjectName(QStringLiteral("Frm_Gonder"));
    setWindowTitle(QStringLiteral("SMS Gönder"));

    m_picker = new RecipientPicker(session, this);
    m_message = new MessagePanel(this);
    m_sending = new SendingPanel(
        service, session, [this](const std::function<QString()> &exchange) { return runRequest(exchange); }, this);
    buildPanels();
    resize(sizeHint());

    // The main window gives the icon and the place when it puts the window
    // into its area; the rest of the opening happens here, in this order.
    m_sending->fillSenderNames();
    m_message->clear();
    FillGroupTree();
    m_sending->refreshBalance();
    m_message->loadTemplates();
}

Frm_Gonder::~Frm_Gonder() = default;

QSize Frm_Gonder::sizeHint() const
{
    return {Twips(15600), Twips(9900)};
}

void Frm_Gonder::buildPanels()
{
    // The recipient list's two commands stand in the commands frame, above the balance.
    m_sending->placeListCommands(m_picker->listCommands());

    auto *lower = new QHBoxLayout;
    lower->addWidget(m_message, 5);
    lower->addWidget(m_sending, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_picker, 3);
    layout->addLayout(lower, 1);

    // A change of the recipients recomputes the cost at once; a change of the
    // message when its length changed, or (fields in it) its cost.
    connect(m_picker, &RecipientPicker::recipientsChanged, this, &Frm_Gonder::recipientsChanged);
    connect(m_message, &MessagePanel::messageChanged, this, [this] {
        if (prepareSend())
            m_sending->CalculateCost();
    });
    connect(m_message, &MessagePanel::lengthChanged, m_sending, &SendingPanel::CalculateCost);
    connect(m_message, &MessagePanel::previewRequested, this, &Frm_Gonder::ShowPreview);
    connect(&m_session, &Session::snapshotChanged, this, &Frm_Gonder::snapshotChanged);
}

void Frm_Gonder::recipientsChanged()
{
    m_sendRecipients = m_picker->recipients().sendRecipients();
    m_plainPlanCurrent = false;
    prepareSend();
    m_sending->CalculateCost();
}

void Frm_Gonder::snapshotChanged()
{
    // A number put into the opt-out list meanwhile is left out from now on.
    m_optOut = OptOutList(m_session.snapshot());
    m_plainPlanCurrent = false;
    if (prepareSend())
        m_sending->CalculateCost();
}

bool Frm_Gonder::prepareSend()
{
    PersonalisedMessage message(m_message->message());
    const bool plain = !message.hasFields();
    SendPlan plan = plain && m_plainPlanCurrent ? ReplanPlainText(m_sending->preparedSend().plan, message)
                                                : PlanSend(message, m_sendRecipients, m_optOut);
    m_plainPlanCurrent = plain;
    m_picker->showSendNote(RecipientCountNote(plan));
    m_message->showRecipientParts(message.hasFields() && plan.sendCount > 0 ? PartRangeText(plan) : QString());
    const bool costChanged = plan.cost != m_sending->preparedSend().plan.cost;
    m_sending->setPreparedSend(
        {m_picker->recipients().size(), std::move(message), m_message->length(), std::move(plan)});
    return costChanged;
}

void Frm_Gonder::ShowPreview()
{
    const PreparedSend &send = m_sending->preparedSend();
    MessageBox::show(this, SendPreviewText(send.plan, m_sendRecipients, send.message.text()));
}

bool Frm_Gonder::refusesToClose() const
{
    return ChildWindow::refusesToClose() || m_sending->isSending();
}

void Frm_Gonder::FillGroupTree()
{
    m_picker->FillGroupTree();
}

void Frm_Gonder::ShowGroupContacts()
{
    m_picker->ShowGroupContacts();
}

void Frm_Gonder::FilterGroupContacts()
{
    m_picker->FilterGroupContacts();
}

void Frm_Gonder::AddRecipients()
{
    m_picker->AddRecipients();
}

void Frm_Gonder::RemoveRecipients()
{
    m_picker->RemoveRecipients();
}

void Frm_Gonder::AddNumbers()
{
    m_picker->AddNumbers();
}

QString Frm_Gonder::FetchCreditBalance(const QString &customerNo)
{
    return m_sending->FetchCreditBalance(customerNo);
}

void Frm_Gonder::CalculateCost()
{
    m_sending->CalculateCost();
}

void Frm_Gonder::BalanceClick()
{
    m_sending->BalanceClick();
}

void Frm_Gonder::SendClick()
{
    m_sending->SendClick();
}

QString Frm_Gonder::SendSms(const QString &customerNo, const QString &senderName, const QString &messageType,
                            const QString &message, const QString &phoneList, const QString &partCount)
{
    return m_sending->SendSms(customerNo, senderName, messageType, message, phoneList, partCount);
}

bool Frm_Gonder::prepareResend(const QStringList &numbers, const QString &message, bool severalMessages)
{
    if (isRequestRunning()) {
        MessageBox::show(this, QStringLiteral("Gönderim penceresi şu anda servisle çalışıyor; işlem bitince "
                                              "yeniden göndermeyi tekrar deneyin."));
        return false;
    }
    if ((!m_picker->recipients().isEmpty() || !m_message->message().isEmpty())
        && !MessageBox::askYesNo(this, QString::fromUtf16(kApplicationTitle),
                                 QStringLiteral("Gönderim penceresindeki alıcılar ve mesaj, yeniden gönderilecek "
                                                "numaralar ve mesajla değiştirilsin mi?"))) {
        return false;
    }
    m_picker->setRecipientNumbers(numbers);
    m_message->setMessage(message);
    if (severalMessages) {
        MessageBox::show(this, QStringLiteral("Yeniden gönderilecek mesajların metinleri aynı değil; mesaj "
                                              "kutusuna en çok gönderilen metin kondu. Göndermeden önce mesajı "
                                              "gözden geçirin."));
    }
    return true;
}

const QString &Frm_Gonder::chosenKeys() const
{
    return m_picker->recipients().chosenKeys();
}

bool Frm_Gonder::isChosen(const QString &markKey) const
{
    return m_picker->recipients().isChosen(markKey);
}

const QList<Contact> &Frm_Gonder::recipients() const
{
    return m_picker->recipients().contacts();
}

const QList<int> &Frm_Gonder::candidates() const
{
    return m_picker->candidates();
}

} // namespace velmor
