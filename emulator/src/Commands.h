// The printer's command table: every code once, with its handler, the size of
// its answer, whether it prints, and what it needs before it may run.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vp {

class Exec;

struct CommandEntry {
    const char* code;
    void (Exec::*handler)();
    int answerSize;      // the largest answer of the code
    bool prints;         // may put paper out (refused when out of paper)
    bool serviceOnly;    // only in service mode
    bool noDocument;     // refused while a receipt or package document is open
    bool withRamError;   // allowed while the SRAM is lost (status, service, reports)
    uint32_t secretMask; // bit i set: field i is a password, never traced
};

std::span<const CommandEntry> commandTable();
const CommandEntry* findCommand(const std::string& code);

constexpr int kAckLength = 22;

// Answer size in bytes for a command code; the largest answer the code gives.
int answerSize(const std::string& code);
bool isKnownCode(const std::string& code);

struct Request;
// A command line as a trace shows it: UTF-8, every password field replaced by
// as many asterisks as it has characters.
std::string traceText(const Request& request);

} // namespace vp
