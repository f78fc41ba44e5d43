// The console's entry point: bind the two device libraries by name, then run
// the main window on them.

#include "app/Main.h"
#include "device/QLibraryDevice.h"

#include <QApplication>
#include <QFont>
#include <QMessageBox>

#include <memory>

namespace {
// The window's layout asks for Windows fonts; metric-compatible ones keep the pixel layout.
void mapWindowsFonts() {
    QFont::insertSubstitutions(QStringLiteral("Arial CE"),
                               {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono")});
    QFont::insertSubstitutions(QStringLiteral("Verdana"), {QStringLiteral("DejaVu Sans")});
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("FiscalConsole"));
    QApplication::setApplicationDisplayName(QStringLiteral("Demo"));
    mapWindowsFonts();

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
    TMainForm form(dev::DeviceSet{user.get(), service.get()}, messages, TMainForm::Options{programDir});
    messages.setParent(&form);
    form.show();
    return app.exec();
}
