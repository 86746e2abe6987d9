// The delivery report window in the main window against the development
// service with undelivered numbers: the resend to the undelivered filling
// the send window, the state filter and the search narrowing the list, the
// counts, the chart and the export, and the quick ranges around a fixed day.

#include "../main/mainwindowfixture.h"
#include "testsupport.h"

#include "model/deliveryreportmodel.h"
#include "model/reportfilter.h"
#include "service/service.h"
#include "ui/reports/datefield.h"
#include "ui/reports/frm_sms_liste.h"
#include "ui/send/frm_gonder.h"

#include <QAction>
#include <QBarSet>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPieSeries>
#include <QPlainTextEdit>
#include <QStackedBarSeries>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace velmor::test {

namespace {

// Emine Arslan's number ends in the undelivered digits; the other two arrive.
const QString kUndelivered = u"05057778899"_s;
// Written as the send window writes it, so that it comes back unchanged.
const QString kMessage = u"Randevunuz yarin 10.00 da. Lutfen gecikmeyin."_s;
const QDate kSendDay(2030, 1, 15);

dev::Options undeliveredOptions()
{
    dev::Options options;
    options.undeliveredSuffix = u"8899"_s;
    return options;
}

} // namespace

class TestReportResend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void resendToUndelivered_fillsSendWindowWithThatNumberOnly();
    void stateFilterAndSearch_narrowListCountsChartAndExport();
    void quickRanges_fillDatesAroundToday_data();
    void quickRanges_fillDatesAroundToday();
    void nothingToResend_isSaid();

private:
    // Logs in, sends the message to three numbers on the send day and opens
    // the report listing that day.
    Frm_Sms_Liste *queriedReport();
    QuickRangeChoice *quickRange(Frm_Sms_Liste *report) const
    {
        return report->findChild<QuickRangeChoice *>(u"cmbHizliTarih"_s);
    }
    QString counts(Frm_Sms_Liste *report) const
    {
        return report->findChild<QLabel *>(u"lblDurumSayilari"_s)->text();
    }

    std::unique_ptr<MainWindowFixture> m_fixture;
    std::unique_ptr<MessageRecorder> m_boxes;
};

void TestReportResend::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestReportResend::init()
{
    m_boxes = std::make_unique<MessageRecorder>();
    m_fixture = std::make_unique<MainWindowFixture>(undeliveredOptions());
    QVERIFY2(m_fixture->started, qPrintable(m_fixture->server.errorString()));
}

void TestReportResend::cleanup()
{
    m_fixture.reset();
    m_boxes.reset();
}

Frm_Sms_Liste *TestReportResend::queriedReport()
{
    MainWindow &main = *m_fixture->window;
    main.startUp();
    SubmitLogin(main.loginWindow(), u"1001"_s, u"demo"_s, u"demo"_s);
    const QString left = SendSmsCommand(*m_fixture->service, u"1001"_s, u"VELMOR"_s, u"1"_s, kMessage,
                                        kUndelivered + u",05321112233,05399990000"_s, u"1"_s,
                                        kSendDay.toString(u"yyyyMMdd"_s), u"101500"_s);
    if (left.isEmpty())
        return nullptr;

    main.findChild<QAction *>(u"R_0"_s)->trigger();
    auto *report = main.findChild<Frm_Sms_Liste *>(u"Frm_Sms_Liste"_s);
    if (!report)
        return nullptr;
    quickRange(report)->setClock([] { return kSendDay; });
    quickRange(report)->choose(QuickRange::Today);
    QTest::mouseClick(report->findChild<QPushButton *>(u"Cmd_Liste"_s), Qt::LeftButton);
    return report;
}

