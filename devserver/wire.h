#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <optional>

// The service's side of the exchange format: reading a posted form, decoding
// the digit-coded values clients send, and coding reply payloads.
namespace velmor::dev {

// The fields of a form-encoded body, values still raw (not percent-decoded).
// A field that occurs twice keeps its first value. The values are read in
// place from the body, which the fields share rather than copy.
class FormFields
{
public:
    static FormFields parse(const QByteArray &body);

    bool has(const QString &name) const { return m_raw.contains(name); }
    // Ordinary form decoding: "+" is a space, %XX a byte, the bytes UTF-8.
    // nullopt when the field is missing.
    std::optional<QString> plain(const QString &name) const;
    // A digit-coded value, decoded from Windows-1254 byte values. nullopt when
    // the field is missing or is not a well-formed coded text.
    std::optional<QString> coded(const QString &name) const;

private:
    QByteArray m_body;
    QHash<QString, QByteArrayView> m_raw; // into m_body
};

// Ordinary form decoding of one value.
QString DecodeFormValue(QByteArrayView raw);

// Decodes a coded value sent by a client: a three-digit offset, then one
// group per character, each offset + the character's Windows-1254 byte. A
// short last group is read the same way. nullopt when a character is not a
// digit or a group falls outside 0..255; the empty text decodes to itself.
std::optional<QString> DecodeClientValue(QByteArrayView digits);

// Whether the coded payload of a reply page stands between two "<Rehber>"
// markers, or (a fault for the client's tests) only after the first.
enum class Markers { Both, OpeningOnly };

// The page of a reply: some page text, "<Rehber>", the payload coded as the
// service codes it (the offset, 0..99, as three digits, then one group of
// three digits per UTF-8 byte of the payload, the byte plus the offset; the
// empty payload gives no digits at all), "<Rehber>", more page text. Built
// in one buffer of its final size.
QByteArray ReplyPage(QByteArrayView utf8Payload, int offset, Markers markers = Markers::Both);
// A page without any marker: what any request the service cannot understand gets.
QByteArray PlainPage(const QString &message);

} // namespace velmor::dev
