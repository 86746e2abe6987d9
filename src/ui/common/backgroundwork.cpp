#include "ui/common/backgroundwork.h"

#include "ui/common/controls.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

constexpr int kShowAfterMs = 1000;

} // namespace

bool RunWithProgress(QWidget *parent, const QString &title, const QString &text,
                     const std::function<void(const std::atomic_bool &stop)> &work)
{
    std::atomic_bool stop{false};
    const std::unique_ptr<QThread> thread(QThread::create([&] { work(stop); }));

    QDialog dialog(parent);
    dialog.setObjectName(u"IslemSuruyor"_s);
    dialog.setWindowTitle(title);
    dialog.setWindowModality(Qt::ApplicationModal);
    auto *label = new QLabel(text, &dialog);
    auto *bar = new QProgressBar(&dialog);
    bar->setRange(0, 0); // how far it got is not known: a busy bar
    bar->setAccessibleName(text);
    auto *cancel = NamedButton(u"Vazgeç"_s, u"cmdIslemVazgec"_s, &dialog);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(bar);
    layout->addWidget(cancel, 0, Qt::AlignRight);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(&dialog, &QDialog::rejected, &dialog, [&] { stop = true; });

    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kShowAfterMs, &dialog, [&] {
        if (thread->isRunning())
            dialog.show();
    });
    thread->start();
    loop.exec();
    thread->wait();
    return !stop;
}

} // namespace velmor
