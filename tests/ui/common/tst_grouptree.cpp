// The shared group tree with trees no real phone book has: a chain of groups
// tens of thousands deep opens the phone book and the send window, each
// group keeps its node in list order, and the chain is shown down to the
// deepest level the tree allows, the rest beside it there.

#include "../send/fakeservice.h"
#include "testsupport.h"

#include "model/session.h"
#include "model/snapshot.h"
#include "service/service.h"
#include "service/transport.h"
#include "ui/common/grouptree.h"
#include "ui/phonebook/frm_tanim_rehber.h"
#include "ui/send/frm_gonder.h"

#include <QStandardPaths>
#include <QTest>

#include <memory>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

constexpr int kChainLength = 30000;

// Customer 1001 with groups 1 .. count, each under the one before, and one
// contact in the deepest group.
QString chainPayload(int count)
{
    QStringList customer(CustomerRecord::FieldCount);
    customer[0] = u"1001"_s;
    QString out = u"<Cari>"_s + customer.join(u'|') + u"<Cari><Grup>"_s;
    for (int k = 1; k <= count; ++k)
        out += u"<>%1|%2|Grup %1"_s.arg(k).arg(k - 1);
    out += u"<Grup><Adres><>500|%1|Ali|Veli|||||||05321112233||<Adres>"_s.arg(count);
    return out;
}

int levelOf(const QTreeWidgetItem *node)
{
    int level = 0;
    for (const QTreeWidgetItem *up = node->parent(); up; up = up->parent())
        ++level;
    return level;
}

// Every group has its node at its own position; the chain nests as given
// down to the deepest level, and every group below hangs at that level
// beside the group above it.
void verifyChain(const GroupTree *tree)
{
    QCOMPARE(tree->nodeCount(), kChainLength + 1);
    for (const int k : {1, 2, 50, GroupTree::MaxLevel - 1, GroupTree::MaxLevel}) {
        const QTreeWidgetItem *node = tree->nodeAtPosition(k + 1);
        QCOMPARE(GroupTree::NodeGroupNo(node), QString::number(k));
        QCOMPARE(levelOf(node), k);
        QCOMPARE(GroupTree::NodeGroupNo(node->parent()), QString::number(k - 1));
        QVERIFY(node->isExpanded());
    }
    const QTreeWidgetItem *deepestParent = tree->nodeAtPosition(GroupTree::MaxLevel);
    for (const int k : {GroupTree::MaxLevel + 1, kChainLength / 2, kChainLength}) {
        const QTreeWidgetItem *node = tree->nodeAtPosition(k + 1);
        QCOMPARE(GroupTree::NodeGroupNo(node), QString::number(k));
        QCOMPARE(levelOf(node), GroupTree::MaxLevel);
        QCOMPARE(node->parent(), deepestParent);
    }
    QCOMPARE(deepestParent->childCount(), kChainLength - GroupTree::MaxLevel + 1);
}

} // namespace

class TestGroupTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void deepChain_opensPhoneBookAndSendWindow();
};

void TestGroupTree::deepChain_opensPhoneBookAndSendWindow()
{
    test::FakeService fake;
    fake.setPayload(2, u"<SMSKontor>100<SMSKontor>"_s);
    const Service service(std::make_shared<HttpTransport>(fake.endpoint(), 3000));
    const test::MessageRecorder messages;
    Session session;
    AccountSnapshot snapshot;
    QVERIFY(LoadAccountSnapshot(snapshot, chainPayload(kChainLength)));
    session.setSnapshot(snapshot);

    {
        Frm_Tanim_Rehber phoneBook(service, session);
        phoneBook.show();
        QVERIFY(QTest::qWaitForWindowExposed(&phoneBook));
        auto *groupTree = phoneBook.findChild<GroupTree *>(u"TreeView1"_s);
        verifyChain(groupTree);
        // The deepest group is chosen like any other and lists its contact.
        groupTree->setCurrentItem(groupTree->nodeAtPosition(kChainLength + 1));
        phoneBook.FillGroupContacts();
        const auto *members = phoneBook.findChild<QAbstractItemView *>(u"ListView1"_s);
        QCOMPARE(members->model()->rowCount(), 1);
    }
    {
        Frm_Gonder send(service, session);
        send.show();
        QVERIFY(QTest::qWaitForWindowExposed(&send));
        verifyChain(send.findChild<GroupTree *>(u"TreeView1"_s));
    }
}

QTEST_MAIN(TestGroupTree)
#include "tst_grouptree.moc"
