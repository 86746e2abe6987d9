#include "service/coding.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <algorithm>
#include <array>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define VELMOR_DECODE_SSSE3 1
#else
#define VELMOR_DECODE_SSSE3 0
#endif

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

// The twelve Turkish letters as their two UTF-8 bytes: lead byte C3, C4 or C5
// and a trail byte. Read through Windows-1254, each byte is exactly one
// character and each character comes from exactly one byte, so joining byte
// pairs and joining character pairs give the same text.
constexpr unsigned kFirstLead = 0xC3;
constexpr unsigned kLeadCount = 3;

constexpr std::array<std::array<char16_t, 256>, kLeadCount> makePairTable()
{
    std::array<std::array<char16_t, 256>, kLeadCount> table{};
    auto set = [&table](unsigned lead, unsigned trail, char16_t letter) {
        table[lead - kFirstLead][trail] = letter;
    };
    set(0xC4, 0xB0, u'\u0130'); // İ
    set(0xC4, 0xB1, u'\u0131'); // ı
    set(0xC3, 0xBC, u'\u00FC'); // ü
    set(0xC3, 0x9C, u'\u00DC'); // Ü
    set(0xC4, 0x9F, u'\u011F'); // ğ
    set(0xC4, 0x9E, u'\u011E'); // Ğ
    set(0xC5, 0x9F, u'\u015F'); // ş
    set(0xC5, 0x9E, u'\u015E'); // Ş
    set(0xC3, 0xA7, u'\u00E7'); // ç
    set(0xC3, 0x87, u'\u00C7'); // Ç
    set(0xC3, 0xB6, u'\u00F6'); // ö
    set(0xC3, 0x96, u'\u00D6'); // Ö
    return table;
}

constexpr auto kPairs = makePairTable();

// Byte value of a character that only one byte decodes to, -1 for others.
constexpr int leadByteOf(char16_t ch)
{
    return ch >= kFirstLead && ch < kFirstLead + kLeadCount ? int(ch) : -1;
}

int trailByteOf(char16_t ch)
{
    if (ch < 0x80)
        return -1;
    if (ch < 0x100)
        return kDecode[ch] == ch ? int(ch) : -1;
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[std::size_t(i)] == ch)
            return 0x80 + i;
    }
    return -1;
}

// Joins the letter pairs in place, one pass.
void repairInPlace(QString &text)
{
    const qsizetype n = text.size();
    if (n < 2)
        return;
    char16_t *data = reinterpret_cast<char16_t *>(text.data());
    qsizetype out = 0;
    qsizetype i = 0;
    while (i < n) {
        const int lead = leadByteOf(data[i]);
        if (lead >= 0 && i + 1 < n) {
            const int trail = trailByteOf(data[i + 1]);
            const char16_t joined = trail < 0 ? char16_t(0) : kPairs[unsigned(lead) - kFirstLead][unsigned(trail)];
            if (joined != 0) {
                data[out++] = joined;
                i += 2;
                continue;
            }
        }
        data[out++] = data[i++];
    }
    text.truncate(out);
}

// Writes decoded byte values as characters, joining the Turkish letter pairs
// on the way: a lead byte waits for the next byte before it is written.
struct LetterEmitter
{
    char16_t *w;
    unsigned pending = 0; // a lead byte waiting for its trail, 0 when none

    void put(unsigned byte)
    {
        if (pending != 0) {
            const char16_t joined = kPairs[pending - kFirstLead][byte];
            const unsigned lead = pending;
            pending = 0;
            if (joined != 0) {
                *w++ = joined;
                return;
            }
            *w++ = kDecode[lead];
        }
        if (byte - kFirstLead < kLeadCount) {
            pending = byte;
            return;
        }
        *w++ = kDecode[byte];
    }

    void finish()
    {
        if (pending != 0)
            *w++ = kDecode[pending];
        pending = 0;
    }
};

// Characters the block decoder may write past the decoded text.
constexpr qsizetype kDecodeSlack = 32;

inline int digitValue(char c)
{
    const unsigned d = unsigned(static_cast<unsigned char>(c)) - unsigned('0');
    return d <= 9 ? int(d) : -1;
}

#if VELMOR_DECODE_SSSE3

