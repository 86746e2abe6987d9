// Folding Turkish letters (key mode, text mode, the lower-case fold of the
// search), the wildcard match of the contact search, and message parts.

#include "text/turkish.h"

#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

class TurkishTest : public QObject
{
    Q_OBJECT

private slots:
    void foldKey_data();
    void foldKey();
    void foldText_data();
    void foldText();
    void foldTurkishLower_data();
    void foldTurkishLower();
    void wildcard_data();
    void wildcard();
    void wildcard_manyStarsOverLongText();
    void contactSearch_data();
    void contactSearch();
    void messagePartCount_data();
    void messagePartCount();
};

void TurkishTest::foldKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("folded");

    const std::pair<const char *, std::pair<char16_t, char16_t>> table[] = {
        {"İ", {u'İ', u'I'}}, {"ı", {u'ı', u'i'}}, {"Ü", {u'Ü', u'U'}}, {"ü", {u'ü', u'u'}},
        {"Ş", {u'Ş', u'S'}}, {"ş", {u'ş', u's'}}, {"Ç", {u'Ç', u'C'}}, {"ç", {u'ç', u'c'}},
        {"Ö", {u'Ö', u'O'}}, {"ö", {u'ö', u'o'}}, {"Ğ", {u'Ğ', u'G'}}, {"ğ", {u'ğ', u'g'}},
        {"apostrophe", {u'\'', u' '}}, {"semicolon", {u';', u':'}},
        // Not in the key table: passed unchanged.
        {"right single quote", {u'\u2019', u'\u2019'}}, {"plain I", {u'I', u'I'}}, {"plain i", {u'i', u'i'}},
        {"â", {u'â', u'â'}}, {"é", {u'é', u'é'}}, {"backspace", {u'\b', u'\b'}}, {"carriage return", {u'\r', u'\r'}},
        {"colon", {u':', u':'}}, {"code 0", {u'\0', u'\0'}},
    };
    for (const auto &[name, pair] : table)
        QTest::newRow(name) << int(pair.first) << int(pair.second);
}

void TurkishTest::foldKey()
{
    QFETCH(int, key);
    QFETCH(int, folded);
    QCOMPARE(int(FoldTurkish(char16_t(key))), folded);
}

void TurkishTest::foldText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");

    QTest::newRow("İstanbul'a") << u"İstanbul'a"_s << u"Istanbul a"_s;
    QTest::newRow("Gün;bitti’") << u"Gün;bitti’"_s << u"Gun:bitti "_s;
    QTest::newRow("every letter") << u"ĞÜŞİÖÇ ğüşıöç"_s << u"GUSIOC gusioc"_s;
    QTest::newRow("other accents stay") << u"âîûé Â"_s << u"âîûé Â"_s;
    QTest::newRow("line breaks stay") << u"ab\r\ncd"_s << u"ab\r\ncd"_s;
    QTest::newRow("already folded") << u"Merhaba: 160 karakter"_s << u"Merhaba: 160 karakter"_s;
    QTest::newRow("left quote stays") << u"‘x"_s << u"‘x"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TurkishTest::foldText()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    const QString result = FoldTurkish(text);
    QCOMPARE(result, folded);
    QCOMPARE(result.size(), text.size());
    QCOMPARE(IsFoldedTurkish(text), text == folded);
    QVERIFY(IsFoldedTurkish(result));
}

void TurkishTest::foldTurkishLower_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");

    QTest::newRow("the seven capitals") << u"İIÜŞĞÇÖ"_s << u"iıüşğçö"_s;
    QTest::newRow("dotted and dotless") << u"KIRMIZI İĞNE"_s << u"KıRMıZı iğNE"_s;
    QTest::newRow("other capitals stay") << u"ABC Ayşe"_s << u"ABC Ayşe"_s;
    QTest::newRow("small letters stay") << u"ıiüşğçö"_s << u"ıiüşğçö"_s;
    QTest::newRow("other accents stay") << u"ÂÎÛÉ"_s << u"ÂÎÛÉ"_s;
    QTest::newRow("digits and signs stay") << u"0532 *?#[]"_s << u"0532 *?#[]"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TurkishTest::foldTurkishLower()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QCOMPARE(FoldTurkishLower(text), folded);
}

