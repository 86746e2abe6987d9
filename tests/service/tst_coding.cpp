// Value coding both ways, the Windows-1254 tables, the repair of the Turkish
// letters, and cutting tagged sections out of a text.

#include "loopbackserver.h"
#include "service/coding.h"
#include "service/service.h"

#include <QRandomGenerator>
#include <QTest>

using namespace velmor;
using velmor::test::LoopbackServer;
using namespace Qt::StringLiterals;

namespace {

// The groups of a text, each character given by its byte value.
QString groupsOf(int offset, std::initializer_list<int> bytes)
{
    QString out = QString::number(offset).rightJustified(3, u'0');
    for (const int byte : bytes)
        out += QString::number(offset + byte).rightJustified(3, u'0');
    return out;
}

// Bytes coded as the service codes them.
QByteArray codeBytes(const QByteArray &bytes, int offset)
{
    QByteArray out = QByteArray::number(offset).rightJustified(3, '0');
    for (const char byte : bytes)
        out += QByteArray::number(offset + static_cast<unsigned char>(byte)).rightJustified(3, '0');
    return out;
}

// Decoding the slow and obvious way, straight from the rules: every group
// through the code page, then each of the twelve letter sequences replaced
// in the whole text.
QString referenceDecode(const QByteArray &digits)
{
    if (digits.isEmpty())
        return {};
    if (!std::all_of(digits.cbegin(), digits.cend(), [](char c) { return c >= '0' && c <= '9'; }))
        return {};
    const int offset = digits.first(qMin<qsizetype>(3, digits.size())).toInt();
    QString text;
    for (qsizetype i = 3; i < digits.size(); i += 3) {
        const int value = digits.mid(i, 3).toInt() - offset;
        if (value < 0 || value > 255)
            return {};
        text += QChar(FromWindows1254(static_cast<unsigned char>(value)));
    }
    const QString letters = u"İıüÜğĞşŞçÇöÖ"_s;
    for (const QChar letter : letters) {
        const QByteArray utf8 = QString(letter).toUtf8();
        QString sequence;
        for (const char byte : utf8)
            sequence += QChar(FromWindows1254(static_cast<unsigned char>(byte)));
        text.replace(sequence, QString(letter));
    }
    return text;
}

} // namespace

class CodingTest : public QObject
{
    Q_OBJECT

private slots:
    void encodeWithOffset_data();
    void encodeWithOffset();
    void codeText_drawsItsOwnOffset_data();
    void codeText_drawsItsOwnOffset();
    void codeText_emptyAndUnknownModes_data();
    void codeText_emptyAndUnknownModes();
    void decode_data();
    void decode();
    void decode_matchesPlainRules_data();
    void decode_matchesPlainRules();
    void windows1254_everyByteRoundTrips();
    void textAsSent_codesLikeTheTextItself();
    void fromWindows1254_data();
    void fromWindows1254();
    void repairUtf8Letters_data();
    void repairUtf8Letters();
    void getTagText_data();
    void getTagText();
};

