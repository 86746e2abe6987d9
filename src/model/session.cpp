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

} // namespace velmor
