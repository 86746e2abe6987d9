#include "storesql.h"

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

} // namespace velmor::dev::sql
