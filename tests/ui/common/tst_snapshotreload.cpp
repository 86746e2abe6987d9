// Windows read contacts in place from the account snapshot: what a window
// shows must come from a contact list it keeps, never from texts of a
// snapshot that a reload has since freed. Run under the sanitizers, a window
// reading a freed snapshot fails here.

#include "../send/fakeservice.h"
#include "model/phonebook.h"
#include "model/session.h"
#include "service/service.h"
#include "service/transport.h"
#include "ui/phonebook/frm_tanim_rehber.h"
#include "ui/send/frm_gonder.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace velmor;
using namespace Qt::StringLiterals;

namespace {

// A payload built afresh each time, so that nothing but the snapshot keeps it.
QString accountPayload(int contacts, const QString &surname)
{
    QString payload = u"<Cari>1001<Cari><Grup><>1|0|Aile<>2|0|İş<Grup><Adres>"_s;
    for (int i = 1; i <= contacts; ++i)
        payload += u"<>%1|%2|Ad%1|%3||||||0532%4||"_s.arg(i).arg(1 + i % 2).arg(surname).arg(1000000 + i);
    return payload + u"<Adres>"_s;
}

void loadInto(Session &session, int contacts, const QString &surname)
{
    AccountSnapshot snapshot;
    QVERIFY(LoadAccountSnapshot(snapshot, accountPayload(contacts, surname)));
    session.setSnapshot(std::move(snapshot));
}

// Reads every text every list of the window shows.
QStringList everyShownText(const QWidget &window)
{
    QStringList texts;
    for (const QTreeView *view : window.findChildren<QTreeView *>()) {
        const QAbstractItemModel *model = view->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column)
                texts.append(model->index(row, column).data().toString());
        }
    }
    return texts;
}

} // namespace

class SnapshotReloadTest : public QObject
{
    Q_OBJECT

private slots:
    void windowsKeepNoTextOfAReplacedSnapshot()
    {
        test::FakeService fake;
        fake.setPayload(2, u"<SMSKontor>100<SMSKontor>"_s);
        const Service service(std::make_shared<HttpTransport>(fake.endpoint(), 3000));
        Session session;
        loadInto(session, 300, u"Eski"_s);

        Frm_Tanim_Rehber phoneBook(service, session);
        Frm_Gonder send(service, session);
        phoneBook.show();
        send.show();
        phoneBook.findChild<QLineEdit *>(u"Text2"_s)->setText(u"Ad1"_s);
        send.findChild<QLineEdit *>(u"text1"_s)->setText(u"Ad2"_s);
        const QStringList before = everyShownText(phoneBook) + everyShownText(send);
        QVERIFY(before.contains(u"Eski"_s));

        // A reload from another window: the old snapshot goes, a smaller one
        // comes. Whatever the windows show now is read from memory they hold.
        loadInto(session, 40, u"Yeni"_s);
        QTest::qWait(0);
        phoneBook.grab();
        send.grab();
        everyShownText(phoneBook);
        everyShownText(send);

        // A move patched in place, then another reload, with the windows
        // refilling their lists in between.
        MoveContactInSnapshot(session.editSnapshot(), u"3"_s, u"2"_s);
        session.notifySnapshotEdited();
        phoneBook.BuildGroupTree();
        send.ShowGroupContacts();
        QVERIFY(everyShownText(phoneBook).contains(u"Yeni"_s));
        loadInto(session, 5, u"Son"_s);
        phoneBook.grab();
        everyShownText(phoneBook);
        everyShownText(send);
        send.ShowGroupContacts();
        QVERIFY(everyShownText(send).contains(u"Son"_s));
        QVERIFY(!everyShownText(send).contains(u"Eski"_s));
    }
};

QTEST_MAIN(SnapshotReloadTest)
#include "tst_snapshotreload.moc"
