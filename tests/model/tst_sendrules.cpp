#include "model/snapshot.h"
#include "model/sendrules.h"

#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

class TestSendRules : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data();
    void leadingNumber();
    void creditBalanceFromPayload_data();
    void creditBalanceFromPayload();
    void telephoneList_data();
    void telephoneList();
    void messageBoxText_data();
    void messageBoxText();
    void partInformation_data();
    void partInformation();
    void serverTime_data();
    void serverTime();
};

void TestSendRules::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << u"1500"_s << 1500.0;
    QTest::newRow("dashes") << u"--"_s << 0.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("digits then letters") << u"12abc"_s << 12.0;
    QTest::newRow("negative") << u"-1"_s << -1.0;
    QTest::newRow("decimal") << u"2.5x"_s << 2.5;
    QTest::newRow("dot without digits before") << u".5"_s << 0.0;
    QTest::newRow("leading blank is not a number") << u" 7"_s << 0.0;
    QTest::newRow("sign alone") << u"-"_s << 0.0;
}

void TestSendRules::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(LeadingNumber(text), value);
}

void TestSendRules::creditBalanceFromPayload_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QString>("figure");
    QTest::newRow("between two tags") << u"<SMSKontor>250<SMSKontor>"_s << u"250"_s;
    QTest::newRow("leading zeros dropped") << u"<SMSKontor>0250<SMSKontor>"_s << u"250"_s;
    QTest::newRow("tag once") << u"<SMSKontor>250"_s << u"--"_s;
    QTest::newRow("empty payload") << QString() << u"--"_s;
    QTest::newRow("tag in other case") << u"<smskontor>250<smskontor>"_s << u"--"_s;
    QTest::newRow("not a number counts 0") << u"<SMSKontor>abc<SMSKontor>"_s << u"0"_s;
    QTest::newRow("nothing between") << u"<SMSKontor><SMSKontor>"_s << u"0"_s;
    // Shown in plain digits, never in exponent form that would read back as 1.
    QTest::newRow("large balance") << u"<SMSKontor>10000000000000000<SMSKontor>"_s << u"10000000000000000"_s;
    QTest::newRow("small fraction") << u"<SMSKontor>0.00001<SMSKontor>"_s << u"0.00001"_s;
    QTest::newRow("fraction") << u"<SMSKontor>12.50<SMSKontor>"_s << u"12.5"_s;
    QTest::newRow("third tag ignored") << u"x<SMSKontor>7<SMSKontor>8<SMSKontor>"_s << u"7"_s;
}

void TestSendRules::creditBalanceFromPayload()
{
    QFETCH(QString, payload);
    QFETCH(QString, figure);
    QCOMPARE(CreditBalanceFromPayload(payload), figure);
}

void TestSendRules::telephoneList_data()
{
    QTest::addColumn<QStringList>("mobiles");
    QTest::addColumn<QString>("list");
    QTest::newRow("all present") << QStringList{u"A"_s, u"B"_s, u"C"_s} << u"A,B,C"_s;
    // A recipient without a number leaves no empty entry wherever it stands.
    QTest::newRow("middle empty") << QStringList{u"A"_s, QString(), u"C"_s} << u"A,C"_s;
    QTest::newRow("first empty") << QStringList{QString(), u"B"_s, u"C"_s} << u"B,C"_s;
    QTest::newRow("two first empty") << QStringList{QString(), QString(), u"C"_s} << u"C"_s;
    QTest::newRow("last empty") << QStringList{u"A"_s, u"B"_s, QString()} << u"A,B"_s;
    QTest::newRow("blanks only is no number") << QStringList{u"A"_s, u"  "_s} << u"A"_s;
    QTest::newRow("none has one") << QStringList{QString(), QString()} << QString();
    QTest::newRow("duplicates kept") << QStringList{u"5"_s, u"5"_s} << u"5,5"_s;
    QTest::newRow("none") << QStringList{} << QString();
}

void TestSendRules::telephoneList()
{
    QFETCH(QStringList, mobiles);
    QFETCH(QString, list);
    QList<Contact> recipients;
    for (const QString &mobile : mobiles) {
        Contact contact;
        contact.Adr_GSM_No = mobile;
        recipients.append(contact);
    }
    QCOMPARE(BuildTelephoneList(recipients), list);
}

void TestSendRules::messageBoxText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keyed"); // the same, one key press each
    QTest::newRow("Turkish letters folded") << u"İstanbul'a;"_s << u"Istanbul a:"_s << u"Istanbul a:"_s;
    QTest::newRow("’ folded by the text rule only") << u"’"_s << u" "_s << u"’"_s;
    QTest::newRow("emoji: one ?") << u"a\U0001F600b"_s << u"a?b"_s << u"a?b"_s;
    QTest::newRow("Cyrillic") << u"Жд"_s << u"??"_s << u"??"_s;
    QTest::newRow("best fit to its base letter") << u"āĉ"_s << u"ac"_s << u"ac"_s;
    QTest::newRow("best fit to a Turkish letter, folded") << u"Ȫ"_s << u"O"_s << u"O"_s;
    QTest::newRow("code page letters stay") << u"âé€"_s << u"âé€"_s << u"âé€"_s;
    QTest::newRow("no-break space stays") << u"a\u00A0b"_s << u"a\u00A0b"_s << u"a\u00A0b"_s;
}

void TestSendRules::messageBoxText()
{
    QFETCH(QString, text);
    QFETCH(QString, box);
    QFETCH(QString, keyed);
    QCOMPARE(MessageBoxText(text), box);
    QCOMPARE(MessageBoxText(box), box);
    QString typed;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() ? 2 : 1;
        typed += MessageBoxKeyText(QStringView(text).sliced(i, n));
        i += n - 1;
    }
    QCOMPARE(typed, keyed);
}

void TestSendRules::partInformation_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("information");
    QTest::newRow("empty") << 0 << u"0 mesaj · 160 karakter kaldı"_s;
    QTest::newRow("1") << 1 << u"1 mesaj · 159 karakter kaldı"_s;
    QTest::newRow("112") << 112 << u"1 mesaj · 48 karakter kaldı"_s;
    QTest::newRow("160: the next one starts a part") << 160 << u"1 mesaj · 0 karakter kaldı"_s;
    QTest::newRow("161") << 161 << u"2 mesaj · 159 karakter kaldı"_s;
}

void TestSendRules::partInformation()
{
    QFETCH(int, length);
    QFETCH(QString, information);
    QCOMPARE(PartInformation(length), information);
}

void TestSendRules::serverTime_data()
{
    QTest::addColumn<QString>("serverTime");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::newRow("fourteen digits") << u"20240229235958"_s << u"20240229"_s << u"235958"_s;
    QTest::newRow("empty: local clock") << QString() << u"20230704"_s << u"090503"_s;
    QTest::newRow("thirteen: local clock") << u"2024022923595"_s << u"20230704"_s << u"090503"_s;
    QTest::newRow("fifteen: local clock") << u"202402292359580"_s << u"20230704"_s << u"090503"_s;
}

void TestSendRules::serverTime()
{
    QFETCH(QString, serverTime);
    QFETCH(QString, date);
    QFETCH(QString, time);
    const QDateTime local(QDate(2023, 7, 4), QTime(9, 5, 3));
    const SendStamp stamp = SplitServerTime(serverTime, local);
    QCOMPARE(stamp.date, date);
    QCOMPARE(stamp.time, time);
}

QTEST_GUILESS_MAIN(TestSendRules)
#include "tst_sendrules.moc"
