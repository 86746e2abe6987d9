#include "service/packagedownload.h"

#include "service/httpreply.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

// Pieces of the body are written and counted this large at most, so the
// progress moves in steps even when much arrives at once.
constexpr qint64 kPieceBytes = 1024;

} // namespace

QString UpdateFolder()
{
    const QString own = QCoreApplication::applicationDirPath();
    if (!own.isEmpty() && QFileInfo(own).isWritable())
        return own;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return {};
    return data;
}

QUrl PackageAddress(const QUrl &base, const QString &packageName)
{
    if (packageName.isEmpty() || !base.isValid())
        return {};
    for (const QChar c : packageName) {
        if (c.category() == QChar::Other_Control)
            return {};
    }
    // "./" keeps the whole name a path below the base: a name that looks like
    // "scheme:..." or "//host/..." cannot lead to another site.
    QUrl relative;
    relative.setPath(u"./"_s + packageName, QUrl::DecodedMode);
    const QUrl address = base.resolved(relative);
    return address.isValid() ? address : QUrl();
}

int DownloadPercent(qint64 received, qint64 total)
{
    if (total <= 0 || received <= 0)
        return 0;
    if (received >= total)
        return 100;
    const qint64 scaled = received * 100;
    qint64 percent = scaled / total;
    const qint64 twiceRest = (scaled % total) * 2;
    if (twiceRest > total || (twiceRest == total && percent % 2 == 1))
        ++percent;
    return int(percent);
}

bool IsWholePackageReply(int status, qint64 contentLength, const QByteArray &contentRange)
{
    if (contentLength <= 0)
        return false;
    if (status == 200)
        return true;
    if (status != 206)
        return false;
    // "bytes 0-<length - 1>/<length or *>"
    const QByteArray range = contentRange.trimmed();
    if (!range.startsWith("bytes "))
        return false;
    const QByteArray span = range.mid(6).trimmed();
    const qsizetype dash = span.indexOf('-');
    const qsizetype slash = span.indexOf('/');
    if (dash < 0 || slash < dash)
        return false;
    const qint64 first = ParseHttpLength(QByteArrayView(span).first(dash));
    const qint64 last = ParseHttpLength(QByteArrayView(span).sliced(dash + 1, slash - dash - 1));
    const QByteArrayView size = QByteArrayView(span).sliced(slash + 1);
    if (first != 0 || last != contentLength - 1)
        return false;
    return size == "*" || ParseHttpLength(size) == contentLength;
}

PackageDownload::PackageDownload(QUrl address, QString targetPath, int timeoutMs, QObject *parent)
    : QObject(parent), m_address(std::move(address)), m_targetPath(std::move(targetPath)), m_timeoutMs(timeoutMs),
      m_manager(new QNetworkAccessManager(this))
{
    // As the service's own requests: a direct connection, no proxy.
    m_manager->setProxy(QNetworkProxy::NoProxy);
}

PackageDownload::~PackageDownload()
{
    stop();
}

void PackageDownload::start()
{
    if (m_running)
        return;
    m_running = true;
    ++m_attempt;
    m_headAccepted = false;
    m_total = -1;
    m_received = 0;

    const QString scheme = m_address.scheme().toLower();
    if (!m_address.isValid() || m_address.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
        fail();
        return;
    }

    QNetworkRequest request(m_address);
    // Always the whole package from its first byte: a broken transfer is
    // never continued.
    request.setRawHeader("Range", "bytes=0-");
    // The body as stored: a compressed transfer would not match its length.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(qMax(0, m_timeoutMs));

    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &PackageDownload::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &PackageDownload::onFinished);
}

void PackageDownload::abort()
{
    // An outcome already on its way is dropped too.
    ++m_attempt;
    stop();
}

bool PackageDownload::acceptHead()
{
    if (m_headAccepted)
        return true;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const qint64 length = m_reply->hasRawHeader("Content-Length")
        ? ParseHttpLength(m_reply->rawHeader("Content-Length").trimmed())
        : -1;
    if (!IsWholePackageReply(status, length, m_reply->rawHeader("Content-Range")))
        return false;

    m_file = std::make_unique<QSaveFile>(m_targetPath);
    // Never written in place: without a temporary file there is no download.
    m_file->setDirectWriteFallback(false);
    if (!m_file->open(QIODevice::WriteOnly))
        return false;
    m_total = length;
    m_headAccepted = true;
    emit progress(0);
    return true;
}

void PackageDownload::onReadyRead()
{
    if (!m_running || !m_reply)
        return;
    if (!acceptHead()) {
        fail();
        return;
    }
    while (m_reply->bytesAvailable() > 0) {
        const QByteArray piece = m_reply->read(kPieceBytes);
        if (piece.isEmpty())
            break;
        if (m_received + piece.size() > m_total || m_file->write(piece) != piece.size()) {
            fail();
            return;
        }
        m_received += piece.size();
        emit progress(DownloadPercent(m_received, m_total));
    }
}

void PackageDownload::onFinished()
{
    if (!m_running || !m_reply)
        return;
    if (m_reply->error() != QNetworkReply::NoError) {
        fail();
        return;
    }
    onReadyRead();
    if (!m_running)
        return;
    // A body cut short or ended by closing the connection early never counts.
    if (!m_headAccepted || m_received != m_total || !m_file->commit()) {
        fail();
        return;
    }
    m_file.reset();
    const QFileDevice::Permissions executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                                | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                                | QFileDevice::ExeOther;
    if (!QFile::setPermissions(m_targetPath, executable)) {
        QFile::remove(m_targetPath);
        fail();
        return;
    }
    stop();
    report(true);
}

void PackageDownload::fail()
{
    stop();
    report(false);
}

void PackageDownload::stop()
{
    m_running = false;
    if (m_reply) {
        QNetworkReply *reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    // A save file destroyed before its commit removes its temporary file.
    m_file.reset();
}

void PackageDownload::report(bool ok)
{
    QMetaObject::invokeMethod(
        this,
        [this, ok, attempt = m_attempt] {
            if (attempt == m_attempt)
                emit finished(ok);
        },
        Qt::QueuedConnection);
}

} // namespace velmor
