#include "loopbackserver.h"
#include "mainwindowfixture.h"
#include "testsupport.h"

#include "model/snapshot.h"
#include "model/logincheck.h"

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace velmor::test {

namespace {
const QString kCustomer = u"1001"_s;
const QString kUser = u"demo"_s;
const QString kPassword = u"demo"_s;
} // namespace

class TestLoginWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void failure_data();
    void failure();
    void thirdCountedFailure_endsProgram();
    void twoCountedAndServerFailure_keepProgramOpen();
    void success_loadsAccountAndShowsMainWindow();
    void blanksAroundCustomerCode_sentAsTypedSavedTrimmed();
    void savedFields_restoredPasswordNeverStored();
    void focus_firstEmptyField_data();
    void focus_firstEmptyField();
    void accountFetchFails_staysInLogin();
    void accountOverTheLimits_saidSoAndNothingShown();
    void closingByFrame_endsProgram();
    void enterKey_data();
    void enterKey();
    void untrustedCertificate_saidSoNeverServerError();
    void plainHttpToAnotherMachine_saysNotEncrypted_data();
    void plainHttpToAnotherMachine_saysNotEncrypted();

private:
    std::unique_ptr<MainWindowFixture> m_fixture;
    LoginWindow *startLogin();
};

void TestLoginWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestLoginWindow::init()
{
    SaveLoginFields({}, {});
    m_fixture = std::make_unique<MainWindowFixture>();
    QVERIFY2(m_fixture->started, qPrintable(m_fixture->server.errorString()));
}

LoginWindow *TestLoginWindow::startLogin()
{
    m_fixture->window->startUp();
    return m_fixture->window->findChild<LoginWindow *>(u"LoginWindow"_s);
}

void TestLoginWindow::failure_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("field");      // customer field changed on the service, -1: none
    QTest::addColumn<QString>("value");  // its new value
    QTest::addColumn<QString>("customer");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("counted");
    QTest::addColumn<QString>("focused"); // the field taking the focus, empty: unchanged

    const QString serverError = LoginMessage(LoginOutcome::ServerError);
    const QString unknown = LoginMessage(LoginOutcome::UnknownCustomer);
    QTest::newRow("service closes the connection")
        << u"close"_s << -1 << QString() << kCustomer << kUser << kPassword << serverError << false << QString();
    QTest::newRow("reply without envelope")
        << u"garbage"_s << -1 << QString() << kCustomer << kUser << kPassword << serverError << false << QString();
    QTest::newRow("unknown customer")
        << QString() << -1 << QString() << u"987654"_s << kUser << kPassword << unknown << true << u"txtCariKodu"_s;
    QTest::newRow("empty customer code")
        << QString() << -1 << QString() << QString() << kUser << kPassword << unknown << true << u"txtCariKodu"_s;
    QTest::newRow("record of four fields")
        << QString() << 22 << u"de|mo"_s << kCustomer << kUser << kPassword << unknown << true << u"txtCariKodu"_s;
    QTest::newRow("inactive account")
        << QString() << 1 << u"0"_s << kCustomer << kUser << kPassword
        << u"Cari Hesabınız Aktif Değil..."_s << false << QString();
    QTest::newRow("user name in other letter case")
        << QString() << -1 << QString() << kCustomer << u"Demo"_s << kPassword
        << u"Kullanıcı Adınızı Yanlış Girdiniz... Lütfen Tekrar Giriniz.."_s << true << u"txtKullanici"_s;
    QTest::newRow("user name with a trailing blank")
        << QString() << -1 << QString() << kCustomer << u"demo "_s << kPassword
        << u"Kullanıcı Adınızı Yanlış Girdiniz... Lütfen Tekrar Giriniz.."_s << true << u"txtKullanici"_s;
    QTest::newRow("wrong password")
        << QString() << -1 << QString() << kCustomer << kUser << u"yanlis"_s
        << u"Şifrenizi Yanlış Girdiniz... Lütfen Tekrar Giriniz.."_s << true << u"txtSifre"_s;
}

