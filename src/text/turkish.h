#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <array>

#include <utility>

namespace velmor {

// Key mode: the folded character for one key press (İ→I, ı→i, Ü→U, ü→u, Ş→S,
// ş→s, Ç→C, ç→c, Ö→O, ö→o, Ğ→G, ğ→g, ' → space, ; → :); anything else
// unchanged. Keys arrive as Unicode characters.
char16_t FoldTurkish(char16_t key);
// Text mode: the same table plus ’ (U+2019) → space, over a whole text.
QString FoldTurkish(QStringView text);
// True when text mode would change nothing.
bool IsFoldedTurkish(QStringView text);

// İ→i, I→ı, Ü→ü, Ş→ş, Ğ→ğ, Ç→ç, Ö→ö; nothing else changes.
QString FoldTurkishLower(QStringView text);
char16_t FoldTurkishLowerChar(char16_t ch);

// The number of 160-character parts of a message of the given length: 0 for
// an empty message.
int MessagePartCount(qsizetype length);

// Wildcard pattern: "*" any run, "?" any one character, "#" any one digit,
// "[...]" one of a list (ranges a-z), "[!...]" one not in the list; other
// characters stand for themselves, compared exactly. A "[" without its "]"
// makes the pattern match nothing. Matching is O(text × pattern) at worst.
class WildcardPattern
{
public:
    explicit WildcardPattern(QStringView pattern);
    bool matches(QStringView text) const;
    bool isValid() const { return m_valid; }

private:
    struct Token
    {
        enum Kind { Literal, AnyRun, AnyOne, Digit, Set } kind;
        char16_t ch = 0;
        bool negated = false;
        qsizetype setBegin = 0; // into m_ranges
        qsizetype setEnd = 0;
    };
    bool matchOne(const Token &token, char16_t ch) const;

    QList<Token> m_tokens;
    QList<std::pair<char16_t, char16_t>> m_ranges;
    bool m_valid = true;
};

// The contact search: a contact matches when the folded search text is empty,
// or when FoldTurkishLower(name + " " + surname + " " + mobile) matches
// "*" + folded search text + "*". Built once per search text; matches() does
// not allocate. A search text without wildcard characters is a plain substring
// search.
class ContactSearch
{
public:
    explicit ContactSearch(const QString &searchText);
    bool isEmpty() const { return m_needle.isEmpty(); }
    bool matches(QStringView name, QStringView surname, QStringView mobile) const;

private:
    bool matchesPlain(QStringView name, QStringView surname, QStringView mobile) const;

    QString m_needle;
    bool m_plain = true;
    // The characters that fold to the needle's first one (itself and at most
    // two capitals): a contact holding none of them cannot match, which is
    // told without folding its texts.
    std::array<char16_t, 3> m_firstForms{};
    WildcardPattern m_pattern;
    mutable QString m_hay;
};

} // namespace velmor
