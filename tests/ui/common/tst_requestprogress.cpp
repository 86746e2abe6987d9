// A request that takes long, as the user meets it: the progress dialog that
// comes up after about a second, what it shows, how "Vazgeç" ends the wait,
// and that nothing else in the program takes input meanwhile.

#include "loopbackserver.h"

#include "service/service.h"
#include "service/transport.h"
#include "ui/common/requestprogressdialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace velmor;
using namespace Qt::StringLiterals;
using velmor::test::LoopbackServer;

namespace velmor::test {

class TestRequestProgress : public QObject
{
    Q_OBJECT

private slots:
    void longRequest_showsProgress_andVazgecEndsIt_data();
    void longRequest_showsProgress_andVazgecEndsIt();
    void quickRequest_showsNoDialog();
};

namespace {

// Counts the times a widget is shown.
class ShowCounter : public QObject
{
public:
    explicit ShowCounter(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++count;
        return false;
    }
};

} // namespace

void TestRequestProgress::longRequest_showsProgress_andVazgecEndsIt_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<int>("pieceBytes");
    QTest::addColumn<QString>("amount"); // what the dialog says it has received
    QTest::addColumn<int>("barMaximum"); // 0: a busy bar

    QTest::newRow("body of announced length, a few bytes at a time")
        << "HTTP/1.1 200 OK\r\nContent-Length: 4000\r\n\r\n" + QByteArray(4000, '5') << 10
        << u"^Alınan: [1-9][0-9]* bayt / 3,9 KB$"_s << 1000;
    QTest::newRow("chunked body, a few bytes at a time")
        << "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + QByteArray("1\r\n5\r\n").repeated(400) << 10
        << u"^Alınan: [1-9][0-9]* bayt$"_s << 0;
    const QByteArray processing = "HTTP/1.1 102 Processing\r\n\r\n";
    QTest::newRow("an interim response now and then, never the reply")
        << processing.repeated(200) << int(processing.size()) << u"^Alınan: 0 bayt$"_s << 0;
}

void TestRequestProgress::longRequest_showsProgress_andVazgecEndsIt()
{
    QFETCH(QByteArray, response);
    QFETCH(int, pieceBytes);
    QFETCH(QString, amount);
    QFETCH(int, barMaximum);

    LoopbackServer server;
    QVERIFY(server.listen());
    server.setRawResponse(response);
    server.setBehaviour(LoopbackServer::Behaviour::Drip);
    server.setPieceBytes(pieceBytes);
    server.setDelayMs(100);
    // The time limit counts silence, so it never ends this request.
    auto transport = std::make_shared<HttpTransport>(server.endpoint(), 5000);
    RequestProgressDialog dialog;
    transport->setObserver(&dialog);
    const Service service(transport);

    // Another window of the program, with the focus in a field.
    QLineEdit other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTest::keyClick(other.windowHandle(), Qt::Key_A);
    QCOMPARE(other.text(), u"a"_s);

    QElapsedTimer clock;
    qint64 shownAt = -1;
    qint64 clickedAt = -1;
    QString shownAmount;
    int shownMaximum = -1;
    bool modalToAll = false;
    QTimer watcher;
    watcher.setInterval(50);
    connect(&watcher, &QTimer::timeout, &dialog, [&] {
        if (!dialog.isVisible() || clickedAt >= 0)
            return;
        if (shownAt < 0) {
            shownAt = clock.elapsed();
            modalToAll = dialog.windowModality() == Qt::ApplicationModal && QApplication::activeModalWidget() == &dialog;
            // Typing into the other window goes nowhere while the dialog is up.
            QTest::keyClick(other.windowHandle(), Qt::Key_B);
            return;
        }
        if (clock.elapsed() - shownAt < 600)
            return; // let some progress show
        shownAmount = dialog.findChild<QLabel *>(u"Label2"_s)->text();
        shownMaximum = dialog.findChild<QProgressBar *>(u"ProgressBar1"_s)->maximum();
        clickedAt = clock.elapsed();
        QTest::mouseClick(dialog.findChild<QPushButton *>(u"Cmd_Vazgec"_s), Qt::LeftButton);
    });
    watcher.start();
    clock.start();
    const QString payload = service.PostCommand(QByteArrayLiteral("Rehber=1&Cari_No=7"));
    const qint64 returnedAt = clock.elapsed();
    watcher.stop();

    QVERIFY2(shownAt >= 900 && shownAt < 3000, qPrintable(u"shown after %1 ms"_s.arg(shownAt)));
    QVERIFY(modalToAll);
    QVERIFY2(QRegularExpression(amount).match(shownAmount).hasMatch(), qPrintable(shownAmount));
    QCOMPARE(shownMaximum, barMaximum);
    QVERIFY(clickedAt > 0);
    QVERIFY2(returnedAt - clickedAt < 500, qPrintable(u"%1 ms from Vazgeç to the end"_s.arg(returnedAt - clickedAt)));
    QCOMPARE(payload, QString());
    QCOMPARE(service.lastOutcome(), RequestOutcome::Abandoned);

    // The program is usable again at once: no dialog, no modal window, input arrives.
    QVERIFY(!dialog.isVisible());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(other.text(), u"a"_s);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QTest::keyClick(other.windowHandle(), Qt::Key_C);
    QCOMPARE(other.text(), u"ac"_s);

    // The next request runs as ever.
    server.setBehaviour(LoopbackServer::Behaviour::Reply);
    server.setReply(LoopbackServer::reply(u"1"_s));
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=13")), u"1"_s);
    QCOMPARE(service.lastOutcome(), RequestOutcome::Answered);
}

void TestRequestProgress::quickRequest_showsNoDialog()
{
    LoopbackServer server;
    QVERIFY(server.listen());
    server.setReply(LoopbackServer::reply(u"1"_s));
    server.setBehaviour(LoopbackServer::Behaviour::AnswerLater);
    server.setDelayMs(400);
    auto transport = std::make_shared<HttpTransport>(server.endpoint(), 5000);
    RequestProgressDialog dialog;
    const ShowCounter shown(&dialog);
    transport->setObserver(&dialog);
    const Service service(transport);
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=13")), u"1"_s);
    QCOMPARE(service.PostCommand(QByteArrayLiteral("Rehber=13")), u"1"_s);
    QTest::qWait(RequestProgressDialog::ShowAfterMs + 200);
    QCOMPARE(shown.count, 0);
}

} // namespace velmor::test

QTEST_MAIN(velmor::test::TestRequestProgress)
#include "tst_requestprogress.moc"
