#pragma once

#include "device/QLibraryDevice.h"

#include <QString>
#include <QStringList>

#include <memory>
// What the console sets on the application before its window exists: its name
// (and no display name, which the platform would append to every window and
// box title) and the fonts its layout asks for mapped to the shipped ones.

// The layout's Windows fonts become metric-compatible fonts that the package
// depends on: "Arial CE" and "Arial" -> Liberation Sans, "Courier New" ->
// Liberation Mono, "Verdana" -> DejaVu Sans.
void MapWindowsFonts();

// Sets the application name and maps the fonts; call right after the
// QApplication is constructed.
void ConfigureApplication();

// Where SYSTEM.CFG is kept: the program's directory when the file can be
// written there (a build or a copied folder), else the user's configuration
// folder (~/.config/FiscalConsole), as for an installed package whose program
// directory belongs to the system. A SYSTEM.CFG in the program's directory
// that cannot be written is still read (SystemConfig::readAlsoFrom): the keys
// the user's file lacks come from it.
QString ConfigurationDir(const QString& programDir);

// The folder the two device libraries are loaded from: "--library-dir DIR" (or
// "--library-dir=DIR") on the command line wins, then SYSTEM.CFG's [Device]
// LibraryDir (`configured`), else the program's folder. A relative DIR is taken
// from the current directory (command line) or from the program's folder
// (SYSTEM.CFG).
struct LibraryDirChoice {
    enum class From { Program, CommandLine, Config };
    From from = From::Program;
    QString dir;   // absolute and clean
    QString error; // "--library-dir" without a folder; dir is then empty
};
LibraryDirChoice ChooseLibraryDir(const QStringList& arguments, const QString& currentDir,
                                  const QString& programDir, const QString& configured);

// Both device libraries, bound from the chosen folder; throws dev::BindError.
// From the program's folder the system's library search is the fall-back, as
// ever; a folder chosen on the command line or in SYSTEM.CFG must exist and hold
// both, and the error names it.
struct DeviceLibraries {
    std::unique_ptr<dev::QLibraryDevice> user, service;
    QString folder; // where the user library was loaded from; empty: the system's search found it
};
DeviceLibraries LoadDeviceLibraries(const LibraryDirChoice& choice);
