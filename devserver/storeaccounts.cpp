// Customers (record fields, balance) and their groups.
#include "store.h"

#include "storesql.h"

#include <QHash>
#include <QSet>

namespace velmor::dev {

using namespace Qt::StringLiterals;
using namespace sql;

namespace {

// Items 1..15 of the customer details text, in the order of the customer
// details screen, go to these record fields.
constexpr std::array<int, 15> kDetailItemFields = {5, 8, 6, 7, 9, 10, 11, 13, 14, 15, 16, 17, 12, 22, 26};

} // namespace

std::optional<CustomerRow> Store::customer(const QString &customerNo) const
{
    QStringList columns{u"cari_no"_s, u"kontor"_s};
    for (int i = 1; i < kCustomerFieldCount; ++i)
        columns << fieldColumn(i);
    QSqlQuery query(m_db);
    if (!run(query, u"SELECT %1 FROM cariler WHERE cari_no = ?"_s.arg(columns.join(u", "_s)), {key(customerNo)})
        || !query.next())
        return std::nullopt;
    CustomerRow row;
    row.fields[0] = query.value(0).toString();
    row.balance = query.value(1).toString();
    for (int i = 1; i < kCustomerFieldCount; ++i)
        row.fields[std::size_t(i)] = query.value(i + 1).toString();
    return row;
}

bool Store::saveCustomerDetails(const QString &customerNo, const QStringList &items, const QString &name1,
                                const QString &name2, const QString &name3)
{
    if (items.size() != int(kDetailItemFields.size()))
        return false;
    QStringList sets;
    QVariantList values;
    for (std::size_t i = 0; i < kDetailItemFields.size(); ++i) {
        sets << fieldColumn(kDetailItemFields[i]) + u" = ?"_s;
        values << items.at(qsizetype(i));
    }
    const std::array<QString, 3> names = {name1, name2, name3};
    for (int i = 0; i < 3; ++i) {
        sets << fieldColumn(29 + i) + u" = ?"_s;
        values << names[std::size_t(i)];
    }
    values << key(customerNo);
    return inTransaction([&] {
        QSqlQuery query(m_db);
        return run(query, u"UPDATE cariler SET %1 WHERE cari_no = ?"_s.arg(sets.join(u", "_s)), values)
            && query.numRowsAffected() == 1;
    });
}

bool Store::setBalance(const QString &customerNo, const QString &balance)
{
    return inTransaction([&] {
        QSqlQuery query(m_db);
        return run(query, u"UPDATE cariler SET kontor = ? WHERE cari_no = ?"_s, {balance, key(customerNo)})
            && query.numRowsAffected() == 1;
    });
}

bool Store::setCustomerField(const QString &customerNo, int index, const QString &value)
{
    if (index < 0 || index >= kCustomerFieldCount)
        return false;
    const QString no = key(customerNo);
    return inTransaction([&] {
        QSqlQuery query(m_db);
        if (index > 0) {
            return run(query, u"UPDATE cariler SET %1 = ? WHERE cari_no = ?"_s.arg(fieldColumn(index)), {value, no})
                && query.numRowsAffected() == 1;
        }
        // Field 0 is the customer number itself: renumber everything that carries it.
        if (!run(query, u"UPDATE cariler SET cari_no = ? WHERE cari_no = ?"_s, {value, no})
            || query.numRowsAffected() != 1)
            return false;
        for (const auto &table : {u"gruplar"_s, u"adresler"_s, u"raporlar"_s}) {
            if (!run(query, u"UPDATE %1 SET cari_no = ? WHERE cari_no = ?"_s.arg(table), {value, no}))
                return false;
        }
        return true;
    });
}

QList<GroupRow> Store::groups(const QString &customerNo) const
{
    QList<GroupRow> out;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!run(query, u"SELECT grup_no, ust_grup_no, grp_adi FROM gruplar WHERE cari_no = ? ORDER BY grup_no"_s,
             {key(customerNo)}))
        return out;
    while (query.next())
        out.append({query.value(0).toLongLong(), query.value(1).toLongLong(), query.value(2).toString()});
    return out;
}

std::optional<qint64> Store::groupOwnedBy(const QString &customerNo, const QString &groupNo) const
{
    const auto number = parseNumber(groupNo);
    if (!number)
        return std::nullopt;
    QSqlQuery query(m_db);
    if (!run(query, u"SELECT grup_no FROM gruplar WHERE grup_no = ? AND cari_no = ?"_s, {*number, key(customerNo)})
        || !query.next())
        return std::nullopt;
    return number;
}

bool Store::addGroup(const QString &customerNo, const QString &parentNo, const QString &name)
{
    const auto parent = parseNumber(parentNo);
    if (!parent)
        return false;
    return inTransaction([&] {
        QSqlQuery query(m_db);
        if (!run(query, u"SELECT 1 FROM cariler WHERE cari_no = ?"_s, {key(customerNo)}) || !query.next())
            return false;
        if (*parent != 0 && !groupOwnedBy(customerNo, parentNo))
            return false;
        return run(query, u"INSERT INTO gruplar (cari_no, ust_grup_no, grp_adi) VALUES (?, ?, ?)"_s,
                   {key(customerNo), *parent, name});
    });
}

bool Store::renameGroup(const QString &customerNo, const QString &groupNo, const QString &name)
{
    const auto group = parseNumber(groupNo);
    if (!group)
        return false;
    return inTransaction([&] {
        QSqlQuery query(m_db);
        return run(query, u"UPDATE gruplar SET grp_adi = ? WHERE grup_no = ? AND cari_no = ?"_s,
                   {name, *group, key(customerNo)})
            && query.numRowsAffected() == 1;
    });
}

bool Store::deleteGroups(const QString &customerNo, const QStringList &groupNos, const QString &upperGroupNo)
{
    const QString no = key(customerNo);
    return inTransaction([&] {
        // Every group of the customer with its parent, to check the list and
        // to re-attach sub-groups the list leaves behind.
        QHash<qint64, qint64> parentOf;
        for (const GroupRow &g : groups(no))
            parentOf.insert(g.number, g.parent);

        QSet<qint64> doomed;
        for (const QString &text : groupNos) {
            const auto number = parseNumber(text);
            if (!number || !parentOf.contains(*number))
                return false;
            doomed.insert(*number);
        }
        const auto upper = parseNumber(upperGroupNo);
        if (doomed.isEmpty() || !upper || !parentOf.contains(*upper) || doomed.contains(*upper))
            return false;

        QSqlQuery query(m_db);
        for (const qint64 number : std::as_const(doomed)) {
            if (!run(query, u"UPDATE adresler SET grup_no = ? WHERE grup_no = ? AND cari_no = ?"_s,
                     {*upper, number, no}))
                return false;
        }
        // A sub-group that is not in the list stays, under its nearest
        // ancestor that does (or at the top level).
        for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it) {
            if (doomed.contains(it.key()) || !doomed.contains(it.value()))
                continue;
            qint64 ancestor = it.value();
            int guard = 0;
            while (ancestor != 0 && doomed.contains(ancestor) && guard++ < parentOf.size())
                ancestor = parentOf.value(ancestor, 0);
            if (!run(query, u"UPDATE gruplar SET ust_grup_no = ? WHERE grup_no = ?"_s, {ancestor, it.key()}))
                return false;
        }
        for (const qint64 number : std::as_const(doomed)) {
            if (!run(query, u"DELETE FROM gruplar WHERE grup_no = ? AND cari_no = ?"_s, {number, no}))
                return false;
        }
        return true;
    });
}

} // namespace velmor::dev