void CodingTest::encodeWithOffset_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("coded");

    QTest::newRow("abc with offset 42") << u"abc"_s << 42 << u"042139140141"_s;
    QTest::newRow("ş with offset 99") << u"ş"_s << 99 << u"099353"_s;
    QTest::newRow("ş with offset 0") << u"ş"_s << 0 << u"000254"_s;
    QTest::newRow("Turkish capitals") << u"ŞĞİÜÇÖ"_s << 0 << groupsOf(0, {222, 208, 221, 220, 199, 214});
    QTest::newRow("Turkish small letters") << u"şğıüçö"_s << 5 << groupsOf(5, {254, 240, 253, 252, 231, 246});
    QTest::newRow("plain I and i") << u"Ii"_s << 1 << groupsOf(1, {73, 105});
    QTest::newRow("euro and right quote") << u"€’"_s << 0 << groupsOf(0, {128, 146});
    QTest::newRow("Latin-1 letters keep their byte") << u"éâÿ"_s << 0 << groupsOf(0, {0xE9, 0xE2, 0xFF});
    QTest::newRow("unassigned code point keeps its byte") << u"\u0081\u009E"_s << 0 << groupsOf(0, {0x81, 0x9E});
    QTest::newRow("digits and punctuation") << u"0|&=%"_s << 10 << groupsOf(10, {48, 124, 38, 61, 37});
    QTest::newRow("line break") << u"a\r\nb"_s << 0 << groupsOf(0, {97, 13, 10, 98});
    QTest::newRow("best fit: a with macron") << u"ā"_s << 0 << groupsOf(0, {'a'});
    QTest::newRow("best fit: O with double acute") << u"Ő"_s << 0 << groupsOf(0, {'O'});
    QTest::newRow("best fit: n with acute") << u"ń"_s << 0 << groupsOf(0, {'n'});
    QTest::newRow("best fit: Y with acute, whose byte is İ") << u"Ýý"_s << 0 << groupsOf(0, {'Y', 'y'});
    QTest::newRow("best fit: two steps down to O") << u"\u1E50"_s << 0 << groupsOf(0, {'O'});
    QTest::newRow("best fit: base letter in the code page") << u"\u01DE"_s << 0 << groupsOf(0, {0xC4});
    QTest::newRow("no best fit: Chinese") << u"中"_s << 7 << groupsOf(7, {63});
    QTest::newRow("no best fit: D with stroke") << u"Đ"_s << 0 << groupsOf(0, {63});
    QTest::newRow("no best fit: thorn and eth") << u"Þð"_s << 0 << groupsOf(0, {63, 63});
    QTest::newRow("emoji is one character") << u"a😀b"_s << 0 << groupsOf(0, {'a', 63, 'b'});
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << 0 << groupsOf(0, {63});
    QTest::newRow("empty text has no offset") << QString() << 42 << QString();
}

void CodingTest::encodeWithOffset()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(QString, coded);
    QCOMPARE(EncodeWithOffset(text, offset), coded);
}

void CodingTest::codeText_drawsItsOwnOffset_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decoded");

    QTest::newRow("group name") << u"Yeni Grup"_s << u"Yeni Grup"_s;
    QTest::newRow("Turkish letters") << u"Müşteri Şükrü Ağıl"_s << u"Müşteri Şükrü Ağıl"_s;
    QTest::newRow("contact data with bars") << u"Ali|Kaya||İzmir|05321234567"_s << u"Ali|Kaya||İzmir|05321234567"_s;
    // Coding works on Windows-1254 bytes, decoding repairs UTF-8 pairs: the
    // two directions are not symmetric, so these two characters come back
    // joined into one letter.
    QTest::newRow("characters that look like a UTF-8 pair") << u"Ã¼"_s << u"ü"_s;
}

void CodingTest::codeText_drawsItsOwnOffset()
{
    QFETCH(QString, text);
    QFETCH(QString, decoded);
    for (int round = 0; round < 20; ++round) {
        const QString coded = CodeText(text, u"0"_s);
        QCOMPARE(coded.size(), 3 + 3 * text.size());
        QVERIFY2(std::all_of(coded.cbegin(), coded.cend(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }),
                 qPrintable(coded));
        const int offset = coded.first(3).toInt();
        QVERIFY(offset >= 0 && offset <= 99);
        QCOMPARE(CodeText(coded, u"1"_s), decoded);
    }
}

void CodingTest::codeText_emptyAndUnknownModes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mode");

    QTest::newRow("code the empty text") << QString() << u"0"_s;
    QTest::newRow("decode the empty text") << QString() << u"1"_s;
    QTest::newRow("mode 2") << u"abc"_s << u"2"_s;
    QTest::newRow("empty mode") << u"042139"_s << QString();
    QTest::newRow("mode with blank") << u"042139"_s << u"1 "_s;
    QTest::newRow("decode of non-Latin text") << u"04213Ş"_s << u"1"_s;
}

