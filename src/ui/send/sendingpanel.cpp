#include "ui/send/sendingpanel.h"

#include "model/sendrules.h"
#include "model/sendrunner.h"
#include "model/session.h"
#include "service/service.h"
#include "text/turkish.h"
#include "ui/common/controls.h"
#include "ui/common/messagebox.h"
#include "ui/send/sendprogressdialog.h"
#include "ui/send/sendwidgets.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmor {

SendingPanel::SendingPanel(const Service &service, const Session &session, RequestRunner runRequest,
                           QWidget *parent)
    : QWidget(parent), m_service(service), m_session(session), m_runRequest(std::move(runRequest))
{
    // Sender name.
    auto *sender = CaptionedFrame(QStringLiteral("Gönderici"), QStringLiteral("fraGonderici"), this);
    m_senderName = new QComboBox(sender);
    m_senderName->setObjectName(QStringLiteral("Combo1"));
    m_senderName->setEditable(false);
    m_senderName->setMinimumContentsLength(14);
    m_noSenderNote = new QLabel(QStringLiteral("Onaylanmış gönderici adınız bulunmuyor."), sender);
    m_noSenderNote->setObjectName(QStringLiteral("lblGondericiYok"));
    m_noSenderNote->setWordWrap(true);
    m_noSenderNote->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
    auto *senderLayout = new QVBoxLayout(sender);
    senderLayout->addWidget(CaptionLabel(QStringLiteral("SMS'de Görülecek Gönderici Adı :"), m_senderName, sender));
    senderLayout->addWidget(m_senderName);
    senderLayout->addWidget(m_noSenderNote);

    // Commands: balance, cost and the send; row 0 is left for placeListCommands.
    auto *commands = CaptionedFrame(QStringLiteral("İşlemler"), QStringLiteral("fraIslemler"), this);
    m_balance = FigureLabel(QStringLiteral("Label6"), commands);
    m_balance->setText(QString());
    m_balance->setCursor(Qt::PointingHandCursor);
    m_balance->setToolTip(QStringLiteral("Gönderim düğmesini mevcut kontöre göre yeniden denetler"));
    m_balance->installEventFilter(this);
    m_cost = FigureLabel(QStringLiteral("Label7"), commands);
    m_send = NamedButton(QStringLiteral("SMS Gönder"), QStringLiteral("cmdGonder"), commands);
    m_send->setEnabled(false);
    m_commandsLayout = new QGridLayout(commands);
    m_commandsLayout->addWidget(new QLabel(QStringLiteral("Mevcut Kontörünüz :"), commands), 1, 0);
    m_commandsLayout->addWidget(m_balance, 1, 1);
    m_commandsLayout->addWidget(new QLabel(QStringLiteral("Harcanacak Kontör Adedi :"), commands), 2, 0);
    m_commandsLayout->addWidget(m_cost, 2, 1);
    m_commandsLayout->addWidget(m_send, 3, 0, 1, 2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sender);
    layout->addWidget(commands, 1);

    connect(m_send, &QPushButton::clicked, this, &SendingPanel::SendClick);
}

void SendingPanel::placeListCommands(QWidget *row)
{
    m_commandsLayout->addWidget(row, 0, 0, 1, 2);
    QWidget *previous = m_senderName;
    for (QWidget *widget : row->findChildren<QWidget *>()) {
        if (widget->focusPolicy() & Qt::TabFocus) {
            QWidget::setTabOrder(previous, widget);
            previous = widget;
        }
    }
    QWidget::setTabOrder(previous, m_send);
}

void SendingPanel::fillSenderNames()
{
    m_senderName->clear();
    const CustomerRecord &customer = m_session.snapshot().customer;
    for (const int field : {CustomerRecord::Cari_SMS_Gonderici_Adi1, CustomerRecord::Cari_SMS_Gonderici_Adi2,
                            CustomerRecord::Cari_SMS_Gonderici_Adi3}) {
        if (!customer[field].trimmed().isEmpty())
            m_senderName->addItem(customer[field]);
    }
    m_noSenderNote->setVisible(!hasSenderName());
    if (hasSenderName())
        m_senderName->setCurrentIndex(0);
}

bool SendingPanel::hasSenderName() const
{
    return m_senderName->count() > 0;
}

void SendingPanel::refreshBalance()
{
    m_balance->setText(FetchCreditBalance(m_session.customerNo()));
}

QString SendingPanel::FetchCreditBalance(const QString &customerNo)
{
    const QString payload = m_runRequest([&] { return FetchCreditBalancePayload(m_service, customerNo); });
    return CreditBalanceFromPayload(payload);
}

bool SendingPanel::nobodyToReach() const
{
    return m_prepared.recipientCount > 0 && m_prepared.plan.sendCount == 0 && m_prepared.messageLength != 0;
}

void SendingPanel::applyCost(const CostDecision &decision)
{
    m_cost->setText(decision.cost);
    // Recipients of whom none can be sent to cost nothing, and the button
    // stays offered so that its click says why nothing goes out. Without an
    // approved sender name there is nothing to send under.
    m_send->setEnabled((decision.sendEnabled || nobodyToReach()) && hasSenderName() && !isSending());
}

void SendingPanel::CalculateCost()
{
    // Charged: one SMS per number, none to the opt-out list or to recipients
    // without a number, each with the parts of its own text.
    const SendPlan &plan = m_prepared.plan;
    applyCost(ReapplyCostRule(QString::number(plan.sendCount), QString::number(m_prepared.messageLength),
                              QString::number(plan.cost), m_balance->text()));
}

