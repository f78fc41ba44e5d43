// The settings of one port from `virtual-printer.ini` in the data directory
// (keys under [General] and in the port's own section, which wins) and from
// the environment. Read by the libraries when a port opens and by the tools.
#pragma once

#include <cstdint>
#include <string>

#include "Printer.h"

namespace vp {

// Bounds of the counted faults and of an answer's lateness.
inline constexpr int kMaxFaultCount = 1'000'000;
inline constexpr int64_t kMaxLateMs = 60'000;

struct Settings {
    bool present = true;
    Faults faults;
    int timeouts = 0;
    // Faults of the line between the workstation and the printer (the next N
    // commands with a buffer): the answer lost, the answer late by lateMs, the
    // link dropped before or after the printer received the command, by a
    // generator seeded with dropSeed.
    int lostAnswers = 0;
    int lateAnswers = 0;
    int64_t lateMs = 2000;
    int droppedLink = 0;
    uint32_t dropSeed = 1;
    std::string fiscalMemory = "ok"; // ok | nearly_full | full
    int64_t fmCapacity = 2000;
    int64_t damagedRecord = 0;
    int64_t clockOffset = 0;
    std::string clockStart; // "yyyy-MM-dd HH:mm:ss": the printer clock reads this at opening
    bool instant = false;
    int64_t baud = 9600, lineMs = 30, extraMs = 0;
    bool trace = false;
    std::string tracePath;
};

Settings readSettings(const std::string& port);

// Number of Z records the fiscal memory holds, fixed when the port opens with
// `used` records written.
int64_t effectiveCapacity(const Settings& s, int64_t used);

} // namespace vp
