// Workbooks made by other programs (openpyxl and LibreOffice, see
// tests/data/workbooks/make-workbooks.sh) read as the user sees them into
// the import, and files that are damaged, protected, too large once
// unpacked or beyond the limits refused with their message.

#include "model/contactfile.h"
#include "model/contactfilereader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

QString workbook(const QString &name)
{
    return QStringLiteral(VELMOR_SOURCE_DIR "/tests/data/workbooks/") + name;
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

} // namespace

class WorkbookTest : public QObject
{
    Q_OBJECT

private slots:
    void readsCellsAsShown_data();
    void readsCellsAsShown();
    void badWorkbooksRefused();
    void limitsStopTheReading();

private:
    QTemporaryDir m_dir;
    QString write(const QString &name, const QByteArray &bytes);
};

QString WorkbookTest::write(const QString &name, const QByteArray &bytes)
{
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

void WorkbookTest::readsCellsAsShown_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xlsx") << u"kisiler.xlsx"_s;
    QTest::newRow("ods") << u"kisiler.ods"_s;
}

void WorkbookTest::readsCellsAsShown()
{
    QFETCH(QString, file);
    const ContactFileRead read = ReadContactFile(workbook(file));
    QVERIFY2(read.ok(), qPrintable(read.error));
    QVERIFY(read.workbook);
    QStringList names;
    for (const SheetTable &sheet : read.sheets)
        names.append(sheet.name);
    QCOMPARE(names, (QStringList{u"Notlar"_s, u"Müşteriler"_s, u"Bayiler"_s}));
    // The first sheet is empty: the one after it is proposed.
    QCOMPARE(read.proposedSheet, 1);
    QVERIFY(read.sheets[0].records.isEmpty());

    const QList<QStringList> &rows = read.sheets[1].records;
    QCOMPARE(rows.size(), 4);
    // A number cell as digits, a text cell with its leading zero, dates as GG.AA.YYYY.
    QCOMPARE(rows[1], (QStringList{u"Şükrü"_s, u"Çağlayan"_s, u"5321112233"_s, u"0216 333 44 55"_s,
                                   u"Bağdat Cad. 12"_s, u"İstanbul"_s, u"09.03.2023"_s}));
    QCOMPARE(rows[2][2], u"05321112234"_s);
    QCOMPARE(rows[2][6], u"31.12.2024"_s);
    QCOMPARE(rows[3][3], u"2123334455"_s);
    QCOMPARE(read.sheets[2].records, (QList<QStringList>{{u"Ad"_s, u"GSM"_s}, {u"Ömer"_s, u"0533 222 33 44"_s}}));

    // Into the import as any file: the header found, the numbers normalised.
    ImportOptions options;
    options.hasHeader = DetectImportHeader(rows);
    QVERIFY(options.hasHeader);
    options.mapping = ProposeImportMapping(rows, true);
    const QList<ImportCheck> checks = CheckImportRecords(rows, options);
    QVERIFY(checks[0].accepted() && checks[1].accepted());
    const ContactValues first = ImportedValues(rows[1], options.mapping);
    QCOMPARE(first[FieldGsm], u"05321112233"_s);
    QCOMPARE(first[FieldTel], u"02163334455"_s);
    QCOMPARE(ImportedValues(rows[3], options.mapping)[FieldTel], u"02123334455"_s);
    // The formula's value saved with the file. LibreOffice's .ods keeps it
    // too, but liborcus 0.17 passes no text result of a formula on.
    if (file.endsWith(u".xlsx"))
        QCOMPARE(rows[3][0], u"Gül"_s);
}

void WorkbookTest::badWorkbooksRefused()
{
    const QByteArray good = bytesOf(workbook(u"kisiler.xlsx"_s));
    QCOMPARE(ReadContactFile(write(u"yarim.xlsx"_s, good.first(good.size() / 2))).error,
             u"Dosya içe aktarılamıyor: dosya bozuk; çalışma kitabı okunamadı."_s);
    QCOMPARE(ReadContactFile(write(u"sifreli.xlsx"_s, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") + QByteArray(600, '\0')))
                 .error,
             u"Dosya içe aktarılamıyor: dosya parola ile korunuyor ya da eski Excel (.xls) biçiminde. Lütfen "
             u"parolasız olarak .xlsx ya da .ods biçiminde kaydedip yeniden deneyiniz."_s);
    QCOMPARE(ReadContactFile(workbook(u"bos.xlsx"_s)).error, u"Dosya içe aktarılamıyor: dosyada hiç satır yok."_s);

    // An archive announcing gigabytes once unpacked is not unpacked.
    QByteArray bomb = good;
    const qsizetype entry = bomb.indexOf("PK\x01\x02");
    QVERIFY(entry > 0);
    bomb.replace(entry + 24, 4, "\xFF\xFF\xFF\x7F");
    QCOMPARE(ReadContactFile(write(u"bomba.xlsx"_s, bomb)).error,
             u"Dosya içe aktarılamıyor: çalışma kitabı açıldığında 1 GB'tan büyük."_s);
}

void WorkbookTest::limitsStopTheReading()
{
    const QByteArray xlsx = bytesOf(workbook(u"kisiler.xlsx"_s));
    const QByteArray ods = bytesOf(workbook(u"kisiler.ods"_s));
    for (const QByteArray &bytes : {xlsx, ods}) {
        WorkbookRead read = ReadWorkbook(bytes, TableLimits{3, 256, 4096});
        QCOMPARE(read.overflow.kind, TableOverflow::Records);
        QCOMPARE(read.overflow.record, 3);
        QVERIFY(read.sheets.isEmpty());
        read = ReadWorkbook(bytes, TableLimits{100, 6, 4096});
        QCOMPARE(read.overflow.kind, TableOverflow::Fields);
        QCOMPARE(read.overflow.record, 0);
        QVERIFY(ReadWorkbook(bytes, TableLimits{100, 7, 4096}).sheets.size() == 3);
        read = ReadWorkbook(bytes, TableLimits{100, 256, 12});
        QCOMPARE(read.overflow.kind, TableOverflow::FieldLength);
        const std::atomic_bool stop{true};
        QCOMPARE(ReadWorkbook(bytes, {}, &stop).failure, WorkbookRead::Failure::Stopped);
    }
}

QTEST_APPLESS_MAIN(WorkbookTest)
#include "tst_workbook.moc"
