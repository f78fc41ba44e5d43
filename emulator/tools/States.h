// Named snapshots of a port's printer for vprinterctl: taken and loaded with
// SQLite's online backup, so a console may keep the port open meanwhile, and
// the ready-made printers the tool builds by running real commands.
#pragma once

#include <string>
#include <vector>

namespace vp::ctl {

// Exit statuses of vprinterctl.
enum Exit { Ok = 0, Broken = 1, Usage = 2, Unreadable = 3, Busy = 4, WriteFailed = 5 };

// A failure to report to the person: a message and the exit status.
struct Failure {
    int exit;
    std::string message;
};
[[noreturn]] inline void fail(int exit, const std::string& message) {
    throw Failure{exit, message};
}

// Letters, digits, '.', '_' and '-', up to 64, not starting with a dot.
bool validStateName(const std::string& name);
const std::vector<std::string>& readyMadeStates();

std::string statesDirectory(const std::string& dataDir);
std::string statePath(const std::string& dataDir, const std::string& name);

// Copies the port's database into states/NAME.sqlite (a whole new file that
// replaces the old one only when complete).
void saveState(const std::string& dataDir, const std::string& port, const std::string& name);
// The snapshot's path; a ready-made state is built first when it is missing.
std::string stateForLoading(const std::string& dataDir, const std::string& name, bool* built);
// Fails unless the snapshot is a printer's database this version reads.
void checkState(const std::string& snapshot);
// Copies a snapshot into the port's database. The caller holds the port.
void loadState(const std::string& snapshot, const std::string& portDatabase);

// Builds a ready-made printer into `path` (which must not exist).
void buildReadyMade(const std::string& name, const std::string& path);

} // namespace vp::ctl
