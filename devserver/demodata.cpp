#include "demodata.h"

#include <QStandardPaths>

#include <charconv>
#include <cstring>

namespace velmor::dev {

using namespace Qt::StringLiterals;

namespace {

ContactRow contact(qint64 recordNo, qint64 group, std::array<QString, 10> details)
{
    ContactRow row;
    row.recordNo = recordNo;
    row.group = group;
    row.details = std::move(details);
    return row;
}

} // namespace

CustomerRow DemoCustomer()
{
    CustomerRow c;
    auto &f = c.fields;
    f[0] = u"1001"_s;
    f[kStatusField] = u"1"_s;
    f[2] = u"20080115"_s;                               // registration date
    f[3] = u"Ayşe"_s;                                   // Cari_Ad
    f[4] = u"Yıldırım"_s;                               // Cari_Soyad
    f[5] = u"Örnek Çiçekçilik Ticaret Ltd. Şti."_s;     // Cari_Unvan
    f[6] = u"6120345789"_s;                             // Cari_Vergi_No
    f[7] = u"32165498712"_s;                            // Cari_TC_No
    f[8] = u"Kadıköy"_s;                                // Cari_Vergi_Dairesi
    f[9] = u"Caferağa Mah. Güneşli Bahçe Sok."_s;       // Cari_Adres1
    f[10] = u"No: 14 Daire: 3"_s;                       // Cari_Adres2
    f[11] = u"Moda"_s;                                  // Cari_Adres3
    f[12] = u"bilgi@ornekcicekcilik.com.tr"_s;          // Cari_Mail_Adres
    f[13] = u"Kadıköy"_s;                               // Cari_ilce
    f[14] = u"İstanbul"_s;                              // Cari_il
    f[15] = u"05321234567"_s;                           // Cari_GSM
    f[16] = u"02163456789"_s;                           // Cari_Tel
    f[17] = u"02163456790"_s;                           // Cari_Fax
    f[18] = u"www.ornekcicekcilik.com.tr"_s;            // web address
    f[19] = u"Perakende"_s;                             // sector
    f[20] = u"İstanbul Anadolu Bölge"_s;                // sales region
    f[21] = u"Kurumsal"_s;                              // account type
    f[22] = u"demo"_s;                                  // Cari_SMS_Kullanici_Adi
    f[23] = u"ORNEKCICEK"_s;                            // Cari_SMS_Gonderici_Adi1
    f[24] = QString();                                  // Cari_SMS_Gonderici_Adi2
    f[25] = u"VELMORDEMO"_s;                            // Cari_SMS_Gonderici_Adi3
    f[26] = u"demo"_s;                                  // Cari_SMS_Sifre
    f[27] = u"20301231"_s;                              // contract end
    f[28] = u"Standart"_s;                              // tariff
    // 29..31: no requested sender names yet.
    c.balance = u"1000"_s;
    return c;
}

QList<GroupRow> DemoGroups()
{
    return {
        {1, 0, u"Genel"_s},
        {2, 0, u"Müşteriler"_s},
        {3, 0, u"Tedarikçiler"_s},
        {4, 0, u"Personel"_s},
        {5, 0, u"Aile ve Arkadaşlar"_s},
        {6, 2, u"İstanbul Müşterileri"_s},
        {7, 2, u"Ankara Müşterileri"_s},
        {8, 6, u"Kadıköy Şubesi"_s},
        {9, 6, u"Beşiktaş Şubesi"_s},
        {10, 3, u"Çiçek Üreticileri"_s},
        {11, 4, u"Satış Ekibi"_s},
        {12, 4, u"Muhasebe"_s},
        // The opt-out list: numbers that asked to receive nothing more.
        {13, 0, u"Kara Liste"_s},
    };
}

QList<ContactRow> DemoContacts()
{
    const QString none;
    return {
        contact(1, 1, {u"Ahmet"_s, u"Yılmaz"_s, u"Atatürk Bulvarı No: 112"_s, u"Kat: 3"_s, none, u"Çankaya"_s, u"Ankara"_s, u"05321112233"_s, u"03124181920"_s, none}),
        contact(2, 1, {u"Ayşe"_s, u"Demir"_s, u"Bağdat Caddesi No: 45"_s, u"Daire: 7"_s, none, u"Kadıköy"_s, u"İstanbul"_s, u"05332223344"_s, u"02163305060"_s, none}),
        contact(3, 1, {u"Mehmet"_s, u"Öztürk"_s, u"Cumhuriyet Meydanı 8"_s, none, none, u"Karşıyaka"_s, u"İzmir"_s, u"05423334455"_s, none, none}),
        contact(4, 1, {u"Fatma"_s, u"Şahin"_s, u"Altıparmak Cad. 21"_s, none, none, u"Osmangazi"_s, u"Bursa"_s, u"05054445566"_s, u"02242214455"_s, none}),
        contact(5, 2, {u"Mustafa"_s, u"Çelik"_s, u"Ziyapaşa Bulvarı 33"_s, none, none, u"Seyhan"_s, u"Adana"_s, u"05365556677"_s, none, none}),
        contact(6, 2, {u"Zeynep"_s, u"Kaya"_s, u"Işıklar Caddesi 9"_s, none, none, u"Muratpaşa"_s, u"Antalya"_s, u"05446667788"_s, u"02422478899"_s, u"02422478800"_s}),
        contact(7, 2, {u"Emine"_s, u"Arslan"_s, u"İki Eylül Cad. 17"_s, none, none, u"Tepebaşı"_s, u"Eskişehir"_s, u"05057778899"_s, none, none}),
        contact(8, 2, {u"Hüseyin"_s, u"Doğan"_s, u"Mevlana Cad. 3"_s, none, none, u"Selçuklu"_s, u"Konya"_s, u"05318889900"_s, none, none}),
        contact(9, 3, {u"İbrahim"_s, u"Koç"_s, u"Gazi Muhtar Paşa Bulvarı 40"_s, none, none, u"Şahinbey"_s, u"Gaziantep"_s, u"05329990011"_s, u"03422315566"_s, u"03422315567"_s}),
        contact(10, 3, {u"Hatice"_s, u"Aydın"_s, u"Uzun Sokak 12"_s, none, none, u"Ortahisar"_s, u"Trabzon"_s, u"05330001122"_s, none, none}),
        contact(11, 3, {u"Ömer"_s, u"Güneş"_s, u"Çiftlik Caddesi 27"_s, none, none, u"İlkadım"_s, u"Samsun"_s, u"05441112234"_s, none, none}),
        contact(12, 3, {u"Elif"_s, u"Erdoğan"_s, u"Kordonboyu 5"_s, none, none, u"Merkez"_s, u"Çanakkale"_s, none, u"02862171122"_s, none}),
        contact(13, 4, {u"Ali"_s, u"Kılıç"_s, u"Hakimiyeti Milliye Cad. 60"_s, none, none, u"Üsküdar"_s, u"İstanbul"_s, u"05052223345"_s, none, none}),
        contact(14, 4, {u"Şükrü"_s, u"Aksoy"_s, u"Barbaros Bulvarı 88"_s, none, none, u"Beşiktaş"_s, u"İstanbul"_s, u"05313334456"_s, none, none}),
        contact(15, 4, {u"Gülşen"_s, u"Bulut"_s, u"Kazım Dirik Cad. 14"_s, none, none, u"Bornova"_s, u"İzmir"_s, u"05324445567"_s, none, none}),
        contact(16, 5, {u"Özlem"_s, u"Yıldız"_s, u"Kuyubaşı Sok. 4"_s, none, none, u"Keçiören"_s, u"Ankara"_s, u"05335556678"_s, none, none}),
        contact(17, 5, {u"Çağlar"_s, u"Özdemir"_s, u"Üniversite Cad. 2"_s, none, none, u"Nilüfer"_s, u"Bursa"_s, u"05446667789"_s, none, none}),
        contact(18, 5, {u"Gökhan"_s, u"Şimşek"_s, u"Çamlaraltı Mah. 19"_s, none, none, u"Pamukkale"_s, u"Denizli"_s, u"05057778890"_s, none, none}),
        contact(19, 6, {u"İsmail"_s, u"Polat"_s, u"Halaskargazi Cad. 150"_s, none, none, u"Şişli"_s, u"İstanbul"_s, u"05318889901"_s, u"02122334455"_s, none}),
        contact(20, 6, {u"Büşra"_s, u"Kurt"_s, u"İncirli Cad. 71"_s, none, none, u"Bakırköy"_s, u"İstanbul"_s, u"05329990012"_s, none, none}),
        contact(21, 6, {u"Oğuz"_s, u"Özkan"_s, u"Büyükdere Cad. 201"_s, none, none, u"Sarıyer"_s, u"İstanbul"_s, u"05320001123"_s, none, none}),
        contact(22, 7, {u"Ümit"_s, u"Karaca"_s, u"İvedik Cad. 300"_s, none, none, u"Yenimahalle"_s, u"Ankara"_s, u"05331112235"_s, none, none}),
        contact(23, 7, {u"Sevgi"_s, u"Çakır"_s, u"Şehit Osman Avcı Mah. 12"_s, none, none, u"Etimesgut"_s, u"Ankara"_s, u"05442223346"_s, none, none}),
        contact(24, 7, {u"Tuğba"_s, u"Şen"_s, u"Ulus Meydanı 1"_s, none, none, u"Altındağ"_s, u"Ankara"_s, none, u"03123104050"_s, none}),
        contact(25, 8, {u"Kübra"_s, u"Yavuz"_s, u"Moda Caddesi 33"_s, none, none, u"Kadıköy"_s, u"İstanbul"_s, u"05053334457"_s, none, none}),
        contact(26, 8, {u"Cengiz"_s, u"Erdem"_s, u"Söğütlüçeşme Cad. 58"_s, none, none, u"Kadıköy"_s, u"İstanbul"_s, u"05314445568"_s, none, none}),
        contact(27, 8, {u"Nur"_s, u"Aslan"_s, u"Dalyan Sok. 6"_s, u"Fenerbahçe Mah."_s, none, u"Kadıköy"_s, u"İstanbul"_s, u"05325556679"_s, none, none}),
        contact(28, 9, {u"Barış"_s, u"Tekin"_s, u"Çırağan Cad. 24"_s, none, none, u"Beşiktaş"_s, u"İstanbul"_s, u"05336667780"_s, none, none}),
        contact(29, 9, {u"Şeyma"_s, u"Güler"_s, u"Ihlamurdere Cad. 90"_s, none, none, u"Beşiktaş"_s, u"İstanbul"_s, u"05447778891"_s, none, none}),
        contact(30, 10, {u"Serkan"_s, u"Uçar"_s, u"Çiçekçiler Hali No: 4"_s, none, none, u"Eyüpsultan"_s, u"İstanbul"_s, u"05058889902"_s, u"02126154433"_s, u"02126154434"_s}),
        contact(31, 10, {u"Irmak"_s, u"Işık"_s, u"Çalış Plajı Yolu 8"_s, none, none, u"Fethiye"_s, u"Muğla"_s, u"05319990013"_s, none, none}),
        contact(32, 10, {u"Doğan"_s, u"Tuncer"_s, u"Seracılar Sitesi 15"_s, none, none, u"Ödemiş"_s, u"İzmir"_s, u"05320001124"_s, none, none}),
        contact(33, 11, {u"Gizem"_s, u"Özer"_s, u"Ataşehir Bulvarı 38"_s, none, none, u"Ataşehir"_s, u"İstanbul"_s, u"05331112236"_s, none, none}),
        contact(34, 11, {u"Burak"_s, u"Çetin"_s, u"Güzelyalı Sahil Yolu 3"_s, none, none, u"Pendik"_s, u"İstanbul"_s, u"05442223347"_s, none, none}),
        contact(35, 11, {u"Derya"_s, u"Ünal"_s, u"Bağlarbaşı Cad. 44"_s, none, none, u"Maltepe"_s, u"İstanbul"_s, u"05053334458"_s, none, none}),
        contact(36, 12, {u"Kemal"_s, u"Acar"_s, u"Ankara Cad. 102"_s, none, none, u"Kartal"_s, u"İstanbul"_s, u"05314445569"_s, u"02163874455"_s, none}),
        contact(37, 12, {u"Sibel"_s, u"Güneri"_s, u"Cemal Sahir Sok. 9"_s, none, none, u"Şişli"_s, u"İstanbul"_s, u"05325556670"_s, none, none}),
        contact(38, 5, {u"Yağmur"_s, u"Koçak"_s, u"Gül Sokağı 3"_s, none, none, u"Ürgüp"_s, u"Nevşehir"_s, none, none, none}),
        contact(39, 2, {u"Süleyman"_s, u"Aktaş"_s, u"Şehitkamil Mah. 77"_s, none, none, u"Şehitkamil"_s, u"Gaziantep"_s, u"05357778801"_s, none, none}),
        contact(40, 5, {u"Nazlı"_s, u"Aktaş"_s, u"Şehitkamil Mah. 77"_s, none, none, u"Şehitkamil"_s, u"Gaziantep"_s, u"05357778801"_s, none, none}),
        contact(41, 13, {u"Levent"_s, u"Sarı"_s, u"Fenerbahçe Cad. 12"_s, none, none, u"Kadıköy"_s, u"İstanbul"_s, u"05369990044"_s, none, none}),
    };
}

QString DemoSenderName()
{
    return u"ORNEKCICEK"_s;
}

QList<DemoReport> DemoReports()
{
    const QString spring = u"Yeni sezon ciceklerimiz magazamizda. Ornek Cicekcilik"_s;
    const QString order = u"Siparisiniz yola cikti. Iyi gunler dileriz."_s;
    const QString campaign = u"Anneler gunu kampanyamiz basladi!"_s;
    const QString meeting = u"Toplanti yarin saat 10.00 da."_s;
    return {
        {30, u"091500"_s, 4, u"05321112233"_s, spring, u"İletildi"_s},
        {30, u"091500"_s, 5, u"05332223344"_s, spring, u"İletildi"_s},
        {30, u"091500"_s, 2, u"0532111"_s, spring, u"Hatalı Numara"_s},
        {7, u"143000"_s, 6, u"05365556677"_s, order, u"İletildi"_s},
        {7, u"143000"_s, 3, u"05446667788"_s, order, u"İletildi"_s},
        {2, u"101010"_s, 5, u"05357778801"_s, campaign, u"İletildi"_s},
        {2, u"101010"_s, 120, u"05551234567"_s, campaign, u"İletilemedi"_s},
        {1, u"183045"_s, 4, u"05318889901"_s, meeting, u"İletildi"_s},
        {1, u"183045"_s, 4, u"05313334456"_s, meeting, u"İletildi"_s},
        {1, u"183045"_s, 2, QString(), meeting, u"Hatalı Numara"_s},
    };
}

QString LargeGroupName(int index, bool topLevel)
{
    if (topLevel)
        return u"Bölge %1"_s.arg(index, 3, 10, QChar(u'0'));
    return u"Şube %1"_s.arg(index);
}

LargeContactMaker::LargeContactMaker()
{
    const auto utf8 = [](std::initializer_list<QString> texts) {
        QList<QByteArray> out;
        for (const QString &t : texts)
            out << t.toUtf8();
        return out;
    };
    m_firstNames = utf8({u"Ahmet"_s, u"Ayşe"_s, u"Mehmet"_s, u"Fatma"_s, u"Mustafa"_s, u"Zeynep"_s, u"Emine"_s,
                         u"Hüseyin"_s, u"İbrahim"_s, u"Hatice"_s, u"Ömer"_s, u"Elif"_s, u"Şükrü"_s, u"Gülşen"_s,
                         u"Özlem"_s, u"Çağlar"_s, u"Gökhan"_s, u"İsmail"_s, u"Büşra"_s, u"Oğuz"_s, u"Ümit"_s,
                         u"Sevgi"_s, u"Tuğba"_s, u"Kübra"_s, u"Barış"_s, u"Şeyma"_s, u"Irmak"_s, u"Doğan"_s,
                         u"Yağmur"_s, u"Süleyman"_s, u"Nazlı"_s, u"Işıl"_s});
    m_surnames = utf8({u"Yılmaz"_s, u"Demir"_s, u"Öztürk"_s, u"Şahin"_s, u"Çelik"_s, u"Kaya"_s, u"Arslan"_s,
                       u"Doğan"_s, u"Koç"_s, u"Aydın"_s, u"Güneş"_s, u"Erdoğan"_s, u"Kılıç"_s, u"Aksoy"_s,
                       u"Bulut"_s, u"Yıldız"_s, u"Özdemir"_s, u"Şimşek"_s, u"Polat"_s, u"Kurt"_s, u"Özkan"_s,
                       u"Karaca"_s, u"Çakır"_s, u"Şen"_s, u"Yavuz"_s, u"Erdem"_s, u"Tekin"_s, u"Güler"_s,
                       u"Uçar"_s, u"Işık"_s, u"Tuncer"_s, u"Ünal"_s});
    m_districts = utf8({u"Kadıköy"_s, u"Çankaya"_s, u"Karşıyaka"_s, u"Osmangazi"_s, u"Seyhan"_s, u"Muratpaşa"_s,
                        u"Şahinbey"_s, u"Ortahisar"_s, u"İlkadım"_s, u"Ürgüp"_s, u"Üsküdar"_s, u"Selçuklu"_s});
    m_provinces = utf8({u"İstanbul"_s, u"Ankara"_s, u"İzmir"_s, u"Bursa"_s, u"Adana"_s, u"Antalya"_s,
                        u"Gaziantep"_s, u"Trabzon"_s, u"Samsun"_s, u"Nevşehir"_s, u"İstanbul"_s, u"Konya"_s});
    m_street = u"Çınar Sokağı No: "_s.toUtf8();
}

namespace {

// Writes value with at least width digits (leading zeros) and returns the end.
char *putDigits(char *w, qint64 value, int width)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const qsizetype length = end - digits;
    for (qsizetype i = length; i < width; ++i)
        *w++ = '0';
    std::memcpy(w, digits, std::size_t(length));
    return w + length;
}

} // namespace