void TestLoginWindow::failure()
{
    QFETCH(QString, fault);
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(QString, customer);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, message);
    QFETCH(bool, counted);
    QFETCH(QString, focused);

    MessageRecorder recorder;
    LoginWindow *login = startLogin();
    QVERIFY(login);
    QVERIFY(login->isVisible());
    if (field >= 0)
        m_fixture->server.setCustomerField(kCustomer, field, value);
    if (!fault.isEmpty())
        m_fixture->server.setFault(fault, {4});
    m_fixture->window->session().setLoginActive(u"1"_s);

    SubmitLogin(login, customer, user, password);

    QCOMPARE(recorder.texts(), QStringList{message});
    QCOMPARE(recorder.boxes().constFirst().title, u"Velmor SMS"_s);
    QVERIFY(!recorder.boxes().constFirst().yesNo);
    QCOMPARE(login->failedLoginCount(), counted ? 1 : 0);
    QVERIFY(login->isVisible());
    QVERIFY(login->isEnabled());
    QVERIFY(!m_fixture->window->isVisible());
    QVERIFY(!m_fixture->window->hasEnded());
    QVERIFY(m_fixture->window->session().runState().isEmpty());
    if (fault.isEmpty())
        QVERIFY(m_fixture->window->session().loginActive().isEmpty());
    if (!focused.isEmpty()) {
        QLineEdit *faulty = Field(login, focused);
        QCOMPARE(login->focusWidget(), faulty);
        QCOMPARE(faulty->selectedText(), faulty->text());
    }
    // Nothing is saved after a failure; the fields stay as typed.
    QVERIFY(!SavedLoginField(u"Cari"_s).isValid());
    QCOMPARE(Field(login, u"txtSifre"_s)->text(), password);
}

void TestLoginWindow::thirdCountedFailure_endsProgram()
{
    MessageRecorder recorder;
    LoginWindow *login = startLogin();
    QSignalSpy ended(m_fixture->window.get(), &MainWindow::ended);

    SubmitLogin(login, kCustomer, kUser, u"bir"_s);
    SubmitLogin(login, kCustomer, u"iki"_s, kPassword);
    QVERIFY(!m_fixture->window->hasEnded());
    SubmitLogin(login, u"987654"_s, kUser, kPassword);

    const QStringList expected{
        LoginMessage(LoginOutcome::WrongPassword),
        LoginMessage(LoginOutcome::WrongUser),
        LoginMessage(LoginOutcome::UnknownCustomer),
        u"3 Sefer Yanlış Giriş Yaptınız. Şimdi Program Kapatılacak..."_s,
    };
    QCOMPARE(recorder.texts(), expected);
    QCOMPARE(m_fixture->window->session().runState(), u"olmadi"_s);
    QVERIFY(m_fixture->window->hasEnded());
    QCOMPARE(ended.count(), 1);
    QVERIFY(!login->isVisible());
    QVERIFY(!m_fixture->window->isVisible());
}

void TestLoginWindow::twoCountedAndServerFailure_keepProgramOpen()
{
    MessageRecorder recorder;
    LoginWindow *login = startLogin();

    SubmitLogin(login, kCustomer, kUser, u"bir"_s);
    SubmitLogin(login, kCustomer, kUser, u"iki"_s);
    m_fixture->server.setFault(u"close"_s);
    SubmitLogin(login, kCustomer, kUser, kPassword);
    // An inactive account is reported before a wrong password, and not counted.
    m_fixture->server.setCustomerField(kCustomer, 1, u"0"_s);
    m_fixture->server.setFault(QString());
    SubmitLogin(login, kCustomer, kUser, u"uc"_s);
    QCOMPARE(recorder.lastText(), LoginMessage(LoginOutcome::Inactive));

    QCOMPARE(login->failedLoginCount(), 2);
    QVERIFY(!m_fixture->window->hasEnded());
    QVERIFY(login->isVisible());
    QCOMPARE(recorder.texts().size(), 4);

    // The next counted failure is the third.
    m_fixture->server.setCustomerField(kCustomer, 1, u"1"_s);
    SubmitLogin(login, kCustomer, kUser, u"dort"_s);
    QCOMPARE(recorder.lastText(), TooManyFailedLoginsMessage());
    QVERIFY(m_fixture->window->hasEnded());
}

