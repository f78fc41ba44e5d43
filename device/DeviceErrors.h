#pragma once
// The sentence shown for a refused command, by Status and SubCode.

#include <QString>

#include <cstdint>
#include <functional>

namespace dev {

// Writable: the language library overwrites most entries once at start-up.
struct DeviceErrorTable {
    DeviceErrorTable();
    void reset(); // back to the built-in English texts
    QString text(int32_t status, int32_t subCode) const;
    // Replaces the entries that have localised strings; entry 57 stays English,
    // and sub-codes 90 to 95 have no localised strings.
    void localise(const std::function<QString(int)>& localeString);

    QString commPort, timeOut, busy;
    QString protocol[95]; // Status -4, sub-codes 1..95
    QString hardware[7];  // Status -6, sub-codes 1..7
};

// The process-wide table the error box uses.
DeviceErrorTable& deviceErrors();

// Empty text for any pair outside the table.
QString DeviceErrorText(int32_t status, int32_t subCode);

} // namespace dev
