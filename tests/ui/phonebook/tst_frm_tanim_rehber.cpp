// The phone book window against the development service (and a fixed-reply
// service for refusals): groups made, renamed and deleted from the tree's
// menu, contacts saved and deleted from the editor, the search, and moves by
// dropping a row on a group node.

#include "../../devserver/devserverfixture.h"
#include "../send/fakeservice.h"
#include "phonebookwindow.h"
#include "testsupport.h"

#include "model/session.h"
#include "service/coding.h"
#include "text/storedtext.h"
#include "ui/common/contacttablemodel.h"
#include "ui/common/grouptree.h"
#include "ui/phonebook/frm_tanim_rehber.h"
#include "ui/phonebook/phonebookwidgets.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrlQuery>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

using test::clickAt;
using test::nodeOf;
using test::shown;

// Drops a contact row on the tree at a point of its viewport, as the drop
// event does (a drop event without a real drag is not delivered), and lets
// the queued move run.
void dropAt(QTreeWidget *tree, const QPoint &pos)
{
    static_cast<PhoneBookTree *>(tree)->dropContact(pos);
    QCoreApplication::processEvents();
}

// A command 1 payload of customer 1001: groups "no|parent|name", contacts
// "no|group|name|surname|mobile".
QString payload(const QStringList &groups, const QStringList &contacts)
{
    QStringList customer(CustomerRecord::FieldCount);
    customer[0] = u"1001"_s;
    QString out = u"<Cari>"_s + customer.join(u'|') + u"<Cari><Grup>"_s;
    for (const QString &g : groups)
        out += u"<>"_s + g;
    out += u"<Grup><Adres>"_s;
    for (const QString &c : contacts) {
        const QStringList f = c.split(u'|');
        out += u"<>%1|%2|%3|%4||||||%5||"_s.arg(f[0], f[1], f[2], f[3], f[4]);
    }
    return out + u"<Adres>"_s;
}

} // namespace

class TestFrmTanimRehber : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup();

    void opening_andMenuRule();
    void tree_emptyAndCyclicGroups();
    void newGroup_thenNamedInPlace_data();
    void newGroup_thenNamedInPlace();
    void deleteGroup_contactsGoToUpperGroup();
    void editor_buttonRuleAndNumberChecks_data();
    void editor_buttonRuleAndNumberChecks();
    void contact_updateAndDelete();
    void sameNamedGroups_contactKeepsItsGroup();
    void refusedChanges_keepWhatIsShown();
    void controlCharacters_neverInAnEditorNorSent();
    void failedReload_keepsListsAndSaysSo();
    void search_narrowsAndWidens();
    void move_byDrop();
    void close_refusedWhileRequestRuns();

private:
    void openLive();
    void open(const Service &service, const QString &accountPayload = {});
    template<typename T> T *child(const QString &name) const { return m_window->findChild<T *>(name); }
    QTreeWidget *tree() const { return child<QTreeWidget>(u"TreeView1"_s); }
    QTreeView *list(int n) const { return child<QTreeView>(u"ListView%1"_s.arg(n)); }
    QLineEdit *field(int i) const { return child<QLineEdit>(u"text1_%1"_s.arg(i)); }
    QPushButton *button(const QString &name) const { return child<QPushButton>(name); }
    // Opens the pop-up menu on the group's node from the keyboard and
    // returns the state of its items: enabled ones, then the default one.
    QStringList openMenu(const QString &groupNo);
    void chooseMenuItem(const QString &groupNo, const QString &item);
    void clickContact(int n, const QString &recordNo);
    void chooseGroup(const QString &groupNo);

    std::unique_ptr<test::LiveService> m_live;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<Frm_Tanim_Rehber> m_window;
};

void TestFrmTanimRehber::cleanup()
{
    m_window.reset();
    m_session.reset();
    m_live.reset();
}

void TestFrmTanimRehber::openLive()
{
    m_live = std::make_unique<test::LiveService>();
    open(*m_live->service, FetchAccountData(*m_live->service, u"1001"_s));
}

void TestFrmTanimRehber::open(const Service &service, const QString &accountPayload)
{
    test::OpenPhoneBook(service, accountPayload, m_session, m_window);
}

