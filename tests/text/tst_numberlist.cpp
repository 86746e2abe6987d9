// Mobile numbers read from what a user types or pastes: one or many, with
// the blanks people write inside numbers and between them.

#include "text/numberlist.h"

#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

class NumberListTest : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
};

void NumberListTest::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QStringList>("refused");

    const QString n = u"05321112233"_s;
    const QString m = u"05332223344"_s;
    QTest::newRow("every written form, one per line")
        << u"+90 532 111 22 33\n0090 532 111 22 33\r\n90532 111 2233\n532 111 2233\n(0532) 111-22-33"_s
        << QStringList{n, n, n, n, n} << QStringList{};
    QTest::newRow("commas, semicolons, tabs, empty pieces")
        << u" 05321112233 ,;05332223344\t;\n\n"_s << QStringList{n, m} << QStringList{};
    QTest::newRow("blanks between and inside numbers")
        << u"0532 111 22 33 0533 222 33 44 5321112233"_s << QStringList{n, m, n} << QStringList{};
    QTest::newRow("international forms side by side")
        << u"+90 532 111 22 33 +90 533 222 33 44"_s << QStringList{n, m} << QStringList{};
    QTest::newRow("a number one digit short, then a whole one")
        << u"0532 111 22 3 0533 222 33 44"_s << QStringList{m} << QStringList{u"0532 111 22 3"_s};
    QTest::newRow("words among numbers") << u"Ali 05321112233 bey"_s << QStringList{n}
                                         << QStringList{u"Ali"_s, u"bey"_s};
    QTest::newRow("fixed line and short number refused whole")
        << u"0212 111 22 33\n12345"_s << QStringList{} << QStringList{u"0212 111 22 33"_s, u"12345"_s};
    QTest::newRow("too long") << u"053211122334"_s << QStringList{} << QStringList{u"053211122334"_s};
    QTest::newRow("unfinished at the end")
        << u"05321112233 0533 222"_s << QStringList{n} << QStringList{u"0533 222"_s};
    QTest::newRow("repeats are kept for the caller") << u"05321112233,05321112233"_s << QStringList{n, n}
                                                     << QStringList{};
    QTest::newRow("nothing") << u" \n , "_s << QStringList{} << QStringList{};
}

void NumberListTest::read()
{
    QFETCH(QString, text);
    QFETCH(QStringList, numbers);
    QFETCH(QStringList, refused);
    const MobileNumberList read = ReadMobileNumbers(text);
    QCOMPARE(read.numbers, numbers);
    QCOMPARE(read.refused, refused);
}

QTEST_GUILESS_MAIN(NumberListTest)
#include "tst_numberlist.moc"