void CodingTest::codeText_emptyAndUnknownModes()
{
    QFETCH(QString, text);
    QFETCH(QString, mode);
    QCOMPARE(CodeText(text, mode), QString());
}

void CodingTest::decode_data()
{
    QTest::addColumn<QByteArray>("digits");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("offset only") << QByteArray("042") << QString();
    QTest::newRow("short offset only") << QByteArray("04") << QString();
    QTest::newRow("abc with offset 42") << QByteArray("042139140141") << u"abc"_s;
    QTest::newRow("UTF-8 of Ğ") << QByteArray("000196158") << u"Ğ"_s;
    QTest::newRow("UTF-8 of ş") << QByteArray("000197159") << u"ş"_s;
    QTest::newRow("UTF-8 of Ö") << QByteArray("000195150") << u"Ö"_s;
    QTest::newRow("UTF-8 of é is not repaired") << QByteArray("000195169") << u"\u00C3\u00A9"_s;
    QTest::newRow("all twelve letters, offset 37")
        << LoopbackServer::codeAsService(u"İıüÜğĞşŞçÇöÖ"_s, 37) << u"İıüÜğĞşŞçÇöÖ"_s;
    QTest::newRow("a Windows-1254 byte decodes directly") << QByteArray("000254") << u"ş"_s;
    QTest::newRow("unassigned byte") << QByteArray("000141") << u"\u008D"_s;
    QTest::newRow("lead byte at the end") << QByteArray("000065195") << u"A\u00C3"_s;
    QTest::newRow("two lead bytes, then a trail") << QByteArray("000195196176") << u"\u00C3İ"_s;
    QTest::newRow("short last group of two digits") << QByteArray("00006566") << u"AB"_s;
    QTest::newRow("short last group of one digit") << QByteArray("0000650") << u"A\u0000"_s;
    QTest::newRow("short last group below the offset") << QByteArray("0100757") << QString();
    QTest::newRow("group above 255") << QByteArray("000065256") << QString();
    QTest::newRow("group below the offset") << QByteArray("050049") << QString();
    QTest::newRow("offset above 99 still counts") << QByteArray("150215") << u"A"_s;
    QTest::newRow("blank among the digits") << QByteArray("000 65") << QString();
    QTest::newRow("letter in the offset") << QByteArray("0a0065") << QString();
    QTest::newRow("minus sign") << QByteArray("000-65") << QString();
}

void CodingTest::decode()
{
    QFETCH(QByteArray, digits);
    QFETCH(QString, text);
    QCOMPARE(DecodeDigits(digits), text);
    QCOMPARE(CodeText(QString::fromLatin1(digits), u"1"_s), text);
}

