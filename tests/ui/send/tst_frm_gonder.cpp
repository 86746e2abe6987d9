#include "fakeservice.h"
#include "sendwindowtest.h"
#include "testsupport.h"

#include "model/session.h"
#include "service/coding.h"
#include "service/service.h"
#include "service/transport.h"
#include "ui/common/contacttablemodel.h"
#include "ui/send/frm_gonder.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <optional>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

struct Row
{
    QString no, group, name, surname, mobile;
};

// A command 1 payload: customer 1001 with the given sender names, the groups
// ("no|parent|name") and the contacts.
QString accountPayload(const QStringList &senderNames, const QStringList &groups, const QList<Row> &contacts)
{
    QStringList customer(CustomerRecord::FieldCount);
    customer[CustomerRecord::Cari_No] = u"1001"_s;
    for (int i = 0; i < senderNames.size(); ++i)
        customer[CustomerRecord::Cari_SMS_Gonderici_Adi1 + i] = senderNames[i];
    QString payload = u"<Cari>"_s + customer.join(u'|') + u"<Cari><Grup>"_s;
    for (const QString &group : groups)
        payload += u"<>"_s + group;
    payload += u"<Grup><Adres>"_s;
    for (const Row &c : contacts)
        payload += u"<>%1|%2|%3|%4||||||%5||"_s.arg(c.no, c.group, c.name, c.surname, c.mobile);
    return payload + u"<Adres>"_s;
}

const QStringList kGroups{u"1|0|Aile"_s, u"2|0|İş"_s, u"3|1|Okul"_s, u"6|7|Önce gelen"_s, u"7|0|Sonra"_s,
                          u"8|99|Yetim"_s};
const QList<Row> kContacts{
    {u"9"_s, u"1"_s, u"Ali"_s, u"Işık"_s, u"05321112233"_s},
    {u"10"_s, u"1"_s, u"Veli"_s, u"Şen"_s, u"05551234567"_s},
    {u"2"_s, u"3"_s, u"Ayşe"_s, u"Okur"_s, u"05440532000"_s},
    {u"11"_s, u"2"_s, u"Can"_s, u"Demir"_s, u"05443332211"_s},
    {u"12"_s, u"99"_s, u"Orhan"_s, u"Yalnız"_s, u"05001112233"_s},
};

QStringList selectedRecordNumbers(const QTreeView *view)
{
    QStringList out;
    for (const QModelIndex &index : view->selectionModel()->selectedRows(ContactTableModel::Adr_K_No))
        out.append(index.data().toString());
    return out;
}

QStringList shownRecordNumbers(const QTreeView *view)
{
    QStringList out;
    const QAbstractItemModel *model = view->model();
    for (int row = 0; row < model->rowCount(); ++row)
        out.append(model->index(row, ContactTableModel::Adr_K_No).data().toString());
    return out;
}

} // namespace

class TestFrmGonder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void opening_state();
    void opening_withoutSenderName_keepsSendDisabled();
    void groupTree_keepsEveryGroup();
    void groupClick_showsOnlyThatGroup();
    void typing_foldsTurkishLetters();
    void pasting_foldsAndKeepsCaret();
    void pasting_undoTakesBackThePaste();
    void lengthAndParts_data();
    void lengthAndParts();
    void search_data();
    void search();
    void addAndRemove_keepOneEntryAndOrder();
    void listCommands_focusTheirList();
    void tabOrder_followsTheFrames();
    void chosenKeys_recordNumberHoldingHash();
    void snapshotReload_refillsListsOnNextGroupClick();
    void cost_withUnknownBalance_keepsSendDisabled();
    void cost_againstBalance_data();
    void cost_againstBalance();
    void send_bodyFieldByField_data();
    void send_bodyFieldByField();
    void send_resultBySection_data();
    void send_resultBySection();
    void send_notLoggedIn_sendsNothing();
    void balanceClick_afterSend_reappliesRule();
    void close_refusedWhileSending();

private:
    Frm_Gonder *open(const QStringList &senderNames = {u"VELMOR"_s},
                     const QStringList &groups = kGroups, const QList<Row> &contacts = kContacts);
    template<typename T> T *child(const char16_t *name) const { return test::control<T>(m_window.get(), name); }
    QString text(const char16_t *label) const { return child<QLabel>(label)->text(); }
    void addRecords(const QStringList &recordNumbers);

    std::unique_ptr<test::FakeService> m_server;
    std::unique_ptr<Service> m_service;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<Frm_Gonder> m_window;
    std::unique_ptr<test::MessageRecorder> m_boxes;
};

void TestFrmGonder::init()
{
    m_server = std::make_unique<test::FakeService>();
    m_server->setPayload(2, u"<SMSKontor>1500<SMSKontor>"_s);
    m_service = std::make_unique<Service>(std::make_shared<HttpTransport>(m_server->endpoint(), 3000));
    m_session = std::make_unique<Session>();
    m_boxes = std::make_unique<test::MessageRecorder>();
}

