// A send the user stops waiting for: the service may have carried it out, so
// the window says the outcome is unknown and fetches the balance again; when
// the wait was still for the service's clock, nothing goes out at all.

#include "fakeservice.h"
#include "testsupport.h"

#include "model/session.h"
#include "service/service.h"
#include "service/transport.h"
#include "ui/common/requestprogressdialog.h"
#include "ui/send/frm_gonder.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace velmor::test {

class TestSendAbandoned : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void vazgec_duringSend_data();
    void vazgec_duringSend();
};

void TestSendAbandoned::vazgec_duringSend_data()
{
    QTest::addColumn<int>("hangingCommand");
    QTest::addColumn<int>("sendsMade");
    QTest::newRow("while the send itself runs") << 3 << 1;
    QTest::newRow("while asking the service's clock") << 13 << 0;
}

void TestSendAbandoned::vazgec_duringSend()
{
    QFETCH(int, hangingCommand);
    QFETCH(int, sendsMade);

    FakeService server;
    server.setPayload(2, u"<SMSKontor>1000<SMSKontor>"_s);
    server.setPayload(3, u"<SMSGonderim>999<SMSGonderim>"_s);
    server.setPayload(13, u"20260105143000"_s);
    server.leaveUnanswered(hangingCommand);
    auto transport = std::make_shared<HttpTransport>(server.endpoint(), 30000);
    RequestProgressDialog progress;
    transport->setObserver(&progress);
    const Service service(transport);
    MessageRecorder boxes;

    // Customer 1001 with the sender name "VELMOR" (field 23) and one contact.
    AccountSnapshot snapshot;
    QVERIFY(LoadAccountSnapshot(snapshot, u"<Cari>1001"_s + QString(23, u'|') + u"VELMOR<Cari><Grup><>1|0|Aile<Grup>"
                                              "<Adres><>9|1|Ali|Işık||||||05321112233||<Adres>"_s));
    Session session;
    session.setSnapshot(snapshot);
    session.setLoginActive(u"1"_s);
    Frm_Gonder window(service, session);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.findChild<QLabel *>(u"Label6"_s)->text(), u"1000"_s);

    auto *candidates = window.findChild<QTreeView *>(u"ListView2"_s);
    candidates->selectAll();
    QTest::mouseClick(window.findChild<QPushButton *>(u"Cmd_Lst_Ekle"_s), Qt::LeftButton);
    window.findChild<QPlainTextEdit *>(u"Text2"_s)->setPlainText(u"Merhaba"_s);
    auto *send = window.findChild<QPushButton *>(u"cmdGonder"_s);
    QVERIFY(send->isEnabled());

    // Meanwhile the service has charged the send.
    server.setPayload(2, u"<SMSKontor>990<SMSKontor>"_s);
    QTimer vazgec;
    vazgec.setInterval(100);
    connect(&vazgec, &QTimer::timeout, &progress, [&] {
        if (progress.isVisible())
            QTest::mouseClick(progress.findChild<QPushButton *>(u"Cmd_Vazgec"_s), Qt::LeftButton);
    });
    vazgec.start();
    QTest::mouseClick(send, Qt::LeftButton);
    vazgec.stop();

    QCOMPARE(server.bodiesOf(3).size(), sendsMade);
    QCOMPARE(boxes.texts(),
             QStringList{u"Gönderimin sonucunu beklemekten vazgeçtiniz. Mesajlarınız gönderilmiş de olabilir, "
                         "gönderilmemiş de; sonucu İletim Raporları'nda görebilirsiniz."_s});
    QCOMPARE(server.bodiesOf(2).size(), 2);
    QCOMPARE(window.findChild<QLabel *>(u"Label6"_s)->text(), u"990"_s);
    QVERIFY(send->isEnabled());
    QVERIFY(window.close());
}

} // namespace velmor::test

QTEST_MAIN(velmor::test::TestSendAbandoned)
#include "tst_send_abandoned.moc"
