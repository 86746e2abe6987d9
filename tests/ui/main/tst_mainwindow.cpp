#include "mainwindowfixture.h"
#include "testsupport.h"

#include "ui/common/listview.h"
#include "model/version.h"
#include "ui/send/frm_gonder.h"
#include "ui/update/frm_hakkinda.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace velmor::test {

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void ownVersion_data();
    void ownVersion();
    void updateOffered_data();
    void updateOffered();
    void startUp_data();
    void startUp();
    void startUp_serviceUnreachable_opensLogin();
    void menuBar_captionsAndOrder();
    void runState_data();
    void runState();
    void menuItemChosenTwice_opensOneWindow_data();
    void menuItemChosenTwice_opensOneWindow();
    void closedChildWindow_opensFreshNextTime();
    void frameRefusesToClose_whileAWindowWaitsForTheService();
    void exitItem_closesProgram();
    void fixedWindow_cannotBeResized_data();
    void fixedWindow_cannotBeResized();

private:
    std::unique_ptr<MainWindowFixture> m_fixture;
    void logIn();
    QAction *action(const QString &name) const;
};

void TestMainWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestMainWindow::init()
{
    m_fixture = std::make_unique<MainWindowFixture>();
    QVERIFY2(m_fixture->started, qPrintable(m_fixture->server.errorString()));
}

void TestMainWindow::logIn()
{
    m_fixture->window->startUp();
    LoginWindow *login = m_fixture->window->loginWindow();
    QVERIFY(login);
    SubmitLogin(login, u"1001"_s, u"demo"_s, u"demo"_s);
    QVERIFY(m_fixture->window->isVisible());
}

QAction *TestMainWindow::action(const QString &name) const
{
    return m_fixture->window->findChild<QAction *>(name);
}

void TestMainWindow::ownVersion_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.0 revision 12") << 1 << 0 << 12 << qint64(100012) << u"1.0.0012"_s;
    QTest::newRow("2.00 revision 0") << 2 << 0 << 0 << qint64(200000) << u"2.0.0000"_s;
    QTest::newRow("3.4 revision 1234") << 3 << 4 << 1234 << qint64(341234) << u"3.4.1234"_s;
}

void TestMainWindow::ownVersion()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(qint64, number);
    QFETCH(QString, text);
    const ProgramVersion version{major, minor, revision};
    QCOMPARE(OwnVersionNumber(version), number);
    QCOMPARE(VersionText(version), text);
}

void TestMainWindow::updateOffered_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<bool>("offered");
    QTest::newRow("equal") << u"200000|paket.exe"_s << false;
    QTest::newRow("one revision newer") << u"200001|paket.exe"_s << true;
    QTest::newRow("older") << u"199999|paket.exe"_s << false;
    QTest::newRow("newer without package field") << u"200001"_s << false;
    QTest::newRow("no reply") << QString() << false;
    QTest::newRow("field not starting with a digit") << u"v300000|paket.exe"_s << false;
    QTest::newRow("leading digits then text") << u"300000beta|paket.exe"_s << true;
    QTest::newRow("more digits than fit") << u"99999999999999999999999|p"_s << true;
}

void TestMainWindow::updateOffered()
{
    QFETCH(QString, payload);
    QFETCH(bool, offered);
    QCOMPARE(IsUpdateOffered(payload, 200000), offered);
}

void TestMainWindow::startUp_data()
{
    QTest::addColumn<qint64>("serviceVersion");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<bool>("login");

    const qint64 own = OwnVersionNumber();
    QTest::newRow("older service version") << own - 1 << true << false << true;
    QTest::newRow("equal service version") << own << true << false << true;
    QTest::newRow("newer, offer declined") << own + 1 << false << true << true;
    QTest::newRow("newer, offer accepted") << own + 1 << true << true << false;
}

