#include "store.h"

#include "storesql.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>

#include <atomic>

namespace velmor::dev {

using namespace Qt::StringLiterals;
using namespace sql;

namespace {

std::atomic<int> g_connectionCounter{0};

} // namespace

Store::Store() = default;

Store::~Store()
{
    close();
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
        const bool made = inTransaction([this] { return createSchema() && seedDemo(DemoSeed::Full); });
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
        contactIndexes().at(0),
        contactIndexes().at(1),
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

} // namespace velmor::dev
