#pragma once

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace velmor::dev {

// Record field 1 holds the account status: "1" for an active account.
inline constexpr int kStatusField = 1;
inline constexpr int kCustomerFieldCount = 32;

struct CustomerRow
{
    std::array<QString, kCustomerFieldCount> fields; // field 0 is the customer number
    QString balance;
};

struct GroupRow
{
    qint64 number = 0;
    qint64 parent = 0; // 0: top level
    QString name;
};

// The twelve fields of a contact in reply order; field 0 is the record number.
struct ContactRow
{
    qint64 recordNo = 0;
    qint64 group = 0;
    std::array<QString, 10> details; // first name .. fax, in reply order
};

struct ReportRow
{
    QString phone;
    QString sentStamp;  // YYYYMMDDHHNNSS
    QString finalStamp; // YYYYMMDDHHNNSS
    QString message;
    QString state;
};

struct SendRequest
{
    QString senderName;
    QString date;     // YYYYMMDD
    QString time;     // HHNNSS
    QString message;
    QStringList numbers;
    qint64 partCount = 0;
};

// What putting the demo account back puts there: everything (groups,
// contacts, report rows), or the customer record with its balance alone.
enum class DemoSeed { Full, CustomerOnly };

// The service's data in SQLite. Every change runs as one transaction: it is
// applied whole or not at all. Keys (group and record numbers) are numbered
// by the database and never reused.
class Store
{
public:
    Store();
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // Opens (and when new, creates and seeds) the database at path, or ":memory:".
    bool open(const QString &path, QString *error);
    void close();
    bool isOpen() const;

    // Puts the demo account back as it is in a new database, or with its
    // customer record and balance alone (no groups, contacts or report rows).
    bool resetDemo(DemoSeed seed = DemoSeed::Full);
    // Restores the demo account, then adds 1,000 generated groups and count
    // generated contacts spread over them.
    bool seedLarge(int count);

    // Looks a customer up by number; surrounding blanks are ignored.
    std::optional<CustomerRow> customer(const QString &customerNo) const;
    QList<GroupRow> groups(const QString &customerNo) const;
    QList<ContactRow> contacts(const QString &customerNo) const;
    // Appends the customer's contacts to utf8 as the account reply lays them
    // out: for each, in record-number order, "<>" and its twelve fields joined
    // with "|", the bytes read straight from the database. False, with
    // nothing appended, when the database cannot be read that way or holds a
    // value the service never stores (a group number that is not a whole
    // number, text that is not UTF-8): contacts() gives those rows.
    bool appendContactRows(const QString &customerNo, QByteArray &utf8) const;
    // Rows whose sending date (first 8 characters) lies within from..to, text
    // comparison, inclusive; in the order they were sent.
    QList<ReportRow> reports(const QString &customerNo, const QString &from, const QString &to) const;
    int reportRowCount(const QString &customerNo) const;

    // The new balance, or nullopt when the customer is unknown or the balance
    // does not cover partCount × numbers (nothing is changed then). Each
    // number gets a report row: a mobile number (05 and nine digits)
    // "İletildi", or "Ulaşılamadı" when it ends in undeliveredSuffix (unless
    // that is empty); any other number "Hatalı Numara".
    std::optional<QString> send(const QString &customerNo, const SendRequest &request, const QDateTime &now,
                                const QString &undeliveredSuffix);
    // items: the fifteen detail items in the order of the customer details screen.
    bool saveCustomerDetails(const QString &customerNo, const QStringList &items, const QString &name1,
                             const QString &name2, const QString &name3);
    // data: group number, then the ten contact fields.
    bool addContact(const QString &customerNo, const QStringList &data);
    bool updateContact(const QString &recordNo, const QStringList &data);
    bool deleteContact(const QString &recordNo);
    bool moveContact(const QString &recordNo, const QString &groupNo);
    bool addGroup(const QString &customerNo, const QString &parentNo, const QString &name);
    bool renameGroup(const QString &customerNo, const QString &groupNo, const QString &name);
    bool deleteGroups(const QString &customerNo, const QStringList &groupNos, const QString &upperGroupNo);

    bool setBalance(const QString &customerNo, const QString &balance);
    bool setCustomerField(const QString &customerNo, int index, const QString &value);

    // "42" and " 42 " give 42; anything that is not a whole number gives nullopt.
    static std::optional<qint64> parseNumber(const QString &text);

private:
    bool createSchema();
    bool seedDemo(DemoSeed seed);
    bool removeCustomerData(const QString &customerNo);
    std::optional<qint64> groupOwnedBy(const QString &customerNo, const QString &groupNo) const;
    template <typename F> bool inTransaction(F &&work);

    QString m_connectionName;
    QSqlDatabase m_db;
};

template <typename F> bool Store::inTransaction(F &&work)
{
    if (!m_db.isOpen() || !m_db.transaction())
        return false;
    if (work() && m_db.commit())
        return true;
    m_db.rollback();
    return false;
}

} // namespace velmor::dev
