// The send window against the development service: the demo account logs in,
// a message goes out to chosen contacts and to numbers typed in, the service
// lowers the balance and records one delivery report row per number. The
// message that arrives is the one the box showed, each recipient's own when
// it holds fields; one SMS per phone, none to the "Kara Liste" numbers;
// templates outlive the window.

#include "sendwindowtest.h"
#include "testsupport.h"

#include "devserver.h"
#include "model/deliveryreport.h"
#include "model/sendrunner.h"
#include "model/session.h"
#include "model/snapshot.h"
#include "service/coding.h"
#include "service/service.h"
#include "service/transport.h"
#include "ui/common/contacttablemodel.h"
#include "ui/send/frm_gonder.h"
#include "ui/send/messagetemplates.h"
#include "ui/send/messageedit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <memory>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

const QString kCustomer = u"1001"_s;

// The value of a field of a request body, decoded.
QString decodedField(const QByteArray &body, const QString &name)
{
    for (const QByteArray &part : body.split('&')) {
        const qsizetype eq = part.indexOf('=');
        if (QString::fromLatin1(part.left(eq)) == name)
            return DecodeDigits(part.mid(eq + 1));
    }
    return QString();
}

QStringList shownColumn(const QTreeView *view, int column)
{
    QStringList out;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        out.append(view->model()->index(row, column).data().toString());
    return out;
}

} // namespace

class TestSendDevServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void send_lowersBalanceAndAddsReportRows();
    void send_leavesOutRecipientsWithoutNumber();
    void messageBox_holdsWhatIsSent();
    void numbers_fromOutsideThePhoneBook();
    void templates_keptAcrossWindows();
    void templates_fileWrittenElsewhere();
    void personalised_eachNumberItsOwnText();
    void optOut_neitherSentNorCharged();
    void personalised_stoppedBetweenRequests();
    void personalised_emptyFieldAsked();

private:
    Frm_Gonder *open();
    template<typename T> T *child(const char16_t *name) const { return test::control<T>(m_window.get(), name); }
    QString text(const char16_t *label) const { return child<QLabel>(label)->text(); }
    void click(const char16_t *button) const { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    void addRecords(const QStringList &recordNumbers);
    QByteArray lastSendBody() const;
    QList<QByteArray> sendBodies() const;
    void clickNode(const QString &key) const;
    // A click on the send button that sends nothing and says why.
    void sendGoesNowhere(const QString &why);
    // The delivery report's rows whose message holds the text, "number message", sorted.
    QStringList reportedWith(const QString &text) const;

    std::unique_ptr<dev::DevServer> m_server;
    std::unique_ptr<Service> m_service;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<test::MessageRecorder> m_boxes;
    std::unique_ptr<Frm_Gonder> m_window;
};

void TestSendDevServer::init()
{
    QFile::remove(MessageTemplateStore::defaultFilePath());
    QFile::remove(MessageTemplateStore::defaultFilePath() + u".bozuk"_s);
    m_server = std::make_unique<dev::DevServer>(dev::Options{});
    QVERIFY2(m_server->start(0), qPrintable(m_server->errorString()));
    m_service = std::make_unique<Service>(std::make_shared<HttpTransport>(m_server->endpoint(), 3000));
    AccountSnapshot snapshot;
    QCOMPARE(RefreshAccountSnapshot(*m_service, snapshot, kCustomer), RefreshResult::Loaded);
    m_session = std::make_unique<Session>();
    m_session->setSnapshot(snapshot);
    m_session->setLoginActive(u"1"_s);
    m_boxes = std::make_unique<test::MessageRecorder>();
}

void TestSendDevServer::cleanup()
{
    m_window.reset();
    m_boxes.reset();
    m_session.reset();
    m_service.reset();
    m_server.reset();
}

Frm_Gonder *TestSendDevServer::open()
{
    m_window = std::make_unique<Frm_Gonder>(*m_service, *m_session);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qFatal("window not shown");
    return m_window.get();
}

