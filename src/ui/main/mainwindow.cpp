#include "ui/main/mainwindow.h"

#include "model/session.h"
#include "model/snapshot.h"
#include "service/service.h"
#include "ui/common/appicon.h"
#include "ui/common/listview.h"
#include "model/logincheck.h"
#include "ui/main/loginwindow.h"
#include "ui/common/messagebox.h"
#include "model/version.h"
#include "ui/account/frm_tanim_cari.h"
#include "ui/phonebook/frm_tanim_rehber.h"
#include "ui/reports/frm_sms_liste.h"
#include "ui/send/frm_gonder.h"
#include "ui/update/frm_hakkinda.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {
QAction *addMenuAction(QWidget *menu, const QString &name, const QString &caption)
{
    auto *action = new QAction(caption, menu);
    action->setObjectName(name);
    menu->addAction(action);
    return action;
}

// The frame of a window of fixed size: no resizing (neither by its edges nor
// through its system menu), no minimising or maximising.
constexpr Qt::WindowFlags kFixedFrame = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                                        | Qt::MSWindowsFixedSizeDialogHint;

QMenu *addSubmenu(QMenuBar *bar, const QString &name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}
} // namespace

MainWindow::MainWindow(const Service &service, UpdateOptions update, QWidget *parent)
    : QMainWindow(parent), m_service(service), m_update(std::move(update)), m_session(new Session(this))
{
    setObjectName(u"MainWindow"_s);
    setWindowTitle(u"Velmor Rehber"_s);
    setWindowIcon(ApplicationIcon());

    m_area = new QMdiArea(this);
    m_area->setObjectName(u"mdiArea"_s);
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);

    buildMenus();
    updateMenus();

    // Room for the send window, the largest child, with its frame.
    resize(1200, 840);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        resize(size().boundedTo(available.size() * 0.95));
        move(available.center() - rect().center());
    }

    connect(m_session, &Session::runStateChanged, this, &MainWindow::onRunStateChanged);
    connect(m_session, &Session::snapshotChanged, this, &MainWindow::updateMenus);
}

MainWindow::~MainWindow() = default;

LoginWindow *MainWindow::loginWindow() const
{
    return m_login;
}

Frm_Guncelle *MainWindow::updateWindow() const
{
    return m_updateWindow;
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    m_send = addMenuAction(bar, u"SG_0"_s, u"SMS Gönder"_s);
    m_reports = addMenuAction(bar, u"R_0"_s, u"İletim Raporları"_s);

    QMenu *definitions = addSubmenu(bar, u"T_0"_s, u"Tanımlar"_s);
    m_phoneBook = addMenuAction(definitions, u"T_1"_s, u"Grup Ve Kişi Tanımları"_s);
    m_customerDetails = addMenuAction(definitions, u"T_2"_s, u"Cari Bilgileri"_s);

    QMenu *about = addSubmenu(bar, u"H_0"_s, u"Hakkında"_s);
    addMenuAction(about, u"H_1"_s, u"Yardım"_s);
    QAction *aboutBox = addMenuAction(about, u"H_2"_s, u"Velmor SMS Hakkında"_s);

    QAction *quit = addMenuAction(bar, u"C_0"_s, u"Çıkış"_s);

    connect(m_send, &QAction::triggered, this, &MainWindow::openSendWindow);
    connect(m_reports, &QAction::triggered, this, &MainWindow::openReports);
    connect(m_phoneBook, &QAction::triggered, this, &MainWindow::openPhoneBook);
    connect(m_customerDetails, &QAction::triggered, this, &MainWindow::openCustomerDetails);
    connect(aboutBox, &QAction::triggered, this, &MainWindow::openAboutBox);
    connect(quit, &QAction::triggered, this, &MainWindow::close);
}

void MainWindow::updateMenus()
{
    // Without a customer record (no login took place) the windows that show
    // or change the customer's data stay shut.
    const bool hasCustomer = m_session->snapshot().hasCustomer;
    for (QAction *action : {m_send, m_reports, m_phoneBook, m_customerDetails})
        action->setEnabled(hasCustomer);
}

void MainWindow::startUp()
{
    if (m_ended)
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QString latest = FetchLatestVersion(m_service);
    QGuiApplication::restoreOverrideCursor();
    if (IsUpdateOffered(latest)) {
        const bool download = MessageBox::askYesNo(
            this, u"Güncel Sürüm İndir"_s,
            u"SMS Programınızın Güncel Sürümü Bulundu.. İndirip Kurmanız Önerilir.. Şimdi İndirmek İstiyormusunuz.?"_s);
        if (download) {
            // The update window opens beside the frame instead of the login.
            showFrame();
            openUpdateWindow();
            return;
        }
    }
    showLogin();
}

void MainWindow::showLogin()
{
    if (!m_login) {
        m_login = new LoginWindow(m_service, *m_session, this);
        m_login->setWindowModality(Qt::ApplicationModal);
    }
    m_login->show();
    m_login->raise();
    m_login->activateWindow();
}

