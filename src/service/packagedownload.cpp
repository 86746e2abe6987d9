#include "service/packagedownload.h"

#include "service/httpreply.h"
#include "service/packagesignature.h"
#include "service/transport.h"
#include "service/updatefolder.h"

#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

// Pieces of the body are written and counted this large at most, so the
// progress moves in steps even when much arrives at once.
constexpr qint64 kPieceBytes = 1024;

int defaultPort(const QUrl &url)
{
    return url.scheme().compare(u"https", Qt::CaseInsensitive) == 0 ? 443 : 80;
}

} // namespace

QUrl PackageAddress(const QUrl &base, const QString &packageName)
{
    if (packageName.isEmpty() || !base.isValid())
        return {};
    if (packageName.contains(u'/') || packageName.contains(u'\\') || packageName.contains(u".."))
        return {};
    for (const QChar c : packageName) {
        if (c.category() == QChar::Other_Control)
            return {};
    }
    // "./" keeps a name that looks like "scheme:..." a path below the base.
    QUrl relative;
    relative.setPath(u"./"_s + packageName, QUrl::DecodedMode);
    const QUrl address = base.resolved(relative);
    return address.isValid() ? address : QUrl();
}

bool IsSameSite(const QUrl &a, const QUrl &b)
{
    return a.isValid() && b.isValid() && a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0
           && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && a.port(defaultPort(a)) == b.port(defaultPort(b));
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

PackageDownload::PackageDownload(QUrl address, QString folder, QString fileName, int timeoutMs, QObject *parent)
    : QObject(parent), m_address(std::move(address)), m_folder(std::move(folder)), m_fileName(std::move(fileName)),
      m_timeoutMs(timeoutMs), m_manager(new QNetworkAccessManager(this))
{
    // As the service's own requests: a direct connection, no proxy.
    m_manager->setProxy(QNetworkProxy::NoProxy);
}

PackageDownload::~PackageDownload()
{
    stop();
}

QString PackageDownload::targetPath() const
{
    return PrivateFileWriter(m_folder, m_fileName).targetPath();
}

void PackageDownload::start()
{
    if (m_running)
        return;
    m_running = true;
    ++m_attempt;
    m_fetchingSignature = false;
    m_certificateRejected = false;
    m_headAccepted = false;
    m_total = -1;
    m_received = 0;
    m_signature.clear();

    const QString scheme = m_address.scheme().toLower();
    if (!m_address.isValid() || m_address.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
        fail();
        return;
    }
    // Over plain http anyone on the way could hand over a program of their
    // own, which would then be started.
    if (IsPlainHttpToRemoteHost(m_address)) {
        fail(Outcome::PlainHttp);
        return;
    }
    // Always the whole package from its first byte: a broken transfer is
    // never continued.
    get(m_address, true);
}

void PackageDownload::get(const QUrl &url, bool wholeFileRange)
{
    QNetworkRequest request(url);
    if (wholeFileRange)
        request.setRawHeader("Range", "bytes=0-");
    // The body as stored: a compressed transfer would not match its length.
    request.setRawHeader("Accept-Encoding", "identity");
    // Each redirect is judged by onRedirected().
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(qMax(0, m_timeoutMs));

    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &PackageDownload::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &PackageDownload::onFinished);
    connect(m_reply, &QNetworkReply::redirected, this, &PackageDownload::onRedirected);
    // Never ignored: the transfer then ends with an error.
    connect(m_reply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError> &errors) {
        if (!errors.isEmpty())
            m_certificateRejected = true;
    });
}

void PackageDownload::onRedirected(const QUrl &target)
{
    if (!m_running || !m_reply)
        return;
    // Another host, port or scheme is another site, which nobody vouched for.
    if (!IsSameSite(m_address.resolved(target), m_address)) {
        fail();
        return;
    }
    emit m_reply->redirectAllowed();
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
    if (!IsWholePackageReply(status, length, m_reply->rawHeader("Content-Range")) || length > m_maxBytes)
        return false;

    m_file = std::make_unique<PrivateFileWriter>(m_folder, m_fileName);
    if (!m_file->open())
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
    if (m_fetchingSignature) {
        takeSignature();
        return;
    }
    if (!acceptHead()) {
        fail();
        return;
    }
    while (m_reply->bytesAvailable() > 0) {
        const QByteArray piece = m_reply->read(kPieceBytes);
        if (piece.isEmpty())
            break;
        // Never more than announced, and the announcement is within the limit.
        if (m_received + piece.size() > m_total || !m_file->write(piece)) {
            fail();
            return;
        }
        m_received += piece.size();
        emit progress(DownloadPercent(m_received, m_total));
    }
}

void PackageDownload::takeSignature()
{
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200) {
        fail(Outcome::SignatureRejected);
        return;
    }
    // One byte beyond a signature is enough to tell that it is none.
    m_signature += m_reply->read(kPackageSignatureBytes + 1 - m_signature.size());
    if (m_signature.size() > kPackageSignatureBytes)
        fail(Outcome::SignatureRejected);
}

void PackageDownload::onFinished()
{
    if (!m_running || !m_reply)
        return;
    if (m_reply->error() != QNetworkReply::NoError) {
        // A site that answered without the signature (404, ...) has none to
        // give; a failed connection is a failed download.
        const bool answered = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() > 0;
        fail(m_certificateRejected           ? Outcome::CertificateRejected
             : m_fetchingSignature && answered ? Outcome::SignatureRejected
                                               : Outcome::Failed);
        return;
    }
    onReadyRead();
    if (!m_running)
        return;
    if (m_fetchingSignature) {
        checkSignatureAndCommit();
        return;
    }
    // A body cut short or ended by closing the connection early never counts.
    if (!m_headAccepted || m_received != m_total) {
        fail();
        return;
    }
    if (m_publisherKey.isEmpty()) {
        commit();
        return;
    }
    // The signature from the same site: the package's address with ".sig".
    QUrl signatureAddress = m_address;
    signatureAddress.setPath(m_address.path(QUrl::FullyDecoded) + u".sig"_s, QUrl::DecodedMode);
    QNetworkReply *packageReply = m_reply;
    m_reply = nullptr;
    packageReply->disconnect(this);
    packageReply->deleteLater();
    m_fetchingSignature = true;
    get(signatureAddress, false);
}

void PackageDownload::checkSignatureAndCommit()
{
    if (!IsValidPackageSignature(m_file->contents(), m_signature, m_publisherKey)) {
        fail(Outcome::SignatureRejected);
        return;
    }
    commit();
}

void PackageDownload::commit()
{
    if (!m_file->commit(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
        fail();
        return;
    }
    m_file.reset();
    stop();
    report(Outcome::Completed);
}

void PackageDownload::fail(Outcome outcome)
{
    stop();
    report(outcome);
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
    // An uncommitted file goes with its writer.
    m_file.reset();
}

void PackageDownload::report(Outcome outcome)
{
    QMetaObject::invokeMethod(
        this,
        [this, outcome, attempt = m_attempt] {
            if (attempt == m_attempt)
                emit finished(outcome);
        },
        Qt::QueuedConnection);
}

} // namespace velmor