void TestFrmGonder::cleanup()
{
    m_window.reset();
    m_boxes.reset();
    m_session.reset();
    m_service.reset();
    m_server.reset();
}

Frm_Gonder *TestFrmGonder::open(const QStringList &senderNames, const QStringList &groups,
                                const QList<Row> &contacts)
{
    AccountSnapshot snapshot;
    if (!LoadAccountSnapshot(snapshot, accountPayload(senderNames, groups, contacts)))
        qFatal("payload not loaded");
    m_session->setSnapshot(snapshot);
    m_session->setLoginActive(u"1"_s);
    m_window = std::make_unique<Frm_Gonder>(*m_service, *m_session);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qFatal("window not shown");
    for (const char16_t *name : {u"groupContactsModel", u"recipientsModel"}) {
        new QAbstractItemModelTester(child<ContactTableModel>(name),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest, m_window.get());
    }
    return m_window.get();
}

// Selects the rows of the group list holding these record numbers and adds them.
void TestFrmGonder::addRecords(const QStringList &recordNumbers)
{
    auto *list = child<QTreeView>(u"ListView2");
    list->clearSelection();
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        const QModelIndex index = list->model()->index(row, ContactTableModel::Adr_Adi);
        if (recordNumbers.contains(list->model()->index(row, 0).data().toString()))
            list->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QTest::mouseClick(child<QPushButton>(u"Cmd_Lst_Ekle"), Qt::LeftButton);
}

void TestFrmGonder::opening_state()
{
    open({u"VELMOR"_s, u"   "_s, u"BILGI"_s});
    QCOMPARE(m_server->bodiesOf(2), QList<QByteArray>{"Rehber=2&Cari_No=1001"});
    QCOMPARE(text(u"Label6"), u"1500"_s);
    QCOMPARE(text(u"Label2_0"), u"0"_s);
    QCOMPARE(text(u"Label2_1"), u"0"_s);
    QCOMPARE(text(u"Label7"), u"0"_s);
    auto *senders = child<QComboBox>(u"Combo1");
    QCOMPARE(senders->count(), 2);
    QCOMPARE(senders->currentText(), u"VELMOR"_s);
    QCOMPARE(senders->itemText(1), u"BILGI"_s);
    QVERIFY(child<QLabel>(u"lblGondericiYok")->isHidden());
    QVERIFY(!child<QPushButton>(u"cmdGonder")->isEnabled());
    QVERIFY(!child<QPushButton>(u"Cmd_Lst_Cikar")->isEnabled());
    for (const char16_t *name : {u"Cmd_Lst_Ekle", u"Cmd_Sec", u"Cmd_Secim_iptal"})
        QVERIFY(child<QPushButton>(name)->isEnabled());
    QCOMPARE(child<QLineEdit>(u"text1")->maxLength(), 101);
    auto *list = child<QTreeView>(u"ListView2");
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(shownRecordNumbers(list).size(), kContacts.size());
    for (int column = 0; column < ContactTableModel::ColumnCount; ++column) {
        const bool shown = column == ContactTableModel::Adr_Adi || column == ContactTableModel::Adr_Soyadi
                           || column == ContactTableModel::Adr_GSM_No;
        QCOMPARE(list->isColumnHidden(column), !shown);
    }
    QVERIFY(m_window->chosenKeys().isEmpty());
    // A screen reader finds the lists, the tree and the message box by their panel captions.
    QCOMPARE(child<QWidget>(u"TreeView1")->accessibleName(), u"Adres Grupları"_s);
    QCOMPARE(list->accessibleName(), u"Gruptaki Kişiler"_s);
    QCOMPARE(child<QWidget>(u"ListView3")->accessibleName(), u"SMS Gönderilecek Kişiler"_s);
    QCOMPARE(child<QWidget>(u"Text2")->accessibleName(), u"SMS Metni"_s);
}

void TestFrmGonder::opening_withoutSenderName_keepsSendDisabled()
{
    m_server->setPayload(2, u"<SMSKontor>100000<SMSKontor>"_s);
    open({u" "_s, QString(), u"  "_s});
    QCOMPARE(child<QComboBox>(u"Combo1")->count(), 0);
    QVERIFY(!child<QLabel>(u"lblGondericiYok")->isHidden());
    QCOMPARE(child<QLabel>(u"lblGondericiYok")->text(), u"Onaylanmış gönderici adınız bulunmuyor."_s);
    addRecords({u"9"_s});
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"Merhaba"_s);
    QCOMPARE(text(u"Label7"), u"1"_s);
    QVERIFY(!child<QPushButton>(u"cmdGonder")->isEnabled());
    m_window->BalanceClick();
    QVERIFY(!child<QPushButton>(u"cmdGonder")->isEnabled());
}

