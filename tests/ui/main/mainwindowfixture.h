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
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace velmor::test {

// An update accepted in these tests goes to a folder of the test's own and
// starts nothing: the start is only recorded.
struct MainWindowFixture
{
    explicit MainWindowFixture(dev::Options options = {},
                               const std::function<void(UpdateOptions &)> &adjustUpdate = {})
        : server(std::move(options))
    {
        started = server.start(0);
        service = std::make_unique<Service>(std::make_shared<HttpTransport>(server.endpoint(), 3000));
        UpdateOptions update(server.downloadBase(), 3000);
        update.folder = updateFolder.path();
        update.start = [this](const QString &program) {
            startedPrograms.append(program);
            if (onStart)
                onStart();
            return startSucceeds;
        };
        if (adjustUpdate)
            adjustUpdate(update);
        window = std::make_unique<MainWindow>(*service, update);
    }

    dev::DevServer server;
    bool started = false;
    QTemporaryDir updateFolder;
    QStringList startedPrograms;
    std::function<void()> onStart; // runs as the package is started
    bool startSucceeds = true;
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
