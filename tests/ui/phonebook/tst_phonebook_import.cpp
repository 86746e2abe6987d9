// Import and export in the phone book window against the development
// service: files previewed with their verdicts, contacts sent into an
// existing or a new group with one reload at the end, an import stopped
// half-way, refusals and a silent service summarised, the rows that did not
// go in saved, and a group exported and imported again.

#include "../../devserver/devserverfixture.h"
#include "../send/fakeservice.h"
#include "phonebookwindow.h"
#include "testsupport.h"

#include "model/session.h"
#include "service/coding.h"
#include "text/csv.h"
#include "ui/common/grouptree.h"
#include "ui/phonebook/importpreviewdialog.h"
#include "ui/phonebook/importprogressdialog.h"
#include "ui/phonebook/frm_tanim_rehber.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

QList<Contact> contactsOf(const AccountSnapshot &snapshot, const QString &groupNo)
{
    QList<Contact> out;
    for (const Contact &c : snapshot.contacts.toContacts()) {
        if (c.Grup_No == groupNo)
            out.append(c);
    }
    return out;
}

QList<ContactValues> valuesOf(const QList<Contact> &contacts)
{
    QList<ContactValues> out;
    for (const Contact &c : contacts)
        out.append(ContactFieldValues(c));
    return out;
}

QString groupNamed(const AccountSnapshot &snapshot, const QString &name)
{
    for (const ContactGroup &g : snapshot.groups) {
        if (g.Grp_Adi == name)
            return g.Grup_No;
    }
    return {};
}

} // namespace

class PhoneBookImportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup();

    void import_intoExistingGroup_oneReload();
    void import_newGroupFromWindows1254Tabs();
    void import_stoppedHalfway_keepsWhatWasSent();
    void import_refusedAndSilentService();
    void export_thenImportIntoEmptyGroup_sameContacts();

private:
    void open(const Service &service, const QString &accountPayload);
    void openLive();
    QString writeFile(const QString &name, const QByteArray &bytes);
    // Every file dialog answers with this path from now on.
    void answerFiles(const QString &path);
    // Clicks "İçe Aktar…" with the file and returns the preview.
    ImportPreviewDialog *preview(const QString &path);
    void chooseNode(const QString &groupNo);
    void waitForSummary(test::MessageRecorder &boxes);
    template<typename T> T *child(QObject *parent, const QString &name) const
    {
        return parent->findChild<T *>(name);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<test::LiveService> m_live;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<Frm_Tanim_Rehber> m_window;
    std::unique_ptr<test::FileDialogAnswer> m_files;
};

void PhoneBookImportTest::cleanup()
{
    m_window.reset();
    m_session.reset();
    m_live.reset();
    m_files.reset();
}

void PhoneBookImportTest::open(const Service &service, const QString &accountPayload)
{
    test::OpenPhoneBook(service, accountPayload, m_session, m_window);
}

void PhoneBookImportTest::openLive()
{
    m_live = std::make_unique<test::LiveService>();
    open(*m_live->service, FetchAccountData(*m_live->service, u"1001"_s));
    m_live->server->clearReceivedBodies();
}

QString PhoneBookImportTest::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void PhoneBookImportTest::answerFiles(const QString &path)
{
    if (m_files)
        m_files->setPath(path);
    else
        m_files = std::make_unique<test::FileDialogAnswer>(path);
}

ImportPreviewDialog *PhoneBookImportTest::preview(const QString &path)
{
    answerFiles(path);
    QTest::mouseClick(child<QPushButton>(m_window.get(), u"Cmd_IceAktar"_s), Qt::LeftButton);
    return m_window->findChild<ImportPreviewDialog *>();
}

void PhoneBookImportTest::chooseNode(const QString &groupNo)
{
    auto *tree = child<GroupTree>(m_window.get(), u"TreeView1"_s);
    for (int position = 1; position <= tree->nodeCount(); ++position) {
        if (GroupTree::NodeGroupNo(tree->nodeAtPosition(position)) == groupNo)
            tree->setCurrentItem(tree->nodeAtPosition(position));
    }
}

