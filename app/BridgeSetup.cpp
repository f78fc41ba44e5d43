#include "app/BridgeSetup.h"

#include "bridge/Settings.h"
#include "bridge/Wire.h"

#include "device/DeviceErrors.h"
#include "device/QLibraryDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <set>

namespace bridgesetup {

namespace {

// A DLL's PE header lies near its start; an offset beyond this is no DLL's.
constexpr qint64 kMaxHeaderOffset = 16 * 1024 * 1024;

uint32_t littleEndian(const QByteArray& bytes, qsizetype at, int width) {
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(bytes.at(at + i));
    return v;
}

} // namespace

QString machineText(Machine m) {
    return m == Machine::X86 ? QStringLiteral("32-bit") : QStringLiteral("64-bit");
}

PeMachine readPeMachine(const QByteArray& head) {
    PeMachine pe;
    // The DOS header: "MZ", and at 0x3C the offset of "PE\0\0" and the file header.
    if (head.size() < 0x40 || !head.startsWith("MZ")) {
        pe.error = QStringLiteral("not a Windows library (no MZ header)");
        return pe;
    }
    const uint32_t offset = littleEndian(head, 0x3C, 4);
    if (static_cast<qint64>(offset) + 6 > head.size()) {
        pe.error = QStringLiteral("not a Windows library (its PE header lies outside the file: cut short?)");
        return pe;
    }
    if (head.mid(offset, 4) != QByteArray("PE\0\0", 4)) {
        pe.error = QStringLiteral("not a Windows library (no PE signature)");
        return pe;
    }
    const uint32_t machine = littleEndian(head, offset + 4, 2);
    if (machine == 0x14c)
        pe.machine = Machine::X86;
    else if (machine == 0x8664)
        pe.machine = Machine::X64;
    else
        pe.error = QStringLiteral("a library for another processor (machine 0x%1), neither x86 nor x86-64")
                       .arg(machine, 4, 16, QLatin1Char('0'));
    return pe;
}

PeMachine readPeMachineOfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        PeMachine pe;
        pe.error = QStringLiteral("cannot be read (%1)").arg(file.errorString());
        return pe;
    }
    QByteArray head = file.read(0x40);
    if (head.size() == 0x40 && head.startsWith("MZ")) {
        const qint64 offset = littleEndian(head, 0x3C, 4);
        if (offset <= kMaxHeaderOffset && offset + 6 <= file.size() && file.seek(0))
            head = file.read(offset + 6);
    }
    return readPeMachine(head);
}

DllFolder checkDllFolder(const QString& folder) {
    DllFolder found;
    const QDir dir(folder);
    if (folder.trimmed().isEmpty()) {
        found.error = QStringLiteral("Choose the folder of the maker's libraries.");
        return found;
    }
    if (!dir.exists()) {
        found.error = QStringLiteral("The folder %1 does not exist.").arg(QDir::toNativeSeparators(folder));
        return found;
    }
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (f.fileName().compare(QLatin1String("TavoUser.dll"), Qt::CaseInsensitive) == 0)
            found.userDll = f.filePath();
        else if (f.fileName().compare(QLatin1String("TavoSrv.dll"), Qt::CaseInsensitive) == 0)
            found.serviceDll = f.filePath();
    }
    QStringList missing;
    if (found.userDll.isEmpty())
        missing << QStringLiteral("TavoUser.dll");
    if (found.serviceDll.isEmpty())
        missing << QStringLiteral("TavoSrv.dll");
    if (!missing.isEmpty()) {
        found.error = QStringLiteral("%1 not in %2.")
                          .arg(missing.join(QStringLiteral(" and ")) +
                                   (missing.size() > 1 ? QStringLiteral(" are") : QStringLiteral(" is")),
                               QDir::toNativeSeparators(folder));
        return found;
    }
    const PeMachine pe = readPeMachineOfFile(found.userDll);
    found.machine = pe.machine;
    if (!pe.machine)
        found.error = QStringLiteral("%1 is %2.").arg(QFileInfo(found.userDll).fileName(), pe.error);
    return found;
}

