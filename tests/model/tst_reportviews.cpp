// What the delivery report window works out from its rows without widgets:
// the rows a resend takes, the filter over state and search, the quick
// ranges around a day, the sends per period of the chart and the message's
// tool tip.

#include "model/deliveryreportmodel.h"
#include "model/reportfilter.h"
#include "model/reportperiod.h"
#include "model/reportresend.h"

#include <QTest>
#include <QTextDocument>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

DeliveryReportRow row(const QString &phone, const QString &state, const QString &message = u"Merhaba"_s,
                      const QString &sent = u"20240315101500"_s, const QString &name = QString())
{
    return {name, phone, message, sent, sent, state};
}

} // namespace

class TestReportViews : public QObject
{
    Q_OBJECT

private slots:
    void resend_takesUndeliveredMobileNumbersOnce();
    void resend_mostFrequentMessageAndSaysWhenSeveral();
    void filter_stateAndFoldedSearchWithWildcards();
    void filterModel_followsSortAndNewRows();
    void quickRanges_data();
    void quickRanges();
    void sendsOverTime_daysOfRangeAndLongerSpans();
    void messageToolTip_showsMarkupAsText();
};

void TestReportViews::resend_takesUndeliveredMobileNumbersOnce()
{
    const QList<DeliveryReportRow> rows = {
        row(u"05321112233"_s, u"İletildi"_s),
        row(u"05321112244"_s, u"Ulaşılamadı"_s),
        row(u"0532111"_s, u"Hatalı Numara"_s),
        // A wrong number the service did not recognise as such, and a
        // landline: no mobile number to send to.
        row(u"abc"_s, u"İletilemedi"_s),
        row(u"02124445566"_s, u"İletilemedi"_s),
        // Written another way and sent twice: one recipient.
        row(u"+90 532 111 22 55"_s, u"Beklemede"_s),
        row(u"05321112255"_s, u"İletilemedi"_s),
        row(u"05321112244"_s, u""_s),
    };
    const ResendChoice undelivered = ResendToUndelivered(rows);
    QCOMPARE(undelivered.numbers, (QStringList{u"05321112244"_s, u"05321112255"_s}));
    QCOMPARE(undelivered.message, u"Merhaba"_s);
    QVERIFY(!undelivered.severalMessages);

    // The selected rows whatever their state, the mobile ones only.
    QCOMPARE(ResendToRows(rows.first(3)).numbers, (QStringList{u"05321112233"_s, u"05321112244"_s}));
    QVERIFY(ResendToUndelivered(rows.first(1)).numbers.isEmpty());
}

void TestReportViews::resend_mostFrequentMessageAndSaysWhenSeveral()
{
    const QList<DeliveryReportRow> rows = {
        row(u"05321112201"_s, u"İletilemedi"_s, u"Birinci"_s),
        row(u"05321112202"_s, u"İletilemedi"_s, u"İkinci"_s),
        row(u"05321112203"_s, u"İletilemedi"_s, u"İkinci"_s),
        // A delivered row's message does not count.
        row(u"05321112204"_s, u"İletildi"_s, u"Birinci"_s),
        row(u"05321112205"_s, u"İletildi"_s, u"Birinci"_s),
    };
    const ResendChoice choice = ResendToUndelivered(rows);
    QCOMPARE(choice.message, u"İkinci"_s);
    QVERIFY(choice.severalMessages);
    QCOMPARE(choice.numbers.size(), 3);
    // Equally frequent: the first met.
    QCOMPARE(ResendToRows(rows.first(2)).message, u"Birinci"_s);
}

