// Inputs the virtual-printer fuzzers leave out until the bug they hit is fixed.
#pragma once

#include "Printer.h"

// The dump commands accumulate an address of 16 or more hex digits into a
// signed 64-bit value (overflow, caught by UBSan) before refusing it.
inline bool overlongDumpAddress(const vp::Request& r) {
    return (r.code == "44" || r.code == "45" || r.code == "48") && !r.fields.empty() &&
           r.fields[0].size() > 15;
}
