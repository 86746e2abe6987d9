// Personalised sends carried out against the development service: what
// reaches each number, what is charged, and what a run stopped or cut short
// reports.

#include "../devserver/devserverfixture.h"
#include "model/deliveryreport.h"
#include "model/phonebook.h"
#include "model/recipient.h"
#include "model/sendplan.h"
#include "model/sendrules.h"
#include "model/sendrunner.h"
#include "text/phonenumber.h"

#include <QSignalSpy>
#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

const QString kDemo = dev::kDemoCustomerNo;

// Runs the plan's requests to their end.
SendRunSummary run(SendRunner &runner)
{
    QSignalSpy finished(&runner, &SendRunner::finished);
    runner.start();
    if (!finished.wait(20000))
        qFatal("the send run did not end");
    return runner.summary();
}

int sendCommandsReceived(const test::LiveService &live)
{
    int count = 0;
    for (const QByteArray &body : live.server->receivedBodies()) {
        if (body.startsWith("Rehber=3&"))
            ++count;
    }
    return count;
}

QList<DeliveryReportRow> report(const test::LiveService &live, const AccountSnapshot &snapshot)
{
    return ParseDeliveryReport(FetchDeliveryReport(*live.service, kDemo, u"00010101"_s, u"99993112"_s),
                               snapshot.contacts);
}

// The rows of the report whose message holds the text (the demo account
// has rows of its own).
QStringList messagesWith(const QList<DeliveryReportRow> &rows, const QString &text)
{
    QStringList found;
    for (const DeliveryReportRow &row : rows) {
        if (row.message.contains(text))
            found.append(row.phone + u' ' + row.message);
    }
    found.sort();
    return found;
}

} // namespace

class TestSendRunner : public QObject
{
    Q_OBJECT

private slots:
    void personalisedSendReachesEachNumberWithItsOwnName()
    {
        test::LiveService live;
        AccountSnapshot snapshot = live.snapshot();
        // A "Kara Liste" group with one of the staff in it, and a
        // customer's number in a group under it.
        QCOMPARE(AddGroup(*live.service, kDemo, u"0"_s, u"KARA LİSTE"_s), u"1"_s);
        snapshot = live.snapshot();
        QString listNo;
        for (const ContactGroup &g : snapshot.groups) {
            if (g.Grp_Adi == u"KARA LİSTE")
                listNo = g.Grup_No;
        }
        QVERIFY(!listNo.isEmpty());
        QCOMPARE(AddGroup(*live.service, kDemo, listNo, u"Eski"_s), u"1"_s);
        snapshot = live.snapshot();
        const QString subNo = snapshot.groups.constLast().Grup_No;
        ContactValues ali{};
        ali[FieldAdi] = u"Ali"_s;
        ali[FieldGsm] = u"05052223345"_s;
        QCOMPARE(AddContact(*live.service, kDemo, ContactData(listNo, ali)), u"1"_s);
        ContactValues ece{};
        ece[FieldAdi] = u"Ece"_s;
        ece[FieldGsm] = u"05365556677"_s;
        QCOMPARE(AddContact(*live.service, kDemo, ContactData(subNo, ece)), u"1"_s);
        snapshot = live.snapshot();

        // The staff group (Ali, Şükrü, Gülşen), Mustafa (05365556677) typed
        // by hand as the opt-out list holds him, and a number from outside.
        QList<Recipient> recipients = GroupRecipients(snapshot, u"4"_s);
        recipients.append(TypedRecipient(NormaliseMobileNumber(u"+90 536 555 66 77")));
        recipients.append(TypedRecipient(u"05551234567"_s));
        const QString message = MessageBoxText(u"Sayın {Adi} {Soyadi}, yeni sezon başladı.\nÖrnek Çiçekçilik"_s);
        const SendPlan plan = PlanSend(PersonalisedMessage(message), recipients, OptOutList(snapshot));
        QCOMPARE(plan.optedOut, 2);
        QCOMPARE(plan.sendCount, 3);
        QCOMPARE(plan.requests.size(), 3);
        QCOMPARE(plan.emptyFields.size(), 2); // the outside number has neither name

        SendRunner runner(*live.service, kDemo, u"ORNEKCICEK"_s, plan.requests);
        const SendRunSummary summary = run(runner);
        QCOMPARE(summary.sentRequests, 3);
        QCOMPARE(summary.sentRecipients, 3);
        QCOMPARE(live.server->balance(kDemo), QString::number(1000 - plan.cost));
        QCOMPARE(summary.balance, live.server->balance(kDemo));

        QCOMPARE(messagesWith(report(live, snapshot), u"yeni sezon"_s),
                 (QStringList{u"05313334456 Sayin Sukru Aksoy, yeni sezon basladi.\r\nOrnek Cicekcilik"_s,
                              u"05324445567 Sayin Gulsen Bulut, yeni sezon basladi.\r\nOrnek Cicekcilik"_s,
                              u"05551234567 Sayin  , yeni sezon basladi.\r\nOrnek Cicekcilik"_s}));
    }

