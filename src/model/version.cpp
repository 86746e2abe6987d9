#include "model/version.h"

#include <QStringList>

#include <limits>

namespace velmor {

qint64 OwnVersionNumber(const ProgramVersion &version)
{
    const QString digits = QString::number(version.majorNumber) + QString::number(version.minorNumber)
                           + QStringLiteral("%1").arg(version.revision, 4, 10, QLatin1Char('0'));
    return VersionFieldNumber(digits);
}

QString VersionText(const ProgramVersion &version)
{
    return QStringLiteral("%1.%2.%3")
        .arg(version.majorNumber)
        .arg(version.minorNumber)
        .arg(version.revision, 4, 10, QLatin1Char('0'));
}

QString VersionFieldText(const QString &field)
{
    return field.left(1) + u'.' + field.mid(1, 1) + u'.' + field.right(4);
}

qint64 VersionFieldNumber(QStringView text)
{
    constexpr qint64 limit = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        const int digit = c.unicode() - u'0';
        if (value > (limit - digit) / 10)
            return limit;
        value = value * 10 + digit;
    }
    return value;
}

bool IsUpdateOffered(const QString &latestVersionPayload, qint64 ownVersionNumber)
{
    const QStringList pieces = latestVersionPayload.split(u'|');
    if (pieces.size() < 2)
        return false;
    return ownVersionNumber < VersionFieldNumber(pieces.at(0));
}

} // namespace velmor