const std::array<QByteArrayView, 10> &LargeContactMaker::details(int index)
{
    const auto pick = [](const QList<QByteArray> &list, qsizetype i) { return QByteArrayView(list.at(i % list.size())); };

    char *w = m_address.data();
    std::memcpy(w, m_street.constData(), std::size_t(m_street.size()));
    w = putDigits(w + m_street.size(), index % 200 + 1, 1);
    const QByteArrayView address(m_address.data(), w - m_address.data());

    w = m_mobile.data();
    *w++ = '0';
    *w++ = '5';
    w = putDigits(w, 300000000 + index % 600000000, 9);
    const QByteArrayView mobile(m_mobile.data(), w - m_mobile.data());

    QByteArrayView phone("");
    if (index % 5 == 0) {
        w = m_phone.data();
        std::memcpy(w, "0212", 4);
        w = putDigits(w + 4, index % 10000000, 7);
        phone = QByteArrayView(m_phone.data(), w - m_phone.data());
    }

    m_details = {pick(m_firstNames, index),
                 pick(m_surnames, index / m_firstNames.size()),
                 address,
                 QByteArrayView(""),
                 QByteArrayView(""),
                 pick(m_districts, index),
                 pick(m_provinces, index),
                 mobile,
                 phone,
                 QByteArrayView("")};
    return m_details;
}

QByteArray DemoUpdatePackage(const QString &version)
{
    // Only the digits of the version go into the script.
    QString digits;
    for (const QChar c : version) {
        if (c >= u'0' && c <= u'9')
            digits += c;
    }
    return "#!/bin/sh\n"
           "# Velmor Rehber: the development service's demonstration update package.\n"
           "# It installs nothing; it records that the client started it.\n"
           "log=\"${XDG_DATA_HOME:-$HOME/.local/share}/velmor-devserver/guncelleme-demo.log\"\n"
           "mkdir -p \"$(dirname \"$log\")\"\n"
           "line=\"$(date '+%Y-%m-%d %H:%M:%S') Velmor SMS güncelleme paketi "_ba
        + digits.toLatin1()
        + " çalıştı: $0\"\n"
          "echo \"$line\" >> \"$log\"\n"
          "echo \"$line\"\n"_ba;
}

QString DemoUpdateLogPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + u"/velmor-devserver/guncelleme-demo.log"_s;
}

} // namespace velmor::dev
