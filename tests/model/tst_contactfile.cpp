// Contacts read from spreadsheet files: the encodings, separators and
// quoting spreadsheets write, the columns found by their names or contents,
// the numbers as people write them, the editor's refusals and duplicates;
// a group written out reads back as the same contacts; formulas are written
// as text and refused as names; hostile files are refused early.

#include "model/contactfile.h"
#include "model/contactfilereader.h"
#include "service/coding.h"
#include "text/csv.h"

#include <QTemporaryDir>
#include <QTest>

using namespace velmor;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(velmor::TextEncoding)
Q_DECLARE_METATYPE(velmor::ImportMapping)

namespace {

QByteArray windows1254(const QString &text)
{
    QByteArray out;
    for (const QChar ch : text)
        out.append(char(ToWindows1254(ch.unicode())));
    return out;
}

QByteArray utf16le(const QString &text)
{
    QByteArray out("\xFF\xFE", 2);
    for (const QChar ch : text) {
        out.append(char(ch.unicode() & 0xFF));
        out.append(char(ch.unicode() >> 8));
    }
    return out;
}

// Records written as "a;b;c" lines, for short expectations.
QList<QStringList> records(const QStringList &lines)
{
    QList<QStringList> out;
    for (const QString &line : lines)
        out.append(line.split(u';'));
    return out;
}

ImportMapping mapping(std::initializer_list<std::pair<int, int>> fieldColumns)
{
    ImportMapping m = kNoMapping;
    for (const auto &[field, column] : fieldColumns)
        m[std::size_t(field)] = column;
    return m;
}

QStringList verdicts(const QList<ImportCheck> &checks)
{
    QStringList out;
    for (const ImportCheck &check : checks)
        out.append(ImportVerdictText(check));
    return out;
}

} // namespace

class ContactFileTest : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatSpreadsheetsWrite_data();
    void readsWhatSpreadsheetsWrite();
    void parserTakesAnyText();
    void headerAndMapping_data();
    void headerAndMapping();
    void numbersRefusalsAndDuplicates();
    void exportedGroupReadsBackTheSame();
    void notImportedRowsReadBackWithTheirMapping();
    void formulasWrittenAsTextAndReadBack();
    void hostileFilesRefusedBeforeReadWhole();
};

void ContactFileTest::readsWhatSpreadsheetsWrite_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextEncoding>("encoding");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QList<QStringList>>("expected");

    const QList<QStringList> turkish{{u"Adı"_s, u"İl"_s}, {u"Şükrü Çağ"_s, u"Iğdır"_s}};
    QTest::newRow("semicolon, UTF-8 with BOM, CR LF")
        << QByteArray("\xEF\xBB\xBF") + u"Adı;İl\r\nŞükrü Çağ;Iğdır\r\n"_s.toUtf8() << TextEncoding::Utf8 << u";"_s
        << turkish;
    QTest::newRow("comma, UTF-8 without BOM, LF")
        << u"Adı,İl\nŞükrü Çağ,Iğdır"_s.toUtf8() << TextEncoding::Utf8 << u","_s << turkish;
    QTest::newRow("tab, Windows-1254") << windows1254(u"Adı\tİl\r\nŞükrü Çağ\tIğdır\r\n"_s)
                                       << TextEncoding::Windows1254 << u"\t"_s << turkish;
    QTest::newRow("tab, UTF-16 with BOM") << utf16le(u"Adı\tİl\r\nŞükrü Çağ\tIğdır\r\n"_s) << TextEncoding::Utf16
                                          << u"\t"_s << turkish;
    // Quoted fields carry separators, quotes and line breaks; the commas in
    // the address do not make "," the separator.
    QTest::newRow("quoted fields")
        << u"Ad;Adres;Not\r\n\"Ali; Veli\";\"Cad. 5, Kat 2\";\"\"\"VIP\"\" müşteri\"\r\n"
           u"Can;\"Sok. 3,\r\nDaire 4\";\r\n"_s.toUtf8()
        << TextEncoding::Utf8 << u";"_s
        << QList<QStringList>{{u"Ad"_s, u"Adres"_s, u"Not"_s},
                              {u"Ali; Veli"_s, u"Cad. 5, Kat 2"_s, u"\"VIP\" müşteri"_s},
                              {u"Can"_s, u"Sok. 3,\r\nDaire 4"_s, QString()}};
    QTest::newRow("empty line kept as a record, old Mac line ends")
        << QByteArray("a;b\r\rc;d\r") << TextEncoding::Utf8 << u";"_s
        << QList<QStringList>{{u"a"_s, u"b"_s}, {QString()}, {u"c"_s, u"d"_s}};
}

