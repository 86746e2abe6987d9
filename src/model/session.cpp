#include "model/session.h"

namespace velmor {

void Session::setSnapshot(AccountSnapshot snapshot)
{
    m_snapshot = std::move(snapshot);
    emit snapshotChanged();
}

void Session::setRunState(const QString &value)
{
    m_runState = value;
    emit runStateChanged(value);
}

RefreshResult ReloadSnapshot(const Service &service, Session &session)
{
    AccountSnapshot fresh;
    const RefreshResult result = RefreshAccountSnapshot(service, fresh, session.customerNo());
    if (result == RefreshResult::Loaded)
        session.setSnapshot(std::move(fresh));
    return result;
}

} // namespace velmor
