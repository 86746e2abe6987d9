// The group family a delete takes with it, and the group its contacts go
// to: breadth first, each group once even when the parents form a cycle.

#include "model/phonebook.h"

#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {
// Groups from "number|parent" texts, in the given order.
QList<ContactGroup> groups(const QStringList &rows)
{
    QList<ContactGroup> out;
    for (const QString &row : rows) {
        const QStringList f = row.split(u'|');
        out.append({f[0], f[1], u"G"_s + f[0], TenDigitKey(f[0])});
    }
    return out;
}
} // namespace

class PhoneBookRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void groupFamily_data();
    void groupFamily();
};

void PhoneBookRulesTest::groupFamily_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("upper");

    const QStringList tree{u"1|0"_s, u"7|0"_s, u"9|7"_s, u"12|7"_s, u"15|9"_s, u"16|12"_s};
    QTest::newRow("children before grandchildren") << tree << u"7"_s << u"7|9|12|15|16"_s << u"1"_s;
    QTest::newRow("sub-group: its parent takes the contacts") << tree << u"9"_s << u"9|15"_s << u"7"_s;
    QTest::newRow("no sub-groups") << tree << u"16"_s << u"16"_s << u"12"_s;
    QTest::newRow("parent number compared as text") << QStringList{u"1|0"_s, u"7|0"_s, u"8|07"_s} << u"7"_s
                                                     << u"7"_s << u"1"_s;
    // Cycles in the service's data end the walk; the contacts never go to
    // a group that is deleted with them or that does not exist.
    QTest::newRow("own parent") << QStringList{u"1|0"_s, u"5|5"_s, u"6|5"_s} << u"5"_s << u"5|6"_s << u"1"_s;
    QTest::newRow("A under B under A")
        << QStringList{u"1|0"_s, u"3|4"_s, u"4|3"_s, u"5|4"_s} << u"3"_s << u"3|4|5"_s << u"1"_s;
    QTest::newRow("parent missing") << QStringList{u"1|0"_s, u"8|99"_s} << u"8"_s << u"8"_s << u"1"_s;
}

void PhoneBookRulesTest::groupFamily()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, group);
    const QList<ContactGroup> list = groups(rows);
    const QStringList family = GroupFamilyNumbers(list, group);
    QTEST(GroupFamily(list, group), "family");
    QTEST(UpperGroupNo(list, group, family), "upper");
}

QTEST_GUILESS_MAIN(PhoneBookRulesTest)
#include "tst_phonebook.moc"
