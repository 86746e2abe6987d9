#include "model/contactfile.h"

#include "text/csv.h"
#include "text/phonenumber.h"
#include "text/storedtext.h"
#include "text/turkish.h"

#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

// A column name reduced to plain lower-case letters and digits: Turkish
// letters folded, other accents dropped, blanks and punctuation gone.
QString nameKey(QStringView name)
{
    const QString plain = FoldTurkish(name).normalized(QString::NormalizationForm_D);
    QString key;
    key.reserve(plain.size());
    for (const QChar ch : plain) {
        const char16_t c = ch.toLower().unicode();
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))
            key += QChar(c);
    }
    return key;
}

bool oneOf(const QString &key, std::initializer_list<const char16_t *> words)
{
    return std::any_of(words.begin(), words.end(), [&key](const char16_t *word) { return key == word; });
}

bool containsAny(const QString &key, std::initializer_list<const char16_t *> words)
{
    return std::any_of(words.begin(), words.end(),
                       [&key](const char16_t *word) { return key.contains(QStringView(word)); });
}

// First name and surname in one column ("Ad Soyad", "İsim Soyisim") fill the first name.
bool isFullName(const QString &key)
{
    for (const QStringView surname : {u"soyad", u"soyisim"}) {
        const qsizetype at = key.indexOf(surname);
        if (at > 0 && oneOf(key.left(at), {u"ad", u"adi", u"adve", u"adive", u"isim", u"isimve"}))
            return true;
    }
    return false;
}

QString cell(const QStringList &record, int column)
{
    return column >= 0 && column < record.size() ? record.at(column) : QString();
}

bool isBreak(QChar ch)
{
    return ch == u'\n' || ch == u'\r' || ch == u'\t';
}

// Copies only a value that changes; most are taken as they are.
QString cleaned(const QString &value)
{
    if (std::none_of(value.cbegin(), value.cend(), isBreak))
        return value.trimmed();
    QString out = value;
    std::replace_if(out.begin(), out.end(), isBreak, QChar(u' '));
    return out.trimmed();
}

bool blankRecord(const QStringList &record)
{
    return std::all_of(record.cbegin(), record.cend(), [](const QString &field) {
        return std::all_of(field.cbegin(), field.cend(), [](QChar ch) { return ch.isSpace(); });
    });
}

bool holdsDigit(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.isDigit(); });
}

bool holdsLetter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.isLetter(); });
}

// Fills the free fields from what the first rows hold; only fields in wanted
// are filled, only from columns no field uses yet.
void guessFromContents(const QList<QStringList> &records, qsizetype first, ImportMapping &mapping,
                       const QList<int> &wanted)
{
    constexpr qsizetype kSample = 50;
    int width = 0;
    for (qsizetype r = first; r < records.size() && r < first + kSample; ++r)
        width = std::max(width, int(records.at(r).size()));
    struct Column
    {
        int filled = 0, mobiles = 0, phones = 0, words = 0;
    };
    QList<Column> columns(width);
    for (qsizetype r = first; r < records.size() && r < first + kSample; ++r) {
        const QStringList &record = records.at(r);
        for (int c = 0; c < record.size(); ++c) {
            const QString value = record.at(c).trimmed();
            if (value.isEmpty())
                continue;
            Column &column = columns[c];
            ++column.filled;
            if (!NormaliseMobileNumber(value).isEmpty())
                ++column.mobiles;
            if (!NormaliseFixedNumber(value).isEmpty())
                ++column.phones;
            else if (holdsLetter(value) && !holdsDigit(value))
                ++column.words;
        }
    }
    auto used = [&mapping](int column) { return std::find(mapping.cbegin(), mapping.cend(), column) != mapping.cend(); };
    auto mostly = [](int count, int filled) { return count > 0 && 2 * count >= filled; };
    auto fill = [&](int field, int column) {
        if (wanted.contains(field) && mapping[std::size_t(field)] < 0 && !used(column))
            mapping[std::size_t(field)] = column;
    };

    int mobile = -1;
    for (int c = 0; c < width; ++c) {
        if (!used(c) && mostly(columns[c].mobiles, columns[c].filled)
            && (mobile < 0 || columns[c].mobiles > columns[mobile].mobiles))
            mobile = c;
    }
    if (mobile >= 0)
        fill(FieldGsm, mobile);
    for (int c = 0; c < width; ++c) {
        if (mostly(columns[c].phones, columns[c].filled)) {
            fill(FieldTel, c);
            fill(FieldFax, c);
        }
    }
    for (int c = 0; c < width; ++c) {
        if (mostly(columns[c].words, columns[c].filled)) {
            fill(FieldAdi, c);
            fill(FieldSoyadi, c);
        }
    }
}

// A number already in the kept form is taken as it is, without a copy.
QString normalisedNumber(const QString &written, bool (*kept)(QStringView), QString (*normalise)(QStringView))
{
    if (written.isEmpty() || kept(written))
        return written;
    const QString normalised = normalise(written);
    return normalised.isEmpty() ? written : normalised;
}

} // namespace