void TestReportViews::filter_stateAndFoldedSearchWithWildcards()
{
    const QList<DeliveryReportRow> rows = {
        row(u"05321112233"_s, u"İletildi"_s, u"Yeni kampanya başladı"_s, u"20240315101500"_s, u"İsmail Şahin"_s),
        row(u"05054445566"_s, u"İletilemedi"_s, u"Kargo: sipariş yolda"_s, u"20240315101500"_s, u"Ayşe Işık"_s),
        row(u"05399990000"_s, QString(), u"Son kampanya bitti"_s),
    };
    const auto shown = [&](std::optional<QString> state, const QString &search) {
        return FilterReportRows(rows, ReportRowFilter(std::move(state), search));
    };
    QCOMPARE(shown(std::nullopt, QString()), (QList<int>{0, 1, 2}));
    // The seven Turkish capitals fold as the phone book folds them, over
    // name, number and message; other letters keep their case there too.
    QCOMPARE(shown(std::nullopt, u"ismail"_s), (QList<int>{0}));
    QCOMPARE(shown(std::nullopt, u"IŞI"_s), (QList<int>{1}));
    QCOMPARE(shown(std::nullopt, u"kampanya"_s), (QList<int>{0, 2}));
    QCOMPARE(shown(std::nullopt, u"4445"_s), (QList<int>{1}));
    QCOMPARE(shown(std::nullopt, u"0539*0000"_s), (QList<int>{2}));
    QCOMPARE(shown(std::nullopt, u"k?mpanya b#"_s), QList<int>{});
    QCOMPARE(shown(std::nullopt, u"[ks]ipariş"_s), (QList<int>{1}));
    // A state, the empty one too, and a state with a search together.
    QCOMPARE(shown(u"İletilemedi"_s, QString()), (QList<int>{1}));
    QCOMPARE(shown(QString(), QString()), (QList<int>{2}));
    QCOMPARE(shown(u"İletildi"_s, u"bitti"_s), QList<int>{});
    QCOMPARE(ReportStates(rows + QList{row(u"05321112299"_s, u"İletilemedi"_s)}),
             (QStringList{u"İletilemedi"_s, u"İletildi"_s, QString()}));
}

void TestReportViews::filterModel_followsSortAndNewRows()
{
    DeliveryReportModel model;
    DeliveryReportFilterModel shown(&model);
    model.setRows({row(u"05321112233"_s, u"İletildi"_s, u"c"_s), row(u"05321112244"_s, u"İletilemedi"_s, u"a"_s),
                   row(u"05321112255"_s, u"İletildi"_s, u"b"_s)});
    shown.setFilter(ReportRowFilter(u"İletildi"_s, QString()));
    QCOMPARE(shown.rowCount(), 2);
    // A click on a header sorts what is listed; the filter stays.
    shown.sort(DeliveryReportModel::Message, Qt::AscendingOrder);
    QCOMPARE(shown.index(0, DeliveryReportModel::Message).data().toString(), u"b"_s);
    QCOMPARE(shown.index(1, DeliveryReportModel::Message).data().toString(), u"c"_s);
    QCOMPARE(shown.shownTable().size(), 3);
    QCOMPARE(shown.shownTable().at(1).at(DeliveryReportModel::Message), u"b"_s);
    // The rows let through in the report's order.
    QCOMPARE(shown.listedRows().constFirst().message, u"c"_s);

    // New rows are filtered as they come.
    model.setRows({row(u"05321112266"_s, u"İletilemedi"_s), row(u"05321112277"_s, u"İletildi"_s)});
    QCOMPARE(shown.rowCount(), 1);
    QCOMPARE(shown.index(0, DeliveryReportModel::Phone).data().toString(), u"05321112277"_s);
    model.clear();
    QCOMPARE(shown.rowCount(), 0);
    QVERIFY(shown.listedRows().isEmpty());
}