void SendingPanel::BalanceClick()
{
    applyCost(ReapplyCostRule(QString::number(m_prepared.plan.sendCount), QString::number(m_prepared.messageLength),
                              m_cost->text(), m_balance->text()));
}

QString SendingPanel::SendSms(const QString &customerNo, const QString &senderName, const QString &messageType,
                              const QString &message, const QString &phoneList, const QString &partCount)
{
    return m_runRequest(
        [&] { return velmor::SendSms(m_service, customerNo, senderName, messageType, message, phoneList, partCount); });
}

void SendingPanel::SendClick()
{
    m_send->setEnabled(false);
    if (m_session.loginActive() != u"1" || !hasSenderName() || isSending())
        return;
    // Held for the send: the window may prepare another meanwhile.
    const PreparedSend send = m_prepared;
    const SendPlan &plan = send.plan;
    if (plan.sendCount == 0) {
        MessageBox::show(this, plan.optedOut == 0
                                   ? QStringLiteral("Seçilen kişilerin hiçbirinin cep telefonu numarası yok. "
                                                    "Mesaj gönderilmedi.")
                                   : QStringLiteral("Gönderilecek numara kalmadı %1. Mesaj gönderilmedi.")
                                         .arg(RecipientCountNote(plan)));
        m_send->setEnabled(true);
        return;
    }
    // A message of fields alone leaves nothing for those whose fields are
    // all empty: an empty SMS is never sent.
    qsizetype withoutText = 0;
    for (const PlannedRequest &request : plan.requests) {
        if (request.text.trimmed().isEmpty())
            withoutText += request.recipientCount();
    }
    if (withoutText > 0) {
        MessageBox::show(this, QStringLiteral("Alanları boş olduğu için %1 kişiye gidecek mesaj boş kalıyor; boş mesaj "
                                              "gönderilmez. Mesaja alanların dışında bir metin ekleyiniz.")
                                   .arg(withoutText));
        m_send->setEnabled(true);
        return;
    }
    if (const QString question = EmptyFieldQuestion(plan.emptyFields); !question.isEmpty()) {
        if (!MessageBox::askYesNo(this, QString::fromUtf16(kApplicationTitle), question)) {
            m_send->setEnabled(true);
            return;
        }
    }
    if (plan.requests.size() == 1)
        sendOne(plan.requests.constFirst());
    else
        startRun(plan.requests);
}

void SendingPanel::sendOne(const PlannedRequest &request)
{
    const QString reply = SendSms(m_session.customerNo(), m_senderName->currentText(), QStringLiteral("1"),
                                  MessageForSending(request.text), request.telephoneList(),
                                  QString::number(request.parts));
    if (m_service.lastOutcome() == RequestOutcome::Abandoned) {
        // The service may have sent the messages before the user gave up
        // waiting: say so, and show the balance as it now stands.
        MessageBox::show(this, QStringLiteral("Gönderimin sonucunu beklemekten vazgeçtiniz. Mesajlarınız gönderilmiş "
                                              "de olabilir, gönderilmemiş de; sonucu İletim Raporları'nda "
                                              "görebilirsiniz."));
        refreshBalance();
        CalculateCost();
        return;
    }
    m_balance->setText(GetTagText(reply, QStringLiteral("<SMSGonderim>")));
    MessageBox::show(this, SendSucceeded(m_balance->text()) ? QStringLiteral("Mesajlarınız Gönderildi.")
                                                            : QStringLiteral("Mesajlarınız Gönderilemedi..!"));
    m_send->setEnabled(true);
}

void SendingPanel::startRun(const QList<PlannedRequest> &requests)
{
    m_run = new SendRunner(m_service, m_session.customerNo(), m_senderName->currentText(), requests, this);
    m_progress = new SendProgressDialog(*m_run, this);
    // The summary comes after the dialog has closed, from the window's own loop.
    connect(m_run, &SendRunner::finished, this, &SendingPanel::finishRun, Qt::QueuedConnection);
    m_progress->start();
}

void SendingPanel::finishRun()
{
    const SendRunSummary summary = m_run->summary();
    const bool allSent = summary.sentRequests == m_run->requests().size();
    const bool stoppedByUser = m_progress->stopAsked() && summary.stopped;
    m_progress->deleteLater();
    m_run->deleteLater();
    m_progress = nullptr;
    m_run = nullptr;

    QString text = SendRunSummaryText(summary);
    if (allSent)
        text = QStringLiteral("Mesajlarınız Gönderildi.\n") + text;
    else if (stoppedByUser)
        text = QStringLiteral("Gönderimi durdurdunuz.\n") + text;
    else if (summary.sentRequests == 0 && summary.unknownRequests == 0)
        text = QStringLiteral("Mesajlarınız Gönderilemedi..!\n") + text;
    else if (summary.stopped)
        text = QStringLiteral("Gönderim yarıda kaldı.\n") + text;
    // The balance as the service now holds it, after every request that
    // went; the last answer's when the service does not say.
    refreshBalance();
    if (m_balance->text() == u"--" && !summary.balance.isEmpty())
        m_balance->setText(summary.balance);
    MessageBox::show(this, text);
    m_send->setEnabled(true);
}

bool SendingPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_balance && event->type() == QEvent::MouseButtonRelease) {
        BalanceClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velmor
