#include "ui/update/frm_guncelle.h"

#include "model/session.h"
#include "service/packagedownload.h"
#include "service/service.h"
#include "service/updatefolder.h"
#include "ui/common/appicon.h"
#include "ui/common/listview.h"
#include "ui/common/messagebox.h"
#include "model/version.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {
// The client area: 9240 x 4560 twips.
constexpr int kWidthTwips = 9240;
constexpr int kHeightTwips = 4560;
// The picture at the left, the status line and the bar beside it.
constexpr int kPictureLeft = 360;
constexpr int kPictureTop = 1200;
constexpr int kPictureSide = 2160;
constexpr int kTextLeft = 3000;
constexpr int kRightMargin = 360;

// The window is disabled while it works; its status line and bar stay as
// readable as when it is enabled.
void keepReadableWhenDisabled(QWidget *widget)
{
    QPalette palette = widget->palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto colourRole = QPalette::ColorRole(role);
        palette.setColor(QPalette::Disabled, colourRole, palette.color(QPalette::Active, colourRole));
    }
    widget->setPalette(palette);
}

QString connectionMessage()
{
    return u"İnternet Bağlantısı Sağlanamadı.. Kontrol Edip Tekrar Deneyiniz.."_s;
}

QString downloadFailedMessage()
{
    return u"Dosya İndirilemedi."_s;
}

QString failureMessage(PackageDownload::Outcome outcome)
{
    switch (outcome) {
    case PackageDownload::Outcome::PlainHttp:
        return u"Güncelleme Adresi Şifresiz (http) Bir Bağlantı. Paket Yolda Değiştirilebileceği İçin "
               u"İndirilmedi; Güncelleme Adresini https İle Veriniz."_s;
    case PackageDownload::Outcome::CertificateRejected:
        return u"Güncelleme Sitesinin Güvenlik Sertifikası Doğrulanamadı. Paket İndirilmedi."_s;
    case PackageDownload::Outcome::SignatureRejected:
        return u"Güncelleme Paketinin İmzası Doğrulanamadı. Paket Başlatılmadı."_s;
    case PackageDownload::Outcome::Completed:
    case PackageDownload::Outcome::Failed:
        break;
    }
    return downloadFailedMessage();
}

QString unsafeFolderMessage(const QString &folder)
{
    return u"Güncelleme Klasörü Güvenli Değil: %1\nKlasör Size Ait Olmalı Ve Başka Kullanıcılar Ona "
           u"Yazamamalı. Paket İndirilmedi."_s.arg(QDir::toNativeSeparators(folder));
}

QString notStartedMessage()
{
    return u"Güncelleme Paketi Başlatılamadı."_s;
}
} // namespace

bool StartDetachedProgram(const QString &program)
{
    return QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
}

UpdateOptions::UpdateOptions(QUrl baseUrl, int timeoutMs) : baseUrl(std::move(baseUrl)), timeoutMs(timeoutMs) {}

