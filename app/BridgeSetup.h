#pragma once
// Setting up the bridge to a real printer (docs/bridge.md) as a technician
// does, without widgets: the folder of the maker's DLLs and whether they are
// 32- or 64-bit, the Wine COM ports as links to Linux serial devices in the
// console's own Wine prefix, the bridge host's command line, the client's
// settings file bridge.ini, and a Printer Status run through the client.

#include "device/DeviceLibrary.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace dev {
class QLibraryDevice;
}

namespace bridgesetup {

// ---- the maker's DLLs ----

enum class Machine { X86, X64 };
QString machineText(Machine m); // "32-bit" or "64-bit"

// What a DLL's PE header says (IMAGE_FILE_HEADER.Machine): x86 or x86-64, or
// why the file is no Windows library the bridge can load.
struct PeMachine {
    std::optional<Machine> machine;
    QString error;
};
PeMachine readPeMachine(const QByteArray& head); // the file's first bytes
PeMachine readPeMachineOfFile(const QString& path);

// The folder of the maker's libraries: TavoUser.dll and TavoSrv.dll (any case
// of the names) and the machine of TavoUser.dll.
struct DllFolder {
    QString userDll, serviceDll; // paths as found; empty when missing
    std::optional<Machine> machine;
    QString error; // empty when both are there and the machine is known
};
DllFolder checkDllFolder(const QString& folder);

// ---- Wine and the bridge host's command line ----

struct WineFound {
    QString onPath;            // "wine" found on PATH: its path
    bool loader64 = false;     // /usr/lib/wine/wine64 (Debian's wine64)
    bool loader32 = false;     // /usr/lib/wine/wine (Debian's wine32:i386)
    bool debianLayout = false; // /usr/lib/wine exists: the loaders above tell what is installed
};
WineFound findWine();

// The program that runs the host for libraries of that machine: "wine" on PATH,
// else Debian's 64-bit loader for 64-bit libraries. `problem` says what is
// missing (32-bit Wine for 32-bit libraries); `program` is then still the best
// guess, so that a command can be shown and edited.
struct WineChoice {
    QString program;
    QString problem;
};
WineChoice chooseWine(Machine m, const WineFound& found);

// The host beside the bridge client: <programDir>/bridge/tavo-bridge-x86.exe or -x64.exe.
QString clientFolder(const QString& programDir);
QString hostProgram(const QString& programDir, Machine m);

// `wine "<host>" --dir "<folder>"`: the host and the folder in double quotes (in
// single quotes when a path holds a double quote); an error when a path holds
// both kinds of quote, which the client's command line cannot group.
struct HostCommand {
    QString command;
    QString error;
};
HostCommand hostCommand(const QString& wine, const QString& programDir, Machine m, const QString& dllFolder);

// The client's reading of a command line (bridge::splitCommandLine): words
// split at spaces and tabs, "..." and '...' group words and are removed, a
// backslash is an ordinary character.
QStringList splitCommand(const QString& command);
// The word after "--dir"; empty when there is none.
QString dirOfCommand(const QString& command);

// ---- the client's settings file ----

struct Settings {
    QString command;
    QString name; // empty: the client calls the printer by its command
    QString wineprefix;
    bool operator==(const Settings&) const = default;
};
// $XDG_CONFIG_HOME/FiscalConsole/bridge.ini (~/.config/...).
QString settingsPath();
// The console's own Wine prefix: $XDG_DATA_HOME/fiscal-console/wine (~/.local/share/...).
QString winePrefix();

// The file's text: a comment line, then command=, name= (when given) and
// wineprefix=, each value as it is (no escapes). An error, and no text, for an
// empty command or a value of more than one line.
std::optional<QByteArray> settingsText(const Settings& s, QString* error);
// What makes the client read other settings than settingsPath(): the variables
// TAVO_BRIDGE_CONFIG and TAVO_BRIDGE_COMMAND, a bridge.ini beside the client.
QStringList shadowingNotes(const QString& programDir);
// The keys this console writes, from a file's text, read as the client reads
// them (bridge::client::parseSettings).
Settings parseSettings(const QByteArray& text);
// Written whole or not at all (QSaveFile); the folder is made when missing.
bool writeSettings(const QString& path, const Settings& s, QString* error);
std::optional<Settings> readSettings(const QString& path);

// ---- Wine's COM ports ----

// The serial devices a COM port can stand for, each group in natural order:
// <dev>/ttyUSB*, ttyACM*, serial/by-id/*, then ttyS*.
QStringList serialDevices(const QString& devRoot = QStringLiteral("/dev"));

constexpr int kComPorts = 12;
// The links <prefix>/dosdevices/com1..com12 as they are now: COM number -> target.
std::map<int, QString> readPortLinks(const QString& prefix);

// Makes <prefix>/dosdevices/comN -> device for each COM port given a device, and
// removes the links it made before for ports now given none. It replaces only
// links it made itself (kept in <prefix>/fiscal-console-links.txt) and still
// pointing where it made them point; never a regular file, a folder or anyone
// else's link, which are reported and left as they are.
struct LinkReport {
    QStringList changes; // "COM1 -> /dev/ttyUSB0", "COM2: link removed"
    QStringList refused; // why a port was left as it is
};
LinkReport applyPortLinks(const QString& prefix, const std::map<int, QString>& devices);

// ---- the test through the client ----

// Opens the link on `port`, runs Printer Status (the sizing call, then the call
// with a buffer) and closes the link; the outcome as a sentence with the status
// and sub-code, or the answer's bytes.
struct TestOutcome {
    bool ok = false;
    QString text;
};
TestOutcome runPrinterStatus(dev::IDeviceLibrary& user, const QByteArray& port);

// The bridge client's user library from <programDir>/bridge; null and the
// reason when it cannot be bound.
std::unique_ptr<dev::QLibraryDevice> loadClient(const QString& programDir, QString* error);

// Sets an environment variable for its lifetime, then puts back what was there.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const QByteArray& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name_;
    std::optional<QByteArray> old_;
};

} // namespace bridgesetup
