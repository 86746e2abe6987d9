#pragma once

#include "model/snapshot.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace velmor {

// The groups whose parent number equals the given number as text ("07" is
// not "7"), in list order.
QList<ContactGroup> ChildGroups(const QList<ContactGroup> &groups, const QString &groupNo);

// A group and all its descendants, breadth first: the group itself, its
// children in list order, then their children, and so on. Each group comes
// once, so parents that form a cycle (a group its own parent, A under B
// under A) end the walk instead of repeating it. One pass over the list.
QStringList GroupFamilyNumbers(const QList<ContactGroup> &groups, const QString &groupNo);
// The same numbers joined with "|", as the delete command takes them: "7|9|12|15".
QString GroupFamily(const QList<ContactGroup> &groups, const QString &groupNo);

// The group that takes the contacts of a deleted group family: the deleted
// group's parent when it is a sub-group whose parent exists and is not
// deleted with it; otherwise the default group (the first of the list).
QString UpperGroupNo(const QList<ContactGroup> &groups, const QString &groupNo, const QStringList &family);

// In-place changes of the snapshot that need no reload; each returns how
// many rows it changed.
// Gives every group of that number the name.
int RenameGroupInSnapshot(AccountSnapshot &snapshot, const QString &groupNo, const QString &name);
// Puts every contact of that record number into the group.
int MoveContactInSnapshot(AccountSnapshot &snapshot, const QString &recordNo, const QString &groupNo);

} // namespace velmor
