#include "model/snapshot.h"
#include "ui/send/sendrules.h"

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
    void messageLength_countsLineBreakAsTwo();
    void costRule_data();
    void costRule();
    void balanceClick_keepsCostAndReappliesRule_data();
    void balanceClick_keepsCostAndReappliesRule();
    void telephoneList_data();
    void telephoneList();
    void serverTime_data();
    void serverTime();
    void sendSucceeded_data();
    void sendSucceeded();
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
    QTest::newRow("third tag ignored") << u"x<SMSKontor>7<SMSKontor>8<SMSKontor>"_s << u"7"_s;
}

void TestSendRules::creditBalanceFromPayload()
{
    QFETCH(QString, payload);
    QFETCH(QString, figure);
    QCOMPARE(CreditBalanceFromPayload(payload), figure);
}

void TestSendRules::messageLength_countsLineBreakAsTwo()
{
    QCOMPARE(MessageLength(u"ab\ncd"), 6);
    QCOMPARE(MessageForSending(u"ab\ncd\n"_s), u"ab\r\ncd\r\n"_s);
    QCOMPARE(MessageLength(MessageForSending(u"ab\ncd"_s)), 6 + 1); // only the box's LF counts double
}

void TestSendRules::costRule_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("balance");
    QTest::addColumn<QString>("cost");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("3 x 161 chars, balance 5") << u"3"_s << u"161"_s << u"5"_s << u"6"_s << false;
    QTest::newRow("3 x 161 chars, balance 6") << u"3"_s << u"161"_s << u"6"_s << u"6"_s << true;
    QTest::newRow("no text") << u"3"_s << u"0"_s << u"100"_s << u"0"_s << false;
    QTest::newRow("no recipients") << u"0"_s << u"20"_s << u"100"_s << u"0"_s << false;
    QTest::newRow("balance unknown") << u"1"_s << u"1"_s << u"--"_s << u"1"_s << false;
    QTest::newRow("160 is one part") << u"2"_s << u"160"_s << u"2"_s << u"2"_s << true;
    QTest::newRow("321 is three parts") << u"1"_s << u"321"_s << u"1500"_s << u"3"_s << true;
    QTest::newRow("negative balance") << u"1"_s << u"1"_s << u"-1"_s << u"1"_s << false;
}

void TestSendRules::costRule()
{
    QFETCH(QString, count);
    QFETCH(QString, length);
    QFETCH(QString, balance);
    QFETCH(QString, cost);
    QFETCH(bool, enabled);
    const CostDecision decision = CalculateCost(count, length, balance);
    QCOMPARE(decision.cost, cost);
    QCOMPARE(decision.sendEnabled, enabled);
}

void TestSendRules::balanceClick_keepsCostAndReappliesRule_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("cost");
    QTest::addColumn<QString>("balance");
    QTest::addColumn<QString>("newCost");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("balance fell below cost") << u"3"_s << u"161"_s << u"6"_s << u"4"_s << u"6"_s << false;
    QTest::newRow("balance covers cost") << u"3"_s << u"161"_s << u"6"_s << u"6"_s << u"6"_s << true;
    QTest::newRow("no text resets cost") << u"3"_s << u"0"_s << u"6"_s << u"60"_s << u"0"_s << false;
    QTest::newRow("empty balance after failed send") << u"1"_s << u"5"_s << u"1"_s << QString() << u"1"_s
                                                     << false;
}

void TestSendRules::balanceClick_keepsCostAndReappliesRule()
{
    QFETCH(QString, count);
    QFETCH(QString, length);
    QFETCH(QString, cost);
    QFETCH(QString, balance);
    QFETCH(QString, newCost);
    QFETCH(bool, enabled);
    const CostDecision decision = ReapplyCostRule(count, length, cost, balance);
    QCOMPARE(decision.cost, newCost);
    QCOMPARE(decision.sendEnabled, enabled);
}

void TestSendRules::telephoneList_data()
{
    QTest::addColumn<QStringList>("mobiles");
    QTest::addColumn<QString>("list");
    QTest::newRow("all present") << QStringList{u"A"_s, u"B"_s, u"C"_s} << u"A,B,C"_s;
    QTest::newRow("middle empty") << QStringList{u"A"_s, QString(), u"C"_s} << u"A,,C"_s;
    QTest::newRow("first empty") << QStringList{QString(), u"B"_s, u"C"_s} << u"B,C"_s;
    QTest::newRow("two first empty") << QStringList{QString(), QString(), u"C"_s} << u"C"_s;
    QTest::newRow("last empty") << QStringList{u"A"_s, u"B"_s, QString()} << u"A,B,"_s;
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

void TestSendRules::sendSucceeded_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<bool>("success");
    QTest::newRow("balance used up") << u"0"_s << true;
    QTest::newRow("refused") << u"-1"_s << false;
    QTest::newRow("positive then letters") << u"12abc"_s << true;
    QTest::newRow("missing") << QString() << false;
    QTest::newRow("zero with decimals") << u"0.0"_s << false;
    QTest::newRow("text") << u"HATA"_s << false;
}

void TestSendRules::sendSucceeded()
{
    QFETCH(QString, section);
    QFETCH(bool, success);
    QCOMPARE(SendSucceeded(section), success);
}

QTEST_GUILESS_MAIN(TestSendRules)
#include "tst_sendrules.moc"
