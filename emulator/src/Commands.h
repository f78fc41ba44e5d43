// The printer's command table: every code once, with its handler and what it
// needs before it may run. What the protocol says of a code (its answer's
// size, whether it prints, which fields are passwords) comes from the
// catalogue (protocol/Commands.h); the table holds what only the printer knows.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "protocol/Commands.h"

namespace vp {

class Exec;

struct CommandEntry {
    const char* code;
    void (Exec::*handler)();
    bool serviceOnly;  // only in service mode
    bool noDocument;   // refused while a receipt or package document is open
    bool withRamError; // allowed while the SRAM is lost (status, service, reports)

    // From the catalogue:
    int answerSize() const { return protocol::answerSize(code); }      // the largest answer of the code
    bool prints() const { return protocol::codePrints(code); }         // may put paper out
    unsigned secretMask() const { return protocol::secretMask(code); } // bit i: field i is a password
};

std::span<const CommandEntry> commandTable();
const CommandEntry* findCommand(const std::string& code);

constexpr int kAckLength = protocol::Acknowledgement::layout.size;

// Answer size in bytes for a command code; the largest answer the code gives,
// the acknowledgement's for an unknown code.
int answerSize(const std::string& code);
bool isKnownCode(const std::string& code);

struct Request;

} // namespace vp
