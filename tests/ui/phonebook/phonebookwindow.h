#pragma once

#include "model/session.h"
#include "model/snapshot.h"
#include "ui/phonebook/frm_tanim_rehber.h"

#include <QtTest>

#include <memory>

namespace velmor::test {

// Opens the phone book window on a session loaded from a command 1 payload,
// shown and active.
inline void OpenPhoneBook(const Service &service, const QString &accountPayload, std::unique_ptr<Session> &session,
                          std::unique_ptr<Frm_Tanim_Rehber> &window)
{
    session = std::make_unique<Session>();
    AccountSnapshot snapshot;
    QVERIFY(LoadAccountSnapshot(snapshot, accountPayload));
    session->setSnapshot(snapshot);
    window = std::make_unique<Frm_Tanim_Rehber>(service, *session);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

} // namespace velmor::test