void TestReportResend::resendToUndelivered_fillsSendWindowWithThatNumberOnly()
{
    Frm_Sms_Liste *report = queriedReport();
    QVERIFY(report);
    QCOMPARE(report->model()->rowCount(), 3);
    QCOMPARE(counts(report), u"İletildi: 2 · Ulaşılamadı: 1"_s);
    const int sendsBefore = int(m_fixture->server.receivedBodies().size());

    QTest::mouseClick(report->findChild<QPushButton *>(u"Cmd_Ulasmayanlara_Gonder"_s), Qt::LeftButton);

    // The send window comes forward with Emine Arslan, named from the phone
    // book, and the message as it was sent; nothing more goes out.
    QMdiSubWindow *active = m_fixture->window->mdiArea()->activeSubWindow();
    QVERIFY(active);
    auto *send = qobject_cast<Frm_Gonder *>(active->widget());
    QVERIFY(send);
    QCOMPARE(send->recipients().size(), 1);
    QCOMPARE(send->recipients().constFirst().Adr_GSM_No, kUndelivered);
    QCOMPARE(send->recipients().constFirst().Adr_Adi, u"Emine"_s);
    QCOMPARE(send->findChild<QPlainTextEdit *>(u"Text2"_s)->toPlainText(), kMessage);
    QVERIFY2(m_boxes->texts().isEmpty(), qPrintable(m_boxes->texts().join(u'\n')));
    for (qsizetype i = sendsBefore; i < m_fixture->server.receivedBodies().size(); ++i)
        QVERIFY(!m_fixture->server.receivedBodies().at(i).contains("Rehber=3&"));

    // Asked again while the window holds them: the user is asked before
    // anything is replaced, and "no" keeps them.
    send->findChild<QPlainTextEdit *>(u"Text2"_s)->setPlainText(u"Baska bir metin"_s);
    m_boxes->answerNext(false);
    QTest::mouseClick(report->findChild<QPushButton *>(u"Cmd_Ulasmayanlara_Gonder"_s), Qt::LeftButton);
    QCOMPARE(m_boxes->boxes().size(), 1);
    QCOMPARE(send->findChild<QPlainTextEdit *>(u"Text2"_s)->toPlainText(), u"Baska bir metin"_s);
    QCOMPARE(m_fixture->window->mdiArea()->subWindowList().size(), 2);
}

