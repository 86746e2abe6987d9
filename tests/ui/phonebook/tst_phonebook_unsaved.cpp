// The phone book window against the development service, as a user meets it
// while typing: what was typed and not saved survives a look at the tree and
// is dropped only after asking; a change whose reply was lost is neither
// reported as failed nor stored twice; an empty account's first group gets
// the name the user types.

#include "../../devserver/devserverfixture.h"
#include "phonebookwindow.h"
#include "testsupport.h"

#include "model/session.h"
#include "ui/common/contacttablemodel.h"
#include "ui/common/grouptree.h"
#include "ui/phonebook/frm_tanim_rehber.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

using test::clickAt;
using test::nodeOf;
using test::shown;

const QString kDiscardQuestion = u"Kişi bilgilerinde kaydedilmemiş değişiklikler var. Vazgeçilsin mi?"_s;

int contactsNamed(const AccountSnapshot &snapshot, const QString &name)
{
    int count = 0;
    for (const ContactRef c : snapshot.contacts)
        count += c.Adr_Adi() == name ? 1 : 0;
    return count;
}

} // namespace

class TestPhoneBookUnsaved : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup();

    void rightClick_keepsTypedContact_menuActsOnPointedNode();
    void keysAndButtons_askBeforeDroppingChanges();
    void emptyAccount_firstGroupIsNamed();
    void lostReplies_reloadAndStoreOnce();

private:
    void open(dev::Options options = {}, int clientTimeoutMs = 10000);
    template<typename T> T *child(const QString &name) const { return m_window->findChild<T *>(name); }
    QTreeWidget *tree() const { return child<QTreeWidget>(u"TreeView1"_s); }
    QTreeView *list(int n) const { return child<QTreeView>(u"ListView%1"_s.arg(n)); }
    QLineEdit *field(int i) const { return child<QLineEdit>(u"text1_%1"_s.arg(i)); }
    QPushButton *button(const QString &name) const { return child<QPushButton>(name); }
    QMenu *menu() const { return child<QMenu>(u"A_M"_s); }
    void typeNewContact(const QString &name, const QString &mobile, const QString &groupNo);
    void rightClickOn(const QString &groupNo);
    // Closes the tree's menu and gives the names of its enabled items.
    QStringList closeMenu();
    // The in-place name editor of the tree, when one has the focus.
    QLineEdit *nameEditor() const { return qobject_cast<QLineEdit *>(QApplication::focusWidget()); }

    std::unique_ptr<test::LiveService> m_live;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<Frm_Tanim_Rehber> m_window;
};

void TestPhoneBookUnsaved::cleanup()
{
    m_window.reset();
    m_session.reset();
    m_live.reset();
}

void TestPhoneBookUnsaved::open(dev::Options options, int clientTimeoutMs)
{
    m_live = std::make_unique<test::LiveService>(std::move(options), clientTimeoutMs);
    test::OpenPhoneBook(*m_live->service, FetchAccountData(*m_live->service, u"1001"_s), m_session, m_window);
}

void TestPhoneBookUnsaved::typeNewContact(const QString &name, const QString &mobile, const QString &groupNo)
{
    QTest::keyClicks(field(0), name);
    QTest::keyClicks(field(7), mobile);
    auto *combo = child<QComboBox>(u"Combo1"_s);
    combo->setCurrentIndex(combo->findData(groupNo));
}

void TestPhoneBookUnsaved::rightClickOn(const QString &groupNo)
{
    // As the window system delivers it: the press, then the request for the
    // menu at the pointer, then the release.
    const QPoint at = tree()->visualItemRect(nodeOf(tree(), groupNo)).center();
    QTest::mousePress(tree()->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, tree()->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree()->viewport(), &request);
    QTest::mouseRelease(tree()->viewport(), Qt::RightButton, {}, at);
}

QStringList TestPhoneBookUnsaved::closeMenu()
{
    QStringList enabled;
    for (QAction *action : menu()->actions()) {
        if (action->isEnabled())
            enabled.append(action->objectName());
    }
    menu()->close();
    m_window->activateWindow();
    return enabled;
}

