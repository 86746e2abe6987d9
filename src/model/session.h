#pragma once

#include "model/snapshot.h"

#include <QObject>
#include <QString>

namespace velmor {

class Service;

// What the whole program shares at run time, owned by the main window: the
// account snapshot and the login values. Windows take it through their
// constructor and read the snapshot when they open or refill a list.
class Session : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    const AccountSnapshot &snapshot() const { return m_snapshot; }
    // Replaces the snapshot and tells the windows.
    void setSnapshot(AccountSnapshot snapshot);
    // Changes one entry in place (a group rename, a contact move) and tells the windows.
    AccountSnapshot &editSnapshot() { return m_snapshot; }
    void notifySnapshotEdited() { emit snapshotChanged(); }

    // The customer number of the logged-in customer, or the empty text.
    QString customerNo() const { return m_snapshot.customer[CustomerRecord::Cari_No]; }

    // "1" after a successful login, empty otherwise.
    const QString &loginActive() const { return m_loginActive; }
    void setLoginActive(const QString &value) { m_loginActive = value; }

    // "oldu", "olmadi" or "Guncellendi" drive the main window; other values
    // are held but have no effect. Every set is announced, even of the same value.
    const QString &runState() const { return m_runState; }
    void setRunState(const QString &value);

signals:
    void snapshotChanged();
    void runStateChanged(const QString &value);

private:
    AccountSnapshot m_snapshot;
    QString m_loginActive;
    QString m_runState;
};

// The rule every window follows after a change it made on the service: the
// snapshot of the logged-in customer is fetched again whole and, when the
// service gave one, put in place (every window is told). KeptOld means the
// fetch failed and the session still holds the snapshot it had.
RefreshResult ReloadSnapshot(const Service &service, Session &session);

} // namespace velmor