QStringList TestFrmTanimRehber::openMenu(const QString &groupNo)
{
    tree()->setCurrentItem(nodeOf(tree(), groupNo));
    tree()->setFocus();
    QTest::keyClick(tree(), Qt::Key_F10, Qt::ShiftModifier);
    auto *menu = child<QMenu>(u"A_M"_s);
    QStringList state;
    if (!menu->isVisible())
        return state;
    for (QAction *action : menu->actions()) {
        if (action->isEnabled())
            state.append(action->objectName());
    }
    state.append(u"default "_s + menu->defaultAction()->objectName());
    menu->close();
    // The offscreen platform leaves the closed menu the active window.
    m_window->activateWindow();
    if (!QTest::qWaitForWindowActive(m_window.get()))
        state.append(u"window not active"_s);
    return state;
}

void TestFrmTanimRehber::chooseMenuItem(const QString &groupNo, const QString &item)
{
    openMenu(groupNo);
    child<QAction>(item)->trigger();
}

void TestFrmTanimRehber::clickContact(int n, const QString &recordNo)
{
    QTreeView *view = list(n);
    const int row = int(shown(view).indexOf(recordNo));
    QVERIFY(row >= 0);
    clickAt(view, view->model()->index(row, ContactTableModel::Adr_Adi));
}

void TestFrmTanimRehber::chooseGroup(const QString &groupNo)
{
    auto *combo = child<QComboBox>(u"Combo1"_s);
    combo->setCurrentIndex(combo->findData(groupNo));
}

void TestFrmTanimRehber::opening_andMenuRule()
{
    openLive();
    QCOMPARE(tree()->accessibleName(), u"Adres Grupları"_s);
    QCOMPARE(list(1)->accessibleName(), u"Seçilen Gruptaki Kişiler"_s);
    QCOMPARE(list(2)->accessibleName(), u"Tüm Kişiler"_s);
    QCOMPARE(tree()->currentItem()->text(0), u"Tümü"_s);
    QVERIFY(shown(list(1)).isEmpty());
    QCOMPARE(shown(list(2)).size(), 41);
    for (const QString &name : {u"Cmd_Yeni"_s, u"Cmd_Kaydet"_s, u"Cmd_Sil"_s})
        QVERIFY(!button(name)->isEnabled());

    // The choice holds "" and then every group in list order, by number.
    auto *combo = child<QComboBox>(u"Combo1"_s);
    const QList<ContactGroup> &groups = m_session->snapshot().groups;
    QCOMPARE(combo->count(), groups.size() + 1);
    QCOMPARE(combo->itemText(0), QString());
    for (int i = 0; i < groups.size(); ++i)
        QCOMPARE(combo->itemData(i + 1).toString(), groups[i].Grup_No);

    const QStringList onlyNew{u"A_M1"_s, u"default A_M1"_s};
    QCOMPARE(openMenu(u"0"_s), onlyNew);
    QCOMPARE(openMenu(u"1"_s), onlyNew); // the default group
    QCOMPARE(openMenu(u"6"_s), (QStringList{u"A_M1"_s, u"A_M2"_s, u"A_M3"_s, u"default A_M2"_s}));

    // The right button chooses nothing: the tree and the lists stay as they are.
    const QTreeWidgetItem *chosen = tree()->currentItem();
    const QStringList listed = shown(list(1));
    clickAt(tree(), tree()->indexFromItem(nodeOf(tree(), u"3"_s)), Qt::RightButton);
    QCOMPARE(tree()->currentItem(), chosen);
    QCOMPARE(shown(list(1)), listed);
}

