#pragma once

#include "service/transport.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velmor {

// Makes a long request visible and stoppable. A request still running after
// ShowAfterMs brings up this small application-modal dialog: the bytes of the
// reply received so far, with the announced total and a filling bar when the
// size is known, a busy bar otherwise, and "Vazgeç", which abandons the
// request. Its modality keeps input from every other window meanwhile, so the
// wait goes on excluding the rest of the program. One instance, set as the
// transport's observer at start-up, serves every request.
class RequestProgressDialog final : public QDialog, public RequestObserver
{
    Q_OBJECT

public:
    static constexpr int ShowAfterMs = 1000;

    explicit RequestProgressDialog(QWidget *parent = nullptr);

    void requestStarted(RequestControl &control) override;
    void requestProgress(qint64 received, qint64 total) override;
    void requestFinished() override;

    // "Vazgeç", Escape and the close box: abandon the request.
    void reject() override;

private:
    void showNow();
    void updateAmount();

    QLabel *m_amount = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancel = nullptr;
    QTimer m_showTimer;
    RequestControl *m_control = nullptr;
    QPointer<QWidget> m_returnTo; // the window active when the dialog came up
    qint64 m_received = 0;
    qint64 m_total = -1;
};

// "512 bayt", "1,5 KB", "26,3 MB": a byte count as the dialog shows it.
QString ByteAmountText(qint64 bytes);

} // namespace velmor
