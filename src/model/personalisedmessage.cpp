#include "model/personalisedmessage.h"

#include "model/sendrules.h"

namespace velmor {

namespace {

// The field whose tag the text at this position starts with (letter case
// aside), and the tag's length.
int fieldAt(QStringView text, qsizetype at, qsizetype *length)
{
    for (int field = 0; field < kMessageFieldCount; ++field) {
        const QStringView tag(kMessageFields[std::size_t(field)].tag);
        if (text.sliced(at).startsWith(tag, Qt::CaseInsensitive)) {
            *length = tag.size();
            return field;
        }
    }
    return -1;
}

QString boxValue(const QString &value)
{
    const QStringView trimmed = QStringView(value).trimmed();
    return trimmed.isEmpty() ? QString() : MessageBoxText(trimmed);
}

} // namespace

QString MessageFieldTag(MessageField field)
{
    return QString::fromUtf16(kMessageFields[std::size_t(field)].tag);
}

QString MessageFieldCaption(MessageField field)
{
    return QString::fromUtf16(kMessageFields[std::size_t(field)].caption);
}

QString MessageFieldValue(const Recipient &recipient, MessageField field)
{
    switch (field) {
    case MessageField::Adi:
        return boxValue(recipient.firstName);
    case MessageField::Soyadi:
        return boxValue(recipient.surname);
    case MessageField::AdSoyad: {
        const QString first = boxValue(recipient.firstName);
        const QString last = boxValue(recipient.surname);
        if (first.isEmpty() || last.isEmpty())
            return first + last;
        return first + u' ' + last;
    }
    case MessageField::Il:
        return boxValue(recipient.province);
    case MessageField::Ilce:
        return boxValue(recipient.district);
    case MessageField::Gsm:
        return boxValue(recipient.number);
    }
    return {};
}

PersonalisedMessage::PersonalisedMessage(const QString &boxText) : m_text(boxText)
{
    const QStringView text(m_text);
    qsizetype literal = 0;
    qsizetype at = text.indexOf(u'{');
    while (at >= 0) {
        qsizetype length = 0;
        const int field = fieldAt(text, at, &length);
        if (field < 0) {
            at = text.indexOf(u'{', at + 1);
            continue;
        }
        if (at > literal)
            m_pieces.append({literal, at - literal, -1});
        m_pieces.append({at, 0, field});
        m_used |= 1u << field;
        literal = at + length;
        at = text.indexOf(u'{', literal);
    }
    if (literal < text.size())
        m_pieces.append({literal, text.size() - literal, -1});
}

QList<MessageField> PersonalisedMessage::usedFields() const
{
    QList<MessageField> fields;
    for (int field = 0; field < kMessageFieldCount; ++field) {
        if (uses(MessageField(field)))
            fields.append(MessageField(field));
    }
    return fields;
}

QString PersonalisedMessage::textFor(const Recipient &recipient) const
{
    FieldValues values;
    for (int field = 0; field < kMessageFieldCount; ++field) {
        if (uses(MessageField(field)))
            values[std::size_t(field)] = MessageFieldValue(recipient, MessageField(field));
    }
    return textFor(values);
}

QString PersonalisedMessage::textFor(const FieldValues &values) const
{
    if (!hasFields())
        return m_text;
    QString out;
    out.reserve(m_text.size() + 32);
    for (const Piece &piece : m_pieces) {
        if (piece.field < 0)
            out += QStringView(m_text).sliced(piece.begin, piece.length);
        else
            out += values[std::size_t(piece.field)];
    }
    return out;
}

} // namespace velmor
