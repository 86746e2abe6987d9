#include "model/deliveryreport.h"

#include "model/rowsplit.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

constexpr qsizetype kStampLength = 14;
constexpr int kReportFields = 5;

// The stamp when it has the length of one, otherwise nothing.
QStringView stampView(QStringView field)
{
    return field.size() == kStampLength ? field : QStringView();
}

// Numbers of one to 17 digits as one integer: the digits' value and their
// count, so that "0532" and "532" stay apart. Nothing for any other text.
std::optional<quint64> digitKey(QStringView number)
{
    const qsizetype n = number.size();
    if (n == 0 || n > 17)
        return std::nullopt;
    quint64 value = 0;
    for (const QChar ch : number) {
        const char16_t c = ch.unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return (value << 5) | quint64(n);
}

// The field's string, the one of the row before when the text is the same.
class SameAsBefore
{
public:
    const QString &take(QStringView field)
    {
        if (field != QStringView(m_last))
            m_last = fieldText(field);
        return m_last;
    }

private:
    QString m_last;
};

// The field's string, shared with every earlier row of the same text while
// there are few different ones: a report holds a handful of states, and a
// sort keys each string once.
class FewTexts
{
public:
    const QString &take(QStringView field)
    {
        for (const QString &seen : m_seen) {
            if (field == QStringView(seen))
                return seen;
        }
        if (m_seen.size() < kMostKept) {
            m_seen.append(fieldText(field));
            return m_seen.constLast();
        }
        return m_last.take(field);
    }

private:
    static constexpr qsizetype kMostKept = 16;
    QList<QString> m_seen;
    SameAsBefore m_last;
};

} // namespace

QString FormatReportStamp(QStringView stamp)
{
    if (stamp.size() != kStampLength)
        return {};
    QString shown;
    shown.reserve(21);
    shown += stamp.sliced(6, 2);
    shown += u'.';
    shown += stamp.sliced(4, 2);
    shown += u'.';
    shown += stamp.sliced(0, 4);
    shown += u" / ";
    shown += stamp.sliced(8, 2);
    shown += u':';
    shown += stamp.sliced(10, 2);
    shown += u':';
    shown += stamp.sliced(12, 2);
    return shown;
}

QString IsoReportStamp(QStringView stamp)
{
    if (stamp.size() != 14)
        return {};
    const QDateTime time = QDateTime::fromString(stamp.toString(), QStringLiteral("yyyyMMddHHmmss"));
    return time.isValid() ? time.toString(Qt::ISODate) : QString();
}

ContactNames::ContactNames(const ContactList &contacts) : m_contacts(contacts)
{
    const qsizetype count = m_contacts.size();
    m_byDigits.reserve(count);
    m_names.resize(count);
    // Backwards, so that of several contacts with one number the first one
    // is entered last and keeps it.
    for (qsizetype i = count - 1; i >= 0; --i) {
        const QStringView number = m_contacts.at(i).Adr_GSM_No();
        if (number.isEmpty())
            continue;
        if (const std::optional<quint64> key = digitKey(number))
            m_byDigits.insert(*key, i);
        else
            m_byText.insert(number, i);
    }
}

qsizetype ContactNames::find(QStringView number) const
{
    if (number.isEmpty())
        return -1;
    if (const std::optional<quint64> key = digitKey(number))
        return m_byDigits.value(*key, -1);
    return m_byText.value(number, -1);
}

QString ContactNames::nameAt(qsizetype position) const
{
    if (position < 0 || position >= m_contacts.size())
        return {};
    QString &name = m_names[position];
    if (name.isNull()) {
        const ContactRef contact = m_contacts.at(position);
        const QStringView first = contact.Adr_Adi();
        const QStringView last = contact.Adr_Soyadi();
        name.reserve(first.size() + 1 + last.size());
        name.append(first).append(u' ').append(last);
    }
    return name;
}

QString ContactNames::nameOf(QStringView number) const
{
    return nameAt(find(number));
}

