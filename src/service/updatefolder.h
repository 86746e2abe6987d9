#pragma once

#include <QByteArrayView>
#include <QFileDevice>
#include <QString>

#include <memory>

class QTemporaryFile;

namespace velmor {

// The folder the update package is stored in: "updates" in the user's own
// data folder (~/.local/share/velmor-rehber/updates), never the program's
// folder or any other that someone else could write into. Empty when there
// is no data folder.
QString UpdateFolder();

// Makes sure that path is a private folder: created with mode 0700 (and its
// parents as needed) when missing; otherwise it must be a folder itself (not
// a symbolic link), belong to the user and be writable by nobody else. An
// existing folder is never changed. False when it is not private.
bool PreparePrivateFolder(const QString &path);

// Whether path is a regular file itself (not a symbolic link) that belongs to
// the user and that nobody else can write: only such a file is started.
bool IsOwnPrivateFile(const QString &path);

// Writes a file into a private folder without following a symbolic link: the
// bytes go to a fresh temporary file created there (never an existing entry),
// which takes the file's name only on commit(), by a rename that replaces
// whatever entry had the name (a link itself, never what it points to). An
// uncommitted temporary file is removed when the writer goes.
class PrivateFileWriter
{
public:
    PrivateFileWriter(QString folder, QString fileName);
    ~PrivateFileWriter();
    PrivateFileWriter(const PrivateFileWriter &) = delete;
    PrivateFileWriter &operator=(const PrivateFileWriter &) = delete;

    bool open();
    bool write(QByteArrayView bytes);
    // Everything written so far, read from the file (mapped, not copied);
    // valid until commit() or the writer's end. Empty when it cannot be read.
    QByteArrayView contents();
    // Gives the file its name with the given permissions.
    bool commit(QFileDevice::Permissions permissions);

    QString targetPath() const;

private:
    QString m_folder;
    QString m_fileName;
    std::unique_ptr<QTemporaryFile> m_file;
    uchar *m_map = nullptr;
};

} // namespace velmor
