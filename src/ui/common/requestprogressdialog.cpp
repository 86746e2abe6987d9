#include "ui/common/requestprogressdialog.h"

#include "ui/common/messagebox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmor {

QString ByteAmountText(qint64 bytes)
{
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    if (bytes < 1024)
        return u"%1 bayt"_s.arg(turkish.toString(bytes));
    if (bytes < 1024 * 1024)
        return u"%1 KB"_s.arg(turkish.toString(double(bytes) / 1024.0, 'f', 1));
    return u"%1 MB"_s.arg(turkish.toString(double(bytes) / (1024.0 * 1024.0), 'f', 1));
}

RequestProgressDialog::RequestProgressDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"RequestProgressDialog"_s);
    setWindowTitle(QString::fromUtf16(kApplicationTitle));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *text = new QLabel(u"Sunucunun yanıtı bekleniyor…"_s, this);
    text->setObjectName(u"Label1"_s);
    m_amount = new QLabel(this);
    m_amount->setObjectName(u"Label2"_s);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(u"ProgressBar1"_s);
    m_bar->setAccessibleName(u"Alınan"_s);
    m_bar->setTextVisible(false);
    m_bar->setMinimumWidth(280);
    auto *buttons = new QDialogButtonBox(this);
    m_cancel = buttons->addButton(u"Vazgeç"_s, QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(u"Cmd_Vazgec"_s);
    connect(buttons, &QDialogButtonBox::rejected, this, &RequestProgressDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(m_amount);
    layout->addWidget(m_bar);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_showTimer.setSingleShot(true);
    m_showTimer.setInterval(ShowAfterMs);
    connect(&m_showTimer, &QTimer::timeout, this, &RequestProgressDialog::showNow);
}

void RequestProgressDialog::requestStarted(RequestControl &control)
{
    m_control = &control;
    m_received = 0;
    m_total = -1;
    updateAmount();
    m_showTimer.start();
}

void RequestProgressDialog::requestProgress(qint64 received, qint64 total)
{
    m_received = received;
    m_total = total;
    if (isVisible())
        updateAmount();
}

void RequestProgressDialog::requestFinished()
{
    m_showTimer.stop();
    m_control = nullptr;
    if (!isVisible())
        return;
    hide();
    // The user goes on where they were.
    if (m_returnTo)
        m_returnTo->activateWindow();
    m_returnTo = nullptr;
}

void RequestProgressDialog::reject()
{
    if (m_control)
        m_control->abandon();
    // Hidden by requestFinished() once the request has ended.
}

void RequestProgressDialog::showNow()
{
    if (!m_control)
        return;
    updateAmount();
    // Over the window the user was working in.
    adjustSize();
    m_returnTo = QApplication::activeWindow();
    if (m_returnTo == this)
        m_returnTo = nullptr;
    if (m_returnTo)
        move(m_returnTo->frameGeometry().center() - rect().center());
    m_cancel->setFocus();
    show();
    activateWindow();
    m_control->letUserInputThrough();
}

void RequestProgressDialog::updateAmount()
{
    if (m_total > 0) {
        m_amount->setText(u"Alınan: %1 / %2"_s.arg(ByteAmountText(m_received), ByteAmountText(m_total)));
        m_bar->setRange(0, 1000);
        m_bar->setValue(int(qMin<qint64>(1000, m_received * 1000 / m_total)));
    } else {
        m_amount->setText(u"Alınan: %1"_s.arg(ByteAmountText(m_received)));
        m_bar->setRange(0, 0); // busy
    }
}

} // namespace velmor
