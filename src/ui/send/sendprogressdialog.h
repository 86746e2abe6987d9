#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velmor {

class SendRunner;

// The progress of a send made of several requests: which request is on its
// way and how many numbers have been sent to, with "Vazgeç" (or Escape, or
// closing) to stop before the next request. The request on its way runs to
// its end: its message may already be out. Closes itself when the run ends.
class SendProgressDialog : public QDialog
{
    Q_OBJECT

public:
    SendProgressDialog(SendRunner &run, QWidget *parent = nullptr);

    // Opens the dialog (modal) and starts the run.
    void start();
    // Whether "Vazgeç" was pressed.
    bool stopAsked() const { return m_stopAsked; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void requestStarted(qsizetype index, qsizetype count);
    void requestFinished(qsizetype index);

    SendRunner &m_run;
    QLabel *m_state = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_stop = nullptr;
    qsizetype m_numbersDone = 0;
    bool m_stopAsked = false;
};

} // namespace velmor
