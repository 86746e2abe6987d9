#pragma once

#include "model/snapshot.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>

namespace velmor {

// One message to one number, as the delivery report lists it.
struct DeliveryReportRow
{
    QString name;    // "Adı Soyadı": from the phone book, empty when no contact has the number
    QString phone;   // "GSM No": the number as the service sent it
    QString message; // "Mesaj"
    QString sent;    // time of sending, YYYYMMDDHHNNSS; empty unless the service gave 14 characters
    QString settled; // time the final state was reached, same form
    QString state;   // "Durum": the service's own wording
};

// "15.03.2010 / 09:30:05" for "20100315093005": the characters taken by
// position (day, month, year, then hour, minute, second). The empty text for
// anything that is not exactly 14 characters long.
QString FormatReportStamp(QStringView stamp);
// The same stamp in ISO 8601 for programs that read it, "2010-03-15T09:30:05"
// (the service's local time, no zone); the empty text unless it is fourteen
// digits of a real date and time.
QString IsoReportStamp(QStringView stamp);

// The phone book's names by mobile number, built once per query: one pass
// over the contacts, then each lookup costs one hash probe. A number shared by
// several contacts gives the name of the first of them in the snapshot's order.
// Numbers are compared exactly (no trimming, no normalising); an empty number
// names nobody, since a message without a number was sent to no contact.
class ContactNames
{
public:
    explicit ContactNames(const ContactList &contacts);

    // The position of the first contact with the number, or -1.
    qsizetype find(QStringView number) const;
    // "Adr_Adi Adr_Soyadi" of the contact, or the empty text. Rows with the
    // same number share one string.
    QString nameOf(QStringView number) const;
    QString nameAt(qsizetype position) const;

private:
    ContactList m_contacts; // shared with the snapshot, never changed here
    // Numbers of digits only (nearly all) by their digits and length, so that
    // a probe compares two integers; every other number by its text, viewing
    // the text held by m_contacts.
    QHash<quint64, qsizetype> m_byDigits;
    QHash<QStringView, qsizetype> m_byText;
    mutable QList<QString> m_names; // built on first use, by contact position
};

// The most a report may hold. A reply beyond either is refused whole, before
// anything is built from it: no real month comes near, and a table of more,
// or a cell of many megabytes, would hold the program up for a long time.
inline constexpr qsizetype kReportRowLimit = 2'000'000;
inline constexpr qsizetype kReportFieldLimit = 4096; // characters in any of the five fields

// The rows of a report, or why there are none.
struct DeliveryReportReading
{
    enum class Refusal { None, TooManyRows, FieldTooLong };
    QList<DeliveryReportRow> rows; // empty when refused
    Refusal refusal = Refusal::None;
};

// Reads the "<iletimRpr>" section: rows at "<>" (the text before the first
// one is no row), fields at "|"; rows of fewer than five fields and rows of
// five empty fields are skipped, fields after the fifth ignored. Names come
// from the lookup. Refused when the rows left are more than kReportRowLimit
// or one of their fields is longer than kReportFieldLimit.
DeliveryReportReading ReadDeliveryReport(QStringView report, const ContactNames &names);
DeliveryReportReading ReadDeliveryReport(QStringView report, const ContactList &contacts);
// The rows alone: none when the report is refused.
QList<DeliveryReportRow> ParseDeliveryReport(QStringView report, const ContactNames &names);
QList<DeliveryReportRow> ParseDeliveryReport(QStringView report, const ContactList &contacts);
// What the user is told about a refused report; the empty text for none.
QString ReportRefusalMessage(DeliveryReportReading::Refusal refusal);

// The dates a query sends: each field's value trimmed, an empty one replaced
// by "00010101" (first) or "99993112" (last), and the two swapped when the
// first is greater by character codes.
std::pair<QString, QString> ReportDateRange(const QString &firstDate, const QString &lastDate);

// A date as the user typed it: day, month and year (four digits) separated
// by ".", "/" or "-", blanks around allowed. Gives YYYYMMDD for a real date,
// the empty text for an empty entry, and nothing for anything else.
std::optional<QString> ParseEnteredDate(QStringView text);

// How many rows each state has: the states by count, most first; states with
// equal counts in the order they first occur in the rows.
QList<std::pair<QString, int>> CountByState(const QList<DeliveryReportRow> &rows);
// "İletildi: 812 · Hatalı Numara: 3"; an empty state is counted as "(boş)".
QString StateCountLine(const QList<std::pair<QString, int>> &counts);

} // namespace velmor
