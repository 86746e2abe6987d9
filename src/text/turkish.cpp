#include "text/turkish.h"

#include <algorithm>

namespace velmor {

namespace {

// Text mode is key mode plus the right single quotation mark.
char16_t foldTextChar(char16_t ch)
{
    return ch == u'\u2019' ? u' ' : FoldTurkish(ch);
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
    switch (ch) {
    case u'\u0130': return u'i';      // İ
    case u'I': return u'\u0131';      // ı
    case u'\u00DC': return u'\u00FC'; // ü
    case u'\u015E': return u'\u015F'; // ş
    case u'\u011E': return u'\u011F'; // ğ
    case u'\u00C7': return u'\u00E7'; // ç
    case u'\u00D6': return u'\u00F6'; // ö
    default: return ch;
    }
}

QString FoldTurkishLower(QStringView text)
{
    QString out(text.size(), Qt::Uninitialized);
    char16_t *w = reinterpret_cast<char16_t *>(out.data());
    for (const QChar ch : text)
        *w++ = FoldTurkishLowerChar(ch.unicode());
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

bool WildcardPattern::matchOne(const Token &token, char16_t ch) const
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
    // O(text × pattern) at worst.
    const qsizetype tokenCount = m_tokens.size();
    const qsizetype n = text.size();
    qsizetype t = 0;
    qsizetype s = 0;
    qsizetype starToken = -1;
    qsizetype starText = 0;
    while (s < n) {
        if (t < tokenCount && m_tokens[t].kind == Token::AnyRun) {
            starToken = t++;
            starText = s;
        } else if (t < tokenCount && matchOne(m_tokens[t], text[s].unicode())) {
            ++t;
            ++s;
        } else if (starToken >= 0) {
            t = starToken + 1;
            s = ++starText;
        } else {
            return false;
        }
    }
    while (t < tokenCount && m_tokens[t].kind == Token::AnyRun)
        ++t;
    return t == tokenCount;
}

ContactSearch::ContactSearch(const QString &searchText)
    : m_needle(FoldTurkishLower(searchText)),
      m_plain(std::none_of(m_needle.cbegin(), m_needle.cend(), isWildcard)),
      m_pattern(m_plain ? QStringView() : QStringView(QString(u'*' + m_needle + u'*')))
{
}

bool ContactSearch::matches(const QString &name, const QString &surname, const QString &mobile) const
{
    if (m_needle.isEmpty())
        return true;
    m_hay.resize(name.size() + surname.size() + mobile.size() + 2);
    char16_t *w = reinterpret_cast<char16_t *>(m_hay.data());
    auto put = [&w](const QString &part) {
        for (const QChar ch : part)
            *w++ = FoldTurkishLowerChar(ch.unicode());
    };
    put(name);
    *w++ = u' ';
    put(surname);
    *w++ = u' ';
    put(mobile);
    if (m_plain)
        return QStringView(m_hay).contains(m_needle);
    return m_pattern.matches(m_hay);
}

} // namespace velmor
