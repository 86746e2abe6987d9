#include "model/snapshot.h"

#include "model/rowsplit.h"
#include "service/service.h"
#include "text/number.h"
#include "text/turkish.h"

#include <algorithm>
#include <cstring>

namespace velmor {

namespace {

// The second piece of text cut at each tag: the text after the first tag, up
// to the next one or to the end. Null when the tag does not occur.
QStringView secondPiece(QStringView text, QStringView tag)
{
    const qsizetype first = text.indexOf(tag);
    if (first < 0)
        return {};
    const qsizetype start = first + tag.size();
    const qsizetype end = text.indexOf(tag, start);
    return end < 0 ? text.sliced(start) : text.sliced(start, end - start);
}

// Writes "0000000042" for "42" at w when the number is one to ten plain
// digits (the common case, without any allocation); false otherwise.
bool writeTenDigits(QStringView number, char16_t *w)
{
    const qsizetype n = number.size();
    if (n == 0 || n > 10)
        return false;
    for (const QChar ch : number) {
        if (ch < u'0' || ch > u'9')
            return false;
    }
    for (qsizetype i = 0; i < 10 - n; ++i)
        *w++ = u'0';
    std::memcpy(w, number.utf16(), std::size_t(n) * sizeof(char16_t));
    return true;
}

} // namespace

QString TenDigitKey(QStringView number)
{
    QString fast(10, Qt::Uninitialized);
    if (writeTenDigits(number, reinterpret_cast<char16_t *>(fast.data())))
        return fast;

    QStringView digits = number;
    QStringView sign;
    if (!digits.isEmpty() && (digits.front() == u'-' || digits.front() == u'+')) {
        sign = digits.first(1);
        digits = digits.sliced(1);
    }
    const bool allDigits = !digits.isEmpty()
        && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!allDigits)
        return number.toString();
    // Leading zeros in the input do not count towards the ten digits.
    qsizetype firstNonZero = 0;
    while (firstNonZero + 1 < digits.size() && digits[firstNonZero] == u'0')
        ++firstNonZero;
    digits = digits.sliced(firstNonZero);
    QString key;
    if (sign == u"-" && digits != u"0")
        key += u'-';
    if (digits.size() < 10)
        key += QString(10 - digits.size(), u'0');
    key += digits;
    return key;
}

void WriteMarkKey(QStringView recordNo, QString &key)
{
    key.resize(12);
    char16_t *w = reinterpret_cast<char16_t *>(key.data());
    if (writeTenDigits(recordNo, w + 1)) {
        w[0] = u'#';
        w[11] = u'#';
        return;
    }
    key = u'#' + TenDigitKey(recordNo) + u'#';
}

QString MakeMarkKey(QStringView recordNo)
{
    QString key;
    WriteMarkKey(recordNo, key);
    return key;
}

bool IsTopLevelGroup(const ContactGroup &group)
{
    return LeadingNumber(group.Grp_Ust_Grup_No) == 0;
}

QString AccountTooLargeMessage()
{
    return QStringLiteral("Hesabınızın rehberi bu programın gösterebileceğinden büyük (en çok %L1 kişi, %L2 grup; "
                          "bir bilgi en çok %L3 karakter). Rehber yüklenmedi; lütfen hizmet sağlayıcınıza başvurunuz.")
        .arg(kMaxAccountContacts)
        .arg(kMaxAccountGroups)
        .arg(kMaxAccountTextLength);
}

bool LoadAccountSnapshot(AccountSnapshot &snapshot, const QString &payload, bool *overLimits)
{
    if (overLimits)
        *overLimits = false;
    const QStringView customerSection = secondPiece(payload, u"<Cari>");
    if (customerSection.isNull())
        return false;
    const auto refuse = [overLimits] {
        if (overLimits)
            *overLimits = true;
        return false;
    };

    AccountSnapshot fresh;
    fresh.hasCustomer = true;
    {
        int index = 0;
        qsizetype start = 0;
        while (index < CustomerRecord::FieldCount) {
            const qsizetype bar = customerSection.indexOf(u'|', start);
            if (bar < 0) {
                fresh.customer[index] = customerSection.sliced(start).toString();
                break;
            }
            fresh.customer[index++] = customerSection.sliced(start, bar - start).toString();
            start = bar + 1;
        }
    }

    for (const QString &field : fresh.customer.fields) {
        if (field.size() > kMaxAccountTextLength)
            return refuse();
    }

    const QStringView groupSection = secondPiece(payload, u"<Grup>");
    fresh.groups.reserve(qMin(rowCount(groupSection), kMaxAccountGroups + 1));
    bool groupsFit = true;
    forEachRow<3>(groupSection, [&fresh, &groupsFit](const std::array<QStringView, 3> &f) {
        if (!groupsFit || (f[0].isEmpty() && f[1].isEmpty() && f[2].isEmpty()))
            return;
        groupsFit = f[0].size() <= kMaxAccountTextLength && f[1].size() <= kMaxAccountTextLength
                    && f[2].size() <= kMaxAccountTextLength && fresh.groups.size() < kMaxAccountGroups;
        if (!groupsFit)
            return;
        ContactGroup &group = fresh.groups.emplaceBack();
        group.Grup_No = fieldText(f[0]);
        group.Grp_Ust_Grup_No = fieldText(f[1]);
        group.Grp_Adi = fieldText(f[2]);
        group.SortKey = TenDigitKey(group.Grup_No);
    });
    // Stable: groups with the same key keep the order of the reply.
    std::stable_sort(fresh.groups.begin(), fresh.groups.end(),
                     [](const ContactGroup &a, const ContactGroup &b) { return a.SortKey < b.SortKey; });

    const QStringView contactSection = secondPiece(payload, u"<Adres>");
    if (!groupsFit)
        return refuse();
    bool contactsFit = true;
    fresh.contacts = ContactList::fromSection(payload, contactSection, &contactsFit);
    if (!contactsFit)
        return refuse();

    // Readers see the old snapshot or the new one, never a mixture.
    snapshot = std::move(fresh);
    return true;
}

