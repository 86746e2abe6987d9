#include "devserver.h"

#include "commands.h"
#include "demodata.h"
#include "httpfront.h"
#include "service/coding.h"
#include "store.h"
#include "wire.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace velmor::dev {

using namespace Qt::StringLiterals;

namespace {

enum class Fault { None, Garbage, Truncate, Close, OneMarker, NoLength };

Fault faultFromName(const QString &mode)
{
    if (mode == u"garbage")
        return Fault::Garbage;
    if (mode == u"truncate")
        return Fault::Truncate;
    if (mode == u"close")
        return Fault::Close;
    if (mode == u"one-marker")
        return Fault::OneMarker;
    if (mode == u"no-length")
        return Fault::NoLength;
    return Fault::None;
}

struct Reply
{
    int status = 200;
    QByteArray reason = "OK";
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
};

QByteArray head(const Reply &reply, bool withLength, bool closing)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reply.reason + "\r\n";
    out += "Server: velmor-devserver\r\n";
    for (const auto &[name, value] : reply.headers)
        out += name + ": " + value + "\r\n";
    if (withLength)
        out += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    if (closing)
        out += "Connection: close\r\n";
    out += "\r\n";
    return out;
}

Reply pageReply(int status, const QByteArray &reason, const QByteArray &page)
{
    Reply reply;
    reply.status = status;
    reply.reason = reason;
    reply.headers = {{"Content-Type", "text/html; charset=utf-8"}};
    reply.body = page;
    return reply;
}

} // namespace

bool IsFaultMode(const QString &mode)
{
    return faultFromName(mode) != Fault::None;
}

bool IsUndeliveredSuffix(const QString &digits)
{
    if (digits.isEmpty() || digits.size() > 11)
        return false;
    return std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QString DefaultDatabasePath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base + u"/velmor-devserver/demo.sqlite"_s;
}

struct DevServer::Private
{
    Options options;
    Store store;
    HttpFront *http = nullptr;
    quint16 port = 0;
    QString error;
    QList<QByteArray> bodies;
    QDateTime fixedTime;

    Fault faultFor(int command) const
    {
        const Fault fault = faultFromName(options.fault);
        if (fault == Fault::None)
            return Fault::None;
        if (options.faultCommands.isEmpty() || options.faultCommands.contains(command))
            return fault;
        return Fault::None;
    }

    QDateTime now() const { return fixedTime.isValid() ? fixedTime : QDateTime::currentDateTime(); }

    void serve(const HttpRequest &request, HttpConnection *connection);
    void serveCommand(const HttpRequest &request, HttpConnection *connection);
    void serveDownload(const HttpRequest &request, HttpConnection *connection, const QString &name);
    // Writes the reply, late and broken as the switches say. command selects
    // the fault: a command code, kDownloadFault, or -1 for anything else. A
    // HEAD request gets the head alone; a request asking to close (or an
    // HTTP/1.0 one without keep-alive) has the connection closed after the reply.
    // With chunkBytes, the body goes out in pieces of that size with a pause
    // of pauseMs after each (the head goes with the first).
    void deliver(const HttpRequest &request, HttpConnection *connection, const Reply &reply, int command,
                 int chunkBytes = 0, int pauseMs = 0);
    // The file of that name inside the download folder, when there is one.
    bool readDownload(const QString &name, QByteArray *data) const;
};

DevServer::DevServer(Options options, QObject *parent) : QObject(parent), d(std::make_unique<Private>())
{
    d->options = std::move(options);
    if (d->options.demoUpdate) {
        // One revision above the client's own, so the client offers the update.
        if (d->options.latestVersion.isEmpty())
            d->options.latestVersion = QString::number(OwnVersionNumber().toLongLong() + 1);
        if (d->options.packageName.isEmpty())
            d->options.packageName = kDemoPackageName;
    }
}

DevServer::~DevServer()
{
    // The sockets and pending replies go with the server object.
    delete d->http;
    d->http = nullptr;
    d->store.close();
}

