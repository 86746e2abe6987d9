#include "text/textranks.h"

#include <QHash>

#include <unicode/ucol.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace velmor {

namespace {

// Keys are compared byte by byte, a key that is the beginning of another
// first. They are sorted a few bytes at a time: every item of a range gets
// the next chunk of its key as one integer, the range is sorted by those
// integers, and each run of equal chunks goes on with the chunk after.
// Beginnings that all items of a range share are stepped over at once, so
// that long shared beginnings cost one comparison per byte and item.
constexpr qsizetype kChunkBytes = 7;

struct Entry
{
    quint64 chunk; // seven key bytes, then how many of them the key has
    quint32 item;
};

// The UTF-16 code units of texts, high byte first.
class CodeUnitKeys
{
public:
    explicit CodeUnitKeys(const QList<QStringView> &texts) : m_texts(texts) {}
    qsizetype count() const { return m_texts.size(); }
    qsizetype size(quint32 item) const { return m_texts.at(item).size() * 2; }
    uchar at(quint32 item, qsizetype k) const
    {
        const char16_t unit = m_texts.at(item).utf16()[k / 2];
        return uchar(k % 2 == 0 ? unit >> 8 : unit & 0xff);
    }

private:
    const QList<QStringView> &m_texts;
};

// Keys held one after the other in one buffer.
class BufferedKeys
{
public:
    qsizetype count() const { return qsizetype(m_starts.size()) - 1; }
    qsizetype size(quint32 item) const { return m_starts[item + 1] - m_starts[item]; }
    uchar at(quint32 item, qsizetype k) const { return m_bytes[std::size_t(m_starts[item] + k)]; }

    // Room for a key of this many bytes at the end; finish() says how many it took.
    uchar *reserve(qsizetype bytes)
    {
        m_bytes.resize(std::size_t(m_starts.back() + bytes));
        return m_bytes.data() + m_starts.back();
    }
    void finish(qsizetype bytes) { m_starts.push_back(m_starts.back() + bytes); }

private:
    std::vector<uchar> m_bytes;
    std::vector<qsizetype> m_starts{0};
};

template<typename Keys> quint64 chunkAt(const Keys &keys, quint32 item, qsizetype depth)
{
    const qsizetype take = std::clamp<qsizetype>(keys.size(item) - depth, 0, kChunkBytes);
    quint64 chunk = 0;
    for (qsizetype k = 0; k < kChunkBytes; ++k)
        chunk = (chunk << 8) | (k < take ? keys.at(item, depth + k) : 0);
    return (chunk << 8) | quint64(take);
}

// How many bytes from depth on every key of the range shares with its first.
template<typename Keys>
qsizetype sharedBeginning(const Keys &keys, const std::vector<Entry> &entries, qsizetype begin, qsizetype end,
                          qsizetype depth)
{
    const quint32 first = entries[std::size_t(begin)].item;
    qsizetype shared = keys.size(first) - depth;
    for (qsizetype i = begin + 1; i < end && shared > 0; ++i) {
        const quint32 item = entries[std::size_t(i)].item;
        const qsizetype limit = std::min(shared, keys.size(item) - depth);
        qsizetype k = 0;
        while (k < limit && keys.at(item, depth + k) == keys.at(first, depth + k))
            ++k;
        shared = k;
    }
    return std::max<qsizetype>(shared, 0);
}

// Ranks of the keys: equal keys share one.
template<typename Keys> QList<int> rankKeys(const Keys &keys)
{
    const qsizetype n = keys.count();
    QList<int> ranks(n);
    if (n == 0)
        return ranks;
    std::vector<Entry> entries(std::size_t(n), Entry{});
    for (qsizetype i = 0; i < n; ++i)
        entries[std::size_t(i)].item = quint32(i);
    // Where a key differs from the one before it in the final order.
    std::vector<bool> differs(std::size_t(n), false);
    struct Range
    {
        qsizetype begin, end, depth;
    };
    std::vector<Range> pending{{0, n, 0}};
    while (!pending.empty()) {
        const Range range = pending.back();
        pending.pop_back();
        const qsizetype depth = range.depth + sharedBeginning(keys, entries, range.begin, range.end, range.depth);
        const auto first = entries.begin() + range.begin;
        const auto last = entries.begin() + range.end;
        for (auto it = first; it != last; ++it)
            it->chunk = chunkAt(keys, it->item, depth);
        std::sort(first, last, [](const Entry &a, const Entry &b) { return a.chunk < b.chunk; });
        for (qsizetype run = range.begin; run < range.end;) {
            const quint64 chunk = entries[std::size_t(run)].chunk;
            qsizetype runEnd = run + 1;
            while (runEnd < range.end && entries[std::size_t(runEnd)].chunk == chunk)
                ++runEnd;
            if (run > range.begin)
                differs[std::size_t(run)] = true;
            // A full chunk: the keys may go on and differ later.
            if (runEnd - run > 1 && (chunk & 0xff) == quint64(kChunkBytes))
                pending.push_back({run, runEnd, depth + kChunkBytes});
            run = runEnd;
        }
    }
    int rank = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (differs[std::size_t(i)])
            ++rank;
        ranks[entries[std::size_t(i)].item] = rank;
    }
    return ranks;
}

