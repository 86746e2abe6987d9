#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace velmor {

// Codes (mode "0") or decodes (mode "1") a value. Any other mode, and the
// empty text, give the empty text.
QString CodeText(const QString &text, const QString &mode);

// Mode "0" with a chosen offset (0..99); CodeText draws the offset from a
// generator seeded from the clock.
QString EncodeWithOffset(QStringView text, int offset);
// A fresh offset from the clock, 0..99.
int DrawCodingOffset();

// The text as the service receives it from mode "0": every character as
// its Windows-1254 byte reads back (a best-fit letter, or "?" where there is
// none); a character outside the basic plane is one "?". Coding the result
// gives the same groups as coding the text itself.
QString TextAsSent(QStringView text);

// Mode "1" on the raw digits of a reply: one linear pass with table look-ups.
// Gives the empty text when the input is empty or a group is out of range.
QString DecodeDigits(QByteArrayView digits);

// Joins the UTF-8 byte pairs of the twelve Turkish letters, read through
// Windows-1254, back into their letters.
QString RepairUtf8Letters(const QString &text);

// Windows-1254 in both directions. ToWindows1254 applies the best-fit rule for
// characters the code page lacks (the base letter of a decomposable letter, else 63).
unsigned char ToWindows1254(char16_t ch);
char16_t FromWindows1254(unsigned char byte);
// Bytes in Windows-1254 (what Turkish spreadsheet programs write) as text:
// every byte one character.
QString DecodeWindows1254(QByteArrayView bytes);

} // namespace velmor
