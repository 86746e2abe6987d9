#pragma once

#include <QString>

namespace velmor {

// A group as the phone book's choices offer it: the name shown and the
// number it stands for, so that groups of the same name stay apart.
struct GroupEntry
{
    QString name;
    QString groupNo;
};

} // namespace velmor