void TestSendDevServer::addRecords(const QStringList &recordNumbers)
{
    auto *list = child<QTreeView>(u"ListView2");
    list->clearSelection();
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        if (recordNumbers.contains(list->model()->index(row, ContactTableModel::Adr_K_No).data().toString())) {
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    click(u"Cmd_Lst_Ekle");
}

QByteArray TestSendDevServer::lastSendBody() const
{
    const QList<QByteArray> &bodies = m_server->receivedBodies();
    for (qsizetype i = bodies.size() - 1; i >= 0; --i) {
        if (bodies[i].startsWith("Rehber=3&"))
            return bodies[i];
    }
    return {};
}

QList<QByteArray> TestSendDevServer::sendBodies() const
{
    QList<QByteArray> found;
    for (const QByteArray &body : m_server->receivedBodies()) {
        if (body.startsWith("Rehber=3&"))
            found.append(body);
    }
    return found;
}

void TestSendDevServer::sendGoesNowhere(const QString &why)
{
    m_server->clearReceivedBodies();
    m_boxes->clear();
    click(u"cmdGonder");
    QCOMPARE(m_boxes->texts(), QStringList{why});
    QVERIFY(sendBodies().isEmpty());
}

void TestSendDevServer::clickNode(const QString &key) const
{
    auto *tree = child<QTreeWidget>(u"TreeView1");
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() == key) {
            tree->scrollToItem(*it);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(*it).center());
            return;
        }
    }
    qFatal("node %s not found", qPrintable(key));
}

QStringList TestSendDevServer::reportedWith(const QString &text) const
{
    const QString report = FetchDeliveryReport(*m_service, kCustomer, u"00010101"_s, u"99991231"_s);
    QStringList found;
    for (const DeliveryReportRow &row : ParseDeliveryReport(report, m_session->snapshot().contacts)) {
        if (row.message.contains(text))
            found.append(row.phone + u' ' + row.message);
    }
    found.sort();
    return found;
}

