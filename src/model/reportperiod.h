#pragma once

#include "model/deliveryreport.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace velmor {

// The ranges offered beside the two date fields of the report.
enum class QuickRange { Today, Yesterday, Last7Days, ThisMonth, LastMonth, All };

// The first and the last day of the range around today ("Son 7 Gün" ends
// today, "Bu Ay" runs from the first of the month to today); two invalid
// dates for All, which sets no limit.
std::pair<QDate, QDate> QuickRangeDates(QuickRange range, QDate today);

// The sends of report rows over time, by state: the chart's bars.
struct SendsOverTime
{
    enum class Step { Day, Month, Year };
    Step step = Step::Day;
    QStringList periods;      // "15.03", "Mar 2024" or "2024", in time order
    QStringList states;       // most frequent first
    QList<QList<int>> counts; // counts[state][period]
    int undated = 0;          // rows without a readable time of sending, in no period
};

// Counts the rows by the day of sending within the range asked for (first
// and last date as YYYYMMDD, as a query sends them). A range of up to two
// months shows each of its days, sends or none; a longer or open one runs
// from the first to the last day that has sends. Over two months the
// periods are months, over five years years.
SendsOverTime CountSendsOverTime(const QList<DeliveryReportRow> &rows, const QString &firstDate,
                                 const QString &lastDate);

} // namespace velmor
