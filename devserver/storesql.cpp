#include "storesql.h"

#include <QSqlDriver>
#include <QSqlError>

namespace velmor::dev::sql {

using namespace Qt::StringLiterals;

const QStringList &contactColumns()
{
    static const QStringList columns = {u"adi"_s,   u"soyadi"_s, u"adres1"_s, u"adres2"_s, u"adres3"_s,
                                        u"ilce"_s,  u"il"_s,     u"gsm_no"_s, u"tel_no"_s, u"fax_no"_s};
    return columns;
}

QString contactColumnList()
{
    return contactColumns().join(u", "_s);
}

QString contactPlaceholders()
{
    return QStringList(contactColumns().size(), u"?"_s).join(u", "_s);
}

const QStringList &contactIndexes()
{
    static const QStringList statements = {u"CREATE INDEX adresler_cari ON adresler (cari_no)"_s,
                                           u"CREATE INDEX adresler_grup ON adresler (grup_no)"_s};
    return statements;
}

const QStringList &dropContactIndexes()
{
    static const QStringList statements = {u"DROP INDEX adresler_cari"_s, u"DROP INDEX adresler_grup"_s};
    return statements;
}

QString fieldColumn(int index)
{
    return u"f%1"_s.arg(index, 2, 10, QChar(u'0'));
}

QString stampOf(const QDateTime &t)
{
    return t.toString(u"yyyyMMddHHmmss"_s);
}

QVariant bindable(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString && value.toString().isNull())
        return QVariant(QStringLiteral(""));
    return value;
}

bool run(QSqlQuery &query, const QString &sql, const QVariantList &values)
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

RawStatement::RawStatement(const QSqlDatabase &db, const char *sql)
{
    const QVariant handle = db.isOpen() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return;
    sqlite3 *connection = *static_cast<sqlite3 *const *>(handle.constData());
    if (connection == nullptr)
        return;
    if (sqlite3_prepare_v2(connection, sql, -1, &m_statement, nullptr) != SQLITE_OK) {
        qWarning("velmor-devserver: %s", sqlite3_errmsg(connection));
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

RawStatement::~RawStatement()
{
    sqlite3_finalize(m_statement);
}

bool RawStatement::bindText(int index, const QByteArray &utf8)
{
    return sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) == SQLITE_OK;
}

} // namespace velmor::dev::sql