WineFound findWine() {
    WineFound found;
    found.onPath = QStandardPaths::findExecutable(QStringLiteral("wine"));
    found.loader64 = QFileInfo(QStringLiteral("/usr/lib/wine/wine64")).isExecutable();
    found.loader32 = QFileInfo(QStringLiteral("/usr/lib/wine/wine")).isExecutable();
    found.debianLayout = QFileInfo(QStringLiteral("/usr/lib/wine")).isDir();
    return found;
}

WineChoice chooseWine(Machine m, const WineFound& found) {
    WineChoice choice;
    if (m == Machine::X64) {
        if (!found.onPath.isEmpty())
            choice.program = QStringLiteral("wine");
        else if (found.loader64)
            choice.program = QStringLiteral("/usr/lib/wine/wine64");
        else {
            choice.program = QStringLiteral("wine");
            choice.problem = QStringLiteral("Wine is not installed (sudo apt-get install wine64).");
        }
        return choice;
    }
    if (found.loader32)
        choice.program =
            found.onPath.isEmpty() ? QStringLiteral("/usr/lib/wine/wine") : QStringLiteral("wine");
    else if (!found.onPath.isEmpty() && !found.debianLayout)
        choice.program = QStringLiteral("wine"); // a Wine laid out otherwise: trusted to run 32-bit too
    else {
        // Where Debian's wine32 puts it, unless a "wine" of its own comes first.
        choice.program = found.onPath.isEmpty() && found.debianLayout ? QStringLiteral("/usr/lib/wine/wine")
                                                                      : QStringLiteral("wine");
        choice.problem = QStringLiteral(
            "32-bit Wine is missing, and the maker's libraries are 32-bit. Install it with:\n"
            "sudo dpkg --add-architecture i386 && sudo apt-get update && sudo apt-get install wine32");
    }
    return choice;
}

QString clientFolder(const QString& programDir) {
    return QDir::cleanPath(QDir(programDir).absoluteFilePath(QStringLiteral("bridge")));
}

QString hostProgram(const QString& programDir, Machine m) {
    return QDir(clientFolder(programDir))
        .filePath(m == Machine::X86 ? QStringLiteral("tavo-bridge-x86.exe")
                                    : QStringLiteral("tavo-bridge-x64.exe"));
}

namespace {
// A path as one word of the command line.
std::optional<QString> quoted(const QString& path) {
    if (!path.contains(QLatin1Char('"')))
        return QLatin1Char('"') + path + QLatin1Char('"');
    if (!path.contains(QLatin1Char('\'')))
        return QLatin1Char('\'') + path + QLatin1Char('\'');
    return std::nullopt;
}
} // namespace

HostCommand hostCommand(const QString& wine, const QString& programDir, Machine m, const QString& dllFolder) {
    HostCommand c;
    const QString host = hostProgram(programDir, m);
    const QString folder = QDir::cleanPath(QDir(dllFolder).absolutePath());
    const std::optional<QString> wineWord =
        wine.contains(QLatin1Char(' ')) || wine.contains(QLatin1Char('\t')) ? quoted(wine) : wine;
    const std::optional<QString> hostWord = quoted(host), folderWord = quoted(folder);
    for (const auto& [word, path] : {std::pair(wineWord, wine), {hostWord, host}, {folderWord, folder}})
        if (!word) {
            c.error = QStringLiteral(
                          "The path %1 holds both kinds of quote; the bridge's command line cannot hold it. "
                          "Rename the folder.")
                          .arg(path);
            return c;
        }
    c.command = *wineWord + QLatin1Char(' ') + *hostWord + QStringLiteral(" --dir ") + *folderWord;
    return c;
}

QStringList splitCommand(const QString& command) {
    QStringList words;
    for (const std::string& w : bridge::splitCommandLine(command.toStdString()))
        words << QString::fromStdString(w);
    return words;
}

QString dirOfCommand(const QString& command) {
    const QStringList words = splitCommand(command);
    const qsizetype at = words.indexOf(QStringLiteral("--dir"));
    return at >= 0 && at + 1 < words.size() ? words.at(at + 1) : QString();
}

QString settingsPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("FiscalConsole/bridge.ini"));
}

QString winePrefix() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("fiscal-console/wine"));
}