void TestFrmGonder::groupTree_keepsEveryGroup()
{
    open();
    auto *tree = child<QTreeWidget>(u"TreeView1");
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *root = tree->topLevelItem(0);
    QCOMPARE(root->text(0), u"Tümü"_s);
    QCOMPARE(root->data(0, Qt::UserRole).toString(), u"M_0"_s);
    QVERIFY(root->font(0).bold());
    QVERIFY(root->isExpanded());
    QCOMPARE(tree->currentItem(), root);

    QHash<QString, QTreeWidgetItem *> byKey;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        byKey.insert((*it)->data(0, Qt::UserRole).toString(), *it);
    QCOMPARE(byKey.size(), kGroups.size() + 1);

    struct Expect
    {
        const char16_t *key;
        const char16_t *parent;
        bool topLevel;
    };
    // 6 names a parent that comes later, 8 one that does not exist: both
    // hang under "Tümü", drawn as sub-groups.
    for (const Expect &e : {Expect{u"M_1", u"M_0", true}, Expect{u"M_2", u"M_0", true},
                            Expect{u"M_3", u"M_1", false}, Expect{u"M_6", u"M_0", false},
                            Expect{u"M_7", u"M_0", true}, Expect{u"M_8", u"M_0", false}}) {
        QTreeWidgetItem *node = byKey.value(QString::fromUtf16(e.key));
        QVERIFY(node);
        QCOMPARE(node->parent()->data(0, Qt::UserRole).toString(), QString::fromUtf16(e.parent));
        QCOMPARE(node->font(0).bold(), e.topLevel);
        QCOMPARE(node->foreground(0).color(), e.topLevel ? QColor(255, 0, 0) : QColor(0, 0, 255));
        QVERIFY(node->isExpanded() || node->childCount() == 0);
    }
    QCOMPARE(byKey.value(u"M_2"_s)->text(0), u"İş"_s);
}

void TestFrmGonder::groupClick_showsOnlyThatGroup()
{
    open();
    auto *tree = child<QTreeWidget>(u"TreeView1");
    auto *list = child<QTreeView>(u"ListView2");
    auto clickNode = [tree](const QString &key) {
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if ((*it)->data(0, Qt::UserRole).toString() == key) {
                tree->scrollToItem(*it);
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(*it).center());
                return;
            }
        }
        QFAIL("node not found");
    };
    clickNode(u"M_1"_s);
    QCOMPARE(shownRecordNumbers(list), (QStringList{u"9"_s, u"10"_s})); // not 2, of the sub-group 3
    clickNode(u"M_3"_s);
    QCOMPARE(shownRecordNumbers(list), QStringList{u"2"_s});
    clickNode(u"M_8"_s);
    QVERIFY(shownRecordNumbers(list).isEmpty());
    QVERIFY(!child<QPushButton>(u"Cmd_Lst_Ekle")->isEnabled());
    QVERIFY(!child<QPushButton>(u"Cmd_Sec")->isEnabled());
    QVERIFY(!child<QPushButton>(u"Cmd_Secim_iptal")->isEnabled());
    clickNode(u"M_0"_s); // every contact, also of a group without a node
    QCOMPARE(shownRecordNumbers(list), (QStringList{u"9"_s, u"10"_s, u"2"_s, u"11"_s, u"12"_s}));
    // Arrow keys choose a group as a click does.
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(tree->currentItem()->data(0, Qt::UserRole).toString(), u"M_1"_s);
    QCOMPARE(shownRecordNumbers(list), (QStringList{u"9"_s, u"10"_s}));
}

void TestFrmGonder::typing_foldsTurkishLetters()
{
    open();
    auto *box = child<QPlainTextEdit>(u"Text2");
    box->setFocus();
    test::typeText(box, u"İstanbul'a"_s);
    QCOMPARE(box->toPlainText(), u"Istanbul a"_s);
    QCOMPARE(text(u"Label2_1"), u"10"_s);
    test::typeText(box, u"; ĞÜŞÖÇ ğüşıöç âé’"_s);
    QCOMPARE(box->toPlainText(), u"Istanbul a: GUSOC gusioc âé "_s);
    QCOMPARE(box->textCursor().position(), box->toPlainText().size());
}

void TestFrmGonder::pasting_foldsAndKeepsCaret()
{
    open();
    auto *box = child<QPlainTextEdit>(u"Text2");
    box->setFocus();
    QApplication::clipboard()->setText(u"Gün;bitti’"_s);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->toPlainText(), u"Gun:bitti "_s);
    QCOMPARE(text(u"Label2_1"), u"10"_s);

    // Inserted in the middle: the caret stays right after the insertion.
    box->setPlainText(u"abcd"_s);
    QTextCursor caret = box->textCursor();
    caret.setPosition(2);
    box->setTextCursor(caret);
    box->insertPlainText(u"çö"_s);
    QCOMPARE(box->toPlainText(), u"abcocd"_s);
    QCOMPARE(box->textCursor().position(), 4);

    // Set by the program, with the caret before a folded letter.
    box->setPlainText(u"ĞÜŞİÖÇ ğüşıöç"_s);
    QCOMPARE(box->toPlainText(), u"GUSIOC gusioc"_s);
    QCOMPARE(box->textCursor().position(), 0);
}

