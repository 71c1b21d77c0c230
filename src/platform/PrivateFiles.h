#pragma once

#include <QByteArray>
#include <QString>

// Files and folders no other local user may read: what they hold is what the
// user said, their texts and their tokens. The application's own folders are
// 0700; every temporary file is 0600 in the application's private temporary
// folder, named by an upper-case UUID.
namespace PrivateFiles {

// Makes the folder (and its missing parents) at mode 0700, or tightens an
// existing folder of this user's to 0700. False when there is no folder at
// path afterwards; a folder that cannot be tightened is logged and kept.
bool ensureDir(const QString& path);

// The application's temporary folder: "Ormil/tmp" in the user's cache folder,
// made or tightened to 0700 and never a link or another user's folder. Where
// it cannot be had, a fresh private folder made for this process in the
// system's temporary folder (said once in the log).
QString temporaryDirectory();

// A name in temporaryDirectory() that no file has yet: prefix + a new UUID in
// upper case + suffix. For writers that create the file themselves, at 0600
// and exclusively.
QString temporaryPath(const QString& prefix, const QString& suffix);

// Creates a new empty temporary file (0600, exclusively, never through a
// link) as temporaryPath() names it. Empty when it cannot be made.
QString createTemporaryFile(const QString& prefix, const QString& suffix);

// Writes data into a private file at path: created exclusively at 0600, or an
// existing file of ours truncated and tightened to 0600; never through a link.
// Nothing is left at path when the write fails.
bool writeFile(const QString& path, const QByteArray& data);

// A new temporary file holding data; empty (and nothing left) on failure.
QString writeTemporaryFile(const QString& prefix, const QString& suffix, const QByteArray& data);

}  // namespace PrivateFiles
