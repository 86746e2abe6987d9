// The delivery report window against a scripted service and the development
// service: the dates a query sends, the rows it lists, failures told apart
// from empty reports, the counts, the export, the columns and the date fields.

#include "../send/fakeservice.h"
#include "testsupport.h"

#include "devserver.h"
#include "model/deliveryreportmodel.h"
#include "model/session.h"
#include "model/workbookreader.h"
#include "service/service.h"
#include "service/transport.h"
#include "ui/common/listview.h"
#include "ui/reports/datefield.h"
#include "ui/reports/frm_sms_liste.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace velmor;
using namespace Qt::StringLiterals;
using velmor::test::FakeService;

namespace {

const QString kExampleRow = u"<>05321234567|20100315093005|20100315093112|text|state"_s;

AccountSnapshot customerSeven()
{
    AccountSnapshot s;
    s.hasCustomer = true;
    s.customer[CustomerRecord::Cari_No] = u"7"_s;
    Contact c;
    c.Adr_Adi = u"Gülşen"_s;
    c.Adr_Soyadi = u"Öztürk"_s;
    c.Adr_GSM_No = u"05321234567"_s;
    s.contacts = {c};
    return s;
}

QString section(const QString &rows)
{
    return u"<iletimRpr>"_s + rows + u"<iletimRpr>"_s;
}

// A window on a scripted service, for customer 7.
struct Fixture
{
    Fixture() : service(std::make_shared<HttpTransport>(fake.endpoint(), 3000)), window(service, session)
    {
        session.setSnapshot(customerSeven());
    }

    QLineEdit *date(int index) const
    {
        return window.findChild<DateField *>(u"Tarih_Al_%1"_s.arg(index))->lineEdit();
    }
    void query() { QTest::mouseClick(window.findChild<QPushButton *>(u"Cmd_Liste"_s), Qt::LeftButton); }
    QString counts() const { return window.findChild<QLabel *>(u"lblDurumSayilari"_s)->text(); }
    QStringList column(int c) const
    {
        QStringList out;
        for (int row = 0; row < window.model()->rowCount(); ++row)
            out.append(window.model()->index(row, c).data().toString());
        return out;
    }

    FakeService fake;
    Service service;
    Session session;
    test::MessageRecorder boxes;
    Frm_Sms_Liste window;
};

} // namespace

class FrmSmsListeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void query_sendsDateRange_data();
    void query_sendsDateRange();
    void query_listsRowsAndReplacesThem();
    void failedQuery_isToldEmptyReportIsNot_data();
    void failedQuery_isToldEmptyReportIsNot();
    void overLimitReport_isToldAndShowsNoRows();
    void badDateOrNoCustomer_sendsNothing();
    void close_refusedWhileWaiting();
    void export_writesShownOrder();
    void export_workbookAndFormulas();
    void columns_nameAndMessageShareTheRoom();
    void dateField_calendarByKeyboard();
    void demoAccount_namesAndCounts();
};

void FrmSmsListeTest::query_sendsDateRange_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("no dates") << QString() << QString() << QByteArray("Rehber=12&Cari_No=7&Trh_1=00010101&Trh_2=99993112");
    QTest::newRow("only the last") << QString() << u"5.5.2010"_s
                                   << QByteArray("Rehber=12&Cari_No=7&Trh_1=00010101&Trh_2=20100505");
    QTest::newRow("swapped") << u"05.05.2010"_s << u"01.01.2010"_s
                             << QByteArray("Rehber=12&Cari_No=7&Trh_1=20100101&Trh_2=20100505");
    QTest::newRow("blanks around") << u" 1.1.2010 "_s << u"  "_s
                                   << QByteArray("Rehber=12&Cari_No=7&Trh_1=20100101&Trh_2=99993112");
}

void FrmSmsListeTest::query_sendsDateRange()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(QByteArray, body);
    Fixture f;
    f.fake.setPayload(12, section({}));
    QTest::keyClicks(f.date(0), first);
    QTest::keyClicks(f.date(1), last);
    f.query();
    QCOMPARE(f.fake.bodies(), QList<QByteArray>{body});
}

