#pragma once

#include <QList>
#include <QString>

namespace velmor {

struct MessageTemplate
{
    QString name;
    QString text;
};

// The user's message templates, kept in a small JSON file in the program's
// data folder (never on the service). Names are unique, letter case ignored.
// Every change is written at once, whole, through a temporary file, so a
// failed write leaves the file and the list as they were.
class MessageTemplateStore
{
public:
    // "mesaj-sablonlari.json" in the program's data folder for this user.
    static QString defaultFilePath();

    explicit MessageTemplateStore(QString filePath = defaultFilePath());

    enum class LoadResult { Loaded, NoFile, Unreadable };
    // Reads the file. A file that cannot be read leaves the list empty, and
    // is kept beside the new one under the ending ".bozuk" when the next
    // change writes the file.
    LoadResult load();

    const QString &filePath() const { return m_path; }
    const QList<MessageTemplate> &templates() const { return m_templates; }
    // The position of the template with this name, or -1.
    qsizetype indexOf(const QString &name) const;

    // Adds a template, or gives the one of this name the new text. False,
    // with the reason in error (when given), when the file could not be written.
    bool save(const QString &name, const QString &text, QString *error);
    // Removes the template of this name (nothing to do: true).
    bool remove(const QString &name, QString *error);

private:
    bool write(const QList<MessageTemplate> &templates, QString *error);

    QString m_path;
    QList<MessageTemplate> m_templates;
    bool m_keepUnreadableFile = false;
};

} // namespace velmor