int FieldForColumnName(QStringView name)
{
    QString key = nameKey(name);
    // The service's own field names: "Adr_Adi", "Adr_GSM_No".
    if (key.startsWith(u"adr") && !key.startsWith(u"adres"))
        key.remove(0, 3);
    if (key.isEmpty())
        return -1;
    if (isFullName(key))
        return FieldAdi;
    if (containsAny(key, {u"fax", u"faks"}))
        return FieldFax;
    if (containsAny(key, {u"cep", u"gsm", u"mobil"}))
        return FieldGsm;
    if (containsAny(key, {u"sabit", u"telefon", u"phone"}) || key.startsWith(u"tel"))
        return FieldTel;
    if (containsAny(key, {u"soyad", u"soyisim", u"surname", u"lastname"}))
        return FieldSoyadi;
    if (oneOf(key, {u"ad", u"adi", u"isim", u"name", u"firstname"}))
        return FieldAdi;
    if (key.startsWith(u"adres") || key.startsWith(u"address")) {
        const qsizetype at = key.startsWith(u"adres") ? 5 : 7;
        const QChar line = at < key.size() ? key.at(at) : QChar();
        return line == u'2' ? FieldAdres2 : line == u'3' ? FieldAdres3 : FieldAdres1;
    }
    if (oneOf(key, {u"ilce", u"district"}))
        return FieldIlce;
    if (oneOf(key, {u"il", u"sehir", u"city", u"province"}))
        return FieldIl;
    return -1;
}

bool DetectImportHeader(const QList<QStringList> &records)
{
    if (records.isEmpty())
        return false;
    for (const QString &name : records.constFirst()) {
        if (FieldForColumnName(name) >= 0)
            return true;
    }
    return LooksLikeHeader(records);
}

ImportMapping ProposeImportMapping(const QList<QStringList> &records, bool hasHeader)
{
    ImportMapping mapping = kNoMapping;
    QList<int> guessed;
    for (int field = 0; field < kContactFieldCount; ++field)
        guessed.append(field);
    if (hasHeader && !records.isEmpty()) {
        const QStringList &names = records.constFirst();
        bool named = false;
        for (int column = 0; column < names.size(); ++column) {
            int field = FieldForColumnName(names.at(column));
            // An address line already filled passes to the next free one.
            if (field >= FieldAdres1 && field <= FieldAdres3 && mapping[std::size_t(field)] >= 0) {
                field = FieldAdres1;
                while (field <= FieldAdres3 && mapping[std::size_t(field)] >= 0)
                    ++field;
                if (field > FieldAdres3)
                    continue;
            }
            if (field >= 0 && mapping[std::size_t(field)] < 0) {
                mapping[std::size_t(field)] = column;
                named = true;
            }
        }
        if (named)
            guessed = {FieldAdi, FieldGsm};
    }
    guessFromContents(records, hasHeader ? 1 : 0, mapping, guessed);
    return mapping;
}

ContactValues ImportedValues(const QStringList &record, const ImportMapping &mapping)
{
    ContactValues values;
    for (int field = 0; field < kContactFieldCount; ++field)
        values[std::size_t(field)] = cleaned(cell(record, mapping[std::size_t(field)]));
    values[FieldGsm] = normalisedNumber(values[FieldGsm], IsMobileNumber, NormaliseMobileNumber);
    values[FieldTel] = normalisedNumber(values[FieldTel], IsFixedNumber, NormaliseFixedNumber);
    values[FieldFax] = normalisedNumber(values[FieldFax], IsFixedNumber, NormaliseFixedNumber);
    return values;
}

ImportCheck CheckContactValues(const ContactValues &values)
{
    if (values[FieldAdi].isEmpty())
        return {ImportVerdict::NoFirstName, FieldAdi};
    for (int field = 0; field < kContactFieldCount; ++field) {
        if (HoldsStoreSeparator(values[std::size_t(field)]))
            return {ImportVerdict::StoreSeparator, qint8(field)};
    }
    if (values[FieldGsm].isEmpty())
        return {ImportVerdict::NoMobile, FieldGsm};
    if (!IsMobileNumber(values[FieldGsm]))
        return {ImportVerdict::BadMobile, FieldGsm};
    if (!values[FieldTel].isEmpty() && !IsFixedNumber(values[FieldTel]))
        return {ImportVerdict::BadFixed, FieldTel};
    if (!values[FieldFax].isEmpty() && !IsFixedNumber(values[FieldFax]))
        return {ImportVerdict::BadFax, FieldFax};
    for (int field = 0; field < kContactFieldCount; ++field) {
        if (values[std::size_t(field)].size() > kContactFields[std::size_t(field)].limit)
            return {ImportVerdict::TooLong, qint8(field)};
    }
    return {};
}

