// The customer details window against the development service and against a
// loopback server with fixed replies: what a save sends, how the reply is
// judged, what the boxes let the customer type, and what happens when the
// save or the reload after it goes wrong.

#include "loopbackserver.h"
#include "testsupport.h"

#include "devserver.h"
#include "model/session.h"
#include "model/snapshot.h"
#include "service/coding.h"
#include "service/service.h"
#include "service/transport.h"
#include "text/storedtext.h"
#include "ui/account/frm_tanim_cari.h"
#include "ui/common/listview.h"
#include "model/logincheck.h"

#include <QApplication>
#include <QClipboard>
#include <QHash>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

const QString kDemo = dev::kDemoCustomerNo;

// The development service with the demo account logged in.
struct Live
{
    Live() : started(server.start(0)), service(std::make_shared<HttpTransport>(server.endpoint(), 3000))
    {
        reload();
    }
    void reload()
    {
        AccountSnapshot snapshot;
        RefreshAccountSnapshot(service, snapshot, kDemo);
        session.setSnapshot(snapshot);
        session.setLoginActive(u"1"_s);
    }
    QList<QByteArray> saveBodies() const
    {
        QList<QByteArray> out;
        for (const QByteArray &body : server.receivedBodies()) {
            if (body.startsWith("Rehber=5&"))
                out << body;
        }
        return out;
    }

    dev::DevServer server{dev::Options{}};
    bool started;
    Service service;
    Session session;
};

QLineEdit *box(const QWidget &window, int index)
{
    return window.findChild<QLineEdit *>(u"text1_%1"_s.arg(index));
}

void save(const QWidget &window)
{
    QTest::mouseClick(window.findChild<QPushButton *>(u"Cmd_Kaydet"_s), Qt::LeftButton);
}

// Types key by key, Turkish letters included (keyClicks takes Latin-1 only).
void type(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

void paste(QLineEdit *edit, const QString &text)
{
    QApplication::clipboard()->setText(text);
    edit->selectAll();
    edit->paste();
}

} // namespace

class TestFrmTanimCari : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void save_sendsBoxesInBoxOrder_andTheNextLoginTakesTheNewAccount();
    void saveResult_andWhatTheBoxesKeep_data();
    void saveResult_andWhatTheBoxesKeep();
    void boxes_foldLimitAndRefuseAsTheirRoleSays();
    void separatorInABox_refusesTheSave_data();
    void separatorInABox_refusesTheSave();
    void controlCharacters_neverShownNorSent();
    void closeRefused_whileSaving();
    void withoutCustomerRecord_nothingIsSent();
    void captionsAndLayout_fitTheFixedWindow();
};