void TestFrmTanimRehber::tree_emptyAndCyclicGroups()
{
    test::FakeService fake;
    const Service service(std::make_shared<HttpTransport>(fake.endpoint(), 3000));
    open(service, payload({}, {}));
    QCOMPARE(static_cast<GroupTree *>(tree())->nodeCount(), 1);
    QCOMPARE(child<QComboBox>(u"Combo1"_s)->count(), 1);

    // A group its own parent, and 6 under 7 under 6: every group has a node
    // and a delete takes each group of the family once.
    const QString cyclic = payload({u"1|0|Genel"_s, u"5|5|Kendi"_s, u"6|7|A"_s, u"7|6|B"_s},
                                   {u"20|7|Ali|Veli|05321112233"_s});
    fake.setPayload(1, cyclic);
    fake.setPayload(10, u"1"_s);
    AccountSnapshot snapshot;
    LoadAccountSnapshot(snapshot, cyclic);
    m_session->setSnapshot(snapshot);
    m_window->BuildGroupTree();
    QCOMPARE(static_cast<GroupTree *>(tree())->nodeCount(), 5);
    // Another window reloads a snapshot with one group more: the nodes still
    // name their own groups.
    LoadAccountSnapshot(snapshot, payload({u"1|0|Genel"_s, u"2|0|X"_s, u"5|5|Kendi"_s, u"6|7|A"_s, u"7|6|B"_s}, {}));
    m_session->setSnapshot(snapshot);

    chooseMenuItem(u"6"_s, u"A_M3"_s);
    chooseMenuItem(u"5"_s, u"A_M3"_s);
    const QList<QByteArray> deletes = fake.bodiesOf(10);
    QCOMPARE(deletes.size(), 2);
    QCOMPARE(test::BodyFields(deletes[0]).mid(2),
             (QList<std::pair<QString, QByteArray>>{{u"GrupNolari"_s, "6%7C7"}, {u"UstGrupNo"_s, "1"}}));
    QCOMPARE(test::BodyFields(deletes[1]).mid(2),
             (QList<std::pair<QString, QByteArray>>{{u"GrupNolari"_s, "5"}, {u"UstGrupNo"_s, "1"}}));
}

void TestFrmTanimRehber::newGroup_thenNamedInPlace_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("parent");
    QTest::newRow("root") << u"0"_s << u"0"_s;
    QTest::newRow("default group") << u"1"_s << u"0"_s;
    QTest::newRow("another group") << u"6"_s << u"6"_s;
}

void TestFrmTanimRehber::newGroup_thenNamedInPlace()
{
    QFETCH(QString, selected);
    openLive();
    test::MessageRecorder boxes;
    chooseMenuItem(selected, u"A_M1"_s);
    const AccountSnapshot after = m_live->snapshot();
    const ContactGroup created = after.groups.constLast();
    QCOMPARE(created.Grp_Adi, u"Yeni Grup"_s);
    QTEST(created.Grp_Ust_Grup_No, "parent");

    // The new node is open for its name.
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->text(), u"Yeni Grup"_s);
    QCOMPARE(GroupTree::NodeGroupNo(tree()->currentItem()), created.Grup_No);
    editor->selectAll();
    QTest::keyClicks(editor, u"Bay|iler"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(nodeOf(tree(), created.Grup_No)->text(0), u"Bayiler"_s);
    QCOMPARE(test::findGroup(m_live->snapshot(), created.Grup_No)->Grp_Adi, u"Bayiler"_s);
    QCOMPARE(test::findGroup(m_session->snapshot(), created.Grup_No)->Grp_Adi, u"Bayiler"_s);
    auto *combo = child<QComboBox>(u"Combo1"_s);
    QCOMPARE(combo->itemText(combo->findData(created.Grup_No)), u"Bayiler"_s);
    QVERIFY(boxes.boxes().isEmpty());
}

void TestFrmTanimRehber::deleteGroup_contactsGoToUpperGroup()
{
    openLive();
    // A top-level group with its sub-groups: the contacts go to the default group.
    chooseMenuItem(u"4"_s, u"A_M3"_s);
    AccountSnapshot after = m_live->snapshot();
    for (const QString &gone : {u"4"_s, u"11"_s, u"12"_s})
        QVERIFY(!test::findGroup(after, gone));
    for (const QString &moved : {u"13"_s, u"33"_s, u"36"_s})
        QCOMPARE(test::findContact(after, moved)->Grup_No, u"1"_s);
    QVERIFY(!nodeOf(tree(), u"4"_s));

    // A sub-group two levels deep: its contacts and those below go to its parent.
    chooseMenuItem(u"6"_s, u"A_M3"_s);
    after = m_live->snapshot();
    for (const QString &gone : {u"6"_s, u"8"_s, u"9"_s})
        QVERIFY(!test::findGroup(after, gone));
    for (const QString &moved : {u"19"_s, u"25"_s, u"28"_s})
        QCOMPARE(test::findContact(after, moved)->Grup_No, u"2"_s);
    QCOMPARE(m_session->snapshot().groups.size(), after.groups.size());
}

