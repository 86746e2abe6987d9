#pragma once

// The delivery report the benchmarks measure against: 100,000 report rows
// over the numbers of the large account, the same on every run.

#include "largeaccount.h"
#include "model/contactlist.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>

namespace velmor::bench {

inline constexpr int kReportRows = 100000;

// The "<iletimRpr>" section of a few busy days, laid out as the service
// sends it: in the order of sending, each send one message at one time to
// many numbers (from one to a few thousand). Most numbers are in the phone
// book, one in ten is not; each settles a few seconds to minutes later, one
// in fifty has not settled yet; the service's usual states.
inline QString makeReportSection(const ContactList &contacts, int rows = kReportRows)
{
    const QStringList messages = {u"Yeni sezon ürünlerimiz mağazalarımızda. Örnek Çiçekçilik"_s,
                                  u"Siparişiniz yola çıktı. İyi günler dileriz."_s,
                                  u"Anneler günü kampanyamız başladı! %1 kodu ile indirim"_s,
                                  u"Toplantı yarın saat 10.00'da, salon %1."_s};
    const QStringList states = {u"İletildi"_s, u"İletildi"_s, u"İletildi"_s, u"İletildi"_s,
                                u"Hatalı Numara"_s, u"İletilemedi"_s, u"Beklemede"_s};
    const auto stamp = [](qint64 second) {
        const QDateTime t = QDateTime(QDate(2024, 3, 1), QTime(0, 0)).addSecs(second);
        return t.toString(u"yyyyMMddHHmmss"_s);
    };
    Lcg rng;
    QString text;
    text.reserve(qsizetype(rows) * 110);
    qint64 clock = 0;
    int row = 0;
    while (row < rows) {
        clock += 600 + rng.next() % 7200;
        const QString sent = stamp(clock);
        const QString &pattern = rng.pick(messages);
        const quint32 code = rng.next() % 1000;
        const QString message = pattern.contains(u"%1"_s) ? pattern.arg(code) : pattern;
        const int recipients = qMin(rows - row, 1 + int(rng.next() % 3000));
        for (int i = 0; i < recipients; ++i, ++row) {
            text += u"<>"_s;
            if (rng.next() % 10 == 0)
                text += u"0599"_s + QString::number(1000000 + rng.next() % 8999999);
            else
                text += rng.pick(contacts).Adr_GSM_No();
            text += u'|';
            text += sent;
            text += u'|';
            if (rng.next() % 50 != 0)
                text += stamp(clock + 2 + rng.next() % 600);
            text += u'|';
            text += message;
            text += u'|';
            text += rng.pick(states);
        }
    }
    return text;
}

} // namespace velmor::bench
