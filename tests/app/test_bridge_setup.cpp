// Where the device libraries come from (--library-dir, SYSTEM.CFG), and the
// bridge set-up's logic: the DLLs' machine from their PE header, the host's
// command line, the client's settings file, Wine's COM port links and the
// Printer Status test through a library.
#include "ScriptedDevice.h"
#include "TestWindow.h"
#include "app/Application.h"
#include "app/BridgeSetup.h"
#include "device/DeviceErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace bridgesetup;

// Lists compared in a failure message as their texts.
static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

// A DOS header whose e_lfanew points at `offset`, "PE\0\0" there, then the machine.
QByteArray peHeader(uint16_t machine, uint32_t offset = 0x80,
                    QByteArray signature = QByteArray("PE\0\0", 4)) {
    QByteArray b(std::max<qsizetype>(static_cast<qsizetype>(offset) + 24, 0x40), '\0');
    b[0] = 'M';
    b[1] = 'Z';
    for (int i = 0; i < 4; ++i)
        b[0x3C + i] = static_cast<char>((offset >> (8 * i)) & 0xff);
    b.replace(offset, 4, signature);
    b[offset + 4] = static_cast<char>(machine & 0xff);
    b[offset + 5] = static_cast<char>(machine >> 8);
    return b;
}

} // namespace

TEST(LibraryDir, CommandLineWinsThenSystemCfgThenTheProgramFolder) {
    const QString cwd = "/home/anna/work", program = "/opt/fiscal-console";
    struct Case {
        QStringList args;
        QString configured;
        LibraryDirChoice::From from;
        QString dir; // expected, or
        bool error;  // "--library-dir" without a folder
    };
    using F = LibraryDirChoice::From;
    const Case cases[] = {
        {{}, "", F::Program, program, false},
        {{}, "   ", F::Program, program, false},
        {{"--library-dir", "/srv/maker"}, "", F::CommandLine, "/srv/maker", false},
        {{"--library-dir", "printer/../dlls/"}, "", F::CommandLine, cwd + "/dlls", false},
        {{"--library-dir=My Printer"}, "", F::CommandLine, cwd + "/My Printer", false},
        {{"--library-dir", "/srv/maker"}, "bridge", F::CommandLine, "/srv/maker", false},
        {{"--library-dir", "/a", "--library-dir", "/b"}, "", F::CommandLine, "/b", false},
        {{}, "bridge", F::Config, program + "/bridge", false},
        {{}, " /usr/lib/fiscal-console/bridge/ ", F::Config, "/usr/lib/fiscal-console/bridge", false},
        {{"--screenshot", "x.png"}, "../maker", F::Config, "/opt/maker", false},
        {{"--library-dir"}, "bridge", F::Program, "", true},
        {{"--library-dir="}, "", F::Program, "", true},
        {{"--library-dir", ""}, "", F::Program, "", true},
    };
    for (const Case& c : cases) {
        const LibraryDirChoice got =
            ChooseLibraryDir(QStringList{"FiscalConsole"} + c.args, cwd, program, c.configured);
        const std::string what = (c.args.join(' ') + " | config: " + c.configured).toStdString();
        EXPECT_EQ(got.error.isEmpty(), !c.error) << what << ": " << got.error.toStdString();
        if (c.error)
            continue;
        EXPECT_EQ(got.from, c.from) << what;
        EXPECT_EQ(got.dir, c.dir) << what;
    }
}