void TestReportViews::quickRanges_data()
{
    QTest::addColumn<int>("range");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");
    const QDate leapDay(2024, 2, 29);
    QTest::newRow("today") << int(QuickRange::Today) << leapDay << leapDay << leapDay;
    QTest::newRow("yesterday across a year") << int(QuickRange::Yesterday) << QDate(2024, 1, 1)
                                             << QDate(2023, 12, 31) << QDate(2023, 12, 31);
    QTest::newRow("last 7 days") << int(QuickRange::Last7Days) << QDate(2024, 3, 2) << QDate(2024, 2, 25)
                                 << QDate(2024, 3, 2);
    QTest::newRow("this month") << int(QuickRange::ThisMonth) << leapDay << QDate(2024, 2, 1) << leapDay;
    QTest::newRow("last month, from the 31st") << int(QuickRange::LastMonth) << QDate(2024, 3, 31)
                                               << QDate(2024, 2, 1) << leapDay;
    QTest::newRow("last month in January") << int(QuickRange::LastMonth) << QDate(2024, 1, 15)
                                           << QDate(2023, 12, 1) << QDate(2023, 12, 31);
    QTest::newRow("all") << int(QuickRange::All) << leapDay << QDate() << QDate();
}

void TestReportViews::quickRanges()
{
    QFETCH(int, range);
    QFETCH(QDate, today);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    const auto [from, to] = QuickRangeDates(QuickRange(range), today);
    QCOMPARE(from, first);
    QCOMPARE(to, last);
}

void TestReportViews::sendsOverTime_daysOfRangeAndLongerSpans()
{
    const QList<DeliveryReportRow> rows = {
        row(u"05321112201"_s, u"İletildi"_s, u"m"_s, u"20240302235959"_s),
        row(u"05321112202"_s, u"İletildi"_s, u"m"_s, u"20240302000000"_s),
        row(u"05321112203"_s, u"İletilemedi"_s, u"m"_s, u"20240304120000"_s),
        // No readable time: counted apart, in no day.
        row(u"05321112204"_s, u"İletildi"_s, u"m"_s, QString()),
        row(u"05321112205"_s, u"İletildi"_s, u"m"_s, u"20241399120000"_s),
    };
    // Each day of the range asked for, those without sends too.
    const SendsOverTime days = CountSendsOverTime(rows, u"20240301"_s, u"20240305"_s);
    QCOMPARE(days.step, SendsOverTime::Step::Day);
    QCOMPARE(days.periods, (QStringList{u"01.03"_s, u"02.03"_s, u"03.03"_s, u"04.03"_s, u"05.03"_s}));
    QCOMPARE(days.states, (QStringList{u"İletildi"_s, u"İletilemedi"_s}));
    QCOMPARE(days.counts, (QList<QList<int>>{{0, 2, 0, 0, 0}, {0, 0, 0, 1, 0}}));
    QCOMPARE(days.undated, 2);

    // The open range of "Tümü" runs over the days that have sends; over two
    // months they go by month.
    QCOMPARE(CountSendsOverTime(rows, u"00010101"_s, u"99993112"_s).periods.size(), 3);
    const SendsOverTime months = CountSendsOverTime(
        rows + QList{row(u"05321112206"_s, u"İletildi"_s, u"m"_s, u"20240615080000"_s)}, u"00010101"_s,
        u"99993112"_s);
    QCOMPARE(months.step, SendsOverTime::Step::Month);
    QCOMPARE(months.periods.size(), 4);
    QCOMPARE(months.counts.at(0), (QList<int>{2, 0, 0, 1}));
    QVERIFY(CountSendsOverTime({}, u"00010101"_s, u"99993112"_s).periods.isEmpty());
}

void TestReportViews::messageToolTip_showsMarkupAsText()
{
    DeliveryReportModel model;
    const QString message = u"<b>İndirim</b> & <i>kampanya</i>\nikinci satır <br>"_s;
    model.setRows({row(u"05321112233"_s, u"İletildi"_s, message)});
    const QString tip = model.index(0, DeliveryReportModel::Message).data(Qt::ToolTipRole).toString();
    // A tool tip is drawn as markup when it looks like markup: what the
    // reader sees must be the message itself, tags and line breaks included.
    QTextDocument shown;
    if (Qt::mightBeRichText(tip))
        shown.setHtml(tip);
    else
        shown.setPlainText(tip);
    QCOMPARE(shown.toPlainText(), message);
}

QTEST_MAIN(TestReportViews)
#include "tst_reportviews.moc"
