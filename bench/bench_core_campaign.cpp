// Benchmarks of preparing a send: a personalised message to 10,000
// contacts of the large account, and a send to 100,000 numbers read from a
// file.
//
// Aims: the personalised send's plan (each recipient's text, one SMS per
// phone, the opt-out list, grouping by text and the cost) under 100 ms; the
// file send (reading and normalising the file, de-duplicating, the cost and
// the body of command 3, coded) under 1 s.

#include "largeaccount.h"
#include "model/numberfile.h"
#include "model/recipient.h"
#include "model/sendplan.h"
#include "model/sendrules.h"
#include "model/snapshot.h"
#include "service/coding.h"
#include "service/service.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

using namespace velmor;
using namespace velmor::bench;
using namespace Qt::StringLiterals;

namespace {

constexpr int kPersonalised = 10000;
constexpr int kFileNumbers = 100000;

const AccountSnapshot &snapshot()
{
    static const AccountSnapshot s = [] {
        AccountSnapshot loaded;
        LoadAccountSnapshot(loaded, makeAccountPayload());
        // An opt-out list of 200 of the account's contacts.
        loaded.groups.append({u"5000"_s, u"0"_s, u"Kara Liste"_s, TenDigitKey(u"5000"_s)});
        for (int i = 0; i < 200; ++i)
            loaded.contacts.setText(i * 50, ContactText::Grup_No, u"5000"_s);
        return loaded;
    }();
    return s;
}

void BM_PlanPersonalisedSend(benchmark::State &state)
{
    QList<Recipient> recipients;
    for (int i = 0; i < kPersonalised; ++i)
        recipients.append(RecipientFromContact(snapshot().contacts.at(i)));
    const OptOutList optOut(snapshot());
    const PersonalisedMessage message(
        MessageBoxText(u"Sayın {AdSoyad}, {Il} mağazamızda yeni sezon indirimleri başladı. Örnek Çiçekçilik"_s));
    SendPlan plan;
    for (auto _ : state) {
        plan = PlanSend(message, recipients, optOut);
        benchmark::DoNotOptimize(plan.cost);
    }
    state.counters["recipients"] = double(recipients.size());
    state.counters["sms"] = double(plan.sendCount);
    state.counters["requests"] = double(plan.requests.size());
    state.counters["opted_out"] = double(plan.optedOut);
}
BENCHMARK(BM_PlanPersonalisedSend)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BuildOptOutList(benchmark::State &state)
{
    for (auto _ : state) {
        const OptOutList optOut(snapshot());
        benchmark::DoNotOptimize(optOut.size());
    }
    state.counters["contacts"] = double(snapshot().contacts.size());
}
BENCHMARK(BM_BuildOptOutList)->Unit(benchmark::kMillisecond)->UseRealTime();

// The service side of a send: takes the bodies and answers with a balance.
class AnsweringTransport final : public Transport
{
public:
    QByteArray post(const QByteArray &body) override
    {
        bodyBytes += body.size();
        setLastOutcome(RequestOutcome::Answered);
        return m_reply;
    }
    qint64 bodyBytes = 0;

private:
    QByteArray m_reply = "<Rehber>" + CodeText(u"<SMSGonderim>900<SMSGonderim>"_s, u"0"_s).toLatin1() + "<Rehber>";
};

// 100,000 numbers as people write them, some twice.
QString writeNumberFile(const QTemporaryDir &dir)
{
    Lcg rng;
    QByteArray text;
    for (int i = 0; i < kFileNumbers; ++i) {
        const quint32 n = i % 20 == 19 ? 300000000 + (rng.next() % 1000) : 300000000 + rng.next() % 99999999;
        const QByteArray digits = QByteArray::number(n);
        switch (i % 4) {
        case 0: text += "05" + digits; break;
        case 1: text += "+90 5" + digits.left(2) + ' ' + digits.mid(2, 3) + ' ' + digits.mid(5, 2) + ' ' + digits.mid(7); break;
        case 2: text += "(05" + digits.left(2) + ") " + digits.mid(2, 3) + '-' + digits.mid(5); break;
        default: text += "5" + digits; break;
        }
        text += '\n';
    }
    const QString path = dir.filePath(u"numaralar.txt"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return {};
    return path;
}

void BM_PrepareFileSend(benchmark::State &state)
{
    const QTemporaryDir dir;
    const QString path = writeNumberFile(dir);
    if (path.isEmpty()) {
        state.SkipWithError("the number file could not be written");
        return;
    }
    const auto transport = std::make_shared<AnsweringTransport>();
    const Service service(transport);
    const PersonalisedMessage message(MessageBoxText(u"Sayın müşterimiz, kampanyamız yarın başlıyor."_s));
    SendPlan plan;
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("the number file could not be read");
            return;
        }
        const MobileNumberList read = ReadNumberFile(file.readAll());
        QList<Recipient> recipients;
        recipients.reserve(read.numbers.size());
        for (const QString &number : read.numbers)
            recipients.append(TypedRecipient(number));
        plan = PlanSend(message, recipients);
        for (const PlannedRequest &request : plan.requests) {
            const QString reply = SendSms(service, u"7"_s, u"ORNEKCICEK"_s, u"1"_s, MessageForSending(request.text),
                                          request.telephoneList(), QString::number(request.parts));
            benchmark::DoNotOptimize(reply.constData());
        }
    }
    state.counters["numbers"] = double(kFileNumbers);
    state.counters["sms"] = double(plan.sendCount);
    state.counters["repeats"] = double(plan.repeats);
    state.counters["body_MB"] = double(transport->bodyBytes) / double(state.iterations()) / 1e6;
}
BENCHMARK(BM_PrepareFileSend)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Build the inputs before any timing starts.
    snapshot();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