TEST(LibraryDir, AChosenFolderMustHoldTheLibraries) {
    testApplication();
    QTemporaryDir tmp;
    auto message = [](const LibraryDirChoice& choice) {
        try {
            LoadDeviceLibraries(choice);
        } catch (const dev::BindError& e) {
            return e.message();
        }
        return QStringLiteral("(loaded)");
    };
    using F = LibraryDirChoice::From;
    const QString gone = tmp.path() + "/gone";
    EXPECT_EQ(message({F::CommandLine, gone, {}}),
              "Cannot load the device library \"TavoUser\".\nThe folder \"" + gone + "\" does not exist.");
    EXPECT_EQ(message({F::Config, gone, {}}),
              "Cannot load the device library \"TavoUser\".\nThe folder \"" + gone +
                  "\" (SYSTEM.CFG, section Device, key LibraryDir) does not exist.");
    // A folder without the libraries: the reason names the library's path in it.
    const QString empty = message({F::CommandLine, tmp.path(), {}});
    EXPECT_TRUE(empty.startsWith("Cannot load the device library \"TavoUser\".")) << empty.toStdString();
    EXPECT_TRUE(empty.contains(tmp.path())) << empty.toStdString();
    // The virtual printer's folder: both bound, from there.
    qputenv("VPRINTER_INSTANT", "1");
    const DeviceLibraries loaded = LoadDeviceLibraries({F::CommandLine, CONSOLE_BIN_DIR, {}});
    EXPECT_EQ(loaded.folder, QDir::cleanPath(CONSOLE_BIN_DIR));
    EXPECT_TRUE(loaded.service->fileName().startsWith(CONSOLE_BIN_DIR));
}

TEST(BridgeSetup, MachineFromThePeHeader) {
    QByteArray garbage;
    for (int i = 0; i < 300; ++i)
        garbage.append(static_cast<char>((i * 7919 + 13) & 0xff));
    QByteArray cut = peHeader(0x14c);
    cut.truncate(0x80 + 5); // the machine's second byte missing
    QByteArray farOffset = peHeader(0x14c);
    farOffset.replace(0x3C, 4, QByteArray("\xff\xff\xff\xff", 4));
    struct Case {
        const char* what;
        QByteArray head;
        std::optional<Machine> machine;
        QString error;
    };
    const Case cases[] = {
        {"x86", peHeader(0x14c), Machine::X86, ""},
        {"x86-64", peHeader(0x8664), Machine::X64, ""},
        {"x86 with its header far in", peHeader(0x14c, 0x1000), Machine::X86, ""},
        {"ARM64", peHeader(0xAA64), std::nullopt,
         "a library for another processor (machine 0xaa64), neither x86 nor x86-64"},
        {"empty", QByteArray(), std::nullopt, "not a Windows library (no MZ header)"},
        {"shorter than a DOS header", peHeader(0x14c).left(0x3F), std::nullopt,
         "not a Windows library (no MZ header)"},
        {"a text file", QByteArray(100, 'x'), std::nullopt, "not a Windows library (no MZ header)"},
        {"garbage", garbage, std::nullopt, "not a Windows library (no MZ header)"},
        {"cut inside the file header", cut, std::nullopt,
         "not a Windows library (its PE header lies outside the file: cut short?)"},
        {"e_lfanew beyond any file", farOffset, std::nullopt,
         "not a Windows library (its PE header lies outside the file: cut short?)"},
        {"a header inside the DOS header's room", peHeader(0x8664, 0x20), Machine::X64, ""},
        {"no PE signature", peHeader(0x14c, 0x80, QByteArray("NE\0\0", 4)), std::nullopt,
         "not a Windows library (no PE signature)"},
    };
    for (const Case& c : cases) {
        const PeMachine got = readPeMachine(c.head);
        EXPECT_EQ(got.machine, c.machine) << c.what;
        EXPECT_EQ(got.error, c.error) << c.what;
    }

    // From files: the names in any case, the header read where e_lfanew says.
    QTemporaryDir dir;
    writeFile(dir.filePath("TAVOUSER.DLL"), peHeader(0x8664, 0x20000));
    writeFile(dir.filePath("tavosrv.dll"), peHeader(0x8664));
    DllFolder found = checkDllFolder(dir.path());
    EXPECT_EQ(found.error, "");
    EXPECT_EQ(found.machine, Machine::X64);
    EXPECT_EQ(found.userDll, dir.filePath("TAVOUSER.DLL"));
    QFile::remove(dir.filePath("tavosrv.dll"));
    EXPECT_EQ(checkDllFolder(dir.path()).error, "TavoSrv.dll is not in " + dir.path() + ".");
    writeFile(dir.filePath("TavoSrv.dll"), peHeader(0x14c));
    writeFile(dir.filePath("TAVOUSER.DLL"), peHeader(0x14c).left(0x82));
    EXPECT_EQ(checkDllFolder(dir.path()).error,
              "TAVOUSER.DLL is not a Windows library (its PE header lies outside the file: cut short?).");
    EXPECT_EQ(checkDllFolder(dir.filePath("gone")).error,
              "The folder " + dir.filePath("gone") + " does not exist.");
    QTemporaryDir none;
    EXPECT_EQ(checkDllFolder(none.path()).error,
              "TavoUser.dll and TavoSrv.dll are not in " + none.path() + ".");
}

