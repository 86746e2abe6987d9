// A contact file as the import reads it: any bytes give records, a mapping
// and a verdict per record without failing; every record let through obeys
// the editor's rules (a first name, a mobile number in the kept form, no
// "|", "<" or ">", no field too long) and no two of them share a mobile
// number. A table written with WriteCsv reads back the same with its
// separator, once the "'" before formula-like cells is taken away.

#include "fuzzcheck.h"

#include "model/contactfile.h"
#include "text/csv.h"
#include "text/phonenumber.h"
#include "text/storedtext.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const velmor::CsvTable table = velmor::ReadCsv(bytes);
    velmor::ImportOptions options;
    options.hasHeader = velmor::DetectImportHeader(table.records);
    options.mapping = velmor::ProposeImportMapping(table.records, options.hasHeader);
    const QList<velmor::ImportCheck> checks = velmor::CheckImportRecords(table.records, options);
    const qsizetype header = options.hasHeader && !table.records.isEmpty() ? 1 : 0;
    FUZZ_CHECK(checks.size() == table.records.size() - header);

    QSet<QString> mobiles;
    for (qsizetype i = 0; i < checks.size(); ++i) {
        if (!checks.at(i).accepted())
            continue;
        const velmor::ContactValues values = velmor::ImportedValues(table.records.at(i + header), options.mapping);
        FUZZ_CHECK(velmor::CheckContactValues(values).accepted());
        FUZZ_CHECK(!values[velmor::FieldAdi].trimmed().isEmpty());
        FUZZ_CHECK(velmor::IsMobileNumber(values[velmor::FieldGsm]));
        for (int field = 0; field < velmor::kContactFieldCount; ++field) {
            FUZZ_CHECK(!velmor::HoldsStoreSeparator(values[std::size_t(field)]));
            FUZZ_CHECK(values[std::size_t(field)].size() <= velmor::kContactFields[std::size_t(field)].limit);
        }
        FUZZ_CHECK(!mobiles.contains(values[velmor::FieldGsm]));
        mobiles.insert(values[velmor::FieldGsm]);
    }

    // The same input as a table (rows at U+001E, fields at U+001F), written
    // and read back.
    QList<QStringList> written;
    for (const QString &line : velmor::fuzz::utf8(data, size).split(QChar(0x1E)))
        written.append(line.split(QChar(0x1F)));
    const QByteArray file = velmor::WriteCsv(written);
    FUZZ_CHECK(velmor::DetectTextEncoding(file) == velmor::TextEncoding::Utf8);
    FUZZ_CHECK(velmor::fuzz::restored(velmor::ParseCsv(velmor::DecodeText(file, velmor::TextEncoding::Utf8), u';'))
               == written);
    return 0;
}