void TestSendDevServer::send_lowersBalanceAndAddsReportRows()
{
    open();
    const QString startBalance = m_server->balance(kCustomer);
    QCOMPARE(text(u"Label6"), startBalance);
    QVERIFY(child<QComboBox>(u"Combo1")->count() > 0);

    // The first three contacts with a mobile number.
    auto *groupList = child<QTreeView>(u"ListView2");
    QAbstractItemModel *model = groupList->model();
    QStringList numbers;
    for (int row = 0; row < model->rowCount() && numbers.size() < 3; ++row) {
        const QString mobile = model->index(row, ContactTableModel::Adr_GSM_No).data().toString();
        if (mobile.isEmpty())
            continue;
        numbers.append(mobile);
        groupList->selectionModel()->select(model->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QCOMPARE(numbers.size(), 3);
    click(u"Cmd_Lst_Ekle");
    child<QPlainTextEdit>(u"Text2")->setPlainText(QString(170, u'ş'));
    QCOMPARE(text(u"Label7"), u"6"_s);
    auto *send = child<QPushButton>(u"cmdGonder");
    QVERIFY(send->isEnabled());

    const int reportRows = m_server->reportRowCount(kCustomer);
    click(u"cmdGonder");
    QCOMPARE(m_boxes->texts(), QStringList{u"Mesajlarınız Gönderildi."_s});
    const QString left = QString::number(startBalance.toLongLong() - 6);
    QCOMPARE(m_server->balance(kCustomer), left);
    QCOMPARE(text(u"Label6"), left);
    QCOMPARE(m_server->reportRowCount(kCustomer), reportRows + 3);

    // A balance below the cost: the service refuses, nothing is recorded.
    m_server->setBalance(kCustomer, u"5"_s);
    QVERIFY(send->isEnabled());
    click(u"cmdGonder");
    QCOMPARE(m_boxes->lastText(), u"Mesajlarınız Gönderilemedi..!"_s);
    QCOMPARE(text(u"Label6"), u"-1"_s);
    QCOMPARE(m_server->balance(kCustomer), u"5"_s);
    QCOMPARE(m_server->reportRowCount(kCustomer), reportRows + 3);
    QTest::mouseClick(child<QLabel>(u"Label6"), Qt::LeftButton);
    QVERIFY(!send->isEnabled());
}

void TestSendDevServer::send_leavesOutRecipientsWithoutNumber()
{
    open();
    const qint64 startBalance = m_server->balance(kCustomer).toLongLong();
    const int reportRows = m_server->reportRowCount(kCustomer);
    // 12, 24 and 38 have no mobile number; 39 and 40 share one.
    addRecords({u"1"_s, u"12"_s, u"24"_s, u"38"_s, u"39"_s, u"40"_s});
    child<QPlainTextEdit>(u"Text2")->setPlainText(QString(170, u'x'));
    QCOMPARE(text(u"Label2_0"), u"6"_s);
    QVERIFY(child<QLabel>(u"lblNumarasiYok")->isVisible());
    QCOMPARE(text(u"lblNumarasiYok"), u"(3 kişinin numarası yok)"_s);
    // 39 and 40 share a phone: it rings once and is charged once.
    QCOMPARE(text(u"lblGonderimNotu"), u"(1 yinelenen numara bir kez gönderilecek)"_s);
    QCOMPARE(text(u"Label7"), u"4"_s); // 2 numbers × 2 parts

    click(u"cmdGonder");
    QCOMPARE(m_boxes->texts(), QStringList{u"Mesajlarınız Gönderildi."_s});
    QCOMPARE(decodedField(lastSendBody(), u"Tel_Nolar"_s), u"05321112233,05357778801"_s);
    QCOMPARE(decodedField(lastSendBody(), u"Kontor"_s), u"2"_s);
    QCOMPARE(m_server->balance(kCustomer), QString::number(startBalance - 4));
    QCOMPARE(m_server->reportRowCount(kCustomer), reportRows + 2);

    // Only recipients without a number left: nothing to pay, and the send
    // says why it does not go.
    auto *recipients = child<QTreeView>(u"ListView3");
    recipients->clearSelection();
    for (int row = 0; row < recipients->model()->rowCount(); ++row) {
        if (!recipients->model()->index(row, ContactTableModel::Adr_GSM_No).data().toString().isEmpty())
            recipients->selectionModel()->select(recipients->model()->index(row, 0),
                                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    click(u"Cmd_Lst_Cikar");
    QCOMPARE(text(u"Label2_0"), u"3"_s);
    QCOMPARE(text(u"lblNumarasiYok"), u"(3 kişinin numarası yok)"_s);
    QCOMPARE(text(u"Label7"), u"0"_s);
    sendGoesNowhere(u"Seçilen kişilerin hiçbirinin cep telefonu numarası yok. Mesaj gönderilmedi."_s);
    QCOMPARE(m_server->balance(kCustomer), QString::number(startBalance - 4));

    recipients->selectAll();
    click(u"Cmd_Lst_Cikar");
    QVERIFY(child<QLabel>(u"lblNumarasiYok")->isHidden());
    QVERIFY(!child<QPushButton>(u"cmdGonder")->isEnabled());
}

void TestSendDevServer::messageBox_holdsWhatIsSent()
{
    open();
    addRecords({u"1"_s});
    auto *box = child<MessageEdit>(u"Text2");
    box->setFocus();
    // An emoji, a Cyrillic letter, a no-break space, a letter with a best
    // fit: typed, then pasted in the middle.
    test::typeText(box, u"a\U0001F600Ж\u00A0ā"_s);
    QCOMPARE(box->message(), u"a??\u00A0a"_s);
    QCOMPARE(text(u"Label2_1"), u"5"_s);
    QCOMPARE(text(u"lblMesajBilgisi"), u"1 mesaj · 155 karakter kaldı"_s);
    QTextCursor caret = box->textCursor();
    caret.setPosition(1);
    box->setTextCursor(caret);
    QApplication::clipboard()->setText(u"\U0001F600Дş\u00A0"_s);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->message(), u"a??s\u00A0??\u00A0a"_s);
    QCOMPARE(box->textCursor().position(), 5);
    QCOMPARE(text(u"Label2_1"), u"9"_s);

    // Set by the program: the caret stays on the same character although
    // each emoji shrinks from two units to one.
    box->setPlainText(u"\U0001F600\U0001F600x\u00A0y"_s);
    QCOMPARE(box->message(), u"??x\u00A0y"_s);
    caret = box->textCursor();
    caret.setPosition(4);
    box->setTextCursor(caret);
    box->insertPlainText(u"\U0001F600"_s);
    QCOMPARE(box->message(), u"??x\u00A0?y"_s);
    QCOMPARE(box->textCursor().position(), 5);

    const QString shown = box->message();
    click(u"cmdGonder");
    QCOMPARE(m_boxes->lastText(), u"Mesajlarınız Gönderildi."_s);
    QCOMPARE(decodedField(lastSendBody(), u"Mesaj"_s), shown);
}

void TestSendDevServer::numbers_fromOutsideThePhoneBook()
{
    open();
    const qint64 startBalance = m_server->balance(kCustomer).toLongLong();
    addRecords({u"1"_s}); // 05321112233
    auto *field = child<QLineEdit>(u"txtNumaraEkle");
    auto *recipients = child<QTreeView>(u"ListView3");
    QVERIFY(!child<QPushButton>(u"cmdNumaraEkle")->isEnabled());

    // Pasted: the contact's number in another form, new numbers in every
    // form, two that are no mobile numbers, a repeat within the paste.
    QApplication::clipboard()->setText(u"+90 532 111 22 33\r\n0090 544 111 22 33; 90545 111 2233, 546 111 2233\n"
                                       "(0547) 111-22-33\nabc\n0212 111 22 33\n05441112233"_s);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    click(u"cmdNumaraEkle");
    QCOMPARE(shownColumn(recipients, ContactTableModel::Adr_GSM_No),
             (QStringList{u"05441112233"_s, u"05451112233"_s, u"05461112233"_s, u"05471112233"_s,
                          u"05321112233"_s}));
    QCOMPARE(shownColumn(recipients, ContactTableModel::Adr_Adi),
             (QStringList{QString(), QString(), QString(), QString(), u"Ahmet"_s}));
    QCOMPARE(m_boxes->texts(), QStringList{u"Cep telefonu numarası olarak okunamayanlar eklenmedi:\nabc\n"
                                           "0212 111 22 33\n\n2 numara zaten listede olduğu için yeniden "
                                           "eklenmedi."_s});
    QCOMPARE(field->text(), u"abc, 0212 111 22 33"_s); // left to be put right
    QCOMPARE(text(u"Label2_0"), u"5"_s);
    QVERIFY(m_window->isChosen(u"+05441112233"_s));

    // Typed and entered; a contact's key is never taken.
    field->clear();
    QTest::keyClicks(field, u"0548 111 22 33"_s);
    QTest::keyClick(field, Qt::Key_Return);
    QVERIFY(field->text().isEmpty());
    QCOMPARE(text(u"Label2_0"), u"6"_s);
    QCOMPARE(m_window->chosenKeys(), u"#0000000001#+05441112233+05451112233+05461112233+05471112233+05481112233"_s);

    // Removed like a contact, and can be added again.
    recipients->selectionModel()->select(recipients->model()->index(0, 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    click(u"Cmd_Lst_Cikar");
    QVERIFY(!m_window->isChosen(u"+05441112233"_s));
    QCOMPARE(text(u"Label2_0"), u"5"_s);
    field->setText(u"05441112233"_s);
    click(u"cmdNumaraEkle");
    QCOMPARE(text(u"Label2_0"), u"6"_s);

    // A contact chosen later with a number already typed in takes its place.
    field->setText(u"0533 222 33 44"_s); // Ayşe Demir's number
    click(u"cmdNumaraEkle");
    QCOMPARE(text(u"Label2_0"), u"7"_s);
    addRecords({u"2"_s});
    QCOMPARE(text(u"Label2_0"), u"7"_s);
    QVERIFY(!m_window->isChosen(u"+05332223344"_s));
    QCOMPARE(shownColumn(recipients, ContactTableModel::Adr_GSM_No).count(u"05332223344"_s), 1);

    child<QPlainTextEdit>(u"Text2")->setPlainText(u"Kampanya"_s);
    QCOMPARE(text(u"Label7"), u"7"_s);
    const int reportRows = m_server->reportRowCount(kCustomer);
    click(u"cmdGonder");
    QCOMPARE(m_boxes->lastText(), u"Mesajlarınız Gönderildi."_s);
    QCOMPARE(decodedField(lastSendBody(), u"Tel_Nolar"_s),
             u"05451112233,05461112233,05471112233,05481112233,05441112233,05321112233,05332223344"_s);
    QCOMPARE(m_server->balance(kCustomer), QString::number(startBalance - 7));
    QCOMPARE(m_server->reportRowCount(kCustomer), reportRows + 7);
}

void TestSendDevServer::templates_keptAcrossWindows()
{
    open();
    auto *box = child<QPlainTextEdit>(u"Text2");
    auto *names = child<QComboBox>(u"cmbSablon");
    QCOMPARE(names->count(), 0);
    box->setPlainText(u"Bayramınız kutlu olsun"_s);
    names->setEditText(u"  Bayram "_s);
    click(u"cmdSablonKaydet");
    box->setPlainText(u"İndirim başladı"_s);
    names->setEditText(u"İndirim"_s);
    click(u"cmdSablonKaydet");
    QVERIFY(m_boxes->boxes().isEmpty());

    // Another window, as after a restart: the templates are there.
    m_window.reset();
    open();
    box = child<QPlainTextEdit>(u"Text2");
    names = child<QComboBox>(u"cmbSablon");
    QCOMPARE(names->count(), 2);
    QCOMPARE(names->itemText(0), u"Bayram"_s);
    QCOMPARE(names->itemText(1), u"İndirim"_s);
    QVERIFY(box->toPlainText().isEmpty());
    names->setFocus();
    QTest::keyClick(names, Qt::Key_Down);
    QCOMPARE(box->toPlainText(), u"Bayraminiz kutlu olsun"_s);
    QCOMPARE(text(u"Label2_1"), u"22"_s);

    // Replacing other text asks first.
    box->setPlainText(u"Yarım kalan metin"_s);
    m_boxes->answerNext(false);
    QTest::keyClick(names, Qt::Key_Down);
    QCOMPARE(box->toPlainText(), u"Yarim kalan metin"_s);
    QCOMPARE(m_boxes->boxes().constLast().yesNo, true);
    QTest::keyClick(names, Qt::Key_Up);
    QCOMPARE(box->toPlainText(), u"Bayraminiz kutlu olsun"_s);
    QCOMPARE(m_boxes->boxes().size(), 2);

    // The same name in other letter case replaces the text, after asking.
    box->setPlainText(u"Iyi bayramlar"_s);
    names->setEditText(u"bayram"_s);
    click(u"cmdSablonKaydet");
    QCOMPARE(m_boxes->lastText(), u"\"Bayram\" adlı bir şablon zaten var. Metni bu mesajla değiştirilsin mi?"_s);
    QCOMPARE(names->count(), 2);
    QCOMPARE(names->currentText(), u"Bayram"_s);

    // Deleted after asking; gone in the next window too.
    QVERIFY(child<QPushButton>(u"cmdSablonSil")->isEnabled());
    click(u"cmdSablonSil");
    QCOMPARE(m_boxes->lastText(), u"\"Bayram\" şablonu silinsin mi?"_s);
    QCOMPARE(names->count(), 1);
    QVERIFY(!child<QPushButton>(u"cmdSablonSil")->isEnabled());
    m_window.reset();
    open();
    names = child<QComboBox>(u"cmbSablon");
    QCOMPARE(names->count(), 1);
    QCOMPARE(names->itemText(0), u"İndirim"_s);
    names->setFocus();
    QTest::keyClick(names, Qt::Key_Down);
    QCOMPARE(child<QPlainTextEdit>(u"Text2")->toPlainText(), u"Indirim basladi"_s);
}

void TestSendDevServer::templates_fileWrittenElsewhere()
{
    // A template the box would not hold as written is converted on filling.
    const QString path = MessageTemplateStore::defaultFilePath();
    QVERIFY(MessageTemplateStore(path).save(u"Elle"_s, u"Şeker \U0001F600 Ж"_s, nullptr));
    open();
    auto *names = child<QComboBox>(u"cmbSablon");
    names->setFocus();
    QTest::keyClick(names, Qt::Key_Down);
    QCOMPARE(child<MessageEdit>(u"Text2")->message(), u"Seker ? ?"_s);
    QCOMPARE(text(u"Label2_1"), u"9"_s);
    m_window.reset();

    // A file that cannot be read: said at opening, kept aside on the next save.
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("{ bozuk");
    file.close();
    open();
    QCOMPARE(m_boxes->boxes().size(), 1);
    QVERIFY(m_boxes->lastText().startsWith(u"Kayıtlı mesaj şablonları okunamadı"_s));
    QCOMPARE(child<QComboBox>(u"cmbSablon")->count(), 0);
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"Yeni"_s);
    child<QComboBox>(u"cmbSablon")->setEditText(u"Yeni"_s);
    click(u"cmdSablonKaydet");
    QFile aside(path + u".bozuk"_s);
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), QByteArray("{ bozuk"));
    MessageTemplateStore reread(path);
    QCOMPARE(reread.load(), MessageTemplateStore::LoadResult::Loaded);
    QCOMPARE(reread.templates().size(), 1);
}


void TestSendDevServer::personalised_eachNumberItsOwnText()
{
    // Exactly the sum of the parts: three recipients of the longest text
    // would cost 6.
    m_server->setBalance(kCustomer, u"5"_s);
    open();
    const qint64 startBalance = 5;
    // The staff group's own contacts: Ali Kılıç, Şükrü Aksoy, Gülşen Bulut.
    clickNode(u"M_4"_s);
    click(u"Cmd_Sec");
    click(u"Cmd_Lst_Ekle");
    QCOMPARE(text(u"Label2_0"), u"3"_s);

    // A field typed with its Turkish letter folds into the field; another
    // comes from "Alan Ekle" at the caret. The tail takes Ali's text to 159
    // characters, Şükrü's to 161 and Gülşen's to 162.
    auto *box = child<MessageEdit>(u"Text2");
    box->setFocus();
    test::typeText(box, u"Sayın {Adı} , "_s);
    QTextCursor caret = box->textCursor();
    caret.setPosition(12); // after the blank behind {Adi}
    box->setTextCursor(caret);
    child<QAction>(u"mnuAlan_Soyadi")->trigger();
    QCOMPARE(box->textCursor().position(), 20);
    box->moveCursor(QTextCursor::End);
    box->insertPlainText(QString(142, u'x'));
    QCOMPARE(box->message(), u"Sayin {Adi} {Soyadi}, "_s + QString(142, u'x'));
    QCOMPARE(text(u"Label2_1"), u"164"_s); // the message as typed
    QCOMPARE(text(u"lblMesajBilgisi"), u"1–2 mesaj"_s);
    QCOMPARE(text(u"Label7"), u"5"_s); // 1 + 2 + 2
    QVERIFY(child<QPushButton>(u"cmdGonder")->isEnabled());

    // The preview: the first recipient's text, and the longest one.
    click(u"cmdOnizleme");
    const QStringList preview = m_boxes->lastText().split(u"\n\n"_s);
    QCOMPARE(preview.size(), 4);
    QCOMPARE(preview.at(0), u"İlk alıcı: Ali Kılıç (05052223345) · 1 mesaj, 159 karakter"_s);
    QCOMPARE(preview.at(1), u"Sayin Ali Kilic, "_s + QString(142, u'x'));
    QCOMPARE(preview.at(2), u"En uzun metin: Gülşen Bulut (05324445567) · 2 mesaj, 162 karakter"_s);
    m_boxes->clear();

    // Three texts, three requests, under the progress dialog; the window
    // does not close meanwhile.
    click(u"cmdGonder");
    QVERIFY(m_window->findChild<QDialog *>(u"SendProgress"_s));
    QVERIFY(!m_window->close());
    QTRY_COMPARE(m_boxes->texts(), QStringList{u"Mesajlarınız Gönderildi.\n3 numaraya gönderildi."_s});
    QCOMPARE(sendBodies().size(), 3);
    QCOMPARE(m_server->balance(kCustomer), QString::number(startBalance - 5));
    QCOMPARE(text(u"Label6"), m_server->balance(kCustomer));
    QCOMPARE(reportedWith(u"Sayin"_s),
             (QStringList{u"05052223345 Sayin Ali Kilic, "_s + QString(142, u'x'),
                          u"05313334456 Sayin Sukru Aksoy, "_s + QString(142, u'x'),
                          u"05324445567 Sayin Gulsen Bulut, "_s + QString(142, u'x')}));
    QVERIFY(child<QPushButton>(u"cmdGonder")->isEnabled());
    QVERIFY(m_window->close());
}

void TestSendDevServer::optOut_neitherSentNorCharged()
{
    open();
    const qint64 startBalance = m_server->balance(kCustomer).toLongLong();
    // 39 and 40 share a phone; "Kara Liste" holds 05369990044, here typed.
    addRecords({u"1"_s, u"39"_s, u"40"_s});
    child<QLineEdit>(u"txtNumaraEkle")->setText(u"+90 536 999 00 44"_s);
    click(u"cmdNumaraEkle");
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"Merhaba {Adi}"_s);
    QCOMPARE(text(u"Label2_0"), u"4"_s);
    QCOMPARE(text(u"lblGonderimNotu"), u"(1 yinelenen numara bir kez gönderilecek, 1 numara kara listede)"_s);
    QCOMPARE(text(u"Label7"), u"2"_s);
    click(u"cmdGonder");
    QTRY_COMPARE(m_boxes->texts().size(), 1);
    QCOMPARE(reportedWith(u"Merhaba"_s),
             (QStringList{u"05321112233 Merhaba Ahmet"_s, u"05357778801 Merhaba Suleyman"_s}));
    QCOMPARE(m_server->balance(kCustomer), QString::number(startBalance - 2));

    // Put into the list while the window is open: left out from then on.
    QCOMPARE(MoveContact(*m_service, u"1"_s, u"13"_s), u"1"_s);
    AccountSnapshot reloaded;
    QCOMPARE(RefreshAccountSnapshot(*m_service, reloaded, kCustomer), RefreshResult::Loaded);
    m_session->setSnapshot(reloaded);
    QCOMPARE(text(u"lblGonderimNotu"), u"(1 yinelenen numara bir kez gönderilecek, 2 numara kara listede)"_s);
    QCOMPARE(text(u"Label7"), u"1"_s);

    // The list chosen as recipients itself: nobody to send to, and the send says why.
    child<QTreeView>(u"ListView3")->selectAll();
    click(u"Cmd_Lst_Cikar");
    clickNode(u"M_13"_s);
    click(u"Cmd_Sec");
    click(u"Cmd_Lst_Ekle");
    QCOMPARE(text(u"Label2_0"), u"2"_s);
    QCOMPARE(text(u"Label7"), u"0"_s);
    sendGoesNowhere(u"Gönderilecek numara kalmadı (2 numara kara listede). Mesaj gönderilmedi."_s);
    QCOMPARE(m_server->balance(kCustomer), QString::number(startBalance - 2));
}

void TestSendDevServer::personalised_stoppedBetweenRequests()
{
    open();
    child<QLineEdit>(u"txtNumaraEkle")->setText(u"05320000001 05320000002 05320000003"_s);
    click(u"cmdNumaraEkle");
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"Numaraniz {Gsm}"_s);
    click(u"cmdGonder");

    // "Vazgeç" pressed while the first request is on its way: its click is
    // taken as that request ends, before the next one.
    auto *runner = m_window->findChild<SendRunner *>();
    QVERIFY(runner);
    auto *progress = m_window->findChild<QDialog *>(u"SendProgress"_s);
    QVERIFY(progress);
    connect(runner, &SendRunner::requestFinished, progress, [progress] {
        if (auto *stop = progress->findChild<QPushButton *>(u"cmdGonderimVazgec"_s); stop->isEnabled())
            QTest::mouseClick(stop, Qt::LeftButton);
    });
    QTRY_COMPARE(m_boxes->texts(),
                 QStringList{u"Gönderimi durdurdunuz.\n1 numaraya gönderildi, 2 numaraya gönderilmedi."_s});
    QCOMPARE(sendBodies().size(), 1);
    QCOMPARE(reportedWith(u"Numaraniz"_s), QStringList{u"05320000001 Numaraniz 05320000001"_s});
    // The balance is read again, and the send offered again.
    QCOMPARE(text(u"Label6"), m_server->balance(kCustomer));
    QCOMPARE(m_server->balance(kCustomer), u"999"_s);
    QVERIFY(child<QPushButton>(u"cmdGonder")->isEnabled());
}