void TestFrmTanimCari::save_sendsBoxesInBoxOrder_andTheNextLoginTakesTheNewAccount()
{
    Live live;
    QVERIFY(live.started);
    // A requested name stored longer than the typing limit.
    const QString longName = u"COKUZUNGONDERICI"_s;
    live.server.setCustomerField(kDemo, CustomerRecord::G_Ad2, longName);
    live.reload();
    test::MessageRecorder boxes;
    Frm_Tanim_Cari window(live.service, live.session);

    // Tax office before tax number, e-mail after fax, password in clear.
    QCOMPARE(box(window, 4)->text(), u"Kadıköy"_s);
    QCOMPARE(box(window, 5)->text(), u"6120345789"_s);
    QCOMPARE(box(window, 15)->text(), u"bilgi@ornekcicekcilik.com.tr"_s);
    QCOMPARE(box(window, 17)->text(), u"demo"_s);
    QCOMPARE(box(window, 17)->echoMode(), QLineEdit::Normal);
    QCOMPARE(box(window, 22)->text(), longName);

    box(window, 3)->setText(u"Yeni Ünvan Ltd. Şti."_s);
    box(window, 6)->clear();
    box(window, 16)->setText(u"yenikullanici"_s);
    box(window, 17)->setText(u"Gizli.42"_s);
    box(window, 21)->setText(u"YENIAD"_s);
    box(window, 23)->clear();
    box(window, 1)->setText(u"Başkası"_s); // read-only: never sent
    save(window);
    QCOMPARE(boxes.texts(), QStringList{u"Kayıt Tamamlandı.."_s});

    const QList<QByteArray> bodies = live.saveBodies();
    QCOMPARE(bodies.size(), 1);
    const QList<std::pair<QString, QString>> fields = QUrlQuery(QString::fromLatin1(bodies.first())).queryItems();
    QStringList names;
    for (const auto &field : fields)
        names << field.first;
    QCOMPARE(names, (QStringList{u"Rehber"_s, u"Cari_No"_s, u"Cari_Bilgileri"_s, u"G_Ad1"_s, u"G_Ad2"_s, u"G_Ad3"_s}));
    QCOMPARE(fields.at(0).second, u"5"_s);
    QCOMPARE(fields.at(1).second, kDemo);
    const QStringList items = CodeText(fields.at(2).second, u"1"_s).split(u'|');
    QCOMPARE(items, (QStringList{u"Yeni Ünvan Ltd. Şti."_s, u"Kadıköy"_s, u"6120345789"_s, QString(),
                                 u"Caferağa Mah. Güneşli Bahçe Sok."_s, u"No: 14 Daire: 3"_s, u"Moda"_s,
                                 u"Kadıköy"_s, u"İstanbul"_s, u"05321234567"_s, u"02163456789"_s,
                                 u"02163456790"_s, u"bilgi@ornekcicekcilik.com.tr"_s, u"yenikullanici"_s,
                                 u"Gizli.42"_s}));
    QCOMPARE(CodeText(fields.at(3).second, u"1"_s), u"YENIAD"_s);
    QCOMPARE(CodeText(fields.at(4).second, u"1"_s), longName);
    QCOMPARE(fields.at(5).second, QString());

    // The boxes show what the service now holds, the read-only ones included.
    QCOMPARE(box(window, 1)->text(), u"Ayşe"_s);
    QCOMPARE(box(window, 3)->text(), u"Yeni Ünvan Ltd. Şti."_s);
    QCOMPARE(box(window, 22)->text(), longName);
    QCOMPARE(live.session.snapshot().customer[CustomerRecord::Cari_SMS_Kullanici_Adi], u"yenikullanici"_s);

    const QString loginRecord = FetchLoginRecord(live.service, kDemo);
    QCOMPARE(CheckLogin(loginRecord, u"yenikullanici"_s, u"Gizli.42"_s).outcome, LoginOutcome::Success);
    QCOMPARE(CheckLogin(loginRecord, u"demo"_s, u"demo"_s).outcome, LoginOutcome::WrongUser);
}

void TestFrmTanimCari::saveResult_andWhatTheBoxesKeep_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QString>("result");
    QTest::newRow("1 between two marks") << u"<SMSCGuncelle>1<SMSCGuncelle>"_s << u"1"_s;
    QTest::newRow("0 between two marks") << u"<SMSCGuncelle>0<SMSCGuncelle>"_s << u"0"_s;
    QTest::newRow("1 after a single mark") << u"<SMSCGuncelle>1"_s << u"0"_s;
    QTest::newRow("empty payload") << QString() << u"0"_s;
    QTest::newRow("marks in other letter case") << u"<smscguncelle>1<smscguncelle>"_s << u"0"_s;
    QTest::newRow("third mark and text around") << u"x<SMSCGuncelle>1<SMSCGuncelle>y<SMSCGuncelle>"_s << u"1"_s;
    QTest::newRow("1 with a blank") << u"<SMSCGuncelle>1 <SMSCGuncelle>"_s << u"1 "_s;
}

void TestFrmTanimCari::saveResult_andWhatTheBoxesKeep()
{
    QFETCH(QString, payload);
    QFETCH(QString, result);
    test::LoopbackServer server;
    QVERIFY(server.listen());
    server.setReply(test::LoopbackServer::reply(payload));
    const Service service(std::make_shared<HttpTransport>(server.endpoint(), 3000));
    Session session;
    AccountSnapshot snapshot;
    QVERIFY(LoadAccountSnapshot(snapshot, u"<Cari>7|1||Ad|Soyad|Eski Ünvan<Cari><Grup><Grup><Adres><Adres>"_s));
    session.setSnapshot(snapshot);
    test::MessageRecorder boxes;
    Frm_Tanim_Cari window(service, session);

    QCOMPARE(window.Cari_Kayit(u"7"_s, {}, {}, {}, {}), result);
    QCOMPARE(server.requests().size(), 1);

    // Through "Kaydet": a result other than "1" is silent and keeps the
    // boxes. On "1" the reload follows; this reply holds no account, so the
    // snapshot stays, the typed values too (the old ones would be saved back
    // by the next "Kaydet"), and the message says they were not read back.
    server.clearRequests();
    box(window, 3)->setText(u"Yeni Ünvan"_s);
    save(window);
    const bool saved = result == u"1";
    QCOMPARE(server.requests().size(), saved ? 2 : 1);
    QCOMPARE(boxes.texts().size(), saved ? 1 : 0);
    QVERIFY(!saved || boxes.lastText().contains(u"okunamadı"_s));
    QCOMPARE(box(window, 3)->text(), u"Yeni Ünvan"_s);
    QCOMPARE(session.snapshot().customer[CustomerRecord::Cari_Unvan], u"Eski Ünvan"_s);
}

