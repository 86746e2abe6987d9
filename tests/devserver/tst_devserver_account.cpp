// The development service's account reply (command 1) and the coding of
// reply pages, against plain readings of the same data.
#include "commands.h"
#include "service/coding.h"
#include "store.h"
#include "wire.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace velmor;

namespace {

const QString demo = u"1001"_s;

// The account payload laid out from the store's row readers, one value at a time.
QByteArray plainAccountPayload(const dev::Store &store, const QString &customerNo)
{
    const auto customer = store.customer(customerNo);
    if (!customer)
        return {};
    const QStringList fields(customer->fields.cbegin(), customer->fields.cend());
    QString text = u"<Cari>"_s + fields.join(u'|') + u"<Cari><Grup>"_s;
    for (const dev::GroupRow &g : store.groups(customerNo))
        text += u"<>%1|%2|"_s.arg(g.number).arg(g.parent) + g.name;
    text += u"<Grup><Adres>"_s;
    for (const dev::ContactRow &c : store.contacts(customerNo)) {
        text += u"<>%1|%2"_s.arg(c.recordNo).arg(c.group);
        for (const QString &d : c.details)
            text += u'|' + d;
    }
    return (text + u"<Adres>"_s).toUtf8();
}

QByteArray accountReply(dev::Store &store, const QString &customerNo)
{
    const auto payload = dev::HandleCommand(
        store, dev::FormFields::parse("Rehber=1&Cari_No=" + customerNo.toUtf8()), dev::CommandContext{});
    return payload.value_or("(not understood)"_ba);
}

// Every character a client can send: the 256 of its code page, NUL included.
QStringList contactsOfEveryCharacter()
{
    QString all;
    for (int byte = 0; byte < 256; ++byte)
        all += QChar(FromWindows1254(static_cast<unsigned char>(byte)));
    QStringList data{u"2"_s};
    for (int k = 0; k < 10; ++k)
        data << all.mid(k * 26, 26);
    return data;
}

} // namespace

class TestDevServerAccount : public QObject
{
    Q_OBJECT

private slots:
    // The reply is read from the database in bulk; whatever the rows hold, it
    // must be the payload the rows give one value at a time.
    void accountReply_asThePlainReading_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("as the service stores them") << QString();
        QTest::newRow("text that is not UTF-8") << u"UPDATE adresler SET adi = CAST(X'C3FF41' AS TEXT) WHERE adr_k_no = 5"_s;
        QTest::newRow("a group number held as text") << u"UPDATE adresler SET grup_no = '7x' WHERE adr_k_no = 7"_s;
        QTest::newRow("a value held as bytes") << u"UPDATE adresler SET soyadi = X'C59F0041' WHERE adr_k_no = 3"_s;
        QTest::newRow("a value held as a number") << u"UPDATE adresler SET il = 1.5 WHERE adr_k_no = 4"_s;
    }

    void accountReply_asThePlainReading()
    {
        QFETCH(QString, change);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(u"demo.sqlite"_s);
        dev::Store store;
        QVERIFY(store.open(path, nullptr));
        QVERIFY(store.addGroup(demo, u"0"_s, u"Şube İÜĞ"_s));
        QVERIFY(store.addContact(demo, contactsOfEveryCharacter()));
        QVERIFY(store.addContact(demo, {u"5"_s, u"Zeynep"_s, QString(), QString(), QString(), QString(), QString(),
                                        QString(), QString(), QString(), u"son"_s}));
        if (!change.isEmpty()) {
            // As another program could write the file.
            QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
            other.setDatabaseName(path);
            QVERIFY(other.open());
            QSqlQuery query(other);
            QVERIFY(query.exec(change));
            QCOMPARE(query.numRowsAffected(), 1);
            query = QSqlQuery();
            other.close();
            other = QSqlDatabase();
            QSqlDatabase::removeDatabase(u"other"_s);
        }
        const QByteArray expected = plainAccountPayload(store, demo);
        QCOMPARE(store.contacts(demo).size(), 43);
        QVERIFY(expected.contains('\0'));
        QCOMPARE(accountReply(store, demo), expected);
        QCOMPARE(accountReply(store, u" 1001 "_s), expected);
        QCOMPARE(accountReply(store, u"4242"_s), QByteArray());
    }

    void replyPage_codesEveryByte_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("markers");
        QTest::newRow("offset 0") << 0 << 2;
        QTest::newRow("offset 57") << 57 << 2;
        QTest::newRow("offset 99, one marker") << 99 << 1;
    }

    void replyPage_codesEveryByte()
    {
        QFETCH(int, offset);
        QFETCH(int, markers);
        QByteArray payload;
        for (int byte = 255; byte >= 0; --byte)
            payload += char(byte);
        const QByteArray page =
            dev::ReplyPage(payload, offset, markers == 2 ? dev::Markers::Both : dev::Markers::OpeningOnly);
        QCOMPARE(page.count("<Rehber>"), markers);
        const qsizetype start = page.indexOf("<Rehber>") + 8;
        QVERIFY(page.endsWith("<p>İşlem tamamlandı.</p>\r\n</body>\r\n</html>\r\n"_ba));

        QByteArray digits = u"%1"_s.arg(offset, 3, 10, QChar(u'0')).toLatin1();
        for (const char c : std::as_const(payload))
            digits += u"%1"_s.arg(offset + static_cast<unsigned char>(c), 3, 10, QChar(u'0')).toLatin1();
        const QByteArray after = markers == 2 ? "<Rehber>\r\n<p>"_ba : "\r\n<p>"_ba;
        QCOMPARE(page.mid(start, digits.size() + after.size()), digits + after);

        const QByteArray empty = dev::ReplyPage(QByteArrayView(), offset);
        QVERIFY(empty.contains("<Rehber><Rehber>\r\n<p>İşlem tamamlandı.</p>"_ba));
    }
};

QTEST_GUILESS_MAIN(TestDevServerAccount)
#include "tst_devserver_account.moc"