Frm_Guncelle::Frm_Guncelle(const Service &service, Session &session, UpdateOptions options, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_service(service), m_session(session), m_options(std::move(options))
{
    setObjectName(u"Frm_Guncelle"_s);
    setWindowTitle(u"Velmor SMS Güncelleme"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(parent ? parent->windowIcon() : ApplicationIcon());
    setFixedSize(Twips(kWidthTwips), Twips(kHeightTwips));

    const int textWidth = width() - Twips(kTextLeft) - Twips(kRightMargin);
    m_status = new QLabel(this);
    m_status->setObjectName(u"Label3"_s);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont statusFont = m_status->font();
    statusFont.setPointSizeF(13.5);
    statusFont.setBold(true);
    m_status->setFont(statusFont);
    keepReadableWhenDisabled(m_status);
    m_status->setGeometry(Twips(kTextLeft), Twips(kPictureTop), textWidth, Twips(1320));

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(u"pb_1"_s);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setAccessibleName(u"Güncelleme Paketi İndiriliyor"_s);
    keepReadableWhenDisabled(m_progress);
    m_progress->setGeometry(Twips(kTextLeft), Twips(kPictureTop + kPictureSide - 360), textWidth, Twips(360));

    m_timer = new QTimer(this);
    m_timer->setObjectName(u"Timer1"_s);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &Frm_Guncelle::onTimer);
}

Frm_Guncelle::~Frm_Guncelle() = default;

void Frm_Guncelle::start()
{
    if (m_step != Step::Idle)
        return;
    // Nothing for the user to do here while the update runs.
    setEnabled(false);
    m_status->setText(u"Bağlanılıyor"_s);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    m_step = Step::Connecting;
    m_timer->start(qMax(0, m_options.connectWaitMs));
}

void Frm_Guncelle::onTimer()
{
    switch (m_step) {
    case Step::Connecting:
        runUpdate();
        return;
    case Step::Finishing:
        startPackage();
        return;
    default:
        return;
    }
}

void Frm_Guncelle::runUpdate()
{
    setCursor(Qt::WaitCursor);
    // The window must outlive this request: closeEvent refuses meanwhile.
    m_step = Step::Asking;
    const QStringList pieces = FetchLatestVersion(m_service).split(u'|');
    if (pieces.size() < 2) {
        unsetCursor();
        giveUp(connectionMessage());
        return;
    }
    m_versionText = VersionFieldText(pieces.at(0));
    downloadPackage(pieces.at(1));
}

void Frm_Guncelle::downloadPackage(const QString &packageName)
{
    m_step = Step::Downloading;
    m_progress->setValue(0);
    m_status->setText(m_versionText + u" No'lu Güncelleme Paketi İndiriliyor"_s);

    const QUrl address = PackageAddress(m_options.baseUrl, packageName);
    if (address.isEmpty()) {
        downloadFailed(downloadFailedMessage());
        return;
    }
    // Never a folder someone else can write into: they could put a link
    // there, or swap the package before it starts.
    const QString folder = m_options.folder.isEmpty() ? UpdateFolder() : m_options.folder;
    if (!PreparePrivateFolder(folder)) {
        downloadFailed(unsafeFolderMessage(folder));
        return;
    }
    m_download = new PackageDownload(address, folder, QString::fromUtf16(kPackageFileName), m_options.timeoutMs, this);
    m_download->setMaxBytes(m_options.maxPackageBytes);
    m_download->setPublisherKey(m_options.publisherKey);
    m_packagePath = m_download->targetPath();
    connect(m_download, &PackageDownload::progress, m_progress, &QProgressBar::setValue);
    connect(m_download, &PackageDownload::finished, this, &Frm_Guncelle::onDownloadFinished);
    m_download->start();
}

void Frm_Guncelle::onDownloadFinished(PackageDownload::Outcome outcome)
{
    if (m_download) {
        m_download->deleteLater();
        m_download = nullptr;
    }
    if (outcome != PackageDownload::Outcome::Completed) {
        downloadFailed(failureMessage(outcome));
        return;
    }
    unsetCursor();
    setEnabled(true);
    m_status->setText(u"Tamamlandı"_s);
    m_progress->setValue(m_progress->maximum());
    m_step = Step::Finishing;
    m_timer->start(qMax(0, m_options.startWaitMs));
}

void Frm_Guncelle::downloadFailed(const QString &message)
{
    unsetCursor();
    setEnabled(true);
    m_status->setText(u"Tamamlanamadı"_s);
    giveUp(message);
}

void Frm_Guncelle::startPackage()
{
    // Only the file this client wrote: the user's own, writable by nobody else.
    if (!IsOwnPrivateFile(m_packagePath)) {
        giveUp(notStartedMessage());
        return;
    }
    const bool started = m_options.start && m_options.start(m_packagePath);
    if (!started) {
        giveUp(notStartedMessage());
        return;
    }
    m_step = Step::Started;
    // The main window closes this window and itself: the program ends and
    // the package can replace it.
    m_session.setRunState(u"Guncellendi"_s);
}

void Frm_Guncelle::giveUp(const QString &message)
{
    // The box waits in an event loop of its own; closeEvent refuses meanwhile.
    m_step = Step::Reporting;
    MessageBox::show(this, message);
    m_step = Step::Idle;
    close();
}

void Frm_Guncelle::closeEvent(QCloseEvent *event)
{
    // Never while a wait of its own (the version request, a message) runs
    // on the stack.
    if (m_step == Step::Asking || m_step == Step::Reporting) {
        event->ignore();
        return;
    }
    m_timer->stop();
    if (m_download) {
        // What has arrived is discarded; nothing starts.
        m_download->abort();
        m_download->deleteLater();
        m_download = nullptr;
    }
    const bool updated = m_step == Step::Started;
    const bool announced = m_step == Step::Closed;
    m_step = Step::Closed;
    event->accept();
    if (!updated && !announced)
        emit closedWithoutUpdate();
}

void Frm_Guncelle::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintEmblemBackground(painter, rect());
    const qreal side = Twips(kPictureSide);
    PaintEmblem(painter, QRectF(Twips(kPictureLeft), Twips(kPictureTop), side, side));
    // A downward arrow over the emblem's corner: a package on its way.
    const QRectF badge(Twips(kPictureLeft) + side * 0.62, Twips(kPictureTop) + side * 0.62, side * 0.42,
                       side * 0.42);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(QColor(40, 160, 80));
    painter.drawEllipse(badge);
    const QPointF c = badge.center();
    const qreal u = badge.width() / 8;
    const QPolygonF arrow{{c.x() - u, c.y() - 2.5 * u}, {c.x() + u, c.y() - 2.5 * u}, {c.x() + u, c.y()},
                          {c.x() + 2.4 * u, c.y()},     {c.x(), c.y() + 2.6 * u},     {c.x() - 2.4 * u, c.y()},
                          {c.x() - u, c.y()}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPolygon(arrow);
}

} // namespace velmor