TEST(BridgeSetup, CommandLineAndSettingsFile) {
    const QString program = "/opt/fiscal console"; // a space in the console's own folder too
    const WineFound path{"/usr/bin/wine", true, true, true};
    const WineFound only64{"", true, false, true};
    const WineFound none{"", false, false, false};
    const WineFound otherLayout{"/opt/wine/bin/wine", false, false, false};
    struct Case {
        Machine machine;
        WineFound wine;
        QString folder;
        QString command; // expected, or empty for an error
        QString problem; // what chooseWine says is missing ("" none)
    };
    const QString missing32 = "32-bit Wine is missing";
    const Case cases[] = {
        {Machine::X86, path, "/home/anna/printer",
         "wine \"/opt/fiscal console/bridge/tavo-bridge-x86.exe\" --dir \"/home/anna/printer\"", ""},
        {Machine::X64, path, "/home/anna/My Printer/",
         "wine \"/opt/fiscal console/bridge/tavo-bridge-x64.exe\" --dir \"/home/anna/My Printer\"", ""},
        {Machine::X64, only64, "/srv/dll",
         "/usr/lib/wine/wine64 \"/opt/fiscal console/bridge/tavo-bridge-x64.exe\" --dir \"/srv/dll\"", ""},
        {Machine::X86, only64, "/srv/dll",
         "/usr/lib/wine/wine \"/opt/fiscal console/bridge/tavo-bridge-x86.exe\" --dir \"/srv/dll\"",
         missing32},
        {Machine::X86,
         {"/usr/bin/wine", true, false, true},
         "/srv/dll",
         "wine \"/opt/fiscal console/bridge/tavo-bridge-x86.exe\" --dir \"/srv/dll\"",
         missing32},
        {Machine::X64, none, "/srv/dll",
         "wine \"/opt/fiscal console/bridge/tavo-bridge-x64.exe\" --dir \"/srv/dll\"",
         "Wine is not installed"},
        {Machine::X86, otherLayout, "/srv/dll",
         "wine \"/opt/fiscal console/bridge/tavo-bridge-x86.exe\" --dir \"/srv/dll\"", ""},
        {Machine::X86, path, "/srv/the \"best\" shop",
         "wine \"/opt/fiscal console/bridge/tavo-bridge-x86.exe\" --dir '/srv/the \"best\" shop'", ""},
        {Machine::X86, path, "/srv/Anna's \"best\" shop", "", ""},
    };
    for (const Case& c : cases) {
        const std::string what = c.folder.toStdString();
        const WineChoice wine = chooseWine(c.machine, c.wine);
        EXPECT_EQ(wine.problem.isEmpty(), c.problem.isEmpty()) << what << ": " << wine.problem.toStdString();
        if (!c.problem.isEmpty()) {
            EXPECT_TRUE(wine.problem.startsWith(c.problem)) << what << ": " << wine.problem.toStdString();
        }
        const HostCommand got = hostCommand(wine.program, program, c.machine, c.folder);
        EXPECT_EQ(got.command, c.command) << what;
        EXPECT_EQ(got.error.isEmpty(), !c.command.isEmpty()) << what;
        if (c.command.isEmpty())
            continue;
        // The client's reading of it gives the paths back whole.
        const QStringList words = splitCommand(got.command);
        ASSERT_EQ(words.size(), 4) << what;
        EXPECT_EQ(words[1], hostProgram(program, c.machine)) << what;
        EXPECT_EQ(dirOfCommand(got.command), QDir::cleanPath(c.folder)) << what;
    }
    EXPECT_EQ(splitCommand("ssh  shop-pc\ttavo-bridge-x86.exe --dir C:\\Printer"),
              QStringList({"ssh", "shop-pc", "tavo-bridge-x86.exe", "--dir", "C:\\Printer"}));
    EXPECT_EQ(dirOfCommand("ssh shop-pc tavo-bridge-x86.exe --dir 'C:\\Shop Printer'"), "C:\\Shop Printer");

    // The settings file, exactly; its folder made; read back; a bad value loses nothing.
    QTemporaryDir tmp;
    const ScopedEnvironment config("XDG_CONFIG_HOME", QFile::encodeName(tmp.filePath("config")));
    const ScopedEnvironment data("XDG_DATA_HOME", QFile::encodeName(tmp.filePath("data")));
    EXPECT_EQ(settingsPath(), tmp.filePath("config/FiscalConsole/bridge.ini"));
    EXPECT_EQ(winePrefix(), tmp.filePath("data/fiscal-console/wine"));
    const Settings shop{
        " wine \"/opt/fiscal console/bridge/tavo-bridge-x86.exe\" --dir \"/home/anna/My Printer\" ",
        "Shop till 2", winePrefix()};
    QString error;
    ASSERT_TRUE(writeSettings(settingsPath(), shop, &error)) << error.toStdString();
    const QByteArray expected =
        "# The bridge client's settings (docs/bridge.md), written by the Fiscal Printer Service Console.\n"
        "command=wine \"/opt/fiscal console/bridge/tavo-bridge-x86.exe\" --dir \"/home/anna/My Printer\"\n"
        "name=Shop till 2\n"
        "wineprefix=" +
        QFile::encodeName(tmp.filePath("data/fiscal-console/wine")) + "\n";
    EXPECT_EQ(readFile(settingsPath()), expected);
    const Settings back = *readSettings(settingsPath());
    EXPECT_EQ(back.command, shop.command.trimmed());
    EXPECT_EQ(back.name, shop.name);
    EXPECT_EQ(back.wineprefix, shop.wineprefix);
    EXPECT_EQ(
        *settingsText({"ssh shop-pc tavo-bridge-x86.exe --dir C:\\Printer", "", ""}, nullptr),
        "# The bridge client's settings (docs/bridge.md), written by the Fiscal Printer Service Console.\n"
        "command=ssh shop-pc tavo-bridge-x86.exe --dir C:\\Printer\n");
    EXPECT_FALSE(writeSettings(settingsPath(), {"wine x.exe", "two\nlines", ""}, &error));
    EXPECT_EQ(error, "The name must be one line.");
    EXPECT_FALSE(writeSettings(settingsPath(), {"  ", "", ""}, &error));
    EXPECT_EQ(error, "The bridge command is empty.");
    EXPECT_EQ(readFile(settingsPath()), expected);
}

