// Runs printer commands on an open store as the link does — begin, read the
// working memory, execute, write what changed and the fiscal memory, article
// and journal rows, commit, then append the printed lines to the paper roll —
// but without the link's timing, idle handler or trace. The tools use it to
// build printers by running real commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Printer.h"
#include "Store.h"

namespace vp {

struct RunOptions {
    Faults faults;
    // Added to the printer's clock, as `clock_offset` in the settings.
    int64_t clockOffset = 0;
    // The paper roll the printed lines are appended to after the commit; empty: none.
    std::string paperPath;
};

struct RunResult {
    int32_t status = 0, subCode = 0; // the printer's answer; -6/6 when the store failed
    std::string answer;
    std::vector<std::string> paper;
    size_t failedStep = 0; // runCommands: the step that was refused
    bool ok() const { return status >= 0; }
};

// One command at the printer's clock.
RunResult runCommand(Store& store, const Request& request, const RunOptions& options = {});

// Commands one after another in one transaction, each at its own printer
// time: all are kept, or — when one is refused or a write fails — none.
struct TimedRequest {
    Request request;
    int64_t at = 0; // printer wall time (seconds); 0: the printer's clock
};
RunResult runCommands(Store& store, const std::vector<TimedRequest>& steps, const RunOptions& options = {});

// Appends printed lines to a paper roll text file (nothing when the path is empty).
void appendToRoll(const std::string& path, const std::vector<std::string>& lines);

} // namespace vp
