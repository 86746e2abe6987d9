// Sort ranks of many texts against a plain comparison sort of the same texts:
// Turkish alphabetical order as QCollator gives it, code-unit order as
// QString compares. The texts are made to hit the places where a sort a few
// bytes at a time goes wrong: keys that are the beginning of others, long
// shared beginnings, texts the alphabet finds equal, repeats and the empty text.

#include "text/textranks.h"

#include <QCollator>
#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <numeric>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

QStringList hardTexts()
{
    // Letters Turkish orders apart from English, letter case, an accent the
    // alphabet passes over at first, a zero-width joiner it ignores.
    const QString alphabet = u"cçCÇiıİIoöOÖsşuüaâ \u200d9"_s;
    const QString shared = u"Sayın müşterimiz, kampanyamız "_s.repeated(3);
    QRandomGenerator rng(20240315);
    QStringList texts{QString(), QString(), u"a"_s, u"A"_s, u"â"_s, shared, shared + u"a"_s};
    for (int i = 0; i < 3000; ++i) {
        QString text = rng.bounded(3) == 0 ? shared : QString();
        const int length = int(rng.bounded(12));
        for (int k = 0; k < length; ++k)
            text += alphabet.at(rng.bounded(int(alphabet.size())));
        texts << text;
        // A repeat in the same string and one in a string of its own, and a
        // text that goes on from this one.
        if (rng.bounded(5) == 0)
            texts << text << QString(text.constData(), text.size())
                  << text + alphabet.at(rng.bounded(int(alphabet.size())));
    }
    return texts;
}

// Ranks from a comparison sort: equal texts share one, the next different
// text gets the next.
template<typename Less> QList<int> referenceRanks(const QStringList &texts, Less less)
{
    QList<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(texts.at(a), texts.at(b)); });
    QList<int> ranks(texts.size());
    int rank = 0;
    for (qsizetype i = 0; i < order.size(); ++i) {
        if (i > 0 && texts.at(order.at(i - 1)) != texts.at(order.at(i)))
            ++rank;
        ranks[order.at(i)] = rank;
    }
    return ranks;
}

QList<QStringView> views(const QStringList &texts)
{
    return {texts.cbegin(), texts.cend()};
}

} // namespace

class TextRanksTest : public QObject
{
    Q_OBJECT

private slots:
    void ranks_agreeWithAComparisonSort();
};

void TextRanksTest::ranks_agreeWithAComparisonSort()
{
    const QStringList texts = hardTexts();

    QCOMPARE(CodeUnitRanks(views(texts)), referenceRanks(texts, std::less<QString>()));

    QCollator collator(QLocale(QLocale::Turkish, QLocale::Turkey));
    const QList<int> turkish = TurkishRanks(views(texts));
    QCOMPARE(turkish, referenceRanks(texts, [&](const QString &a, const QString &b) {
                 const int c = collator.compare(a, b);
                 return c != 0 ? c < 0 : a < b;
             }));
    // A text before the ones that go on from it.
    QVERIFY(turkish.at(5) < turkish.at(6));
    QVERIFY(TurkishRanks({}).isEmpty());
    // c, ç, d, ı, i.
    QCOMPARE(TurkishRanks({u"i", u"ı", u"ç", u"d", u"c"}), (QList<int>{4, 3, 1, 2, 0}));
}

QTEST_GUILESS_MAIN(TextRanksTest)
#include "tst_textranks.moc"
