#pragma once

#include "model/contactlist.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>

namespace velmor {

class Service;
class ContactSearch;

// The customer's own record: 32 text fields in the order of the reply.
struct CustomerRecord
{
    enum Field {
        Cari_No = 0,
        Cari_Ad = 3,
        Cari_Soyad = 4,
        Cari_Unvan = 5,
        Cari_Vergi_No = 6,
        Cari_TC_No = 7,
        Cari_Vergi_Dairesi = 8,
        Cari_Adres1 = 9,
        Cari_Adres2 = 10,
        Cari_Adres3 = 11,
        Cari_Mail_Adres = 12,
        Cari_ilce = 13,
        Cari_il = 14,
        Cari_GSM = 15,
        Cari_Tel = 16,
        Cari_Fax = 17,
        Cari_SMS_Kullanici_Adi = 22,
        Cari_SMS_Gonderici_Adi1 = 23,
        Cari_SMS_Gonderici_Adi2 = 24,
        Cari_SMS_Gonderici_Adi3 = 25,
        Cari_SMS_Sifre = 26,
        G_Ad1 = 29,
        G_Ad2 = 30,
        G_Ad3 = 31,
    };
    static constexpr int FieldCount = 32;

    std::array<QString, FieldCount> fields;

    const QString &operator[](int index) const { return fields[std::size_t(index)]; }
    QString &operator[](int index) { return fields[std::size_t(index)]; }
};

struct ContactGroup
{
    QString Grup_No;
    QString Grp_Ust_Grup_No;
    QString Grp_Adi;
    QString SortKey; // Grup_No with ten digits and leading zeros
};

// The logged-in customer's whole account, as the service last sent it.
struct AccountSnapshot
{
    bool hasCustomer = false; // false until a payload with a customer section is loaded
    CustomerRecord customer;
    QList<ContactGroup> groups; // ordered by SortKey
    ContactList contacts;       // in the order of the reply
};

// "0000000042" for "42": the number with ten digits and leading zeros (a sign
// stays in front, leading zeros of the input do not count, more than ten
// digits stay as they are). A value that is not a whole number is kept as it is.
QString TenDigitKey(QStringView number);
// "#0000000042#"
QString MakeMarkKey(QStringView recordNo);
// The same written into key, reusing its memory: for a pass over every
// contact that only looks a key up.
void WriteMarkKey(QStringView recordNo, QString &key);

// Whether a group is top-level: its parent number read as a number is 0
// ("0", "00"; a text that does not begin with a number counts 0 as well).
bool IsTopLevelGroup(const ContactGroup &group);

// The most groups an account may hold (beside the contacts and text limits
// of the contact list).
inline constexpr qsizetype kMaxAccountGroups = 100'000;

// Replaces the snapshot from a command 1 payload. A payload without a "<Cari>"
// section (the empty payload included) leaves the snapshot whole and untouched
// and returns false; otherwise the snapshot is replaced at once and true
// returned. Rows whose fields are all empty are no groups or contacts. A
// payload over the limits (kMaxAccountContacts, kMaxAccountGroups, a text
// longer than kMaxAccountTextLength) is refused the same way, with
// overLimits set, so that no window builds its views from it.
bool LoadAccountSnapshot(AccountSnapshot &snapshot, const QString &payload, bool *overLimits = nullptr);
// What the user is told of an account over those limits.
QString AccountTooLargeMessage();

// The rows of the contacts that match the search, in list order: of all
// contacts, or of those whose rows are given. One pass that reads the next
// contacts' texts ahead, so screens should filter through this rather than
// calling ContactSearch::matches() contact by contact.
QList<int> FilterContacts(const ContactList &contacts, const ContactSearch &search);
QList<int> FilterContacts(const ContactList &contacts, const QList<int> &rows, const ContactSearch &search);

// A contact list searched as the user types: keeps the rows the last search
// text left, so that one more character searches only those instead of the
// whole list. The caller says when its contact list or its candidates
// change (reset()).
class ContactFilter
{
public:
    // The contacts or the candidates changed: the next search starts from them again.
    void reset() { m_valid = false; }
    // The rows (positions in contacts) of the candidates that match the
    // search text; every contact is a candidate when candidates is null.
    const QList<int> &apply(const ContactList &contacts, const QList<int> *candidates, const QString &text);

private:
    QList<int> m_rows;
    QString m_text;
    bool m_valid = false;
};

enum class RefreshResult { Loaded, KeptOld, TooLarge };
// FetchAccountData, then LoadAccountSnapshot with its result.
RefreshResult RefreshAccountSnapshot(const Service &service, AccountSnapshot &snapshot,
                                     const QString &customerNo);

} // namespace velmor
