// The delivery report: time stamps, the names of the numbers, typed
// dates, the counts by state, and the table's own sorting.

#include "model/deliveryreportmodel.h"

#include <QAbstractItemModelTester>
#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

Contact contact(const QString &name, const QString &surname, const QString &mobile)
{
    Contact c;
    c.Adr_Adi = name;
    c.Adr_Soyadi = surname;
    c.Adr_GSM_No = mobile;
    return c;
}

QStringList shown(const DeliveryReportModel &model, int column)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out.append(model.index(row, column).data().toString());
    return out;
}

DeliveryReportRow reportRow(const QString &name, const QString &sent, const QString &state = {})
{
    DeliveryReportRow row;
    row.name = name;
    row.sent = sent;
    row.state = state;
    return row;
}

} // namespace

class DeliveryReportTest : public QObject
{
    Q_OBJECT

private slots:
    void stamp_takenByPosition();
    void names_firstContactWinsAndEmptyNumberNamesNobody();
    void enteredDate_data();
    void enteredDate();
    void counts_mostFirstThenFirstSeen();
    void sort_datesByTimeAndTextsInTurkishOrder();
    void overLimits_refusedWhole_emptyRowsNotCounted();
};

void DeliveryReportTest::stamp_takenByPosition()
{
    QCOMPARE(FormatReportStamp(u"20100315093005"), u"15.03.2010 / 09:30:05"_s);
    QCOMPARE(FormatReportStamp(u"abcdefghijklmn"), u"gh.ef.abcd / ij:kl:mn"_s);
    QCOMPARE(FormatReportStamp(u"2010031509300"), QString());
}

void DeliveryReportTest::names_firstContactWinsAndEmptyNumberNamesNobody()
{
    const QList<Contact> contacts{contact(u"Elif"_s, u"Erdoğan"_s, QString()),
                                  contact(u"Süleyman"_s, u"Aktaş"_s, u"05357778801"_s),
                                  contact(u"Nazlı"_s, u"Aktaş"_s, u"05357778801"_s),
                                  contact(u"Ahmet"_s, u"Yılmaz"_s, u"05321112233"_s),
                                  contact(u"Can"_s, u"Er"_s, u"+90 555 000"_s),
                                  contact(u"Uzun"_s, u"Numara"_s, u"123456789012345678901"_s)};
    const QString report = u"<>05357778801|||m|s<>05321112233|||m|s<>0532 111 22 33|||m|s"
                           "<>05559990000|||m|s<>|||m|s<>05357778801|||m|s<>5321112233|||m|s"
                           "<>+90 555 000|||m|s<>123456789012345678901|||m|s<>023456789012345678901|||m|s"_s;
    const QList<DeliveryReportRow> rows = ParseDeliveryReport(report, ContactList(contacts));
    QStringList names;
    for (const DeliveryReportRow &row : rows)
        names.append(row.name);
    // Exact numbers only; an unknown or empty number leaves the name empty.
    QCOMPARE(names, (QStringList{u"Süleyman Aktaş"_s, u"Ahmet Yılmaz"_s, QString(), QString(), QString(),
                                 u"Süleyman Aktaş"_s, QString(), u"Can Er"_s, u"Uzun Numara"_s, QString()}));
}

void DeliveryReportTest::enteredDate_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("value");
    QTest::newRow("empty") << QString() << true << QString();
    QTest::newRow("blanks only") << u"   "_s << true << QString();
    QTest::newRow("dotted") << u"15.03.2010"_s << true << u"20100315"_s;
    QTest::newRow("short parts, blanks") << u" 5.3.2010 "_s << true << u"20100305"_s;
    QTest::newRow("slashes") << u"29/02/2012"_s << true << u"20120229"_s;
    QTest::newRow("first year") << u"01.01.0001"_s << true << u"00010101"_s;
    QTest::newRow("no 29 February") << u"29.02.2011"_s << false << QString();
    QTest::newRow("month 13") << u"01.13.2010"_s << false << QString();
    QTest::newRow("day 0") << u"00.01.2010"_s << false << QString();
    QTest::newRow("year 0") << u"01.01.0000"_s << false << QString();
    QTest::newRow("mixed separators") << u"15.03/2010"_s << false << QString();
    QTest::newRow("two-digit year") << u"15.03.10"_s << false << QString();
    QTest::newRow("year first") << u"2010-03-15"_s << false << QString();
    QTest::newRow("eight digits") << u"20100315"_s << false << QString();
}

void DeliveryReportTest::enteredDate()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    const std::optional<QString> value = ParseEnteredDate(typed);
    QCOMPARE(value.has_value(), accepted);
    if (accepted)
        QTEST(*value, "value");
}

void DeliveryReportTest::counts_mostFirstThenFirstSeen()
{
    QList<DeliveryReportRow> rows;
    for (const QString &state : {u"Hatalı Numara"_s, u"İletilemedi"_s, u"İletildi"_s, u"İletildi"_s, QString(),
                                 u"İletilemedi"_s, u"İletildi"_s})
        rows.append(reportRow({}, {}, state));
    QCOMPARE(StateCountLine(CountByState(rows)), u"İletildi: 3 · İletilemedi: 2 · Hatalı Numara: 1 · (boş): 1"_s);
    QCOMPARE(StateCountLine(CountByState({})), QString());
}