void PhoneBookImportTest::waitForSummary(test::MessageRecorder &boxes)
{
    QTRY_VERIFY_WITH_TIMEOUT(!boxes.boxes().isEmpty(), 20000);
    QVERIFY(!m_window->findChild<ImportProgressDialog *>() || !m_window->findChild<ImportProgressDialog *>()->isVisible());
}

void PhoneBookImportTest::import_intoExistingGroup_oneReload()
{
    openLive();
    chooseNode(u"3"_s); // Tedarikçiler: 05329990011, 05330001122, 05441112234
    const QString file = writeFile(
        u"liste.csv"_s,
        QByteArray("\xEF\xBB\xBF")
            + u"Adı;Soyadı;GSM;Telefon;Faks;Adres;İlçe;İl;Not\r\n"
              u"Deniz;Ak;+90 532 700 00 01;(0212) 111-22-33;;\"Cad. 5; Kat 2\";Şişli;İstanbul;x\r\n"
              u"Ece;Bal;0090 532 700 00 02;;0212 111 22 44;;;;\r\n"
              u"Eda;Can;532 700 0003;;;;;;\r\n"
              u"Kopya;Deniz;05327000001;;;;;;\r\n"
              u"Var;Olan;0532 999 00 11;;;;;;\r\n"
              u";Adsız;05327000004;;;;;;\r\n"
              u"Kısa;Numara;0532 700;;;;;;\r\n"
              u"\r\n"_s.toUtf8());
    test::MessageRecorder boxes;
    ImportPreviewDialog *dialog = preview(file);
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(child<QComboBox>(dialog, u"cboGrup"_s)->currentData().toString(), u"3"_s);
    QVERIFY(child<QCheckBox>(dialog, u"chkBaslik"_s)->isChecked());
    QCOMPARE(child<QComboBox>(dialog, u"cboAlan_7"_s)->currentData().toInt(), 2);
    QCOMPARE(child<QComboBox>(dialog, u"cboAlan_9"_s)->currentData().toInt(), 4);
    QCOMPARE(dialog->acceptedCount(), 3);
    QCOMPARE(dialog->refusedCount(), 4);
    // Keyboard reach: each mapping choice has its caption as buddy.
    QStringList buddies;
    for (const QLabel *label : dialog->findChildren<QLabel *>()) {
        if (label->buddy())
            buddies.append(label->text() + u' ' + label->buddy()->objectName());
    }
    QVERIFY(buddies.contains(u"Cep Telefonu : cboAlan_7"_s));
    QVERIFY(buddies.contains(u"Kodlama : cboKodlama"_s));
    // Keeping duplicates takes the two more rows; left off again.
    child<QCheckBox>(dialog, u"chkTekrarlar"_s)->setChecked(true);
    QCOMPARE(dialog->acceptedCount(), 5);
    child<QCheckBox>(dialog, u"chkTekrarlar"_s)->setChecked(false);

    answerFiles(m_dir.filePath(u"eklenmeyenler"_s));
    QTest::mouseClick(child<QPushButton>(dialog, u"cmdAktar"_s), Qt::LeftButton);
    waitForSummary(boxes);

    const QStringList summary = boxes.lastText().split(u'\n');
    QCOMPARE(summary.mid(0, 3), (QStringList{u"İçe aktarma tamamlandı."_s, u"Eklenen kişi: 3"_s, u"Atlanan satır: 4"_s}));
    QVERIFY(boxes.boxes().constLast().yesNo);
    const QList<QByteArray> bodies = m_live->server->receivedBodies();
    QCOMPARE(test::CommandCount(bodies, 8), 3);
    QCOMPARE(test::CommandCount(bodies, 1), 1);

    const QList<Contact> group = contactsOf(m_live->snapshot(), u"3"_s);
    QCOMPARE(group.size(), 7);
    const ContactValues first = ContactFieldValues(group[4]);
    QCOMPARE(first, (ContactValues{u"Deniz"_s, u"Ak"_s, u"Cad. 5; Kat 2"_s, {}, {}, u"Şişli"_s, u"İstanbul"_s,
                                   u"05327000001"_s, u"02121112233"_s, {}}));
    QCOMPARE(group[5].Adr_Fax_No, u"02121112244"_s);
    QCOMPARE(group[6].Adr_GSM_No, u"05327000003"_s);
    // The window shows the group the contacts went into.
    QCOMPARE(child<QTreeWidget>(m_window.get(), u"TreeView1"_s)->currentItem()->text(0), u"Tedarikçiler"_s);
    QCOMPARE(child<QTreeView>(m_window.get(), u"ListView1"_s)->model()->rowCount(), 7);

    // The rows that did not go in, saved with their reasons under the
    // columns the import used.
    QFile saved(m_dir.filePath(u"eklenmeyenler.csv"_s));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const CsvTable table = ReadCsv(saved.readAll());
    QCOMPARE(table.records.size(), 5);
    QCOMPARE(table.records[0].constLast(), u"Sebep"_s);
    QCOMPARE(table.records[0][2], u"Cep Telefonu"_s);
    QCOMPARE(table.records[1][0], u"Kopya"_s);
    QCOMPARE(table.records[1].constLast(), u"Bu cep telefonu dosyada daha önce geçiyor"_s);
    QCOMPARE(table.records[2].constLast(), u"Bu cep telefonu grupta zaten var"_s);
    QCOMPARE(table.records[4][1], u"Numara"_s);
}

