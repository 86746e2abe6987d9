#include "ui/send/messagetemplates.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

#include <utility>

namespace velmor {

namespace {

constexpr QLatin1StringView kTemplatesKey{"templates"};
constexpr QLatin1StringView kNameKey{"name"};
constexpr QLatin1StringView kTextKey{"text"};
constexpr QLatin1StringView kVersionKey{"version"};

bool fail(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

QString MessageTemplateStore::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
           + QStringLiteral("/mesaj-sablonlari.json");
}

MessageTemplateStore::MessageTemplateStore(QString filePath) : m_path(std::move(filePath)) {}

MessageTemplateStore::LoadResult MessageTemplateStore::load()
{
    m_templates.clear();
    m_keepUnreadableFile = false;
    QFile file(m_path);
    if (!file.exists())
        return LoadResult::NoFile;
    QJsonParseError parseError{};
    const QJsonDocument document =
        file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll(), &parseError) : QJsonDocument();
    if (!document.isObject() || !document.object().value(kTemplatesKey).isArray()) {
        m_keepUnreadableFile = true;
        return LoadResult::Unreadable;
    }
    const QJsonArray entries = document.object().value(kTemplatesKey).toArray();
    for (const QJsonValue &entry : entries) {
        const QJsonObject object = entry.toObject();
        const QString name = object.value(kNameKey).toString().trimmed();
        // An entry without a name, or a second one of the same name, is passed over.
        if (name.isEmpty() || !object.value(kTextKey).isString() || indexOf(name) >= 0)
            continue;
        m_templates.append({name, object.value(kTextKey).toString()});
    }
    return LoadResult::Loaded;
}

qsizetype MessageTemplateStore::indexOf(const QString &name) const
{
    for (qsizetype i = 0; i < m_templates.size(); ++i) {
        if (m_templates[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool MessageTemplateStore::save(const QString &name, const QString &text, QString *error)
{
    QList<MessageTemplate> changed = m_templates;
    const qsizetype at = indexOf(name);
    if (at >= 0)
        changed[at].text = text;
    else
        changed.append({name, text});
    return write(changed, error);
}

bool MessageTemplateStore::remove(const QString &name, QString *error)
{
    const qsizetype at = indexOf(name);
    if (at < 0)
        return true;
    QList<MessageTemplate> changed = m_templates;
    changed.removeAt(at);
    return write(changed, error);
}

bool MessageTemplateStore::write(const QList<MessageTemplate> &templates, QString *error)
{
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(error, QStringLiteral("%1 klasörü oluşturulamadı.").arg(QDir::toNativeSeparators(folder)));
    if (m_keepUnreadableFile) {
        // The file that could not be read is set aside, not overwritten.
        const QString aside = m_path + QStringLiteral(".bozuk");
        QFile::remove(aside);
        if (QFile::exists(m_path) && !QFile::rename(m_path, aside)) {
            return fail(error, QStringLiteral("Okunamayan şablon dosyası %1 adıyla saklanamadı.")
                                   .arg(QDir::toNativeSeparators(aside)));
        }
        m_keepUnreadableFile = false;
    }

    QJsonArray entries;
    for (const MessageTemplate &entry : templates)
        entries.append(QJsonObject{{kNameKey, entry.name}, {kTextKey, entry.text}});
    const QJsonObject root{{kVersionKey, 1}, {kTemplatesKey, entries}};

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, file.errorString());
    file.write(QJsonDocument(root).toJson(QJsonDocument::Indented));
    if (!file.commit())
        return fail(error, file.errorString());
    m_templates = templates;
    return true;
}

} // namespace velmor