std::optional<QByteArray> settingsText(const Settings& s, QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QString command = s.command.trimmed(), name = s.name.trimmed(), prefix = s.wineprefix.trimmed();
    if (command.isEmpty())
        return fail(QStringLiteral("The bridge command is empty."));
    for (const auto& [value, what] : {std::pair(command, QStringLiteral("command")),
                                      {name, QStringLiteral("name")},
                                      {prefix, QStringLiteral("Wine prefix")}})
        if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')) ||
            value.contains(QChar(0)))
            return fail(QStringLiteral("The %1 must be one line.").arg(what));
    QByteArray text =
        "# The bridge client's settings (docs/bridge.md), written by the Fiscal Printer Service "
        "Console.\n";
    text += "command=" + command.toUtf8() + '\n';
    if (!name.isEmpty())
        text += "name=" + name.toUtf8() + '\n';
    if (!prefix.isEmpty())
        text += "wineprefix=" + prefix.toUtf8() + '\n';
    return text;
}

QStringList shadowingNotes(const QString& programDir) {
    QStringList notes;
    if (const QString file = qEnvironmentVariable("TAVO_BRIDGE_CONFIG"); !file.isEmpty())
        notes << QStringLiteral("TAVO_BRIDGE_CONFIG is set: the client reads %1 instead.").arg(file);
    const QString beside = QDir(clientFolder(programDir)).filePath(QStringLiteral("bridge.ini"));
    if (QFileInfo::exists(beside))
        notes << QStringLiteral("%1 exists and is read first: remove it to use these settings.")
                     .arg(QDir::toNativeSeparators(beside));
    if (qEnvironmentVariableIsSet("TAVO_BRIDGE_COMMAND"))
        notes << QStringLiteral("TAVO_BRIDGE_COMMAND is set and wins over the command.");
    return notes;
}

Settings parseSettings(const QByteArray& text) {
    const bridge::client::Settings read = bridge::client::parseSettings(text.toStdString());
    return Settings{QString::fromStdString(read.command), QString::fromStdString(read.name),
                    QString::fromStdString(read.wineprefix)};
}

bool writeSettings(const QString& path, const Settings& s, QString* error) {
    const std::optional<QByteArray> text = settingsText(s, error);
    if (!text)
        return false;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Cannot make the folder %1.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*text) != text->size() || !file.commit()) {
        if (error)
            *error =
                QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

std::optional<Settings> readSettings(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseSettings(file.read(1024 * 1024));
}

namespace {
// ttyS2 before ttyS10: runs of digits compare as numbers.
bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype endA = i, endB = j;
            while (endA < a.size() && a[endA].isDigit())
                ++endA;
            while (endB < b.size() && b[endB].isDigit())
                ++endB;
            while (i + 1 < endA && a[i] == QLatin1Char('0'))
                ++i;
            while (j + 1 < endB && b[j] == QLatin1Char('0'))
                ++j;
            const QStringView na = QStringView(a).mid(i, endA - i), nb = QStringView(b).mid(j, endB - j);
            if (na.size() != nb.size())
                return na.size() < nb.size();
            if (const int c = na.compare(nb); c != 0)
                return c < 0;
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}
} // namespace

QStringList serialDevices(const QString& devRoot) {
    auto group = [](const QString& folder, const QString& pattern) {
        QStringList names =
            QDir(folder).entryList({pattern}, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
        std::sort(names.begin(), names.end(), naturalLess);
        QStringList paths;
        for (const QString& n : names)
            paths << QDir(folder).filePath(n);
        return paths;
    };
    const QString byId = QDir(devRoot).filePath(QStringLiteral("serial/by-id"));
    return group(devRoot, QStringLiteral("ttyUSB*")) + group(devRoot, QStringLiteral("ttyACM*")) +
           group(byId, QStringLiteral("*")) + group(devRoot, QStringLiteral("ttyS*"));
}

namespace {

QString linkPath(const QString& prefix, int com) {
    return QDir(prefix).filePath(QStringLiteral("dosdevices/com%1").arg(com));
}

QString manifestPath(const QString& prefix) {
    return QDir(prefix).filePath(QStringLiteral("fiscal-console-links.txt"));
}

// The links this console made: COM number -> the target it gave.
std::map<int, QString> readManifest(const QString& prefix) {
    std::map<int, QString> made;
    QFile file(manifestPath(prefix));
    if (!file.open(QIODevice::ReadOnly))
        return made;
    for (const QByteArray& line : file.read(64 * 1024).split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab < 4 || !line.startsWith("com"))
            continue;
        bool ok = false;
        const int com = line.mid(3, tab - 3).toInt(&ok);
        if (ok && com >= 1 && com <= kComPorts)
            made[com] = QString::fromUtf8(line.mid(tab + 1));
    }
    return made;
}

bool writeManifest(const QString& prefix, const std::map<int, QString>& made) {
    QByteArray text = "# Links in dosdevices/ made by the Fiscal Printer Service Console\n";
    for (const auto& [com, target] : made)
        text += "com" + QByteArray::number(com) + '\t' + target.toUtf8() + '\n';
    QSaveFile file(manifestPath(prefix));
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

// The target of a symbolic link, as written when absolute.
std::optional<QString> linkTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return std::nullopt;
    return info.symLinkTarget();
}

bool present(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() || info.exists();
}

} // namespace