void TestReportResend::stateFilterAndSearch_narrowListCountsChartAndExport()
{
    Frm_Sms_Liste *report = queriedReport();
    QVERIFY(report);
    auto *states = report->findChild<QComboBox *>(u"cmbDurum"_s);
    QCOMPARE(states->count(), 3);
    QCOMPARE(states->itemText(0), u"Tüm Durumlar"_s);
    auto *tabs = report->findChild<QTabWidget *>(u"tabRapor"_s);
    tabs->setCurrentIndex(tabs->indexOf(report->findChild<QWidget *>(u"grafikPaneli"_s)));
    QCOMPARE(tabs->tabText(tabs->currentIndex()), u"Grafik"_s);
    auto *stateChart = report->findChild<QChartView *>(u"grafikDurumlar"_s);
    auto *dayChart = report->findChild<QChartView *>(u"grafikZaman"_s);
    QVERIFY(!stateChart->accessibleName().isEmpty());
    const auto pie = [&] { return qobject_cast<QPieSeries *>(stateChart->chart()->series().value(0)); };
    const auto bars = [&] { return qobject_cast<QStackedBarSeries *>(dayChart->chart()->series().value(0)); };
    QVERIFY(pie() && bars());
    QCOMPARE(pie()->count(), 2);
    QCOMPARE(pie()->sum(), 3.0);

    states->setCurrentIndex(states->findText(u"Ulaşılamadı"_s));
    const QAbstractItemModel *listed = report->findChild<QTreeView *>(u"ListView1"_s)->model();
    QCOMPARE(listed->rowCount(), 1);
    QCOMPARE(listed->index(0, DeliveryReportModel::Phone).data().toString(), kUndelivered);
    QCOMPARE(counts(report), u"1 / 3 mesaj · Ulaşılamadı: 1"_s);
    QCOMPARE(stateChart->accessibleDescription(), counts(report));
    // The chart follows a moment later.
    QTRY_COMPARE(pie()->sum(), 1.0);
    QCOMPARE(pie()->count(), 1);
    // One day asked for, one bar of one message in the colour of its state.
    QCOMPARE(bars()->count(), 1);
    QCOMPARE(bars()->barSets().constFirst()->count(), 1);
    QCOMPARE(bars()->barSets().constFirst()->at(0), 1.0);
    QCOMPARE(bars()->barSets().constFirst()->color(), pie()->slices().constFirst()->color());

    // The search (the phone book's: Turkish capitals folded, wildcards) runs
    // over name, number and message, together with the state.
    auto *search = report->findChild<QLineEdit *>(u"txtAra"_s);
    states->setCurrentIndex(0);
    search->setText(u"Ahmet"_s);
    QCOMPARE(listed->rowCount(), 1);
    QCOMPARE(listed->index(0, DeliveryReportModel::Name).data().toString(), u"Ahmet Yılmaz"_s);
    search->setText(u"0539*0000"_s);
    QCOMPARE(listed->rowCount(), 1);
    search->setText(u"Lutfen"_s);
    QCOMPARE(listed->rowCount(), 3);
    states->setCurrentIndex(states->findText(u"İletildi"_s));
    QCOMPARE(listed->rowCount(), 2);
    QTRY_COMPARE(pie()->sum(), 2.0);

    // The export writes what is listed, no more.
    QTemporaryDir folder;
    const QString path = folder.filePath(u"rapor.csv"_s);
    FileDialogAnswer answer(path);
    QTest::mouseClick(report->findChild<QPushButton *>(u"Cmd_Disa_Aktar"_s), Qt::LeftButton);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(file.readAll());
    QVERIFY(!written.contains(kUndelivered));
    QVERIFY(written.contains(u"05321112233"_s) && written.contains(u"05399990000"_s));

    // "Grafiği Kaydet…" writes a PNG image.
    const QString image = folder.filePath(u"grafik"_s);
    answer.setPath(image);
    QTest::mouseClick(report->findChild<QPushButton *>(u"Cmd_Grafik_Kaydet"_s), Qt::LeftButton);
    QFile png(image + u".png"_s);
    QVERIFY(png.open(QIODevice::ReadOnly));
    QVERIFY(png.read(8).startsWith("\x89PNG"));

    // A new query keeps the state chosen while the report still has it.
    QTest::mouseClick(report->findChild<QPushButton *>(u"Cmd_Liste"_s), Qt::LeftButton);
    QCOMPARE(states->currentText(), u"İletildi"_s);
    QCOMPARE(listed->rowCount(), 2);
    QVERIFY2(m_boxes->texts().isEmpty(), qPrintable(m_boxes->texts().join(u'\n')));
}

void TestReportResend::quickRanges_fillDatesAroundToday_data()
{
    QTest::addColumn<QString>("range");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("Dün, on the first of a month")
        << u"Dün"_s << QDate(2024, 3, 1) << u"29.02.2024"_s << u"29.02.2024"_s;
    QTest::newRow("Son 7 Gün ends today") << u"Son 7 Gün"_s << QDate(2024, 3, 3) << u"26.02.2024"_s
                                          << u"03.03.2024"_s;
    QTest::newRow("Bu Ay") << u"Bu Ay"_s << QDate(2024, 3, 31) << u"01.03.2024"_s << u"31.03.2024"_s;
    QTest::newRow("Geçen Ay, in January") << u"Geçen Ay"_s << QDate(2025, 1, 31) << u"01.12.2024"_s
                                          << u"31.12.2024"_s;
    QTest::newRow("Tümü") << u"Tümü"_s << QDate(2024, 3, 31) << QString() << QString();
}