void FrmSmsListeTest::query_listsRowsAndReplacesThem()
{
    Fixture f;
    // Text before the first "<>" is no row, even with five fields; fields
    // after the fifth are ignored; a row of four fields is skipped; a
    // 12-character stamp and an empty one show nothing.
    f.fake.setPayload(12, section(u"a|b|c|d|e"_s + kExampleRow
                                  + u"|extra<>0532|x|y|four<>05559990000|201003150930||m|s"_s));
    f.query();
    QCOMPARE(f.column(DeliveryReportModel::Name), (QStringList{u"Gülşen Öztürk"_s, QString()}));
    QCOMPARE(f.column(DeliveryReportModel::Phone), (QStringList{u"05321234567"_s, u"05559990000"_s}));
    QCOMPARE(f.column(DeliveryReportModel::Message), (QStringList{u"text"_s, u"m"_s}));
    QCOMPARE(f.column(DeliveryReportModel::Sent), (QStringList{u"15.03.2010 / 09:30:05"_s, QString()}));
    QCOMPARE(f.column(DeliveryReportModel::Settled), (QStringList{u"15.03.2010 / 09:31:12"_s, QString()}));
    QCOMPARE(f.column(DeliveryReportModel::State), (QStringList{u"state"_s, u"s"_s}));
    QCOMPARE(f.counts(), u"state: 1 · s: 1"_s);

    f.fake.setPayload(12, section(u"<>1|||a|İletildi<>2|||b|Hatalı Numara<>3|||c|İletildi"_s));
    f.query();
    QCOMPARE(f.column(DeliveryReportModel::Phone), (QStringList{u"1"_s, u"2"_s, u"3"_s}));
    QCOMPARE(f.counts(), u"İletildi: 2 · Hatalı Numara: 1"_s);
    QVERIFY(f.boxes.texts().isEmpty());
}

void FrmSmsListeTest::failedQuery_isToldEmptyReportIsNot_data()
{
    QTest::addColumn<bool>("envelope");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<bool>("failed");
    QTest::newRow("no envelope") << false << QString() << true;
    QTest::newRow("no section") << true << u"Hata"_s << true;
    QTest::newRow("one section mark") << true << u"<iletimRpr><>1|||a|b"_s << true;
    QTest::newRow("empty section") << true << section({}) << false;
}

void FrmSmsListeTest::failedQuery_isToldEmptyReportIsNot()
{
    QFETCH(bool, envelope);
    QFETCH(QString, payload);
    QFETCH(bool, failed);
    Fixture f;
    f.fake.setPayload(12, section(kExampleRow));
    f.query();
    QCOMPARE(f.window.model()->rowCount(), 1);

    if (envelope)
        f.fake.setPayload(12, payload);
    else
        f.fake.removePayload(12);
    f.query();
    QCOMPARE(f.window.model()->rowCount(), 0);
    QCOMPARE(f.boxes.texts().size(), failed ? 1 : 0);
    if (failed)
        QVERIFY(f.boxes.lastText().startsWith(u"İletim raporu alınamadı."_s));
    QCOMPARE(f.counts(), failed ? QString() : u"Bu tarih aralığında gönderilmiş mesaj yok."_s);
    QVERIFY(!f.window.findChild<QPushButton *>(u"Cmd_Disa_Aktar"_s)->isEnabled());
}

void FrmSmsListeTest::overLimitReport_isToldAndShowsNoRows()
{
    Fixture f;
    f.fake.setPayload(12, section(kExampleRow));
    f.query();
    QCOMPARE(f.window.model()->rowCount(), 1);

    // A field of the longest length is listed; one character more refuses
    // the whole report, with the rows before it.
    const QString longest(kReportFieldLimit, u'm');
    f.fake.setPayload(12, section(u"<>||||"_s + kExampleRow + u"<>1||||"_s + longest));
    f.query();
    QCOMPARE(f.window.model()->rowCount(), 2);
    QVERIFY(f.boxes.texts().isEmpty());

    f.fake.setPayload(12, section(kExampleRow + u"<>1|||"_s + longest + u"m|s"_s));
    f.query();
    QCOMPARE(f.boxes.texts(), QStringList{ReportRefusalMessage(DeliveryReportReading::Refusal::FieldTooLong)});
    QCOMPARE(f.window.model()->rowCount(), 0);
    QCOMPARE(f.counts(), QString());
    QVERIFY(!f.window.findChild<QPushButton *>(u"Cmd_Disa_Aktar"_s)->isEnabled());
}

void FrmSmsListeTest::badDateOrNoCustomer_sendsNothing()
{
    Fixture f;
    f.fake.setPayload(12, section(kExampleRow));
    f.query();
    QTest::keyClicks(f.date(1), u"31.02.2010"_s);
    f.query();
    QCOMPARE(f.boxes.lastText(), u"Son Tarih geçerli bir tarih değil. Tarihi GG.AA.YYYY biçiminde yazın "
                                 "(örneğin 15.03.2010) ya da boş bırakın."_s);
    QCOMPARE(f.fake.bodies().size(), 1);
    // Nothing was asked, so the rows on show stay.
    QCOMPARE(f.window.model()->rowCount(), 1);

    f.date(1)->clear();
    f.session.setSnapshot({});
    f.query();
    QVERIFY(f.boxes.lastText().startsWith(u"Müşteri bilgileri yüklenmediği için"_s));
    QCOMPARE(f.fake.bodies().size(), 1);
}

