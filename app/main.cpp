// The console's entry point: bind the two device libraries by name, then run
// the main window on them.

#include "app/Main.h"
#include "app/Application.h"
#include "app/SystemConfig.h"
#include "device/QLibraryDevice.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ConfigureApplication();

    const QString programDir = QCoreApplication::applicationDirPath();
    const QString configDir = ConfigurationDir(programDir);
    // --library-dir DIR, else SYSTEM.CFG's [Device] LibraryDir, else the program's folder.
    const LibraryDirChoice libraries = ChooseLibraryDir(QCoreApplication::arguments(), QDir::currentPath(),
                                                        programDir, SystemConfig::readLibraryDir(configDir));
    if (!libraries.error.isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Error"), libraries.error);
        return 1;
    }
    DeviceLibraries devices;
    try {
        devices = LoadDeviceLibraries(libraries);
    } catch (const dev::BindError& e) {
        // Nothing else has run yet: SYSTEM.CFG is not touched.
        QMessageBox::critical(nullptr, QStringLiteral("Error"), e.message());
        return 1;
    }

    QtMessageService messages;
    TMainForm::Options options;
    options.programDir = configDir;
    options.languageDir = programDir;
    options.executableDir = programDir;
    // Libraries the system's search found have no folder of ours to name.
    options.libraryDir =
        devices.folder.isEmpty() ? QStringLiteral("(found by the system's library search)") : devices.folder;
    options.libraryDirFromCommandLine = libraries.from == LibraryDirChoice::From::CommandLine;
    TMainForm form(dev::DeviceSet{devices.user.get(), devices.service.get()}, messages, options);
    messages.setParent(&form);
    form.show();

    // --screenshot <file.png>: save a picture of the window once it is shown, then close.
    const QStringList args = QCoreApplication::arguments();
    const qsizetype shot = args.indexOf(QStringLiteral("--screenshot"));
    if (shot > 0 && shot + 1 < args.size()) {
        const QString file = args.at(shot + 1);
        QTimer::singleShot(300, &form, [&form, file] {
            if (!form.grab().save(file))
                qWarning("cannot write %s", qPrintable(file));
            form.close();
        });
    }
    return app.exec();
}
