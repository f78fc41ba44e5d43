#include "app/SystemConfig.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace SystemConfig {

QString filePath(const QString& programDir) {
    return QDir(programDir).filePath(QStringLiteral("SYSTEM.CFG"));
}

int readPort(const QString& programDir) {
    const QString path = filePath(programDir);
    if (!QFileInfo(path).isFile())
        return 0;
    QSettings ini(path, QSettings::IniFormat);
    bool ok = false;
    const int port = ini.value(QStringLiteral("Comm/Port")).toString().trimmed().toInt(&ok);
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
    const QString path = filePath(programDir);
    if (!QFileInfo(path).isFile())
        return {};
    QSettings ini(path, QSettings::IniFormat);
    const QVariant value = ini.value(QStringLiteral("Device/LibraryDir"));
    // An unquoted value with commas reads as a list of its parts.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", ")).trimmed();
    return value.toString().trimmed();
}

bool writeLibraryDir(const QString& programDir, const QString& libraryDir) {
    return writeValue(programDir, QStringLiteral("Device/LibraryDir"), libraryDir);
}

} // namespace SystemConfig
