// The contacts of the phone book.
#include "store.h"

#include "storesql.h"

namespace velmor::dev {

using namespace Qt::StringLiterals;
using namespace sql;

QList<ContactRow> Store::contacts(const QString &customerNo) const
{
    QList<ContactRow> out;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!run(query,
             u"SELECT adr_k_no, grup_no, %1 FROM adresler WHERE cari_no = ? ORDER BY adr_k_no"_s.arg(
                 contactColumnList()),
             {key(customerNo)}))
        return out;
    while (query.next()) {
        ContactRow row;
        row.recordNo = query.value(0).toLongLong();
        row.group = query.value(1).toLongLong();
        for (int k = 0; k < 10; ++k)
            row.details[std::size_t(k)] = query.value(2 + k).toString();
        out.append(std::move(row));
    }
    return out;
}

bool Store::addContact(const QString &customerNo, const QStringList &data)
{
    if (data.size() != 11)
        return false;
    return inTransaction([&] {
        const auto group = groupOwnedBy(customerNo, data.at(0));
        if (!group)
            return false;
        QVariantList values{key(customerNo), *group};
        for (int i = 1; i < 11; ++i)
            values << data.at(i);
        QSqlQuery query(m_db);
        return run(query,
                   u"INSERT INTO adresler (cari_no, grup_no, %1) VALUES (?, ?, %2)"_s.arg(
                       contactColumnList(), contactPlaceholders()),
                   values);
    });
}

bool Store::updateContact(const QString &recordNo, const QStringList &data)
{
    const auto record = parseNumber(recordNo);
    if (!record || data.size() != 11)
        return false;
    return inTransaction([&] {
        QSqlQuery query(m_db);
        if (!run(query, u"SELECT cari_no FROM adresler WHERE adr_k_no = ?"_s, {*record}) || !query.next())
            return false;
        const QString owner = query.value(0).toString();
        const auto group = groupOwnedBy(owner, data.at(0));
        if (!group)
            return false;
        QStringList sets{u"grup_no = ?"_s};
        QVariantList values{*group};
        for (int i = 0; i < 10; ++i) {
            sets << contactColumns().at(i) + u" = ?"_s;
            values << data.at(i + 1);
        }
        values << *record;
        return run(query, u"UPDATE adresler SET %1 WHERE adr_k_no = ?"_s.arg(sets.join(u", "_s)), values)
            && query.numRowsAffected() == 1;
    });
}

bool Store::deleteContact(const QString &recordNo)
{
    const auto record = parseNumber(recordNo);
    if (!record)
        return false;
    return inTransaction([&] {
        QSqlQuery query(m_db);
        return run(query, u"DELETE FROM adresler WHERE adr_k_no = ?"_s, {*record}) && query.numRowsAffected() == 1;
    });
}

bool Store::moveContact(const QString &recordNo, const QString &groupNo)
{
    const auto record = parseNumber(recordNo);
    if (!record)
        return false;
    return inTransaction([&] {
        QSqlQuery query(m_db);
        if (!run(query, u"SELECT cari_no FROM adresler WHERE adr_k_no = ?"_s, {*record}) || !query.next())
            return false;
        const auto group = groupOwnedBy(query.value(0).toString(), groupNo);
        if (!group)
            return false;
        return run(query, u"UPDATE adresler SET grup_no = ? WHERE adr_k_no = ?"_s, {*group, *record})
            && query.numRowsAffected() == 1;
    });
}

} // namespace velmor::dev