void FrmSmsListeTest::close_refusedWhileWaiting()
{
    Fixture f;
    f.fake.setPayload(12, section(kExampleRow));
    f.window.show();
    std::optional<bool> closedWhileWaiting;
    f.fake.beforeReplying(12, [&f, &closedWhileWaiting] { closedWhileWaiting = f.window.close(); });
    f.query();
    QCOMPARE(closedWhileWaiting, std::optional<bool>(false));
    QCOMPARE(f.window.model()->rowCount(), 1);
    QVERIFY(f.window.close());
}

void FrmSmsListeTest::export_writesShownOrder()
{
    Fixture f;
    f.fake.setPayload(12, section(u"<>05321234567|20100315093005|20100315093112|Fiyat; 10 TL \"indirimli\"|İletildi"
                                  "<>05559990000|20110102080000||Çiçekler yolda|Hatalı Numara"_s));
    f.query();
    // Newest first, by a click on the header.
    auto *list = f.window.findChild<QTreeView *>(u"ListView1"_s);
    list->sortByColumn(DeliveryReportModel::Sent, Qt::DescendingOrder);

    QTemporaryDir dir;
    test::FileDialogAnswer answer(dir.filePath(u"rapor"_s));
    QTest::mouseClick(f.window.findChild<QPushButton *>(u"Cmd_Disa_Aktar"_s), Qt::LeftButton);
    QCOMPARE(answer.requests().size(), 1);
    QVERIFY(answer.requests()[0].suggestedPath.endsWith(u"iletim-raporu-00010101-99993112.csv"_s));
    QFile file(dir.filePath(u"rapor.csv"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             QByteArray("\xEF\xBB\xBF")
                 + u"Adı Soyadı;GSM No;Mesaj;Gönderme Tarihi;Sonuçlanma Tarihi;Durum\r\n"
                   ";05559990000;Çiçekler yolda;02.01.2011 / 08:00:00;;Hatalı Numara\r\n"
                   "Gülşen Öztürk;05321234567;\"Fiyat; 10 TL \"\"indirimli\"\"\";15.03.2010 / 09:30:05;"
                   "15.03.2010 / 09:31:12;İletildi\r\n"_s.toUtf8());
    QVERIFY(f.boxes.texts().isEmpty());

    // An unwritable place is said so.
    answer.setPath(dir.filePath(u"yok/rapor.csv"_s));
    QTest::mouseClick(f.window.findChild<QPushButton *>(u"Cmd_Disa_Aktar"_s), Qt::LeftButton);
    QVERIFY(f.boxes.lastText().startsWith(u"Liste kaydedilemedi:"_s));
}

void FrmSmsListeTest::export_workbookAndFormulas()
{
    Fixture f;
    f.fake.setPayload(12, section(u"<>05559990000|20110102080000|20110102080512|=HYPERLINK(\"http://x.test/\";\"Tıkla\")"
                                  u"|Hatalı Numara"_s));
    f.query();
    QTemporaryDir dir;
    test::FileDialogAnswer answer(dir.filePath(u"rapor.xlsx"_s));
    QTest::mouseClick(f.window.findChild<QPushButton *>(u"Cmd_Disa_Aktar"_s), Qt::LeftButton);
    QVERIFY(f.boxes.texts().isEmpty());
    QCOMPARE(answer.requests().constFirst().filter, u"CSV dosyası (*.csv);;Excel Çalışma Kitabı (*.xlsx)"_s);
    QFile file(dir.filePath(u"rapor.xlsx"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const WorkbookRead read = ReadWorkbook(file.readAll(), {});
    QCOMPARE(read.failure, WorkbookRead::Failure::None);
    QCOMPARE(read.sheets.size(), 1);
    QCOMPARE(read.sheets[0].name, u"İletim Raporu"_s);
    // The number a text cell, the times date cells (read back as their day),
    // the formula as text behind its "'".
    QCOMPARE(read.sheets[0].records[1],
             (QStringList{QString(), u"05559990000"_s, u"'=HYPERLINK(\"http://x.test/\";\"Tıkla\")"_s,
                          u"02.01.2011"_s, u"02.01.2011"_s, u"Hatalı Numara"_s}));

    // The CSV file neutralises the same cell.
    answer.setPath(dir.filePath(u"rapor"_s));
    QTest::mouseClick(f.window.findChild<QPushButton *>(u"Cmd_Disa_Aktar"_s), Qt::LeftButton);
    QFile csv(dir.filePath(u"rapor.csv"_s));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QVERIFY(csv.readAll().contains(";05559990000;\"'=HYPERLINK(\"\"http"));
}

void FrmSmsListeTest::columns_nameAndMessageShareTheRoom()
{
    Fixture f;
    auto *list = f.window.findChild<QTreeView *>(u"ListView1"_s);
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    const auto widthsAt = [&](int windowWidth) {
        f.window.resize(windowWidth, 500);
        QCoreApplication::processEvents();
        QList<int> widths;
        for (int c = 0; c < DeliveryReportModel::ColumnCount; ++c)
            widths.append(list->columnWidth(c));
        return widths;
    };
    const QList<int> first = widthsAt(1400);
    const QList<int> others{first[1], first[3], first[4], first[5]};
    // At least their design widths; wider only where the font needs it.
    QVERIFY(first[1] >= Twips(1214) && first[3] >= Twips(1830) && first[4] >= Twips(1830)
            && first[5] >= Twips(1365));
    const int othersWidth = first[1] + first[3] + first[4] + first[5];
    for (const int windowWidth : {1400, 1000}) {
        const QList<int> w = widthsAt(windowWidth);
        // The other four keep their widths; name and message fill the rest, 40 to 60.
        QCOMPARE((QList<int>{w[1], w[3], w[4], w[5]}), others);
        const int shared = list->viewport()->width() - othersWidth;
        QCOMPARE(w[0] + w[2], shared);
        QCOMPARE(w[0], int(shared * 0.4));
    }
    // Narrower than the design: the two keep the room they have at the design width.
    const QList<int> narrow = widthsAt(400);
    QCOMPARE(narrow[0] + narrow[2], qMax(Twips(11775 - 350) - othersWidth, 160));
}

void FrmSmsListeTest::dateField_calendarByKeyboard()
{
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    auto *caption = f.window.findChild<QLabel *>(u"Label1_1"_s);
    auto *field = f.window.findChild<DateField *>(u"Tarih_Al_1"_s);
    QCOMPARE(caption->buddy(), field);
    field->setFocus();
    QTest::keyClicks(f.date(1), u"15.03.2010"_s);
    QTest::keyClick(f.date(1), Qt::Key_Down, Qt::AltModifier);
    QCalendarWidget *calendar = field->openCalendar();
    QVERIFY(calendar);
    QCOMPARE(calendar->selectedDate(), QDate(2010, 3, 15));
    QWidget *days = calendar->findChild<QAbstractItemView *>();
    QTest::keyClick(days, Qt::Key_Right); // the next day
    QTest::keyClick(days, Qt::Key_Return);
    QVERIFY(!field->openCalendar());
    QCOMPARE(f.date(1)->text(), u"16.03.2010"_s);
    QCOMPARE(field->value(), std::optional<QString>(u"20100316"_s));

    // Every control is reached with Tab, in reading order.
    f.date(0)->setFocus();
    QStringList chain;
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focused = QApplication::focusWidget();
        chain.append(focused->objectName().isEmpty() ? focused->parent()->objectName() : focused->objectName());
    }
    // Before a query the resends and the export are off, so Tab passes them.
    QCOMPARE(chain, (QStringList{u"takvimDugmesi"_s, u"tarihMetni"_s, u"takvimDugmesi"_s, u"cmbHizliTarih"_s,
                                 u"Cmd_Liste"_s, u"cmbDurum"_s, u"txtAra"_s, u"qt_tabwidget_tabbar"_s, u"ListView1"_s,
                                 u"tarihMetni"_s}));
}

void FrmSmsListeTest::demoAccount_namesAndCounts()
{
    dev::DevServer server(dev::Options{});
    QVERIFY2(server.start(0), qPrintable(server.errorString()));
    const Service service(std::make_shared<HttpTransport>(server.endpoint(), 3000));
    Session session;
    AccountSnapshot snapshot;
    QCOMPARE(RefreshAccountSnapshot(service, snapshot, u"1001"_s), RefreshResult::Loaded);
    session.setSnapshot(snapshot);
    test::MessageRecorder boxes;
    Frm_Sms_Liste window(service, session);
    QTest::mouseClick(window.findChild<QPushButton *>(u"Cmd_Liste"_s), Qt::LeftButton);

    const DeliveryReportModel *model = window.model();
    QCOMPARE(model->rowCount(), 10);
    QHash<QString, QString> nameOf;
    for (const DeliveryReportRow &row : model->rows())
        nameOf.insert(row.phone, row.name);
    // Two contacts share this number: the one stored first names it.
    QCOMPARE(nameOf.value(u"05357778801"_s), u"Süleyman Aktaş"_s);
    QCOMPARE(nameOf.value(u"05321112233"_s), u"Ahmet Yılmaz"_s);
    QCOMPARE(nameOf.value(QString()), QString());
    QCOMPARE(window.findChild<QLabel *>(u"lblDurumSayilari"_s)->text(),
             u"İletildi: 7 · Hatalı Numara: 2 · İletilemedi: 1"_s);
    QVERIFY(boxes.texts().isEmpty());
}

QTEST_MAIN(FrmSmsListeTest)
#include "tst_frm_sms_liste.moc"
