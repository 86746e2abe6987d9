// The guarded field: separators the service cannot store are never typed
// in, a typing limit never cuts what the program puts in, and the key rules.

#include "text/storedtext.h"
#include "ui/common/guardedlineedit.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {
// Types text key by key, Turkish letters included (keyClicks takes Latin-1 only).
void type(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}
} // namespace

class GuardedLineEditTest : public QObject
{
    Q_OBJECT

private slots:
    void separatorsAreNotTyped();
    void typingLimitLeavesStoredValuesWhole();
    void keyRules();
    void valuesPutInWhole_withoutControlCharacters();
};

void GuardedLineEditTest::separatorsAreNotTyped()
{
    GuardedLineEdit edit;
    QTest::keyClicks(&edit, u"a|b<c>d"_s);
    QCOMPARE(edit.text(), u"abcd"_s);

    // A pasted value goes in as it is; the save has to refuse it.
    QApplication::clipboard()->setText(u"x|y"_s);
    edit.paste();
    QVERIFY(HoldsStoreSeparator(edit.text()));
    QVERIFY(StoreSeparatorMessage(u"Adı :"_s).contains(u"Adı :"_s));
}

void GuardedLineEditTest::typingLimitLeavesStoredValuesWhole()
{
    GuardedLineEdit edit;
    edit.setTypingLimit(11);
    QTest::keyClicks(&edit, u"ABCDEFGHIJKLMN"_s);
    QCOMPARE(edit.text(), u"ABCDEFGHIJK"_s);

    // A stored value longer than the limit is shown whole and cannot grow.
    edit.setText(u"UZUNGONDERICIADI"_s);
    QCOMPARE(edit.text(), u"UZUNGONDERICIADI"_s);
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClicks(&edit, u"X"_s);
    QCOMPARE(edit.text(), u"UZUNGONDERICIADI"_s);
    // Shortened below the limit, the limit holds again.
    edit.setText(QString());
    edit.setText(u"KISA"_s);
    QTest::keyClicks(&edit, u"1234567890"_s);
    QCOMPARE(edit.text(), u"KISA1234567"_s);
}

void GuardedLineEditTest::keyRules()
{
    GuardedLineEdit digits;
    digits.setKeyRule(GuardedLineEdit::KeyRule::Digits);
    QTest::keyClicks(&digits, u"05a3-2 1"_s);
    QCOMPARE(digits.text(), u"05321"_s);
    QTest::keyClick(&digits, Qt::Key_Backspace);
    QCOMPARE(digits.text(), u"0532"_s);

    GuardedLineEdit folded;
    folded.setKeyRule(GuardedLineEdit::KeyRule::FoldTurkish);
    type(&folded, u"İŞÇİ'|ş"_s);
    QCOMPARE(folded.text(), u"ISCI s"_s);
}

void GuardedLineEditTest::valuesPutInWhole_withoutControlCharacters()
{
    // Longer than QLineEdit's own limit of 32767 characters: not cut.
    GuardedLineEdit edit;
    const QString longValue(40000, u'a');
    edit.setText(longValue);
    QCOMPARE(edit.text(), longValue);

    GuardedLineEdit limited;
    limited.setTypingLimit(11);
    limited.setText(u"UZUN\u0000GONDERICI\tADI"_s);
    QCOMPARE(limited.text(), u"UZUNGONDERICI ADI"_s);
    QCOMPARE(WithoutControlCharacters(u"a\r\n\u0000\nb\u007f\u009fc\td"_s), u"a bc d"_s);
}

QTEST_MAIN(GuardedLineEditTest)
#include "tst_guardedlineedit.moc"
