#pragma once

#include <QGuiApplication>
#include <QScopedValueRollback>
#include <QWidget>

namespace velmor {

// A feature window inside the main frame. A request waits for its reply in a
// local event loop, so a close can arrive while the window is still inside
// its own handler: the window refuses it until the request is over, and so
// is never destroyed from under its own wait.
class ChildWindow : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // True while one of the window's own requests waits for the service.
    bool isRequestRunning() const { return m_requestRunning; }

protected:
    // Runs one exchange with the service (a call of a command function) with
    // the wait cursor shown; the window refuses to close meanwhile.
    template<typename Exchange> auto runRequest(Exchange &&exchange)
    {
        const QScopedValueRollback running(m_requestRunning, true);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        struct RestoreCursor
        {
            ~RestoreCursor() { QGuiApplication::restoreOverrideCursor(); }
        } restore;
        return exchange();
    }

    // Whether a close must wait: a request of the window's own is running.
    // Windows with longer work of their own add it here.
    virtual bool refusesToClose() const { return m_requestRunning; }

    // Closes the window together with its frame in the main area.
    void closeWindow();

    void closeEvent(QCloseEvent *event) override;

private:
    bool m_requestRunning = false;
};

} // namespace velmor
