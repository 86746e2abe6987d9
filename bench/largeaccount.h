#pragma once

// The large account the benchmarks measure against: the decoded command 1
// payload of a customer with 1,000 groups and 100,000 contacts with Turkish
// names and addresses, the same on every run.

#include "model/snapshot.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace velmor::bench {

using namespace Qt::StringLiterals;

inline constexpr int kContactCount = 100000;
inline constexpr int kGroupCount = 1000;

// The contacts the window benchmarks load: 100,000, or as many as
// VELMOR_BENCH_CONTACTS says (scripts/bench also runs them with 1,000,000).
inline int BenchContactCount()
{
    bool ok = false;
    const int count = qEnvironmentVariableIntValue("VELMOR_BENCH_CONTACTS", &ok);
    return ok && count > 0 ? count : kContactCount;
}

// A small deterministic generator, so every run measures the same account.
struct Lcg
{
    quint32 state = 12345;
    quint32 next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    template<typename List>
    decltype(auto) pick(const List &list)
    {
        return list[qsizetype(next() % quint32(list.size()))];
    }
};

// The decoded command 1 payload of a large account: the customer record,
// 1,000 groups (each under the one before, in shuffled order) and 100,000
// contacts (or as many as asked) with Turkish names and addresses.
inline QString makeAccountPayload(int contactCount = kContactCount)
{
    const QStringList firstNames = {u"Ayşe"_s,  u"Mehmet"_s, u"Gül"_s,    u"İbrahim"_s, u"Çağla"_s,
                                    u"Oğuz"_s,  u"Şükrü"_s,  u"Ömer"_s,   u"Zeynep"_s,  u"Işıl"_s,
                                    u"Ahmet"_s, u"Elif"_s,   u"Burak"_s,  u"Derya"_s,   u"Ümit"_s};
    const QStringList surnames = {u"Yılmaz"_s, u"Kaya"_s,   u"Demir"_s, u"Şahin"_s,  u"Çelik"_s,
                                  u"Öztürk"_s, u"Aydın"_s,  u"Arslan"_s, u"Doğan"_s, u"Kılıç"_s,
                                  u"Koç"_s,    u"Güneş"_s, u"Erdoğan"_s, u"Polat"_s, u"Işık"_s};
    const QStringList streets = {u"Atatürk Cad."_s, u"İstiklal Cad."_s, u"Gazi Mustafa Kemal Bulvarı"_s,
                                 u"Cumhuriyet Mah."_s, u"Bağdat Cad."_s, u"Çiçek Sok."_s};
    const QStringList districts = {u"Kadıköy"_s, u"Çankaya"_s, u"Karşıyaka"_s, u"Üsküdar"_s,
                                   u"Nilüfer"_s, u"Şişli"_s,   u"Beşiktaş"_s};
    const QStringList provinces = {u"İstanbul"_s, u"Ankara"_s, u"İzmir"_s, u"Bursa"_s, u"Eskişehir"_s};
    Lcg rng;

    QString payload;
    payload.reserve(qsizetype(contactCount) * 110);
    payload += u"<Cari>"_s;
    for (int i = 0; i < CustomerRecord::FieldCount; ++i) {
        if (i > 0)
            payload += u'|';
        payload += i == 0 ? u"7"_s : u"Alan %1 değeri"_s.arg(i);
    }
    payload += u"<Cari><Grup>"_s;
    std::vector<int> order(kGroupCount);
    for (int i = 0; i < kGroupCount; ++i)
        order[std::size_t(i)] = i + 1;
    for (int i = kGroupCount - 1; i > 0; --i)
        std::swap(order[std::size_t(i)], order[std::size_t(rng.next() % quint32(i + 1))]);
    for (const int number : order) {
        payload += u"<>"_s + QString::number(number) + u'|' + QString::number(number / 10) + u"|Grup "_s
                   + QString::number(number) + u' ' + rng.pick(districts);
    }
    payload += u"<Grup><Adres>"_s;
    for (int i = 0; i < contactCount; ++i) {
        payload += u"<>"_s;
        payload += QString::number(100000 + i);
        payload += u'|';
        payload += QString::number(1 + rng.next() % kGroupCount);
        payload += u'|';
        payload += rng.pick(firstNames);
        payload += u'|';
        payload += rng.pick(surnames);
        payload += u'|';
        payload += rng.pick(streets);
        payload += u" No "_s;
        payload += QString::number(rng.next() % 200);
        payload += u"|Kat "_s;
        payload += QString::number(rng.next() % 9);
        payload += u"||"_s;
        payload += rng.pick(districts);
        payload += u'|';
        payload += rng.pick(provinces);
        payload += u"|05"_s;
        payload += QString::number(300000000 + rng.next() % 99999999);
        payload += u"|0216"_s;
        payload += QString::number(1000000 + rng.next() % 8999999);
        payload += u'|';
    }
    payload += u"<Adres>"_s;
    return payload;
}

// What the service sends for a payload: its UTF-8 bytes, each coded as three
// digits after a three-digit offset.
inline QByteArray codeAsService(const QString &text, int offset)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray digits;
    digits.resize(3 + 3 * utf8.size());
    char *w = digits.data();
    auto put3 = [&w](int value) {
        *w++ = char('0' + value / 100);
        *w++ = char('0' + value / 10 % 10);
        *w++ = char('0' + value % 10);
    };
    put3(offset);
    for (const char byte : utf8)
        put3(offset + static_cast<unsigned char>(byte));
    return digits;
}

} // namespace velmor::bench
