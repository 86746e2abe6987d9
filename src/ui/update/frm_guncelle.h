#pragma once

#include "service/packagedownload.h"
#include "service/transport.h"

#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QTimer;

namespace velmor {

class Service;
class Session;

// Starts a program by its absolute path as a process of its own, without a
// shell and without waiting for it; false when it could not be started.
using ProgramStarter = std::function<bool(const QString &program)>;
bool StartDetachedProgram(const QString &program);

// Where the update comes from, where it goes and how it starts.
struct UpdateOptions
{
    // Also converts from the base address alone.
    UpdateOptions(QUrl baseUrl = {}, int timeoutMs = HttpTransport::DefaultTimeoutMs);

    QUrl baseUrl;   // the download base, ending in "/"; the package name is appended
    int timeoutMs;  // a transfer silent this long fails; 0: no limit
    QString folder; // where the package is stored, a private folder; empty: UpdateFolder()
    qint64 maxPackageBytes = kMaxPackageBytes; // a package announced larger is refused
    // The publisher's Ed25519 public key (raw bytes): a package starts only
    // with a valid signature from the site. Empty: none is asked for.
    QByteArray publisherKey;
    ProgramStarter start = StartDetachedProgram;
    int connectWaitMs = 3000; // "Bağlanılıyor" shows this long before the update begins
    int startWaitMs = 2000;   // "Tamamlandı" shows this long before the package starts
};

// The file name the package is stored under.
inline constexpr char16_t kPackageFileName[] = u"SMSGuncelleme";

// The update window: asks the service for the newest release and its
// package, downloads the package with a moving progress bar, starts it and
// sets RunState to "Guncellendi", upon which the main window ends the
// program. The package is stored only in a private folder and started only
// when it is the user's own file there. On any failure it says so and closes, and closedWithoutUpdate()
// lets the main window go on. The window is disabled while it works; closing
// it (or the main window) during the download stops the transfer, discards
// what has arrived and starts nothing.
class Frm_Guncelle : public QWidget
{
    Q_OBJECT

public:
    Frm_Guncelle(const Service &service, Session &session, UpdateOptions options, QWidget *parent = nullptr);
    ~Frm_Guncelle() override;

    // Shows the window centred on the screen, says "Bağlanılıyor" and begins
    // the update after the connecting wait. Deletes itself when it closes.
    void start();

signals:
    // The window closed without a package started: a failure, or closed by
    // the user or the program.
    void closedWithoutUpdate();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    enum class Step { Idle, Connecting, Asking, Downloading, Finishing, Reporting, Started, Closed };

    void onTimer();
    void runUpdate();
    void downloadPackage(const QString &packageName);
    void onDownloadFinished(PackageDownload::Outcome outcome);
    // Says "Tamamlanamadı", shows the message, then closes the window.
    void downloadFailed(const QString &message);
    void startPackage();
    // Shows the message, then closes the window.
    void giveUp(const QString &message);

    const Service &m_service;
    Session &m_session;
    UpdateOptions m_options;
    Step m_step = Step::Idle;
    QString m_versionText;
    QString m_packagePath;
    PackageDownload *m_download = nullptr;
    QLabel *m_status = nullptr;
    QProgressBar *m_progress = nullptr;
    QTimer *m_timer = nullptr;
};

} // namespace velmor
