#include "model/snapshot.h"

#include "service/service.h"

#include <algorithm>

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

// Calls rowFn(fields, count) for every "<>"-row after the first piece, with
// the row cut at "|" into at most maxFields fields (further ones are ignored,
// missing ones stay empty).
template<int MaxFields, typename RowFn>
void forEachRow(QStringView section, RowFn rowFn)
{
    const QStringView rowSeparator = u"<>";
    qsizetype pos = section.indexOf(rowSeparator);
    while (pos >= 0) {
        const qsizetype rowStart = pos + rowSeparator.size();
        const qsizetype next = section.indexOf(rowSeparator, rowStart);
        const QStringView row = next < 0 ? section.sliced(rowStart) : section.sliced(rowStart, next - rowStart);
        std::array<QStringView, MaxFields> fields{};
        int count = 0;
        qsizetype fieldStart = 0;
        while (count < MaxFields) {
            const qsizetype bar = row.indexOf(u'|', fieldStart);
            if (bar < 0) {
                fields[std::size_t(count++)] = row.sliced(fieldStart);
                break;
            }
            fields[std::size_t(count++)] = row.sliced(fieldStart, bar - fieldStart);
            fieldStart = bar + 1;
        }
        rowFn(fields);
        pos = next;
    }
}

} // namespace

QString TenDigitKey(const QString &number)
{
    QStringView digits = number;
    QStringView sign;
    if (!digits.isEmpty() && (digits.front() == u'-' || digits.front() == u'+')) {
        sign = digits.first(1);
        digits = digits.sliced(1);
    }
    const bool allDigits = !digits.isEmpty()
        && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!allDigits)
        return number;
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

QString MakeMarkKey(const QString &recordNo)
{
    return u'#' + TenDigitKey(recordNo) + u'#';
}

bool LoadAccountSnapshot(AccountSnapshot &snapshot, const QString &payload)
{
    const QStringView customerSection = secondPiece(payload, u"<Cari>");
    if (customerSection.isNull())
        return false;

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

    const QStringView groupSection = secondPiece(payload, u"<Grup>");
    forEachRow<3>(groupSection, [&fresh](const std::array<QStringView, 3> &f) {
        ContactGroup group;
        group.Grup_No = f[0].toString();
        group.Grp_Ust_Grup_No = f[1].toString();
        group.Grp_Adi = f[2].toString();
        group.SortKey = TenDigitKey(group.Grup_No);
        fresh.groups.append(std::move(group));
    });
    std::stable_sort(fresh.groups.begin(), fresh.groups.end(),
                     [](const ContactGroup &a, const ContactGroup &b) { return a.SortKey < b.SortKey; });

    const QStringView contactSection = secondPiece(payload, u"<Adres>");
    forEachRow<12>(contactSection, [&fresh](const std::array<QStringView, 12> &f) {
        Contact contact;
        contact.Adr_K_No = f[0].toString();
        contact.Grup_No = f[1].toString();
        contact.Adr_Adi = f[2].toString();
        contact.Adr_Soyadi = f[3].toString();
        contact.Adr_Adres1 = f[4].toString();
        contact.Adr_Adres2 = f[5].toString();
        contact.Adr_Adres3 = f[6].toString();
        contact.Adr_ilce = f[7].toString();
        contact.Adr_il = f[8].toString();
        contact.Adr_GSM_No = f[9].toString();
        contact.Adr_Tel_No = f[10].toString();
        contact.Adr_Fax_No = f[11].toString();
        contact.MarkKey = MakeMarkKey(contact.Adr_K_No);
        fresh.contacts.append(std::move(contact));
    });

    snapshot = std::move(fresh);
    return true;
}

RefreshResult RefreshAccountSnapshot(const Service &service, AccountSnapshot &snapshot, const QString &customerNo)
{
    return LoadAccountSnapshot(snapshot, FetchAccountData(service, customerNo)) ? RefreshResult::Loaded
                                                                                : RefreshResult::KeptOld;
}

} // namespace velmor
