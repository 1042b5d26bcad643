#pragma once

#include <QString>
#include <QStringList>

namespace velmora::app {

// An installed program lives in a folder shared by every user of the
// machine and writable by none of them, yet it decodes its working files
// beside its tables and saves the default district beside itself. Such a
// program therefore works on a copy of its deployment in the user's own
// data folder, kept up to date with what is installed.

// The file the installation puts beside the executable to say so.
QString InstalledMarkerName();

// The folders of a deployment that the program reads from its own folder.
const QStringList& DeploymentFolders();

// $XDG_DATA_HOME/velmora (or its platform equivalent), trailing separator.
QString UserDeploymentDirectory();

// True when the program must work on the user's copy: it was installed
// for all users, or its folder cannot be written.
bool NeedsUserDeployment(const QString& exeDirectory);

// Makes `user` hold the shipped files of `shipped` as they are now: new and
// changed files are copied (writable for the user), files that no longer
// ship are removed from the deployment folders, and everything else in
// `user` (the saved default district) stays. velmora::Error naming the file
// that could not be copied.
void SyncUserDeployment(const QString& shipped, const QString& user);

// Start-up: when needed, brings the user's copy up to date and points the
// program's paths at it. False after telling the estimator when the copy
// cannot be made.
bool PrepareDeployment();

} // namespace velmora::app
