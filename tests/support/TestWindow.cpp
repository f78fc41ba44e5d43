#include "TestWindow.h"

#include "app/Application.h"

#include <QAbstractButton>
#include <QTest>

QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "console-tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        auto* a = new QApplication(argc, argv);
        ConfigureApplication();
        return a;
    }();
    return *app;
}

TestWindow::TestWindow(bool withLanguage, const QString& programDir) {
    testApplication();
    TMainForm::Options o;
    o.programDir = programDir.isEmpty() ? dir.path() : programDir;
    o.languageDir = QStringLiteral(CONSOLE_BIN_DIR);
    if (!withLanguage)
        o.languageLibrary = QStringLiteral("NoSuchLanguageLibrary");
    form = std::make_unique<TMainForm>(dev::DeviceSet{&user, &service}, messages, o);
}

TestWindow::~TestWindow() {
    form.reset();
}

void TestWindow::click(const QString& buttonName) {
    auto* b = form->findChild<QAbstractButton*>(buttonName);
    ASSERT_NE(b, nullptr) << "no button named " << buttonName.toStdString();
    b->click();
    QCoreApplication::processEvents();
}
