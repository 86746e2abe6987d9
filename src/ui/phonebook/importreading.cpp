#include "ui/phonebook/importreading.h"

#include "ui/common/controls.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

constexpr int kShowAfterMs = 1000;

} // namespace

std::optional<ContactFileRead> ReadContactFileWithProgress(QWidget *parent, const QString &path)
{
    std::atomic_bool stop{false};
    ContactFileRead read;
    const std::unique_ptr<QThread> thread(QThread::create([&] { read = ReadContactFile(path, &stop); }));

    QDialog dialog(parent);
    dialog.setObjectName(u"DosyaOkunuyor"_s);
    dialog.setWindowTitle(u"Kişileri İçe Aktar"_s);
    dialog.setWindowModality(Qt::ApplicationModal);
    auto *label = new QLabel(u"Dosya okunuyor..."_s, &dialog);
    auto *bar = new QProgressBar(&dialog);
    bar->setRange(0, 0); // how far it got is not known: a busy bar
    bar->setAccessibleName(label->text());
    auto *cancel = NamedButton(u"Vazgeç"_s, u"cmdOkumaVazgec"_s, &dialog);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(bar);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(&dialog, &QDialog::rejected, &dialog, [&] {
        stop = true;
        label->setText(u"Durduruluyor..."_s);
        cancel->setEnabled(false);
    });

    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kShowAfterMs, &dialog, [&] {
        if (thread->isRunning())
            dialog.show();
    });
    thread->start();
    loop.exec();
    thread->wait();
    if (stop)
        return std::nullopt;
    return read;
}

} // namespace velmor
