#pragma once

#include <QString>
#include <QStringView>

namespace velmor {

// The service keeps contact data, customer details and group names inside
// texts joined with "|" and marked with "<>" and section tags. A value that
// carries "|", "<" or ">" would shift the fields after it or break the marks
// on the next load, so such values never go to the service.
bool IsStoreSeparator(QChar ch);
// Whether the value holds "|", "<" or ">".
bool HoldsStoreSeparator(QStringView value);

// The message for a save refused because the field with this caption holds
// one of those characters.
QString StoreSeparatorMessage(const QString &fieldCaption);

} // namespace velmor
