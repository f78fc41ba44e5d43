#include "app/Application.h"

#include "app/SystemConfig.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QStandardPaths>

void MapWindowsFonts() {
    QFont::insertSubstitutions(QStringLiteral("Arial CE"),
                               {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono")});
    QFont::insertSubstitutions(QStringLiteral("Verdana"), {QStringLiteral("DejaVu Sans")});
}

void ConfigureApplication() {
    // Only the name: a display name would be appended to every title on X11 and Windows.
    QCoreApplication::setApplicationName(QStringLiteral("FiscalConsole"));
    MapWindowsFonts();
}

QString ConfigurationDir(const QString& programDir) {
    const QFileInfo file(SystemConfig::filePath(programDir));
    const bool writable = file.exists() ? file.isWritable() : QFileInfo(programDir).isWritable();
    if (writable)
        return programDir;
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(own);
    return own;
}
