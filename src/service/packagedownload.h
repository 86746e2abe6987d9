#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

namespace velmor {

// Where the update package is stored: the program's own folder when it is
// writable, otherwise the user's data folder (created when missing); empty
// when neither can be had.
QString UpdateFolder();

// The address of an update package: the base address with the package name
// appended to its path, exactly as written (a "?" or "#" in the name is part
// of the file name), always on the base's host. Invalid when the name is
// empty or holds a control character, which could only fetch the bare folder
// page or smuggle header lines into the request.
QUrl PackageAddress(const QUrl &base, const QString &packageName);

// received of total as a whole percentage, a half rounded to the even
// neighbour (1 of 8 is 12, 3 of 8 is 38); 0 when total is not positive.
int DownloadPercent(qint64 received, qint64 total);

// Whether a reply to "Range: bytes=0-" carries the whole package: status 200,
// or 206 whose Content-Range runs from byte 0 to the end of the file; and a
// positive Content-Length (-1 when the header is missing).
bool IsWholePackageReply(int status, qint64 contentLength, const QByteArray &contentRange);

// Fetches one file over HTTP or HTTPS into a file on disk, all of it or
// nothing: the bytes go to a temporary file beside the target, which takes
// the target's name (replacing any older file) only when the whole body has
// arrived, as many bytes as Content-Length announced, and which is then
// given the execute permission. Any failure removes the temporary file and
// leaves an older target as it was.
// Event-driven: start() returns at once; progress() and finished() follow
// from the event loop. finished() is delivered from a later turn of the loop,
// never from inside the network's own signals.
class PackageDownload : public QObject
{
    Q_OBJECT

public:
    // timeoutMs: a transfer during which nothing arrives for this long fails
    // (0: no limit).
    PackageDownload(QUrl address, QString targetPath, int timeoutMs, QObject *parent = nullptr);
    ~PackageDownload() override;

    // Sends "GET address" with "Range: bytes=0-".
    void start();
    // Stops the transfer and discards what has arrived; finished() is not sent.
    void abort();
    bool isRunning() const { return m_running; }

signals:
    // After each piece of at most 1024 bytes written.
    void progress(int percent);
    void finished(bool ok);

private:
    bool acceptHead();
    void onReadyRead();
    void onFinished();
    void fail();
    void stop();
    void report(bool ok);

    QUrl m_address;
    QString m_targetPath;
    int m_timeoutMs;
    QNetworkAccessManager *m_manager = nullptr;
    QPointer<QNetworkReply> m_reply;
    std::unique_ptr<QSaveFile> m_file;
    bool m_running = false;
    quint64 m_attempt = 0; // outcomes of an earlier start or of an aborted one are not reported
    bool m_headAccepted = false;
    qint64 m_total = -1;
    qint64 m_received = 0;
};

} // namespace velmor