// Long replies are decoded in blocks of sixteen groups; these rows put the
// letter pairs, bad digits and the end of the text on every side of a block
// boundary and compare with the plain rules.
void CodingTest::decode_matchesPlainRules_data()
{
    QTest::addColumn<QByteArray>("digits");

    const QString pieces[] = {u"a"_s, u"ş"_s, u"İ"_s, u"Ö"_s, u"é"_s, u"|"_s, u"<>"_s, u"€"_s, u"ğü"_s, u"ı"_s};
    QRandomGenerator random(2024);
    for (int length = 0; length < 80; ++length) {
        QString text;
        while (text.toUtf8().size() < length)
            text += pieces[random.bounded(int(std::size(pieces)))];
        const int offset = random.bounded(100);
        const QByteArray digits = LoopbackServer::codeAsService(text, offset);
        QTest::addRow("random text of %d bytes", length) << digits;
    }
    // A lead byte as the last group of a block, its trail the first of the next.
    for (int lead = 14; lead <= 17; ++lead) {
        QString text(lead, u'x');
        text += u"ş and more text after the block boundary, ş"_s;
        QTest::addRow("letter pair at group %d", lead) << LoopbackServer::codeAsService(text, 12);
    }
    // A lead byte closing a block with plain ASCII after it.
    for (int lead = 14; lead <= 17; ++lead) {
        QByteArray bytes(lead, 'x');
        bytes += char(0xC3);
        bytes += QByteArray(40, 'y');
        QTest::addRow("unpaired lead at group %d, plain text after", lead) << codeBytes(bytes, 20);
    }
    // Lead bytes not followed by their trail, in and across blocks.
    QByteArray leads = "000";
    for (int i = 0; i < 40; ++i)
        leads += QByteArray::number(195 + i % 3);
    QTest::newRow("only lead bytes") << leads;
    QByteArray bad = LoopbackServer::codeAsService(QString(40, u'k'), 3);
    for (int position : {3, 40, 50, 51, 52, 99, 120}) {
        QByteArray broken = bad;
        broken[position] = 'x';
        QTest::addRow("not a digit at %d", position) << broken;
    }
    QByteArray tooBig = bad;
    tooBig.replace(3 + 3 * 20, 3, "999");
    QTest::newRow("group out of range inside a block") << tooBig;
    QTest::newRow("block and a short tail") << bad + "1";
}

void CodingTest::decode_matchesPlainRules()
{
    QFETCH(QByteArray, digits);
    QCOMPARE(DecodeDigits(digits), referenceDecode(digits));
}

void CodingTest::windows1254_everyByteRoundTrips()
{
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t ch = FromWindows1254(static_cast<unsigned char>(byte));
        QCOMPARE(int(ToWindows1254(ch)), byte);
    }
}

void CodingTest::textAsSent_codesLikeTheTextItself()
{
    // Every character of the basic plane: what the box shows in its place
    // goes out as the same group, and showing it again changes nothing.
    for (int code = 0; code <= 0xFFFF; ++code) {
        const QString ch{QChar(char16_t(code))};
        const QString shown = TextAsSent(ch);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(EncodeWithOffset(shown, 7), EncodeWithOffset(ch, 7));
        QCOMPARE(TextAsSent(shown), shown);
    }
    // One character outside the basic plane is one "?", a lone surrogate too.
    QCOMPARE(TextAsSent(u"a\U0001F600b\xD800"_s), u"a?b?"_s);
    QCOMPARE(TextAsSent(u"Ж ā Ȫ\u00A0é"_s), u"? a Ö\u00A0é"_s);
}

void CodingTest::fromWindows1254_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");

    QTest::newRow("A") << 0x41 << 0x41;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("unassigned 81") << 0x81 << 0x81;
    QTest::newRow("S with caron") << 0x8A << 0x0160;
    QTest::newRow("unassigned 8D to 90") << 0x90 << 0x90;
    QTest::newRow("right single quote") << 0x92 << 0x2019;
    QTest::newRow("en dash") << 0x96 << 0x2013;
    QTest::newRow("oe") << 0x9C << 0x0153;
    QTest::newRow("unassigned 9E") << 0x9E << 0x9E;
    QTest::newRow("Y with diaeresis") << 0x9F << 0x0178;
    QTest::newRow("Ğ") << 0xD0 << 0x011E;
    QTest::newRow("İ") << 0xDD << 0x0130;
    QTest::newRow("Ş") << 0xDE << 0x015E;
    QTest::newRow("ğ") << 0xF0 << 0x011F;
    QTest::newRow("ı") << 0xFD << 0x0131;
    QTest::newRow("ş") << 0xFE << 0x015F;
    QTest::newRow("Ü as in Latin-1") << 0xDC << 0xDC;
    QTest::newRow("ÿ") << 0xFF << 0xFF;
}

void CodingTest::fromWindows1254()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    QCOMPARE(int(FromWindows1254(static_cast<unsigned char>(byte))), codePoint);
}

