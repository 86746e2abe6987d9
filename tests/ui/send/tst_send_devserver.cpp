// The send window against the development service: the demo account logs in,
// a message goes out to chosen contacts, the service lowers the balance and
// records one delivery report row per number.

#include "testsupport.h"

#include "devserver.h"
#include "model/session.h"
#include "model/snapshot.h"
#include "service/service.h"
#include "service/transport.h"
#include "ui/main/contacttablemodel.h"
#include "ui/send/frm_gonder.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTreeView>

using namespace velmor;
using namespace Qt::StringLiterals;

class TestSendDevServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void send_lowersBalanceAndAddsReportRows();
};

void TestSendDevServer::send_lowersBalanceAndAddsReportRows()
{
    dev::DevServer server(dev::Options{});
    QVERIFY2(server.start(0), qPrintable(server.errorString()));
    const Service service(std::make_shared<HttpTransport>(server.endpoint(), 3000));
    const QString customer = u"1001"_s;
    AccountSnapshot snapshot;
    QCOMPARE(RefreshAccountSnapshot(service, snapshot, customer), RefreshResult::Loaded);
    Session session;
    session.setSnapshot(snapshot);
    session.setLoginActive(u"1"_s);
    test::MessageRecorder boxes;

    Frm_Gonder window(service, session);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString startBalance = server.balance(customer);
    QCOMPARE(window.findChild<QLabel *>(u"Label6"_s)->text(), startBalance);
    QVERIFY(window.findChild<QComboBox *>(u"Combo1"_s)->count() > 0);

    // The first three contacts with a mobile number.
    auto *groupList = window.findChild<QTreeView *>(u"ListView2"_s);
    QAbstractItemModel *model = groupList->model();
    QStringList numbers;
    for (int row = 0; row < model->rowCount() && numbers.size() < 3; ++row) {
        const QString mobile = model->index(row, ContactTableModel::Adr_GSM_No).data().toString();
        if (mobile.isEmpty())
            continue;
        numbers.append(mobile);
        groupList->selectionModel()->select(model->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QCOMPARE(numbers.size(), 3);
    QTest::mouseClick(window.findChild<QPushButton *>(u"Cmd_Lst_Ekle"_s), Qt::LeftButton);
    window.findChild<QPlainTextEdit *>(u"Text2"_s)->setPlainText(QString(170, u'ş'));
    QCOMPARE(window.findChild<QLabel *>(u"Label7"_s)->text(), u"6"_s);
    auto *send = window.findChild<QPushButton *>(u"cmdGonder"_s);
    QVERIFY(send->isEnabled());

    const int reportRows = server.reportRowCount(customer);
    QTest::mouseClick(send, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{u"Mesajlarınız Gönderildi."_s});
    const QString left = QString::number(startBalance.toLongLong() - 6);
    QCOMPARE(server.balance(customer), left);
    QCOMPARE(window.findChild<QLabel *>(u"Label6"_s)->text(), left);
    QCOMPARE(server.reportRowCount(customer), reportRows + 3);

    // A balance below the cost: the service refuses, nothing is recorded.
    server.setBalance(customer, u"5"_s);
    QVERIFY(send->isEnabled());
    QTest::mouseClick(send, Qt::LeftButton);
    QCOMPARE(boxes.lastText(), u"Mesajlarınız Gönderilemedi..!"_s);
    QCOMPARE(window.findChild<QLabel *>(u"Label6"_s)->text(), u"-1"_s);
    QCOMPARE(server.balance(customer), u"5"_s);
    QCOMPARE(server.reportRowCount(customer), reportRows + 3);
    QTest::mouseClick(window.findChild<QLabel *>(u"Label6"_s), Qt::LeftButton);
    QVERIFY(!send->isEnabled());
}

QTEST_MAIN(TestSendDevServer)
#include "tst_send_devserver.moc"