bool DevServer::start(quint16 port)
{
    d->error.clear();
    if (d->http) {
        d->error = u"Sunucu zaten çalışıyor."_s;
        return false;
    }
    if (!d->store.isOpen()) {
        QString error;
        if (!d->store.open(d->options.dbPath, &error)) {
            d->error = error;
            return false;
        }
    }
    if (d->options.emptyAccount && d->options.seedLarge > 0) {
        d->error = u"Boş deneme hesabı ile büyük deneme verisi birlikte istenemez."_s;
        return false;
    }
    if (d->options.emptyAccount) {
        if (!d->store.resetDemo(DemoSeed::CustomerOnly)) {
            d->error = u"Boş deneme hesabı hazırlanamadı."_s;
            return false;
        }
    } else if (d->options.seedLarge > 0) {
        if (!d->store.seedLarge(d->options.seedLarge)) {
            d->error = u"Büyük deneme verisi eklenemedi."_s;
            return false;
        }
    } else if (d->options.resetDemo) {
        if (!d->store.resetDemo()) {
            d->error = u"Deneme hesabı yenilenemedi."_s;
            return false;
        }
    }

    auto *http = new HttpFront(
        [p = d.get()](const HttpRequest &request, HttpConnection *connection) { p->serve(request, connection); }, this);
    http->setIdleMs(d->options.idleConnectionMs);
    if (!http->listen(port)) {
        d->error = u"127.0.0.1:%1 dinlenemiyor: %2"_s.arg(port).arg(http->errorString());
        delete http;
        return false;
    }
    d->http = http;
    d->port = http->port();
    return true;
}

quint16 DevServer::port() const
{
    return d->port;
}

QUrl DevServer::endpoint() const
{
    return QUrl(u"http://127.0.0.1:%1/YeniRehber.asp"_s.arg(d->port));
}

QUrl DevServer::downloadBase() const
{
    return QUrl(u"http://127.0.0.1:%1/download/"_s.arg(d->port));
}

QString DevServer::errorString() const
{
    return d->error;
}

void DevServer::setDelayMs(int ms)
{
    d->options.delayMs = qMax(0, ms);
}

void DevServer::setFault(const QString &mode, const QSet<int> &commands)
{
    if (!mode.isEmpty() && !IsFaultMode(mode))
        qWarning("velmor-devserver: unknown fault mode %s", qPrintable(mode));
    d->options.fault = mode;
    d->options.faultCommands = commands;
}

void DevServer::setLatestVersion(const QString &version, const QString &packageName)
{
    d->options.latestVersion = version;
    d->options.packageName = packageName;
}

void DevServer::setUndeliveredSuffix(const QString &digits)
{
    d->options.undeliveredSuffix = digits;
}

QByteArray DevServer::demoPackage() const
{
    return DemoUpdatePackage(d->options.latestVersion);
}

void DevServer::setDownloadDir(const QString &dir)
{
    d->options.downloadDir = dir;
}

void DevServer::setDownloadPacing(int chunkBytes, int pauseMs)
{
    d->options.downloadChunkBytes = qMax(0, chunkBytes);
    d->options.downloadPauseMs = qMax(0, pauseMs);
}

void DevServer::setFixedTime(const QDateTime &time)
{
    d->fixedTime = time;
}

const QList<QByteArray> &DevServer::receivedBodies() const
{
    return d->bodies;
}

void DevServer::clearReceivedBodies()
{
    d->bodies.clear();
}

QString DevServer::balance(const QString &customerNo) const
{
    const auto customer = d->store.customer(customerNo);
    return customer ? customer->balance : QString();
}

void DevServer::setBalance(const QString &customerNo, const QString &balance)
{
    d->store.setBalance(customerNo, balance);
}

int DevServer::reportRowCount(const QString &customerNo) const
{
    return d->store.reportRowCount(customerNo);
}