std::map<int, QString> readPortLinks(const QString& prefix) {
    std::map<int, QString> links;
    for (int com = 1; com <= kComPorts; ++com)
        if (const std::optional<QString> target = linkTarget(linkPath(prefix, com)))
            links[com] = *target;
    return links;
}

LinkReport applyPortLinks(const QString& prefix, const std::map<int, QString>& devices) {
    LinkReport report;
    const QString dosdevices = QDir(prefix).filePath(QStringLiteral("dosdevices"));
    // Wine makes drive C: and Z: only when it makes the prefix's folder itself: a
    // prefix it has not made yet gets them here, or Wine would start without a C:.
    const QString driveC = QDir(prefix).filePath(QStringLiteral("drive_c"));
    const bool newPrefix = !QFileInfo::exists(QDir(prefix).filePath(QStringLiteral("system.reg"))) &&
                           !present(QDir(dosdevices).filePath(QStringLiteral("c:")));
    if (!QDir().mkpath(dosdevices) || (newPrefix && !QDir().mkpath(driveC))) {
        report.refused << QStringLiteral("Cannot make the folder %1.").arg(dosdevices);
        return report;
    }
    if (newPrefix) {
        QFile::link(QStringLiteral("../drive_c"), QDir(dosdevices).filePath(QStringLiteral("c:")));
        if (!present(QDir(dosdevices).filePath(QStringLiteral("z:"))))
            QFile::link(QStringLiteral("/"), QDir(dosdevices).filePath(QStringLiteral("z:")));
    }
    std::map<int, QString> made = readManifest(prefix);
    for (int com = 1; com <= kComPorts; ++com) {
        const QString path = linkPath(prefix, com);
        const QString port = QStringLiteral("COM%1").arg(com);
        const auto wantedIt = devices.find(com);
        const QString wanted =
            wantedIt == devices.end() ? QString() : QDir::cleanPath(wantedIt->second.trimmed());
        const std::optional<QString> target = linkTarget(path);
        const auto madeIt = made.find(com);
        const bool ours = target && madeIt != made.end() && madeIt->second == *target;
        if (madeIt != made.end() && !ours)
            made.erase(madeIt); // changed or removed by someone else: no longer ours
        if (wanted.isEmpty() || wanted == QLatin1String(".")) {
            if (ours) {
                if (QFile::remove(path)) {
                    made.erase(com);
                    report.changes << QStringLiteral("%1: link removed").arg(port);
                } else {
                    report.refused << QStringLiteral("%1: cannot remove %2").arg(port, path);
                }
            }
            continue;
        }
        if (!QDir::isAbsolutePath(wanted)) {
            report.refused << QStringLiteral("%1: %2 is not a full path such as /dev/ttyUSB0; left as it is.")
                                  .arg(port, wanted);
            continue;
        }
        if (target && *target == wanted)
            continue; // already so
        // A link to a device (Wine makes comN -> /dev/ttyS<N-1> in every
        // prefix) only says which device the port is: it may be pointed
        // elsewhere. Anything else is someone's own and stays.
        const bool deviceLink = target && target->startsWith(QLatin1String("/dev/"));
        if (present(path) && !ours && !deviceLink) {
            report.refused << (target
                                   ? QStringLiteral("%1: %2 is a link this console did not make (to %3, not "
                                                    "a device); left as it is. "
                                                    "Remove it to choose the device here.")
                                         .arg(port, path, *target)
                                   : QStringLiteral("%1: %2 is not a link; left as it is.").arg(port, path));
            continue;
        }
        // A new link beside the old one, then renamed over it: the port always has one.
        const QString fresh = path + QStringLiteral(".new");
        QFile::remove(fresh);
        if (!QFile::link(wanted, fresh) ||
            std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()) != 0) {
            QFile::remove(fresh);
            report.refused << QStringLiteral("%1: cannot make the link %2").arg(port, path);
            continue;
        }
        made[com] = wanted;
        report.changes << (QFileInfo::exists(wanted)
                               ? QStringLiteral("%1 -> %2").arg(port, wanted)
                               : QStringLiteral("%1 -> %2 (not there now)").arg(port, wanted));
    }
    if (!writeManifest(prefix, made))
        report.refused << QStringLiteral("Cannot write %1; links made now will not be replaced later.")
                              .arg(manifestPath(prefix));
    return report;
}

