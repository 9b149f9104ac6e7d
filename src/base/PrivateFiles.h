#pragma once

#include <QString>

// Files that only their owner may reach: the history, the settings and the
// instance lock live in folders of mode 0700, in files of mode 0600, however
// loose the umask or an earlier version left them.
namespace PrivateFiles {

// Creates the folder at path (missing parents get the usual mode) and takes
// every permission of group and others from it. False when it is not a
// folder of this user's or its mode cannot be changed.
bool makeFolder(const QString &path);

// Takes every permission of group and others from the file at path, when it
// exists; logs a failure.
void restrictFile(const QString &path);

} // namespace PrivateFiles