void TestPhoneBookUnsaved::rightClick_keepsTypedContact_menuActsOnPointedNode()
{
    open();
    test::MessageRecorder boxes;
    clickAt(tree(), tree()->indexFromItem(nodeOf(tree(), u"6"_s)));
    const QStringList listed = shown(list(1));
    QVERIFY(!listed.isEmpty());
    typeNewContact(u"Zafer"_s, u"05321234567"_s, u"3"_s);

    // On the chosen node: its menu, and nothing refilled or asked.
    rightClickOn(u"6"_s);
    QVERIFY(menu()->isVisible());
    QCOMPARE(closeMenu(), (QStringList{u"A_M1"_s, u"A_M2"_s, u"A_M3"_s}));
    QCOMPARE(shown(list(1)), listed);
    QCOMPARE(field(0)->text(), u"Zafer"_s);

    // On the default group while group 6 stays chosen: the default group's menu.
    rightClickOn(u"1"_s);
    QVERIFY(menu()->isVisible());
    QCOMPARE(closeMenu(), QStringList{u"A_M1"_s});
    QCOMPARE(GroupTree::NodeGroupNo(tree()->currentItem()), u"6"_s);
    QCOMPARE(shown(list(1)), listed);
    QCOMPARE(field(0)->text(), u"Zafer"_s);
    QCOMPARE(field(7)->text(), u"05321234567"_s);

    // Its new group is a top-level one; the rebuild keeps the typed contact.
    child<QAction>(u"A_M1"_s)->trigger();
    const ContactGroup created = m_live->snapshot().groups.constLast();
    QCOMPARE(created.Grp_Ust_Grup_No, u"0"_s);
    QVERIFY(nameEditor());
    QTest::keyClick(nameEditor(), Qt::Key_Escape);
    QCOMPARE(field(0)->text(), u"Zafer"_s);
    QCOMPARE(m_window->chosenGroupNo(), u"3"_s);
    QVERIFY(button(u"Cmd_Kaydet"_s)->isEnabled());
    QVERIFY(boxes.boxes().isEmpty());
}

void TestPhoneBookUnsaved::keysAndButtons_askBeforeDroppingChanges()
{
    open();
    test::MessageRecorder boxes;
    QTreeView *all = list(2);
    const QStringList rows = shown(all);
    // Its three address columns are captioned alike; a screen reader tells them apart.
    QStringList captions, descriptions;
    for (const int column : {ContactTableModel::Adr_Adres1, ContactTableModel::Adr_Adres2,
                             ContactTableModel::Adr_Adres3}) {
        captions.append(all->model()->headerData(column, Qt::Horizontal).toString());
        descriptions.append(all->model()->headerData(column, Qt::Horizontal, Qt::AccessibleDescriptionRole).toString());
    }
    QCOMPARE(captions, (QStringList{u"Adres"_s, u"Adres"_s, u"Adres"_s}));
    QVERIFY(!descriptions[1].isEmpty() && !descriptions[2].isEmpty() && descriptions[1] != descriptions[2]);
    clickAt(all, all->model()->index(0, ContactTableModel::Adr_Adi));
    QCOMPARE(m_window->recordNo(), rows[0]);

    // A field entered by the mouse selects its text, so typing replaces it.
    const QString stored = field(0)->text();
    QTest::mouseClick(field(0), Qt::LeftButton);
    QTRY_COMPARE(field(0)->selectedText(), stored);
    QTest::keyClicks(field(0), u"Zafer"_s);
    QCOMPARE(field(0)->text(), u"Zafer"_s);

    // Down with unsaved changes asks; "No" keeps the editor and the row.
    all->setFocus();
    boxes.answerNext(false);
    QTest::keyClick(all, Qt::Key_Down);
    QCOMPARE(boxes.boxes().size(), 1);
    QVERIFY(boxes.boxes()[0].yesNo);
    QCOMPARE(boxes.boxes()[0].text, kDiscardQuestion);
    QCOMPARE(field(0)->text(), u"Zafer"_s);
    QCOMPARE(m_window->recordNo(), rows[0]);
    QCOMPARE(all->currentIndex().row(), 0);
    // "Yes" loads the next contact.
    QTest::keyClick(all, Qt::Key_Down);
    QCOMPARE(boxes.boxes().size(), 2);
    QCOMPARE(m_window->recordNo(), rows[1]);
    QCOMPARE(field(0)->text(), test::findContact(m_session->snapshot(), rows[1])->Adr_Adi);
    // Without changes nothing is asked.
    QTest::keyClick(all, Qt::Key_Down);
    QCOMPARE(m_window->recordNo(), rows[2]);
    QCOMPARE(boxes.boxes().size(), 2);

    // The tree's keys and "Yeni Kişi" ask too; "No" keeps node, lists and editor.
    boxes.clear();
    field(1)->setText(u"Ak"_s);
    tree()->setFocus();
    boxes.answerNext(false);
    QTest::keyClick(tree(), Qt::Key_Down);
    boxes.answerNext(false);
    QTest::mouseClick(button(u"Cmd_Yeni"_s), Qt::LeftButton);
    QCOMPARE(boxes.texts(), (QStringList{kDiscardQuestion, kDiscardQuestion}));
    QCOMPARE(GroupTree::NodePosition(tree()->currentItem()), 1);
    QVERIFY(shown(list(1)).isEmpty());
    QCOMPARE(field(1)->text(), u"Ak"_s);
    QCOMPARE(m_window->recordNo(), rows[2]);

    // "Vazgeç" and the close box ask while changes are unsaved ...
    boxes.clear();
    boxes.answerNext(false);
    QTest::mouseClick(button(u"Cmd_Vazgec"_s), Qt::LeftButton);
    boxes.answerNext(false);
    QVERIFY(!m_window->close());
    QCOMPARE(boxes.texts(), (QStringList{kDiscardQuestion, kDiscardQuestion}));
    QVERIFY(m_window->isVisible());
    // ... and not once the text is as stored again.
    field(1)->setText(test::findContact(m_session->snapshot(), rows[2])->Adr_Soyadi);
    QTest::mouseClick(button(u"Cmd_Vazgec"_s), Qt::LeftButton);
    QCOMPARE(boxes.boxes().size(), 2);
    QVERIFY(!m_window->isVisible());
}

