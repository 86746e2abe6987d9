#pragma once

// Shared by the main window and login tests: the development service on a
// free loopback port, a service client talking to it, and a main window.

#include "devserver.h"
#include "model/session.h"
#include "service/service.h"
#include "service/transport.h"
#include "ui/main/loginwindow.h"
#include "ui/main/mainwindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <memory>

namespace velmor::test {

struct MainWindowFixture
{
    MainWindowFixture()
    {
        started = server.start(0);
        service = std::make_unique<Service>(std::make_shared<HttpTransport>(server.endpoint(), 3000));
        window = std::make_unique<MainWindow>(*service, server.downloadBase());
    }

    dev::DevServer server{dev::Options{}};
    bool started = false;
    std::unique_ptr<Service> service;
    std::unique_ptr<MainWindow> window;
};

// The saved login field under key, or an invalid value when none is saved.
inline QVariant SavedLoginField(const QString &key)
{
    QSettings settings(LoginWindow::settingsOrganisation(), LoginWindow::settingsOrganisation());
    settings.beginGroup(LoginWindow::settingsGroup());
    return settings.value(key);
}

inline void SaveLoginFields(const QString &customerCode, const QString &userName)
{
    QSettings settings(LoginWindow::settingsOrganisation(), LoginWindow::settingsOrganisation());
    settings.clear();
    if (customerCode.isNull())
        return;
    settings.beginGroup(LoginWindow::settingsGroup());
    settings.setValue(QStringLiteral("Cari"), customerCode);
    settings.setValue(QStringLiteral("Kullanici"), userName);
}

inline QString LoginSettingsFile()
{
    QSettings settings(LoginWindow::settingsOrganisation(), LoginWindow::settingsOrganisation());
    return settings.fileName();
}

inline QLineEdit *Field(QWidget *login, const QString &name)
{
    return login->findChild<QLineEdit *>(name);
}

// Fills the three fields and presses "Giriş"; returns when the check is over.
inline void SubmitLogin(QWidget *login, const QString &customerCode, const QString &userName,
                        const QString &password)
{
    Field(login, QStringLiteral("txtCariKodu"))->setText(customerCode);
    Field(login, QStringLiteral("txtKullanici"))->setText(userName);
    Field(login, QStringLiteral("txtSifre"))->setText(password);
    QTest::mouseClick(login->findChild<QPushButton *>(QStringLiteral("Cmd_Giris")), Qt::LeftButton);
}

} // namespace velmor::test