void PhoneBookImportTest::import_newGroupFromWindows1254Tabs()
{
    openLive();
    QByteArray bytes;
    for (const QChar ch : u"Şükrü\tÇağlayan\t05327000011\r\nİpek\tIşık\t05327000012\r\n"_s)
        bytes.append(char(ToWindows1254(ch.unicode())));
    test::MessageRecorder boxes;
    ImportPreviewDialog *dialog = preview(writeFile(u"liste.txt"_s, bytes));
    QVERIFY(dialog);
    QCOMPARE(child<QComboBox>(dialog, u"cboKodlama"_s)->currentIndex(), 1);
    QVERIFY(!child<QCheckBox>(dialog, u"chkBaslik"_s)->isChecked());
    QCOMPARE(dialog->acceptedCount(), 2);

    // The new group's name is checked as the tree checks names.
    child<QRadioButton>(dialog, u"optYeniGrup"_s)->setChecked(true);
    auto *name = child<QLineEdit>(dialog, u"txtYeniGrup"_s);
    name->setText(u"  "_s);
    QTest::mouseClick(child<QPushButton>(dialog, u"cmdAktar"_s), Qt::LeftButton);
    name->setText(u"Bay|iler"_s);
    QTest::mouseClick(child<QPushButton>(dialog, u"cmdAktar"_s), Qt::LeftButton);
    QCOMPARE(boxes.texts().size(), 2);
    QVERIFY(dialog->isVisible());
    QVERIFY(m_live->server->receivedBodies().isEmpty());
    boxes.clear();

    name->setText(u"Bayiler"_s);
    QTest::mouseClick(child<QPushButton>(dialog, u"cmdAktar"_s), Qt::LeftButton);
    waitForSummary(boxes);
    QCOMPARE(boxes.texts(), QStringList{u"İçe aktarma tamamlandı.\nEklenen kişi: 2"_s});
    const AccountSnapshot after = m_live->snapshot();
    const QString groupNo = groupNamed(after, u"Bayiler"_s);
    QVERIFY(!groupNo.isEmpty());
    const QList<Contact> group = contactsOf(after, groupNo);
    QCOMPARE(group.size(), 2);
    QCOMPARE((QStringList{group[0].Adr_Adi, group[0].Adr_Soyadi, group[1].Adr_Adi, group[1].Adr_Soyadi}),
             (QStringList{u"Şükrü"_s, u"Çağlayan"_s, u"İpek"_s, u"Işık"_s}));
    QCOMPARE(test::CommandCount(m_live->server->receivedBodies(), 9), 1);
}