void ContactFileTest::readsWhatSpreadsheetsWrite()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextEncoding, encoding);
    QFETCH(QList<QStringList>, expected);
    const CsvTable table = ReadCsv(bytes);
    QCOMPARE(table.encoding, encoding);
    QTEST(QString(table.separator), "separator");
    QCOMPARE(table.records, expected);
    // The encoding chosen by hand reads the same bytes differently.
    if (encoding == TextEncoding::Windows1254)
        QVERIFY(ReadCsv(bytes, TextEncoding::Utf8).records != expected);
}

void ContactFileTest::parserTakesAnyText()
{
    // Whatever the bytes, reading ends with records: an open quote runs to
    // the end, text after a closing quote stays, a separator at the end is
    // an empty last field.
    QCOMPARE(ParseCsv(u"\"abc;def"_s, u';'), (QList<QStringList>{{u"abc;def"_s}}));
    QCOMPARE(ParseCsv(u"\"ab\"cd;e;"_s, u';'), (QList<QStringList>{{u"abcd"_s, u"e"_s, QString()}}));
    QCOMPARE(ParseCsv(u"\"\"\r\n"_s, u';'), (QList<QStringList>{{QString()}}));
    QVERIFY(ParseCsv(QString(), u';').isEmpty());
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise.append(char((i * 7919 + 13) % 256));
    const CsvTable table = ReadCsv(noise);
    QCOMPARE(table.encoding, TextEncoding::Windows1254);
    QVERIFY(!table.records.isEmpty());
}

void ContactFileTest::headerAndMapping_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("header");
    QTest::addColumn<ImportMapping>("expected");

    QTest::newRow("Turkish names")
        << QStringList{u"ADI;SOYADI;Cep Telefonu;Sabit Telefon;Faks;Adres;Adres 2;İLÇE;İl"_s,
                       u"Ali;Veli;05321112233;02121112233;;x;y;Kadıköy;İstanbul"_s}
        << true
        << mapping({{FieldAdi, 0}, {FieldSoyadi, 1}, {FieldGsm, 2}, {FieldTel, 3}, {FieldFax, 4}, {FieldAdres1, 5},
                    {FieldAdres2, 6}, {FieldIlce, 7}, {FieldIl, 8}});
    QTest::newRow("plain spellings, other order")
        << QStringList{u"gsm no;isim;soyad;telefon;ilce;sehir;fax no"_s, u"5321112233;Ali;Veli;;Çankaya;Ankara;"_s}
        << true
        << mapping({{FieldGsm, 0}, {FieldAdi, 1}, {FieldSoyadi, 2}, {FieldTel, 3}, {FieldIlce, 4}, {FieldIl, 5},
                    {FieldFax, 6}});
    QTest::newRow("full name in one column, mobile found by contents")
        << QStringList{u"Ad Soyad;Numara;Not"_s, u"Ali Veli;0532 111 22 33;x"_s, u"Can Er;05441112233;"_s} << true
        << mapping({{FieldAdi, 0}, {FieldGsm, 1}});
    QTest::newRow("no header: by contents")
        << QStringList{u"Ali;Veli;+90 532 111 22 33;0212 111 22 33"_s, u"Ayşe;Kaya;0544 111 22 33;"_s} << false
        << mapping({{FieldAdi, 0}, {FieldSoyadi, 1}, {FieldGsm, 2}, {FieldTel, 3}});
    QTest::newRow("unknown names over numbers")
        << QStringList{u"Müşteri;Numara"_s, u"Ali;05321112233"_s} << true << mapping({{FieldAdi, 0}, {FieldGsm, 1}});
}

void ContactFileTest::headerAndMapping()
{
    QFETCH(QStringList, lines);
    const QList<QStringList> rows = records(lines);
    QTEST(DetectImportHeader(rows), "header");
    QTEST(ProposeImportMapping(rows, DetectImportHeader(rows)), "expected");
}

