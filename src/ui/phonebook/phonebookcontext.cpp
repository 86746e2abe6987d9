#include "ui/phonebook/phonebookcontext.h"

#include "model/session.h"
#include "ui/common/messagebox.h"

using namespace Qt::StringLiterals;

namespace velmor {

PhoneBookContext::PhoneBookContext(const Service &service, Session &session, RequestRunner runner, QObject *parent)
    : QObject(parent), m_service(service), m_session(session), m_runner(std::move(runner))
{
}

bool PhoneBookContext::reload()
{
    const bool loaded = run([this] { return ReloadSnapshot(m_service, m_session); }) == RefreshResult::Loaded;
    reloaded(loaded);
    return loaded;
}

void PhoneBookContext::reloaded(bool loaded)
{
    if (loaded)
        emit rebuildWanted();
    else
        emit reloadFailed();
}

void ReportStaleLists(QWidget *parent)
{
    MessageBox::show(parent, u"Rehberin güncel hâli sunucudan alınamadı; listeler son değişikliği "
                             u"göstermiyor olabilir."_s);
}

} // namespace velmor
