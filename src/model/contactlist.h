#pragma once

#include <QExplicitlySharedDataPointer>
#include <QSharedData>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <initializer_list>
#include <iterator>

namespace velmor {

// A contact as a value of its own: twelve texts in the order of the reply
// and the derived MarkKey. What a contact list is built from, and what a
// window keeps when it needs a contact beyond the list it came from.
struct Contact
{
    QString Adr_K_No;
    QString Grup_No;
    QString Adr_Adi;
    QString Adr_Soyadi;
    QString Adr_Adres1;
    QString Adr_Adres2;
    QString Adr_Adres3;
    QString Adr_ilce;
    QString Adr_il;
    QString Adr_GSM_No;
    QString Adr_Tel_No;
    QString Adr_Fax_No;
    QString MarkKey; // "#" + Adr_K_No with ten digits and leading zeros + "#"
};

// The twelve texts of a contact, in the order of the reply.
enum class ContactText : quint8 {
    Adr_K_No,
    Grup_No,
    Adr_Adi,
    Adr_Soyadi,
    Adr_Adres1,
    Adr_Adres2,
    Adr_Adres3,
    Adr_ilce,
    Adr_il,
    Adr_GSM_No,
    Adr_Tel_No,
    Adr_Fax_No,
};
inline constexpr int kContactTextCount = 12;

// What an account may hold: more contacts, or a longer text anywhere in it,
// and the reply is refused rather than shown (the longest real value is far
// below this length).
inline constexpr qsizetype kMaxAccountContacts = 2'000'000;
inline constexpr qsizetype kMaxAccountTextLength = 4096;

namespace detail {

// Field boundaries per contact: where each of the twelve texts begins, and
// where the last one ends. Text i < 11 ends one character before text i + 1
// begins (at its separator); a text whose end would lie before its start is
// empty. Texts changed in place live beside the buffer.
inline constexpr int kBoundsPerContact = kContactTextCount + 1;

struct ContactStore : QSharedData
{
    QString text;
    QList<quint32> bounds;
    QHash<quint64, QString> changed; // row * 16 + field

    qsizetype size() const { return bounds.size() / kBoundsPerContact; }
    static quint64 key(qsizetype row, int field) { return quint64(row) * 16 + quint64(field); }
};

} // namespace detail

// One contact of a contact list, read in place: its texts are views into the
// list's storage. A ContactRef is valid as long as the list it came from (or
// a copy of it) lives unchanged; whoever keeps contacts across a reload keeps
// the list, never a ContactRef or one of its views.
class ContactRef
{
public:
    QStringView text(ContactText field) const;

    QStringView Adr_K_No() const { return text(ContactText::Adr_K_No); }
    QStringView Grup_No() const { return text(ContactText::Grup_No); }
    QStringView Adr_Adi() const { return text(ContactText::Adr_Adi); }
    QStringView Adr_Soyadi() const { return text(ContactText::Adr_Soyadi); }
    QStringView Adr_Adres1() const { return text(ContactText::Adr_Adres1); }
    QStringView Adr_Adres2() const { return text(ContactText::Adr_Adres2); }
    QStringView Adr_Adres3() const { return text(ContactText::Adr_Adres3); }
    QStringView Adr_ilce() const { return text(ContactText::Adr_ilce); }
    QStringView Adr_il() const { return text(ContactText::Adr_il); }
    QStringView Adr_GSM_No() const { return text(ContactText::Adr_GSM_No); }
    QStringView Adr_Tel_No() const { return text(ContactText::Adr_Tel_No); }
    QStringView Adr_Fax_No() const { return text(ContactText::Adr_Fax_No); }
    // Derived when asked: "#" + the record number with ten digits + "#".
    QString MarkKey() const;

    // The contact as a value of its own, independent of the list.
    Contact toContact() const;
    // The contact's position in its list.
    qsizetype row() const { return m_row; }

private:
    friend class ContactList;
    ContactRef(const detail::ContactStore *store, qsizetype row) : m_store(store), m_row(row) {}

