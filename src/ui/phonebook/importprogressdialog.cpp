#include "ui/phonebook/importprogressdialog.h"

#include "model/contactimport.h"
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

namespace {
constexpr qint64 kShowEveryMs = 100;
} // namespace

ImportProgressDialog::ImportProgressDialog(ContactImport &import, QWidget *parent)
    : QDialog(parent), m_import(import)
{
    setObjectName(u"ImportProgress"_s);
    setWindowTitle(u"Kişiler İçe Aktarılıyor"_s);
    setModal(true);
    m_done = new QLabel(this);
    m_done->setObjectName(u"lblGonderilen"_s);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(u"prgAktarma"_s);
    m_bar->setAccessibleName(u"Gönderilen kişiler"_s);
    m_bar->setRange(0, int(std::min<qsizetype>(import.rowCount(), std::numeric_limits<int>::max())));
    m_timeLeft = new QLabel(this);
    m_timeLeft->setObjectName(u"lblKalanSure"_s);
    m_stop = NamedButton(u"Vazgeç"_s, u"cmdAktarmaVazgec"_s, this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_stop);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_done);
    layout->addWidget(m_bar);
    layout->addWidget(m_timeLeft);
    layout->addLayout(buttons);
    setMinimumWidth(Twips(6000));
    connect(m_stop, &QPushButton::clicked, this, &ImportProgressDialog::reject);
    connect(&import, &ContactImport::progressed, this, &ImportProgressDialog::progressed);
    connect(&import, &ContactImport::finished, this, [this] { done(QDialog::Accepted); });
    showProgress();
}

void ImportProgressDialog::start()
{
    m_clock.start();
    open();
    m_stop->setFocus();
    m_import.start();
}

bool ImportProgressDialog::isRunning() const
{
    return m_import.isRunning();
}

qsizetype ImportProgressDialog::rowsDone() const
{
    return m_import.rowsDone();
}

void ImportProgressDialog::progressed(qsizetype done)
{
    // Shown a few times a second: a repaint per record would slow a fast service down.
    if (m_shown.hasExpired(kShowEveryMs) || done == m_import.rowCount())
        showProgress();
}

void ImportProgressDialog::showProgress()
{
    m_shown.start();
    const qsizetype done = m_import.rowsDone();
    const qsizetype total = m_import.rowCount();
    const QLocale locale;
    m_done->setText(u"%1 / %2 kişi gönderildi"_s.arg(locale.toString(done), locale.toString(total)));
    m_bar->setValue(int(std::min<qsizetype>(done, m_bar->maximum())));
    if (m_import.stopAsked()) {
        m_timeLeft->setText(u"Durduruluyor…"_s);
        return;
    }
    const qint64 elapsed = m_import.isRunning() ? m_clock.elapsed() : 0;
    if (done == 0 || elapsed < 500) {
        m_timeLeft->setText(u"Kalan süre: hesaplanıyor…"_s);
        return;
    }
    const qint64 seconds = (elapsed * (total - done) / done + 999) / 1000;
    QString left;
    if (seconds < 1)
        left = u"bir saniyeden az"_s;
    else if (seconds < 60)
        left = u"yaklaşık %1 sn"_s.arg(seconds);
    else
        left = u"yaklaşık %1 dk %2 sn"_s.arg(seconds / 60).arg(seconds % 60);
    m_timeLeft->setText(u"Kalan süre: "_s + left);
}

void ImportProgressDialog::reject()
{
    if (!m_import.isRunning()) {
        QDialog::reject();
        return;
    }
    // Taken between two records: the one on its way is finished, none after it.
    m_import.stop();
    m_stop->setEnabled(false);
    showProgress();
}

void ImportProgressDialog::closeEvent(QCloseEvent *event)
{
    if (m_import.isRunning()) {
        event->ignore();
        reject();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace velmor
