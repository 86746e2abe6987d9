#include "text/turkish.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace velmor {

namespace {

// Text mode is key mode plus the right single quotation mark.
char16_t foldTextChar(char16_t ch)
{
    return ch == u'\u2019' ? u' ' : FoldTurkish(ch);
}

// FoldTurkishLower for one character: İ→i, I→ı, Ü→ü, Ş→ş, Ğ→ğ, Ç→ç, Ö→ö.
// Inline and table-driven, as the contact search runs it over every contact.
constexpr std::array<char16_t, 256> makeLowerTable()
{
    std::array<char16_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[std::size_t(i)] = char16_t(i);
    table[u'I'] = u'\u0131';    // ı
    table[0xDC] = u'\u00FC';    // Ü → ü
    table[0xC7] = u'\u00E7';    // Ç → ç
    table[0xD6] = u'\u00F6';    // Ö → ö
    return table;
}

constexpr std::array<char16_t, 256> kLowerTable = makeLowerTable();

inline char16_t foldLower(char16_t ch)
{
    if (ch < 0x100)
        return kLowerTable[ch];
    switch (ch) {
    case u'\u0130': return u'i';      // İ
    case u'\u015E': return u'\u015F'; // Ş → ş
    case u'\u011E': return u'\u011F'; // Ğ → ğ
    default: return ch;
    }
}

// Plain substring search over short texts: the needle is a few characters,
// the text one contact's name, surname and number.
bool containsPlain(const char16_t *text, qsizetype n, const char16_t *needle, qsizetype m)
{
    if (m > n)
        return false;
    const char16_t first = needle[0];
    const qsizetype restBytes = (m - 1) * qsizetype(sizeof(char16_t));
    for (qsizetype i = 0, last = n - m; i <= last; ++i) {
        if (text[i] == first && std::memcmp(text + i + 1, needle + 1, std::size_t(restBytes)) == 0)
            return true;
    }
    return false;
}

bool isWildcard(QChar ch)
{
    return ch == u'*' || ch == u'?' || ch == u'#' || ch == u'[';
}

} // namespace

char16_t FoldTurkish(char16_t key)
{
    switch (key) {
    case u'\u0130': return u'I'; // İ
    case u'\u0131': return u'i'; // ı
    case u'\u00DC': return u'U'; // Ü
    case u'\u00FC': return u'u'; // ü
    case u'\u015E': return u'S'; // Ş
    case u'\u015F': return u's'; // ş
    case u'\u00C7': return u'C'; // Ç
    case u'\u00E7': return u'c'; // ç
    case u'\u00D6': return u'O'; // Ö
    case u'\u00F6': return u'o'; // ö
    case u'\u011E': return u'G'; // Ğ
    case u'\u011F': return u'g'; // ğ
    case u'\'': return u' ';
    case u';': return u':';
    default: return key;
    }
}

QString FoldTurkish(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    char16_t *w = reinterpret_cast<char16_t *>(out.data());
    for (const QChar ch : text)
        *w++ = foldTextChar(ch.unicode());
    return out;
}

bool IsFoldedTurkish(QStringView text)
{
    for (const QChar ch : text) {
        if (foldTextChar(ch.unicode()) != ch.unicode())
            return false;
    }
    return true;
}

char16_t FoldTurkishLowerChar(char16_t ch)
{
    return foldLower(ch);
}

QString FoldTurkishLower(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    char16_t *w = reinterpret_cast<char16_t *>(out.data());
    for (const QChar ch : text)
        *w++ = foldLower(ch.unicode());
    return out;
}

int MessagePartCount(qsizetype length)
{
    if (length <= 0)
        return 0;
    return int((length + 159) / 160);
}

WildcardPattern::WildcardPattern(QStringView pattern)
{
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = pattern[i].unicode();
        switch (ch) {
        case u'*':
            // Runs of stars are one star.
            if (m_tokens.isEmpty() || m_tokens.constLast().kind != Token::AnyRun)
                m_tokens.append(Token{Token::AnyRun});
            break;
        case u'?':
            m_tokens.append(Token{Token::AnyOne});
            break;
        case u'#':
            m_tokens.append(Token{Token::Digit});
            break;
        case u'[': {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            if (close < 0) {
                m_valid = false;
                m_tokens.clear();
                return;
            }
            QStringView list = pattern.sliced(i + 1, close - i - 1);
            i = close;
            if (list.isEmpty())
                break; // "[]" stands for nothing at all
            Token token{Token::Set};
            if (list.front() == u'!') {
                token.negated = true;
                list = list.sliced(1);
            }
            token.setBegin = m_ranges.size();
            for (qsizetype k = 0; k < list.size(); ++k) {
                const char16_t from = list[k].unicode();
                if (k + 2 < list.size() && list[k + 1] == u'-') {
                    const char16_t to = list[k + 2].unicode();
                    m_ranges.append({from, to});
                    k += 2;
                } else {
                    m_ranges.append({from, from});
                }
            }
            token.setEnd = m_ranges.size();
            m_tokens.append(token);
            break;
        }
        default: {
            Token token{Token::Literal};
            token.ch = ch;
            m_tokens.append(token);
            break;
        }
        }
    }
}

