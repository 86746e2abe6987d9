#include "store.h"

#include "demodata.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

namespace velmor::dev {

using namespace Qt::StringLiterals;

namespace {

constexpr int kSchemaVersion = 1;
std::atomic<int> g_connectionCounter{0};

// Where a delivered message and a wrong number settle, in seconds after sending.
constexpr int kDeliveredAfterSeconds = 5;
constexpr int kWrongNumberAfterSeconds = 2;

// Items 1..15 of the customer details text, in the order of the customer
// details screen, go to these record fields.
constexpr std::array<int, 15> kDetailItemFields = {5, 8, 6, 7, 9, 10, 11, 13, 14, 15, 16, 17, 12, 22, 26};

const QStringList &contactColumns()
{
    static const QStringList columns = {u"adi"_s,   u"soyadi"_s, u"adres1"_s, u"adres2"_s, u"adres3"_s,
                                        u"ilce"_s,  u"il"_s,     u"gsm_no"_s, u"tel_no"_s, u"fax_no"_s};
    return columns;
}

// Record fields 1..31 live in columns f01..f31; field 0 is the key cari_no.
QString fieldColumn(int index)
{
    return u"f%1"_s.arg(index, 2, 10, QChar(u'0'));
}

QString stampOf(const QDateTime &t)
{
    return t.toString(u"yyyyMMddHHmmss"_s);
}

// A null QString binds as SQL NULL; every text column holds '' instead.
QVariant bindable(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString && value.toString().isNull())
        return QVariant(QStringLiteral(""));
    return value;
}

bool run(QSqlQuery &query, const QString &sql, const QVariantList &values = {})
{
    if (!query.prepare(sql)) {
        qWarning("velmor-devserver: %s", qPrintable(query.lastError().text()));
        return false;
    }
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, bindable(values.at(i)));
    if (!query.exec()) {
        qWarning("velmor-devserver: %s", qPrintable(query.lastError().text()));
        return false;
    }
    return true;
}

QString key(const QString &customerNo)
{
    return customerNo.trimmed();
}

bool isMobileNumber(const QString &number)
{
    // Anchored at the very end: "$" alone would also let a trailing line break through.
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(u"05[0-9]{9}"_s));
    return pattern.match(number).hasMatch();
}

} // namespace

Store::Store() = default;

Store::~Store()
{
    close();
}

template <typename F> bool Store::inTransaction(F &&work)
{
    if (!m_db.isOpen() || !m_db.transaction())
        return false;
    if (work() && m_db.commit())
        return true;
    m_db.rollback();
    return false;
}

std::optional<qint64> Store::parseNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 18)
        return std::nullopt;
    for (const QChar c : t) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    return t.toLongLong();
}

bool Store::open(const QString &path, QString *error)
{
    close();
    m_connectionName = u"velmor-devserver-%1"_s.arg(++g_connectionCounter);
    m_db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
    if (!m_db.isValid()) {
        if (error)
            *error = u"SQLite sürücüsü bulunamadı."_s;
        close();
        return false;
    }
    if (path != u":memory:") {
        const QFileInfo info(path);
        QDir().mkpath(info.absolutePath());
    }
    m_db.setDatabaseName(path);
    if (!m_db.open()) {
        if (error)
            *error = m_db.lastError().text();
        close();
        return false;
    }

    QSqlQuery query(m_db);
    const bool known = run(query, u"SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'meta'"_s)
        && query.next();
    if (!known) {
        const bool made = inTransaction([this] { return createSchema() && seedDemo(); });
        if (!made) {
            if (error)
                *error = u"Veritabanı oluşturulamadı: "_s + path;
            close();
            return false;
        }
        return true;
    }
    if (!run(query, u"SELECT value FROM meta WHERE key = 'schema'"_s) || !query.next()
        || query.value(0).toInt() != kSchemaVersion) {
        if (error)
            *error = u"Tanınmayan veritabanı biçimi: "_s + path;
        close();
        return false;
    }
    return true;
}

