#include "model/contactimport.h"

#include "model/session.h"
#include "service/coding.h"
#include "service/service.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace velmor {

ContactImport::ContactImport(const Service &service, Session &session, ImportPlan plan, QObject *parent)
    : QObject(parent),
      m_service(service),
      m_session(session),
      m_plan(std::move(plan)),
      m_customerNo(session.customerNo()),
      m_groupNo(m_plan.newGroup ? QString() : m_plan.groupNo)
{
    for (qsizetype i = 0; i < m_plan.checks.size(); ++i) {
        if (m_plan.checks.at(i).accepted())
            m_rows.append(m_plan.firstRecord() + i);
    }
    m_outcomes = QList<SendOutcome>(m_rows.size(), SendOutcome::NotSent);
}

ContactImport::GroupResult ContactImport::makeGroup()
{
    QSet<QString> known;
    for (const ContactGroup &group : m_session.snapshot().groups)
        known.insert(group.Grup_No);
    if (AddGroup(m_service, m_customerNo, u"0"_s, m_plan.newGroupName) != u"1")
        return GroupResult::Refused;
    if (ReloadSnapshot(m_service, m_session) != RefreshResult::Loaded)
        return GroupResult::NotReloaded;
    // Letters the service's code page lacks come back changed; a lone new
    // number is taken when no new group bears the name.
    const QString stored = TextAsSent(m_plan.newGroupName);
    QStringList made;
    QString named;
    for (const ContactGroup &group : m_session.snapshot().groups) {
        if (known.contains(group.Grup_No))
            continue;
        made.append(group.Grup_No);
        if (group.Grp_Adi == stored)
            named = group.Grup_No;
    }
    m_groupNo = !named.isEmpty() ? named : made.size() == 1 ? made.constFirst() : QString();
    return m_groupNo.isEmpty() ? GroupResult::NotFound : GroupResult::Ready;
}

void ContactImport::start()
{
    m_running = true;
    QTimer::singleShot(0, this, &ContactImport::sendNext);
}

void ContactImport::stop()
{
    m_stopAsked = true;
}

SendOutcome ContactImport::sendRow(qsizetype k) const
{
    const ContactValues values = ImportedValues(m_plan.table.records.at(m_rows.at(k)), m_plan.mapping);
    const QString reply = AddContact(m_service, m_customerNo, ContactData(m_groupNo, values));
    if (reply == u"1")
        return SendOutcome::Added;
    return reply.isEmpty() ? SendOutcome::NoReply : SendOutcome::Refused;
}

void ContactImport::sendNext()
{
    if (!m_running)
        return;
    if (m_stopAsked || m_next >= m_rows.size()) {
        finish();
        return;
    }
    const SendOutcome outcome = sendRow(m_next);
    m_outcomes[m_next] = outcome;
    ++m_next;
    emit progressed(m_next, m_rows.size());
    if (outcome == SendOutcome::NoReply) {
        finish();
        return;
    }
    // The next record after the events that came meanwhile: paints, and a stop.
    QTimer::singleShot(0, this, &ContactImport::sendNext);
}

void ContactImport::finish()
{
    m_running = false;
    emit finished();
}

ImportSummary ContactImport::summary() const
{
    ImportSummary summary;
    for (qsizetype k = 0; k < m_rows.size(); ++k) {
        const SendOutcome outcome = m_outcomes.at(k);
        summary.added += outcome == SendOutcome::Added;
        summary.refused += outcome == SendOutcome::Refused;
        summary.unanswered += outcome == SendOutcome::NoReply;
        summary.notSent += outcome == SendOutcome::NotSent;
        if (outcome != SendOutcome::Added)
            summary.notImported.append({m_rows.at(k), SendOutcomeText(outcome)});
    }
    // The skipped records by reason, the reasons in the order they first occur.
    QList<std::pair<QString, qsizetype>> skipped;
    QHash<QString, qsizetype> reasonAt;
    for (qsizetype i = 0; i < m_plan.checks.size(); ++i) {
        const ImportCheck &check = m_plan.checks.at(i);
        if (check.accepted() || check.verdict == ImportVerdict::Blank)
            continue;
        const QString reason = ImportVerdictText(check);
        const auto at = reasonAt.constFind(reason);
        if (at == reasonAt.cend()) {
            reasonAt.insert(reason, skipped.size());
            skipped.append({reason, 1});
        } else {
            ++skipped[*at].second;
        }
        ++summary.skipped;
        summary.notImported.append({m_plan.firstRecord() + i, reason});
    }
    std::sort(summary.notImported.begin(), summary.notImported.end(),
              [](const NotImportedRecord &a, const NotImportedRecord &b) { return a.record < b.record; });
    summary.mayHaveStored = summary.added > 0 || summary.unanswered > 0;

    const QLocale locale;
    QStringList lines;
    lines.append(m_stopAsked             ? u"İçe aktarma durduruldu."_s
                 : summary.unanswered > 0 ? u"Sunucudan yanıt alınamadığı için içe aktarma durduruldu."_s
                                          : u"İçe aktarma tamamlandı."_s);
    lines.append(u"Eklenen kişi: %1"_s.arg(locale.toString(summary.added)));
    if (summary.skipped > 0) {
        lines.append(u"Atlanan satır: %1"_s.arg(locale.toString(summary.skipped)));
        for (const auto &[reason, count] : std::as_const(skipped))
            lines.append(u"    %1: %2"_s.arg(reason, locale.toString(count)));
    }
    if (summary.refused > 0)
        lines.append(u"Sunucunun kabul etmediği: %1"_s.arg(locale.toString(summary.refused)));
    if (summary.unanswered > 0)
        lines.append(u"Yanıt alınamayan (eklenmiş olabilir): %1"_s.arg(locale.toString(summary.unanswered)));
    if (summary.notSent > 0)
        lines.append(u"Gönderilmeyen: %1"_s.arg(locale.toString(summary.notSent)));
    summary.text = lines.join(u'\n');
    return summary;
}

QList<QStringList> ContactImport::notImportedTable(const ImportSummary &summary) const
{
    return NotImportedTable(m_plan.table.records, m_plan.hasHeader, m_plan.mapping, summary.notImported);
}

} // namespace velmor