inline bool WildcardPattern::matchOne(const Token &token, char16_t ch) const
{
    switch (token.kind) {
    case Token::Literal: return token.ch == ch;
    case Token::AnyOne: return true;
    case Token::Digit: return ch >= u'0' && ch <= u'9';
    case Token::Set: {
        bool inSet = false;
        for (qsizetype r = token.setBegin; r < token.setEnd && !inSet; ++r)
            inSet = ch >= m_ranges[r].first && ch <= m_ranges[r].second;
        return inSet != token.negated;
    }
    case Token::AnyRun: break;
    }
    return false;
}

bool WildcardPattern::matches(QStringView text) const
{
    if (!m_valid)
        return false;
    // Greedy matching with one back-tracking point, the last star: every
    // token but the star consumes exactly one character, so this is
    // O(text × pattern) at worst. When the token after the star is a plain
    // character, the retries jump straight to its next occurrence.
    const Token *tokens = m_tokens.constData();
    const qsizetype tokenCount = m_tokens.size();
    const char16_t *chars = text.utf16();
    const qsizetype n = text.size();
    qsizetype t = 0;
    qsizetype s = 0;
    qsizetype starToken = -1;
    qsizetype starText = 0;
    auto skipToLiteral = [&]() {
        if (t < tokenCount && tokens[t].kind == Token::Literal) {
            const char16_t wanted = tokens[t].ch;
            while (s < n && chars[s] != wanted)
                ++s;
        }
        starText = s;
    };
    while (s < n) {
        if (t < tokenCount) {
            const Token &token = tokens[t];
            if (token.kind == Token::AnyRun) {
                starToken = t++;
                skipToLiteral();
                continue;
            }
            if (matchOne(token, chars[s])) {
                ++t;
                ++s;
                continue;
            }
        }
        if (starToken < 0)
            return false;
        t = starToken + 1;
        s = starText + 1;
        skipToLiteral();
    }
    while (t < tokenCount && tokens[t].kind == Token::AnyRun)
        ++t;
    return t == tokenCount;
}

ContactSearch::ContactSearch(const QString &searchText)
    : m_needle(FoldTurkishLower(searchText)),
      m_plain(std::none_of(m_needle.cbegin(), m_needle.cend(), isWildcard)),
      m_pattern(m_plain ? QStringView() : QStringView(QString(u'*' + m_needle + u'*')))
{
    if (!m_plain || m_needle.isEmpty())
        return;
    const char16_t first = m_needle.front().unicode();
    std::size_t forms = 0;
    m_firstForms.fill(first);
    auto add = [&](char16_t ch) {
        if (foldLower(ch) == first && ch != first && forms + 1 < m_firstForms.size())
            m_firstForms[++forms] = ch;
    };
    for (char16_t ch = 0; ch < 0x100; ++ch)
        add(ch);
    add(u'\u0130');
    add(u'\u015E');
    add(u'\u011E');
}


bool ContactSearch::matches(QStringView name, QStringView surname, QStringView mobile) const
{
    if (m_needle.isEmpty())
        return true;
    if (m_plain && m_firstForms[0] != u' ')
        return matchesPlain(name, surname, mobile);
    // The searched text: name, blank, surname, blank, mobile, folded.
    const qsizetype length = name.size() + surname.size() + mobile.size() + 2;
    if (m_hay.size() < length)
        m_hay.resize(length);
    char16_t *const hay = reinterpret_cast<char16_t *>(m_hay.data());
    char16_t *w = hay;
    auto put = [&w](QStringView part) {
        const char16_t *r = part.utf16();
        const char16_t *end = r + part.size();
        while (r != end)
            *w++ = foldLower(*r++);
    };
    put(name);
    *w++ = u' ';
    put(surname);
    *w++ = u' ';
    put(mobile);
    if (m_plain)
        return containsPlain(hay, length, QStringView(m_needle).utf16(), m_needle.size());
    return m_pattern.matches(QStringView(hay, length));
}

bool ContactSearch::matchesPlain(QStringView name, QStringView surname, QStringView mobile) const
{
    // The searched text is name, blank, surname, blank, mobile; it is never
    // built. Where a form of the needle's first character stands, the rest of
    // the needle is compared from there, folding as it goes.
    const std::array<QStringView, 3> parts{name, surname, mobile};
    const qsizetype surnameStart = name.size() + 1;
    const qsizetype mobileStart = surnameStart + surname.size() + 1;
    const qsizetype total = mobileStart + mobile.size();
    const char16_t *needle = QStringView(m_needle).utf16();
    const qsizetype m = m_needle.size();
    auto charAt = [&](qsizetype i) -> char16_t {
        if (i < name.size())
            return name[i].unicode();
        if (i < surnameStart)
            return u' ';
        if (i < mobileStart - 1)
            return surname[i - surnameStart].unicode();
        if (i < mobileStart)
            return u' ';
        return mobile[i - mobileStart].unicode();
    };
    const std::array<qsizetype, 3> starts{0, surnameStart, mobileStart};
    for (std::size_t p = 0; p < parts.size(); ++p) {
        const char16_t *text = parts[p].utf16();
        const qsizetype n = parts[p].size();
        for (qsizetype j = 0; j < n; ++j) {
            const char16_t ch = text[j];
            if (ch != m_firstForms[0] && ch != m_firstForms[1] && ch != m_firstForms[2])
                continue;
            const qsizetype at = starts[p] + j;
            if (at + m > total)
                return false; // every later start is too late as well
            qsizetype k = 1;
            while (k < m && foldLower(charAt(at + k)) == needle[k])
                ++k;
            if (k == m)
                return true;
        }
    }
    return false;
}

} // namespace velmor
