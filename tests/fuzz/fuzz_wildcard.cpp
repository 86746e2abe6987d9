// The wildcard match and the contact search against a plain matcher that
// tries every way a pattern can cover a text (memoised), read straight from
// the rules: "*" any run, "?" any one character, "#" one digit, "[list]" one
// character of the list (ranges a-z), "[!list]" one not in it, "[]" nothing,
// other characters themselves; a "[" without its "]" matches nothing.

#include "fuzzcheck.h"

#include "model/snapshot.h"
#include "text/turkish.h"

#include <vector>

namespace {

class PlainMatcher
{
public:
    PlainMatcher(QStringView pattern, QStringView text) : m_pattern(pattern), m_text(text)
    {
        m_memo.assign(std::size_t((pattern.size() + 1) * (text.size() + 1)), -1);
    }

    bool matches()
    {
        // A list that is never closed spoils the whole pattern.
        for (qsizetype i = 0; i < m_pattern.size(); ++i) {
            if (m_pattern[i] == u'[') {
                const qsizetype close = m_pattern.indexOf(u']', i + 1);
                if (close < 0)
                    return false;
                i = close;
            }
        }
        return match(0, 0);
    }

private:
    bool match(qsizetype p, qsizetype t)
    {
        signed char &memo = m_memo[std::size_t(p * (m_text.size() + 1) + t)];
        if (memo < 0)
            memo = compute(p, t) ? 1 : 0;
        return memo == 1;
    }

    bool compute(qsizetype p, qsizetype t)
    {
        if (p == m_pattern.size())
            return t == m_text.size();
        const QChar token = m_pattern[p];
        if (token == u'*')
            return match(p + 1, t) || (t < m_text.size() && match(p, t + 1));
        if (token == u'[') {
            const qsizetype close = m_pattern.indexOf(u']', p + 1);
            QStringView list = m_pattern.sliced(p + 1, close - p - 1);
            if (list.isEmpty())
                return match(close + 1, t);
            if (t == m_text.size())
                return false;
            bool negated = false;
            if (list.front() == u'!') {
                negated = true;
                list = list.sliced(1);
            }
            const QChar ch = m_text[t];
            bool inList = false;
            for (qsizetype k = 0; k < list.size(); ++k) {
                if (k + 2 < list.size() && list[k + 1] == u'-') {
                    inList = inList || (ch >= list[k] && ch <= list[k + 2]);
                    k += 2;
                } else {
                    inList = inList || ch == list[k];
                }
            }
            return inList != negated && match(close + 1, t + 1);
        }
        if (t == m_text.size())
            return false;
        const QChar ch = m_text[t];
        const bool one = token == u'?' || (token == u'#' ? ch >= u'0' && ch <= u'9' : token == ch);
        return one && match(p + 1, t + 1);
    }

    QStringView m_pattern;
    QStringView m_text;
    std::vector<signed char> m_memo;
};

bool plainMatch(QStringView pattern, QStringView text)
{
    return PlainMatcher(pattern, text).matches();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    velmor::fuzz::InputReader input(data, size);
    const QString pattern = input.text(input.byte() % 48);
    const QString text = input.text(input.byte());
    FUZZ_CHECK(velmor::WildcardPattern(pattern).matches(text) == plainMatch(pattern, text));

    // The contact search over a few contacts cut from the rest of the input,
    // one per line, name, surname and mobile number separated by tabs.
    const velmor::ContactSearch search(pattern);
    const QString folded = velmor::FoldTurkishLower(pattern);
    QList<velmor::Contact> contacts;
    QList<int> expected;
    for (const QString &line : input.text(4096).split(u'\n')) {
        velmor::Contact contact;
        contact.Adr_Adi = line.section(u'\t', 0, 0);
        contact.Adr_Soyadi = line.section(u'\t', 1, 1);
        contact.Adr_GSM_No = line.section(u'\t', 2);
        const bool matches = folded.isEmpty()
                             || plainMatch(u'*' + folded + u'*',
                                           velmor::FoldTurkishLower(contact.Adr_Adi + u' ' + contact.Adr_Soyadi + u' '
                                                                    + contact.Adr_GSM_No));
        FUZZ_CHECK(search.matches(contact.Adr_Adi, contact.Adr_Soyadi, contact.Adr_GSM_No) == matches);
        if (matches)
            expected.append(int(contacts.size()));
        contacts.append(contact);
    }
    const velmor::ContactList list(contacts);
    FUZZ_CHECK(velmor::FilterContacts(list, search) == expected);
    QList<int> everyOther;
    for (int row = 0; row < contacts.size(); row += 2)
        everyOther.append(row);
    QList<int> expectedOfThose;
    for (const int row : std::as_const(expected)) {
        if (row % 2 == 0)
            expectedOfThose.append(row);
    }
    FUZZ_CHECK(velmor::FilterContacts(list, everyOther, search) == expectedOfThose);
    return 0;
}