bool cpuHasSsse3()
{
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// Shuffle masks that gather, from one 16-byte third of a 48-digit block,
// the digits of the 16 groups into 16-bit lanes. A mask byte with the high
// bit set yields a zero byte.
struct GatherMask
{
    alignas(16) std::array<signed char, 16> bytes;
};

// For groups firstGroup..firstGroup+7: either the hundreds and tens digits
// (as byte pairs in each 16-bit lane) or the units digit (low byte of each
// lane, high byte zero), taken from the third of the block that starts at
// source byte sourceStart.
constexpr GatherMask makeGather(int firstGroup, bool units, int sourceStart)
{
    GatherMask mask{};
    for (int lane = 0; lane < 8; ++lane) {
        const int group = firstGroup + lane;
        for (int half = 0; half < 2; ++half) {
            int position = -1;
            if (units)
                position = half == 0 ? 3 * group + 2 : -1;
            else
                position = 3 * group + half;
            const bool here = position >= sourceStart && position < sourceStart + 16;
            mask.bytes[std::size_t(2 * lane + half)] = here ? static_cast<signed char>(position - sourceStart)
                                                            : static_cast<signed char>(-128);
        }
    }
    return mask;
}

constexpr GatherMask kPairsLowA = makeGather(0, false, 0);
constexpr GatherMask kPairsLowB = makeGather(0, false, 16);
constexpr GatherMask kPairsHighB = makeGather(8, false, 16);
constexpr GatherMask kPairsHighC = makeGather(8, false, 32);
constexpr GatherMask kUnitsLowA = makeGather(0, true, 0);
constexpr GatherMask kUnitsLowB = makeGather(0, true, 16);
constexpr GatherMask kUnitsHighB = makeGather(8, true, 16);
constexpr GatherMask kUnitsHighC = makeGather(8, true, 32);

__attribute__((target("ssse3"))) inline __m128i loadMask(const GatherMask &mask)
{
    return _mm_load_si128(reinterpret_cast<const __m128i *>(mask.bytes.data()));
}

// Decodes whole blocks of 16 groups (48 digits) with SSSE3 shuffles: the
// digits are checked, gathered into 16-bit lanes and combined as
// 100 × h + 10 × t + u − offset. Blocks of plain ASCII are stored as they
// are; the others go through the emitter for the code page and the letter
// pairs, lane by lane only where a byte is 128 or more. Returns the number of
// groups decoded, or -1 when a group is not three digits or out of range.
__attribute__((target("ssse3"))) qsizetype decodeBlocksSsse3(const char *groups, qsizetype groupCount, int offset,
                                                            LetterEmitter &emitter)
{
    const qsizetype blocks = groupCount / 16;
    const __m128i zeroDigit = _mm_set1_epi8('0');
    const __m128i nine = _mm_set1_epi8(9);
    const __m128i weights = _mm_set1_epi16(short(10 << 8 | 100)); // bytes 100, 10
    const __m128i offsets = _mm_set1_epi16(short(offset));
    const __m128i highByte = _mm_set1_epi16(short(0xFF00));
    const __m128i ascii = _mm_set1_epi16(127);
    const __m128i pairsLowA = loadMask(kPairsLowA), pairsLowB = loadMask(kPairsLowB);
    const __m128i pairsHighB = loadMask(kPairsHighB), pairsHighC = loadMask(kPairsHighC);
    const __m128i unitsLowA = loadMask(kUnitsLowA), unitsLowB = loadMask(kUnitsLowB);
    const __m128i unitsHighB = loadMask(kUnitsHighB), unitsHighC = loadMask(kUnitsHighC);
    alignas(16) char16_t lanes[32] = {};

    for (qsizetype block = 0; block < blocks; ++block) {
        const char *q = groups + 48 * block;
        const __m128i a = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(q)), zeroDigit);
        const __m128i b = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(q + 16)), zeroDigit);
        const __m128i c = _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(q + 32)), zeroDigit);
        // A byte that is not a digit is above 9 after the subtraction.
        __m128i bad = _mm_or_si128(_mm_or_si128(_mm_subs_epu8(a, nine), _mm_subs_epu8(b, nine)),
                                   _mm_subs_epu8(c, nine));

        const __m128i pairsLow = _mm_or_si128(_mm_shuffle_epi8(a, pairsLowA), _mm_shuffle_epi8(b, pairsLowB));
        const __m128i pairsHigh = _mm_or_si128(_mm_shuffle_epi8(b, pairsHighB), _mm_shuffle_epi8(c, pairsHighC));
        const __m128i unitsLow = _mm_or_si128(_mm_shuffle_epi8(a, unitsLowA), _mm_shuffle_epi8(b, unitsLowB));
        const __m128i unitsHigh = _mm_or_si128(_mm_shuffle_epi8(b, unitsHighB), _mm_shuffle_epi8(c, unitsHighC));
        const __m128i low = _mm_sub_epi16(_mm_add_epi16(_mm_maddubs_epi16(pairsLow, weights), unitsLow), offsets);
        const __m128i high = _mm_sub_epi16(_mm_add_epi16(_mm_maddubs_epi16(pairsHigh, weights), unitsHigh), offsets);
        // Below 0 or above 255 sets bits in the high byte.
        bad = _mm_or_si128(bad, _mm_and_si128(_mm_or_si128(low, high), highByte));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(bad, _mm_setzero_si128())) != 0xFFFF)
            return -1;

        const unsigned special = unsigned(_mm_movemask_epi8(
            _mm_packs_epi16(_mm_cmpgt_epi16(low, ascii), _mm_cmpgt_epi16(high, ascii))));
        if (special == 0 && emitter.pending == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i *>(emitter.w), low);
            _mm_storeu_si128(reinterpret_cast<__m128i *>(emitter.w + 8), high);
            emitter.w += 16;
            continue;
        }

        // Copy the ASCII runs as they are and hand every other byte to the
        // emitter. A copy may run past the run; what lies beyond is written
        // again by the next step.
        _mm_store_si128(reinterpret_cast<__m128i *>(lanes), low);
        _mm_store_si128(reinterpret_cast<__m128i *>(lanes + 8), high);
        unsigned lane = 0;
        while (lane < 16) {
            if (emitter.pending != 0) {
                emitter.put(lanes[lane++]);
                continue;
            }
            const unsigned rest = special >> lane;
            _mm_storeu_si128(reinterpret_cast<__m128i *>(emitter.w),
                             _mm_loadu_si128(reinterpret_cast<const __m128i *>(lanes + lane)));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(emitter.w + 8),
                             _mm_loadu_si128(reinterpret_cast<const __m128i *>(lanes + lane + 8)));
            if (rest == 0) {
                emitter.w += 16 - lane;
                break;
            }
            const unsigned next = lane + unsigned(__builtin_ctz(rest));
            emitter.w += next - lane;
            emitter.put(lanes[next]);
            lane = next + 1;
        }
    }
    return 16 * blocks;
}