void DeliveryReportTest::sort_datesByTimeAndTextsInTurkishOrder()
{
    DeliveryReportModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // Shown as text, 02.01.2011 would come before 15.03.2010.
    model.setRows({reportRow(u"Demir"_s, u"20110102080000"_s), reportRow(u"Çelik"_s, u"20100315093005"_s),
                   reportRow(u"İlker"_s, QString()), reportRow(u"Cem"_s, u"20100315093005"_s),
                   reportRow(u"Ilgaz"_s, u"20091231235959"_s)});
    QCOMPARE(model.sortColumn(), -1);
    QCOMPARE(shown(model, DeliveryReportModel::Name),
             (QStringList{u"Demir"_s, u"Çelik"_s, u"İlker"_s, u"Cem"_s, u"Ilgaz"_s}));

    // The current row stays with its report row.
    const QPersistentModelIndex demir = model.index(0, DeliveryReportModel::Name);
    model.sort(DeliveryReportModel::Sent, Qt::AscendingOrder);
    // No time first; equal times keep the order of the report.
    QCOMPARE(shown(model, DeliveryReportModel::Name),
             (QStringList{u"İlker"_s, u"Ilgaz"_s, u"Çelik"_s, u"Cem"_s, u"Demir"_s}));
    QCOMPARE(demir.row(), 4);
    QCOMPARE(demir.data().toString(), u"Demir"_s);
    model.sort(DeliveryReportModel::Sent, Qt::DescendingOrder);
    QCOMPARE(shown(model, DeliveryReportModel::Name),
             (QStringList{u"Demir"_s, u"Çelik"_s, u"Cem"_s, u"Ilgaz"_s, u"İlker"_s}));

    model.sort(DeliveryReportModel::Name, Qt::AscendingOrder);
    QCOMPARE(shown(model, DeliveryReportModel::Name),
             (QStringList{u"Cem"_s, u"Çelik"_s, u"Demir"_s, u"Ilgaz"_s, u"İlker"_s}));

    // The sort holds for the next rows; the table for export follows it.
    model.setRows({reportRow(u"Şule"_s, {}), reportRow(u"Sedat"_s, {}), reportRow(u"Zafer"_s, {})});
    const QList<QStringList> table = model.shownTable();
    QCOMPARE(table.size(), 4);
    QCOMPARE(table[0], (QStringList{u"Adı Soyadı"_s, u"GSM No"_s, u"Mesaj"_s, u"Gönderme Tarihi"_s,
                                    u"Sonuçlanma Tarihi"_s, u"Durum"_s}));
    QCOMPARE((QStringList{table[1][0], table[2][0], table[3][0]}),
             (QStringList{u"Sedat"_s, u"Şule"_s, u"Zafer"_s}));
    model.sort(-1);
    QCOMPARE(shown(model, DeliveryReportModel::Name), (QStringList{u"Şule"_s, u"Sedat"_s, u"Zafer"_s}));
}

void DeliveryReportTest::overLimits_refusedWhole_emptyRowsNotCounted()
{
    const ContactList none;
    // Rows of empty fields are no rows, wherever they stand.
    DeliveryReportReading reading = ReadDeliveryReport(u"<>||||<>1|||a|b<><>||||<>2|||c|d<>||||"_s, none);
    QCOMPARE(reading.refusal, DeliveryReportReading::Refusal::None);
    QCOMPARE(reading.rows.size(), 2);
    QCOMPARE(reading.rows.at(1).phone, u"2"_s);

    // One field over the limit, in any of the five, refuses the whole report.
    const QString longest = QString(kReportFieldLimit, u'x');
    QCOMPARE(ReadDeliveryReport(u"<>1|||"_s + longest + u"|"_s + longest, none).rows.size(), 1);
    for (const QString &row : {u"<>"_s + longest + u"x||||"_s, u"<>1|||a|"_s + longest + u"x"_s}) {
        reading = ReadDeliveryReport(u"<>1|||a|b"_s + row + u"<>2|||a|b"_s, none);
        QCOMPARE(reading.refusal, DeliveryReportReading::Refusal::FieldTooLong);
        QVERIFY(reading.rows.isEmpty());
        QVERIFY(ParseDeliveryReport(row, none).isEmpty());
    }
    // Beyond the sixth field nothing is read, so nothing is too long there.
    QCOMPARE(ReadDeliveryReport(u"<>1|||a|b|"_s + longest + u"x"_s, none).rows.size(), 1);

    // One row more than the limit, empty rows around not counted: refused.
    QString many = u"<>||||"_s.repeated(1000);
    many += u"<>1|||a|b"_s.repeated(kReportRowLimit + 1);
    reading = ReadDeliveryReport(many, none);
    QCOMPARE(reading.refusal, DeliveryReportReading::Refusal::TooManyRows);
    QVERIFY(reading.rows.isEmpty());
    const QString told = ReportRefusalMessage(reading.refusal);
    QVERIFY2(told.contains(u"2.000.000"_s), qPrintable(told));
    QVERIFY(ReportRefusalMessage(DeliveryReportReading::Refusal::FieldTooLong).contains(u"4.096"_s));
}

QTEST_GUILESS_MAIN(DeliveryReportTest)
#include "tst_deliveryreport.moc"