void DevServer::setCustomerField(const QString &customerNo, int index, const QString &value)
{
    d->store.setCustomerField(customerNo, index, value);
}

QString DevServer::customerField(const QString &customerNo, int index) const
{
    const auto customer = d->store.customer(customerNo);
    if (!customer || index < 0 || index >= kCustomerFieldCount)
        return {};
    return customer->fields[std::size_t(index)];
}

void DevServer::setAccountActive(const QString &customerNo, bool active)
{
    d->store.setCustomerField(customerNo, kStatusField, active ? u"1"_s : u"0"_s);
}

bool DevServer::resetDemo()
{
    return d->store.resetDemo();
}

void DevServer::Private::serve(const HttpRequest &request, HttpConnection *connection)
{
    const QString path = request.url.path(QUrl::FullyDecoded);
    if (path.compare(u"/YeniRehber.asp"_s, Qt::CaseInsensitive) == 0) {
        serveCommand(request, connection);
        return;
    }
    if (path.startsWith(u"/download/"_s)) {
        serveDownload(request, connection, path.mid(10));
        return;
    }
    deliver(request, connection, pageReply(404, "Not Found", PlainPage(u"Sayfa bulunamadı."_s)), -1);
}

void DevServer::Private::serveCommand(const HttpRequest &request, HttpConnection *connection)
{
    const QByteArray &body = request.body;
    if (options.recordBodies)
        bodies.append(body);
    const FormFields fields = FormFields::parse(body);
    const int command = CommandCode(fields);

    const Fault fault = faultFor(command);
    std::optional<QByteArray> payload;
    // A connection dropped without a reply stands for a request that never
    // reached the service: nothing is carried out. (Clients may send the
    // request again on such a connection.)
    if (request.method == "POST" && fault != Fault::Close) {
        const CommandContext context{options.latestVersion, options.packageName, now(), options.undeliveredSuffix};
        payload = HandleCommand(store, fields, context);
    }

    QByteArray page;
    if (!payload || fault == Fault::Garbage) {
        page = PlainPage(u"İstek anlaşılamadı."_s);
    } else {
        page = ReplyPage(*payload, DrawCodingOffset(),
                         fault == Fault::OneMarker ? Markers::OpeningOnly : Markers::Both);
    }
    deliver(request, connection, pageReply(200, "OK", page), command);
}