void TestFrmGonder::pasting_undoTakesBackThePaste()
{
    open();
    auto *box = child<QPlainTextEdit>(u"Text2");
    box->setFocus();
    test::typeText(box, u"ab"_s);
    QApplication::clipboard()->setText(u"şŞ"_s);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->toPlainText(), u"absS"_s);
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box->toPlainText(), u"ab"_s);
    QCOMPARE(text(u"Label2_1"), u"2"_s);
}

void TestFrmGonder::lengthAndParts_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("parts");
    QTest::newRow("1") << 1 << u"1"_s;
    QTest::newRow("160") << 160 << u"1"_s;
    QTest::newRow("161") << 161 << u"2"_s;
    QTest::newRow("320") << 320 << u"2"_s;
    QTest::newRow("321") << 321 << u"3"_s;
}

void TestFrmGonder::lengthAndParts()
{
    QFETCH(int, length);
    QFETCH(QString, parts);
    open();
    addRecords({u"9"_s});
    auto *box = child<QPlainTextEdit>(u"Text2");
    box->setPlainText(QString(length, u'x'));
    QCOMPARE(text(u"Label2_1"), QString::number(length));
    QCOMPARE(text(u"Label7"), parts);
    QVERIFY(child<QPushButton>(u"cmdGonder")->isEnabled());

    // A line break counts two characters.
    box->setPlainText(u"ab\ncd"_s);
    QCOMPARE(text(u"Label2_1"), u"6"_s);
    box->clear();
    QCOMPARE(text(u"Label2_1"), u"0"_s);
    QCOMPARE(text(u"Label7"), u"0"_s);
    QVERIFY(!child<QPushButton>(u"cmdGonder")->isEnabled());
}

void TestFrmGonder::search_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("shown");
    const QStringList all{u"9"_s, u"10"_s, u"2"_s, u"11"_s, u"12"_s};
    QTest::newRow("empty keeps every candidate") << QString() << all;
    QTest::newRow("case counts: ali") << u"ali"_s << QStringList{};
    QTest::newRow("Ali") << u"Ali"_s << QStringList{u"9"_s};
    QTest::newRow("ışık finds Işık") << u"ışık"_s << QStringList{u"9"_s};
    QTest::newRow("folded capitals: ŞEN") << u"Şen"_s << QStringList{u"10"_s};
    QTest::newRow("mobile, name or surname: 0532") << u"0532"_s << QStringList{u"9"_s, u"2"_s};
    QTest::newRow("single ?") << u"?"_s << all;
    QTest::newRow("star") << u"Ve*567"_s << QStringList{u"10"_s};
    QTest::newRow("digit wildcard") << u"0500#"_s << QStringList{u"12"_s};
    QTest::newRow("list") << u"[AC]"_s << QStringList{u"9"_s, u"2"_s, u"11"_s};
    QTest::newRow("negated list") << u"n [!D]"_s << QStringList{u"10"_s, u"12"_s};
    QTest::newRow("unclosed [ matches nothing") << u"[Ali"_s << QStringList{};
}

void TestFrmGonder::search()
{
    QFETCH(QString, search);
    QFETCH(QStringList, shown);
    open();
    auto *box = child<QLineEdit>(u"text1");
    auto *list = child<QTreeView>(u"ListView2");
    // Typed letter by letter (each keystroke narrows what the one before
    // showed), and set at once: the same rows.
    box->setFocus();
    test::typeText(box, search);
    QCOMPARE(box->text(), search);
    QCOMPARE(shownRecordNumbers(list), shown);
    box->clear();
    QCOMPARE(shownRecordNumbers(list).size(), kContacts.size());
    box->setText(search);
    QCOMPARE(shownRecordNumbers(list), shown);
    QCOMPARE(child<QPushButton>(u"Cmd_Lst_Ekle")->isEnabled(), !shown.isEmpty());
}

