#pragma once

#include "store.h"

#include <QList>
#include <QString>

// The demo account seeded into a new database.
namespace velmor::dev {

struct DemoReport
{
    int daysAgo = 0;       // sending day, counted back from the day of seeding
    QString time;          // HHNNSS
    int settleSeconds = 0; // final state this many seconds after sending
    QString phone;
    QString message;
    QString state;
};

CustomerRow DemoCustomer();
QList<GroupRow> DemoGroups();     // the default group first, in number order
QList<ContactRow> DemoContacts(); // in record-number order
QList<DemoReport> DemoReports();
QString DemoSenderName();         // the approved sender name of the demo reports

// The demonstration update package: a shell script that installs nothing
// and only records that it ran, with the time and the version, in
// DemoUpdateLogPath() (and on its standard output).
QByteArray DemoUpdatePackage(const QString &version);
QString DemoUpdateLogPath();

// Generated data for performance work: 1,000 groups (200 top-level groups with
// four sub-groups each) and contacts with Turkish names spread over them.
QString LargeGroupName(int index, bool topLevel);
ContactRow LargeContact(int index, qint64 group);

} // namespace velmor::dev
