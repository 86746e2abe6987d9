#pragma once

#include <QString>
#include <QStringView>

namespace velmor {

// The program's release, from the build: major, minor and revision.
struct ProgramVersion
{
    int majorNumber = VELMOR_VERSION_MAJOR;
    int minorNumber = VELMOR_VERSION_MINOR;
    int revision = VELMOR_VERSION_PATCH;
};

// The version number the service's newest release is compared with: the
// digits of major and minor followed by the revision with four digits, read as
// one number (1.0 revision 12 gives 100012).
qint64 OwnVersionNumber(const ProgramVersion &version = {});

// "1.0.0012": major, minor and the revision with four digits.
QString VersionText(const ProgramVersion &version = {});

// A version field of the service as the update window shows it: its first
// character, ".", its second character, ".", its last four characters
// ("100012" gives "1.0.0012").
QString VersionFieldText(const QString &field);

// The number value of a version field: its leading digits, 0 when it does not
// start with a digit. Values too large for the type saturate.
qint64 VersionFieldNumber(QStringView text);

// The start-up decision on the reply of the newest-release query: true when
// the reply carries a version field and a package field and the version is
// higher than the own number. No reply, or one without "|", offers nothing.
bool IsUpdateOffered(const QString &latestVersionPayload, qint64 ownVersionNumber = OwnVersionNumber());

} // namespace velmor