void TestMainWindow::startUp()
{
    QFETCH(qint64, serviceVersion);
    QFETCH(bool, answer);
    QFETCH(bool, offered);
    QFETCH(bool, login);

    MessageRecorder recorder;
    recorder.answerNext(answer);
    m_fixture->server.setLatestVersion(QString::number(serviceVersion), u"SMSGuncelleme.exe"_s);
    m_fixture->window->startUp();

    if (offered) {
        QCOMPARE(recorder.boxes().size(), 1);
        const MessageBox::Request &box = recorder.boxes().constFirst();
        QCOMPARE(box.title, u"Güncel Sürüm İndir"_s);
        QCOMPARE(box.text, u"SMS Programınızın Güncel Sürümü Bulundu.. İndirip Kurmanız Önerilir.. "
                           u"Şimdi İndirmek İstiyormusunuz.?"_s);
        QVERIFY(box.yesNo);
        QCOMPARE(box.icon, MessageBox::Icon::Exclamation);
    } else {
        QVERIFY(recorder.boxes().isEmpty());
    }

    LoginWindow *loginWindow = m_fixture->window->loginWindow();
    QCOMPARE(loginWindow != nullptr && loginWindow->isVisible(), login);
    // The frame shows at once only when no login takes place.
    QCOMPARE(m_fixture->window->isVisible(), !login);
    QVERIFY(!m_fixture->window->hasEnded());
    if (!login) {
        for (const QString &name : {u"SG_0"_s, u"R_0"_s, u"T_1"_s, u"T_2"_s})
            QVERIFY2(!action(name)->isEnabled(), qPrintable(name));
        for (const QString &name : {u"H_2"_s, u"C_0"_s})
            QVERIFY2(action(name)->isEnabled(), qPrintable(name));
        action(u"SG_0"_s)->trigger();
        QVERIFY(m_fixture->window->mdiArea()->subWindowList().isEmpty());
        // The about box opens with empty customer lines.
        action(u"H_2"_s)->trigger();
        QCOMPARE(m_fixture->window->mdiArea()->subWindowList().size(), 1);
    }
}

void TestMainWindow::startUp_serviceUnreachable_opensLogin()
{
    MessageRecorder recorder;
    m_fixture->server.setFault(u"close"_s);
    m_fixture->window->startUp();
    QVERIFY(recorder.boxes().isEmpty());
    QVERIFY(m_fixture->window->loginWindow());
    QVERIFY(m_fixture->window->loginWindow()->isVisible());
}

void TestMainWindow::menuBar_captionsAndOrder()
{
    const QList<QAction *> top = m_fixture->window->menuBar()->actions();
    QStringList names;
    QStringList captions;
    for (const QAction *item : top) {
        names << item->objectName();
        captions << item->text();
    }
    QCOMPARE(names, (QStringList{u"SG_0"_s, u"R_0"_s, u"T_0"_s, u"H_0"_s, u"C_0"_s}));
    QCOMPARE(captions, (QStringList{u"SMS Gönder"_s, u"İletim Raporları"_s, u"Tanımlar"_s, u"Hakkında"_s,
                                    u"Çıkış"_s}));
    const auto submenu = [this](const QString &name) {
        QStringList entries;
        for (const QAction *item : m_fixture->window->findChild<QMenu *>(name)->actions())
            entries << item->objectName() + u'=' + item->text();
        return entries;
    };
    QCOMPARE(submenu(u"T_0"_s), (QStringList{u"T_1=Grup Ve Kişi Tanımları"_s, u"T_2=Cari Bilgileri"_s}));
    QCOMPARE(submenu(u"H_0"_s), (QStringList{u"H_1=Yardım"_s, u"H_2=Velmor SMS Hakkında"_s}));
    QCOMPARE(m_fixture->window->windowTitle(), u"Velmor Rehber"_s);
    QVERIFY(!m_fixture->window->windowIcon().isNull());
}

void TestMainWindow::runState_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ends");
    QTest::newRow("olmadi") << u"olmadi"_s << true;
    QTest::newRow("Guncellendi") << u"Guncellendi"_s << true;
    QTest::newRow("unknown value") << u"bilinmiyor"_s << false;
    QTest::newRow("empty value") << QString() << false;
    QTest::newRow("other letter case") << u"OLMADI"_s << false;
}

void TestMainWindow::runState()
{
    QFETCH(QString, value);
    QFETCH(bool, ends);
    MessageRecorder recorder;
    logIn();
    action(u"H_2"_s)->trigger();
    QSignalSpy ended(m_fixture->window.get(), &MainWindow::ended);
    const int contacts = int(m_fixture->window->session().snapshot().contacts.size());

    m_fixture->window->session().setRunState(value);

    QCOMPARE(m_fixture->window->hasEnded(), ends);
    QCOMPARE(ended.count(), ends ? 1 : 0);
    QCOMPARE(m_fixture->window->isVisible(), !ends);
    // Closing the frame closes every window in it.
    QCOMPARE(m_fixture->window->mdiArea()->subWindowList().isEmpty(), ends);
    QCOMPARE(int(m_fixture->window->session().snapshot().contacts.size()), contacts);
    QVERIFY(recorder.texts().isEmpty());
}

void TestMainWindow::menuItemChosenTwice_opensOneWindow_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("window");
    QTest::newRow("SMS Gönder") << u"SG_0"_s << u"Frm_Gonder"_s;
    QTest::newRow("Velmor SMS Hakkında") << u"H_2"_s << u"Frm_Hakkinda"_s;
    QTest::newRow("Cari Bilgileri") << u"T_2"_s << u"Frm_Tanim_Cari"_s;
}

