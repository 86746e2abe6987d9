#include "model/numberfile.h"

#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

class TestNumberFile : public QObject
{
    Q_OBJECT

private slots:
    void numbersOneALineOrFromTheNumberColumn_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QStringList>("refused");
        QTest::newRow("one a line, as written")
            << QByteArray("05321112233\n+90 533 222 33 44\r\n(0534) 333-44-55\n\n")
            << QStringList{u"05321112233"_s, u"05332223344"_s, u"05343334455"_s} << QStringList{};
        QTest::newRow("several a line") << QByteArray("05321112233, 05332223344; 0212 111 22 33\n")
                                        << QStringList{u"05321112233"_s, u"05332223344"_s}
                                        << QStringList{u"0212 111 22 33"_s};
        QTest::newRow("a header line over the numbers") << QByteArray("GSM\n05321112233\n")
                                                        << QStringList{u"05321112233"_s} << QStringList{};
        // The names beside the numbers are not read as numbers.
        QTest::newRow("table with a header")
            << QByteArray("Ad\xc4\xb1;Soyad\xc4\xb1;Cep Telefonu;Sabit\n\xc5\x9e\xc3\xbckr\xc3\xbc;Aksoy;0531 333 44 56;"
                          "02121112233\nAli;K;;\nAy\xc5\x9f" "e;D;12345;\n")
            << QStringList{u"05313334456"_s} << QStringList{u"3. satır: numara yok"_s, u"12345"_s};
        QTest::newRow("table without a header, Windows-1254")
            << QByteArray("\xdeule,05321112233\nAhmet,05332223344\nAyla,05343334455\n")
            << QStringList{u"05321112233"_s, u"05332223344"_s, u"05343334455"_s} << QStringList{};
    }

    void numbersOneALineOrFromTheNumberColumn()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, numbers);
        QFETCH(QStringList, refused);
        const MobileNumberList read = ReadNumberFile(file);
        QCOMPARE(read.numbers, numbers);
        QCOMPARE(read.refused, refused);
    }
};

QTEST_GUILESS_MAIN(TestNumberFile)
#include "tst_numberfile.moc"
