#pragma once

#include "model/recipient.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>

namespace velmor {

// The fields a message may hold, each replaced per recipient.
enum class MessageField : quint8 { Adi, Soyadi, AdSoyad, Il, Ilce, Gsm };
inline constexpr int kMessageFieldCount = 6;

struct MessageFieldInfo
{
    const char16_t *tag;     // as written in the message: ASCII, since the box folds Turkish letters
    const char16_t *caption; // as a menu offers it
};
inline constexpr std::array<MessageFieldInfo, kMessageFieldCount> kMessageFields{{
    {u"{Adi}", u"Adı"},
    {u"{Soyadi}", u"Soyadı"},
    {u"{AdSoyad}", u"Adı Soyadı"},
    {u"{Il}", u"İl"},
    {u"{Ilce}", u"İlçe"},
    {u"{Gsm}", u"Cep Telefonu"},
}};
QString MessageFieldTag(MessageField field);
QString MessageFieldCaption(MessageField field);

// What a field holds for a recipient, as the message box would hold it had
// the value been typed there (MessageBoxText: folded, every character as it
// will arrive): blanks at the ends dropped; "Adı Soyadı" is the two names
// with one blank between (either alone when the other is empty); the mobile
// number is the number the SMS goes to, for a typed number too.
QString MessageFieldValue(const Recipient &recipient, MessageField field);

// A message as the message box holds it (MessageBoxText applied), read once
// for its fields so that each recipient's text is put together without
// searching it again. A field is written as its tag, in any letter case
// ("{adi}" too); any other text in braces stays as it stands.
class PersonalisedMessage
{
public:
    explicit PersonalisedMessage(const QString &boxText = {});

    const QString &text() const { return m_text; }
    bool hasFields() const { return m_used != 0; }
    bool uses(MessageField field) const { return (m_used >> int(field)) & 1u; }
    // The fields the message holds, in the order of the table above.
    QList<MessageField> usedFields() const;

    // The message as this recipient receives it, in the box's form (line
    // breaks as LF; MessageForSending makes them CR LF).
    QString textFor(const Recipient &recipient) const;
    // The same from the values of the fields the message uses
    // (MessageFieldValue; the others are not read).
    using FieldValues = std::array<QString, kMessageFieldCount>;
    QString textFor(const FieldValues &values) const;

private:
    struct Piece
    {
        qsizetype begin = 0;
        qsizetype length = 0; // of the literal text; 0 for a field
        int field = -1;       // a MessageField, or -1 for literal text
    };

    QString m_text;
    QList<Piece> m_pieces;
    quint32 m_used = 0;
};

} // namespace velmor