#endif // VELMOR_DECODE_SSSE3

// Hands each character of an outgoing text to put as the byte that goes out.
template<typename Put> void forEachSentByte(QStringView text, Put put)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text[i];
        // A character outside the basic plane is one character: one '?'.
        if (ch.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            ++i;
            put(kQuestionMark);
            continue;
        }
        put(ToWindows1254(ch.unicode()));
    }
}

} // namespace

unsigned char ToWindows1254(char16_t ch)
{
    const int exact = exactByte(ch);
    if (exact >= 0)
        return static_cast<unsigned char>(exact);
    // Best fit: a letter whose canonical decomposition starts with a base
    // letter that the code page has becomes that letter. The decomposition is
    // followed down to its first character (Ṑ → Ō + grave → O + macron + grave).
    QChar current(ch);
    for (int depth = 0; depth < 4 && current.decompositionTag() == QChar::Canonical; ++depth) {
        const QString parts = current.decomposition();
        if (parts.isEmpty())
            break;
        current = parts.at(0);
        const int base = exactByte(current.unicode());
        if (base >= 0)
            return static_cast<unsigned char>(base);
    }
    return kQuestionMark;
}

char16_t FromWindows1254(unsigned char byte)
{
    return kDecode[byte];
}

QString DecodeWindows1254(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t *w = reinterpret_cast<char16_t *>(out.data());
    for (const char byte : bytes)
        *w++ = kDecode[static_cast<unsigned char>(byte)];
    return out;
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
    offset = std::clamp(offset, 0, 99);
    QString out(3 + 3 * text.size(), Qt::Uninitialized);
    QChar *w = out.data();
    auto put3 = [&w](int value) {
        w[0] = QChar(char16_t(u'0' + value / 100));
        w[1] = QChar(char16_t(u'0' + value / 10 % 10));
        w[2] = QChar(char16_t(u'0' + value % 10));
        w += 3;
    };
    put3(offset);
    forEachSentByte(text, [&put3, offset](unsigned char byte) { put3(offset + byte); });
    out.truncate(w - out.constData());
    return out;
}

QString TextAsSent(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    char16_t *w = reinterpret_cast<char16_t *>(out.data());
    forEachSentByte(text, [&w](unsigned char byte) { *w++ = kDecode[byte]; });
    out.truncate(w - reinterpret_cast<const char16_t *>(out.constData()));
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
    const qsizetype groupDigits = n - offsetLength;
    if (groupDigits == 0)
        return {};
    const qsizetype wholeGroups = groupDigits / 3;
    const qsizetype groupCount = (groupDigits + 2) / 3;

    // The block decoder may write a few characters past the end of the text
    // before truncating, hence the slack. Allocated at exactly this size (not
    // grown as resize() would), so that large replies reuse freed heap memory
    // instead of mapping fresh pages each time.
    QString out(groupCount + kDecodeSlack, Qt::Uninitialized);
    LetterEmitter emitter{reinterpret_cast<char16_t *>(out.data())};
    const char *groups = p + offsetLength;
    qsizetype done = 0;
#if VELMOR_DECODE_SSSE3
    if (cpuHasSsse3()) {
        done = decodeBlocksSsse3(groups, wholeGroups, offset, emitter);
        if (done < 0)
            return {};
    }
#endif
    for (qsizetype g = done; g < wholeGroups; ++g) {
        const char *q = groups + 3 * g;
        const int a = digitValue(q[0]);
        const int b = digitValue(q[1]);
        const int c = digitValue(q[2]);
        if ((a | b | c) < 0)
            return {};
        const unsigned value = unsigned(a * 100 + b * 10 + c - offset);
        if (value > 255)
            return {};
        emitter.put(value);
    }
    // A short last group is read the same way.
    if (groupCount > wholeGroups) {
        int value = 0;
        for (qsizetype i = 3 * wholeGroups; i < groupDigits; ++i) {
            const int d = digitValue(groups[i]);
            if (d < 0)
                return {};
            value = value * 10 + d;
        }
        const unsigned byte = unsigned(value - offset);
        if (byte > 255)
            return {};
        emitter.put(byte);
    }
    emitter.finish();
    out.truncate(emitter.w - reinterpret_cast<const char16_t *>(out.constData()));
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
