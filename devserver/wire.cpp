#include "wire.h"

#include "service/coding.h"

#include <QUrl>

namespace velmor::dev {

using namespace Qt::StringLiterals;

namespace {

inline int digitValue(char c)
{
    const unsigned d = unsigned(static_cast<unsigned char>(c)) - unsigned('0');
    return d <= 9 ? int(d) : -1;
}

QByteArray page(const QByteArray &inner)
{
    return "<html>\r\n<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
           "<title>Velmor Rehber</title></head>\r\n<body>\r\n"
        + inner + "\r\n</body>\r\n</html>\r\n";
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

QByteArray EncodeReplyPayload(const QString &payload, int offset)
{
    if (payload.isEmpty())
        return {};
    offset = qBound(0, offset, 99);
    const QByteArray utf8 = payload.toUtf8();
    QByteArray out;
    out.resize(3 + 3 * utf8.size());
    char *w = out.data();
    auto put3 = [&w](int value) {
        w[0] = char('0' + value / 100);
        w[1] = char('0' + value / 10 % 10);
        w[2] = char('0' + value % 10);
        w += 3;
    };
    put3(offset);
    for (const char c : utf8)
        put3(offset + int(static_cast<unsigned char>(c)));
    return out;
}

QByteArray ReplyPage(const QByteArray &codedPayload)
{
    return page("<p>Velmor SMS Rehber Servisi</p>\r\n<Rehber>" + codedPayload + "<Rehber>\r\n<p>İşlem tamamlandı.</p>"_ba);
}

QByteArray OneMarkerPage(const QByteArray &codedPayload)
{
    return page("<p>Velmor SMS Rehber Servisi</p>\r\n<Rehber>" + codedPayload + "\r\n<p>İşlem tamamlandı.</p>"_ba);
}

QByteArray PlainPage(const QString &message)
{
    return page("<p>Velmor SMS Rehber Servisi</p>\r\n<p>" + message.toHtmlEscaped().toUtf8() + "</p>");
}

} // namespace velmor::dev
