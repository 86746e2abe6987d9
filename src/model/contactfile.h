#pragma once

#include "model/phonebook.h"
#include "model/snapshot.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

// A phone book as a spreadsheet file: contacts read from the records of a
// file (which column fills which field, the numbers normalised, the
// editor's rules applied, duplicates found) and a group written out as a
// table. Plain functions over the records, so that any front end can use them.
namespace velmor {

// Which column of the file fills each contact field; -1 for none.
using ImportMapping = std::array<int, kContactFieldCount>;
inline constexpr ImportMapping kNoMapping{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

// The field a column name stands for, -1 for none: Adı, Soyadı, Adres,
// İlçe, İl, Cep/GSM, Sabit/Telefon and Fax in Turkish or plain spelling and
// in the usual variants ("Cep Telefonu", "GSM No", "Tel", "Faks", "Şehir",
// "Ad Soyad" for the first name), without regard to case and accents. An
// address name gives the address line its number says (the first without one).
int FieldForColumnName(QStringView name);

// Whether the first record names the columns: one of its fields is a known
// column name, or it looks like a header (LooksLikeHeader).
bool DetectImportHeader(const QList<QStringList> &records);

// The proposed mapping. With a header: each known column name fills its
// field (a field from its first column; address columns fill the lines in
// turn). The first name and the mobile number, when no name gave them, and
// every field of a file without a header are guessed from the first rows:
// the column mostly of mobile numbers is the mobile number, further columns
// of telephone numbers the fixed line and the fax, the first two columns of
// words the first name and the surname.
ImportMapping ProposeImportMapping(const QList<QStringList> &records, bool hasHeader);

// The contact a record gives: the mapped fields with line breaks and tabs
// made blanks and blanks trimmed; the mobile number as 05xxxxxxxxx, the
// fixed line and fax as 0xxxxxxxxxx where they can be read so, as written
// where they cannot.
ContactValues ImportedValues(const QStringList &record, const ImportMapping &mapping);

enum class ImportVerdict : quint8 {
    Accepted,
    Blank,          // an empty line: neither sent nor reported
    NoFirstName,
    StoreSeparator, // "|", "<" or ">" in a field
    NoMobile,
    BadMobile,
    BadFixed,
    BadFax,
    TooLong,
    DuplicateInGroup,
    DuplicateInFile,
};
struct ImportCheck
{
    ImportVerdict verdict = ImportVerdict::Accepted;
    qint8 field = -1; // the field at fault, for StoreSeparator and TooLong

    bool accepted() const { return verdict == ImportVerdict::Accepted; }
    bool operator==(const ImportCheck &) const = default;
};

// The editor's rules on a contact: a first name, a valid mobile number,
// fixed line and fax valid or empty, no "|", "<" or ">", no field longer
// than the editor takes. The first rule broken, or Accepted.
ImportCheck CheckContactValues(const ContactValues &values);

struct ImportOptions
{
    ImportMapping mapping = kNoMapping;
    bool hasHeader = false;
    // Whether a mobile number already in the group or earlier in the file
    // is sent again.
    bool keepDuplicates = false;
    // The mobile numbers of the contacts already in the target group.
    QSet<QString> groupMobiles;
};

// A verdict for every record after the header, in file order: the editor's
// rules, then (unless duplicates are kept) a mobile number in the group or
// in an earlier accepted record. One pass with hash sets.
QList<ImportCheck> CheckImportRecords(const QList<QStringList> &records, const ImportOptions &options);

// The mobile numbers of the contacts of one group.
QSet<QString> GroupMobileNumbers(const ContactList &contacts, const QString &groupNo);

// Why a record is not sent, in a few Turkish words ("Adı boş").
QString ImportVerdictText(const ImportCheck &check);

// What became of a record that was to be sent.
enum class SendOutcome : quint8 {
    Added,
    Refused, // the service answered, and not "1"
    NoReply, // no answer: it may or may not have been stored
    NotSent, // the import stopped before it
};
QString SendOutcomeText(SendOutcome outcome);

// The contacts of a group ("0" or empty: every contact) as a table for a
// file: a header row, then per contact its ten fields and its group's name.
QList<QStringList> ContactExportTable(const AccountSnapshot &snapshot, const QString &groupNo);

// A record that did not go in, by its index among the records, and why.
struct NotImportedRecord
{
    qsizetype record;
    QString reason;
};
// The records that did not go in, to be fixed and imported again: a header
// row (the names of the fields the columns filled, the file's own names for
// the other columns) and each record as read, with its reason in a last
// column "Sebep".
QList<QStringList> NotImportedTable(const QList<QStringList> &records, bool hasHeader, const ImportMapping &mapping,
                                    const QList<NotImportedRecord> &notImported);

} // namespace velmor