void TurkishTest::wildcard_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");

    QTest::newRow("literal") << u"abc"_s << u"abc"_s << true;
    QTest::newRow("literal, letter case counts") << u"abc"_s << u"aBc"_s << false;
    QTest::newRow("literal, dotless i is not i") << u"ı"_s << u"i"_s << false;
    QTest::newRow("star in the middle") << u"a*c"_s << u"abbbc"_s << true;
    QTest::newRow("star matches nothing") << u"a*c"_s << u"ac"_s << true;
    QTest::newRow("star alone, empty text") << u"*"_s << QString() << true;
    QTest::newRow("empty pattern, empty text") << QString() << QString() << true;
    QTest::newRow("empty pattern, some text") << QString() << u"a"_s << false;
    QTest::newRow("question mark is one character") << u"a?c"_s << u"abc"_s << true;
    QTest::newRow("question mark is not none") << u"a?c"_s << u"ac"_s << false;
    QTest::newRow("question mark at the end") << u"?"_s << QString() << false;
    QTest::newRow("hash is a digit") << u"#"_s << u"5"_s << true;
    QTest::newRow("hash is not a letter") << u"#"_s << u"x"_s << false;
    QTest::newRow("hash is not an Arabic-Indic digit") << u"#"_s << u"\u0665"_s << false;
    QTest::newRow("list") << u"[abc]x"_s << u"bx"_s << true;
    QTest::newRow("list, character not in it") << u"[abc]x"_s << u"dx"_s << false;
    QTest::newRow("range") << u"[a-c]"_s << u"b"_s << true;
    QTest::newRow("range, outside") << u"[a-c]"_s << u"d"_s << false;
    QTest::newRow("ranges and single characters") << u"[0-9x-zş]"_s << u"ş"_s << true;
    QTest::newRow("negated list") << u"[!a-c]x"_s << u"dx"_s << true;
    QTest::newRow("negated list, character in it") << u"[!a-c]x"_s << u"bx"_s << false;
    QTest::newRow("list takes one character") << u"[ab]"_s << u"ab"_s << false;
    QTest::newRow("reversed range matches nothing") << u"[z-a]"_s << u"m"_s << false;
    QTest::newRow("hyphen first is itself") << u"[-a]"_s << u"-"_s << true;
    QTest::newRow("hyphen last is itself") << u"[a-]"_s << u"-"_s << true;
    QTest::newRow("star inside a list is itself") << u"[*]"_s << u"*"_s << true;
    QTest::newRow("star inside a list, other character") << u"[*]"_s << u"x"_s << false;
    QTest::newRow("hash inside a list is itself") << u"[#]"_s << u"#"_s << true;
    QTest::newRow("hash inside a list is not a digit") << u"[#]"_s << u"5"_s << false;
    QTest::newRow("open bracket inside a list") << u"[[]"_s << u"["_s << true;
    QTest::newRow("closing bracket alone is itself") << u"a]"_s << u"a]"_s << true;
    QTest::newRow("exclamation mark outside a list is itself") << u"!a"_s << u"!a"_s << true;
    QTest::newRow("empty list stands for nothing") << u"a[]b"_s << u"ab"_s << true;
    QTest::newRow("unclosed bracket matches nothing") << u"[abc"_s << u"a"_s << false;
    QTest::newRow("unclosed bracket after a star") << u"*[a"_s << u"x[a"_s << false;
    QTest::newRow("unclosed bracket, text equal to the pattern") << u"a[b"_s << u"a[b"_s << false;
    QTest::newRow("unclosed negated list") << u"[!"_s << u"x"_s << false;
    QTest::newRow("back-tracking to the last star") << u"*aab"_s << u"aaab"_s << true;
    QTest::newRow("two stars") << u"*ab*ab*"_s << u"xabyab"_s << true;
    QTest::newRow("order counts") << u"a*b*c"_s << u"acb"_s << false;
    QTest::newRow("star then list") << u"*[0-9]"_s << u"abc7"_s << true;
    QTest::newRow("star then hash then literal") << u"*#3"_s << u"12a3"_s << false;
    QTest::newRow("Turkish letters compared exactly") << u"*ş*"_s << u"kaşar"_s << true;
}

void TurkishTest::wildcard()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    const WildcardPattern compiled(pattern);
    QCOMPARE(compiled.matches(text), matches);
}

// A pattern that makes naive back-tracking explode must still end (and
// give the right answer) over a long text.
void TurkishTest::wildcard_manyStarsOverLongText()
{
    const QString text(20000, u'a');
    QVERIFY(!WildcardPattern(u"*a*a*a*a*a*a*a*a*a*a*b"_s).matches(text));
    QVERIFY(WildcardPattern(u"*a*a*a*a*a*a*a*a*a*a*"_s).matches(text));
    QVERIFY(!WildcardPattern(u"*?????????????????????b*"_s).matches(text));
}