    const detail::ContactStore *m_store;
    qsizetype m_row;
};

// The contacts of an account, held compactly: all texts in one buffer (for a
// loaded account, the reply itself) and twelve field boundaries per contact,
// instead of twelve separately allocated texts each. Copies share the
// storage; a change in place (a move to another group) copies it first when
// it is shared, so that a window's copy never changes under it.
class ContactList
{
public:
    ContactList();
    // A list of these contacts, their texts copied in.
    explicit ContactList(const QList<Contact> &contacts);
    ContactList(std::initializer_list<Contact> contacts);
    ContactList(const ContactList &other);
    ContactList(ContactList &&other) noexcept;
    ContactList &operator=(const ContactList &other);
    ContactList &operator=(ContactList &&other) noexcept;
    ~ContactList();

    qsizetype size() const;
    qsizetype count() const { return size(); }
    bool isEmpty() const { return size() == 0; }

    ContactRef at(qsizetype row) const;
    ContactRef operator[](qsizetype row) const { return at(row); }

    class const_iterator
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = ContactRef;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = ContactRef;

        const_iterator() = default;
        ContactRef operator*() const { return m_list->at(m_row); }
        const_iterator &operator++() { ++m_row; return *this; }
        const_iterator operator++(int) { const_iterator old = *this; ++m_row; return old; }
        const_iterator &operator--() { --m_row; return *this; }
        const_iterator &operator+=(difference_type n) { m_row += n; return *this; }
        const_iterator operator+(difference_type n) const { const_iterator it = *this; it.m_row += n; return it; }
        difference_type operator-(const const_iterator &other) const { return m_row - other.m_row; }
        bool operator==(const const_iterator &other) const { return m_row == other.m_row; }
        bool operator!=(const const_iterator &other) const { return m_row != other.m_row; }

    private:
        friend class ContactList;
        const_iterator(const ContactList *list, qsizetype row) : m_list(list), m_row(row) {}
        const ContactList *m_list = nullptr;
        qsizetype m_row = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Room for so many more contacts and characters of text.
    void reserve(qsizetype contacts, qsizetype characters);
    // Appends a contact, its texts copied into the list.
    void append(const Contact &contact);
    void append(ContactRef contact);
    // Changes one text of one contact in place.
    void setText(qsizetype row, ContactText field, const QString &value);
    void clear();

    // The contacts of a command 1 "<Adres>" section: each "<>"-row cut at "|"
    // into twelve fields (missing ones empty, further ones ignored); a row
    // whose fields are all empty is no contact. The section is a piece of
    // payload, which the list keeps and reads in place when the section is
    // most of it. Over the limits above, an empty list and withinLimits false.
    static ContactList fromSection(const QString &payload, QStringView section, bool *withinLimits = nullptr);

    // Asks for a contact's memory ahead of its use, for a pass over many
    // contacts: its boundaries (a few contacts ahead), then the texts a
    // search reads (once the boundaries have arrived).
    void prefetchBounds(qsizetype row) const
    {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(d->bounds.constData() + row * detail::kBoundsPerContact);
#else
        Q_UNUSED(row);
#endif
    }
    void prefetchSearchTexts(qsizetype row) const
    {
#if defined(__GNUC__) || defined(__clang__)
        const quint32 *b = d->bounds.constData() + row * detail::kBoundsPerContact;
        __builtin_prefetch(d->text.constData() + b[int(ContactText::Adr_Adi)]);
        __builtin_prefetch(d->text.constData() + b[int(ContactText::Adr_GSM_No)]);
#else
        Q_UNUSED(row);
#endif
    }

    // Whether this list and the other share their storage (one is a copy of
    // the other, and neither has changed since).
    bool isSharedWith(const ContactList &other) const { return d == other.d; }

    // Every contact as a value of its own (for tests and small lists).
    QList<Contact> toContacts() const;

    // The bytes the list holds for its contacts (texts and boundaries).
    qsizetype heldBytes() const;

private:
    void detach();

    QExplicitlySharedDataPointer<detail::ContactStore> d;
};

// Read on every search keystroke for every contact: kept inline.
inline QStringView ContactRef::text(ContactText field) const
{
    const int f = int(field);
    if (!m_store->changed.isEmpty()) [[unlikely]] {
        const auto found = m_store->changed.constFind(detail::ContactStore::key(m_row, f));
        if (found != m_store->changed.cend())
            return *found;
    }
    const quint32 *b = m_store->bounds.constData() + m_row * detail::kBoundsPerContact;
    const quint32 start = b[f];
    const quint32 end = f == kContactTextCount - 1 ? b[kContactTextCount] : b[f + 1] - 1;
    if (end <= start)
        return {};
    return QStringView(m_store->text.constData() + start, qsizetype(end - start));
}

} // namespace velmor
