#include "service/service.h"

#include "service/coding.h"

#include <QUrl>

namespace velmor {

namespace {

const QByteArray kEnvelopeTag = QByteArrayLiteral("<rehber>");

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Case-insensitive search of an ASCII tag in raw bytes. The tag begins with
// a character that has no case ("<"), so its places are found by memchr
// and only they are compared further: a reply is hundreds of megabytes of
// digits with two tags in them.
qsizetype indexOfAsciiTag(QByteArrayView haystack, QByteArrayView lowerTag, qsizetype from)
{
    const qsizetype n = haystack.size();
    const qsizetype m = lowerTag.size();
    for (qsizetype i = haystack.indexOf(lowerTag.front(), from); i >= 0 && i + m <= n;
         i = haystack.indexOf(lowerTag.front(), i + 1)) {
        qsizetype k = 1;
        while (k < m && asciiLower(haystack[i + k]) == lowerTag[k])
            ++k;
        if (k == m)
            return i;
    }
    return -1;
}

// The payload between the first two envelope markers of a raw reply.
QByteArrayView envelopePayload(QByteArrayView raw)
{
    const qsizetype first = indexOfAsciiTag(raw, kEnvelopeTag, 0);
    if (first < 0)
        return {};
    const qsizetype start = first + kEnvelopeTag.size();
    const qsizetype end = indexOfAsciiTag(raw, kEnvelopeTag, start);
    if (end <= start)
        return {};
    return raw.sliced(start, end - start);
}

} // namespace

std::optional<QString> FindTagSection(const QString &text, const QString &tag)
{
    if (tag.isEmpty())
        return std::nullopt;
    const qsizetype first = text.indexOf(tag, 0, Qt::CaseInsensitive);
    if (first < 0)
        return std::nullopt;
    const qsizetype start = first + tag.size();
    const qsizetype end = text.indexOf(tag, start, Qt::CaseInsensitive);
    if (end < 0)
        return std::nullopt;
    return text.sliced(start, end - start);
}

QString GetTagText(const QString &text, const QString &tag)
{
    return FindTagSection(text, tag).value_or(QString());
}

RequestBody::RequestBody(int command)
{
    m_bytes = QByteArrayLiteral("Rehber=") + QByteArray::number(command);
}

RequestBody &RequestBody::plain(QStringView name, const QString &value)
{
    m_bytes += '&';
    m_bytes += name.toLatin1();
    m_bytes += '=';
    m_bytes += QUrl::toPercentEncoding(value);
    return *this;
}

RequestBody &RequestBody::coded(QStringView name, const QString &value)
{
    m_bytes += '&';
    m_bytes += name.toLatin1();
    m_bytes += '=';
    m_bytes += CodeText(value, QStringLiteral("0")).toLatin1();
    return *this;
}

Service::Service(std::shared_ptr<Transport> transport) : m_transport(std::move(transport)) {}

QString Service::PostCommand(const QByteArray &body) const
{
    if (!m_transport)
        return {};
    ++m_inFlight;
    const QByteArray raw = m_transport->post(body);
    --m_inFlight;
    return DecodeDigits(envelopePayload(raw));
}

QString FetchAccountData(const Service &service, const QString &customerNo)
{
    return service.PostCommand(RequestBody(1).plain(u"Cari_No", customerNo));
}

QString FetchCreditBalancePayload(const Service &service, const QString &customerNo)
{
    return service.PostCommand(RequestBody(2).plain(u"Cari_No", customerNo));
}

QString SendSmsCommand(const Service &service, const QString &customerNo, const QString &senderName,
                       const QString &messageType, const QString &message, const QString &phoneList,
                       const QString &partCount, const QString &date, const QString &time)
{
    return service.PostCommand(RequestBody(3)
                                   .plain(u"Cari_No", customerNo)
                                   .coded(u"Gonderici_Adi", senderName)
                                   .coded(u"SMS_Tip", messageType)
                                   .coded(u"Gonderme_Tarih", date)
                                   .coded(u"Gonderme_Zaman", time)
                                   .coded(u"Gecikme_Tarih", QString())
                                   .coded(u"Gecikme_Zaman", QString())
                                   .coded(u"Sonuc_Kodu", QStringLiteral("9999"))
                                   .coded(u"Mesaj", message)
                                   .coded(u"Tel_Nolar", phoneList)
                                   .coded(u"Kontor", partCount));
}

QString FetchLoginRecord(const Service &service, const QString &customerCode)
{
    return service.PostCommand(RequestBody(4).plain(u"Cari_No", customerCode));
}

QString SaveCustomerDetails(const Service &service, const QString &customerNo, const QString &details,
                            const QString &name1, const QString &name2, const QString &name3)
{
    return service.PostCommand(RequestBody(5)
                                   .plain(u"Cari_No", customerNo)
                                   .coded(u"Cari_Bilgileri", details)
                                   .coded(u"G_Ad1", name1)
                                   .coded(u"G_Ad2", name2)
                                   .coded(u"G_Ad3", name3));
}

QString UpdateContact(const Service &service, const QString &recordNo, const QString &contactData)
{
    return service.PostCommand(RequestBody(6).plain(u"Adr_K_No", recordNo).coded(u"Adr_Bilgileri", contactData));
}

QString DeleteContact(const Service &service, const QString &recordNo)
{
    return service.PostCommand(RequestBody(7).plain(u"Adr_K_No", recordNo));
}

QString AddContact(const Service &service, const QString &customerNo, const QString &contactData)
{
    return service.PostCommand(RequestBody(8).plain(u"Cari_No", customerNo).coded(u"Adr_Bilgileri", contactData));
}

QString AddGroup(const Service &service, const QString &customerNo, const QString &parentGroupNo,
                 const QString &groupName)
{
    return service.PostCommand(RequestBody(9)
                                   .plain(u"Cari_No", customerNo)
                                   .plain(u"Grp_Ust_Grup_No", parentGroupNo)
                                   .coded(u"Grp_Adi", groupName));
}

QString DeleteGroups(const Service &service, const QString &customerNo, const QString &groupNoList,
                     const QString &upperGroupNo)
{
    return service.PostCommand(RequestBody(10)
                                   .plain(u"Cari_No", customerNo)
                                   .plain(u"GrupNolari", groupNoList)
                                   .plain(u"UstGrupNo", upperGroupNo));
}

QString RenameGroup(const Service &service, const QString &customerNo, const QString &groupNo,
                    const QString &newName)
{
    return service.PostCommand(
        RequestBody(11).plain(u"Cari_No", customerNo).plain(u"Grup_No", groupNo).coded(u"Grp_Adi", newName));
}

QString MoveContact(const Service &service, const QString &recordNo, const QString &targetGroupNo)
{
    return service.PostCommand(RequestBody(14).plain(u"Adr_K_No", recordNo).plain(u"Grup_No", targetGroupNo));
}

std::optional<QString> FetchDeliveryReportSection(const Service &service, const QString &customerNo,
                                                  const QString &fromDate, const QString &toDate)
{
    const QString payload = service.PostCommand(
        RequestBody(12).plain(u"Cari_No", customerNo).plain(u"Trh_1", fromDate).plain(u"Trh_2", toDate));
    return FindTagSection(payload, QStringLiteral("<iletimRpr>"));
}

QString FetchDeliveryReport(const Service &service, const QString &customerNo, const QString &fromDate,
                            const QString &toDate)
{
    return FetchDeliveryReportSection(service, customerNo, fromDate, toDate).value_or(QString());
}

QString FetchServerTime(const Service &service)
{
    return service.PostCommand(RequestBody(13));
}

QString FetchLatestVersion(const Service &service)
{
    return service.PostCommand(RequestBody(30));
}

} // namespace velmor
