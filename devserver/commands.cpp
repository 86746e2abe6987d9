#include "commands.h"

#include "store.h"

#include <QStringList>

namespace velmor::dev {

using namespace Qt::StringLiterals;

namespace {

const QStringList &sectionTags()
{
    static const QStringList tags = {u"<Rehber>"_s,     u"<Cari>"_s,      u"<Grup>"_s,
                                     u"<Adres>"_s,      u"<SMSGiris>"_s,  u"<SMSKontor>"_s,
                                     u"<SMSGonderim>"_s, u"<SMSCGuncelle>"_s, u"<iletimRpr>"_s};
    return tags;
}

QString section(const QString &tag, const QString &content)
{
    return tag + content + tag;
}

// Report rows come from whatever was sent; keep them from splitting the row layout.
QString reportSafe(QString value)
{
    value.replace(u'|', u'/');
    value.replace(u"<>"_s, u"< >"_s);
    for (const QString &tag : sectionTags()) {
        const QString spaced = u"< "_s + tag.mid(1);
        value.replace(tag, spaced, Qt::CaseInsensitive);
    }
    return value;
}

// The contacts section's rows one by one, as contacts() reads them.
QString contactRowsText(const QList<ContactRow> &rows)
{
    QString contacts;
    contacts.reserve(rows.size() * 120);
    for (const ContactRow &c : rows) {
        contacts += u"<>"_s;
        contacts += QString::number(c.recordNo);
        contacts += u'|';
        contacts += QString::number(c.group);
        for (const QString &d : c.details) {
            contacts += u'|';
            contacts += d;
        }
    }
    return contacts;
}

// The whole account, by far the largest reply: the contacts are appended as
// the bytes the database holds, without a text of their own in between.
QByteArray accountData(const Store &store, const QString &customerNo)
{
    const auto customer = store.customer(customerNo);
    if (!customer)
        return {};
    QStringList fields;
    for (const QString &f : customer->fields)
        fields << f;

    QString groups;
    for (const GroupRow &g : store.groups(customerNo)) {
        groups += u"<>"_s;
        groups += QString::number(g.number) + u'|' + QString::number(g.parent) + u'|' + g.name;
    }

    const QString head = section(u"<Cari>"_s, fields.join(u'|')) + section(u"<Grup>"_s, groups) + u"<Adres>"_s;
    QByteArray out = head.toUtf8();
    if (!store.appendContactRows(customerNo, out))
        out += contactRowsText(store.contacts(customerNo)).toUtf8();
    out += "<Adres>";
    return out;
}

QString status(bool ok)
{
    return ok ? u"1"_s : u"0"_s;
}

bool allFit(const QStringList &values)
{
    for (const QString &v : values) {
        if (BreaksLayout(v, true))
            return false;
    }
    return true;
}

} // namespace

QString OwnVersionNumber()
{
    return QString::number(VELMOR_VERSION_MAJOR) + QString::number(VELMOR_VERSION_MINOR)
        + u"%1"_s.arg(VELMOR_VERSION_PATCH, 4, 10, QChar(u'0'));
}

QString DefaultPackageName()
{
    return u"VelmorSMSKurulum.exe"_s;
}

bool BreaksLayout(const QString &value, bool pipeAllowed)
{
    if (!pipeAllowed && value.contains(u'|'))
        return true;
    if (value.contains(u"<>"_s))
        return true;
    for (const QString &tag : sectionTags()) {
        if (value.contains(tag, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

int CommandCode(const FormFields &fields)
{
    const auto code = fields.plain(u"Rehber"_s);
    if (!code)
        return -1;
    const auto number = Store::parseNumber(*code);
    if (!number || *number > 1000)
        return -1;
    return int(*number);
}

namespace {

// Every command but the account, whose payload is built as bytes.
std::optional<QString> handleTextCommand(Store &store, const FormFields &fields, const CommandContext &context)
{
    const int command = CommandCode(fields);

    // Every field a command reads must be there and, when coded, decode.
    QHash<QString, QString> v;
    auto need = [&](std::initializer_list<QString> plain, std::initializer_list<QString> coded) {
        for (const QString &name : plain) {
            const auto value = fields.plain(name);
            if (!value)
                return false;
            v.insert(name, *value);
        }
        for (const QString &name : coded) {
            const auto value = fields.coded(name);
            if (!value)
                return false;
            v.insert(name, *value);
        }
        return true;
    };

    switch (command) {
    case 2: {
        if (!need({u"Cari_No"_s}, {}))
            return std::nullopt;
        const auto customer = store.customer(v[u"Cari_No"_s]);
        if (!customer)
            return QString();
        return section(u"<SMSKontor>"_s, customer->balance);
    }

    case 3: {
        if (!need({u"Cari_No"_s},
                  {u"Gonderici_Adi"_s, u"SMS_Tip"_s, u"Gonderme_Tarih"_s, u"Gonderme_Zaman"_s, u"Gecikme_Tarih"_s,
                   u"Gecikme_Zaman"_s, u"Sonuc_Kodu"_s, u"Mesaj"_s, u"Tel_Nolar"_s, u"Kontor"_s}))
            return std::nullopt;
        SendRequest request;
        request.senderName = v[u"Gonderici_Adi"_s];
        request.date = v[u"Gonderme_Tarih"_s];
        request.time = v[u"Gonderme_Zaman"_s];
        request.message = v[u"Mesaj"_s];
        const QString numbers = v[u"Tel_Nolar"_s];
        if (!numbers.isEmpty())
            request.numbers = numbers.split(u',');
        request.partCount = Store::parseNumber(v[u"Kontor"_s]).value_or(0);
        const auto left = store.send(v[u"Cari_No"_s], request, context.now, context.undeliveredSuffix);
        return section(u"<SMSGonderim>"_s, left.value_or(u"-1"_s));
    }

    case 4: {
        if (!need({u"Cari_No"_s}, {}))
            return std::nullopt;
        const auto customer = store.customer(v[u"Cari_No"_s]);
        if (!customer)
            return section(u"<SMSGiris>"_s, u"0"_s);
        const auto &f = customer->fields;
        return section(u"<SMSGiris>"_s, f[kStatusField] + u'|' + f[22] + u'|' + f[26]);
    }

    case 5: {
        if (!need({u"Cari_No"_s}, {u"Cari_Bilgileri"_s, u"G_Ad1"_s, u"G_Ad2"_s, u"G_Ad3"_s}))
            return std::nullopt;
        // A "|" typed into a box would shift every later item into the wrong
        // field (the password among them): such a text is refused whole.
        const QStringList items = v[u"Cari_Bilgileri"_s].split(u'|');
        const QStringList names = {v[u"G_Ad1"_s], v[u"G_Ad2"_s], v[u"G_Ad3"_s]};
        bool ok = items.size() == 15 && allFit(items);
        for (const QString &n : names)
            ok = ok && !BreaksLayout(n);
        ok = ok && store.saveCustomerDetails(v[u"Cari_No"_s], items, names[0], names[1], names[2]);
        return section(u"<SMSCGuncelle>"_s, status(ok));
    }

    case 6: {
        if (!need({u"Adr_K_No"_s}, {u"Adr_Bilgileri"_s}))
            return std::nullopt;
        const QStringList data = v[u"Adr_Bilgileri"_s].split(u'|');
        return status(data.size() == 11 && allFit(data) && store.updateContact(v[u"Adr_K_No"_s], data));
    }

    case 7:
        if (!need({u"Adr_K_No"_s}, {}))
            return std::nullopt;
        return status(store.deleteContact(v[u"Adr_K_No"_s]));

    case 8: {
        if (!need({u"Cari_No"_s}, {u"Adr_Bilgileri"_s}))
            return std::nullopt;
        const QStringList data = v[u"Adr_Bilgileri"_s].split(u'|');
        return status(data.size() == 11 && allFit(data) && store.addContact(v[u"Cari_No"_s], data));
    }

    case 9: {
        if (!need({u"Cari_No"_s, u"Grp_Ust_Grup_No"_s}, {u"Grp_Adi"_s}))
            return std::nullopt;
        const QString name = v[u"Grp_Adi"_s];
        return status(!BreaksLayout(name) && store.addGroup(v[u"Cari_No"_s], v[u"Grp_Ust_Grup_No"_s], name));
    }

    case 10:
        if (!need({u"Cari_No"_s, u"GrupNolari"_s, u"UstGrupNo"_s}, {}))
            return std::nullopt;
        return status(store.deleteGroups(v[u"Cari_No"_s], v[u"GrupNolari"_s].split(u'|'), v[u"UstGrupNo"_s]));

    case 11: {
        if (!need({u"Cari_No"_s, u"Grup_No"_s}, {u"Grp_Adi"_s}))
            return std::nullopt;
        const QString name = v[u"Grp_Adi"_s];
        return status(!BreaksLayout(name) && store.renameGroup(v[u"Cari_No"_s], v[u"Grup_No"_s], name));
    }

    case 12: {
        if (!need({u"Cari_No"_s, u"Trh_1"_s, u"Trh_2"_s}, {}))
            return std::nullopt;
        QString rows;
        for (const ReportRow &r : store.reports(v[u"Cari_No"_s], v[u"Trh_1"_s], v[u"Trh_2"_s])) {
            rows += u"<>"_s;
            rows += QStringList{reportSafe(r.phone), reportSafe(r.sentStamp), reportSafe(r.finalStamp),
                                reportSafe(r.message), reportSafe(r.state)}
                        .join(u'|');
        }
        return section(u"<iletimRpr>"_s, rows);
    }

    case 13:
        return context.now.toString(u"yyyyMMddHHmmss"_s);

    case 14:
        if (!need({u"Adr_K_No"_s, u"Grup_No"_s}, {}))
            return std::nullopt;
        return status(store.moveContact(v[u"Adr_K_No"_s], v[u"Grup_No"_s]));

    case 30: {
        const QString version = context.latestVersion.isEmpty() ? OwnVersionNumber() : context.latestVersion;
        const QString package = context.packageName.isEmpty() ? DefaultPackageName() : context.packageName;
        return version + u'|' + package;
    }

    default:
        return std::nullopt;
    }
}

} // namespace

std::optional<QByteArray> HandleCommand(Store &store, const FormFields &fields, const CommandContext &context)
{
    if (CommandCode(fields) == 1) {
        const auto customerNo = fields.plain(u"Cari_No"_s);
        if (!customerNo)
            return std::nullopt;
        return accountData(store, *customerNo);
    }
    const std::optional<QString> payload = handleTextCommand(store, fields, context);
    if (!payload)
        return std::nullopt;
    return payload->toUtf8();
}

} // namespace velmor::dev
