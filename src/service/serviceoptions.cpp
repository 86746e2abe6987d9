#include "service/serviceoptions.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace velmor {

namespace {

// The package name is appended to the update base, so the base ends in "/".
QUrl updateBase(QUrl url)
{
    if (!url.isEmpty() && !url.path().endsWith(u'/'))
        url.setPath(url.path() + u'/');
    return url;
}

QUrl settingUrl(const QSettings &settings, const QString &key, QStringList &warnings)
{
    const QString text = settings.value(key).toString().trimmed();
    if (text.isEmpty())
        return {};
    const QUrl url = WebAddress(text);
    if (url.isEmpty())
        warnings.append(u"%1: %2 bir http ya da https adresi değil, kullanılmadı: %3"_s.arg(settings.fileName(), key, text));
    return url;
}

QString defaultText(const QUrl &setting, const char16_t *builtIn)
{
    return setting.isEmpty() ? QString::fromUtf16(builtIn) : setting.toString();
}

} // namespace

QUrl WebAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return {};
    return url;
}

SystemSettings ReadSystemSettings()
{
    // The native format of Unix is the ini file under the XDG folders.
    QSettings settings(QSettings::NativeFormat, QSettings::SystemScope, u"velmor"_s, u"velmor"_s);
    settings.setFallbacksEnabled(false);
    SystemSettings read;
    read.fileName = settings.fileName();
    read.serviceUrl = settingUrl(settings, u"Service/Url"_s, read.warnings);
    read.updateUrl = updateBase(settingUrl(settings, u"Service/UpdateUrl"_s, read.warnings));
    return read;
}

ServiceCommandLine::ServiceCommandLine(UpdateUrl update, SystemSettings settings)
    : m_settings(std::move(settings)), m_withUpdateUrl(update == UpdateUrl::With),
      m_service(u"service-url"_s, u"Address of the service endpoint (default: %1)."_s.arg(
                                      defaultText(m_settings.serviceUrl, kDefaultServiceUrl)),
                u"URL"_s, defaultText(m_settings.serviceUrl, kDefaultServiceUrl)),
      m_update(u"update-url"_s, u"Base address of the update download (default: %1)."_s.arg(
                                    defaultText(m_settings.updateUrl, kDefaultUpdateUrl)),
               u"URL"_s, defaultText(m_settings.updateUrl, kDefaultUpdateUrl)),
      m_timeout(u"timeout"_s,
                u"Seconds of silence after which a request to the service%1 is given up; 0 waits without limit "
                "(default: 30)."_s.arg(m_withUpdateUrl ? u" or the update download"_s : QString()),
                u"SECONDS"_s, u"30"_s),
      m_maxReply(u"max-reply-mb"_s,
                 u"Largest reply of the service to accept, in MiB; a larger one fails the request (default: 512)."_s,
                 u"MIB"_s, u"512"_s)
{
}

void ServiceCommandLine::addTo(QCommandLineParser &parser) const
{
    parser.addOption(m_service);
    if (m_withUpdateUrl)
        parser.addOption(m_update);
    parser.addOption(m_timeout);
    parser.addOption(m_maxReply);
}

std::optional<ServiceOptions> ServiceCommandLine::read(const QCommandLineParser &parser, QString *error) const
{
    ServiceOptions options;
    options.serviceUrl = WebAddress(parser.value(m_service));
    if (options.serviceUrl.isEmpty()) {
        *error = u"--service-url: bir http ya da https adresi değil: %1"_s.arg(parser.value(m_service));
        return std::nullopt;
    }
    if (m_withUpdateUrl) {
        options.updateUrl = updateBase(WebAddress(parser.value(m_update)));
        if (options.updateUrl.isEmpty()) {
            *error = u"--update-url: bir http ya da https adresi değil: %1"_s.arg(parser.value(m_update));
            return std::nullopt;
        }
    }

    bool ok = false;
    const int seconds = parser.value(m_timeout).toInt(&ok);
    if (!ok || seconds < 0 || seconds > 24 * 60 * 60) {
        *error = u"--timeout: 0 ile 86400 arasında bir tam sayı (saniye) bekleniyordu: %1"_s.arg(parser.value(m_timeout));
        return std::nullopt;
    }
    options.timeoutMs = seconds * 1000;

    const int mebibytes = parser.value(m_maxReply).toInt(&ok);
    if (!ok || mebibytes < 1 || mebibytes > 16384) {
        *error = u"--max-reply-mb: 1 ile 16384 arasında bir tam sayı (MiB) bekleniyordu: %1"_s.arg(
            parser.value(m_maxReply));
        return std::nullopt;
    }
    options.maxReplyBytes = qint64(mebibytes) * 1024 * 1024;
    return options;
}

std::shared_ptr<HttpTransport> MakeHttpTransport(const ServiceOptions &options)
{
    auto transport = std::make_shared<HttpTransport>(options.serviceUrl, options.timeoutMs);
    transport->setMaxReplyBytes(options.maxReplyBytes);
    return transport;
}

} // namespace velmor
