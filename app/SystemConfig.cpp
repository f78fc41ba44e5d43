#include "app/SystemConfig.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSettings>

namespace SystemConfig {

QString filePath(const QString& programDir) {
    return QDir(programDir).filePath(QStringLiteral("SYSTEM.CFG"));
}

namespace {
QString folderKey(const QString& dir) {
    return QDir::cleanPath(QDir(dir).absolutePath());
}

QHash<QString, QString>& readOnlyFolders() {
    static QHash<QString, QString> folders;
    return folders;
}

// The key's value from `dir`'s file, else from the read-only file read with it;
// an invalid QVariant when neither names the key.
QVariant readValue(const QString& dir, const QString& key) {
    QStringList paths{filePath(dir)};
    const auto also = readOnlyFolders().constFind(folderKey(dir));
    if (also != readOnlyFolders().constEnd())
        paths.append(filePath(*also));
    for (const QString& path : paths) {
        if (!QFileInfo(path).isFile())
            continue;
        const QSettings ini(path, QSettings::IniFormat);
        if (ini.contains(key))
            return ini.value(key);
    }
    return {};
}
} // namespace

void readAlsoFrom(const QString& configDir, const QString& readOnlyDir) {
    readOnlyFolders().insert(folderKey(configDir), readOnlyDir);
}

int readPort(const QString& programDir) {
    bool ok = false;
    const int port = readValue(programDir, QStringLiteral("Comm/Port")).toString().trimmed().toInt(&ok);
    return ok ? port : 0;
}

namespace {
bool writeValue(const QString& programDir, const QString& key, const QVariant& value) {
    const QString path = filePath(programDir);
    const QFileInfo dir(QFileInfo(path).absolutePath());
    if (!dir.isDir() || !dir.isWritable())
        return false;
    if (QFileInfo::exists(path) && !QFileInfo(path).isWritable())
        return false;
    // QSettings writes through a temporary file and a rename, so a failed write
    // never leaves half a file.
    QSettings ini(path, QSettings::IniFormat);
    ini.setValue(key, value);
    ini.sync();
    return ini.status() == QSettings::NoError;
}
} // namespace

bool writePort(const QString& programDir, int port) {
    return writeValue(programDir, QStringLiteral("Comm/Port"), port);
}

QString readLibraryDir(const QString& programDir) {
    const QVariant value = readValue(programDir, QStringLiteral("Device/LibraryDir"));
    // An unquoted value with commas reads as a list of its parts.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", ")).trimmed();
    return value.toString().trimmed();
}

bool writeLibraryDir(const QString& programDir, const QString& libraryDir) {
    return writeValue(programDir, QStringLiteral("Device/LibraryDir"), libraryDir);
}

} // namespace SystemConfig
