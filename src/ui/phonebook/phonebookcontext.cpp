#include "ui/phonebook/phonebookcontext.h"

#include "model/session.h"
#include "ui/common/messagebox.h"

using namespace Qt::StringLiterals;

namespace velmor {

namespace {
QString staleListsText()
{
    return u"Rehberin güncel hâli sunucudan alınamadı; listeler son değişikliği göstermiyor olabilir."_s;
}
} // namespace

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

bool PhoneBookContext::settleUnknown(QWidget *parent, const QString &subject, const std::function<QString()> &finding)
{
    if (!reload()) {
        MessageBox::show(parent, u"%1 sonucu sunucudan alınamadı; işlem yapılmış olabilir. %2"_s.arg(subject, staleListsText()));
        return false;
    }
    const QString found = finding();
    MessageBox::show(parent, u"%1 sonucu sunucudan alınamadı; rehber yeniden okundu. %2"_s.arg(subject, found));
    return true;
}

void ReportStaleLists(QWidget *parent)
{
    MessageBox::show(parent, staleListsText());
}

} // namespace velmor
