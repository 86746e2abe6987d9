#pragma once

#include "wire.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace velmor::dev {

class Store;

struct CommandContext
{
    QString latestVersion;     // command 30, field 1
    QString packageName;       // command 30, field 2
    QDateTime now;             // the service's clock
    QString undeliveredSuffix; // command 3: mobile numbers ending in these digits are not delivered
};

// The command code of a request ("Rehber"), or -1 when there is none or it is
// not a number.
int CommandCode(const FormFields &fields);

// Carries out one request and gives its decoded payload as UTF-8 (the bytes
// that the reply codes); nullopt when the request cannot be understood
// (unknown command, a field missing, a coded value that does not decode),
// which gets a page without markers.
std::optional<QByteArray> HandleCommand(Store &store, const FormFields &fields, const CommandContext &context);

// The client's own version number: major, minor and the patch level as four
// digits (1.0.12 gives 100012).
QString OwnVersionNumber();
QString DefaultPackageName();

// True when a value would break the reply layout if stored: it holds a row
// separator "<>" or a section tag, or (when pipeAllowed is false) a "|".
bool BreaksLayout(const QString &value, bool pipeAllowed = false);

} // namespace velmor::dev
