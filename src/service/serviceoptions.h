#pragma once

#include "service/transport.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

namespace velmor {

// Where the programs find the service unless told otherwise: the
// development service on this machine.
inline constexpr char16_t kDefaultServiceUrl[] = u"http://127.0.0.1:48080/YeniRehber.asp";
inline constexpr char16_t kDefaultUpdateUrl[] = u"http://127.0.0.1:48080/download/";

// An absolute http or https address; the empty address when the text is not one.
QUrl WebAddress(const QString &text);

// How the programs reach the service.
struct ServiceOptions
{
    QUrl serviceUrl;
    QUrl updateUrl; // ends in "/"
    int timeoutMs = HttpTransport::DefaultTimeoutMs;
    qint64 maxReplyBytes = HttpTransport::DefaultMaxReplyBytes;
};

// The setting an administrator makes for every user of the machine:
// velmor/velmor.conf in the first folder of XDG_CONFIG_DIRS (/etc/xdg when
// it is not set), keys Service/Url and Service/UpdateUrl. A value that is not
// an http or https address is set aside with a warning (warnings).
struct SystemSettings
{
    QString fileName;
    QUrl serviceUrl; // empty when not set
    QUrl updateUrl;
    QStringList warnings; // Turkish, for standard error
};
SystemSettings ReadSystemSettings();

// The service options both programs take (--service-url, --update-url when
// asked for, --timeout, --max-reply-mb), with one reading: the command line
// over the system setting over the built-in default.
class ServiceCommandLine
{
public:
    enum class UpdateUrl { Without, With };
    explicit ServiceCommandLine(UpdateUrl update, SystemSettings settings = ReadSystemSettings());

    void addTo(QCommandLineParser &parser) const;
    // The options after parser.parse(); nothing, with a Turkish message in
    // error, when a value cannot be used.
    std::optional<ServiceOptions> read(const QCommandLineParser &parser, QString *error) const;

    const SystemSettings &systemSettings() const { return m_settings; }

private:
    SystemSettings m_settings;
    bool m_withUpdateUrl;
    QCommandLineOption m_service;
    QCommandLineOption m_update;
    QCommandLineOption m_timeout;
    QCommandLineOption m_maxReply;
};

// The transport the options describe.
std::shared_ptr<HttpTransport> MakeHttpTransport(const ServiceOptions &options);

} // namespace velmor
