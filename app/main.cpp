// The console's entry point: bind the two device libraries by name, then run
// the main window on them.

#include "app/Main.h"
#include "app/Application.h"
#include "device/QLibraryDevice.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ConfigureApplication();

    const QString programDir = QCoreApplication::applicationDirPath();
    std::unique_ptr<dev::QLibraryDevice> user, service;
    try {
        user = std::make_unique<dev::QLibraryDevice>(dev::Library::User, programDir);
        service = std::make_unique<dev::QLibraryDevice>(dev::Library::Service, programDir);
    } catch (const dev::BindError& e) {
        // Nothing else has run yet: SYSTEM.CFG is not touched.
        QMessageBox::critical(nullptr, QStringLiteral("Error"), e.message());
        return 1;
    }

    QtMessageService messages;
    TMainForm::Options options;
    options.programDir = ConfigurationDir(programDir);
    options.languageDir = programDir;
    TMainForm form(dev::DeviceSet{user.get(), service.get()}, messages, options);
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
