#include "model/session.h"
#include "ui/common/listview.h"
#include "model/version.h"
#include "ui/update/frm_hakkinda.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace velmor::test {

class TestFrmHakkinda : public QObject
{
    Q_OBJECT

private slots:
    void customerNo_data();
    void customerNo();
    void texts();
    void noticeLine_laidOutFromWord();
    void snapshotChangesAfterOpening_notShown();
    void keyCloses_data();
    void keyCloses();
    void position();

private:
    static Session *sessionWith(QObject *parent, const QString &customerNo, const QString &title);
    static QString labelText(const QWidget &box, const QString &name);
};

Session *TestFrmHakkinda::sessionWith(QObject *parent, const QString &customerNo, const QString &title)
{
    auto *session = new Session(parent);
    AccountSnapshot snapshot;
    snapshot.hasCustomer = true;
    snapshot.customer[CustomerRecord::Cari_No] = customerNo;
    snapshot.customer[CustomerRecord::Cari_Unvan] = title;
    session->setSnapshot(snapshot);
    return session;
}

QString TestFrmHakkinda::labelText(const QWidget &box, const QString &name)
{
    const auto *label = box.findChild<QLabel *>(name);
    return label ? label->text() : u"<missing %1>"_s.arg(name);
}

void TestFrmHakkinda::customerNo_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("two digits") << u"42"_s << u"00042"_s;
    QTest::newRow("five digits") << u"12345"_s << u"12345"_s;
    QTest::newRow("six digits") << u"123456"_s << u"123456"_s;
    QTest::newRow("not a number") << u"A-7"_s << u"A-7"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestFrmHakkinda::customerNo()
{
    QFETCH(QString, value);
    QFETCH(QString, shown);
    QCOMPARE(FormatCustomerNo(value), shown);
}

void TestFrmHakkinda::texts()
{
    QObject owner;
    Frm_Hakkinda box(*sessionWith(&owner, u"42"_s, u"Örnek Çiçekçilik Ltd. Şti."_s));
    QCOMPARE(box.windowTitle(), u"Velmor SMS Hakkında"_s);
    QCOMPARE(labelText(box, u"lblMusteriNoCaption"_s), u"Müşteri No :"_s);
    QCOMPARE(labelText(box, u"lblMusteriNo"_s), u"00042"_s);
    QCOMPARE(labelText(box, u"lblUnvanCaption"_s), u"Ünvanı :"_s);
    QCOMPARE(labelText(box, u"lblUnvan"_s), u"Örnek Çiçekçilik Ltd. Şti."_s);
    QCOMPARE(labelText(box, u"lblTitle"_s), u"Velmor SMS"_s);
    QCOMPARE(labelText(box, u"lblVersion"_s), u"Version "_s + VersionText());
    QCOMPARE(VersionText(ProgramVersion{1, 0, 12}), u"1.0.0012"_s);
    QCOMPARE(labelText(box, u"lblCopyright"_s), u"Copyright"_s);
    QCOMPARE(labelText(box, u"lblCopyrightSign"_s), QString(QChar(169)));
    QCOMPARE(labelText(box, u"lblCopyrightText"_s), u"%1 Velmor"_s.arg(Frm_Hakkinda::kCopyrightYear));

    QCOMPARE(box.size(), QSize(Twips(7170), Twips(4185)));
    QCOMPARE(box.minimumSize(), box.maximumSize());
    QCOMPARE(box.findChild<QLabel *>(u"lblMusteriNo"_s)->pos(), QPoint(Twips(1320), Twips(120)));
    QCOMPARE(box.findChild<QLabel *>(u"lblTitle"_s)->pos(), QPoint(Twips(3480), Twips(3360)));
    QVERIFY(box.findChild<QLabel *>(u"lblUnvan"_s)->font().bold());
}

void TestFrmHakkinda::noticeLine_laidOutFromWord()
{
    QObject owner;
    Frm_Hakkinda box(*sessionWith(&owner, u"1"_s, QString()));
    const auto *word = box.findChild<QLabel *>(u"lblCopyright"_s);
    const auto *sign = box.findChild<QLabel *>(u"lblCopyrightSign"_s);
    const auto *text = box.findChild<QLabel *>(u"lblCopyrightText"_s);
    QCOMPARE(word->pos(), QPoint(Twips(3480), Twips(3840)));
    QCOMPARE(word->font().pointSize(), 8);
    QCOMPARE(sign->font().pointSize(), 12);
    QCOMPARE(text->font().pointSize(), 8);
    QCOMPARE(sign->pos(), QPoint(word->x() + word->width() + Twips(80), word->y() - Twips(40)));
    QCOMPARE(text->pos(), QPoint(word->x() + word->width() + Twips(120) + sign->width(), word->y()));
    // Each label is as wide as its text.
    QCOMPARE(word->size(), word->sizeHint());
    QCOMPARE(sign->size(), sign->sizeHint());
}

void TestFrmHakkinda::snapshotChangesAfterOpening_notShown()
{
    QObject owner;
    Session *session = sessionWith(&owner, u"42"_s, u"Eski Ünvan"_s);
    Frm_Hakkinda box(*session);
    session->editSnapshot().customer[CustomerRecord::Cari_Unvan] = u"Yeni Ünvan"_s;
    session->notifySnapshotEdited();
    QCOMPARE(labelText(box, u"lblUnvan"_s), u"Eski Ünvan"_s);
}

void TestFrmHakkinda::keyCloses_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
    QTest::newRow("Space") << int(Qt::Key_Space) << false;
}

void TestFrmHakkinda::keyCloses()
{
    QFETCH(int, key);
    QFETCH(bool, closes);
    Session session;
    QMdiArea area;
    area.resize(800, 600);
    QMdiSubWindow *frame = area.addSubWindow(new Frm_Hakkinda(session));
    frame->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QMdiSubWindow> guard(frame);
    area.show();
    frame->show();

    QTest::keyClick(frame->widget(), Qt::Key(key));
    if (closes)
        QTRY_VERIFY(guard.isNull());
    else
        QVERIFY(frame->isVisible());
}

void TestFrmHakkinda::position()
{
    QCOMPARE(AboutBoxPosition(QSize(1000, 800), QSize(480, 300)), QPoint(260, 250 - Twips(570)));
    // A small main window never pushes the box off the top or the left.
    QCOMPARE(AboutBoxPosition(QSize(400, 300), QSize(480, 300)), QPoint(0, 0));
}

} // namespace velmor::test

QTEST_MAIN(velmor::test::TestFrmHakkinda)
#include "tst_frm_hakkinda.moc"
