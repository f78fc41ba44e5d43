#pragma once
// SYSTEM.CFG in the program's directory: section "Comm", key "Port", the index
// of the chosen port (0 for COM1 ... 11 for COM12, -1 for none); section
// "Device", key "LibraryDir", the folder the device libraries are loaded from
// (absent: the program's folder).

#include <QString>

namespace SystemConfig {

QString filePath(const QString& programDir);

// A folder whose file is read where the file of `configDir` lacks a key: the
// program's folder, when its SYSTEM.CFG cannot be written and the file is kept
// in the user's folder instead (ConfigurationDir). The read-only file is read,
// never written; what the console writes goes to `configDir`'s file and wins
// from then on, key by key.
void readAlsoFrom(const QString& configDir, const QString& readOnlyDir);
// Absent file, absent key or a value that is not a whole number read as 0.
int readPort(const QString& programDir);
// False when the file cannot be written; the old file is then left as it was.
bool writePort(const QString& programDir, int port);

// The folder as written (trimmed); empty when the file or the key is absent.
QString readLibraryDir(const QString& programDir);
// False when the file cannot be written; the old file is then left as it was.
bool writeLibraryDir(const QString& programDir, const QString& libraryDir);

} // namespace SystemConfig
