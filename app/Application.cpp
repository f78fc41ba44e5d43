#include "app/Application.h"

#include "app/SystemConfig.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QStandardPaths>

#include <optional>
#include <utility>

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
    // A SYSTEM.CFG that cannot be written is still read: what the user's own
    // file does not name (the port at the first start) comes from it.
    if (file.isFile())
        SystemConfig::readAlsoFrom(own, programDir);
    return own;
}

LibraryDirChoice ChooseLibraryDir(const QStringList& arguments, const QString& currentDir,
                                  const QString& programDir, const QString& configured) {
    const QString option = QStringLiteral("--library-dir");
    LibraryDirChoice choice;
    std::optional<QString> given;
    for (qsizetype i = 1; i < arguments.size(); ++i) { // the last one given wins
        const QString& a = arguments.at(i);
        if (a == option) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty()) {
                choice.error = QStringLiteral("The option %1 needs a folder: %1 DIR").arg(option);
                return choice;
            }
            given = arguments.at(++i);
        } else if (a.startsWith(option + QLatin1Char('='))) {
            given = a.mid(option.size() + 1);
            if (given->isEmpty()) {
                choice.error = QStringLiteral("The option %1 needs a folder: %1 DIR").arg(option);
                return choice;
            }
        }
    }
    if (given) {
        choice.from = LibraryDirChoice::From::CommandLine;
        choice.dir = QDir::cleanPath(QDir(currentDir).absoluteFilePath(*given));
    } else if (!configured.trimmed().isEmpty()) {
        choice.from = LibraryDirChoice::From::Config;
        choice.dir = QDir::cleanPath(QDir(programDir).absoluteFilePath(configured.trimmed()));
    } else {
        choice.dir = QDir::cleanPath(QDir(programDir).absolutePath());
    }
    return choice;
}

DeviceLibraries LoadDeviceLibraries(const LibraryDirChoice& choice) {
    const bool chosen = choice.from != LibraryDirChoice::From::Program;
    const QString where = choice.from == LibraryDirChoice::From::Config
                              ? QStringLiteral(" (SYSTEM.CFG, section Device, key LibraryDir)")
                              : QString();
    if (chosen && !QFileInfo(choice.dir).isDir())
        throw dev::BindError(dev::libraryName(dev::Library::User), QString(),
                             QStringLiteral("The folder \"%1\"%2 does not exist.")
                                 .arg(QDir::toNativeSeparators(choice.dir), where));
    DeviceLibraries loaded;
    auto load = [&](dev::Library which) {
        auto device = std::make_unique<dev::QLibraryDevice>(which, choice.dir);
        const QFileInfo file(device->fileName());
        const QString folder = file.isAbsolute() ? QDir::cleanPath(file.absolutePath()) : QString();
        // A chosen folder is the one place to look: never a copy the system's search found.
        if (chosen && folder != choice.dir)
            throw dev::BindError(dev::libraryName(which), QString(),
                                 QStringLiteral("It is not in the folder \"%1\"%2.")
                                     .arg(QDir::toNativeSeparators(choice.dir), where));
        return std::pair(std::move(device), folder);
    };
    auto [user, folder] = load(dev::Library::User);
    loaded.user = std::move(user);
    loaded.folder = folder;
    loaded.service = load(dev::Library::Service).first;
    return loaded;
}
