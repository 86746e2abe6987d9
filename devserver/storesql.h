#pragma once

// What the parts of the store share: the table layout and running one SQL
// statement. Only the store's own files include this.

#include <QByteArray>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>

#include <sqlite3.h>

namespace velmor::dev::sql {

inline constexpr int kSchemaVersion = 1;

// The ten detail columns of a contact (table adresler), in reply order.
const QStringList &contactColumns();
// "adi, soyadi, ..., fax_no" and as many "?" for an INSERT.
QString contactColumnList();
QString contactPlaceholders();

// The statements that make the two indexes of the contacts table, by
// customer and by group, and those that drop them.
const QStringList &contactIndexes();
const QStringList &dropContactIndexes();

// Record fields 1..31 live in columns f01..f31; field 0 is the key cari_no.
QString fieldColumn(int index);

QString stampOf(const QDateTime &t);

// A null QString binds as SQL NULL; every text column holds '' instead.
QVariant bindable(const QVariant &value);

// Prepares sql, binds values in order and runs it; a failure is written to
// the log and gives false.
bool run(QSqlQuery &query, const QString &sql, const QVariantList &values = {});

// The customer number as stored: surrounding blanks are ignored.
inline QString key(const QString &customerNo)
{
    return customerNo.trimmed();
}

// A statement prepared on the connection's own SQLite handle, for the few
// paths that handle a million rows, where the per-value work of QSqlQuery
// (a QVariant and a UTF-16 copy of every value) is most of the time. The
// connection is Qt's: the statement must end before the connection closes.
class RawStatement
{
public:
    RawStatement(const QSqlDatabase &db, const char *sql);
    ~RawStatement();
    RawStatement(const RawStatement &) = delete;
    RawStatement &operator=(const RawStatement &) = delete;

    bool isValid() const { return m_statement != nullptr; }
    sqlite3_stmt *get() const { return m_statement; }
    // Binds a text (as UTF-8) to the parameter at index (from 1); the text
    // is kept by the statement.
    bool bindText(int index, const QByteArray &utf8);

private:
    sqlite3_stmt *m_statement = nullptr;
};

} // namespace velmor::dev::sql