void DevServer::Private::serveDownload(const HttpRequest &request, HttpConnection *connection, const QString &name)
{
    const bool head = request.method == "HEAD";
    const Reply notFound = pageReply(404, "Not Found", PlainPage(u"Dosya bulunamadı."_s));
    if (!head && request.method != "GET") {
        deliver(request, connection, pageReply(405, "Method Not Allowed", PlainPage(u"Yalnızca GET."_s)), kDownloadFault);
        return;
    }

    // Only files inside the download folder, whatever the name says; in the
    // update demo, the demonstration package when the folder has none of its name.
    QByteArray data;
    bool paced = options.downloadChunkBytes > 0;
    if (!readDownload(name, &data)) {
        if (!options.demoUpdate || name != kDemoPackageName) {
            deliver(request, connection, notFound, kDownloadFault);
            return;
        }
        data = DemoUpdatePackage(options.latestVersion); // as demoPackage()
        paced = true;
    }
    const qint64 size = data.size();

    Reply reply;
    reply.headers = {{"Content-Type", "application/octet-stream"}, {"Accept-Ranges", "bytes"}};
    reply.body = data;

    // One range of the form "bytes=first-[last]"; anything else is ignored
    // and the whole file is sent.
    const QByteArray range = request.header("Range").trimmed();
    if (range.startsWith("bytes=") && !range.contains(',')) {
        const QByteArray byteRange = range.mid(6);
        const qsizetype dash = byteRange.indexOf('-');
        bool firstOk = false;
        bool lastOk = true;
        const qint64 first = dash > 0 ? byteRange.left(dash).trimmed().toLongLong(&firstOk) : 0;
        const QByteArray lastText = dash > 0 ? byteRange.mid(dash + 1).trimmed() : QByteArray();
        qint64 last = lastText.isEmpty() ? size - 1 : lastText.toLongLong(&lastOk);
        if (firstOk && lastOk && first >= 0) {
            if (first >= size || last < first) {
                Reply refused = pageReply(416, "Range Not Satisfiable", QByteArray());
                refused.headers.append({"Content-Range", "bytes */" + QByteArray::number(size)});
                deliver(request, connection, refused, kDownloadFault);
                return;
            }
            last = qMin(last, size - 1);
            reply.status = 206;
            reply.reason = "Partial Content";
            reply.headers.append({"Content-Range", "bytes " + QByteArray::number(first) + '-'
                                                       + QByteArray::number(last) + '/' + QByteArray::number(size)});
            reply.body = data.mid(first, last - first + 1);
        }
    }
    const Fault fault = faultFor(kDownloadFault);
    if (fault == Fault::Garbage || fault == Fault::OneMarker) {
        // In place of the file: an error page such as a broken site sends.
        reply = pageReply(200, "OK", PlainPage(u"Sunucu hatası."_s));
    }
    if (paced) {
        // The demonstration package takes about two seconds, so that the
        // client's progress bar can be seen moving.
        const int chunk = options.downloadChunkBytes > 0 ? options.downloadChunkBytes
                                                         : int(qMax<qint64>(1, reply.body.size() / 20));
        const int pause = options.downloadChunkBytes > 0 ? options.downloadPauseMs : 100;
        deliver(request, connection, reply, kDownloadFault, chunk, pause);
        return;
    }
    deliver(request, connection, reply, kDownloadFault);
}

bool DevServer::Private::readDownload(const QString &name, QByteArray *data) const
{
    const QString rootPath = options.downloadDir.isEmpty() ? QString()
                                                              : QFileInfo(options.downloadDir).canonicalFilePath();
    const QString filePath = rootPath.isEmpty() || name.isEmpty()
        ? QString()
        : QFileInfo(QDir(rootPath).absoluteFilePath(name)).canonicalFilePath();
    QFile file(filePath);
    if (filePath.isEmpty() || !filePath.startsWith(rootPath + u'/') || !QFileInfo(filePath).isFile()
        || !file.open(QIODevice::ReadOnly))
        return false;
    *data = file.readAll();
    return true;
}

void DevServer::Private::deliver(const HttpRequest &request, HttpConnection *connection, const Reply &reply,
                                 int command, int chunkBytes, int pauseMs)
{
    const Fault fault = faultFor(command);
    const bool headOnly = request.method == "HEAD";
    const bool closing = request.closeAfterReply;
    QPointer<HttpConnection> target(connection);
    auto send = [target, reply, fault, headOnly, closing, chunkBytes, pauseMs] {
        if (!target)
            return;
        // Head and body go out as they are, without a copy of the body
        // behind the head: an account reply can be hundreds of megabytes.
        QByteArray body = headOnly ? QByteArray() : reply.body;
        QByteArray top;
        bool close = true;
        switch (fault) {
        case Fault::Close:
            target->respond({}, true);
            return;
        case Fault::Truncate:
            top = head(reply, true, true);
            body.truncate(body.size() / 2);
            break;
        case Fault::NoLength:
            top = head(reply, false, true);
            break;
        case Fault::Garbage:
        case Fault::OneMarker:
        case Fault::None:
            top = head(reply, true, closing);
            close = closing;
            break;
        }
        if (chunkBytes > 0)
            target->respondInPieces(top + body, top.size() + chunkBytes, chunkBytes, pauseMs, close);
        else
            target->respond(top, body, close);
    };
    if (options.delayMs > 0)
        QTimer::singleShot(options.delayMs, http, send);
    else
        send();
}

} // namespace velmor::dev