void TestFrmTanimRehber::editor_buttonRuleAndNumberChecks_data()
{
    QTest::addColumn<QString>("mobile");
    QTest::addColumn<QString>("fixed");
    QTest::addColumn<QString>("fax");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focused");
    const QString mobileMessage = u"Lütfen Cep Telefon Numarasını [05xxxxxxxxx] Şeklinde Giriniz..."_s;
    const QString fixedMessage = u"Lütfen Sabit Telefon Numarasını [0xxxxxxxxxx] Şeklinde Giriniz..."_s;
    const QString faxMessage = u"Lütfen Fax Numarasını [0xxxxxxxxxx] Şeklinde Giriniz..."_s;
    const QString good = u"05321112233"_s;
    QTest::newRow("mobile of 10 digits") << u"0532111223"_s << QString() << QString() << mobileMessage << 7;
    QTest::newRow("mobile not 05") << u"04321112233"_s << QString() << QString() << mobileMessage << 7;
    QTest::newRow("mobile with letters") << u"05abcdefghi"_s << QString() << QString() << mobileMessage << 7;
    QTest::newRow("fixed of 10 digits") << good << u"0212111223"_s << QString() << fixedMessage << 8;
    QTest::newRow("fixed with a blank") << good << u"0212 111223"_s << QString() << fixedMessage << 8;
    QTest::newRow("fax not 0") << good << QString() << u"12121112233"_s << faxMessage << 9;
    QTest::newRow("accepted") << good << QString() << u"02121112244"_s << u"Güncelleme İşlemi Tamamlandı."_s
                              << 0;
}

void TestFrmTanimRehber::editor_buttonRuleAndNumberChecks()
{
    QFETCH(QString, mobile);
    QFETCH(QString, fixed);
    QFETCH(QString, fax);
    QFETCH(QString, message);
    openLive();
    test::MessageRecorder boxes;
    QPushButton *save = button(u"Cmd_Kaydet"_s);

    // A first name, a mobile number and a group, each needed.
    QTest::keyClicks(field(0), u"Deniz"_s);
    field(7)->setText(mobile); // typed or pasted
    QVERIFY(!save->isEnabled());
    chooseGroup(u"3"_s);
    QVERIFY(save->isEnabled());
    child<QComboBox>(u"Combo1"_s)->setCurrentIndex(0);
    QVERIFY(!save->isEnabled());
    chooseGroup(u"3"_s);
    field(8)->setText(fixed);
    field(9)->setText(fax);

    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{message});
    const AccountSnapshot stored = m_live->snapshot();
    std::optional<Contact> added;
    for (const Contact &c : stored.contacts.toContacts()) {
        if (c.Adr_Adi == u"Deniz")
            added = c;
    }
    QFETCH(int, focused);
    if (focused > 0) {
        QVERIFY(!added);
        QCOMPARE(QApplication::focusWidget(), field(focused));
        QCOMPARE(field(0)->text(), u"Deniz"_s); // left as typed
        return;
    }
    // Empty fields stay empty positions of the stored contact.
    QVERIFY(added);
    QCOMPARE((QStringList{added->Grup_No, added->Adr_Soyadi, added->Adr_GSM_No, added->Adr_Tel_No, added->Adr_Fax_No}),
             (QStringList{u"3"_s, QString(), mobile, QString(), u"02121112244"_s}));
    QVERIFY(field(0)->text().isEmpty());
    QVERIFY(shown(list(2)).contains(added->Adr_K_No));
}

void TestFrmTanimRehber::contact_updateAndDelete()
{
    openLive();
    test::MessageRecorder boxes;
    clickAt(tree(), tree()->indexFromItem(nodeOf(tree(), u"3"_s)));
    clickContact(1, u"9"_s);
    QCOMPARE(field(0)->text(), u"İbrahim"_s);
    QCOMPARE(field(9)->text(), u"03422315567"_s);
    QCOMPARE(m_window->recordNo(), u"9"_s);
    QCOMPARE(m_window->chosenGroupNo(), u"3"_s);
    QVERIFY(button(u"Cmd_Sil"_s)->isEnabled() && button(u"Cmd_Yeni"_s)->isEnabled());

    field(3)->setText(u"Kat: 2"_s);
    QTest::mouseClick(button(u"Cmd_Kaydet"_s), Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{u"Kayıt İşlemi Tamamlandı."_s});
    QCOMPARE(test::findContact(m_live->snapshot(), u"9"_s)->Adr_Adres2, u"Kat: 2"_s);
    QCOMPARE(m_window->recordNo(), QString());
    QCOMPARE(shown(list(1)).size(), 41); // the root again, with every contact

    // A node click empties the editor.
    clickContact(2, u"9"_s);
    clickAt(tree(), tree()->indexFromItem(nodeOf(tree(), u"3"_s)));
    QVERIFY(field(0)->text().isEmpty() && m_window->recordNo().isEmpty());

    clickContact(1, u"9"_s);
    QTest::mouseClick(button(u"Cmd_Sil"_s), Qt::LeftButton);
    QCOMPARE(boxes.lastText(), u"Silme İşlemi Tamamlandı."_s);
    QVERIFY(!test::findContact(m_live->snapshot(), u"9"_s));
    QVERIFY(!shown(list(2)).contains(u"9"_s));
}

