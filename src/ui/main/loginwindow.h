#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace velmor {

class Service;
class Session;

// Asks for the customer code, the user name and the password and checks them
// against the login record the service keeps for the customer. A success sets
// the session's RunState to "oldu", giving up sets it to "olmadi"; the main
// window reacts to both and closes this window.
class LoginWindow : public QDialog
{
    Q_OBJECT

public:
    LoginWindow(const Service &service, Session &session, QWidget *parent = nullptr);

    // The customer code exactly as typed (not trimmed).
    QString customerCode() const;
    int failedLoginCount() const { return m_failedLoginCount; }

    // True while a request made for this window is in flight: the window takes
    // no input and cannot be closed.
    bool isBusy() const { return m_busy; }
    void setBusy(bool busy);

    // Closes the window after the main window has handled the outcome; unlike
    // the close box this does not give up the login.
    void dismiss();

    // "Vazgeç", Escape and the close box: gives up the login.
    void reject() override;

    // Where the customer code and user name are kept between runs.
    static QString settingsOrganisation();
    static QString settingsGroup();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void login();
    void loadSavedFields();
    void saveFields() const;
    void focusFirstEmptyField();
    void selectForCorrection(QLineEdit *field);

    const Service &m_service;
    Session &m_session;
    QLineEdit *m_customerCode = nullptr;
    QLineEdit *m_userName = nullptr;
    QLineEdit *m_password = nullptr;
    QPushButton *m_loginButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    int m_failedLoginCount = 0;
    bool m_busy = false;
    bool m_dismissed = false;
};

} // namespace velmor