void TestReportResend::quickRanges_fillDatesAroundToday()
{
    QFETCH(QString, range);
    QFETCH(QDate, today);
    QFETCH(QString, first);
    QFETCH(QString, last);
    MainWindow &main = *m_fixture->window;
    main.startUp();
    SubmitLogin(main.loginWindow(), u"1001"_s, u"demo"_s, u"demo"_s);
    main.findChild<QAction *>(u"R_0"_s)->trigger();
    auto *report = main.findChild<Frm_Sms_Liste *>(u"Frm_Sms_Liste"_s);
    QVERIFY(report);
    // Whatever the fields held gives way.
    report->findChild<DateField *>(u"Tarih_Al_0"_s)->lineEdit()->setText(u"01.01.2001"_s);
    QuickRangeChoice *choice = quickRange(report);
    choice->setClock([today] { return today; });

    emit choice->activated(choice->findText(range));
    QCOMPARE(report->findChild<DateField *>(u"Tarih_Al_0"_s)->lineEdit()->text(), first);
    QCOMPARE(report->findChild<DateField *>(u"Tarih_Al_1"_s)->lineEdit()->text(), last);
    QCOMPARE(choice->currentText(), range);

    // The query asks for those days; a date typed afterwards leaves no range chosen.
    QTest::mouseClick(report->findChild<QPushButton *>(u"Cmd_Liste"_s), Qt::LeftButton);
    const QByteArray body = m_fixture->server.receivedBodies().constLast();
    const auto sent = [](const QString &shown, const char *fallback) {
        return shown.isEmpty() ? QByteArray(fallback)
                               : QDate::fromString(shown, u"dd.MM.yyyy"_s).toString(u"yyyyMMdd"_s).toLatin1();
    };
    QVERIFY2(body.contains("&Trh_1=" + sent(first, "00010101") + "&Trh_2=" + sent(last, "99993112")),
             body.constData());
    QLineEdit *lastDate = report->findChild<DateField *>(u"Tarih_Al_1"_s)->lineEdit();
    lastDate->selectAll();
    QTest::keyClick(lastDate, Qt::Key_1);
    QCOMPARE(choice->currentIndex(), -1);
}

void TestReportResend::nothingToResend_isSaid()
{
    Frm_Sms_Liste *report = queriedReport();
    QVERIFY(report);
    auto *states = report->findChild<QComboBox *>(u"cmbDurum"_s);
    states->setCurrentIndex(states->findText(u"İletildi"_s));
    QTest::mouseClick(report->findChild<QPushButton *>(u"Cmd_Ulasmayanlara_Gonder"_s), Qt::LeftButton);
    QCOMPARE(m_boxes->boxes().size(), 1);
    QVERIFY(m_boxes->lastText().contains(u"yeniden gönderilecek mesaj yok"_s));
    QCOMPARE(m_fixture->window->mdiArea()->subWindowList().size(), 1);

    // The selected rows are sent again whatever their state: the row the
    // user sees selected, however the list is sorted and narrowed.
    auto *list = report->findChild<QTreeView *>(u"ListView1"_s);
    list->sortByColumn(DeliveryReportModel::Phone, Qt::DescendingOrder);
    QCOMPARE(list->model()->index(0, DeliveryReportModel::Phone).data().toString(), u"05399990000"_s);
    list->setCurrentIndex(list->model()->index(0, DeliveryReportModel::Phone));
    QTest::mouseClick(report->findChild<QPushButton *>(u"Cmd_Secilenlere_Gonder"_s), Qt::LeftButton);
    auto *send = qobject_cast<Frm_Gonder *>(m_fixture->window->mdiArea()->activeSubWindow()->widget());
    QVERIFY(send);
    QCOMPARE(send->recipients().size(), 1);
    QCOMPARE(send->recipients().constFirst().Adr_GSM_No, u"05399990000"_s);
    // Outside the phone book: the number alone.
    QVERIFY(send->recipients().constFirst().Adr_Adi.isEmpty());

    m_boxes->answerNext(true);
    list->selectAll();
    QTest::mouseClick(report->findChild<QPushButton *>(u"Cmd_Secilenlere_Gonder"_s), Qt::LeftButton);
    QCOMPARE(send->recipients().size(), 2);
}

} // namespace velmor::test

QTEST_MAIN(velmor::test::TestReportResend)
#include "tst_report_resend.moc"