void TestFrmTanimCari::boxes_foldLimitAndRefuseAsTheirRoleSays()
{
    Live live;
    QVERIFY(live.started);
    Frm_Tanim_Cari window(live.service, live.session);

    // Requested sender names: keys folded, at most eleven typed characters.
    QLineEdit *requested = box(window, 21);
    requested->clear();
    type(requested, u"İşçi'ş;"_s);
    QCOMPARE(requested->text(), u"Isci s:"_s);
    type(requested, u"ABCDEF"_s);
    QCOMPARE(requested->text(), u"Isci s:ABCD"_s);
    // Pasted text is not folded.
    paste(box(window, 22), u"Şirket"_s);
    QCOMPARE(box(window, 22)->text(), u"Şirket"_s);

    // Other boxes keep the letters as typed and swallow the separators.
    QLineEdit *title = box(window, 3);
    title->clear();
    type(title, u"İşçi'ş;|<>"_s);
    QCOMPARE(title->text(), u"İşçi'ş;"_s);

    // Read-only boxes: striped, not changed by typing; the first three bold.
    for (const int index : {0, 1, 2, 18, 19, 20}) {
        QLineEdit *shown = box(window, index);
        QVERIFY2(shown->isReadOnly(), qPrintable(shown->objectName()));
        QCOMPARE(shown->palette().color(QPalette::Base), kStripeColour);
        QCOMPARE(shown->font().bold(), index <= 2);
        const QString before = shown->text();
        type(shown, u"x"_s);
        QCOMPARE(shown->text(), before);
    }
}

void TestFrmTanimCari::separatorInABox_refusesTheSave_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("name");
    QTest::newRow("user name") << 16 << u"ad|soyad"_s << u"Kullanıcı Adı"_s;
    QTest::newRow("address line without a caption") << 8 << u"Kat <2>"_s << u"Adres (2. satır)"_s;
    QTest::newRow("requested sender name") << 23 << u"AB>C"_s << u"SMS Gönderici Adı 3 (Yeni Talepler)"_s;
}

void TestFrmTanimCari::separatorInABox_refusesTheSave()
{
    QFETCH(int, index);
    QFETCH(QString, pasted);
    QFETCH(QString, name);
    Live live;
    QVERIFY(live.started);
    test::MessageRecorder boxes;
    Frm_Tanim_Cari window(live.service, live.session);
    paste(box(window, index), pasted);

    save(window);
    QCOMPARE(boxes.texts(), QStringList{StoreSeparatorMessage(name)});
    QVERIFY(live.saveBodies().isEmpty());
    QCOMPARE(box(window, index)->text(), pasted);

    // The public operation refuses such a text too, whoever calls it.
    Frm_Tanim_Cari::Details details;
    details[13] = u"a|b"_s;
    QCOMPARE(window.Cari_Kayit(kDemo, details, {}, {}, {}), u"0"_s);
    QVERIFY(live.saveBodies().isEmpty());
}

