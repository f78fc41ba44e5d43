// The status bar's printer label, and the bridge set-up opened from the main
// window: its controls by name, a folder of DLLs checked, Save and Test.
#include "RecordingMessages.h"
#include "ScriptedDevice.h"
#include "TestWindow.h"
#include "app/BridgeDialog.h"
#include "app/BridgeSetup.h"
#include "app/SystemConfig.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace bridgesetup;

namespace {

// The bridge client as the window sees it: it describes what it forwards to.
struct BridgeClient : ScriptedDevice {
    int32_t describeBridge(QByteArray* value) override {
        *value = "ssh shop-pc tavo-bridge-x86.exe --dir C:\\Drukarka \xc5\x81\xc3\xb3"
                 "d\xc5\xba";
        return TAVO_EXT_OK;
    }
};

struct Window {
    Window(dev::IDeviceLibrary& user, const QString& libraryDir, bool language, const QString& dir,
           const QString& executableDir = QString()) {
        testApplication();
        TMainForm::Options o;
        o.programDir = dir;
        o.executableDir = executableDir.isEmpty() ? dir : executableDir;
        o.libraryDir = libraryDir;
        o.languageDir = QStringLiteral(CONSOLE_BIN_DIR);
        if (!language)
            o.languageLibrary = QStringLiteral("NoSuchLanguageLibrary");
        form = std::make_unique<TMainForm>(dev::DeviceSet{&user, &service}, messages, o);
    }
    ScriptedDevice service{"service"};
    RecordingMessages messages;
    std::unique_ptr<TMainForm> form;
};

QByteArray peHeader(uint16_t machine) {
    QByteArray b(0x100, '\0');
    b.replace(0, 2, "MZ");
    b[0x3C] = char(0x80);
    b.replace(0x80, 4, QByteArray("PE\0\0", 4));
    b[0x84] = char(machine & 0xff);
    b[0x85] = char(machine >> 8);
    return b;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(PrinterLabel, TellsWhichPrinterTheConsoleDrives) {
    struct Case {
        const char* what;
        bool virtualPrinter, bridge, language;
        QString libraryDir, text, action;
    };
    const QString polishBridge = QString::fromUtf8("ssh shop-pc tavo-bridge-x86.exe --dir C:\\Drukarka Łódź");
    const Case cases[] = {
        {"virtual", true, false, false, "/opt/fc", "Virtual printer", "Real printer (bridge)..."},
        {"virtual, Polish", true, false, true, "/opt/fc", "Drukarka wirtualna",
         "Drukarka rzeczywista (mostek)..."},
        {"bridge", false, true, false, "/opt/fc/bridge", "Bridge: " + polishBridge,
         "Real printer (bridge)..."},
        {"bridge, Polish", false, true, true, "/opt/fc/bridge", "Mostek: " + polishBridge,
         "Drukarka rzeczywista (mostek)..."},
        {"maker's", false, false, false, "/srv/maker", "Device libraries: /srv/maker",
         "Real printer (bridge)..."},
        {"maker's, Polish", false, false, true, "/srv/maker",
         QString::fromUtf8("Biblioteki urządzenia: /srv/maker"), "Drukarka rzeczywista (mostek)..."},
        {"not known", false, false, false, "", "", "Real printer (bridge)..."},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        BridgeClient bridge;
        ScriptedDevice plain;
        plain.extensions = c.virtualPrinter;
        Window w(c.bridge ? static_cast<dev::IDeviceLibrary&>(bridge) : plain, c.libraryDir, c.language,
                 dir.path());
        auto* label = w.form->findChild<QLabel*>("lbPrinter");
        auto* button = w.form->findChild<QToolButton*>("btnBridge");
        auto* action = w.form->findChild<QAction*>("actBridge");
        ASSERT_TRUE(label && button && action) << c.what;
        EXPECT_EQ(label->text(), c.text) << c.what;
        EXPECT_EQ(label->toolTip(), c.libraryDir) << c.what;
        EXPECT_EQ(label->isVisibleTo(w.form.get()), !c.text.isEmpty()) << c.what;
        EXPECT_EQ(button->isVisibleTo(w.form.get()), !c.text.isEmpty()) << c.what;
        EXPECT_EQ(action->text(), c.action) << c.what;
        EXPECT_EQ(action->shortcut(), QKeySequence("Ctrl+Shift+B")) << c.what;
    }
}

TEST(BridgeDialogTest, OpensFromTheWindowChecksTheFolderSavesAndTests) {
    QTemporaryDir tmp;
    const ScopedEnvironment config("XDG_CONFIG_HOME", QFile::encodeName(tmp.filePath("config")));
    const ScopedEnvironment data("XDG_DATA_HOME", QFile::encodeName(tmp.filePath("data")));
    const QString program = tmp.filePath("console"), dlls = tmp.filePath("Maker DLLs");
    QDir().mkpath(program);
    QDir().mkpath(dlls);
    writeFile(dlls + "/TavoUser.dll", peHeader(0x14c));
    writeFile(dlls + "/TAVOSRV.DLL", peHeader(0x14c));
    writeFile(tmp.filePath("ttyUSB0"), "");

    ScriptedDevice user;
    user.extensions = true;
    Window w(user, program, false, program);
    w.form->show();
    w.form->findChild<QComboBox*>("PortCB")->setCurrentIndex(2);
    auto* action = w.form->findChild<QAction*>("actBridge");
    ASSERT_NE(action, nullptr);
    action->trigger();
    auto* dialog = w.form->findChild<BridgeDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
    auto find = [dialog](const char* name) {
        auto* widget = dialog->findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    };
    for (const char* name : {"edDllFolder", "btnBrowseDlls", "lbDllCheck", "edCommand", "btnFillCommand",
                             "edName", "lbWine", "cbTestPort", "btnTest", "progressTest", "btnCancelTest",
                             "lbTestResult", "lbPrefix", "lbMessage", "btnSave", "btnClose"})
        find(name);
    for (int com = 1; com <= kComPorts; ++com)
        EXPECT_NE(dialog->findChild<QComboBox*>(QStringLiteral("cbCom%1").arg(com)), nullptr) << com;
    EXPECT_EQ(static_cast<QComboBox*>(find("cbTestPort"))->currentText(), "COM3");
    EXPECT_FALSE(find("progressTest")->isVisible());

    // Typing the folder checks it and fills in the command.
    QTest::keyClicks(find("edDllFolder"), dlls);
    EXPECT_EQ(static_cast<QLabel*>(find("lbDllCheck"))->text(),
              "TavoUser.dll and TavoSrv.dll found: 32-bit (x86).");
    const QString wine = chooseWine(Machine::X86, findWine()).program;
    const QString command = wine + " \"" + program + "/bridge/tavo-bridge-x86.exe\" --dir \"" + dlls + "\"";
    EXPECT_EQ(static_cast<QLineEdit*>(find("edCommand"))->text(), command);
    static_cast<QLineEdit*>(find("edName"))->setText("Till 2");
    dialog->findChild<QComboBox*>("cbCom1")->setCurrentText(tmp.filePath("ttyUSB0"));

    QTest::mouseClick(static_cast<QPushButton*>(find("btnSave")), Qt::LeftButton);
    EXPECT_EQ(QFile(settingsPath()).exists(), true);
    QFile ini(tmp.filePath("config/FiscalConsole/bridge.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(),
              "# The bridge client's settings (docs/bridge.md), written by the Fiscal Printer Service "
              "Console.\ncommand=" +
                  command.toUtf8() +
                  "\nname=Till 2\nwineprefix=" + tmp.filePath("data/fiscal-console/wine").toUtf8() + "\n");
    EXPECT_EQ(SystemConfig::readLibraryDir(program), program + "/bridge");
    EXPECT_EQ(readPortLinks(tmp.filePath("data/fiscal-console/wine")),
              (std::map<int, QString>{{1, tmp.filePath("ttyUSB0")}}));
    EXPECT_EQ(dialog->message(),
              "Saved " + settingsPath() + ".\nPorts: COM1 -> " + tmp.filePath("ttyUSB0") +
                  ".\nSYSTEM.CFG now loads the device libraries from " + program +
                  "/bridge: the console drives the printer through the bridge from its next "
                  "start.");

    // Test: the window's link is closed first; here no bridge client is beside the program
    // (and the virtual printer's library, loaded by name, is not taken for it).
    w.form->context().frame.EnsureLinkOpen(dev::Library::User);
    user.clearCalls();
    QTest::mouseClick(static_cast<QPushButton*>(find("btnTest")), Qt::LeftButton);
    EXPECT_EQ(user.functions(), std::vector<std::string>{"CloseTavo"});
    const QString result = static_cast<QLabel*>(find("lbTestResult"))->text().remove(QChar(0x200b));
    EXPECT_TRUE(result.startsWith("Cannot load the device library \"TavoUser\".") ||
                result == "The bridge client's TavoUser library is not in " + program + "/bridge.")
        << result.toStdString();
    EXPECT_TRUE(result.contains(program + "/bridge")) << result.toStdString();
    EXPECT_FALSE(dialog->testing());
    EXPECT_TRUE(find("btnTest")->isEnabled());
    EXPECT_FALSE(qEnvironmentVariableIsSet("TAVO_BRIDGE_CONFIG"));

    QTest::mouseClick(static_cast<QPushButton*>(find("btnClose")), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
}

// The Test through the bridge's own client and its Linux host, on the virtual
// printer behind it; then a host that never says hello, cancelled while it starts.
TEST(BridgeDialogTest, TestRunsPrinterStatusThroughTheBridgeAndCancels) {
#ifndef CONSOLE_BRIDGE_BUILT
    GTEST_SKIP() << "the bridge is not built";
#else
    QTemporaryDir tmp;
    const ScopedEnvironment config("XDG_CONFIG_HOME", QFile::encodeName(tmp.filePath("config")));
    const ScopedEnvironment data("XDG_DATA_HOME", QFile::encodeName(tmp.filePath("data")));
    ScriptedDevice user;
    Window w(user, tmp.path(), false, tmp.path(), CONSOLE_BIN_DIR);
    w.form->findChild<QComboBox*>("PortCB")->setCurrentIndex(1);
    BridgeDialog* dialog = w.form->openBridgeDialog();
    ASSERT_NE(dialog, nullptr);
    auto* command = dialog->findChild<QLineEdit*>("edCommand");
    auto* result = dialog->findChild<QLabel*>("lbTestResult");
    auto* test = dialog->findChild<QPushButton*>("btnTest");
    const QString bin = QDir::cleanPath(CONSOLE_BIN_DIR);
    command->setText("\"" + bin + "/tavo-bridge\" --dir \"" + bin + "\"");
    test->click();
    EXPECT_TRUE(result->text().startsWith("Printer Status answered (status 0, sub-code 0), "))
        << result->text().toStdString();
    EXPECT_FALSE(QFile::exists(settingsPath())); // a test saves nothing
    EXPECT_FALSE(qEnvironmentVariableIsSet("TAVO_BRIDGE_CONFIG"));

    // The window stays alive while the host starts: Cancel is pressed from the idle handler.
    command->setText("sh -c \"sleep 60\" host");
    QTimer::singleShot(200, dialog, [dialog] {
        EXPECT_TRUE(dialog->testing());
        EXPECT_TRUE(dialog->findChild<QProgressBar*>("progressTest")->isVisible());
        dialog->findChild<QPushButton*>("btnCancelTest")->click();
    });
    test->click();
    EXPECT_FALSE(dialog->testing());
    EXPECT_TRUE(result->text().startsWith("Cancelled.\nThe link did not open on COM2"))
        << result->text().toStdString();
    EXPECT_FALSE(dialog->findChild<QProgressBar*>("progressTest")->isVisible());
#endif
}
