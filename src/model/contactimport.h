#pragma once

#include "model/contactfile.h"
#include "text/csv.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace velmor {

class Service;
class Session;

// What the user chose before an import: the file as read, which columns fill
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

// What an import came to: the lines to show, the records that did not go in
// (in file order, with their reasons) and whether anything may have been
// stored, in which case the phone book is to be fetched again.
struct ImportSummary
{
    QString text;
    QList<NotImportedRecord> notImported;
    bool mayHaveStored = false;
    // The records by what became of them (the skipped ones by the checks,
    // empty lines not counted).
    qsizetype added = 0;
    qsizetype refused = 0;
    qsizetype unanswered = 0;
    qsizetype notSent = 0;
    qsizetype skipped = 0;
};

// Carries out an import plan on the service: makes the new group when the
// plan asks for one, then sends the accepted records one add command each.
// Between two records the event loop runs, so that a window stays painted
// and a stop is taken; the import then ends before the next record. A record
// the service does not answer at all ends it too: the service is likely
// gone, and every further record would wait for its time limit. Needs no
// window; a front end shows the progress and offers the stop.
class ContactImport : public QObject
{
    Q_OBJECT

public:
    enum class GroupResult {
        Ready,       // made, and its number read back
        Refused,     // the service did not make it
        NotFound,    // made, but not recognisable in the phone book fetched again
        NotReloaded, // made, but the phone book could not be fetched again
    };

    ContactImport(const Service &service, Session &session, ImportPlan plan, QObject *parent = nullptr);

    const ImportPlan &plan() const { return m_plan; }
    // The group the contacts go to: the plan's existing group, or the one
    // makeGroup made (empty until then).
    const QString &groupNo() const { return m_groupNo; }

    // For a plan with a new group, before start: adds the group under the
    // root, fetches the phone book again (the session takes it) and finds
    // the group in it, a number not seen before with the name as the
    // service keeps it.
    GroupResult makeGroup();

    // Sends the records from the next turn of the event loop on.
    void start();
    // Ends the import before the next record; the one on its way is finished.
    void stop();

    bool isRunning() const { return m_running; }
    bool stopAsked() const { return m_stopAsked; }
    // The records to send, and how many have been sent.
    qsizetype rowCount() const { return m_rows.size(); }
    qsizetype rowsDone() const { return m_next; }
    // One outcome per record to send, NotSent for those after a stop; whole once finished.
    const QList<SendOutcome> &outcomes() const { return m_outcomes; }

    // Once finished: the counts by outcome and the skipped records by reason.
    ImportSummary summary() const;
    // The records that did not go in as a table to fix and import again.
    QList<QStringList> notImportedTable(const ImportSummary &summary) const;

signals:
    // After each record: records sent of records to send.
    void progressed(qsizetype done, qsizetype total);
    // Every record sent, or the import ended early.
    void finished();

private:
    void sendNext();
    void finish();
    SendOutcome sendRow(qsizetype k) const;

    const Service &m_service;
    Session &m_session;
    const ImportPlan m_plan;
    const QString m_customerNo;
    QString m_groupNo;
    QList<qsizetype> m_rows; // the records to send, by their place in the file
    QList<SendOutcome> m_outcomes;
    qsizetype m_next = 0;
    bool m_running = false;
    bool m_stopAsked = false;
};

} // namespace velmor