void TurkishTest::contactSearch_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("mobile");
    QTest::addColumn<bool>("matches");

    QTest::newRow("empty search matches everyone") << QString() << u"Ali"_s << u"Kaya"_s << QString() << true;
    QTest::newRow("part of the name") << u"yşe"_s << u"Ayşe"_s << u"Kaya"_s << QString() << true;
    QTest::newRow("across name and surname") << u"Ali K"_s << u"Ali"_s << u"Kaya"_s << QString() << true;
    QTest::newRow("across surname and mobile") << u"Kaya 05"_s << u"Ali"_s << u"Kaya"_s << u"0532"_s << true;
    QTest::newRow("mobile number") << u"532"_s << u"Ali"_s << u"Kaya"_s << u"05321234567"_s << true;
    QTest::newRow("letter case counts") << u"ali"_s << u"Ali"_s << u"Kaya"_s << QString() << false;
    QTest::newRow("Turkish capitals folded on both sides") << u"IŞIK"_s << u"Can"_s << u"IŞIK"_s << QString() << true;
    QTest::newRow("dotless and dotted I") << u"I"_s << u"İpek"_s << u"Su"_s << QString() << false;
    QTest::newRow("search İ finds i") << u"İp"_s << u"ipek"_s << QString() << QString() << true;
    QTest::newRow("search Ş finds ş") << u"Şen"_s << u"Ali"_s << u"şen"_s << QString() << true;
    QTest::newRow("other capitals are not folded") << u"KAYA"_s << u"Ali"_s << u"Kaya"_s << QString() << false;
    QTest::newRow("wildcard over the number") << u"05##1"_s << u"Ali"_s << QString() << u"05321"_s << true;
    QTest::newRow("wildcard, no match") << u"05##9"_s << u"Ali"_s << QString() << u"05321"_s << false;
    QTest::newRow("list") << u"[AV]eli"_s << u"Veli"_s << QString() << QString() << true;
    QTest::newRow("star alone matches everyone") << u"*"_s << u"Ali"_s << QString() << QString() << true;
    QTest::newRow("unclosed bracket matches nobody") << u"[Ali"_s << u"[Ali"_s << QString() << QString() << false;
    QTest::newRow("plain search with closing bracket") << u"a]"_s << u"la]"_s << QString() << QString() << true;
    QTest::newRow("plain search longer than the text") << u"Ali Kaya 0532 ek"_s << u"Ali"_s << u"Kaya"_s
                                                      << u"0532"_s << false;
    QTest::newRow("blank between the parts is one") << u"Ali  Kaya"_s << u"Ali"_s << u"Kaya"_s << QString() << false;
    QTest::newRow("empty name still has its blank") << u" Kaya"_s << QString() << u"Kaya"_s << QString() << true;
}

void TurkishTest::contactSearch()
{
    QFETCH(QString, search);
    QFETCH(QString, name);
    QFETCH(QString, surname);
    QFETCH(QString, mobile);
    QFETCH(bool, matches);

    const ContactSearch contactSearch(search);
    QCOMPARE(contactSearch.isEmpty(), search.isEmpty());
    QCOMPARE(contactSearch.matches(name, surname, mobile), matches);
    // The search keeps a buffer between calls: after a longer contact the
    // answer for this one is still the same.
    contactSearch.matches(name + name + name, surname + surname, mobile + mobile);
    QCOMPARE(contactSearch.matches(name, surname, mobile), matches);
    // The plain path and the wildcard path agree.
    const WildcardPattern pattern(u'*' + FoldTurkishLower(search) + u'*');
    if (!search.isEmpty())
        QCOMPARE(pattern.matches(FoldTurkishLower(name + u' ' + surname + u' ' + mobile)), matches);
}

void TurkishTest::messagePartCount_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("parts");

    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("159") << 159 << 1;
    QTest::newRow("160") << 160 << 1;
    QTest::newRow("161") << 161 << 2;
    QTest::newRow("320") << 320 << 2;
    QTest::newRow("321") << 321 << 3;
    QTest::newRow("no upper limit") << 16001 << 101;
}

void TurkishTest::messagePartCount()
{
    QFETCH(int, length);
    QFETCH(int, parts);
    QCOMPARE(MessagePartCount(length), parts);
}

QTEST_GUILESS_MAIN(TurkishTest)
#include "tst_turkish.moc"
