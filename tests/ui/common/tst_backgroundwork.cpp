// Long work away from the window: quick work is simply done, work still
// going after a second shows the dialog, and its "Vazgeç" stops the work.

#include "ui/common/backgroundwork.h"

#include <QDeadlineTimer>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace velmor;
using namespace Qt::StringLiterals;

class BackgroundWorkTest : public QObject
{
    Q_OBJECT

private slots:
    void quickWork_isDone();
    void longWork_stoppedByVazgec();
};

void BackgroundWorkTest::quickWork_isDone()
{
    int done = 0;
    QVERIFY(RunWithProgress(nullptr, u"Başlık"_s, u"Metin"_s, [&](const std::atomic_bool &) { done = 42; }));
    QCOMPARE(done, 42);
}

void BackgroundWorkTest::longWork_stoppedByVazgec()
{
    QWidget window;
    window.show();
    bool seen = false;
    // Clicks "Vazgeç" once the dialog is up.
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *dialog = window.findChild<QDialog *>(u"IslemSuruyor"_s);
        if (dialog && dialog->isVisible()) {
            seen = true;
            poll.stop();
            QTest::mouseClick(dialog->findChild<QPushButton *>(u"cmdIslemVazgec"_s), Qt::LeftButton);
        }
    });
    poll.start(50);
    bool stopped = false;
    const bool finished = RunWithProgress(&window, u"Başlık"_s, u"Metin"_s, [&](const std::atomic_bool &stop) {
        const QDeadlineTimer limit(30000);
        while (!stop && !limit.hasExpired())
            QThread::msleep(10);
        stopped = stop;
    });
    QVERIFY(seen);
    QVERIFY(stopped);
    QVERIFY(!finished);
}

QTEST_MAIN(BackgroundWorkTest)
#include "tst_backgroundwork.moc"