void MainWindow::openUpdateWindow()
{
    if (m_updateWindow)
        return;
    m_updateWindow = new Frm_Guncelle(m_service, *m_session, m_update, this);
    // After a failed or abandoned update the user can still work with the
    // version at hand: the login is offered.
    connect(m_updateWindow, &Frm_Guncelle::closedWithoutUpdate, this, [this] {
        if (!m_ended && !m_closing)
            showLogin();
    });
    m_updateWindow->start();
}

void MainWindow::showFrame()
{
    show();
    raise();
    activateWindow();
}

void MainWindow::onRunStateChanged(const QString &value)
{
    if (value == u"oldu") {
        loginSucceeded();
    } else if (value == u"olmadi") {
        if (m_login) {
            m_login->dismiss();
            m_login->deleteLater();
        }
        close();
    } else if (value == u"Guncellendi") {
        // Closing the frame closes the update window first.
        close();
    }
    // Any other value changes nothing.
}

void MainWindow::loginSucceeded()
{
    if (!m_login)
        return;

    // The account of the customer code as typed, blanks included.
    AccountSnapshot snapshot = m_session->snapshot();
    m_login->setBusy(true);
    const RefreshResult result = RefreshAccountSnapshot(m_service, snapshot, m_login->customerCode());
    m_login->setBusy(false);

    if (result == RefreshResult::TooLarge) {
        // The account is there but over what the windows can hold: nothing
        // is shown from it, and the login stays open.
        m_session->setLoginActive({});
        MessageBox::show(m_login, AccountTooLargeMessage());
        return;
    }
    if (result != RefreshResult::Loaded || !snapshot.hasCustomer) {
        // The service went away between the login check and the account
        // fetch: an empty frame would be of no use, so the login stays open.
        m_session->setLoginActive({});
        MessageBox::show(m_login, LoginMessage(LoginOutcome::ServerError));
        return;
    }

    m_session->setSnapshot(std::move(snapshot));
    // Show the frame first so that the program always has a visible window.
    showFrame();
    m_login->dismiss();
    m_login->deleteLater();
}

QMdiSubWindow *MainWindow::openChild(QPointer<QMdiSubWindow> &slot, const std::function<QWidget *()> &create,
                                     Qt::WindowFlags flags)
{
    if (slot) {
        if (slot->isMinimized())
            slot->showNormal();
        m_area->setActiveSubWindow(slot);
        slot->raise();
        return nullptr;
    }
    QWidget *content = create();
    auto *frame = m_area->addSubWindow(content, flags);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(windowIcon());
    content->setWindowIcon(windowIcon());
    slot = frame;
    return frame;
}

void MainWindow::openCustomerWindow(QPointer<QMdiSubWindow> &slot, const std::function<QWidget *()> &create,
                                    bool fixedSize)
{
    if (!m_session->snapshot().hasCustomer)
        return;
    QMdiSubWindow *frame = openChild(slot, create, fixedSize ? kFixedFrame : Qt::WindowFlags{});
    if (!frame)
        return;
    frame->adjustSize();
    if (fixedSize)
        frame->setFixedSize(frame->size());
    PlaceChildWindow(frame, m_area, 200);
    frame->show();
    frame->widget()->setFocus(Qt::OtherFocusReason);
}

void MainWindow::openSendWindow()
{
    openCustomerWindow(m_sendWindow, [this] { return new Frm_Gonder(m_service, *m_session, nullptr); });
}

void MainWindow::openPhoneBook()
{
    openCustomerWindow(m_phoneBookWindow, [this] { return new Frm_Tanim_Rehber(m_service, *m_session, nullptr); });
}

void MainWindow::openCustomerDetails()
{
    openCustomerWindow(
        m_customerWindow, [this] { return new Frm_Tanim_Cari(m_service, *m_session, nullptr); }, true);
}

void MainWindow::openReports()
{
    openCustomerWindow(m_reportWindow, [this] { return new Frm_Sms_Liste(m_service, *m_session, nullptr); });
}

void MainWindow::openAboutBox()
{
    QMdiSubWindow *frame =
        openChild(m_aboutBox, [this] { return new Frm_Hakkinda(*m_session, nullptr); }, kFixedFrame);
    if (!frame)
        return;
    frame->adjustSize();
    frame->setFixedSize(frame->size());
    frame->move(AboutBoxPosition(frameGeometry().size(), frame->frameGeometry().size()));
    frame->show();
    frame->widget()->setFocus(Qt::OtherFocusReason);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Nothing closes while a request is in flight: the window waiting for it
    // (the login, or a window still opening) must outlive it.
    if (m_service.requestInFlight() || (m_login && m_login->isBusy())) {
        event->ignore();
        return;
    }
    // A download under way stops and is discarded; no login follows.
    if (m_updateWindow) {
        m_closing = true;
        const bool closed = m_updateWindow->close();
        m_closing = false;
        if (!closed) {
            event->ignore();
            return;
        }
    }
    // Every window inside the frame closes with it; one that refuses (its
    // request still in flight) keeps the frame open.
    const QList<QMdiSubWindow *> children = m_area->subWindowList();
    for (QMdiSubWindow *child : children) {
        if (!child->close()) {
            event->ignore();
            return;
        }
    }
    if (m_login) {
        m_login->dismiss();
        m_login->deleteLater();
    }

    event->accept();
    if (!m_ended) {
        m_ended = true;
        emit ended();
    }
}

} // namespace velmor
