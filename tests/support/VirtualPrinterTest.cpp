#include "VirtualPrinterTest.h"

#include "device/DeviceErrors.h"

#include <QComboBox>
#include <QDir>

void VirtualPrinterTest::SetUp() {
    testApplication();
    ASSERT_TRUE(home.isValid());
    previousDir = QDir::currentPath();
    QDir::setCurrent(home.path());
    qputenv("VPRINTER_HOME", home.filePath(QStringLiteral("printer")).toLocal8Bit());
    qputenv("VPRINTER_INSTANT", "1");
    // CONSOLE_TEST_LIBRARY_DIR runs the same tests on other libraries (the
    // bridge client, forwarding to a host on the virtual printer).
    const QString libraries = qEnvironmentVariableIsEmpty("CONSOLE_TEST_LIBRARY_DIR")
                                  ? QStringLiteral(CONSOLE_BIN_DIR)
                                  : qEnvironmentVariable("CONSOLE_TEST_LIBRARY_DIR");
    user = std::make_unique<dev::QLibraryDevice>(dev::Library::User, libraries);
    service = std::make_unique<dev::QLibraryDevice>(dev::Library::Service, libraries);
    TMainForm::Options o;
    o.programDir = home.path();
    o.languageDir = QStringLiteral(CONSOLE_BIN_DIR);
    if (!withLanguage)
        o.languageLibrary = QStringLiteral("NoSuchLanguageLibrary");
    form = std::make_unique<TMainForm>(dev::DeviceSet{user.get(), service.get()}, messages, o);
    form->findChild<QComboBox*>(QStringLiteral("PortCB"))->setCurrentIndex(0);
    messages.clear();
}

void VirtualPrinterTest::TearDown() {
    if (form)
        form->FormClose();
    form.reset();
    dev::deviceErrors().reset();
    if (!previousDir.isEmpty())
        QDir::setCurrent(previousDir);
}

void VirtualPrinterTest::click(const char* name) {
    auto* b = find<QAbstractButton>(name);
    ASSERT_NE(b, nullptr);
    b->click();
}

void VirtualPrinterTest::expectNoBoxes(const char* step) {
    for (const auto& b : messages.boxes)
        ADD_FAILURE() << step << ": " << b.text.toStdString();
    messages.clear();
}

QByteArray VirtualPrinterTest::run(const protocol::Command& command, const dev::Args& args) {
    const auto a = form->context().frame.run(command, [&] { return args; });
    EXPECT_TRUE(a.has_value()) << command.function;
    return a.value_or(QByteArray());
}