struct CollatorClose
{
    void operator()(UCollator *collator) const { ucol_close(collator); }
};

} // namespace

QList<int> CodeUnitRanks(const QList<QStringView> &texts)
{
    return rankKeys(CodeUnitKeys(texts));
}

QList<int> TurkishRanks(const QList<QStringView> &texts)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCollator, CollatorClose> collator(ucol_open("tr_TR", &status));
    if (U_FAILURE(status))
        return CodeUnitRanks(texts);

    // Each text once by its storage: the rows of one send share one string
    // for their message, the rows of a contact one for its name, and the
    // report's states are a few shared strings. Keying by storage costs
    // nothing per character, also when every row has a message of its own;
    // texts equal in content but apart in storage are keyed twice and meet
    // in the collation's order below.
    QHash<std::pair<const char16_t *, qsizetype>, int> distinctIndex;
    QList<QStringView> distinct;
    QList<int> textDistinct(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const QStringView text = texts.at(i);
        const auto storage = std::make_pair(text.utf16(), text.size());
        auto it = distinctIndex.constFind(storage);
        if (it == distinctIndex.cend()) {
            it = distinctIndex.insert(storage, int(distinct.size()));
            distinct.append(text);
        }
        textDistinct[i] = *it;
    }

    // The collation's sort keys, made once per text.
    BufferedKeys keys;
    for (const QStringView text : distinct) {
        const auto *units = reinterpret_cast<const UChar *>(text.utf16());
        const auto length = int32_t(text.size());
        int32_t room = 16 + length * 4;
        int32_t taken = ucol_getSortKey(collator.get(), units, length, keys.reserve(room), room);
        if (taken > room) {
            room = taken;
            taken = ucol_getSortKey(collator.get(), units, length, keys.reserve(room), room);
        }
        keys.finish(taken);
    }
    const QList<int> collated = rankKeys(keys);

    // The distinct texts by collation rank (a counting sort); within a rank,
    // which holds more than one text only when the alphabet cannot tell
    // them apart or the same text is held twice, by code units. Each
    // different text then gets a rank of its own.
    const int rankCount = collated.isEmpty() ? 0 : *std::max_element(collated.cbegin(), collated.cend()) + 1;
    QList<int> startOfRank(rankCount + 1, 0);
    for (const int rank : collated)
        ++startOfRank[rank + 1];
    for (int r = 0; r < rankCount; ++r)
        startOfRank[r + 1] += startOfRank[r];
    QList<int> ordered(distinct.size());
    {
        QList<int> next = startOfRank;
        for (qsizetype d = 0; d < distinct.size(); ++d)
            ordered[next[collated.at(d)]++] = int(d);
    }
    QList<int> finalRank(distinct.size());
    int rank = -1;
    for (int r = 0; r < rankCount; ++r) {
        const auto first = ordered.begin() + startOfRank.at(r);
        const auto last = ordered.begin() + startOfRank.at(r + 1);
        if (last - first > 1)
            std::sort(first, last, [&](int a, int b) { return distinct.at(a) < distinct.at(b); });
        for (auto it = first; it != last; ++it) {
            if (it == first || distinct.at(*it) != distinct.at(*(it - 1)))
                ++rank;
            finalRank[*it] = rank;
        }
    }

    QList<int> ranks(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i)
        ranks[i] = finalRank.at(textDistinct.at(i));
    return ranks;
}

} // namespace velmor
