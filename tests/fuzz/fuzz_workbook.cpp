// A workbook as the import reads it: any bytes give sheets, a refusal or a
// limit passed, never a crash; what is let through keeps within the limits
// of a contact file.

#include "fuzzcheck.h"

#include "model/contactfilereader.h"
#include "model/workbookreader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const velmor::WorkbookRead read = velmor::ReadWorkbook(bytes, velmor::kContactFileLimits);
    FUZZ_CHECK(read.failure == velmor::WorkbookRead::Failure::None || read.sheets.isEmpty());
    FUZZ_CHECK(!read.overflow || read.sheets.isEmpty());
    for (const velmor::SheetTable &sheet : read.sheets) {
        FUZZ_CHECK(sheet.records.size() <= velmor::kContactFileLimits.records);
        for (const QStringList &record : sheet.records) {
            FUZZ_CHECK(record.size() <= velmor::kContactFileLimits.fields);
            for (const QString &field : record)
                FUZZ_CHECK(field.size() <= velmor::kContactFileLimits.fieldLength);
        }
    }
    return 0;
}
