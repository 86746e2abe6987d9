#include "ui/main/loginwindow.h"

#include "model/session.h"
#include "service/service.h"
#include "model/logincheck.h"
#include "ui/common/messagebox.h"

#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {
constexpr auto kCustomerCodeKey = "Cari"_L1;
constexpr auto kUserNameKey = "Kullanici"_L1;
} // namespace

QString LoginWindow::settingsOrganisation()
{
    return u"velmorRehberCari"_s;
}

QString LoginWindow::settingsGroup()
{
    return u"Giris"_s;
}

LoginWindow::LoginWindow(const Service &service, Session &session, QWidget *parent)
    : QDialog(parent), m_service(service), m_session(session)
{
    setObjectName(u"LoginWindow"_s);
    setWindowTitle(u"Velmor SMS Giriş"_s);
    if (parent)
        setWindowIcon(parent->windowIcon());

    m_customerCode = new QLineEdit(this);
    m_customerCode->setObjectName(u"txtCariKodu"_s);
    m_userName = new QLineEdit(this);
    m_userName->setObjectName(u"txtKullanici"_s);
    m_password = new QLineEdit(this);
    m_password->setObjectName(u"txtSifre"_s);
    m_password->setEchoMode(QLineEdit::Password);
    // Each typed character shows as "*", whatever mark the style would use.
    m_password->setStyleSheet(u"QLineEdit { lineedit-password-character: 42; }"_s);
    m_password->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhNoPredictiveText | Qt::ImhSensitiveData);

    auto *fields = new QFormLayout;
    fields->addRow(u"Cari Kodunuz :"_s, m_customerCode);
    fields->addRow(u"Kullanıcı Adınız :"_s, m_userName);
    fields->addRow(u"Şifreniz :"_s, m_password);

    m_loginButton = new QPushButton(u"Giriş"_s, this);
    m_loginButton->setObjectName(u"Cmd_Giris"_s);
    m_loginButton->setDefault(true);
    m_cancelButton = new QPushButton(u"Vazgeç"_s, this);
    m_cancelButton->setObjectName(u"Cmd_Vazgec"_s);
    // Enter presses "Giriş" from the fields; on a focused "Vazgeç" it presses
    // "Vazgeç", as Space does, rather than running a login check.

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_loginButton);
    buttons->addWidget(m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    if (m_service.transport().sendsInClear()) {
        // Anyone on the way can read what is typed here.
        auto *notice = new QLabel(UnencryptedConnectionNotice(), this);
        notice->setObjectName(u"lblSifresizBaglanti"_s);
        notice->setWordWrap(true);
        notice->setTextFormat(Qt::PlainText);
        QPalette palette = notice->palette();
        palette.setColor(QPalette::WindowText, QColor(170, 0, 0));
        notice->setPalette(palette);
        layout->addWidget(notice);
        setAccessibleDescription(notice->text());
    }
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_customerCode->setMinimumWidth(180);

    setTabOrder(m_customerCode, m_userName);
    setTabOrder(m_userName, m_password);
    setTabOrder(m_password, m_loginButton);
    setTabOrder(m_loginButton, m_cancelButton);

    connect(m_loginButton, &QPushButton::clicked, this, &LoginWindow::login);
    connect(m_cancelButton, &QPushButton::clicked, this, &LoginWindow::reject);

    loadSavedFields();
}

QString LoginWindow::customerCode() const
{
    return m_customerCode->text();
}

void LoginWindow::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    setEnabled(!busy);
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void LoginWindow::dismiss()
{
    m_dismissed = true;
    done(QDialog::Accepted);
}

void LoginWindow::reject()
{
    // Nothing may end the window while its request is in flight. The main
    // window answers "olmadi" by closing this window and the program.
    if (m_busy || m_dismissed)
        return;
    m_session.setRunState(u"olmadi"_s);
}

void LoginWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    focusFirstEmptyField();
}

void LoginWindow::loadSavedFields()
{
    QSettings settings(settingsOrganisation(), settingsOrganisation());
    settings.beginGroup(settingsGroup());
    m_customerCode->setText(settings.value(kCustomerCodeKey).toString());
    m_userName->setText(settings.value(kUserNameKey).toString());
    m_password->clear();
    m_failedLoginCount = 0;
}

void LoginWindow::saveFields() const
{
    // The password is never written anywhere.
    QSettings settings(settingsOrganisation(), settingsOrganisation());
    settings.beginGroup(settingsGroup());
    settings.setValue(kCustomerCodeKey, m_customerCode->text().trimmed());
    settings.setValue(kUserNameKey, m_userName->text());
}

void LoginWindow::focusFirstEmptyField()
{
    for (QLineEdit *field : {m_customerCode, m_userName, m_password}) {
        if (field->text().isEmpty()) {
            field->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    m_password->setFocus(Qt::OtherFocusReason);
}

void LoginWindow::selectForCorrection(QLineEdit *field)
{
    field->selectAll();
    field->setFocus(Qt::OtherFocusReason);
}

void LoginWindow::login()
{
    if (m_busy || m_dismissed)
        return;

    QPointer<QWidget> previousFocus = focusWidget();
    setBusy(true);
    const QString payload = FetchLoginRecord(m_service, m_customerCode->text());
    setBusy(false);
    if (previousFocus)
        previousFocus->setFocus(Qt::OtherFocusReason);

    const LoginCheckResult result = CheckLogin(payload, m_userName->text(), m_password->text());
    if (IsCountedFailure(result.outcome))
        ++m_failedLoginCount;

    switch (result.outcome) {
    case LoginOutcome::ServerError:
        MessageBox::show(this, m_service.lastOutcome() == RequestOutcome::CertificateRejected
                                   ? CertificateFailureMessage()
                                   : LoginMessage(result.outcome));
        break;
    case LoginOutcome::Inactive:
        MessageBox::show(this, LoginMessage(result.outcome));
        m_session.setLoginActive({});
        break;
    case LoginOutcome::UnknownCustomer:
    case LoginOutcome::WrongUser:
    case LoginOutcome::WrongPassword: {
        MessageBox::show(this, LoginMessage(result.outcome));
        m_session.setLoginActive({});
        QLineEdit *faulty = result.outcome == LoginOutcome::UnknownCustomer ? m_customerCode
                            : result.outcome == LoginOutcome::WrongUser     ? m_userName
                                                                            : m_password;
        selectForCorrection(faulty);
        break;
    }
    case LoginOutcome::Success:
        m_session.setLoginActive(result.status);
        saveFields();
        // The main window loads the account and closes this window, or says
        // why it cannot and leaves it open.
        m_session.setRunState(u"oldu"_s);
        if (!m_dismissed && previousFocus)
            previousFocus->setFocus(Qt::OtherFocusReason);
        return;
    }

    if (m_failedLoginCount > kAllowedFailedLogins) {
        MessageBox::show(this, TooManyFailedLoginsMessage());
        m_session.setRunState(u"olmadi"_s);
    }
}

} // namespace velmor
