#pragma once

#include "model/phonebook.h"
#include "service/service.h"

#include <QObject>
#include <QScopedValueRollback>

#include <functional>
#include <type_traits>

class QWidget;

namespace velmor {

class Session;

// What the panels of the phone book window share: the service and the
// session, the window's way of running a request (the wait cursor, no close
// meanwhile), whether the window is busy, and the rule after a change the
// service carried out: the snapshot fetched again and the whole window
// rebuilt from it. The panels ask through it; the window answers its signals.
class PhoneBookContext : public QObject
{
    Q_OBJECT

public:
    // Runs one exchange with the service as the window runs its requests.
    using RequestRunner = std::function<void(const std::function<void()> &exchange)>;

    PhoneBookContext(const Service &service, Session &session, RequestRunner runner, QObject *parent = nullptr);

    const Service &service() const { return m_service; }
    Session &session() const { return m_session; }

    // A request of the window's own is on its way, or an import runs (from
    // the preview's "Aktar" to the summary): nothing else may start.
    bool busy() const { return m_requestRunning || m_importRunning; }
    void setImportRunning(bool running) { m_importRunning = running; }

    // Runs one exchange (a call of a command function) and returns its result.
    template<typename Exchange> auto run(Exchange &&exchange)
    {
        const QScopedValueRollback running(m_requestRunning, true);
        std::invoke_result_t<Exchange> result{};
        m_runner([&] { result = exchange(); });
        return result;
    }

    // Runs one command that changes the phone book (a call returning its
    // reply) and tells how it ended.
    template<typename Exchange> ChangeOutcome change(Exchange &&exchange)
    {
        const QString reply = run(std::forward<Exchange>(exchange));
        return ChangeOutcomeOf(reply, m_service.lastOutcome());
    }

    // After a change whose reply was lost: fetches the snapshot again and
    // tells the user that the outcome did not come back (subject: "Kaydın",
    // "Silme işleminin", ...), followed by what the fresh phone book shows,
    // which finding reads from the session (and may show) once the window
    // has been rebuilt. When the phone book cannot be fetched either, says
    // that instead. True when it was fetched.
    bool settleUnknown(QWidget *parent, const QString &subject, const std::function<QString()> &finding);

    // After a change the service carried out: fetches the snapshot again
    // and tells the outcome (reloaded). True when it was fetched.
    bool reload();
    // The snapshot was fetched again (loaded), or the fetch failed: the
    // window is rebuilt from it, or keeps what it shows with the editor
    // emptied, so that the change cannot be sent twice.
    void reloaded(bool loaded);
    // The snapshot was changed in place: the window is rebuilt from it.
    void rebuild() { emit rebuildWanted(); }
    // The contact of that record number is to be shown: its row chosen in
    // "Tüm Kişiler" and, unless the editor holds unsaved changes, loaded.
    void showContact(const QString &recordNo) { emit contactToShow(recordNo); }

signals:
    void rebuildWanted();
    void reloadFailed();
    void contactToShow(const QString &recordNo);

private:
    const Service &m_service;
    Session &m_session;
    RequestRunner m_runner;
    bool m_requestRunning = false;
    bool m_importRunning = false;
};

// Says that the lists may not show the last change: the snapshot could not
// be fetched again after it.
void ReportStaleLists(QWidget *parent);

} // namespace velmor
