// The program speaks Turkish whatever the session language: the toolkit's
// standard buttons, menus and calendar in Turkish, while the figures and
// stamps exchanged with the service keep their form.

#include "ui/common/guardedlineedit.h"
#include "ui/common/messagebox.h"
#include "ui/common/translations.h"
#include "model/version.h"
#include "model/sendrules.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

// A caption as the user reads it: without the mnemonic marker and the
// shortcut that menus append after a tab.
QString shownText(QString caption)
{
    caption = caption.section(u'\t', 0, 0);
    return caption.remove(u'&');
}

// Opens a message box through the program's one path for them and returns
// the captions of its buttons, answering it with its last button.
QStringList buttonsOfNextBox(const std::function<void()> &open)
{
    QStringList captions;
    QTimer::singleShot(0, [&captions] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        for (QAbstractButton *button : box->buttons())
            captions << shownText(button->text());
        box->buttons().constLast()->click();
    });
    open();
    return captions;
}

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void standardButtonsAreTurkish();
    void menusAndCalendarAreTurkish();
    void serviceFiguresKeepTheirForm();
};

void TranslationsTest::initTestCase()
{
    // The session below is English (main sets it); the program is Turkish anyway.
    QCOMPARE(QLocale::system().language(), QLocale::English);
    QVERIFY2(InstallTurkishTranslations(*qApp), "Qt's Turkish translations are not installed");
    QCOMPARE(QLocale().language(), QLocale::Turkish);
}

void TranslationsTest::standardButtonsAreTurkish()
{
    QVERIFY(!MessageBox::hasHandler());
    QStringList yesNo = buttonsOfNextBox([] { MessageBox::askYesNo(nullptr, u"Velmor SMS"_s, u"Emin misiniz?"_s); });
    yesNo.sort();
    QCOMPARE(yesNo, QStringList({u"Evet"_s, u"Hayır"_s}));
    QCOMPARE(buttonsOfNextBox([] { MessageBox::show(nullptr, u"Kaydedildi."_s); }), QStringList{u"Tamam"_s});

    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
    QCOMPARE(shownText(buttons.button(QDialogButtonBox::Cancel)->text()), u"İptal"_s);
    QCOMPARE(shownText(buttons.button(QDialogButtonBox::Save)->text()), u"Kaydet"_s);
}

void TranslationsTest::menusAndCalendarAreTurkish()
{
    GuardedLineEdit field;
    field.setText(u"metin"_s);
    field.selectAll();
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList captions;
    for (const QAction *action : menu->actions())
        captions << shownText(action->text());
    for (const QString &expected : {u"Kes"_s, u"Kopyala"_s, u"Yapıştır"_s, u"Tümünü Seç"_s})
        QVERIFY2(captions.contains(expected), qPrintable(captions.join(u", "_s)));

    // Widgets made after start-up take the Turkish locale: month and day names.
    QCalendarWidget calendar;
    calendar.setCurrentPage(2026, 1);
    auto *month = calendar.findChild<QToolButton *>(u"qt_calendar_monthbutton"_s);
    QVERIFY(month);
    QCOMPARE(month->text(), u"Ocak"_s);
    QCOMPARE(calendar.locale().dayName(1), u"Pazartesi"_s);
    QCOMPARE(QLocale().toString(1234567.5, 'f', 1), u"1.234.567,5"_s);
}

void TranslationsTest::serviceFiguresKeepTheirForm()
{
    // Decimal points from the service are read as points, not as Turkish
    // thousands separators, and figures go back without grouping.
    QCOMPARE(LeadingNumber(u"1234.5"), 1234.5);
    QCOMPARE(PlainNumberText(2500.25), u"2500.25"_s);
    QCOMPARE(CreditBalanceFromPayload(u"<SMSKontor>1500.5<SMSKontor>"_s), u"1500.5"_s);
    const CostDecision cost = CalculateCost(u"1000"_s, u"161"_s, u"2000.5"_s);
    QCOMPARE(cost.cost, u"2000"_s);
    QVERIFY(cost.sendEnabled);

    // Stamps stay digits in the service's order.
    const SendStamp stamp = SplitServerTime(QString(), QDateTime(QDate(2026, 3, 9), QTime(7, 5, 4)));
    QCOMPARE(stamp.date, u"20260309"_s);
    QCOMPARE(stamp.time, u"070504"_s);
    QVERIFY(VersionText().contains(u'.'));
    QVERIFY(!VersionText().contains(u','));

    // Letter case of tags and addresses follows no Turkish rule: "I" stays "i".
    QCOMPARE(u"HTTP://VELMOR.EXAMPLE/INDIR"_s.toLower(), u"http://velmor.example/indir"_s);
}

int main(int argc, char *argv[])
{
    // An English session, as a user abroad or a fresh machine would have.
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("LANG", "en_US.UTF-8");
    qputenv("LANGUAGE", "en_US");
    QApplication app(argc, argv);
    TranslationsTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
