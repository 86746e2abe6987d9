#include "model/reportresend.h"

#include "text/phonenumber.h"

#include <QHash>
#include <QSet>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

template<typename Take>
ResendChoice chooseRows(const QList<DeliveryReportRow> &rows, Take take)
{
    ResendChoice choice;
    QSet<QString> seen;
    // Messages by how many rows carry them, and in the order first met.
    QHash<QString, qsizetype> messageCount;
    QStringList messages;
    for (const DeliveryReportRow &row : rows) {
        if (!take(row))
            continue;
        const QString number = NormaliseMobileNumber(row.phone);
        if (number.isEmpty())
            continue;
        if (!seen.contains(number)) {
            seen.insert(number);
            choice.numbers.append(number);
        }
        qsizetype &count = messageCount[row.message];
        if (count++ == 0)
            messages.append(row.message);
    }
    qsizetype most = 0;
    for (const QString &message : std::as_const(messages)) {
        if (messageCount.value(message) > most) {
            most = messageCount.value(message);
            choice.message = message;
        }
    }
    choice.severalMessages = messages.size() > 1;
    return choice;
}

} // namespace

bool IsUndelivered(const DeliveryReportRow &row)
{
    return row.state != u"İletildi" && row.state != u"Hatalı Numara";
}

ResendChoice ResendToUndelivered(const QList<DeliveryReportRow> &rows)
{
    return chooseRows(rows, IsUndelivered);
}

ResendChoice ResendToRows(const QList<DeliveryReportRow> &rows)
{
    return chooseRows(rows, [](const DeliveryReportRow &) { return true; });
}

} // namespace velmor
