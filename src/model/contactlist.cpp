#include "model/contactlist.h"

#include "model/rowsplit.h"
#include "model/snapshot.h"

#include <limits>

namespace velmor {


using detail::ContactStore;
using detail::kBoundsPerContact;

QString ContactRef::MarkKey() const
{
    return MakeMarkKey(Adr_K_No());
}

Contact ContactRef::toContact() const
{
    auto owned = [this](ContactText field) {
        const QStringView view = text(field);
        return view.isEmpty() ? QString() : view.toString();
    };
    Contact contact;
    contact.Adr_K_No = owned(ContactText::Adr_K_No);
    contact.Grup_No = owned(ContactText::Grup_No);
    contact.Adr_Adi = owned(ContactText::Adr_Adi);
    contact.Adr_Soyadi = owned(ContactText::Adr_Soyadi);
    contact.Adr_Adres1 = owned(ContactText::Adr_Adres1);
    contact.Adr_Adres2 = owned(ContactText::Adr_Adres2);
    contact.Adr_Adres3 = owned(ContactText::Adr_Adres3);
    contact.Adr_ilce = owned(ContactText::Adr_ilce);
    contact.Adr_il = owned(ContactText::Adr_il);
    contact.Adr_GSM_No = owned(ContactText::Adr_GSM_No);
    contact.Adr_Tel_No = owned(ContactText::Adr_Tel_No);
    contact.Adr_Fax_No = owned(ContactText::Adr_Fax_No);
    contact.MarkKey = MakeMarkKey(contact.Adr_K_No);
    return contact;
}

ContactList::ContactList() : d(new ContactStore) {}
ContactList::ContactList(const QList<Contact> &contacts) : ContactList()
{
    for (const Contact &contact : contacts)
        append(contact);
}

ContactList::ContactList(std::initializer_list<Contact> contacts) : ContactList()
{
    for (const Contact &contact : contacts)
        append(contact);
}

ContactList::ContactList(const ContactList &other) = default;
ContactList::ContactList(ContactList &&other) noexcept = default;
ContactList &ContactList::operator=(const ContactList &other) = default;
ContactList &ContactList::operator=(ContactList &&other) noexcept = default;
ContactList::~ContactList() = default;

qsizetype ContactList::size() const
{
    return d ? d->size() : 0;
}

ContactRef ContactList::at(qsizetype row) const
{
    Q_ASSERT(row >= 0 && row < size());
    return ContactRef(d.data(), row);
}

void ContactList::detach()
{
    if (!d)
        d = new ContactStore;
    else
        d.detach(); // the texts and boundaries stay shared until written
}

void ContactList::reserve(qsizetype contacts, qsizetype characters)
{
    detach();
    d->bounds.reserve(d->bounds.size() + contacts * kBoundsPerContact);
    d->text.reserve(d->text.size() + characters);
}

namespace {
template<typename TextOf>
void appendTexts(ContactStore &store, TextOf textOf)
{
    qsizetype length = kContactTextCount;
    for (int f = 0; f < kContactTextCount; ++f)
        length += textOf(f).size();
    if (store.text.size() + length > qsizetype(std::numeric_limits<quint32>::max()))
        qFatal("contact list: more text than a list can hold");
    store.text.reserve(store.text.size() + length);
    for (int f = 0; f < kContactTextCount; ++f) {
        if (f > 0)
            store.text += u'|';
        store.bounds.append(quint32(store.text.size()));
        store.text += textOf(f);
    }
    store.bounds.append(quint32(store.text.size()));
    // Keeps the next contact's first text from starting at this one's end, so
    // that the last text of this one can never be taken for a separator.
    store.text += u'|';
}
} // namespace

void ContactList::append(const Contact &contact)
{
    detach();
    const std::array<const QString *, kContactTextCount> texts{
        &contact.Adr_K_No,   &contact.Grup_No, &contact.Adr_Adi,    &contact.Adr_Soyadi,
        &contact.Adr_Adres1, &contact.Adr_Adres2, &contact.Adr_Adres3, &contact.Adr_ilce,
        &contact.Adr_il,     &contact.Adr_GSM_No, &contact.Adr_Tel_No, &contact.Adr_Fax_No};
    appendTexts(*d, [&texts](int f) { return QStringView(*texts[std::size_t(f)]); });
}

void ContactList::append(ContactRef contact)
{
    if (contact.m_store == d.data()) {
        // Appending a contact of this very list: its texts must be read
        // before the buffer they lie in grows.
        append(contact.toContact());
        return;
    }
    detach();
    appendTexts(*d, [&contact](int f) { return contact.text(ContactText(f)); });
}

void ContactList::setText(qsizetype row, ContactText field, const QString &value)
{
    Q_ASSERT(row >= 0 && row < size());
    detach();
    d->changed.insert(ContactStore::key(row, int(field)), value);
}

void ContactList::clear()
{
    d = new ContactStore;
}

ContactList ContactList::fromSection(const QString &payload, QStringView section, bool *withinLimits)
{
    if (withinLimits)
        *withinLimits = true;
    ContactList list;
    ContactStore &store = *list.d;
    // Read in place when the section is most of the payload (the usual
    // account); otherwise only the section is kept, not what surrounds it.
    const QStringView whole = payload;
    const bool inPlace = !section.isEmpty() && section.utf16() >= whole.utf16()
                         && section.utf16() + section.size() <= whole.utf16() + whole.size()
                         && section.size() * 2 >= whole.size();
    const char16_t *base;
    if (inPlace) {
        store.text = payload;
        base = whole.utf16();
    } else {
        store.text = section.toString();
        section = store.text;
        base = section.utf16();
    }
    bool fits = store.text.size() < qsizetype(std::numeric_limits<quint32>::max());
    if (fits)
        store.bounds.reserve(qMin(rowCount(section), kMaxAccountContacts + 1) * kBoundsPerContact);
    qsizetype contacts = 0;
    forEachRow<kContactTextCount>(fits ? section : QStringView(), [&](const std::array<QStringView, kContactTextCount> &f,
                                                                     int count) {
        if (!fits)
            return;
        bool empty = true;
        for (int i = 0; i < count; ++i) {
            const qsizetype length = f[std::size_t(i)].size();
            empty = empty && length == 0;
            fits = fits && length <= kMaxAccountTextLength;
        }
        if (empty)
            return;
        fits = fits && ++contacts <= kMaxAccountContacts;
        if (!fits)
            return;
        const auto offset = [base](QStringView view) { return quint32(view.utf16() - base); };
        quint32 rowEnd = 0;
        for (int i = 0; i < count; ++i) {
            const quint32 start = offset(f[std::size_t(i)]);
            store.bounds.append(start);
            rowEnd = start + quint32(f[std::size_t(i)].size());
        }
        // Missing texts begin past the row's end, so that they and the last
        // present one come out right (empty, and ending at the row's end).
        for (int i = count; i < kContactTextCount; ++i)
            store.bounds.append(rowEnd + 1);
        store.bounds.append(count == kContactTextCount ? rowEnd : rowEnd + 1);
    });
    if (!fits) {
        if (withinLimits)
            *withinLimits = false;
        return {};
    }
    return list;
}

QList<Contact> ContactList::toContacts() const
{
    QList<Contact> contacts;
    contacts.reserve(size());
    for (const ContactRef contact : *this)
        contacts.append(contact.toContact());
    return contacts;
}

qsizetype ContactList::heldBytes() const
{
    if (!d)
        return 0;
    qsizetype bytes = d->text.capacity() * qsizetype(sizeof(QChar)) + d->bounds.capacity() * qsizetype(sizeof(quint32));
    for (const QString &text : d->changed)
        bytes += text.capacity() * qsizetype(sizeof(QChar)) + 32;
    return bytes;
}

} // namespace velmor