void ContactFileTest::numbersRefusalsAndDuplicates()
{
    const QString long21 = QString(21, u'x');
    const QList<QStringList> rows = records({
        u"Adı;Soyadı;Cep;Sabit;Fax;İlçe"_s,
        u"Ali;Bir;+90 532 111 22 33;0212 111 22 33;;"_s, // 1: accepted
        u"Ali;İki;0090 532 111 22 34;;(0212) 111-22-44;"_s, // 2: accepted
        u"Ali;Üç;90532 111 2235;;;"_s,                    // 3: accepted
        u"Ali;Dört;532 111 2236;;;"_s,                    // 4: accepted
        u"Ali;Beş;(0532) 111-22-33;;;"_s,                 // 5: as row 1
        u" ;Boş;05321112299;;;"_s,
        u"Ali;Yok;;;;"_s,
        u"Ali;Sabit;05321112298;0212 111;;"_s,
        u"Ali;Fax;05321112297;;12345678901;"_s,
        u"Ali;Eksik;0212 111 22 33;;;"_s,
        u"Ali;Uzun;05321112296;;;"_s + long21,
        u"A|li;Ayraç;05321112295;;;"_s,
        u"Ali;Grupta;05001112233;;;"_s,
        u";;;;;"_s,
    });
    ImportOptions options;
    options.hasHeader = true;
    options.mapping = ProposeImportMapping(rows, true);
    options.groupMobiles = {u"05001112233"_s};
    const QList<ImportCheck> checks = CheckImportRecords(rows, options);
    QCOMPARE(verdicts(checks),
             (QStringList{u"Aktarılacak"_s, u"Aktarılacak"_s, u"Aktarılacak"_s, u"Aktarılacak"_s,
                          u"Bu cep telefonu dosyada daha önce geçiyor"_s, u"Adı boş"_s, u"Cep telefonu boş"_s,
                          u"Sabit telefon geçersiz (0xxxxxxxxxx olmalı)"_s,
                          u"Fax numarası geçersiz (0xxxxxxxxxx olmalı)"_s,
                          u"Cep telefonu geçersiz (05xxxxxxxxx olmalı)"_s, u"\"İlçe\" en çok 20 karakter olabilir"_s,
                          u"\"Adı\" alanında |, < veya > var"_s, u"Bu cep telefonu grupta zaten var"_s,
                          u"Boş satır"_s}));
    const ContactValues second = ImportedValues(rows[2], options.mapping);
    QCOMPARE(second[FieldGsm], u"05321112234"_s);
    QCOMPARE(second[FieldFax], u"02121112244"_s);
    for (int row = 1; row <= 4; ++row)
        QCOMPARE(ImportedValues(rows[row], options.mapping)[FieldGsm], u"0532111223%1"_s.arg(row + 2));
    // A value of exactly the limit passes: the limit is the editor's.
    QVERIFY(CheckContactValues(ImportedValues(records({u"Ali;x;05321112233;;;"_s + QString(20, u'x')})[0],
                                              options.mapping))
                .accepted());

    // Kept duplicates are sent; a refused earlier row does not make a later one a duplicate.
    options.keepDuplicates = true;
    const QList<ImportCheck> kept = CheckImportRecords(rows, options);
    QVERIFY(kept[4].accepted() && kept[12].accepted());
    options.keepDuplicates = false;
    const QList<QStringList> refusedFirst = records({u"Adı;Cep;Sabit"_s, u"Ali;05321112233;12"_s, u"Can;05321112233;"_s});
    options.mapping = ProposeImportMapping(refusedFirst, true);
    QVERIFY(CheckImportRecords(refusedFirst, options)[1].accepted());
}