void TestMainWindow::menuItemChosenTwice_opensOneWindow()
{
    QFETCH(QString, item);
    QFETCH(QString, window);
    MessageRecorder recorder;
    logIn();
    QMdiArea *area = m_fixture->window->mdiArea();

    action(item)->trigger();
    QCOMPARE(area->subWindowList().size(), 1);
    QMdiSubWindow *first = area->subWindowList().constFirst();
    QCOMPARE(first->widget()->objectName(), window);
    QVERIFY(first->isVisible());
    QVERIFY(!first->windowIcon().isNull());

    // Another window comes forward in between; choosing the item again
    // brings the first one back instead of opening a second.
    action(item == u"H_2" ? u"SG_0"_s : u"H_2"_s)->trigger();
    QCOMPARE(area->subWindowList().size(), 2);
    action(item)->trigger();
    QCOMPARE(area->subWindowList().size(), 2);
    QCOMPARE(area->activeSubWindow(), first);
}

void TestMainWindow::frameRefusesToClose_whileAWindowWaitsForTheService()
{
    MessageRecorder recorder;
    logIn();
    // The send window asks for the balance while it opens; the frame is
    // asked to close in the middle of that request.
    m_fixture->server.setDelayMs(300);
    bool closedDuringRequest = true;
    QTimer::singleShot(100, m_fixture->window.get(),
                       [this, &closedDuringRequest] { closedDuringRequest = m_fixture->window->close(); });
    action(u"SG_0"_s)->trigger();
    QVERIFY(!closedDuringRequest);
    QVERIFY(m_fixture->window->isVisible());
    QCOMPARE(m_fixture->window->mdiArea()->subWindowList().size(), 1);
    m_fixture->server.setDelayMs(0);
}

void TestMainWindow::closedChildWindow_opensFreshNextTime()
{
    MessageRecorder recorder;
    logIn();
    QMdiArea *area = m_fixture->window->mdiArea();
    action(u"H_2"_s)->trigger();
    QPointer<QMdiSubWindow> first = area->subWindowList().constFirst();
    first->close();
    QTRY_VERIFY(first.isNull());
    QVERIFY(area->subWindowList().isEmpty());
    action(u"H_2"_s)->trigger();
    QCOMPARE(area->subWindowList().size(), 1);
}

void TestMainWindow::exitItem_closesProgram()
{
    MessageRecorder recorder;
    logIn();
    QSignalSpy ended(m_fixture->window.get(), &MainWindow::ended);
    action(u"C_0"_s)->trigger();
    QCOMPARE(ended.count(), 1);
    QVERIFY(!m_fixture->window->isVisible());
    QVERIFY(m_fixture->window->hasEnded());
}

void TestMainWindow::fixedWindow_cannotBeResized_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QSize>("clientArea");
    QTest::newRow("about box") << u"H_2"_s << QSize(Twips(7170), Twips(4185));
    QTest::newRow("customer details") << u"T_2"_s << QSize(Twips(9600), Twips(8985));
}

void TestMainWindow::fixedWindow_cannotBeResized()
{
    QFETCH(QString, item);
    QFETCH(QSize, clientArea);
    MessageRecorder recorder;
    logIn();
    action(item)->trigger();
    QMdiSubWindow *frame = m_fixture->window->mdiArea()->subWindowList().constFirst();
    const QSize size = frame->size();

    // Dragging the lower right corner outwards.
    const QPoint corner(frame->width() - 2, frame->height() - 2);
    const QPoint outside = corner + QPoint(80, 60);
    QTest::mouseMove(frame, corner);
    QTest::mousePress(frame, Qt::LeftButton, {}, corner);
    QMouseEvent drag(QEvent::MouseMove, QPointF(outside), frame->mapToGlobal(QPointF(outside)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(frame, &drag);
    QTest::mouseRelease(frame, Qt::LeftButton, {}, outside);
    QCOMPARE(frame->size(), size);

    // Sizing from the keyboard through the window menu.
    for (QAction *entry : frame->systemMenu()->actions()) {
        if (entry->text().remove(u'&') == u"Size")
            entry->trigger();
    }
    QTest::keyClick(frame, Qt::Key_Right);
    QTest::keyClick(frame, Qt::Key_Down);
    QTest::keyClick(frame, Qt::Key_Return);
    QCOMPARE(frame->size(), size);
    QCOMPARE(frame->widget()->size(), clientArea);
}

} // namespace velmor::test

QTEST_MAIN(velmor::test::TestMainWindow)
#include "tst_mainwindow.moc"
