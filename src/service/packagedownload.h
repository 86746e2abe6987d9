#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

namespace velmor {

class PrivateFileWriter;

// The largest update package taken: a larger announcement is refused before
// a byte is stored.
inline constexpr qint64 kMaxPackageBytes = qint64(512) * 1024 * 1024;

// The address of an update package: the base address with the package name
// appended to its path, exactly as written (a "?" or "#" in the name is part
// of the file name), always on the base's host and below its folder. Invalid
// when the name is empty, holds a control character (which could smuggle
// header lines into the request), or holds "/", "\" or ".." (a path leading
// elsewhere than the base folder).
QUrl PackageAddress(const QUrl &base, const QString &packageName);

// Whether two addresses belong to one site: the same scheme, host and port.
bool IsSameSite(const QUrl &a, const QUrl &b);

// received of total as a whole percentage, a half rounded to the even
// neighbour (1 of 8 is 12, 3 of 8 is 38); 0 when total is not positive.
int DownloadPercent(qint64 received, qint64 total);

// Whether a reply to "Range: bytes=0-" carries the whole package: status 200,
// or 206 whose Content-Range runs from byte 0 to the end of the file; and a
// positive Content-Length (-1 when the header is missing).
bool IsWholePackageReply(int status, qint64 contentLength, const QByteArray &contentRange);

// Fetches the update package over HTTPS (or HTTP on this machine) into a
// private folder, all of it or nothing: the bytes go to a fresh temporary
// file there, which takes the package's name (replacing any older file, and
// never following a symbolic link of that name) only when the whole body has
// arrived, as many bytes as Content-Length announced, no more than the size
// limit, and, when a publisher's key is set, with a valid signature fetched
// from the same site as the package's address followed by ".sig". It is then
// given the execute permission for the user alone. Any failure removes the
// temporary file and leaves an older package as it was. Redirects are
// followed only within the site (scheme, host and port) of the address.
// Event-driven: start() returns at once; progress() and finished() follow
// from the event loop. finished() is delivered from a later turn of the loop,
// never from inside the network's own signals.
class PackageDownload : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        Completed,           // the package is in place
        Failed,              // not whole, refused, too large, off the site, or cut off
        PlainHttp,           // refused at once: plain http to another machine can be tampered with
        CertificateRejected, // the site's TLS certificate could not be verified
        SignatureRejected,   // no valid signature of the package by the publisher's key
    };
    Q_ENUM(Outcome)

    // timeoutMs: a transfer during which nothing arrives for this long fails
    // (0: no limit). folder must be private (PreparePrivateFolder).
    PackageDownload(QUrl address, QString folder, QString fileName, int timeoutMs, QObject *parent = nullptr);
    ~PackageDownload() override;

    // A package announced larger than this is refused (default kMaxPackageBytes).
    void setMaxBytes(qint64 bytes) { m_maxBytes = bytes; }
    // The publisher's Ed25519 public key (kPublisherKeyBytes raw bytes): the
    // package then needs its signature. Empty: none is asked for.
    void setPublisherKey(QByteArray key) { m_publisherKey = std::move(key); }
    QString targetPath() const;

    // Sends "GET address" with "Range: bytes=0-".
    void start();
    // Stops the transfer and discards what has arrived; finished() is not sent.
    void abort();
    bool isRunning() const { return m_running; }

signals:
    // After each piece of at most 1024 bytes written.
    void progress(int percent);
    void finished(velmor::PackageDownload::Outcome outcome);

private:
    void get(const QUrl &url, bool wholeFileRange);
    bool acceptHead();
    void onReadyRead();
    void onFinished();
    void onRedirected(const QUrl &target);
    void takeSignature();
    void checkSignatureAndCommit();
    void commit();
    void fail(Outcome outcome = Outcome::Failed);
    void stop();
    void report(Outcome outcome);

    QUrl m_address;
    QString m_folder;
    QString m_fileName;
    int m_timeoutMs;
    qint64 m_maxBytes = kMaxPackageBytes;
    QByteArray m_publisherKey;
    QNetworkAccessManager *m_manager = nullptr;
    QPointer<QNetworkReply> m_reply;
    std::unique_ptr<PrivateFileWriter> m_file;
    bool m_running = false;
    quint64 m_attempt = 0; // outcomes of an earlier start or of an aborted one are not reported
    bool m_fetchingSignature = false;
    bool m_certificateRejected = false;
    bool m_headAccepted = false;
    qint64 m_total = -1;
    qint64 m_received = 0;
    QByteArray m_signature;
};

} // namespace velmor
