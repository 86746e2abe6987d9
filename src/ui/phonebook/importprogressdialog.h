#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velmor {

class ContactImport;

// The progress of an import: records sent of records to send and the time
// left, with "Vazgeç" (or Escape, or closing) to stop it. While a record is
// on its way the transport takes no input, so a click on "Vazgeç" then is
// answered right after that record. Closes itself when the import finishes.
class ImportProgressDialog : public QDialog
{
    Q_OBJECT

public:
    ImportProgressDialog(ContactImport &import, QWidget *parent = nullptr);

    // Opens the dialog (modal) and starts the import.
    void start();
    bool isRunning() const;
    qsizetype rowsDone() const;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void progressed(qsizetype done);
    void showProgress();

    ContactImport &m_import;
    QElapsedTimer m_clock;
    QElapsedTimer m_shown; // since the figures were last shown

    QProgressBar *m_bar = nullptr;
    QLabel *m_done = nullptr;
    QLabel *m_timeLeft = nullptr;
    QPushButton *m_stop = nullptr;
};

} // namespace velmor