void TestFrmTanimRehber::sameNamedGroups_contactKeepsItsGroup()
{
    m_live = std::make_unique<test::LiveService>();
    QCOMPARE(RenameGroup(*m_live->service, u"1001"_s, u"3"_s, u"Müşteriler"_s), u"1"_s);
    open(*m_live->service, FetchAccountData(*m_live->service, u"1001"_s));
    test::MessageRecorder boxes;

    clickContact(2, u"5"_s); // of group 2, named as group 3 now
    QCOMPARE(m_window->chosenGroupNo(), u"2"_s);
    QTest::mouseClick(button(u"Cmd_Kaydet"_s), Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{u"Kayıt İşlemi Tamamlandı."_s});
    QCOMPARE(test::findContact(m_live->snapshot(), u"5"_s)->Grup_No, u"2"_s);

    // A contact whose group is gone: no group chosen, nothing to save.
    m_session->editSnapshot().contacts.setText(5, ContactText::Grup_No, u"999"_s);
    m_window->BuildGroupTree();
    clickContact(2, u"5"_s);
    clickContact(2, m_session->snapshot().contacts[5].Adr_K_No().toString());
    QCOMPARE(child<QComboBox>(u"Combo1"_s)->currentIndex(), 0);
    QCOMPARE(m_window->chosenGroupNo(), QString());
    QVERIFY(!button(u"Cmd_Kaydet"_s)->isEnabled());
}

void TestFrmTanimRehber::refusedChanges_keepWhatIsShown()
{
    test::FakeService fake;
    const Service service(std::make_shared<HttpTransport>(fake.endpoint(), 3000));
    for (const int command : {6, 7, 8, 11, 14})
        fake.setPayload(command, u"0"_s);
    open(service, payload({u"1|0|Genel"_s, u"2|0|İş"_s, u"3|2|Okul"_s}, {u"20|3|Ali|Veli|05321112233"_s}));
    test::MessageRecorder boxes;

    // A refused rename leaves the stored name, silently.
    chooseMenuItem(u"3"_s, u"A_M2"_s);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, u"Kurs"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(fake.bodiesOf(11).size(), 1);
    QCOMPARE(nodeOf(tree(), u"3"_s)->text(0), u"Okul"_s);
    QCOMPARE(m_session->snapshot().groups[2].Grp_Adi, u"Okul"_s);
    QVERIFY(boxes.boxes().isEmpty());
    // A pasted separator is not sent, and the user is told why.
    chooseMenuItem(u"3"_s, u"A_M2"_s);
    editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QApplication::clipboard()->setText(u"O|kul"_s);
    editor->selectAll();
    editor->paste();
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(boxes.texts(), QStringList{StoreSeparatorMessage(u"Grup Adı"_s)});
    QCOMPARE(fake.bodiesOf(11).size(), 1);

    // Each contact command in its own words; the editor stays as it was.
    boxes.clear();
    clickContact(2, u"20"_s);
    QTest::mouseClick(button(u"Cmd_Kaydet"_s), Qt::LeftButton);
    QTest::mouseClick(button(u"Cmd_Sil"_s), Qt::LeftButton);
    QCOMPARE(field(0)->text(), u"Ali"_s);
    dropAt(tree(), tree()->visualItemRect(nodeOf(tree(), u"2"_s)).center());
    QTest::mouseClick(button(u"Cmd_Yeni"_s), Qt::LeftButton);
    QTest::keyClicks(field(0), u"Can"_s);
    QTest::keyClicks(field(7), u"05001112233"_s);
    chooseGroup(u"2"_s);
    QTest::mouseClick(button(u"Cmd_Kaydet"_s), Qt::LeftButton);
    QApplication::clipboard()->setText(u"Ak<su>"_s);
    field(1)->paste();
    QTest::mouseClick(button(u"Cmd_Kaydet"_s), Qt::LeftButton);
    QCOMPARE(boxes.texts(), (QStringList{u"Kayıt İşlemi Yapılamadı..!"_s, u"Silme İşlemi Tamamlanamadı..!"_s,
                                         u"Taşıma İşlemi Yapılsınmı....?"_s, u"Taşıma İşlemi Yapılamadı..!"_s,
                                         u"Güncelleme İşlemi Yapılamadı..!"_s, StoreSeparatorMessage(u"Soyadı"_s)}));
    QCOMPARE(fake.bodiesOf(8).size(), 1);
    QCOMPARE(QApplication::focusWidget(), field(1));
    QCOMPARE(m_session->snapshot().contacts[0].Grup_No(), u"3"_s);
    QVERIFY(fake.bodiesOf(1).isEmpty());
}

