// The import controller on its own, against the development service and
// without any window: the new group found among groups another client made
// meanwhile, and a stop taken before the first record.

#include "../devserver/devserverfixture.h"

#include "model/contactimport.h"
#include "model/session.h"
#include "service/coding.h"

#include <QSignalSpy>
#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

// A plan of "name;mobile" records into a new group (or group 1 when the name is empty).
ImportPlan planOf(const QStringList &records, const QString &newGroupName = {})
{
    ImportPlan plan;
    for (const QString &record : records)
        plan.table.records.append(record.split(u';'));
    plan.mapping[FieldAdi] = 0;
    plan.mapping[FieldGsm] = 1;
    ImportOptions options;
    options.mapping = plan.mapping;
    plan.checks = CheckImportRecords(plan.table.records, options);
    plan.newGroup = !newGroupName.isEmpty();
    plan.groupNo = plan.newGroup ? QString() : u"1"_s;
    plan.newGroupName = newGroupName;
    return plan;
}

int addCommands(const dev::DevServer &server)
{
    const QList<QByteArray> &bodies = server.receivedBodies();
    return int(std::count_if(bodies.cbegin(), bodies.cend(), [](const QByteArray &b) { return b.startsWith("Rehber=8&"); }));
}

} // namespace

class ContactImportTest : public QObject
{
    Q_OBJECT

private slots:
    void newGroup_foundByStoredName_amongOthersMadeMeanwhile();
    void stopBeforeFirstRecord_sendsNothing();

private:
    void load(Session &session, const test::LiveService &live)
    {
        AccountSnapshot snapshot;
        QVERIFY(LoadAccountSnapshot(snapshot, FetchAccountData(*live.service, u"1001"_s)));
        session.setSnapshot(snapshot);
    }
};

void ContactImportTest::newGroup_foundByStoredName_amongOthersMadeMeanwhile()
{
    test::LiveService live;
    Session session;
    load(session, live);
    // Another client adds a group after this session read the phone book:
    // two numbers are new after the reload, and the name tells them apart,
    // also when the service keeps it changed ("✓" has no Windows-1254 byte).
    QCOMPARE(AddGroup(*live.service, u"1001"_s, u"0"_s, u"Başka"_s), u"1"_s);
    ContactImport import(*live.service, session, planOf({u"Ali;05321110001"_s, u";05321110002"_s}, u"Bayiler ✓"_s));
    QCOMPARE(import.makeGroup(), ContactImport::GroupResult::Ready);
    const ContactGroup *group = test::findGroup(session.snapshot(), import.groupNo());
    QVERIFY(group);
    QCOMPARE(group->Grp_Adi, TextAsSent(u"Bayiler ✓"));

    QSignalSpy finished(&import, &ContactImport::finished);
    import.start();
    QVERIFY(finished.wait(10000));
    const ImportSummary summary = import.summary();
    QCOMPARE(summary.text, u"İçe aktarma tamamlandı.\nEklenen kişi: 1\nAtlanan satır: 1\n    Adı boş: 1"_s);
    QVERIFY(summary.mayHaveStored);
    QCOMPARE(summary.notImported.size(), 1);
    QCOMPARE(summary.notImported.constFirst().record, 1);
    const AccountSnapshot after = live.snapshot();
    const auto stored = std::find_if(after.contacts.begin(), after.contacts.end(),
                                     [](ContactRef c) { return c.Adr_GSM_No() == u"05321110001"; });
    QVERIFY(stored != after.contacts.end());
    QCOMPARE((*stored).Grup_No(), import.groupNo());
}

void ContactImportTest::stopBeforeFirstRecord_sendsNothing()
{
    test::LiveService live;
    Session session;
    load(session, live);
    live.server->clearReceivedBodies();
    ContactImport import(*live.service, session, planOf({u"A;05321110001"_s, u"B;05321110002"_s}));
    QSignalSpy progressed(&import, &ContactImport::progressed);
    QSignalSpy finished(&import, &ContactImport::finished);
    import.start();
    import.stop();
    QVERIFY(finished.wait(10000));
    QCOMPARE(addCommands(*live.server), 0);
    QCOMPARE(progressed.size(), 0);
    QCOMPARE(import.outcomes(), (QList<SendOutcome>{SendOutcome::NotSent, SendOutcome::NotSent}));
    const ImportSummary summary = import.summary();
    QCOMPARE(summary.text, u"İçe aktarma durduruldu.\nEklenen kişi: 0\nGönderilmeyen: 2"_s);
    QVERIFY(!summary.mayHaveStored);
}

QTEST_GUILESS_MAIN(ContactImportTest)
#include "tst_contactimport.moc"
