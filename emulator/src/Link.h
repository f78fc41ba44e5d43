// The link between one device library and the virtual printer behind a port:
// opening the port's database, settings and faults, the two-call sizing,
// timing with the idle handler, abort, the paper roll, data files and trace.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Printer.h"
#include "Store.h"
#include "device/TavoApi.h"
#include "session/Session.h"

namespace vp {

// One call of the interface as the trace shows it and the printer runs it.
struct Call {
    const char* function = "";
    Request request;
    std::vector<session::Argument> traceArgs; // the C arguments as a session holds them (passwords masked)
    bool invalid = false;                     // an argument could not be read (no nul within bounds)
};

int32_t linkOpen(const char* portName, int32_t baud);
int32_t linkClose();
int32_t linkIdle(); // 1 when idle, 0 while a command runs
int32_t linkAbort();
void linkSetIdleHandler(TavoIdleHandler handler, void* context);

// Our own extensions (TavoApi.h): they return a TavoExtensionResult.
void linkSetPrintHandler(TavoPrintHandler handler, void* context);
int32_t linkSetFault(const std::string& key, const std::string& value);
int32_t linkGetFault(const std::string& key, std::string& value);
int32_t linkSetClock(const std::string& dateTime); // "yyyy-MM-dd HH:mm:ss"
int32_t linkGetClock(std::string& dateTime);

// Two-call sizing: buffer == nullptr only computes the answer size.
CommandResult linkRun(const Call& call, char* buffer, int32_t* length);
int32_t linkAnswerSize(const char* code);

// Firmware update on a closed port: sets the reported software version.
int32_t linkUpdateFirmware(const std::string& port, const std::string& version, bool full);

// Records a call that does not run a printer command (OpenTavo, ...).
void linkTrace(const char* function, std::vector<session::Argument> args, int32_t result);

// Directory of the virtual printers' databases, settings and paper rolls.
std::string dataDirectory();
bool validPortName(const char* portName);

} // namespace vp