DeliveryReportReading ReadDeliveryReport(QStringView report, const ContactNames &names)
{
    using Fields = std::array<QStringView, kReportFields>;
    const auto listed = [](const Fields &f, int fieldCount) {
        return fieldCount == kReportFields
               && std::any_of(f.cbegin(), f.cend(), [](QStringView field) { return !field.isEmpty(); });
    };
    // Checked in a pass that builds nothing, so that a refused reply costs
    // no more memory than its text.
    qsizetype count = 0;
    bool tooLong = false;
    forEachRow<kReportFields>(report, [&](const Fields &f, int fieldCount) {
        if (tooLong || !listed(f, fieldCount))
            return;
        ++count;
        tooLong = std::any_of(f.cbegin(), f.cend(), [](QStringView field) { return field.size() > kReportFieldLimit; });
    });
    DeliveryReportReading reading;
    if (tooLong) {
        reading.refusal = DeliveryReportReading::Refusal::FieldTooLong;
        return reading;
    }
    if (count > kReportRowLimit) {
        reading.refusal = DeliveryReportReading::Refusal::TooManyRows;
        return reading;
    }

    QList<DeliveryReportRow> &rows = reading.rows;
    rows.reserve(count);
    // One send to many numbers comes as consecutive rows with the same
    // message and sending time: those rows share one string each, and the
    // rows of one state too.
    SameAsBefore message, sent, settled;
    FewTexts state;
    forEachRow<kReportFields>(report, [&](const Fields &f, int fieldCount) {
        if (!listed(f, fieldCount))
            return;
        DeliveryReportRow &row = rows.emplaceBack();
        row.phone = fieldText(f[0]);
        row.name = names.nameOf(f[0]);
        row.message = message.take(f[3]);
        row.sent = sent.take(stampView(f[1]));
        row.settled = settled.take(stampView(f[2]));
        row.state = state.take(f[4]);
    });
    return reading;
}

DeliveryReportReading ReadDeliveryReport(QStringView report, const ContactList &contacts)
{
    return ReadDeliveryReport(report, ContactNames(contacts));
}

QList<DeliveryReportRow> ParseDeliveryReport(QStringView report, const ContactNames &names)
{
    return ReadDeliveryReport(report, names).rows;
}

QList<DeliveryReportRow> ParseDeliveryReport(QStringView report, const ContactList &contacts)
{
    return ParseDeliveryReport(report, ContactNames(contacts));
}

QString ReportRefusalMessage(DeliveryReportReading::Refusal refusal)
{
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    switch (refusal) {
    case DeliveryReportReading::Refusal::TooManyRows:
        return u"İletim raporu gösterilemiyor: seçilen tarih aralığında %1 satırdan fazla mesaj var. "
               u"Lütfen daha kısa bir tarih aralığı seçiniz."_s.arg(turkish.toString(qlonglong(kReportRowLimit)));
    case DeliveryReportReading::Refusal::FieldTooLong:
        return u"İletim raporu gösterilemiyor: sunucunun gönderdiği raporda %1 karakterden uzun bir alan var, "
               u"rapor bozuk gelmiş olabilir. Lütfen daha sonra yeniden deneyiniz."_s.arg(
                   turkish.toString(qlonglong(kReportFieldLimit)));
    case DeliveryReportReading::Refusal::None:
        break;
    }
    return {};
}

std::pair<QString, QString> ReportDateRange(const QString &firstDate, const QString &lastDate)
{
    QString first = u"00010101"_s;
    QString last = u"99993112"_s;
    if (const QString value = firstDate.trimmed(); !value.isEmpty())
        first = value;
    if (const QString value = lastDate.trimmed(); !value.isEmpty())
        last = value;
    // Ordinal: QString's own comparison compares UTF-16 code units.
    if (first > last)
        std::swap(first, last);
    return {first, last};
}

std::optional<QString> ParseEnteredDate(QStringView text)
{
    const QStringView entry = text.trimmed();
    if (entry.isEmpty())
        return QString();
    static const QRegularExpression pattern(u"^(\\d{1,2})([./-])(\\d{1,2})\\2(\\d{4})$"_s);
    const QRegularExpressionMatch match = pattern.match(entry.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const int day = match.capturedView(1).toInt();
    const int month = match.capturedView(3).toInt();
    const int year = match.capturedView(4).toInt();
    // Year 0 does not exist; QDate would take it as a valid year before 1.
    if (year < 1 || !QDate::isValid(year, month, day))
        return std::nullopt;
    return u"%1%2%3"_s.arg(year, 4, 10, QChar(u'0')).arg(month, 2, 10, QChar(u'0')).arg(day, 2, 10, QChar(u'0'));
}

QList<std::pair<QString, int>> CountByState(const QList<DeliveryReportRow> &rows)
{
    QList<std::pair<QString, int>> counts;
    QHash<QString, qsizetype> position;
    for (const DeliveryReportRow &row : rows) {
        const auto it = position.constFind(row.state);
        if (it == position.cend()) {
            position.insert(row.state, counts.size());
            counts.append({row.state, 1});
        } else {
            ++counts[*it].second;
        }
    }
    std::stable_sort(counts.begin(), counts.end(),
                     [](const auto &a, const auto &b) { return a.second > b.second; });
    return counts;
}

QString StateCountLine(const QList<std::pair<QString, int>> &counts)
{
    QStringList parts;
    parts.reserve(counts.size());
    for (const auto &[state, count] : counts)
        parts.append((state.isEmpty() ? u"(boş)"_s : state) + u": "_s + QString::number(count));
    return parts.join(u" · "_s);
}

} // namespace velmor
