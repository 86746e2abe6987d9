// Benchmarks of reading a contact file for import: 100,000 rows as a
// spreadsheet saves them (a header row, ";" between fields, addresses quoted
// where they hold a ";", mobile numbers written in the usual forms, a few
// rows wrong), in UTF-8 with a byte-order mark and in Windows-1254.
//
// Aim: reading and checking the whole file (encoding and separator found,
// records split, header and columns found, every row normalised and checked
// against the editor's rules and for duplicates) under 300 ms.
//
// The same 100,000 rows as an Excel workbook (.xlsx), read from disk through
// the import's reader and checked alike: under 1.5 s; beside it the CSV file
// through the same reader.

#include "largeaccount.h"
#include "model/contactfile.h"
#include "model/contactfilereader.h"
#include "model/workbookwriter.h"
#include "service/coding.h"
#include "text/csv.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QString>
#include <QStringList>

using namespace velmor;
using namespace velmor::bench;
using namespace Qt::StringLiterals;

namespace {

constexpr int kRows = 100000;

QString contactFileText()
{
    const QStringList firstNames = {u"Ayşe"_s, u"Mehmet"_s, u"Gül"_s,    u"İbrahim"_s, u"Çağla"_s,
                                    u"Oğuz"_s, u"Şükrü"_s,  u"Ömer"_s,   u"Zeynep"_s,  u"Işıl"_s};
    const QStringList surnames = {u"Yılmaz"_s, u"Kaya"_s,  u"Demir"_s, u"Şahin"_s,  u"Çelik"_s,
                                  u"Öztürk"_s, u"Aydın"_s, u"Doğan"_s, u"Kılıç"_s, u"Işık"_s};
    const QStringList streets = {u"Atatürk Cad. No: 5"_s, u"İstiklal Cad. 12; Kat 3"_s, u"Bağdat Cad. 200"_s,
                                 u"Çiçek Sok. 4, Daire 2"_s};
    const QStringList districts = {u"Kadıköy"_s, u"Çankaya"_s, u"Karşıyaka"_s, u"Üsküdar"_s, u"Nilüfer"_s};
    const QStringList provinces = {u"İstanbul"_s, u"Ankara"_s, u"İzmir"_s, u"Bursa"_s};
    Lcg rng;
    QString text;
    text.reserve(qsizetype(kRows) * 90);
    text += u"Adı;Soyadı;Cep Telefonu;Sabit Telefon;Adres;İlçe;İl\r\n"_s;
    for (int i = 0; i < kRows; ++i) {
        const quint32 subscriber = 1000000 + rng.next() % 8999999;
        const QString operatorCode = u"5%1"_s.arg(30 + rng.next() % 30);
        QString mobile;
        switch (rng.next() % 5) {
        case 0: mobile = u"+90 %1 %2"_s.arg(operatorCode).arg(subscriber); break;
        case 1: mobile = u"0%1%2"_s.arg(operatorCode).arg(subscriber); break;
        case 2: mobile = u"(0%1) %2-%3"_s.arg(operatorCode).arg(subscriber / 10000).arg(subscriber % 10000, 4, 10, QChar(u'0')); break;
        case 3: mobile = u"%1 %2"_s.arg(operatorCode).arg(subscriber); break;
        default: mobile = i % 50 == 0 ? u"0532 111"_s : u"0090%1%2"_s.arg(operatorCode).arg(subscriber); break;
        }
        const QString &street = rng.pick(streets);
        text += rng.pick(firstNames);
        text += u';';
        text += rng.pick(surnames);
        text += u';';
        text += mobile;
        text += u';';
        if (rng.next() % 3 == 0)
            text += u"0216 %1"_s.arg(1000000 + rng.next() % 8999999);
        text += u';';
        text += street.contains(u';') ? u'"' + street + u'"' : street;
        text += u';';
        text += rng.pick(districts);
        text += u';';
        text += rng.pick(provinces);
        text += u"\r\n";
    }
    return text;
}

const QByteArray &contactFile(TextEncoding encoding)
{
    static const QString text = contactFileText();
    static const QByteArray utf8 = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    static const QByteArray windows1254 = [] {
        QByteArray bytes;
        bytes.reserve(text.size());
        for (const QChar ch : text)
            bytes.append(char(ToWindows1254(ch.unicode())));
        return bytes;
    }();
    return encoding == TextEncoding::Utf8 ? utf8 : windows1254;
}

// The mobile numbers of a target group of 1,000 contacts.
const QSet<QString> &groupMobiles()
{
    static const QSet<QString> mobiles = [] {
        QSet<QString> set;
        for (int i = 0; i < 1000; ++i)
            set.insert(u"0532%1"_s.arg(1000000 + i * 7919));
        return set;
    }();
    return mobiles;
}

void BM_ReadAndCheckFile(benchmark::State &state)
{
    const TextEncoding encoding = state.range(0) == 0 ? TextEncoding::Utf8 : TextEncoding::Windows1254;
    const QByteArray &bytes = contactFile(encoding);
    qsizetype accepted = 0;
    qsizetype records = 0;
    for (auto _ : state) {
        const CsvTable table = ReadCsv(bytes);
        ImportOptions options;
        options.hasHeader = DetectImportHeader(table.records);
        options.mapping = ProposeImportMapping(table.records, options.hasHeader);
        options.groupMobiles = groupMobiles();
        const QList<ImportCheck> checks = CheckImportRecords(table.records, options);
        records = checks.size();
        accepted = std::count_if(checks.cbegin(), checks.cend(), [](const ImportCheck &c) { return c.accepted(); });
        if (table.encoding != encoding || !options.hasHeader)
            state.SkipWithError("file not read as written");
    }
    state.SetLabel(encoding == TextEncoding::Utf8 ? "UTF-8" : "Windows-1254");
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["rows"] = double(records);
    state.counters["accepted"] = double(accepted);
}
BENCHMARK(BM_ReadAndCheckFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reading alone: bytes to records.
void BM_ReadFile(benchmark::State &state)
{
    const QByteArray &bytes = contactFile(TextEncoding::Utf8);
    for (auto _ : state) {
        const CsvTable table = ReadCsv(bytes);
        benchmark::DoNotOptimize(table.records.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The file in a folder of its own, written once: the CSV file as it is, or
// its records as one sheet of a workbook.
const QString &contactFilePath(bool workbook)
{
    static QTemporaryDir dir;
    static const QString csvPath = [] {
        const QString path = dir.filePath(u"kisiler.csv"_s);
        QFile file(path);
        const QByteArray &bytes = contactFile(TextEncoding::Utf8);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }();
    static const QString xlsxPath = [] {
        const QString path = dir.filePath(u"kisiler.xlsx"_s);
        QString error;
        const QByteArray bytes = WorkbookBytes({u"Kişiler"_s, ReadCsv(contactFile(TextEncoding::Utf8)).records, {}}, &error);
        QFile file(path);
        if (!error.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s: %s", qPrintable(path), qPrintable(error));
        return path;
    }();
    return workbook ? xlsxPath : csvPath;
}

void BM_ReadAndCheckContactFile(benchmark::State &state)
{
    const bool workbook = state.range(0) == 1;
    const QString &path = contactFilePath(workbook);
    qsizetype accepted = 0;
    qsizetype records = 0;
    for (auto _ : state) {
        const ContactFileRead read = ReadContactFile(path);
        if (!read.ok() || read.sheets.isEmpty()) {
            state.SkipWithError("file not read");
            break;
        }
        const QList<QStringList> &rows = read.sheets.at(read.proposedSheet).records;
        ImportOptions options;
        options.hasHeader = DetectImportHeader(rows);
        options.mapping = ProposeImportMapping(rows, options.hasHeader);
        options.groupMobiles = groupMobiles();
        const QList<ImportCheck> checks = CheckImportRecords(rows, options);
        records = checks.size();
        accepted = std::count_if(checks.cbegin(), checks.cend(), [](const ImportCheck &c) { return c.accepted(); });
    }
    state.SetLabel(workbook ? "xlsx" : "CSV");
    state.counters["rows"] = double(records);
    state.counters["accepted"] = double(accepted);
    state.counters["MB"] = double(QFile(path).size()) / 1e6;
}
BENCHMARK(BM_ReadAndCheckContactFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Build the inputs before any timing starts.
    contactFile(TextEncoding::Utf8);
    contactFile(TextEncoding::Windows1254);
    groupMobiles();
    contactFilePath(false);
    contactFilePath(true);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