void TestPhoneBookUnsaved::emptyAccount_firstGroupIsNamed()
{
    dev::Options options;
    options.emptyAccount = true;
    open(options);
    test::MessageRecorder boxes;
    auto *groups = static_cast<GroupTree *>(tree());
    QCOMPARE(groups->nodeCount(), 1);

    tree()->setFocus();
    QTest::keyClick(tree(), Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(menu()->isVisible());
    menu()->close();
    m_window->activateWindow();
    child<QAction>(u"A_M1"_s)->trigger();

    // The account's first group opens for its name like any other.
    QLineEdit *editor = nameEditor();
    QVERIFY(editor);
    QCOMPARE(editor->text(), u"Yeni Grup"_s);
    editor->selectAll();
    QTest::keyClicks(editor, u"Aile"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(groups->nodeAtPosition(2)->text(0), u"Aile"_s);
    const QList<ContactGroup> stored = m_live->snapshot().groups;
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored[0].Grp_Adi, u"Aile"_s);
    auto *combo = child<QComboBox>(u"Combo1"_s);
    QCOMPARE(combo->itemText(1), u"Aile"_s);

    // It is the default group still: F2 does not open it again.
    tree()->setCurrentItem(groups->nodeAtPosition(2));
    QTest::keyClick(tree(), Qt::Key_F2);
    QCOMPARE(QApplication::focusWidget(), tree());
    QVERIFY(boxes.boxes().isEmpty());
}

void TestPhoneBookUnsaved::lostReplies_reloadAndStoreOnce()
{
    // The client gives up after a second; the service stores the contact and
    // answers far later.
    open({}, 1000);
    test::MessageRecorder boxes;
    typeNewContact(u"Zafer"_s, u"05321234567"_s, u"3"_s);
    dev::DevServer &server = *m_live->server;
    server.setDelayMs(20000);
    QTimer prompt; // once the addition is received, the reload is answered at once
    connect(&prompt, &QTimer::timeout, this, [&] {
        if (test::CommandCount(server.receivedBodies(), 8) > 0)
            server.setDelayMs(0);
    });
    prompt.start(5);
    QTest::mouseClick(button(u"Cmd_Kaydet"_s), Qt::LeftButton);
    prompt.stop();
    QCOMPARE(boxes.texts(), QStringList{u"Kaydın sonucu sunucudan alınamadı; rehber yeniden okundu. "
                                        u"Kişi kaydedilmiş; bilgileri gösteriliyor."_s});

    // The stored contact is shown; saving again updates it, adds none.
    const QString recordNo = m_window->recordNo();
    QVERIFY(!recordNo.isEmpty());
    QCOMPARE(field(0)->text(), u"Zafer"_s);
    QVERIFY(shown(list(2)).contains(recordNo));
    QTest::mouseClick(button(u"Cmd_Kaydet"_s), Qt::LeftButton);
    QCOMPARE(boxes.lastText(), u"Kayıt İşlemi Tamamlandı."_s);
    QCOMPARE(contactsNamed(m_live->snapshot(), u"Zafer"_s), 1);
    QCOMPARE(contactsNamed(m_session->snapshot(), u"Zafer"_s), 1);

    // A delete whose reply breaks off: the reload tells that it was done.
    boxes.clear();
    clickAt(list(2), list(2)->model()->index(int(shown(list(2)).indexOf(recordNo)), ContactTableModel::Adr_Adi));
    server.setFault(u"truncate"_s, {7});
    QTest::mouseClick(button(u"Cmd_Sil"_s), Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{u"Silme işleminin sonucu sunucudan alınamadı; rehber yeniden okundu. "
                                        u"Kişi silinmiş."_s});
    QVERIFY(!shown(list(2)).contains(recordNo));
    QVERIFY(m_window->recordNo().isEmpty());

    // Neither answer comes back: the user is told that the change may have
    // been made and that the lists may be stale; nothing is left to send twice.
    boxes.clear();
    server.setFault(u"close"_s);
    clickAt(list(2), list(2)->model()->index(0, ContactTableModel::Adr_Adi));
    field(2)->setText(u"Yeni adres"_s);
    QTest::mouseClick(button(u"Cmd_Kaydet"_s), Qt::LeftButton);
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY(boxes.lastText().startsWith(u"Kaydın sonucu sunucudan alınamadı; işlem yapılmış olabilir."_s));
    QVERIFY(!button(u"Cmd_Kaydet"_s)->isEnabled());
}

QTEST_MAIN(TestPhoneBookUnsaved)
#include "tst_phonebook_unsaved.moc"