namespace {

// The bridge client's reason for its last failure, as a sentence to add; empty
// when the library says none.
QString bridgeReason(dev::IDeviceLibrary& user) {
    QByteArray why;
    if (user.bridgeLastError(&why) != TAVO_EXT_OK || why.isEmpty())
        return QString();
    return QStringLiteral("\nThe bridge: %1.").arg(QString::fromUtf8(why));
}

} // namespace

TestOutcome runPrinterStatus(dev::IDeviceLibrary& user, const QByteArray& port) {
    TestOutcome outcome;
    const std::string function = protocol::cmd::cmPrinterStatus.function;
    try {
        const int32_t opened = user.open(port, 9600);
        if (opened != 0) {
            outcome.text = QStringLiteral("The link did not open on %1 (OpenTavo answered %2).")
                               .arg(QString::fromLatin1(port))
                               .arg(opened) +
                           bridgeReason(user);
            return outcome;
        }
        int32_t length = 0;
        user.command(function, {}, nullptr, &length);
        length = std::clamp<int32_t>(length, 0, 1024 * 1024);
        const int32_t allocated = length;
        std::vector<char> buffer(static_cast<std::size_t>(std::max(length, 1)), 0);
        const CommandResult r = user.command(function, {}, buffer.data(), &length);
        const QString reason = r.Status < 0 ? bridgeReason(user) : QString();
        user.close();
        if (r.Status < 0) {
            const QString why = dev::DeviceErrorText(r.Status, r.SubCode);
            outcome.text = QStringLiteral("Printer Status refused: status %1, sub-code %2%3")
                               .arg(r.Status)
                               .arg(r.SubCode)
                               .arg(why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)) +
                           reason;
            return outcome;
        }
        const QByteArray answer(buffer.data(), std::clamp<int32_t>(length, 0, allocated));
        outcome.ok = true;
        outcome.text = QStringLiteral("Printer Status answered (status %1, sub-code %2), %3 byte(s): %4")
                           .arg(r.Status)
                           .arg(r.SubCode)
                           .arg(answer.size())
                           .arg(answer.isEmpty() ? QStringLiteral("none")
                                                 : QString::fromLatin1(answer.toHex(' ').toUpper()));
    } catch (const std::exception& e) {
        user.close();
        outcome.text =
            QStringLiteral("Printer Status could not run: %1").arg(QString::fromLocal8Bit(e.what()));
    }
    return outcome;
}

std::unique_ptr<dev::QLibraryDevice> loadClient(const QString& programDir, QString* error) {
    const QString folder = clientFolder(programDir);
    try {
        auto client = std::make_unique<dev::QLibraryDevice>(dev::Library::User, folder);
        if (QFileInfo(client->fileName()).absolutePath() != folder) {
            if (error)
                *error = QStringLiteral("The bridge client's TavoUser library is not in %1.")
                             .arg(QDir::toNativeSeparators(folder));
            return nullptr;
        }
        return client;
    } catch (const dev::BindError& e) {
        if (error)
            *error = e.message();
        return nullptr;
    }
}

ScopedEnvironment::ScopedEnvironment(const char* name, const QByteArray& value) : name_(name) {
    if (qEnvironmentVariableIsSet(name))
        old_ = qgetenv(name);
    qputenv(name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
    if (old_)
        qputenv(name_, *old_);
    else
        qunsetenv(name_);
}

} // namespace bridgesetup
