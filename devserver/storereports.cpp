// Sends and the delivery report rows they leave.
#include "store.h"

#include "storesql.h"

#include <QRegularExpression>

namespace velmor::dev {

using namespace Qt::StringLiterals;
using namespace sql;

namespace {

// Where a message settles, in seconds after sending.
constexpr int kDeliveredAfterSeconds = 5;
constexpr int kWrongNumberAfterSeconds = 2;
constexpr int kUndeliveredAfterSeconds = 30;

bool isMobileNumber(const QString &number)
{
    // Anchored at the very end: "$" alone would also let a trailing line break through.
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(u"05[0-9]{9}"_s));
    return pattern.match(number).hasMatch();
}

struct FinalState
{
    QString state;
    int afterSeconds = 0;
};

// A number of the form 05xxxxxxxxx is delivered, unless it ends in the
// undelivered suffix; any other number is a wrong number.
FinalState finalStateOf(const QString &number, const QString &undeliveredSuffix)
{
    if (!isMobileNumber(number))
        return {u"Hatalı Numara"_s, kWrongNumberAfterSeconds};
    if (!undeliveredSuffix.isEmpty() && number.endsWith(undeliveredSuffix))
        return {u"Ulaşılamadı"_s, kUndeliveredAfterSeconds};
    return {u"İletildi"_s, kDeliveredAfterSeconds};
}

} // namespace

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

std::optional<QString> Store::send(const QString &customerNo, const SendRequest &request, const QDateTime &now,
                                   const QString &undeliveredSuffix)
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
            const FinalState final = finalStateOf(number, undeliveredSuffix);
            query.bindValue(0, no);
            query.bindValue(1, bindable(number));
            query.bindValue(2, bindable(sent));
            query.bindValue(3, stampOf(sentAt.addSecs(final.afterSeconds)));
            query.bindValue(4, bindable(request.message));
            query.bindValue(5, final.state);
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

} // namespace velmor::dev
