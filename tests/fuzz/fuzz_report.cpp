// Delivery report rows against a plain reading of the same rules: rows at
// "<>" (the text before the first is no row), fields at "|", rows of fewer
// than five fields skipped, stamps kept only at fourteen characters, and the
// name of the first contact in list order with exactly that number (an empty
// number names nobody). The counts by state add up to the rows.
//
// Input: the contacts' numbers and names, one "number U+001F name" per line
// (U+001D between lines), then U+001E and the report text.

#include "fuzzcheck.h"

#include "model/deliveryreport.h"

namespace {

using velmor::Contact;
using velmor::DeliveryReportRow;

QList<DeliveryReportRow> plainParse(const QString &report, const QList<Contact> &contacts)
{
    QList<DeliveryReportRow> rows;
    const QStringList pieces = report.split(QStringLiteral("<>"));
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QStringList fields = pieces.at(i).split(u'|');
        if (fields.size() < 5)
            continue;
        DeliveryReportRow row;
        row.phone = fields.at(0);
        if (!row.phone.isEmpty()) {
            for (const Contact &contact : contacts) {
                if (contact.Adr_GSM_No == row.phone) {
                    row.name = contact.Adr_Adi + u' ' + contact.Adr_Soyadi;
                    break;
                }
            }
        }
        row.sent = fields.at(1).size() == 14 ? fields.at(1) : QString();
        row.settled = fields.at(2).size() == 14 ? fields.at(2) : QString();
        row.message = fields.at(3);
        row.state = fields.at(4);
        rows.append(row);
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input = velmor::fuzz::utf8(data, size);
    const qsizetype split = input.indexOf(QChar(0x1E));
    const QString book = split < 0 ? QString() : input.first(split);
    const QString report = split < 0 ? input : input.sliced(split + 1);

    QList<Contact> contacts;
    if (!book.isEmpty()) {
        for (const QString &line : book.split(QChar(0x1D))) {
            const QStringList parts = line.split(QChar(0x1F));
            Contact contact;
            contact.Adr_GSM_No = parts.at(0);
            contact.Adr_Adi = parts.value(1);
            contact.Adr_Soyadi = parts.value(2);
            contacts.append(contact);
        }
    }

    const QList<DeliveryReportRow> rows = velmor::ParseDeliveryReport(report, velmor::ContactList(contacts));
    const QList<DeliveryReportRow> expected = plainParse(report, contacts);
    FUZZ_CHECK(rows.size() == expected.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const DeliveryReportRow &got = rows.at(i);
        const DeliveryReportRow &want = expected.at(i);
        FUZZ_CHECK(got.phone == want.phone);
        FUZZ_CHECK(got.name == want.name);
        FUZZ_CHECK(got.message == want.message);
        FUZZ_CHECK(got.sent == want.sent);
        FUZZ_CHECK(got.settled == want.settled);
        FUZZ_CHECK(got.state == want.state);
        FUZZ_CHECK(velmor::FormatReportStamp(got.sent).size() == (got.sent.isEmpty() ? 0 : 21));
    }

    int counted = 0;
    for (const auto &[state, count] : velmor::CountByState(rows))
        counted += count;
    FUZZ_CHECK(counted == rows.size());
    return 0;
}
