// Seeding the store: the demo account, and the generated large account for
// performance work.
#include "store.h"

#include "demodata.h"
#include "storesql.h"

#include <QScopeGuard>

namespace velmor::dev {

using namespace Qt::StringLiterals;
using namespace sql;

namespace {

// The page cache while a large account is seeded, in KiB.
constexpr int kSeedCacheKiB = 512 * 1024;

} // namespace

bool Store::removeCustomerData(const QString &customerNo)
{
    QSqlQuery query(m_db);
    for (const auto &table : {u"raporlar"_s, u"adresler"_s, u"gruplar"_s, u"cariler"_s}) {
        if (!run(query, u"DELETE FROM %1 WHERE cari_no = ?"_s.arg(table), {customerNo}))
            return false;
    }
    return true;
}

bool Store::seedDemo(DemoSeed seed)
{
    const CustomerRow customer = DemoCustomer();
    const QString no = customer.fields[0];
    QSqlQuery query(m_db);

    QStringList columns{u"cari_no"_s, u"kontor"_s};
    QVariantList values{no, customer.balance};
    for (int i = 1; i < kCustomerFieldCount; ++i) {
        columns << fieldColumn(i);
        values << customer.fields[std::size_t(i)];
    }
    const QString marks = QStringList(columns.size(), u"?"_s).join(u", "_s);
    if (!run(query, u"INSERT INTO cariler (%1) VALUES (%2)"_s.arg(columns.join(u", "_s), marks), values))
        return false;
    if (seed == DemoSeed::CustomerOnly)
        return true;

    for (const GroupRow &g : DemoGroups()) {
        if (!run(query, u"INSERT INTO gruplar (grup_no, cari_no, ust_grup_no, grp_adi) VALUES (?, ?, ?, ?)"_s,
                 {g.number, no, g.parent, g.name}))
            return false;
    }

    const QString contactSql = u"INSERT INTO adresler (adr_k_no, cari_no, grup_no, %1) VALUES (?, ?, ?, %2)"_s.arg(
        contactColumnList(), contactPlaceholders());
    for (const ContactRow &c : DemoContacts()) {
        QVariantList v{c.recordNo, no, c.group};
        for (const QString &d : c.details)
            v << d;
        if (!run(query, contactSql, v))
            return false;
    }

    const QDate today = QDate::currentDate();
    for (const DemoReport &r : DemoReports()) {
        const QDateTime sent(today.addDays(-r.daysAgo), QTime::fromString(r.time, u"HHmmss"_s));
        if (!run(query,
                 u"INSERT INTO raporlar (cari_no, gsm_no, gonderme, sonuc, mesaj, durum, gonderici) "
                 "VALUES (?, ?, ?, ?, ?, ?, ?)"_s,
                 {no, r.phone, stampOf(sent), stampOf(sent.addSecs(r.settleSeconds)), r.message, r.state,
                  DemoSenderName()}))
            return false;
    }
    return true;
}

bool Store::resetDemo(DemoSeed seed)
{
    return inTransaction([this, seed] { return removeCustomerData(DemoCustomer().fields[0]) && seedDemo(seed); });
}

bool Store::seedLarge(int count)
{
    const QString no = DemoCustomer().fields[0];
    // Room for the pages the delete of an earlier large account, the inserts
    // and the new indexes touch, so that they stay in memory until the commit.
    QSqlQuery pragma(m_db);
    const int cacheSize = run(pragma, u"PRAGMA cache_size"_s) && pragma.next() ? pragma.value(0).toInt() : 0;
    run(pragma, u"PRAGMA cache_size = -%1"_s.arg(kSeedCacheKiB));
    const auto restoreCache = qScopeGuard([&] {
        if (cacheSize != 0)
            run(pragma, u"PRAGMA cache_size = %1"_s.arg(cacheSize));
    });
    return inTransaction([&] {
        // The contacts go out and in without their indexes, which are made
        // again at the end: one sort instead of a million searches in each.
        QSqlQuery query(m_db);
        for (const QString &sql : dropContactIndexes()) {
            if (!run(query, sql))
                return false;
        }
        if (!removeCustomerData(no) || !seedDemo(DemoSeed::Full))
            return false;
        QList<qint64> groupNumbers;
        groupNumbers.reserve(1000);
        const QString groupSql = u"INSERT INTO gruplar (cari_no, ust_grup_no, grp_adi) VALUES (?, ?, ?)"_s;
        for (int top = 1; top <= 200; ++top) {
            if (!run(query, groupSql, {no, 0, LargeGroupName(top, true)}))
                return false;
            const qint64 parent = query.lastInsertId().toLongLong();
            groupNumbers << parent;
            for (int sub = 1; sub <= 4; ++sub) {
                if (!run(query, groupSql, {no, parent, LargeGroupName(sub, false)}))
                    return false;
                groupNumbers << query.lastInsertId().toLongLong();
            }
        }
        // A million rows: bound as UTF-8 straight from the maker's buffers.
        RawStatement insert(m_db, "INSERT INTO adresler (cari_no, grup_no, adi, soyadi, adres1, adres2, adres3, "
                                  "ilce, il, gsm_no, tel_no, fax_no) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        if (!insert.isValid() || !insert.bindText(1, no.toUtf8()))
            return false;
        sqlite3_stmt *row = insert.get();
        LargeContactMaker maker;
        for (int i = 0; i < count; ++i) {
            const auto &details = maker.details(i);
            sqlite3_bind_int64(row, 2, groupNumbers.at(i % groupNumbers.size()));
            for (int k = 0; k < 10; ++k) {
                const QByteArrayView d = details[std::size_t(k)];
                sqlite3_bind_text(row, 3 + k, d.data(), int(d.size()), SQLITE_STATIC);
            }
            if (sqlite3_step(row) != SQLITE_DONE)
                return false;
            sqlite3_reset(row);
        }
        for (const QString &sql : contactIndexes()) {
            if (!run(query, sql))
                return false;
        }
        return true;
    });
}

} // namespace velmor::dev