namespace {
// How many contacts ahead a search asks for their texts (their boundaries
// twice as far ahead).
constexpr qsizetype kPrefetchDistance = 8;

// The positions rowAt gives for 0 … count − 1 (−1 or beyond the list:
// none) whose contacts the search lets through, in that order. The texts of
// the contacts a few places ahead are asked for early: a search over a
// million contacts waits on memory more than it compares.
template<typename RowAt>
QList<int> filterRows(const ContactList &contacts, qsizetype count, RowAt rowAt, const ContactSearch &search)
{
    QList<int> kept;
    const qsizetype size = contacts.size();
    auto valid = [size](qsizetype row) { return row >= 0 && row < size; };
    for (qsizetype i = 0; i < count; ++i) {
        if (i + 2 * kPrefetchDistance < count && valid(rowAt(i + 2 * kPrefetchDistance)))
            contacts.prefetchBounds(rowAt(i + 2 * kPrefetchDistance));
        if (i + kPrefetchDistance < count && valid(rowAt(i + kPrefetchDistance)))
            contacts.prefetchSearchTexts(rowAt(i + kPrefetchDistance));
        const qsizetype row = rowAt(i);
        if (!valid(row))
            continue;
        const ContactRef contact = contacts.at(row);
        if (search.isEmpty() || search.matches(contact.Adr_Adi(), contact.Adr_Soyadi(), contact.Adr_GSM_No()))
            kept.append(int(row));
    }
    return kept;
}

} // namespace

QList<int> FilterContacts(const ContactList &contacts, const ContactSearch &search)
{
    const qsizetype count = contacts.size();
    if (search.isEmpty()) {
        QList<int> rows(count);
        for (qsizetype i = 0; i < count; ++i)
            rows[i] = int(i);
        return rows;
    }
    return filterRows(contacts, count, [](qsizetype i) { return i; }, search);
}

QList<int> FilterContacts(const ContactList &contacts, const QList<int> &rows, const ContactSearch &search)
{
    return filterRows(contacts, rows.size(), [&rows](qsizetype i) { return qsizetype(rows[i]); }, search);
}

namespace {
// Whether a search text holds a "[" without a "]" after it: such a pattern
// matches nothing, so what it showed says nothing about a longer text.
bool hasUnclosedList(QStringView searchText)
{
    const qsizetype open = searchText.lastIndexOf(u'[');
    return open >= 0 && searchText.indexOf(u']', open + 1) < 0;
}
} // namespace

const QList<int> &ContactFilter::apply(const ContactList &contacts, const QList<int> *candidates,
                                       const QString &text)
{
    const ContactSearch search(text);
    if (search.isEmpty() && candidates) {
        m_rows = *candidates;
    } else {
        // One more character typed: the rows the shorter text left are the
        // only ones that can still match.
        const bool narrowing =
            m_valid && text.startsWith(m_text) && text != m_text && !hasUnclosedList(m_text);
        if (narrowing)
            m_rows = FilterContacts(contacts, m_rows, search);
        else
            m_rows = candidates ? FilterContacts(contacts, *candidates, search) : FilterContacts(contacts, search);
    }
    m_text = text;
    m_valid = true;
    return m_rows;
}

RefreshResult RefreshAccountSnapshot(const Service &service, AccountSnapshot &snapshot, const QString &customerNo)
{
    bool overLimits = false;
    if (LoadAccountSnapshot(snapshot, FetchAccountData(service, customerNo), &overLimits))
        return RefreshResult::Loaded;
    return overLimits ? RefreshResult::TooLarge : RefreshResult::KeptOld;
}

} // namespace velmor
