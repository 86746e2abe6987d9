#pragma once

// What the parts of the store share: the table layout and running one SQL
// statement. Only the store's own files include this.

#include <QDateTime>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>

namespace velmor::dev::sql {

inline constexpr int kSchemaVersion = 1;

// The ten detail columns of a contact (table adresler), in reply order.
const QStringList &contactColumns();
// "adi, soyadi, ..., fax_no" and as many "?" for an INSERT.
QString contactColumnList();
QString contactPlaceholders();

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

} // namespace velmor::dev::sql