void Store::close()
{
    if (m_connectionName.isEmpty())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
}

bool Store::isOpen() const
{
    return m_db.isOpen();
}

bool Store::createSchema()
{
    QStringList fieldColumns;
    for (int i = 1; i < kCustomerFieldCount; ++i)
        fieldColumns << fieldColumn(i) + u" TEXT NOT NULL DEFAULT ''"_s;
    QStringList contactDetailColumns;
    for (const QString &c : contactColumns())
        contactDetailColumns << c + u" TEXT NOT NULL DEFAULT ''"_s;

    const QStringList statements = {
        u"CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)"_s,
        u"INSERT INTO meta (key, value) VALUES ('schema', '%1')"_s.arg(kSchemaVersion),
        u"CREATE TABLE cariler (cari_no TEXT PRIMARY KEY, kontor TEXT NOT NULL DEFAULT '0', "_s
            + fieldColumns.join(u", "_s) + u")"_s,
        u"CREATE TABLE gruplar (grup_no INTEGER PRIMARY KEY AUTOINCREMENT, cari_no TEXT NOT NULL, "
        "ust_grup_no INTEGER NOT NULL, grp_adi TEXT NOT NULL)"_s,
        u"CREATE INDEX gruplar_cari ON gruplar (cari_no)"_s,
        u"CREATE TABLE adresler (adr_k_no INTEGER PRIMARY KEY AUTOINCREMENT, cari_no TEXT NOT NULL, "
        "grup_no INTEGER NOT NULL, "_s
            + contactDetailColumns.join(u", "_s) + u")"_s,
        u"CREATE INDEX adresler_cari ON adresler (cari_no)"_s,
        u"CREATE INDEX adresler_grup ON adresler (grup_no)"_s,
        u"CREATE TABLE raporlar (rapor_no INTEGER PRIMARY KEY AUTOINCREMENT, cari_no TEXT NOT NULL, "
        "gsm_no TEXT NOT NULL, gonderme TEXT NOT NULL, sonuc TEXT NOT NULL, mesaj TEXT NOT NULL, "
        "durum TEXT NOT NULL, gonderici TEXT NOT NULL)"_s,
        u"CREATE INDEX raporlar_cari ON raporlar (cari_no, gonderme)"_s,
    };
    QSqlQuery query(m_db);
    for (const QString &sql : statements) {
        if (!run(query, sql))
            return false;
    }
    return true;
}

bool Store::removeCustomerData(const QString &customerNo)
{
    QSqlQuery query(m_db);
    for (const auto &table : {u"raporlar"_s, u"adresler"_s, u"gruplar"_s, u"cariler"_s}) {
        if (!run(query, u"DELETE FROM %1 WHERE cari_no = ?"_s.arg(table), {customerNo}))
            return false;
    }
    return true;
}

bool Store::seedDemo()
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

    for (const GroupRow &g : DemoGroups()) {
        if (!run(query, u"INSERT INTO gruplar (grup_no, cari_no, ust_grup_no, grp_adi) VALUES (?, ?, ?, ?)"_s,
                 {g.number, no, g.parent, g.name}))
            return false;
    }

    const QString contactSql = u"INSERT INTO adresler (adr_k_no, cari_no, grup_no, %1) VALUES (?, ?, ?, %2)"_s.arg(
        contactColumns().join(u", "_s), QStringList(contactColumns().size(), u"?"_s).join(u", "_s));
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

bool Store::resetDemo()
{
    return inTransaction([this] { return removeCustomerData(DemoCustomer().fields[0]) && seedDemo(); });
}