    void stoppedBetweenRequestsSendsNoLaterOne()
    {
        test::LiveService live;
        const QList<Recipient> recipients = {TypedRecipient(u"05320000001"_s), TypedRecipient(u"05320000002"_s),
                                             TypedRecipient(u"05320000003"_s)};
        const SendPlan plan = PlanSend(PersonalisedMessage(u"Numaraniz {Gsm}"_s), recipients);
        QCOMPARE(plan.requests.size(), 3);

        SendRunner runner(*live.service, kDemo, u"ORNEKCICEK"_s, plan.requests);
        QList<qsizetype> started;
        connect(&runner, &SendRunner::requestStarted, this, [&](qsizetype index) { started.append(index); });
        // "Vazgeç" pressed while the first request is under way: its click
        // arrives after it, before the second.
        connect(&runner, &SendRunner::requestFinished, &runner, &SendRunner::stop);
        const SendRunSummary summary = run(runner);

        QCOMPARE(started, QList<qsizetype>{0});
        QCOMPARE(sendCommandsReceived(live), 1);
        QCOMPARE(runner.results(),
                 (QList<RequestResult>{RequestResult::Sent, RequestResult::NotSent, RequestResult::NotSent}));
        QCOMPARE(summary.sentRecipients, 1);
        QCOMPARE(summary.notSentRecipients, 2);
        QVERIFY(summary.stopped);
        QCOMPARE(live.server->balance(kDemo), u"999"_s);
        QCOMPARE(SendRunSummaryText(summary), u"1 numaraya gönderildi, 2 numaraya gönderilmedi."_s);
    }

    void lostReplyIsAnUnknownOutcomeAndEndsTheRun()
    {
        test::LiveService live;
        // The service carries the send out, then the reply is cut short.
        live.server->setFault(u"truncate"_s, {3});
        const SendPlan plan = PlanSend(PersonalisedMessage(u"{Gsm}"_s),
                                       {TypedRecipient(u"05320000001"_s), TypedRecipient(u"05320000002"_s)});
        SendRunner runner(*live.service, kDemo, u"ORNEKCICEK"_s, plan.requests);
        const SendRunSummary summary = run(runner);
        QCOMPARE(runner.results(), (QList<RequestResult>{RequestResult::Unknown, RequestResult::NotSent}));
        QCOMPARE(sendCommandsReceived(live), 1);
        QCOMPARE(summary.unknownRecipients, 1);
        QVERIFY(SendRunSummaryText(summary).contains(u"sonucu bilinmiyor"_s));
    }

    void refusedRequestsAreCountedAndTheRunGoesOn()
    {
        test::LiveService live;
        live.server->setBalance(kDemo, u"1"_s);
        const SendPlan plan = PlanSend(PersonalisedMessage(u"{Gsm} "_s + QString(200, u'x')),
                                       {TypedRecipient(u"05320000001"_s), TypedRecipient(u"05320000002"_s)});
        SendRunner runner(*live.service, kDemo, u"ORNEKCICEK"_s, plan.requests);
        const SendRunSummary summary = run(runner);
        QCOMPARE(runner.results(), (QList<RequestResult>{RequestResult::Refused, RequestResult::Refused}));
        QCOMPARE(summary.refusedRecipients, 2);
        QCOMPARE(summary.balance, u"-1"_s);
        QCOMPARE(live.server->balance(kDemo), u"1"_s);
    }
};

QTEST_GUILESS_MAIN(TestSendRunner)
#include "tst_sendrunner.moc"
