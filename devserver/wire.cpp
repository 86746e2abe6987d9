#include "wire.h"

#include "service/coding.h"

#include <QUrl>

#include <array>
#include <cstring>

namespace velmor::dev {

using namespace Qt::StringLiterals;

namespace {

inline int digitValue(char c)
{
    const unsigned d = unsigned(static_cast<unsigned char>(c)) - unsigned('0');
    return d <= 9 ? int(d) : -1;
}

QByteArray pageStart()
{
    return "<html>\r\n<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
           "<title>Velmor Rehber</title></head>\r\n<body>\r\n"_ba;
}

QByteArray pageEnd()
{
    return "\r\n</body>\r\n</html>\r\n"_ba;
}

} // namespace

QString DecodeFormValue(QByteArrayView raw)
{
    QByteArray bytes = raw.toByteArray();
    bytes.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(bytes));
}

FormFields FormFields::parse(const QByteArray &body)
{
    FormFields fields;
    fields.m_body = body;
    qsizetype start = 0;
    const qsizetype n = body.size();
    while (start <= n) {
        qsizetype end = body.indexOf('&', start);
        if (end < 0)
            end = n;
        const QByteArrayView pair = QByteArrayView(fields.m_body).sliced(start, end - start);
        if (!pair.isEmpty()) {
            const qsizetype eq = pair.indexOf('=');
            const QByteArrayView name = eq < 0 ? pair : pair.first(eq);
            const QByteArrayView value = eq < 0 ? QByteArrayView() : pair.sliced(eq + 1);
            const QString key = DecodeFormValue(name);
            if (!fields.m_raw.contains(key))
                fields.m_raw.insert(key, value);
        }
        start = end + 1;
    }
    return fields;
}

std::optional<QString> FormFields::plain(const QString &name) const
{
    const auto it = m_raw.constFind(name);
    if (it == m_raw.cend())
        return std::nullopt;
    return DecodeFormValue(*it);
}

std::optional<QString> FormFields::coded(const QString &name) const
{
    const auto it = m_raw.constFind(name);
    if (it == m_raw.cend())
        return std::nullopt;
    // Coded values are digits; percent-decoding leaves them as they are and
    // lets an escaped value through all the same.
    if (it->contains('%'))
        return DecodeClientValue(QByteArray::fromPercentEncoding(it->toByteArray()));
    return DecodeClientValue(*it);
}

std::optional<QString> DecodeClientValue(QByteArrayView digits)
{
    const qsizetype n = digits.size();
    if (n == 0)
        return QString();
    int offset = 0;
    const qsizetype offsetLength = n < 3 ? n : 3;
    for (qsizetype i = 0; i < offsetLength; ++i) {
        const int d = digitValue(digits[i]);
        if (d < 0)
            return std::nullopt;
        offset = offset * 10 + d;
    }
    QString out;
    out.reserve((n - offsetLength + 2) / 3);
    for (qsizetype i = offsetLength; i < n; i += 3) {
        int value = 0;
        const qsizetype groupEnd = qMin(i + 3, n);
        for (qsizetype k = i; k < groupEnd; ++k) {
            const int d = digitValue(digits[k]);
            if (d < 0)
                return std::nullopt;
            value = value * 10 + d;
        }
        const int byte = value - offset;
        if (byte < 0 || byte > 255)
            return std::nullopt;
        // The client codes Windows-1254 bytes: read them back through the
        // same code page, one character per byte.
        out.append(QChar(FromWindows1254(static_cast<unsigned char>(byte))));
    }
    return out;
}

QByteArray ReplyPage(QByteArrayView utf8Payload, int offset, Markers markers)
{
    offset = qBound(0, offset, 99);
    const QByteArray before = pageStart() + "<p>Velmor SMS Rehber Servisi</p>\r\n<Rehber>";
    const QByteArray after = (markers == Markers::Both ? "<Rehber>"_ba : QByteArray())
        + "\r\n<p>İşlem tamamlandı.</p>"_ba + pageEnd();
    const qsizetype digits = utf8Payload.isEmpty() ? 0 : 3 + 3 * utf8Payload.size();

    QByteArray page(before.size() + digits + after.size(), Qt::Uninitialized);
    char *w = page.data();
    std::memcpy(w, before.constData(), std::size_t(before.size()));
    w += before.size();
    if (digits > 0) {
        // The three digits of every byte value, looked up; each group is
        // written as four bytes, the fourth overwritten by the next group
        // (and after the last by the page text that follows).
        std::array<quint32, 256> groups;
        for (int byte = 0; byte < 256; ++byte) {
            const int value = byte + offset;
            const char group[4] = {char('0' + value / 100), char('0' + value / 10 % 10), char('0' + value % 10), 0};
            std::memcpy(&groups[std::size_t(byte)], group, 4);
        }
        std::memcpy(w, &groups[0], 3); // the offset: the group of byte 0
        w += 3;
        for (const char c : utf8Payload) {
            std::memcpy(w, &groups[static_cast<unsigned char>(c)], 4);
            w += 3;
        }
    }
    std::memcpy(w, after.constData(), std::size_t(after.size()));
    return page;
}

QByteArray PlainPage(const QString &message)
{
    return pageStart() + "<p>Velmor SMS Rehber Servisi</p>\r\n<p>" + message.toHtmlEscaped().toUtf8() + "</p>"
        + pageEnd();
}

} // namespace velmor::dev
