#include "service/updatefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

// The entry itself, never what a link points to: its type and owner, and
// that neither the group nor others may write it.
bool isOwnUnshared(const QString &path, mode_t type)
{
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return false;
    return (status.st_mode & S_IFMT) == type && status.st_uid == ::geteuid()
           && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

QString UpdateFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return data.isEmpty() ? QString() : data + u"/updates"_s;
}

bool PreparePrivateFolder(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!QDir().mkpath(QFileInfo(folder).absolutePath()))
        return false;
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return isOwnUnshared(folder, S_IFDIR);
}

bool IsOwnPrivateFile(const QString &path)
{
    return !path.isEmpty() && isOwnUnshared(path, S_IFREG);
}

PrivateFileWriter::PrivateFileWriter(QString folder, QString fileName)
    : m_folder(std::move(folder)), m_fileName(std::move(fileName))
{
}

PrivateFileWriter::~PrivateFileWriter() = default;

QString PrivateFileWriter::targetPath() const
{
    return QDir(m_folder).absoluteFilePath(m_fileName);
}

bool PrivateFileWriter::open()
{
    // Created anew with O_CREAT | O_EXCL under a name of its own: an entry
    // already there, a link included, is never opened.
    m_file = std::make_unique<QTemporaryFile>(QDir(m_folder).absoluteFilePath(u"."_s + m_fileName + u"-XXXXXX"_s));
    m_map = nullptr;
    if (!m_file->open()) {
        m_file.reset();
        return false;
    }
    // A name from the start, for the rename of commit().
    return !m_file->fileName().isEmpty();
}

bool PrivateFileWriter::write(QByteArrayView bytes)
{
    return m_file && !m_map && m_file->write(bytes.data(), bytes.size()) == bytes.size();
}

QByteArrayView PrivateFileWriter::contents()
{
    if (!m_file || !m_file->flush())
        return {};
    const qint64 size = m_file->size();
    if (size <= 0)
        return {};
    if (!m_map)
        m_map = m_file->map(0, size);
    return m_map ? QByteArrayView(m_map, size) : QByteArrayView();
}

bool PrivateFileWriter::commit(QFileDevice::Permissions permissions)
{
    if (!m_file)
        return false;
    if (m_map) {
        m_file->unmap(m_map);
        m_map = nullptr;
    }
    if (!m_file->flush() || ::fsync(m_file->handle()) != 0 || !m_file->setPermissions(permissions))
        return false;
    // rename() replaces the entry of that name, whatever it is, and follows
    // no link; the file is whole under its name or not there at all.
    const QByteArray from = QFile::encodeName(m_file->fileName());
    const QByteArray to = QFile::encodeName(targetPath());
    if (std::rename(from.constData(), to.constData()) != 0)
        return false;
    m_file->setAutoRemove(false);
    m_file->close();
    m_file.reset();
    return true;
}

} // namespace velmor