void TestLoginWindow::success_loadsAccountAndShowsMainWindow()
{
    MessageRecorder recorder;
    LoginWindow *login = startLogin();
    QPointer<LoginWindow> guard(login);
    SubmitLogin(login, kCustomer, kUser, u"bir"_s);
    SubmitLogin(login, kCustomer, kUser, kPassword);

    QCOMPARE(recorder.texts().size(), 1);
    Session &session = m_fixture->window->session();
    QCOMPARE(session.runState(), u"oldu"_s);
    QCOMPARE(session.loginActive(), u"1"_s);
    QVERIFY(session.snapshot().hasCustomer);
    QCOMPARE(session.customerNo(), kCustomer);
    QVERIFY(!session.snapshot().contacts.isEmpty());
    QVERIFY(m_fixture->window->isVisible());
    QVERIFY(!m_fixture->window->hasEnded());
    QVERIFY(!login->isVisible());
    QTRY_VERIFY(guard.isNull()); // the login window is gone once the event loop runs
    QCOMPARE(SavedLoginField(u"Cari"_s).toString(), kCustomer);
    QCOMPARE(SavedLoginField(u"Kullanici"_s).toString(), kUser);
}

void TestLoginWindow::blanksAroundCustomerCode_sentAsTypedSavedTrimmed()
{
    MessageRecorder recorder;
    LoginWindow *login = startLogin();
    m_fixture->server.clearReceivedBodies();
    SubmitLogin(login, u"  1001 "_s, kUser, kPassword);

    QVERIFY2(recorder.texts().isEmpty(), qPrintable(recorder.texts().join(u'\n')));
    const QList<QByteArray> bodies = m_fixture->server.receivedBodies();
    QCOMPARE(bodies.size(), 2);
    for (const QByteArray &body : bodies) {
        const QUrlQuery fields(QString::fromLatin1(body));
        QCOMPARE(fields.queryItemValue(u"Cari_No"_s, QUrl::FullyDecoded), u"  1001 "_s);
    }
    QVERIFY(bodies.at(0).startsWith("Rehber=4&"));
    QVERIFY(bodies.at(1).startsWith("Rehber=1&"));
    QCOMPARE(SavedLoginField(u"Cari"_s).toString(), u"1001"_s);
}

