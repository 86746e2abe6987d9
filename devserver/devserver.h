#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLatin1StringView>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <memory>

namespace velmor::dev {

inline constexpr quint16 kDefaultPort = 48080;

// The demo account of a new database.
inline constexpr QLatin1StringView kDemoCustomerNo{"1001"};
inline constexpr QLatin1StringView kDemoUser{"demo"};
inline constexpr QLatin1StringView kDemoPassword{"demo"};

// In a fault's command set, this number stands for the downloads under /download/.
inline constexpr int kDownloadFault = 0;

// The demonstration update: the package that command 30 names when the
// options ask for the update demo, served under /download/ from memory.
inline constexpr QLatin1StringView kDemoPackageName{"VelmorGuncelleme.sh"};

// The fault modes: "garbage" (a page without markers), "truncate" (full
// Content-Length, half the body, then the connection closed; the command is
// carried out), "close" (closed without a reply; nothing is carried out),
// "one-marker" (the payload after a single marker) and
// "no-length" (the reply without a Content-Length header, ended by closing).
bool IsFaultMode(const QString &mode);

// True for a suffix of undelivered numbers: 1 to 11 digits.
bool IsUndeliveredSuffix(const QString &digits);

// The database file used when none is given: in the user's data folder.
QString DefaultDatabasePath();

struct Options
{
    QString dbPath = QStringLiteral(":memory:"); // a file, or ":memory:"
    bool resetDemo = false;                      // restore the demo account
    bool emptyAccount = false;                   // restore the demo customer without groups, contacts or reports
    int seedLarge = 0;                           // extra generated contacts over 1,000 groups
    QString latestVersion;                       // command 30 field 1; empty: the client's own
    QString packageName;                         // command 30 field 2; empty: a default name
    QString downloadDir;                         // served under /download/
    bool demoUpdate = false;                     // offer a newer version with the demonstration package
    int downloadChunkBytes = 0;                  // downloads go out in pieces this large (0: at once) ...
    int downloadPauseMs = 0;                     // ... with this pause after each piece
    int delayMs = 0;                             // each reply this late
    QString fault;                               // "", "garbage", "truncate", "close", "one-marker", "no-length"
    QSet<int> faultCommands;                     // empty: the fault applies to every command (0: downloads)
    bool recordBodies = true;                    // keep every request body for receivedBodies()
    int idleConnectionMs = 30000;                // a connection without a complete request this long is closed
    QString undeliveredSuffix;                   // sends to mobile numbers ending in these digits: "Ulaşılamadı"
};

// The development service: speaks the service's side of the protocol on
// 127.0.0.1, keeps its data in SQLite. Runs in the caller's thread, so tests
// can start it in-process on a free port.
class DevServer : public QObject
{
    Q_OBJECT

public:
    explicit DevServer(Options options, QObject *parent = nullptr);
    ~DevServer() override;

    // Opens the database (seeding the demo account when new) and listens on
    // 127.0.0.1:port; port 0 picks a free one. False with errorString() set on failure.
    bool start(quint16 port = 0);
    quint16 port() const;
    // http://127.0.0.1:<port>/YeniRehber.asp
    QUrl endpoint() const;
    // http://127.0.0.1:<port>/download/
    QUrl downloadBase() const;
    QString errorString() const;

    // Switches for the client's failure tests, changeable while running.
    void setDelayMs(int ms);
    void setFault(const QString &mode, const QSet<int> &commands = {});
    void setLatestVersion(const QString &version, const QString &packageName = {});
    // Sends to mobile numbers ending in these digits are reported as
    // "Ulaşılamadı" instead of "İletildi"; empty: every one is delivered.
    void setUndeliveredSuffix(const QString &digits);

    // The demonstration update package as the update demo serves it (for
    // signing it elsewhere, say).
    QByteArray demoPackage() const;

    // Where downloads come from; may change while running.
    void setDownloadDir(const QString &dir);
    // Download bodies go out chunkBytes at a time with a pause of pauseMs
    // after each piece (the head goes with the first); 0 bytes: all at once.
    void setDownloadPacing(int chunkBytes, int pauseMs);
    // The service clock (command 13, send stamps fall back to it); an invalid
    // value returns to the real local time.
    void setFixedTime(const QDateTime &time);

    // Every request body received on /YeniRehber.asp, oldest first (none when
    // the options turn recording off, as the long-running program does).
    const QList<QByteArray> &receivedBodies() const;
    void clearReceivedBodies();

    // Direct looks into the data, for tests.
    QString balance(const QString &customerNo) const;
    void setBalance(const QString &customerNo, const QString &balance);
    int reportRowCount(const QString &customerNo) const;
    // Sets one field (0..31) of a customer record, e.g. to deactivate it.
    void setCustomerField(const QString &customerNo, int index, const QString &value);
    QString customerField(const QString &customerNo, int index) const;
    // Sets the account status field (record field 1) to "1" or "0".
    void setAccountActive(const QString &customerNo, bool active);
    // Puts the demo account back as in a new database.
    bool resetDemo();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace velmor::dev
