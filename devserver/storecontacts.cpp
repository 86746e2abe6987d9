// The contacts of the phone book.
#include "store.h"

#include "storesql.h"

#include <charconv>
#include <cstring>

namespace velmor::dev {

using namespace Qt::StringLiterals;
using namespace sql;

namespace {

// Room for a whole number as text.
constexpr qsizetype kNumberRoom = 24;

char *putNumber(char *w, sqlite3_int64 value)
{
    return std::to_chars(w, w + kNumberRoom, value).ptr;
}

} // namespace

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

bool Store::appendContactRows(const QString &customerNo, QByteArray &utf8) const
{
    RawStatement statement(m_db, "SELECT adr_k_no, grup_no, adi, soyadi, adres1, adres2, adres3, ilce, il, "
                                 "gsm_no, tel_no, fax_no FROM adresler WHERE cari_no = ? ORDER BY adr_k_no");
    if (!statement.isValid() || !statement.bindText(1, key(customerNo).toUtf8()))
        return false;
    sqlite3_stmt *row = statement.get();
    const qsizetype start = utf8.size();
    auto giveUp = [&utf8, start] {
        utf8.truncate(start);
        return false;
    };
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(row)) == SQLITE_ROW) {
        // Group numbers are stored as whole numbers; anything else is read
        // the way contacts() reads it.
        if (sqlite3_column_type(row, 1) != SQLITE_INTEGER)
            return giveUp();
        const unsigned char *texts[10];
        qsizetype lengths[10];
        qsizetype rowBytes = 2 + 2 * (1 + kNumberRoom) + 10;
        for (int k = 0; k < 10; ++k) {
            texts[k] = sqlite3_column_text(row, 2 + k);
            lengths[k] = sqlite3_column_bytes(row, 2 + k);
            rowBytes += lengths[k];
        }
        const qsizetype at = utf8.size();
        if (utf8.capacity() - at < rowBytes)
            utf8.reserve(qMax(2 * utf8.capacity(), at + rowBytes));
        utf8.resize(at + rowBytes);
        char *w = utf8.data() + at;
        *w++ = '<';
        *w++ = '>';
        w = putNumber(w, sqlite3_column_int64(row, 0));
        *w++ = '|';
        w = putNumber(w, sqlite3_column_int64(row, 1));
        for (int k = 0; k < 10; ++k) {
            *w++ = '|';
            if (lengths[k] > 0)
                std::memcpy(w, texts[k], std::size_t(lengths[k]));
            w += lengths[k];
        }
        utf8.truncate(w - utf8.constData());
    }
    // Text that is not UTF-8 came from outside the service; contacts()
    // reads it as Qt does.
    if (step != SQLITE_DONE || !QByteArrayView(utf8).sliced(start).isValidUtf8())
        return giveUp();
    return true;
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
