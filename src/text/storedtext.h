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

// Control characters (U+0000 to U+001F, U+007F to U+009F: NUL, escape,
// tab, line breaks and the like) have no place in a one-line field: a field
// would show them as blanks or boxes and save them back unseen. A value shown
// in a field is taken without them: a tab or a run of line breaks becomes
// one space, so that the words on either side stay apart; the others go.
bool IsControlCharacter(QChar ch);
bool HoldsControlCharacter(QStringView value);
QString WithoutControlCharacters(QStringView value);

// The message for a save refused because the field with this caption holds
// one of those characters.
QString StoreSeparatorMessage(const QString &fieldCaption);

} // namespace velmor