QList<ImportCheck> CheckImportRecords(const QList<QStringList> &records, const ImportOptions &options)
{
    QList<ImportCheck> checks;
    const qsizetype first = options.hasHeader ? 1 : 0;
    if (records.size() <= first)
        return checks;
    checks.reserve(records.size() - first);
    QSet<QString> seen;
    if (!options.keepDuplicates)
        seen.reserve(records.size() - first);
    for (qsizetype r = first; r < records.size(); ++r) {
        const QStringList &record = records.at(r);
        if (blankRecord(record)) {
            checks.append({ImportVerdict::Blank, -1});
            continue;
        }
        const ContactValues values = ImportedValues(record, options.mapping);
        ImportCheck check = CheckContactValues(values);
        if (check.accepted() && !options.keepDuplicates) {
            const QString &mobile = values[FieldGsm];
            if (options.groupMobiles.contains(mobile))
                check = {ImportVerdict::DuplicateInGroup, FieldGsm};
            else if (seen.contains(mobile))
                check = {ImportVerdict::DuplicateInFile, FieldGsm};
            else
                seen.insert(mobile);
        }
        checks.append(check);
    }
    return checks;
}

QSet<QString> GroupMobileNumbers(const ContactList &contacts, const QString &groupNo)
{
    QSet<QString> mobiles;
    for (const ContactRef contact : contacts) {
        if (contact.Grup_No() == groupNo)
            mobiles.insert(contact.Adr_GSM_No().toString());
    }
    return mobiles;
}

QString ImportVerdictText(const ImportCheck &check)
{
    const QString field = check.field >= 0 ? ContactFieldName(check.field) : QString();
    switch (check.verdict) {
    case ImportVerdict::Accepted: return u"Aktarılacak"_s;
    case ImportVerdict::Blank: return u"Boş satır"_s;
    case ImportVerdict::NoFirstName: return u"Adı boş"_s;
    case ImportVerdict::StoreSeparator: return u"\"%1\" alanında |, < veya > var"_s.arg(field);
    case ImportVerdict::NoMobile: return u"Cep telefonu boş"_s;
    case ImportVerdict::BadMobile: return u"Cep telefonu geçersiz (05xxxxxxxxx olmalı)"_s;
    case ImportVerdict::BadFixed: return u"Sabit telefon geçersiz (0xxxxxxxxxx olmalı)"_s;
    case ImportVerdict::BadFax: return u"Fax numarası geçersiz (0xxxxxxxxxx olmalı)"_s;
    case ImportVerdict::TooLong:
        return u"\"%1\" en çok %2 karakter olabilir"_s.arg(field).arg(kContactFields[std::size_t(check.field)].limit);
    case ImportVerdict::DuplicateInGroup: return u"Bu cep telefonu grupta zaten var"_s;
    case ImportVerdict::DuplicateInFile: return u"Bu cep telefonu dosyada daha önce geçiyor"_s;
    }
    return {};
}

QString SendOutcomeText(SendOutcome outcome)
{
    switch (outcome) {
    case SendOutcome::Added: return u"Eklendi"_s;
    case SendOutcome::Refused: return u"Sunucu kabul etmedi"_s;
    case SendOutcome::NoReply: return u"Sunucudan yanıt alınamadı (eklenmiş olabilir)"_s;
    case SendOutcome::NotSent: return u"Gönderilmedi (aktarma durduruldu)"_s;
    }
    return {};
}

QList<QStringList> ContactExportTable(const AccountSnapshot &snapshot, const QString &groupNo)
{
    const bool all = groupNo.isEmpty() || groupNo == u"0";
    QHash<QString, QString> groupNames;
    groupNames.reserve(snapshot.groups.size());
    for (const ContactGroup &group : snapshot.groups)
        groupNames.insert(group.Grup_No, group.Grp_Adi);

    QList<QStringList> table;
    QStringList header;
    for (int field = 0; field < kContactFieldCount; ++field)
        header.append(ContactFieldName(field));
    header.append(u"Grup"_s);
    table.append(header);
    for (const ContactRef contact : snapshot.contacts) {
        if (!all && contact.Grup_No() != groupNo)
            continue;
        const ContactValues values = ContactFieldValues(contact);
        QStringList row(values.cbegin(), values.cend());
        row.append(groupNames.value(contact.Grup_No().toString()));
        table.append(row);
    }
    return table;
}

QList<QStringList> NotImportedTable(const QList<QStringList> &records, bool hasHeader, const ImportMapping &mapping,
                                    const QList<NotImportedRecord> &notImported)
{
    qsizetype width = hasHeader && !records.isEmpty() ? records.constFirst().size() : 0;
    for (const NotImportedRecord &row : notImported)
        width = std::max(width, records.at(row.record).size());
    for (const int column : mapping)
        width = std::max(width, qsizetype(column + 1));

    QStringList header(width);
    for (qsizetype column = 0; column < width; ++column) {
        const auto field = std::find(mapping.cbegin(), mapping.cend(), int(column));
        if (field != mapping.cend())
            header[column] = ContactFieldName(int(field - mapping.cbegin()));
        else if (hasHeader && !records.isEmpty())
            header[column] = cell(records.constFirst(), int(column));
    }
    header.append(u"Sebep"_s);

    QList<QStringList> table{header};
    for (const NotImportedRecord &row : notImported) {
        QStringList out = records.at(row.record);
        out.resize(width);
        out.append(row.reason);
        table.append(out);
    }
    return table;
}

} // namespace velmor