void TestFrmGonder::addAndRemove_keepOneEntryAndOrder()
{
    open();
    auto *groupList = child<QTreeView>(u"ListView2");
    auto *recipients = child<QTreeView>(u"ListView3");

    // Nothing selected: nothing added, the first row selected.
    QTest::mouseClick(child<QPushButton>(u"Cmd_Secim_iptal"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(u"Cmd_Lst_Ekle"), Qt::LeftButton);
    QVERIFY(m_window->recipients().isEmpty());
    QCOMPARE(groupList->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(groupList->selectionModel()->selectedRows().constFirst().row(), 0);

    QTest::mouseClick(child<QPushButton>(u"Cmd_Sec"), Qt::LeftButton);
    QCOMPARE(groupList->selectionModel()->selectedRows().size(), kContacts.size());
    QTest::mouseClick(child<QPushButton>(u"Cmd_Lst_Ekle"), Qt::LeftButton);
    const QStringList sorted{u"10"_s, u"11"_s, u"12"_s, u"2"_s, u"9"_s}; // record numbers as text
    QCOMPARE(shownRecordNumbers(recipients), sorted);
    QCOMPARE(m_window->chosenKeys(),
             u"#0000000009##0000000010##0000000002##0000000011##0000000012#"_s);
    QVERIFY(shownRecordNumbers(groupList).isEmpty());
    QCOMPARE(text(u"Label2_0"), u"5"_s);
    QVERIFY(!child<QPushButton>(u"Cmd_Lst_Ekle")->isEnabled());
    QVERIFY(child<QPushButton>(u"Cmd_Lst_Cikar")->isEnabled());

    // Remove "10" and "12".
    recipients->clearSelection();
    for (int row : {0, 2})
        recipients->selectionModel()->select(recipients->model()->index(row, 2),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::mouseClick(child<QPushButton>(u"Cmd_Lst_Cikar"), Qt::LeftButton);
    QCOMPARE(shownRecordNumbers(recipients), (QStringList{u"11"_s, u"2"_s, u"9"_s}));
    QCOMPARE(m_window->chosenKeys(), u"#0000000009##0000000002##0000000011#"_s);
    QVERIFY(!m_window->isChosen(u"#0000000010#"_s));
    QCOMPARE(shownRecordNumbers(groupList), (QStringList{u"10"_s, u"12"_s}));
    QCOMPARE(text(u"Label2_0"), u"3"_s);
    QCOMPARE(recipients->selectionModel()->selectedRows().constFirst().row(), 0);

    // A double click adds the row under the mouse.
    const QRect rowRect = groupList->visualRect(groupList->model()->index(1, ContactTableModel::Adr_Adi));
    QTest::mouseClick(groupList->viewport(), Qt::LeftButton, {}, rowRect.center());
    QTest::mouseDClick(groupList->viewport(), Qt::LeftButton, {}, rowRect.center());
    QCOMPARE(shownRecordNumbers(recipients), (QStringList{u"11"_s, u"12"_s, u"2"_s, u"9"_s}));

    // Everything off and on again: the same order, one entry each.
    recipients->selectAll();
    QTest::mouseClick(child<QPushButton>(u"Cmd_Lst_Cikar"), Qt::LeftButton);
    QVERIFY(m_window->recipients().isEmpty());
    QVERIFY(m_window->chosenKeys().isEmpty());
    QCOMPARE(text(u"Label2_0"), u"0"_s);
    QVERIFY(!child<QPushButton>(u"Cmd_Lst_Cikar")->isEnabled());
    QCOMPARE(shownRecordNumbers(groupList), (QStringList{u"9"_s, u"10"_s, u"2"_s, u"11"_s, u"12"_s}));
    groupList->selectAll();
    QTest::mouseClick(child<QPushButton>(u"Cmd_Lst_Ekle"), Qt::LeftButton);
    QCOMPARE(shownRecordNumbers(recipients), sorted);
}

void TestFrmGonder::listCommands_focusTheirList()
{
    open();
    auto *groupList = child<QTreeView>(u"ListView2");
    auto *recipients = child<QTreeView>(u"ListView3");
    auto *box = child<QPlainTextEdit>(u"Text2");
    auto focusAfterClick = [&](const char16_t *button) {
        box->setFocus();
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
        return m_window->focusWidget();
    };

    QCOMPARE(focusAfterClick(u"Cmd_Sec"), groupList);
    QCOMPARE(selectedRecordNumbers(groupList).size(), kContacts.size());
    QCOMPARE(focusAfterClick(u"Cmd_Secim_iptal"), groupList);
    QVERIFY(selectedRecordNumbers(groupList).isEmpty());

    // Adding: the first row of what is left is selected, the group list has the focus.
    for (int row : {0, 1}) // 9 and 10
        groupList->selectionModel()->select(groupList->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(focusAfterClick(u"Cmd_Lst_Ekle"), groupList);
    QCOMPARE(selectedRecordNumbers(groupList), QStringList{u"2"_s});
    QCOMPARE(shownRecordNumbers(recipients), (QStringList{u"10"_s, u"9"_s}));

    // Removing: the first row of what is left is selected, the recipient list has the focus.
    recipients->selectionModel()->select(recipients->model()->index(1, 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(focusAfterClick(u"Cmd_Lst_Cikar"), recipients);
    QCOMPARE(selectedRecordNumbers(recipients), QStringList{u"10"_s});

    // A double click in the recipient list removes the row under the mouse.
    const QRect rowRect = recipients->visualRect(recipients->model()->index(0, ContactTableModel::Adr_Adi));
    QTest::mouseClick(recipients->viewport(), Qt::LeftButton, {}, rowRect.center());
    QTest::mouseDClick(recipients->viewport(), Qt::LeftButton, {}, rowRect.center());
    QVERIFY(m_window->recipients().isEmpty());
    QVERIFY(m_window->chosenKeys().isEmpty());
    QCOMPARE(text(u"Label2_0"), u"0"_s);
    QCOMPARE(m_window->focusWidget(), recipients);
}

void TestFrmGonder::tabOrder_followsTheFrames()
{
    // Tab walks the frames as they stand: lists and numbers, the message and
    // its templates, the sender name, then the list commands beside the send.
    open();
    QStringList chain;
    QWidget *first = child<QWidget>(u"TreeView1");
    QWidget *widget = first;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && !widget->objectName().isEmpty() && !widget->focusProxy())
            chain.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != first && chain.size() < 40);
    const QStringList expected{u"TreeView1"_s,      u"text1"_s,          u"ListView2"_s,   u"Cmd_Sec"_s,
                               u"Cmd_Secim_iptal"_s, u"ListView3"_s,      u"txtNumaraEkle"_s, u"cmdNumaraEkle"_s,
                               u"Text2"_s,          u"cmdAlanEkle"_s,    u"cmdOnizleme"_s,
                               u"cmbSablon"_s,      u"cmdSablonKaydet"_s, u"cmdSablonSil"_s,
                               u"Combo1"_s,         u"Cmd_Lst_Ekle"_s,   u"Cmd_Lst_Cikar"_s, u"cmdGonder"_s};
    QCOMPARE(chain, expected);
}

void TestFrmGonder::chosenKeys_recordNumberHoldingHash()
{
    // The service's record numbers are not checked: one holding "#" still
    // leaves ChosenKeys and the recipient list in step.
    open({u"VELMOR"_s}, {u"1|0|A"_s},
         {{u"a#1"_s, u"1"_s, u"Ali"_s, u"Kara"_s, u"1"_s}, {u"7"_s, u"1"_s, u"Can"_s, u"Ak"_s, u"2"_s}});
    auto *groupList = child<QTreeView>(u"ListView2");
    auto *recipients = child<QTreeView>(u"ListView3");
    groupList->selectAll();
    QTest::mouseClick(child<QPushButton>(u"Cmd_Lst_Ekle"), Qt::LeftButton);
    QCOMPARE(m_window->chosenKeys(), u"#a#1##0000000007#"_s);
    QCOMPARE(shownRecordNumbers(recipients), (QStringList{u"7"_s, u"a#1"_s}));

    recipients->selectionModel()->select(recipients->model()->index(1, 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QTest::mouseClick(child<QPushButton>(u"Cmd_Lst_Cikar"), Qt::LeftButton);
    QCOMPARE(m_window->chosenKeys(), u"#0000000007#"_s);
    QVERIFY(!m_window->isChosen(u"#a#1#"_s));
    QCOMPARE(shownRecordNumbers(groupList), QStringList{u"a#1"_s});

    groupList->selectAll();
    QTest::mouseClick(child<QPushButton>(u"Cmd_Lst_Ekle"), Qt::LeftButton);
    QCOMPARE(m_window->chosenKeys(), u"#0000000007##a#1#"_s);
    recipients->selectAll();
    QTest::mouseClick(child<QPushButton>(u"Cmd_Lst_Cikar"), Qt::LeftButton);
    QVERIFY(m_window->chosenKeys().isEmpty());
    QCOMPARE(shownRecordNumbers(groupList), (QStringList{u"a#1"_s, u"7"_s}));
}

void TestFrmGonder::snapshotReload_refillsListsOnNextGroupClick()
{
    open();
    addRecords({u"9"_s});
    AccountSnapshot reloaded;
    QVERIFY(LoadAccountSnapshot(reloaded, accountPayload({u"VELMOR"_s}, {u"1|0|Aile"_s},
                                                         {{u"9"_s, u"1"_s, u"Ali"_s, u"Işık"_s, u"1"_s},
                                                          {u"20"_s, u"1"_s, u"Yeni"_s, u"Kişi"_s, u"2"_s}})));
    m_session->setSnapshot(reloaded);
    auto *tree = child<QTreeWidget>(u"TreeView1");
    int nodes = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        ++nodes;
    QCOMPARE(nodes, kGroups.size() + 1); // the tree is not rebuilt
    m_window->ShowGroupContacts();
    QCOMPARE(shownRecordNumbers(child<QTreeView>(u"ListView2")), QStringList{u"20"_s});
    QCOMPARE(shownRecordNumbers(child<QTreeView>(u"ListView3")), QStringList{u"9"_s});
}

void TestFrmGonder::cost_withUnknownBalance_keepsSendDisabled()
{
    m_server->removePayload(2);
    open();
    QCOMPARE(text(u"Label6"), u"--"_s);
    addRecords({u"9"_s});
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"a"_s);
    QCOMPARE(text(u"Label7"), u"1"_s);
    QVERIFY(!child<QPushButton>(u"cmdGonder")->isEnabled());
    QTest::mouseClick(child<QLabel>(u"Label6"), Qt::LeftButton);
    QVERIFY(!child<QPushButton>(u"cmdGonder")->isEnabled());
    QVERIFY(m_boxes->boxes().isEmpty());
}

void TestFrmGonder::cost_againstBalance_data()
{
    QTest::addColumn<QString>("balance");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("balance 5 < cost 6") << u"5"_s << false;
    QTest::newRow("balance 6 = cost 6") << u"6"_s << true;
}

void TestFrmGonder::cost_againstBalance()
{
    QFETCH(QString, balance);
    QFETCH(bool, enabled);
    m_server->setPayload(2, u"<SMSKontor>"_s + balance + u"<SMSKontor>"_s);
    open();
    addRecords({u"9"_s, u"10"_s});
    auto *box = child<QPlainTextEdit>(u"Text2");
    box->setPlainText(QString(161, u'x'));
    QCOMPARE(text(u"Label7"), u"4"_s);
    addRecords({u"11"_s}); // a recipient more raises the cost by the parts at once
    QCOMPARE(text(u"Label7"), u"6"_s);
    QCOMPARE(child<QPushButton>(u"cmdGonder")->isEnabled(), enabled);
    QTextCursor cursor = box->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.deletePreviousChar();
    box->setTextCursor(cursor);
    QCOMPARE(text(u"Label7"), u"3"_s);
    QVERIFY(child<QPushButton>(u"cmdGonder")->isEnabled());
}

void TestFrmGonder::send_bodyFieldByField_data()
{
    QTest::addColumn<QString>("serverTime");
    QTest::addColumn<bool>("serviceClock");
    QTest::newRow("service clock") << u"20240229235958"_s << true;
    QTest::newRow("empty: local clock") << QString() << false;
}

void TestFrmGonder::send_bodyFieldByField()
{
    QFETCH(QString, serverTime);
    QFETCH(bool, serviceClock);
    m_server->setPayload(13, serverTime);
    m_server->setPayload(3, u"<SMSGonderim>1490<SMSGonderim>"_s);
    // Empty mobiles at the start, in the middle and at the end of the list:
    // none of them leaves a trace in the telephone list.
    open({u"VELMOR"_s}, {u"1|0|A"_s},
         {{u"1"_s, u"1"_s, u"a"_s, u"a"_s, QString()},
          {u"2"_s, u"1"_s, u"b"_s, u"b"_s, u"0532"_s},
          {u"3"_s, u"1"_s, u"c"_s, u"c"_s, QString()},
          {u"4"_s, u"1"_s, u"d"_s, u"d"_s, u"0533"_s},
          {u"5"_s, u"1"_s, u"e"_s, u"e"_s, QString()}});
    child<QTreeView>(u"ListView2")->selectAll();
    QTest::mouseClick(child<QPushButton>(u"Cmd_Lst_Ekle"), Qt::LeftButton);
    const QString message = QString(150, u'm') + u"\nçok;"_s + QString(40, u'z');
    child<QPlainTextEdit>(u"Text2")->setPlainText(message);
    QCOMPARE(text(u"Label2_1"), u"196"_s);
    QCOMPARE(text(u"Label2_0"), u"5"_s);
    QCOMPARE(text(u"lblNumarasiYok"), u"(3 kişinin numarası yok)"_s);
    QCOMPARE(text(u"Label7"), u"4"_s); // only the two with a number pay
    m_server->clearBodies();

    const QDateTime before = QDateTime::currentDateTime();
    QTest::mouseClick(child<QPushButton>(u"cmdGonder"), Qt::LeftButton);
    const QDateTime after = QDateTime::currentDateTime();

    QCOMPARE(m_server->bodies().size(), 2);
    QCOMPARE(m_server->bodies().at(0), QByteArray("Rehber=13"));
    const auto fields = test::BodyFields(m_server->bodies().at(1));
    const QStringList names{u"Rehber"_s,        u"Cari_No"_s,       u"Gonderici_Adi"_s, u"SMS_Tip"_s,
                            u"Gonderme_Tarih"_s, u"Gonderme_Zaman"_s, u"Gecikme_Tarih"_s, u"Gecikme_Zaman"_s,
                            u"Sonuc_Kodu"_s,    u"Mesaj"_s,         u"Tel_Nolar"_s,     u"Kontor"_s};
    QCOMPARE(fields.size(), names.size());
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(fields[i].first, names[i]);
    QCOMPARE(fields[0].second, QByteArray("3"));
    QCOMPARE(fields[1].second, QByteArray("1001"));
    auto decoded = [&fields](int i) { return DecodeDigits(fields[i].second); };
    QCOMPARE(decoded(2), u"VELMOR"_s);
    QCOMPARE(decoded(3), u"1"_s);
    if (serviceClock) {
        QCOMPARE(decoded(4), u"20240229"_s);
        QCOMPARE(decoded(5), u"235958"_s);
    } else {
        QVERIFY(decoded(4) == before.toString(u"yyyyMMdd"_s) || decoded(4) == after.toString(u"yyyyMMdd"_s));
        const QString time = decoded(5);
        QCOMPARE(time.size(), 6);
        if (before.date() == after.date())
            QVERIFY(time >= before.toString(u"HHmmss"_s) && time <= after.toString(u"HHmmss"_s));
    }
    QVERIFY(fields[6].second.isEmpty());
    QVERIFY(fields[7].second.isEmpty());
    QCOMPARE(decoded(8), u"9999"_s);
    QCOMPARE(decoded(9), QString(150, u'm') + u"\r\ncok:"_s + QString(40, u'z'));
    QCOMPARE(decoded(10), u"0532,0533"_s);
    QCOMPARE(decoded(11), u"2"_s);

    QCOMPARE(text(u"Label6"), u"1490"_s);
    QCOMPARE(m_boxes->texts(), QStringList{u"Mesajlarınız Gönderildi."_s});
    QCOMPARE(m_boxes->boxes().constFirst().yesNo, false);
    QVERIFY(child<QPushButton>(u"cmdGonder")->isEnabled());
    // Nothing else changed: the same message goes again to the same people.
    QCOMPARE(m_window->recipients().size(), 5);
    QCOMPARE(text(u"Label2_1"), u"196"_s);
}

void TestFrmGonder::send_resultBySection_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QString>("balance");
    QTest::addColumn<bool>("success");
    QTest::newRow("0: balance used up") << u"<SMSGonderim>0<SMSGonderim>"_s << u"0"_s << true;
    QTest::newRow("-1: refused") << u"<SMSGonderim>-1<SMSGonderim>"_s << u"-1"_s << false;
    QTest::newRow("12abc") << u"<SMSGonderim>12abc<SMSGonderim>"_s << u"12abc"_s << true;
    QTest::newRow("markup shown as it came") << u"<SMSGonderim><b>7</b><SMSGonderim>"_s << u"<b>7</b>"_s << false;
    QTest::newRow("section missing") << u"1"_s << QString() << false;
    QTest::newRow("no reply envelope") << QString() << QString() << false;
}

void TestFrmGonder::send_resultBySection()
{
    QFETCH(QString, payload);
    QFETCH(QString, balance);
    QFETCH(bool, success);
    if (!payload.isNull())
        m_server->setPayload(3, payload);
    open();
    addRecords({u"9"_s});
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"x"_s);
    QTest::mouseClick(child<QPushButton>(u"cmdGonder"), Qt::LeftButton);
    QCOMPARE(m_server->bodiesOf(3).size(), 1);
    QCOMPARE(text(u"Label6"), balance);
    QCOMPARE(child<QLabel>(u"Label6")->textFormat(), Qt::PlainText);
    QCOMPARE(m_boxes->lastText(), success ? u"Mesajlarınız Gönderildi."_s : u"Mesajlarınız Gönderilemedi..!"_s);
    QVERIFY(child<QPushButton>(u"cmdGonder")->isEnabled());
}

void TestFrmGonder::send_notLoggedIn_sendsNothing()
{
    open();
    m_session->setLoginActive(QString());
    addRecords({u"9"_s});
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"x"_s);
    QVERIFY(child<QPushButton>(u"cmdGonder")->isEnabled());
    QTest::mouseClick(child<QPushButton>(u"cmdGonder"), Qt::LeftButton);
    QVERIFY(m_server->bodiesOf(3).isEmpty());
    QVERIFY(m_server->bodiesOf(13).isEmpty());
    QVERIFY(m_boxes->boxes().isEmpty());
    QVERIFY(!child<QPushButton>(u"cmdGonder")->isEnabled());
}

void TestFrmGonder::balanceClick_afterSend_reappliesRule()
{
    m_server->setPayload(2, u"<SMSKontor>3<SMSKontor>"_s);
    m_server->setPayload(3, u"<SMSGonderim>1<SMSGonderim>"_s);
    open();
    addRecords({u"9"_s, u"10"_s});
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"x"_s);
    QTest::mouseClick(child<QPushButton>(u"cmdGonder"), Qt::LeftButton);
    QCOMPARE(text(u"Label6"), u"1"_s);
    QVERIFY(child<QPushButton>(u"cmdGonder")->isEnabled()); // enabled again, though 2 > 1
    QTest::mouseClick(child<QLabel>(u"Label6"), Qt::LeftButton);
    QVERIFY(!child<QPushButton>(u"cmdGonder")->isEnabled());
    QCOMPARE(text(u"Label7"), u"2"_s);
}

void TestFrmGonder::close_refusedWhileSending()
{
    m_server->setPayload(3, u"<SMSGonderim>5<SMSGonderim>"_s);
    open();
    addRecords({u"9"_s});
    child<QPlainTextEdit>(u"Text2")->setPlainText(u"x"_s);
    std::optional<bool> closedWhileWaiting;
    m_server->beforeReplying(3, [this, &closedWhileWaiting] { closedWhileWaiting = m_window->close(); });
    QTest::mouseClick(child<QPushButton>(u"cmdGonder"), Qt::LeftButton);
    QCOMPARE(closedWhileWaiting, std::optional<bool>(false));
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_boxes->texts(), QStringList{u"Mesajlarınız Gönderildi."_s});
    QCOMPARE(text(u"Label6"), u"5"_s);
    QVERIFY(m_window->close());
}

QTEST_MAIN(TestFrmGonder)
#include "tst_frm_gonder.moc"