void TestFrmTanimCari::controlCharacters_neverShownNorSent()
{
    Live live;
    QVERIFY(live.started);
    // What a broken or hostile service may hold: a NUL, a terminal escape,
    // line breaks, a bell in a sender name.
    live.server.setCustomerField(kDemo, CustomerRecord::Cari_Unvan, u"Örnek\u0000 Ltd.\u001b[2J"_s);
    live.server.setCustomerField(kDemo, CustomerRecord::Cari_Adres1, u"Caferağa Mah.\r\nModa Cad.\u001f"_s);
    live.server.setCustomerField(kDemo, CustomerRecord::G_Ad1, u"\u0007YENIAD"_s);
    live.server.setCustomerField(kDemo, CustomerRecord::Cari_SMS_Gonderici_Adi1, u"ONAY\u0000LI"_s);
    live.reload();
    test::MessageRecorder boxes;
    Frm_Tanim_Cari window(live.service, live.session);
    QCOMPARE(box(window, 3)->text(), u"Örnek Ltd.[2J"_s);
    QCOMPARE(box(window, 7)->text(), u"Caferağa Mah. Moda Cad."_s);
    QCOMPARE(box(window, 18)->text(), u"ONAYLI"_s);
    QCOMPARE(box(window, 21)->text(), u"YENIAD"_s);
    // Pasted text too, the cursor after what went in.
    paste(box(window, 16), u"yeni\u0000kullanici"_s);
    QCOMPARE(box(window, 16)->text(), u"yenikullanici"_s);
    QCOMPARE(box(window, 16)->cursorPosition(), 13);

    save(window);
    QCOMPARE(boxes.texts(), QStringList{u"Kayıt Tamamlandı.."_s});
    const QList<QByteArray> bodies = live.saveBodies();
    QCOMPARE(bodies.size(), 1);
    const QUrlQuery query(QString::fromLatin1(bodies.first()));
    const QStringList items = CodeText(query.queryItemValue(u"Cari_Bilgileri"_s), u"1"_s).split(u'|');
    QCOMPARE(items.size(), Frm_Tanim_Cari::DetailCount);
    QCOMPARE(items.at(0), u"Örnek Ltd.[2J"_s);
    QCOMPARE(items.at(4), u"Caferağa Mah. Moda Cad."_s);
    QCOMPARE(items.at(13), u"yenikullanici"_s);
    QCOMPARE(CodeText(query.queryItemValue(u"G_Ad1"_s), u"1"_s), u"YENIAD"_s);

    // The public operation refuses such a text, whoever calls it.
    Frm_Tanim_Cari::Details details;
    details[2] = u"61\u0000"_s;
    QCOMPARE(window.Cari_Kayit(kDemo, details, {}, {}, {}), u"0"_s);
    QCOMPARE(window.Cari_Kayit(kDemo, {}, {}, {}, u"AD\u001b"_s), u"0"_s);
    QCOMPARE(live.saveBodies().size(), 1);
}

void TestFrmTanimCari::closeRefused_whileSaving()
{
    Live live;
    QVERIFY(live.started);
    test::MessageRecorder boxes;
    QMdiArea area;
    auto *window = new Frm_Tanim_Cari(live.service, live.session);
    QPointer<QMdiSubWindow> frame = area.addSubWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    area.show();
    live.server.setDelayMs(300);
    bool closedDuringSave = true;
    QTimer::singleShot(100, &area, [&] { closedDuringSave = frame->close(); });
    save(*window);
    QVERIFY(!closedDuringSave);
    QCOMPARE(boxes.lastText(), u"Kayıt Tamamlandı.."_s);

    // "Vazgeç" closes the window with its frame, sending nothing.
    live.server.clearReceivedBodies();
    QTest::mouseClick(window->findChild<QPushButton *>(u"Cmd_Vazgec"_s), Qt::LeftButton);
    QTRY_VERIFY(frame.isNull());
    QVERIFY(live.server.receivedBodies().isEmpty());
}

void TestFrmTanimCari::withoutCustomerRecord_nothingIsSent()
{
    Live live;
    QVERIFY(live.started);
    Session empty;
    test::MessageRecorder boxes;
    Frm_Tanim_Cari window(live.service, empty);
    QVERIFY(!window.findChild<QPushButton *>(u"Cmd_Kaydet"_s)->isEnabled());
    QCOMPARE(box(window, 0)->text(), QString());
    window.SaveClick();
    QVERIFY(live.saveBodies().isEmpty());
    QVERIFY(boxes.texts().isEmpty());
}

void TestFrmTanimCari::captionsAndLayout_fitTheFixedWindow()
{
    Live live;
    QVERIFY(live.started);
    Frm_Tanim_Cari window(live.service, live.session);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(Twips(9600), Twips(8985)));
    // Nothing is squeezed below the size it needs.
    QVERIFY(window.layout()->minimumSize().height() <= window.height());
    QVERIFY(window.layout()->minimumSize().width() <= window.width());

    QHash<const QWidget *, QString> captions;
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (label->buddy())
            captions.insert(label->buddy(), label->text());
    }
    for (int i = 0; i < Frm_Tanim_Cari::BoxCount; ++i) {
        const QLineEdit *edit = box(window, i);
        QVERIFY2(edit->isVisible(), qPrintable(edit->objectName()));
        QVERIFY2(edit->height() >= edit->minimumSizeHint().height(), qPrintable(edit->objectName()));
        QVERIFY2(captions.contains(edit) || !edit->accessibleName().isEmpty(), qPrintable(edit->objectName()));
    }
    // Each sender-name box says its row and its column.
    QCOMPARE(box(window, 19)->accessibleName(), u"SMS Gönderici Adı 2 (Onaylanmışlar)"_s);
    QCOMPARE(box(window, 21)->accessibleName(), u"SMS Gönderici Adı 1 (Yeni Talepler)"_s);
}

QTEST_MAIN(TestFrmTanimCari)
#include "tst_frm_tanim_cari.moc"