void PhoneBookImportTest::import_stoppedHalfway_keepsWhatWasSent()
{
    openLive();
    QString text = u"Adı;Cep\r\n"_s;
    for (int i = 0; i < 60; ++i)
        text += u"Kişi %1;0532 800 %2\r\n"_s.arg(i).arg(i, 4, 10, QChar(u'0'));
    test::MessageRecorder boxes;
    boxes.answerNext(false); // the rows not sent are not saved
    ImportPreviewDialog *dialog = preview(writeFile(u"uzun.csv"_s, text.toUtf8()));
    child<QComboBox>(dialog, u"cboGrup"_s)->setCurrentIndex(child<QComboBox>(dialog, u"cboGrup"_s)->findData(u"5"_s));
    m_live->server->setDelayMs(10);
    QTest::mouseClick(child<QPushButton>(dialog, u"cmdAktar"_s), Qt::LeftButton);

    auto *progress = m_window->findChild<ImportProgressDialog *>();
    QVERIFY(progress && progress->isVisible());
    // The window may not close meanwhile.
    QVERIFY(!m_window->close());
    QTRY_VERIFY(progress->rowsDone() >= 5);
    QVERIFY(progress->isRunning());
    const qsizetype done = progress->rowsDone();
    QTest::mouseClick(child<QPushButton>(progress, u"cmdAktarmaVazgec"_s), Qt::LeftButton);
    waitForSummary(boxes);
    m_live->server->setDelayMs(0);

    QCOMPARE(boxes.texts().size(), 1);
    QCOMPARE(boxes.lastText().split(u'\n').mid(0, 3),
             (QStringList{u"İçe aktarma durduruldu."_s, u"Eklenen kişi: %1"_s.arg(done),
                          u"Gönderilmeyen: %1"_s.arg(60 - done)}));
    const QList<QByteArray> bodies = m_live->server->receivedBodies();
    QCOMPARE(test::CommandCount(bodies, 8), done);
    QCOMPARE(test::CommandCount(bodies, 1), 1);
    const QList<Contact> group = contactsOf(m_live->snapshot(), u"5"_s);
    QCOMPARE(group.size(), 5 + done);
    QCOMPARE(group.constLast().Adr_Adi, u"Kişi %1"_s.arg(done - 1));
    QVERIFY(m_window->close());
}

void PhoneBookImportTest::import_refusedAndSilentService()
{
    test::FakeService fake;
    const Service service(std::make_shared<HttpTransport>(fake.endpoint(), 3000));
    QStringList customer(CustomerRecord::FieldCount);
    customer[0] = u"1001"_s;
    open(service, u"<Cari>"_s + customer.join(u'|') + u"<Cari><Grup><>1|0|Genel<Grup><Adres><Adres>"_s);
    const QString file = writeFile(u"uc.csv"_s, "Ad;Cep\nA;05320000001\nB;05320000002\nC;05320000003\n");
    test::MessageRecorder boxes;
    boxes.answerNext(false);

    // Every row refused: nothing stored, so nothing reloaded.
    fake.setPayload(8, u"0"_s);
    QTest::mouseClick(child<QPushButton>(preview(file), u"cmdAktar"_s), Qt::LeftButton);
    waitForSummary(boxes);
    QCOMPARE(boxes.lastText().split(u'\n').mid(0, 3),
             (QStringList{u"İçe aktarma tamamlandı."_s, u"Eklenen kişi: 0"_s, u"Sunucunun kabul etmediği: 3"_s}));
    QCOMPARE(fake.bodiesOf(8).size(), 3);
    QVERIFY(fake.bodiesOf(1).isEmpty());

    // No answer at all: stopped after the first row, which may be stored, so
    // the phone book is fetched again.
    boxes.clear();
    boxes.answerNext(false);
    fake.clearBodies();
    fake.removePayload(8);
    fake.setPayload(1, u"<Cari>"_s + customer.join(u'|') + u"<Cari><Grup><>1|0|Genel<Grup><Adres><Adres>"_s);
    QTest::mouseClick(child<QPushButton>(preview(file), u"cmdAktar"_s), Qt::LeftButton);
    waitForSummary(boxes);
    QCOMPARE(boxes.lastText().split(u'\n').mid(0, 4),
             (QStringList{u"Sunucudan yanıt alınamadığı için içe aktarma durduruldu."_s, u"Eklenen kişi: 0"_s,
                          u"Yanıt alınamayan (eklenmiş olabilir): 1"_s, u"Gönderilmeyen: 2"_s}));
    QCOMPARE(fake.bodiesOf(8).size(), 1);
    QCOMPARE(fake.bodiesOf(1).size(), 1);
}

