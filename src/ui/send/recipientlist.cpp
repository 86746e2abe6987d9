#include "ui/send/recipientlist.h"

#include "model/sendrules.h"

#include <algorithm>
#include <vector>

namespace velmor {

namespace {

bool recordNumberLess(const Contact &a, const Contact &b)
{
    return a.Adr_K_No < b.Adr_K_No;
}

} // namespace

void RecipientList::clear()
{
    m_recipients.clear();
    m_chosenKeys.clear();
    m_chosenOrder.clear();
    m_chosenSet.clear();
    count();
}

void RecipientList::choose(const QString &markKey)
{
    m_chosenSet.insert(markKey);
    m_chosenKeys += markKey;
    m_chosenOrder.append(markKey);
}

bool RecipientList::addContacts(const QList<Contact> &contacts)
{
    QList<Contact> added;
    for (const Contact &contact : contacts) {
        if (m_chosenSet.contains(contact.MarkKey))
            continue;
        choose(contact.MarkKey);
        added.append(contact);
    }
    if (added.isEmpty())
        return false;
    dropOutsideNumbersOf(added);
    merge(std::move(added));
    count();
    return true;
}

qsizetype RecipientList::addNumbers(const QStringList &numbers)
{
    // Every number already chosen, as a contact's or from outside.
    QSet<QString> chosenNumbers;
    chosenNumbers.reserve(m_recipients.size() + numbers.size());
    for (const Contact &recipient : std::as_const(m_recipients)) {
        if (HasNumberToSend(recipient))
            chosenNumbers.insert(ComparableNumber(recipient.Adr_GSM_No));
    }
    QList<Contact> added;
    qsizetype repeated = 0;
    for (const QString &number : numbers) {
        if (chosenNumbers.contains(number)) {
            ++repeated;
            continue;
        }
        chosenNumbers.insert(number);
        Contact recipient = OutsideRecipient(number);
        choose(recipient.MarkKey);
        added.append(std::move(recipient));
    }
    if (!added.isEmpty()) {
        merge(std::move(added));
        count();
    }
    return repeated;
}

void RecipientList::merge(QList<Contact> added)
{
    // Sort the new rows and merge them in, instead of inserting one by one.
    std::stable_sort(added.begin(), added.end(), recordNumberLess);
    const qsizetype oldCount = m_recipients.size();
    m_recipients.append(std::move(added));
    std::inplace_merge(m_recipients.begin(), m_recipients.begin() + oldCount, m_recipients.end(),
                       recordNumberLess);
}

void RecipientList::dropOutsideNumbersOf(const QList<Contact> &added)
{
    if (m_outside == 0)
        return;
    QSet<QString> numbers;
    numbers.reserve(added.size());
    for (const Contact &contact : added) {
        if (HasNumberToSend(contact))
            numbers.insert(ComparableNumber(contact.Adr_GSM_No));
    }
    QList<int> rows;
    for (qsizetype i = 0; i < m_recipients.size(); ++i) {
        const Contact &recipient = m_recipients.at(i);
        if (IsOutsideRecipient(recipient) && numbers.contains(recipient.Adr_GSM_No))
            rows.append(int(i));
    }
    if (!rows.isEmpty())
        removeAt(rows);
}

void RecipientList::removeAt(const QList<int> &rows)
{
    if (rows.isEmpty())
        return;
    QSet<QString> removed;
    removed.reserve(rows.size());
    std::vector<char> drop(std::size_t(m_recipients.size()), 0);
    for (const int row : rows) {
        drop[std::size_t(row)] = 1;
        removed.insert(m_recipients.at(row).MarkKey);
    }
    // Kept in order, moved down in place: no contact is copied.
    qsizetype kept = 0;
    const qsizetype size = m_recipients.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (drop[std::size_t(i)])
            continue;
        if (kept != i)
            m_recipients[kept] = std::move(m_recipients[i]);
        ++kept;
    }
    m_recipients.resize(kept);

    // Rebuild the text form and the order in one pass over the keys.
    QString keys;
    keys.reserve(m_chosenKeys.size());
    QStringList order;
    order.reserve(m_chosenOrder.size());
    for (const QString &key : std::as_const(m_chosenOrder)) {
        if (removed.contains(key))
            continue;
        keys += key;
        order.append(key);
    }
    m_chosenKeys = std::move(keys);
    m_chosenOrder = std::move(order);
    for (const QString &key : std::as_const(removed))
        m_chosenSet.remove(key);
    count();
}

void RecipientList::count()
{
    m_reachable = 0;
    m_outside = 0;
    for (const Contact &recipient : std::as_const(m_recipients)) {
        if (HasNumberToSend(recipient))
            ++m_reachable;
        if (IsOutsideRecipient(recipient))
            ++m_outside;
    }
}

} // namespace velmor