void TestLoginWindow::savedFields_restoredPasswordNeverStored()
{
    const QString password = u"Gizli-Parola-77"_s;
    {
        MessageRecorder recorder;
        m_fixture->server.setCustomerField(kCustomer, 26, password);
        LoginWindow *login = startLogin();
        SubmitLogin(login, u" 1001"_s, u"demo"_s, password);
        QVERIFY(m_fixture->window->isVisible());
    }
    QFile file(LoginSettingsFile());
    QVERIFY(file.fileName().contains(u".qttest"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    QVERIFY(!stored.contains(password.toUtf8()));
    QVERIFY(stored.contains("Kullanici=demo"));

    // The next start shows what was saved, and no password.
    MainWindowFixture next;
    next.window->startUp();
    LoginWindow *login = next.window->loginWindow();
    QVERIFY(login);
    QCOMPARE(Field(login, u"txtCariKodu"_s)->text(), u"1001"_s);
    QCOMPARE(Field(login, u"txtKullanici"_s)->text(), u"demo"_s);
    QVERIFY(Field(login, u"txtSifre"_s)->text().isEmpty());
    QCOMPARE(Field(login, u"txtSifre"_s)->echoMode(), QLineEdit::Password);
    // Typed characters show as "*".
    Field(login, u"txtSifre"_s)->setText(u"abc"_s);
    QCOMPARE(Field(login, u"txtSifre"_s)->displayText(), u"***"_s);
    QCOMPARE(login->failedLoginCount(), 0);
}

void TestLoginWindow::focus_firstEmptyField_data()
{
    QTest::addColumn<QString>("savedCustomer");
    QTest::addColumn<QString>("savedUser");
    QTest::addColumn<QString>("focused");
    QTest::newRow("nothing saved") << QString() << QString() << u"txtCariKodu"_s;
    QTest::newRow("both saved") << u"1001"_s << u"demo"_s << u"txtSifre"_s;
    QTest::newRow("user name saved empty") << u"1001"_s << u""_s << u"txtKullanici"_s;
}

void TestLoginWindow::focus_firstEmptyField()
{
    QFETCH(QString, savedCustomer);
    QFETCH(QString, savedUser);
    QFETCH(QString, focused);
    SaveLoginFields(savedCustomer, savedUser);
    MainWindowFixture fixture;
    fixture.window->startUp();
    LoginWindow *login = fixture.window->loginWindow();
    QCOMPARE(login->focusWidget(), Field(login, focused));
    QVERIFY(login->findChild<QPushButton *>(u"Cmd_Giris"_s)->isDefault());
    QCOMPARE(login->windowModality(), Qt::ApplicationModal);
}

void TestLoginWindow::accountFetchFails_staysInLogin()
{
    MessageRecorder recorder;
    LoginWindow *login = startLogin();
    m_fixture->server.setFault(u"close"_s, {1});
    SubmitLogin(login, kCustomer, kUser, kPassword);

    QCOMPARE(recorder.texts(), QStringList{u"Server Hatası Oluştu..Giriş Yapılamıyor."_s});
    QVERIFY(login->isVisible());
    QVERIFY(login->isEnabled());
    QVERIFY(!m_fixture->window->isVisible());
    QVERIFY(!m_fixture->window->hasEnded());
    QVERIFY(m_fixture->window->session().loginActive().isEmpty());
    QVERIFY(!m_fixture->window->session().snapshot().hasCustomer);

    // Once the service answers again the same window logs in.
    m_fixture->server.setFault(QString());
    SubmitLogin(login, kCustomer, kUser, kPassword);
    QVERIFY(m_fixture->window->isVisible());
    QCOMPARE(m_fixture->window->session().loginActive(), u"1"_s);
}

void TestLoginWindow::accountOverTheLimits_saidSoAndNothingShown()
{
    MessageRecorder recorder;
    LoginWindow *login = startLogin();
    // A field no window reads, far longer than any real value.
    m_fixture->server.setCustomerField(kCustomer, 20, QString(kMaxAccountTextLength + 1, u'x'));
    SubmitLogin(login, kCustomer, kUser, kPassword);

    QCOMPARE(recorder.texts(), QStringList{AccountTooLargeMessage()});
    QVERIFY(login->isVisible());
    QVERIFY(!m_fixture->window->isVisible());
    QVERIFY(m_fixture->window->session().loginActive().isEmpty());
    QVERIFY(!m_fixture->window->session().snapshot().hasCustomer);
}

void TestLoginWindow::closingByFrame_endsProgram()
{
    MessageRecorder recorder;
    LoginWindow *login = startLogin();
    login->close();
    QCOMPARE(m_fixture->window->session().runState(), u"olmadi"_s);
    QVERIFY(m_fixture->window->hasEnded());
    QVERIFY(!login->isVisible());
    QVERIFY(recorder.texts().isEmpty());
}

void TestLoginWindow::enterKey_data()
{
    QTest::addColumn<QString>("focused");
    QTest::addColumn<bool>("checked"); // true: a login check ran; false: the login was given up
    QTest::newRow("in the password field") << u"txtSifre"_s << true;
    QTest::newRow("in the customer code field") << u"txtCariKodu"_s << true;
    QTest::newRow("on Giriş") << u"Cmd_Giris"_s << true;
    QTest::newRow("on Vazgeç") << u"Cmd_Vazgec"_s << false;
}

void TestLoginWindow::enterKey()
{
    QFETCH(QString, focused);
    QFETCH(bool, checked);
    MessageRecorder recorder;
    LoginWindow *login = startLogin();
    Field(login, u"txtCariKodu"_s)->setText(kCustomer);
    Field(login, u"txtKullanici"_s)->setText(kUser);
    Field(login, u"txtSifre"_s)->setText(u"yanlis"_s);
    auto *target = login->findChild<QWidget *>(focused);
    target->setFocus(Qt::TabFocusReason);

    QTest::keyClick(target, Qt::Key_Return);

    if (checked) {
        QCOMPARE(recorder.texts(), QStringList{LoginMessage(LoginOutcome::WrongPassword)});
        QCOMPARE(login->failedLoginCount(), 1);
        QVERIFY(!m_fixture->window->hasEnded());
    } else {
        QVERIFY(recorder.texts().isEmpty());
        QCOMPARE(login->failedLoginCount(), 0);
        QCOMPARE(m_fixture->window->session().runState(), u"olmadi"_s);
        QVERIFY(m_fixture->window->hasEnded());
    }
}

void TestLoginWindow::untrustedCertificate_saidSoNeverServerError()
{
    // A service over https whose certificate nobody trusts (self-signed).
    LoopbackServer server;
    QVERIFY(server.listenTls());
    const Service service(std::make_shared<HttpTransport>(server.endpoint(), 3000));
    Session session;
    LoginWindow login(service, session);
    login.show();
    MessageRecorder recorder;
    SubmitLogin(&login, kCustomer, kUser, kPassword);
    QCOMPARE(recorder.texts(), QStringList{CertificateFailureMessage()});
    QCOMPARE(login.failedLoginCount(), 0);
    QVERIFY(session.runState().isEmpty());
    QVERIFY(server.requests().isEmpty());
}

void TestLoginWindow::plainHttpToAnotherMachine_saysNotEncrypted_data()
{
    QTest::addColumn<QString>("endpoint");
    QTest::addColumn<bool>("notice");
    QTest::newRow("http to another machine") << u"http://sms.velmor.invalid/YeniRehber.asp"_s << true;
    QTest::newRow("https to another machine") << u"https://sms.velmor.invalid/YeniRehber.asp"_s << false;
    QTest::newRow("http on this machine") << u"http://127.0.0.1:48080/YeniRehber.asp"_s << false;
    QTest::newRow("http to localhost over IPv6") << u"http://[::1]:48080/YeniRehber.asp"_s << false;
    QTest::newRow("http to a name that begins like loopback")
        << u"http://127.0.0.1.velmor.invalid/YeniRehber.asp"_s << true;
}

void TestLoginWindow::plainHttpToAnotherMachine_saysNotEncrypted()
{
    QFETCH(QString, endpoint);
    QFETCH(bool, notice);
    const Service service(std::make_shared<HttpTransport>(QUrl(endpoint), 3000));
    Session session;
    LoginWindow login(service, session);
    login.show();
    const auto *label = login.findChild<QLabel *>(u"lblSifresizBaglanti"_s);
    QCOMPARE(label != nullptr && label->isVisible(), notice);
    if (notice)
        QCOMPARE(label->text(), UnencryptedConnectionNotice());
}

} // namespace velmor::test

QTEST_MAIN(velmor::test::TestLoginWindow)
#include "tst_loginwindow.moc"