void CodingTest::repairUtf8Letters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("repaired");

    QTest::newRow("İ") << u"\u00C4\u00B0"_s << u"İ"_s;
    QTest::newRow("ı") << u"\u00C4\u00B1"_s << u"ı"_s;
    QTest::newRow("ü") << u"\u00C3\u00BC"_s << u"ü"_s;
    QTest::newRow("Ü") << u"\u00C3\u0153"_s << u"Ü"_s;
    QTest::newRow("ğ") << u"\u00C4\u0178"_s << u"ğ"_s;
    QTest::newRow("Ğ") << u"\u00C4\u009E"_s << u"Ğ"_s;
    QTest::newRow("ş") << u"\u00C5\u0178"_s << u"ş"_s;
    QTest::newRow("Ş") << u"\u00C5\u009E"_s << u"Ş"_s;
    QTest::newRow("ç") << u"\u00C3\u00A7"_s << u"ç"_s;
    QTest::newRow("Ç") << u"\u00C3\u2021"_s << u"Ç"_s;
    QTest::newRow("ö") << u"\u00C3\u00B6"_s << u"ö"_s;
    QTest::newRow("Ö") << u"\u00C3\u2013"_s << u"Ö"_s;
    QTest::newRow("in a word") << u"Ka\u00C5\u0178ar"_s << u"Kaşar"_s;
    QTest::newRow("é stays two characters") << u"\u00C3\u00A9"_s << u"\u00C3\u00A9"_s;
    QTest::newRow("lead twice, then trail") << u"\u00C3\u00C3\u00BC"_s << u"\u00C3ü"_s;
    QTest::newRow("lead at the end") << u"ab\u00C4"_s << u"ab\u00C4"_s;
    QTest::newRow("trail without lead") << u"\u0178x"_s << u"\u0178x"_s;
    QTest::newRow("wrong lead for the trail") << u"\u00C5\u00B0"_s << u"\u00C5\u00B0"_s;
    QTest::newRow("plain ASCII") << u"Ankara 06"_s << u"Ankara 06"_s;
    QTest::newRow("empty") << QString() << QString();
}

void CodingTest::repairUtf8Letters()
{
    QFETCH(QString, text);
    QFETCH(QString, repaired);
    QCOMPARE(RepairUtf8Letters(text), repaired);
}

void CodingTest::getTagText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("section");

    QTest::newRow("two fields between two tags") << u"<Cari>7|Ali<Cari>"_s << u"<Cari>"_s << u"7|Ali"_s;
    QTest::newRow("text around the tags") << u"x<Cari>7<Cari>y"_s << u"<Cari>"_s << u"7"_s;
    QTest::newRow("nothing between") << u"<Cari><Cari>"_s << u"<Cari>"_s << QString();
    QTest::newRow("tag absent") << u"7|Ali"_s << u"<Cari>"_s << QString();
    QTest::newRow("tag once") << u"<Cari>7|Ali"_s << u"<Cari>"_s << QString();
    QTest::newRow("three tags") << u"<Cari>a<Cari>b<Cari>"_s << u"<Cari>"_s << u"a"_s;
    QTest::newRow("letter case ignored") << u"<SMSKONTOR>150<smskontor>"_s << u"<SMSKontor>"_s << u"150"_s;
    QTest::newRow("envelope marker") << u"<rehber>000049<REHBER>"_s << u"<Rehber>"_s << u"000049"_s;
    QTest::newRow("tag inside another tag's section") << u"<A><B>1<B><A>"_s << u"<B>"_s << u"1"_s;
    QTest::newRow("empty text") << QString() << u"<Cari>"_s << QString();
    QTest::newRow("empty tag") << u"abc"_s << QString() << QString();
}

void CodingTest::getTagText()
{
    QFETCH(QString, text);
    QFETCH(QString, tag);
    QFETCH(QString, section);
    QCOMPARE(GetTagText(text, tag), section);
}

QTEST_GUILESS_MAIN(CodingTest)
#include "tst_coding.moc"