TEST(BridgeSetup, PortLinksReplaceTheirOwnAndDeviceLinksOnly) {
    QTemporaryDir tmp;
    const QString prefix = tmp.filePath("wine"), dev = tmp.filePath("dev");
    for (const char* name : {"ttyS10", "ttyS2", "ttyS0", "ttyUSB1", "ttyUSB0", "ttyACM0", "tty0", "null",
                             "serial/by-id/usb-FTDI_FT232R-if00-port0"})
        writeFile(QDir(dev).filePath(name), "");
    const QString usb0 = dev + "/ttyUSB0", usb1 = dev + "/ttyUSB1", acm0 = dev + "/ttyACM0";
    EXPECT_EQ(serialDevices(dev),
              QStringList({usb0, usb1, acm0, dev + "/serial/by-id/usb-FTDI_FT232R-if00-port0", dev + "/ttyS0",
                           dev + "/ttyS2", dev + "/ttyS10"}));

    LinkReport r = applyPortLinks(prefix, {{1, usb0}, {2, acm0}, {5, "/dev/ttyUSB7"}});
    EXPECT_EQ(r.changes,
              QStringList({"COM1 -> " + usb0, "COM2 -> " + acm0, "COM5 -> /dev/ttyUSB7 (not there now)"}));
    EXPECT_EQ(r.refused, QStringList());
    EXPECT_EQ(readPortLinks(prefix), (std::map<int, QString>{{1, usb0}, {2, acm0}, {5, "/dev/ttyUSB7"}}));
    // A new prefix gets drive C: and Z: as Wine makes them in a prefix of its own.
    EXPECT_TRUE(QFileInfo(prefix + "/drive_c").isDir());
    EXPECT_EQ(QFileInfo(prefix + "/dosdevices/c:").symLinkTarget(), prefix + "/drive_c");
    EXPECT_EQ(QFileInfo(prefix + "/dosdevices/z:").symLinkTarget(), "/");

    // Someone else's: a regular file, a folder, a link of their own; and one of
    // ours moved to another device, as Wine's own comN -> /dev/ttyS links are:
    // a device link may be pointed elsewhere.
    const QString dos = prefix + "/dosdevices/";
    writeFile(dos + "com3", "keep me");
    QDir().mkpath(dos + "com6");
    ASSERT_TRUE(QFile::link("/home/anna/serial", dos + "com4"));
    ASSERT_TRUE(QFile::remove(dos + "com5"));
    ASSERT_TRUE(QFile::link("/dev/ttyS9", dos + "com5"));
    r = applyPortLinks(prefix,
                       {{1, usb1}, {2, ""}, {3, usb0}, {4, usb0}, {5, usb0}, {6, usb0}, {7, "ttyUSB0"}});
    EXPECT_EQ(r.changes, QStringList({"COM1 -> " + usb1, "COM2: link removed", "COM5 -> " + usb0}));
    EXPECT_EQ(
        r.refused,
        QStringList({"COM3: " + dos + "com3 is not a link; left as it is.",
                     "COM4: " + dos +
                         "com4 is a link this console did not make (to /home/anna/serial, not a device); "
                         "left as it is. Remove it to choose the device here.",
                     "COM6: " + dos + "com6 is not a link; left as it is.",
                     "COM7: ttyUSB0 is not a full path such as /dev/ttyUSB0; left as it is."}));
    EXPECT_EQ(readFile(dos + "com3"), "keep me");
    EXPECT_TRUE(QFileInfo(dos + "com6").isDir());
    EXPECT_EQ(readPortLinks(prefix),
              (std::map<int, QString>{{1, usb1}, {4, "/home/anna/serial"}, {5, usb0}}));
    EXPECT_FALSE(QFileInfo::exists(dos + "com1.new"));

    // Clearing every port removes only what is still ours.
    r = applyPortLinks(prefix, {});
    EXPECT_EQ(r.changes, QStringList({"COM1: link removed", "COM5: link removed"}));
    EXPECT_EQ(readPortLinks(prefix), (std::map<int, QString>{{4, "/home/anna/serial"}}));
    EXPECT_EQ(readFile(dos + "com3"), "keep me");
}

