// The link between one device library and the virtual printer behind a port.
#pragma once

#include <cstdint>
#include <string>

#include "device/TavoApi.h"

namespace vp {

// Opens the printer on a port ("COM1".."COM12"); returns 0 on success.
int32_t linkOpen(const char* portName, int32_t baud);
int32_t linkClose();
bool linkIsOpen();
// 1 when idle, 0 while a command runs (the device libraries' own sense).
int32_t linkIdle();
void linkAbort();
void linkSetIdleHandler(TavoIdleHandler handler, void* context);

// Runs one command given as a protocol line (two-digit code then parameters).
CommandResult linkRun(const std::string& line, char* buffer, int32_t* length);
int32_t linkAnswerSize(const std::string& code);

} // namespace vp
