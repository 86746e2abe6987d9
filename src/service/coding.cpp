#include "service/coding.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <array>

namespace velmor {

namespace {

// Windows-1254 bytes 0x80..0x9F. The unassigned bytes (0x81, 0x8D, 0x8E, 0x8F,
// 0x90, 0x9D, 0x9E) stand for the character with the same code point.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x008E, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178,
};

constexpr std::array<char16_t, 256> makeDecodeTable()
{
    std::array<char16_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[std::size_t(i)] = char16_t(i);
    for (int i = 0; i < 32; ++i)
        table[std::size_t(0x80 + i)] = kHighControls[std::size_t(i)];
    // Where Windows-1254 differs from Latin-1 in the upper half.
    table[0xD0] = 0x011E; // Ğ
    table[0xDD] = 0x0130; // İ
    table[0xDE] = 0x015E; // Ş
    table[0xF0] = 0x011F; // ğ
    table[0xFD] = 0x0131; // ı
    table[0xFE] = 0x015F; // ş
    return table;
}

constexpr std::array<char16_t, 256> kDecode = makeDecodeTable();

constexpr unsigned char kQuestionMark = 63;

// Looks a character up directly, without best fit. Returns -1 when the code
// page has no byte for it.
int exactByte(char16_t ch)
{
    if (ch < 0x80)
        return ch;
    if (ch < 0x100 && kDecode[ch] == ch)
        return ch;
    switch (ch) {
    case 0x011E: return 0xD0;
    case 0x0130: return 0xDD;
    case 0x015E: return 0xDE;
    case 0x011F: return 0xF0;
    case 0x0131: return 0xFD;
    case 0x015F: return 0xFE;
    default: break;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[std::size_t(i)] == ch)
            return 0x80 + i;
    }
    return -1;
}

QChar pairedLetter(char16_t lead, char16_t trail)
{
    switch (lead) {
    case 0x00C4:
        switch (trail) {
        case 0x00B0: return QChar(0x0130); // İ
        case 0x00B1: return QChar(0x0131); // ı
        case 0x0178: return QChar(0x011F); // ğ
        case 0x009E: return QChar(0x011E); // Ğ
        default: return {};
        }
    case 0x00C3:
        switch (trail) {
        case 0x00BC: return QChar(0x00FC); // ü
        case 0x0153: return QChar(0x00DC); // Ü
        case 0x00A7: return QChar(0x00E7); // ç
        case 0x2021: return QChar(0x00C7); // Ç
        case 0x00B6: return QChar(0x00F6); // ö
        case 0x2013: return QChar(0x00D6); // Ö
        default: return {};
        }
    case 0x00C5:
        switch (trail) {
        case 0x0178: return QChar(0x015F); // ş
        case 0x009E: return QChar(0x015E); // Ş
        default: return {};
        }
    default:
        return {};
    }
}

// Joins the letter pairs in place, one pass.
void repairInPlace(QString &text)
{
    const qsizetype n = text.size();
    if (n < 2)
        return;
    QChar *data = text.data();
    qsizetype out = 0;
    qsizetype i = 0;
    while (i < n) {
        if (i + 1 < n) {
            const QChar joined = pairedLetter(data[i].unicode(), data[i + 1].unicode());
            if (!joined.isNull()) {
                data[out++] = joined;
                i += 2;
                continue;
            }
        }
        data[out++] = data[i++];
    }
    text.truncate(out);
}

inline int digitValue(char c)
{
    const unsigned d = unsigned(static_cast<unsigned char>(c)) - unsigned('0');
    return d <= 9 ? int(d) : -1;
}

} // namespace

unsigned char ToWindows1254(char16_t ch)
{
    const int exact = exactByte(ch);
    if (exact >= 0)
        return static_cast<unsigned char>(exact);
    // Best fit: a letter whose canonical decomposition starts with a base
    // letter that the code page has becomes that letter.
    const QChar qch(ch);
    if (qch.decompositionTag() == QChar::Canonical) {
        const QString parts = qch.decomposition();
        if (!parts.isEmpty()) {
            const int base = exactByte(parts.at(0).unicode());
            if (base >= 0)
                return static_cast<unsigned char>(base);
        }
    }
    return kQuestionMark;
}

char16_t FromWindows1254(unsigned char byte)
{
    return kDecode[byte];
}

int DrawCodingOffset()
{
    // Seeded anew from the time of day on every call, as the service expects
    // nothing more of the offset than a whole number 0..99.
    const QTime now = QTime::currentTime();
    QRandomGenerator generator(quint32(now.msecsSinceStartOfDay()) ^ quint32(QDateTime::currentMSecsSinceEpoch()));
    return int(generator.bounded(100));
}

QString EncodeWithOffset(QStringView text, int offset)
{
    if (text.isEmpty())
        return {};
    QString out;
    out.resize(3 + 3 * text.size());
    QChar *w = out.data();
    auto put3 = [&w](int value) {
        w[0] = QChar(char16_t(u'0' + value / 100));
        w[1] = QChar(char16_t(u'0' + value / 10 % 10));
        w[2] = QChar(char16_t(u'0' + value % 10));
        w += 3;
    };
    put3(offset);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        // A character outside the basic plane is one character: one '?'.
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            put3(offset + kQuestionMark);
            continue;
        }
        put3(offset + ToWindows1254(ch.unicode()));
    }
    out.truncate(w - out.constData());
    return out;
}

QString DecodeDigits(QByteArrayView digits)
{
    const qsizetype n = digits.size();
    if (n == 0)
        return {};
    const char *p = digits.data();
    int offset = 0;
    const qsizetype offsetLength = n < 3 ? n : 3;
    for (qsizetype i = 0; i < offsetLength; ++i) {
        const int d = digitValue(p[i]);
        if (d < 0)
            return {};
        offset = offset * 10 + d;
    }
    QString out;
    out.resize((n - offsetLength + 2) / 3);
    char16_t *w = reinterpret_cast<char16_t *>(out.data());
    qsizetype i = offsetLength;
    // Whole groups of three digits.
    for (; i + 3 <= n; i += 3) {
        const int a = digitValue(p[i]);
        const int b = digitValue(p[i + 1]);
        const int c = digitValue(p[i + 2]);
        if ((a | b | c) < 0)
            return {};
        const unsigned value = unsigned(a * 100 + b * 10 + c - offset);
        if (value > 255)
            return {};
        *w++ = kDecode[value];
    }
    // A short last group is read the same way.
    if (i < n) {
        int value = 0;
        for (; i < n; ++i) {
            const int d = digitValue(p[i]);
            if (d < 0)
                return {};
            value = value * 10 + d;
        }
        const unsigned byte = unsigned(value - offset);
        if (byte > 255)
            return {};
        *w++ = kDecode[byte];
    }
    out.truncate(w - reinterpret_cast<const char16_t *>(out.constData()));
    repairInPlace(out);
    return out;
}

QString RepairUtf8Letters(const QString &text)
{
    QString out = text;
    repairInPlace(out);
    return out;
}

QString CodeText(const QString &text, const QString &mode)
{
    if (text.isEmpty())
        return {};
    if (mode == u"0")
        return EncodeWithOffset(text, DrawCodingOffset());
    if (mode == u"1") {
        // Coded text is digits; anything else cannot decode.
        const QByteArray latin = text.toLatin1();
        return DecodeDigits(latin);
    }
    return {};
}

} // namespace velmor