TEST(BridgeSetup, PrinterStatusThroughTheLibrary) {
    struct Case {
        const char* what;
        int32_t open;
        ScriptedDevice::Reply reply;
        bool ok;
        QString text;
        std::vector<std::string> calls;
    };
    const std::vector<std::string> all{"OpenTavo", "cmPrinterStatus", "cmPrinterStatus", "CloseTavo"};
    const Case cases[] = {
        {"answered",
         0,
         {0, 0, QByteArray("47\x01\x00\xff", 5)},
         true,
         "Printer Status answered (status 0, sub-code 0), 5 byte(s): 34 37 01 00 FF",
         all},
        {"refused",
         0,
         {-4, 5, {}},
         false,
         "Printer Status refused: status -4, sub-code 5 (" + dev::DeviceErrorText(-4, 5) + ")",
         all},
        {"no link", 3, {}, false, "The link did not open on COM3 (OpenTavo answered 3).", {"OpenTavo"}},
    };
    for (const Case& c : cases) {
        ScriptedDevice device;
        device.openResult = c.open;
        device.reply("cmPrinterStatus", c.reply);
        const TestOutcome got = runPrinterStatus(device, "COM3");
        EXPECT_EQ(got.ok, c.ok) << c.what;
        EXPECT_EQ(got.text, c.text) << c.what;
        EXPECT_EQ(device.functions(), c.calls) << c.what;
        if (c.calls.size() > 1) {
            EXPECT_EQ(device.calls[0].args, (dev::Args{dev::Arg::bytes("COM3"), dev::Arg::integer(9600)}))
                << c.what;
            EXPECT_TRUE(device.calls[1].sizing) << c.what;
            EXPECT_FALSE(device.calls[2].sizing) << c.what;
        }
    }
}