void TestFrmTanimRehber::controlCharacters_neverInAnEditorNorSent()
{
    test::FakeService fake;
    const Service service(std::make_shared<HttpTransport>(fake.endpoint(), 3000));
    fake.setPayload(6, u"0"_s);
    open(service, payload({u"1|0|Genel"_s, u"2|0|İş"_s, u"3|2|Gr\u0007up"_s}, {u"20|3|A\u0000li|Ve\u001b[1mli\t\r\nCan|05321112233"_s}));
    test::MessageRecorder boxes;

    // The group name's editor starts from the name without its bell.
    chooseMenuItem(u"3"_s, u"A_M2"_s);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(editor->text(), u"Grup"_s);
    QTest::keyClick(editor, Qt::Key_Escape);

    clickContact(2, u"20"_s);
    QCOMPARE(field(0)->text(), u"Ali"_s);
    QCOMPARE(field(1)->text(), u"Ve[1mli Can"_s);
    QTest::mouseClick(button(u"Cmd_Kaydet"_s), Qt::LeftButton);
    const QList<QByteArray> updates = fake.bodiesOf(6);
    QCOMPARE(updates.size(), 1);
    const QString sent = CodeText(QUrlQuery(QString::fromLatin1(updates.first())).queryItemValue(u"Adr_Bilgileri"_s),
                                  u"1"_s);
    QVERIFY2(sent.startsWith(u"3|Ali|Ve[1mli Can|"_s), qPrintable(sent));

}

void TestFrmTanimRehber::failedReload_keepsListsAndSaysSo()
{
    openLive();
    test::MessageRecorder boxes;
    m_live->server->setFault(u"close"_s, {1});
    QTest::keyClicks(field(0), u"Deniz"_s);
    QTest::keyClicks(field(7), u"05001112233"_s);
    chooseGroup(u"2"_s);
    QTest::mouseClick(button(u"Cmd_Kaydet"_s), Qt::LeftButton);
    QCOMPARE(boxes.texts().size(), 2);
    QCOMPARE(boxes.texts().constFirst(), u"Güncelleme İşlemi Tamamlandı."_s);
    // Not saved twice by a second click: the editor is empty.
    QVERIFY(field(0)->text().isEmpty());
    QVERIFY(!button(u"Cmd_Kaydet"_s)->isEnabled());
    QCOMPARE(shown(list(2)).size(), 41);
    m_live->server->setFault({});
    QCOMPARE(m_live->snapshot().contacts.size(), 42);
}