void ContactFileTest::exportedGroupReadsBackTheSame()
{
    AccountSnapshot snapshot;
    snapshot.groups = {{u"1"_s, u"0"_s, u"Genel"_s, {}}, {u"7"_s, u"0"_s, u"Bayiler; İzmir"_s, {}}};
    snapshot.contacts = {
        {u"11"_s, u"7"_s, u"Şükrü"_s, u"Öztürk"_s, u"Cad. 5; Kat 2"_s, u"\"Yıldız\" Apt."_s, {}, u"Karşıyaka"_s,
         u"İzmir"_s, u"05321112233"_s, u"02321112233"_s, {}, {}},
        {u"12"_s, u"1"_s, u"Ali"_s, {}, {}, {}, {}, {}, {}, u"05441112233"_s, {}, {}, {}},
        {u"13"_s, u"7"_s, u"İpek"_s, u"Işık"_s, {}, {}, {}, {}, {}, u"05051112233"_s, {}, u"02321112244"_s, {}},
    };
    const QList<QStringList> table = ContactExportTable(snapshot, u"7"_s);
    QCOMPARE(table.size(), 3);
    QCOMPARE(table[1].constLast(), u"Bayiler; İzmir"_s);
    QCOMPARE(ContactExportTable(snapshot, u"0"_s).size(), 4);

    const CsvTable read = ReadCsv(WriteCsv(table));
    QVERIFY(DetectImportHeader(read.records));
    ImportOptions options;
    options.hasHeader = true;
    options.mapping = ProposeImportMapping(read.records, true);
    const QList<ImportCheck> checks = CheckImportRecords(read.records, options);
    QCOMPARE(checks, (QList<ImportCheck>{{}, {}}));
    QCOMPARE(ImportedValues(read.records[1], options.mapping), ContactFieldValues(snapshot.contacts[0]));
    QCOMPARE(ImportedValues(read.records[2], options.mapping), ContactFieldValues(snapshot.contacts[2]));
}

void ContactFileTest::notImportedRowsReadBackWithTheirMapping()
{
    // A file without a header whose columns the user mapped by hand.
    const QList<QStringList> rows = records({u"x;Ali;05321112233;Kadıköy"_s, u"y;Can;0532;Şişli"_s});
    const ImportMapping chosen = mapping({{FieldAdi, 1}, {FieldGsm, 2}, {FieldIlce, 3}});
    const QList<QStringList> table = NotImportedTable(rows, false, chosen, {{1, u"Cep telefonu geçersiz"_s}});
    QCOMPARE(table, (QList<QStringList>{{QString(), u"Adı"_s, u"Cep Telefonu"_s, u"İlçe"_s, u"Sebep"_s},
                                        {u"y"_s, u"Can"_s, u"0532"_s, u"Şişli"_s, u"Cep telefonu geçersiz"_s}}));
    const CsvTable read = ReadCsv(WriteCsv(table));
    QVERIFY(DetectImportHeader(read.records));
    QCOMPARE(ProposeImportMapping(read.records, true), chosen);
}

void ContactFileTest::formulasWrittenAsTextAndReadBack()
{
    // What a spreadsheet program would run on opening the file goes out
    // behind a "'"; reading takes exactly that one away again.
    const QStringList cells{u"=HYPERLINK(\"http://x.test/\",\"Tıkla\")"_s, u"+90 532 111 22 33"_s, u"@SUM(1,2)"_s,
                            u"-1+1"_s, u"\t=1"_s, u"'Ali"_s, u"'"_s, u"Ali"_s, u"'+1"_s};
    const QByteArray bytes = WriteCsv({cells});
    for (const char *written : {"'=HYPERLINK", "'+90 532", "'@SUM", "'-1+1", ";'\t=1;", ";'Ali;';Ali;''+1"})
        QVERIFY2(bytes.contains(written), written);
    const CsvTable read = ReadCsv(bytes);
    QStringList restored;
    for (const QString &cell : read.records.constFirst())
        restored.append(RestoredCell(cell));
    QCOMPARE(restored, cells);

    // The import: a number behind its "'" is read as the number, a lone "-"
    // is an address, a formula in a name or address and a control character
    // anywhere are refused.
    const QList<QStringList> rows = records({
        u"Adı;Soyadı;Cep;Adres;İl"_s,
        u"Ali;'Kaya;'+90 532 111 22 34;'-;İzmir"_s,
        u"'=HYPERLINK(\"http://x.test/\",\"Tıkla\");Kaya;05321112235;;"_s,
        u"Can;Kaya;05321112236;;@SUM(1,2)"_s,
        u"Can;Ka\x1bya;05321112237;;"_s,
        u"A"_s + QChar(0) + u"li;Kaya;05321112238;;"_s,
    });
    ImportOptions options;
    options.hasHeader = true;
    options.mapping = ProposeImportMapping(rows, true);
    QCOMPARE(verdicts(CheckImportRecords(rows, options)),
             (QStringList{u"Aktarılacak"_s, u"\"Adı\" formül içeriyor"_s, u"\"İl\" formül içeriyor"_s,
                          u"\"Soyadı\" alanında denetim karakteri var"_s, u"\"Adı\" alanında denetim karakteri var"_s}));
    const ContactValues first = ImportedValues(rows[1], options.mapping);
    QCOMPARE(first[FieldSoyadi], u"'Kaya"_s);
    QCOMPARE(first[FieldGsm], u"05321112234"_s);
    QCOMPARE(first[FieldAdres1], u"-"_s);
}

