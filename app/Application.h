#pragma once

#include <QString>
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
// directory belongs to the system.
QString ConfigurationDir(const QString& programDir);
