#pragma once
// What a replay found: a text summary for the terminal and one self-contained
// HTML page (inline style, no scripts, no outside resources).

#include "replay/Replay.h"

#include <QString>

namespace replay {

// One line per differing call with each difference, a line per call not run,
// then "N calls replayed, M differ" with the fields left out.
QString textSummary(const Result& result);
// The closing line alone.
QString countsLine(const Result& result);

struct ReportInfo {
    QString session;    // the session file
    QString libraryDir; // where the libraries were loaded from
};
QString htmlReport(const Result& result, const ReportInfo& info);
// Written whole or not at all; false and the reason when it cannot be.
bool writeHtmlReport(const QString& path, const Result& result, const ReportInfo& info, QString* error);

} // namespace replay