void TestFrmTanimRehber::search_narrowsAndWidens()
{
    test::FakeService fake;
    const Service service(std::make_shared<HttpTransport>(fake.endpoint(), 3000));
    open(service, payload({u"1|0|Genel"_s}, {u"1|1|Ali|Işık|05321112233"_s, u"2|1|ayşe|Demir|05441234567"_s,
                                            u"3|1|Ahmet|Yılmaz|05359998877"_s, u"4|1|İbrahim|Koç|05001112233"_s}));
    auto *search = child<QLineEdit>(u"Text2"_s);
    const QList<std::pair<QString, QStringList>> steps{
        {u"a"_s, {u"2"_s, u"3"_s, u"4"_s}},
        {u"ay"_s, {u"2"_s}},
        {u"a"_s, {u"2"_s, u"3"_s, u"4"_s}}, // shorter again: wider again
        {u"053"_s, {u"1"_s, u"3"_s}},
        {u"05[34]"_s, {u"1"_s, u"2"_s, u"3"_s}},
        {u"05["_s, {}},
        {u"05[0"_s, {}},
        {u"05[0]"_s, {u"4"_s}}, // a list closed later matches again
        {u"ı"_s, {u"1"_s, u"3"_s}},
        {u"ahmet Yılmaz 0"_s, {}},
        {u"Ahmet Yılmaz 0"_s, {u"3"_s}},
        {QString(), {u"1"_s, u"2"_s, u"3"_s, u"4"_s}},
    };
    for (const auto &[text, rows] : steps) {
        search->setText(text);
        QVERIFY2(shown(list(2)) == rows, qPrintable(text));
    }
}

void TestFrmTanimRehber::move_byDrop()
{
    openLive();
    test::MessageRecorder boxes;
    clickContact(2, u"1"_s);
    QCOMPARE(m_window->activeContactList(), 2);
    m_live->server->clearReceivedBodies();

    // On the root or on empty space: nothing asked, nothing sent.
    dropAt(tree(), tree()->visualItemRect(nodeOf(tree(), u"0"_s)).center());
    tree()->collapseAll();
    dropAt(tree(), tree()->visualItemRect(nodeOf(tree(), u"0"_s)).center() + QPoint(0, 40));
    tree()->expandAll();
    QVERIFY(boxes.boxes().isEmpty());
    // "No" sends nothing.
    boxes.answerNext(false);
    dropAt(tree(), tree()->visualItemRect(nodeOf(tree(), u"5"_s)).center());
    QCOMPARE(boxes.boxes().size(), 1);
    const MessageBox::Request question = boxes.boxes().constFirst();
    QCOMPARE(question.title, u"Kişi Taşı"_s);
    QVERIFY(question.yesNo && question.icon == MessageBox::Icon::Exclamation);
    QVERIFY(m_live->server->receivedBodies().isEmpty());

    // "Yes": moved on the service and in the snapshot, without a reload.
    dropAt(tree(), tree()->visualItemRect(nodeOf(tree(), u"5"_s)).center());
    QCOMPARE(boxes.lastText(), u"Taşıma İşlemi Tamamlandı."_s);
    QCOMPARE(test::CommandCount(m_live->server->receivedBodies(), 14), 1);
    QCOMPARE(test::CommandCount(m_live->server->receivedBodies(), 1), 0);
    QCOMPARE(test::findContact(m_live->snapshot(), u"1"_s)->Grup_No, u"5"_s);
    clickAt(tree(), tree()->indexFromItem(nodeOf(tree(), u"5"_s)));
    QVERIFY(shown(list(1)).contains(u"1"_s));

    // From the group's list back to the default group.
    clickContact(1, u"1"_s);
    QCOMPARE(m_window->activeContactList(), 1);
    dropAt(tree(), tree()->visualItemRect(nodeOf(tree(), u"1"_s)).center());
    QCOMPARE(test::findContact(m_live->snapshot(), u"1"_s)->Grup_No, u"1"_s);
    QCOMPARE(test::findContact(m_session->snapshot(), u"1"_s)->Grup_No, u"1"_s);
}

void TestFrmTanimRehber::close_refusedWhileRequestRuns()
{
    test::FakeService fake;
    const Service service(std::make_shared<HttpTransport>(fake.endpoint(), 3000));
    fake.setPayload(7, u"0"_s);
    open(service, payload({u"1|0|Genel"_s}, {u"20|1|Ali|Veli|05321112233"_s}));
    test::MessageRecorder boxes;
    bool closed = true;
    fake.beforeReplying(7, [&] { closed = m_window->close(); });
    clickContact(2, u"20"_s);
    QTest::mouseClick(button(u"Cmd_Sil"_s), Qt::LeftButton);
    QVERIFY(!closed);
    QVERIFY(m_window->isVisible());
    QVERIFY(m_window->close());
}

QTEST_MAIN(TestFrmTanimRehber)
#include "tst_frm_tanim_rehber.moc"
