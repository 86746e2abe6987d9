#pragma once

#include "model/contactfile.h"
#include "text/csv.h"

#include <QByteArray>
#include <QDialog>
#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;

namespace velmor {

class GuardedLineEdit;
class ImportPreviewModel;

// What the user chose in the preview: the file as read, which columns fill
// which fields, the verdict of every record and the group the contacts go to.
struct ImportPlan
{
    CsvTable table;
    bool hasHeader = false;
    ImportMapping mapping = kNoMapping;
    QList<ImportCheck> checks; // one per record after the header
    bool newGroup = false;
    QString groupNo;      // the existing group chosen
    QString newGroupName; // the name of the group to make

    qsizetype firstRecord() const { return hasHeader ? 1 : 0; }
};

// The preview of a file to import: the records as read with the verdict of
// each, the encoding (detected, changeable), whether the first row names the
// columns, the column of each field (proposed, changeable), the target group
// (an existing one or a new one by name) and whether duplicates are kept.
// "Aktar" accepts it once a group is given and something can be sent.
class ImportPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    struct GroupEntry
    {
        QString name;
        QString groupNo;
    };

    // contacts: the phone book, for the mobile numbers already in the chosen group.
    ImportPreviewDialog(QByteArray bytes, const QString &fileName, const QList<GroupEntry> &groups,
                        const QString &preferredGroupNo, const QList<Contact> &contacts, QWidget *parent = nullptr);
    ~ImportPreviewDialog() override;

    ImportPlan plan() const;
    // The records that will be sent, and those that will not (blank lines left out).
    qsizetype acceptedCount() const { return m_accepted; }
    qsizetype refusedCount() const { return m_refused; }

public slots:
    void accept() override;

private:
    void buildControls(const QString &fileName, const QList<GroupEntry> &groups);
    void readFile();        // the bytes again in the chosen encoding
    void proposeMapping();  // from the header names or the contents
    void check();           // every record against the choices
    void groupChanged();
    void showMappingInChoices();
    void mappingChosen();

    QByteArray m_bytes;
    QList<Contact> m_contacts;
    CsvTable m_table;
    ImportMapping m_mapping = kNoMapping;
    QList<ImportCheck> m_checks;
    qsizetype m_accepted = 0;
    qsizetype m_refused = 0;

    QComboBox *m_encoding = nullptr;
    QCheckBox *m_header = nullptr;
    std::array<QComboBox *, kContactFieldCount> m_fields{};
    QRadioButton *m_existingGroup = nullptr;
    QComboBox *m_group = nullptr;
    QRadioButton *m_newGroup = nullptr;
    GuardedLineEdit *m_newGroupName = nullptr;
    QCheckBox *m_keepDuplicates = nullptr;
    QCheckBox *m_onlyRefused = nullptr;
    QTableView *m_rows = nullptr;
    ImportPreviewModel *m_model = nullptr;
    QLabel *m_summary = nullptr;
    QPushButton *m_import = nullptr;
};

// Sends the rows of an import one at a time, showing rows done of rows to
// do and the time left. Between two rows the event loop runs, so the window
// repaints and "Vazgeç" (or Escape) is taken; the import then stops before
// the next row. While a row is on its way the transport takes no input, so
// a click on "Vazgeç" then is answered right after that row. A row the
// service does not answer at all stops the import too: the service is
// likely gone, and every further row would wait for its time limit.
class ImportProgressDialog : public QDialog
{
    Q_OBJECT

public:
    using SendRow = std::function<SendOutcome(qsizetype index)>;

    ImportProgressDialog(qsizetype total, SendRow send, QWidget *parent = nullptr);

    // Opens the dialog (modal) and starts sending.
    void start();
    bool isRunning() const { return m_running; }
    qsizetype rowsDone() const { return m_next; }
    // One outcome per row, NotSent for those after a stop; whole once finished.
    const QList<SendOutcome> &outcomes() const { return m_outcomes; }
    // Whether the user stopped it.
    bool stoppedByUser() const { return m_stopAsked; }

public slots:
    void reject() override;

signals:
    // Every row sent, or the import stopped; the dialog is closed.
    void sendingFinished();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void sendNext();
    void finish();
    void showProgress();

    qsizetype m_total;
    SendRow m_send;
    QList<SendOutcome> m_outcomes;
    qsizetype m_next = 0;
    bool m_running = false;
    bool m_stopAsked = false;
    QElapsedTimer m_clock;
    QElapsedTimer m_shown; // since the figures were last shown

    QProgressBar *m_bar = nullptr;
    QLabel *m_done = nullptr;
    QLabel *m_timeLeft = nullptr;
    QPushButton *m_stop = nullptr;
};

} // namespace velmor