void PhoneBookImportTest::export_thenImportIntoEmptyGroup_sameContacts()
{
    openLive();
    test::MessageRecorder boxes;
    // Çiçek Üreticileri: addresses, fixed lines and faxes with Turkish letters.
    chooseNode(u"10"_s);
    const QString path = m_dir.filePath(u"disari"_s);
    answerFiles(path);
    QTest::mouseClick(child<QPushButton>(m_window.get(), u"Cmd_DisaAktar"_s), Qt::LeftButton);
    QCOMPARE(m_files->requests().size(), 1);
    QVERIFY(m_files->requests().constFirst().suggestedPath.endsWith(u"rehber-Çiçek Üreticileri.csv"_s));
    QFile exported(path + u".csv"_s);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    const QByteArray bytes = exported.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const CsvTable table = ReadCsv(bytes);
    QCOMPARE(table.separator, QChar(u';'));
    QCOMPARE(table.records.size(), 4);
    QCOMPARE(table.records[0].constLast(), u"Grup"_s);
    QCOMPARE(table.records[1].constLast(), u"Çiçek Üreticileri"_s);

    // Into a new, empty group: the same contacts in the same order.
    ImportPreviewDialog *dialog = preview(path + u".csv"_s);
    child<QRadioButton>(dialog, u"optYeniGrup"_s)->setChecked(true);
    child<QLineEdit>(dialog, u"txtYeniGrup"_s)->setText(u"Kopya"_s);
    QTest::mouseClick(child<QPushButton>(dialog, u"cmdAktar"_s), Qt::LeftButton);
    waitForSummary(boxes);
    QCOMPARE(boxes.texts(), QStringList{u"İçe aktarma tamamlandı.\nEklenen kişi: 3"_s});
    const AccountSnapshot after = m_live->snapshot();
    QCOMPARE(valuesOf(contactsOf(after, groupNamed(after, u"Kopya"_s))), valuesOf(contactsOf(after, u"10"_s)));

    // The root takes every contact; an empty group says so instead of writing a file.
    chooseNode(u"0"_s);
    QTest::mouseClick(child<QPushButton>(m_window.get(), u"Cmd_DisaAktar"_s), Qt::LeftButton);
    QFile all(path + u".csv"_s);
    QVERIFY(all.open(QIODevice::ReadOnly));
    QCOMPARE(ReadCsv(all.readAll()).records.size(), 1 + after.contacts.size());
    boxes.clear();
    AddGroup(*m_live->service, u"1001"_s, u"0"_s, u"Boş"_s);
    ReloadSnapshot(*m_live->service, *m_session);
    m_window->BuildGroupTree();
    chooseNode(groupNamed(m_session->snapshot(), u"Boş"_s));
    QTest::mouseClick(child<QPushButton>(m_window.get(), u"Cmd_DisaAktar"_s), Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{u"Seçilen grupta dışa aktarılacak kişi yok."_s});
    QCOMPARE(m_files->requests().size(), 3);
}

QTEST_MAIN(PhoneBookImportTest)
#include "tst_phonebook_import.moc"
