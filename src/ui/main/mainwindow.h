#pragma once

#include "ui/update/frm_guncelle.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <functional>

class QAction;
class QMdiArea;
class QMdiSubWindow;

namespace velmor {

class LoginWindow;
class Service;
class Session;

// The program's frame: the menu bar and the area the feature windows open in.
// It owns the session (account snapshot and login values) for the whole run
// and reacts to every change of the session's RunState.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(const Service &service, UpdateOptions update, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Asks the service for its newest release, offers the update when it is
    // newer than this program, and otherwise opens the login window. The
    // frame shows itself once a login succeeds, or at once when the update
    // offer is accepted.
    void startUp();

    Session &session() { return *m_session; }
    QMdiArea *mdiArea() const { return m_area; }
    // The login window while it is open.
    LoginWindow *loginWindow() const;
    // The download base for the update package.
    const QUrl &updateUrl() const { return m_update.baseUrl; }
    // The update window while it is open.
    Frm_Guncelle *updateWindow() const;
    // True once the frame has closed for good: the program ends.
    bool hasEnded() const { return m_ended; }

signals:
    // The frame has closed; the program should end.
    void ended();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void updateMenus();
    void showLogin();
    void openUpdateWindow();
    void onRunStateChanged(const QString &value);
    void loginSucceeded();
    void showFrame();

    void openSendWindow();
    void openPhoneBook();
    void openCustomerDetails();
    void openReports();
    // The report's resend: the send window, opened or brought forward,
    // takes the numbers and the message.
    void openResend(const QStringList &numbers, const QString &message, bool severalMessages);
    void openAboutBox();
    // Opens a feature window of the customer inside the area (at most once),
    // placed 200 twips above the centre, and gives it the focus. A window of
    // fixed size gets a frame that cannot be resized.
    void openCustomerWindow(QPointer<QMdiSubWindow> &slot, const std::function<QWidget *()> &create,
                            bool fixedSize = false);
    // Brings the window forward when it is open, otherwise creates it inside
    // the area and returns its new frame (nullptr when it was open already).
    QMdiSubWindow *openChild(QPointer<QMdiSubWindow> &slot, const std::function<QWidget *()> &create,
                             Qt::WindowFlags flags = {});

    const Service &m_service;
    UpdateOptions m_update;
    Session *m_session = nullptr;
    QMdiArea *m_area = nullptr;
    QPointer<LoginWindow> m_login;
    // The update window, while one is open.
    QPointer<Frm_Guncelle> m_updateWindow;
    QPointer<QMdiSubWindow> m_sendWindow;
    QPointer<QMdiSubWindow> m_phoneBookWindow;
    QPointer<QMdiSubWindow> m_customerWindow;
    QPointer<QMdiSubWindow> m_reportWindow;
    QPointer<QMdiSubWindow> m_aboutBox;

    QAction *m_send = nullptr;
    QAction *m_reports = nullptr;
    QAction *m_phoneBook = nullptr;
    QAction *m_customerDetails = nullptr;
    bool m_ended = false;
    bool m_closing = false; // the frame is closing the update window

};

} // namespace velmor
