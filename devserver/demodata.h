#pragma once

#include "store.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>

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

// The ten detail fields of generated contacts, as UTF-8 for the bulk insert
// of a million of them: names and places taken in turn from fixed lists,
// numbers made from the contact's index.
class LargeContactMaker
{
public:
    LargeContactMaker();
    // The fields of the contact at index (0, 1, ...), in reply order; valid
    // until the next call.
    const std::array<QByteArrayView, 10> &details(int index);

private:
    QList<QByteArray> m_firstNames, m_surnames, m_districts, m_provinces;
    QByteArray m_street;
    std::array<char, 48> m_address{};
    std::array<char, 16> m_mobile{};
    std::array<char, 16> m_phone{};
    std::array<QByteArrayView, 10> m_details;
};

} // namespace velmor::dev
