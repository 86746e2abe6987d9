#include "model/reportperiod.h"

#include <QHash>
#include <QLocale>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

constexpr qint64 kMostDays = 62;
constexpr int kMostMonths = 60;

int digitsAt(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// The day of a YYYYMMDD… text, invalid unless it begins with a real date.
QDate dayOf(QStringView stamp)
{
    if (stamp.size() < 8)
        return {};
    const int year = digitsAt(stamp, 0, 4);
    const int month = digitsAt(stamp, 4, 2);
    const int day = digitsAt(stamp, 6, 2);
    if (year < 1 || month < 0 || day < 0)
        return {};
    return QDate(year, month, day);
}

int monthIndex(QDate date)
{
    return date.year() * 12 + date.month() - 1;
}

} // namespace

std::pair<QDate, QDate> QuickRangeDates(QuickRange range, QDate today)
{
    const QDate firstOfMonth(today.year(), today.month(), 1);
    switch (range) {
    case QuickRange::Today:
        return {today, today};
    case QuickRange::Yesterday:
        return {today.addDays(-1), today.addDays(-1)};
    case QuickRange::Last7Days:
        return {today.addDays(-6), today};
    case QuickRange::ThisMonth:
        return {firstOfMonth, today};
    case QuickRange::LastMonth:
        return {firstOfMonth.addMonths(-1), firstOfMonth.addDays(-1)};
    case QuickRange::All:
        break;
    }
    return {};
}

SendsOverTime CountSendsOverTime(const QList<DeliveryReportRow> &rows, const QString &firstDate,
                                 const QString &lastDate)
{
    SendsOverTime out;
    for (const auto &[state, count] : CountByState(rows))
        out.states.append(state);
    QHash<QString, int> stateIndex;
    for (qsizetype i = 0; i < out.states.size(); ++i)
        stateIndex.insert(out.states.at(i), int(i));

    // Each row's day and state, read once. Rows of one send share their
    // texts, so the last row's answers are reused.
    QList<std::pair<QDate, int>> dated;
    dated.reserve(rows.size());
    QDate earliest, latest;
    const QString *lastStamp = nullptr;
    QDate lastDay;
    for (const DeliveryReportRow &row : rows) {
        if (!lastStamp || *lastStamp != row.sent)
            lastDay = dayOf(row.sent);
        lastStamp = &row.sent;
        if (!lastDay.isValid()) {
            ++out.undated;
            continue;
        }
        dated.append({lastDay, stateIndex.value(row.state)});
        if (!earliest.isValid() || lastDay < earliest)
            earliest = lastDay;
        if (!latest.isValid() || lastDay > latest)
            latest = lastDay;
    }

    // A short range asked for shows every one of its days.
    const QDate from = dayOf(firstDate), to = dayOf(lastDate);
    if (from.isValid() && to.isValid() && from.daysTo(to) < kMostDays) {
        earliest = earliest.isValid() ? std::min(earliest, from) : from;
        latest = latest.isValid() ? std::max(latest, to) : to;
    }
    if (!earliest.isValid())
        return out;

    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    int periodCount = 0;
    if (earliest.daysTo(latest) < kMostDays) {
        out.step = SendsOverTime::Step::Day;
        periodCount = int(earliest.daysTo(latest)) + 1;
        for (int i = 0; i < periodCount; ++i)
            out.periods.append(earliest.addDays(i).toString(u"dd.MM"_s));
    } else if (monthIndex(latest) - monthIndex(earliest) < kMostMonths) {
        out.step = SendsOverTime::Step::Month;
        periodCount = monthIndex(latest) - monthIndex(earliest) + 1;
        const QDate first(earliest.year(), earliest.month(), 1);
        for (int i = 0; i < periodCount; ++i)
            out.periods.append(turkish.toString(first.addMonths(i), u"MMM yyyy"_s));
    } else {
        out.step = SendsOverTime::Step::Year;
        periodCount = latest.year() - earliest.year() + 1;
        for (int i = 0; i < periodCount; ++i)
            out.periods.append(QString::number(earliest.year() + i));
    }

    out.counts.fill(QList<int>(periodCount, 0), out.states.size());
    for (const auto &[day, state] : std::as_const(dated)) {
        int period = 0;
        switch (out.step) {
        case SendsOverTime::Step::Day:
            period = int(earliest.daysTo(day));
            break;
        case SendsOverTime::Step::Month:
            period = monthIndex(day) - monthIndex(earliest);
            break;
        case SendsOverTime::Step::Year:
            period = day.year() - earliest.year();
            break;
        }
        ++out.counts[state][period];
    }
    return out;
}

} // namespace velmor