bool Store::seedLarge(int count)
{
    const QString no = DemoCustomer().fields[0];
    return inTransaction([&] {
        if (!removeCustomerData(no) || !seedDemo())
            return false;
        QSqlQuery query(m_db);
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
        const QString contactSql = u"INSERT INTO adresler (cari_no, grup_no, %1) VALUES (?, ?, %2)"_s.arg(
            contactColumns().join(u", "_s), QStringList(contactColumns().size(), u"?"_s).join(u", "_s));
        if (!query.prepare(contactSql))
            return false;
        for (int i = 0; i < count; ++i) {
            const ContactRow c = LargeContact(i, groupNumbers.at(i % groupNumbers.size()));
            query.bindValue(0, no);
            query.bindValue(1, c.group);
            for (int k = 0; k < 10; ++k)
                query.bindValue(2 + k, bindable(c.details[std::size_t(k)]));
            if (!query.exec())
                return false;
        }
        return true;
    });
}

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

QList<ContactRow> Store::contacts(const QString &customerNo) const
{
    QList<ContactRow> out;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!run(query,
             u"SELECT adr_k_no, grup_no, %1 FROM adresler WHERE cari_no = ? ORDER BY adr_k_no"_s.arg(
                 contactColumns().join(u", "_s)),
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

QList<ReportRow> Store::reports(const QString &customerNo, const QString &from, const QString &to) const
{
    QList<ReportRow> out;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!run(query,
             u"SELECT gsm_no, gonderme, sonuc, mesaj, durum FROM raporlar WHERE cari_no = ? "
             "AND substr(gonderme, 1, 8) >= ? AND substr(gonderme, 1, 8) <= ? ORDER BY gonderme, rapor_no"_s,
             {key(customerNo), from, to}))
        return out;
    while (query.next()) {
        out.append({query.value(0).toString(), query.value(1).toString(), query.value(2).toString(),
                    query.value(3).toString(), query.value(4).toString()});
    }
    return out;
}

int Store::reportRowCount(const QString &customerNo) const
{
    QSqlQuery query(m_db);
    if (!run(query, u"SELECT COUNT(*) FROM raporlar WHERE cari_no = ?"_s, {key(customerNo)}) || !query.next())
        return 0;
    return query.value(0).toInt();
}

std::optional<QString> Store::send(const QString &customerNo, const SendRequest &request, const QDateTime &now)
{
    QString left;
    const QString no = key(customerNo);
    const bool sentAll = inTransaction([&] {
        QSqlQuery query(m_db);
        if (!run(query, u"SELECT kontor FROM cariler WHERE cari_no = ?"_s, {no}) || !query.next())
            return false;
        const auto balance = parseNumber(query.value(0).toString());
        if (!balance || request.numbers.isEmpty() || request.partCount < 1 || request.partCount > 1000000)
            return false;
        const qint64 cost = request.partCount * qint64(request.numbers.size());
        if (cost > *balance)
            return false;
        left = QString::number(*balance - cost);
        if (!run(query, u"UPDATE cariler SET kontor = ? WHERE cari_no = ?"_s, {left, no}))
            return false;

        const QString sent = request.date + request.time;
        QDateTime sentAt = QDateTime::fromString(sent, u"yyyyMMddHHmmss"_s);
        if (!sentAt.isValid())
            sentAt = now;
        if (!query.prepare(u"INSERT INTO raporlar (cari_no, gsm_no, gonderme, sonuc, mesaj, durum, gonderici) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?)"_s))
            return false;
        for (const QString &number : request.numbers) {
            const bool mobile = isMobileNumber(number);
            const QDateTime settled = sentAt.addSecs(mobile ? kDeliveredAfterSeconds : kWrongNumberAfterSeconds);
            query.bindValue(0, no);
            query.bindValue(1, bindable(number));
            query.bindValue(2, bindable(sent));
            query.bindValue(3, stampOf(settled));
            query.bindValue(4, bindable(request.message));
            query.bindValue(5, mobile ? u"İletildi"_s : u"Hatalı Numara"_s);
            query.bindValue(6, bindable(request.senderName));
            if (!query.exec())
                return false;
        }
        return true;
    });
    if (!sentAll)
        return std::nullopt;
    return left;
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
                       contactColumns().join(u", "_s), QStringList(contactColumns().size(), u"?"_s).join(u", "_s)),
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

} // namespace velmor::dev
