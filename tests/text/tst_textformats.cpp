// Telephone numbers as people write them, and the CSV form files are written in.

#include "text/csv.h"
#include "text/phonenumber.h"

#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

class TextFormatsTest : public QObject
{
    Q_OBJECT

private slots:
    void mobileNumber_data();
    void mobileNumber();
    void fixedNumber();
    void csvQuotesOnlyWhatNeedsIt();
};

void TextFormatsTest::mobileNumber_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("kept");

    QTest::newRow("international") << u"+90 532 111 22 33"_s << u"05321112233"_s;
    QTest::newRow("double zero") << u"0090 532 111 22 33"_s << u"05321112233"_s;
    QTest::newRow("country code, no plus") << u"90532 111 2233"_s << u"05321112233"_s;
    QTest::newRow("no trunk zero") << u"532 111 2233"_s << u"05321112233"_s;
    QTest::newRow("brackets and dashes") << u"(0532) 111-22-33"_s << u"05321112233"_s;
    QTest::newRow("already kept form") << u"05321112233"_s << u"05321112233"_s;
    QTest::newRow("a fixed line is no mobile") << u"0212 111 22 33"_s << QString();
    QTest::newRow("too short") << u"0532 111 22 3"_s << QString();
    QTest::newRow("too long") << u"0532 111 22 334"_s << QString();
    QTest::newRow("letters") << u"05abcdefghi"_s << QString();
    QTest::newRow("plus in the middle") << u"0532+1112233"_s << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TextFormatsTest::mobileNumber()
{
    QFETCH(QString, written);
    QFETCH(QString, kept);
    QCOMPARE(NormaliseMobileNumber(written), kept);
    if (!kept.isEmpty())
        QVERIFY(IsMobileNumber(kept));
}

void TextFormatsTest::fixedNumber()
{
    QCOMPARE(NormaliseFixedNumber(u"+90 (212) 111 22 33"_s), u"02121112233"_s);
    QCOMPARE(NormaliseFixedNumber(u"0 532 111 22 33"_s), u"05321112233"_s);
    QCOMPARE(NormaliseFixedNumber(u"111 22 33"_s), QString());
    QVERIFY(IsFixedNumber(u"02121112233"_s));
    QVERIFY(!IsFixedNumber(u"0212111223x"_s));
    QVERIFY(!IsMobileNumber(u"05abcdefghi"_s));
}

void TextFormatsTest::csvQuotesOnlyWhatNeedsIt()
{
    const QByteArray csv = WriteCsv({{u"Adı"_s, u"Not"_s},
                                     {u"Şükrü"_s, u"a;b"_s},
                                     {u"\"Çiçek\" Ltd"_s, u"iki\nsatır"_s},
                                     {u" boşluk"_s, QString()}});
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(csv.sliced(3)),
             u"Adı;Not\r\nŞükrü;\"a;b\"\r\n\"\"\"Çiçek\"\" Ltd\";\"iki\nsatır\"\r\n\" boşluk\";\r\n"_s);
}

QTEST_APPLESS_MAIN(TextFormatsTest)
#include "tst_textformats.moc"