void TestSendDevServer::personalised_emptyFieldAsked()
{
    open();
    // Ahmet has a name; the two typed numbers have none.
    addRecords({u"1"_s});
    child<QLineEdit>(u"txtNumaraEkle")->setText(u"05320000001, 05320000002"_s);
    click(u"cmdNumaraEkle");
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"Merhaba {Adi}"_s);

    m_boxes->answerNext(false);
    click(u"cmdGonder");
    QCOMPARE(m_boxes->boxes().size(), 1);
    QVERIFY(m_boxes->boxes().constFirst().yesNo);
    QCOMPARE(m_boxes->lastText(), u"2 kişinin Adı alanı boş; bu kişilere alan boş olarak gidecek. Gönderilsin mi?"_s);
    QVERIFY(sendBodies().isEmpty());
    QVERIFY(child<QPushButton>(u"cmdGonder")->isEnabled());

    // Fields alone: nothing would be left for the two without a name.
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"{Adi} "_s);
    sendGoesNowhere(u"Alanları boş olduğu için 2 kişiye gidecek mesaj boş kalıyor; boş mesaj gönderilmez. "
                    "Mesaja alanların dışında bir metin ekleyiniz."_s);
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"Merhaba {Adi}"_s);

    // Yes: the two without a name share one text (they stand first on the
    // list), so two requests.
    m_boxes->clear();
    m_boxes->answerNext(true);
    click(u"cmdGonder");
    QTRY_COMPARE(m_boxes->boxes().size(), 2);
    QCOMPARE(m_boxes->lastText(), u"Mesajlarınız Gönderildi.\n3 numaraya gönderildi."_s);
    QCOMPARE(sendBodies().size(), 2);
    QCOMPARE(decodedField(sendBodies().at(0), u"Tel_Nolar"_s), u"05320000001,05320000002"_s);
    QCOMPARE(decodedField(sendBodies().at(0), u"Mesaj"_s), u"Merhaba "_s);
}

QTEST_MAIN(TestSendDevServer)
#include "tst_send_devserver.moc"
