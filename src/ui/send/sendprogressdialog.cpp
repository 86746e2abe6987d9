#include "ui/send/sendprogressdialog.h"

#include "model/sendrunner.h"
#include "ui/common/controls.h"
#include "ui/common/listview.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace velmor {

SendProgressDialog::SendProgressDialog(SendRunner &run, QWidget *parent) : QDialog(parent), m_run(run)
{
    setObjectName(u"SendProgress"_s);
    setWindowTitle(u"Mesajlar Gönderiliyor"_s);
    setModal(true);
    m_state = new QLabel(this);
    m_state->setObjectName(u"lblGonderimDurumu"_s);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(u"prgGonderim"_s);
    m_bar->setAccessibleName(u"Gönderilen istekler"_s);
    m_bar->setRange(0, int(std::min<qsizetype>(run.requests().size(), std::numeric_limits<int>::max())));
    m_bar->setValue(0);
    m_stop = NamedButton(u"Vazgeç"_s, u"cmdGonderimVazgec"_s, this);
    m_stop->setToolTip(u"Sıradaki istek gönderilmez; gönderilmekte olan tamamlanır"_s);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_stop);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_state);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    setMinimumWidth(Twips(6000));

    connect(m_stop, &QPushButton::clicked, this, &SendProgressDialog::reject);
    connect(&run, &SendRunner::requestStarted, this, &SendProgressDialog::requestStarted);
    connect(&run, &SendRunner::requestFinished, this, &SendProgressDialog::requestFinished);
    connect(&run, &SendRunner::finished, this, [this] { done(QDialog::Accepted); });
}

void SendProgressDialog::start()
{
    open();
    m_stop->setFocus();
    m_run.start();
}

void SendProgressDialog::requestStarted(qsizetype index, qsizetype count)
{
    const QLocale locale;
    QString text = u"%1 / %2 istek gönderiliyor (%3 numara)"_s.arg(locale.toString(index + 1), locale.toString(count),
                                                                   locale.toString(m_run.requests().at(index).recipientCount()));
    if (m_numbersDone > 0)
        text += u"\n%1 numaraya gönderildi"_s.arg(locale.toString(m_numbersDone));
    if (m_stopAsked)
        text += u"\nDurduruluyor…"_s;
    m_state->setText(text);
}

void SendProgressDialog::requestFinished(qsizetype index)
{
    if (m_run.results().at(index) == RequestResult::Sent)
        m_numbersDone += m_run.requests().at(index).recipientCount();
    m_bar->setValue(int(std::min<qsizetype>(index + 1, m_bar->maximum())));
}

void SendProgressDialog::reject()
{
    if (!m_run.isRunning()) {
        QDialog::reject();
        return;
    }
    // Taken between two requests: the one on its way is finished, none after it.
    m_stopAsked = true;
    m_run.stop();
    m_stop->setEnabled(false);
    m_state->setText(u"Durduruluyor…"_s);
}

void SendProgressDialog::closeEvent(QCloseEvent *event)
{
    if (m_run.isRunning()) {
        event->ignore();
        reject();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace velmor