void ContactFileTest::hostileFilesRefusedBeforeReadWhole()
{
    // One line of a million separators stops at the first field too many; an
    // open quote over megabytes at the first character too many.
    TableOverflow overflow;
    QVERIFY(ParseCsv(QString(1'000'000, u';'), u';', kContactFileLimits, &overflow).isEmpty());
    QCOMPARE(overflow.kind, TableOverflow::Fields);
    QCOMPARE(ParseCsv(u"Adı;Cep\n\""_s + QString(5'000'000, u'x'), u';', kContactFileLimits, &overflow).size(), 1);
    QCOMPARE(overflow.kind, TableOverflow::FieldLength);
    QCOMPARE(overflow.record, 1);
    QCOMPARE(ParseCsv(u"a;b\nc;d\ne;f\n"_s, u';', TableLimits{2, 2, 1}, &overflow).size(), 2);
    QCOMPARE(overflow.kind, TableOverflow::Records);
    QCOMPARE(ParseCsv(u"a;b\nc;d\n"_s, u';', TableLimits{2, 2, 1}, &overflow).size(), 2);
    QVERIFY(!overflow);
    QString quoted = u"\"\""_s + QString(4094, u'x') + u"\"\""_s; // 4,096 characters once read
    QCOMPARE(ParseCsv(u'"' + quoted + u'"', u';', kContactFileLimits, &overflow).constFirst().constFirst().size(), 4096);
    QVERIFY(!overflow);

    // The same from files, with the message the user sees.
    QTemporaryDir dir;
    auto file = [&dir](const QString &name, const QByteArray &bytes, qint64 size = -1) {
        QFile out(dir.filePath(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || (size >= 0 && !out.resize(size)))
            qFatal("cannot write %s", qPrintable(out.fileName()));
        return out.fileName();
    };
    QCOMPARE(ReadContactFile(file(u"genis.csv"_s, "Ad;Cep\r\n" + QByteArray(1'000'000, ';'))).error,
             u"Dosya içe aktarılamıyor: 2. satırda 256 sütundan fazlası var."_s);
    // A sparse file: large on paper, nothing to read.
    const ContactFileRead huge = ReadContactFile(file(u"buyuk.csv"_s, "Ad;Cep\r\n", kContactFileMaxBytes + 1));
    QCOMPARE(huge.error, u"Dosya içe aktarılamıyor: dosya 100 MB'tan büyük."_s);
    QVERIFY(huge.sheets.isEmpty() && huge.text.isEmpty());
    QCOMPARE(ReadContactFile(file(u"resim.csv"_s, QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(200, '\0'))).error,
             u"Dosya içe aktarılamıyor: bir tablo dosyası değil (CSV, metin, .xlsx ya da .ods)."_s);
    QCOMPARE(ReadContactFile(file(u"bos.csv"_s, "\xEF\xBB\xBF;;\r\n")).error,
             u"Dosya içe aktarılamıyor: dosyada hiç satır yok."_s);
    const ContactFileRead fine = ReadContactFile(file(u"iyi.csv"_s, "Ad;Cep\r\nAli;05321112233\r\n"));
    QVERIFY(fine.ok());
    QCOMPARE(fine.sheets.constFirst().records, records({u"Ad;Cep"_s, u"Ali;05321112233"_s}));
}

QTEST_APPLESS_MAIN(ContactFileTest)
#include "tst_contactfile.moc"
