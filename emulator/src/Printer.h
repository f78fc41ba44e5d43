// The fiscal printer's command interpreter: a pure function from the working
// memory, the fiscal memory and one command to an outcome (new working memory,
// answer bytes, printed paper, fiscal memory records to append, data file).
// A refused command leaves no trace: the caller keeps the old state.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "State.h"

namespace vp {

struct ZRecord {
    int64_t zNo = 0;
    int64_t at = 0; // printer time
    std::array<Grosze, 9> gross{}, vat{};
    std::array<int, 9> rates{};
    std::string exempt;
    Grosze deposits = 0, cancelledValue = 0;
    int64_t receipts = 0, cancelled = 0;
    std::string currency;
    bool fiscal = true;
    template <class V> void fields(V& v) {
        v("z", zNo), v("at", at), v("gross", gross), v("vat", vat), v("rates", rates), v("exempt", exempt);
        v("deposits", deposits), v("cancelledValue", cancelledValue), v("receipts", receipts);
        v("cancelled", cancelled), v("currency", currency), v("fiscal", fiscal);
    }
    Grosze total() const;
    Grosze vatTotal() const;
};

struct FmEvent {
    int64_t at = 0;
    std::string kind; // "id", "taxid", "fiscal", "vat", "currency", "ramreset"
    std::string data; // JSON
};

struct FiscalMemory {
    std::vector<ZRecord> records;
    std::vector<FmEvent> events;
    int64_t capacity = 2000;
    int64_t damagedRecord = 0; // fault: this Z record reads back damaged
};

struct Faults {
    bool paperOut = false, offline = false, lowBattery = false, resetPinShorted = false;
};

struct Request {
    std::string code;                // two digits
    std::vector<std::string> fields; // texts in code page 1250
};

struct DataFile {
    std::string name; // "_Plu.mem", ...
    std::string bytes;
};

struct Outcome {
    int32_t status = 0, subCode = 0;
    std::string answer;
    std::vector<std::string> paper; // UTF-8 lines, 32 characters wide
    std::string documentKind;       // for the electronic journal, empty when nothing printed
    bool changed = false;
    State state;
    std::vector<ZRecord> newRecords;
    std::vector<FmEvent> newEvents;
    std::optional<DataFile> file;
};

constexpr int kPaperWidth = 32;
constexpr int kAckLength = 22;

// Answer size in bytes for a command code; the largest answer the code gives.
int answerSize(const std::string& code);
bool isKnownCode(const std::string& code);

class Printer {
  public:
    // now: printer clock, seconds since 1970 of the printer's wall time.
    static Outcome execute(const State& state, const FiscalMemory& fm, const Faults& faults, int64_t now,
                           const Request& request);
    // Applies what happens by itself when time passes (currency change).
    static void catchUp(State& state, int64_t now, std::vector<FmEvent>& events,
                        std::vector<std::string>& paper);
};

// Helpers shared with tests and the library.
std::string fromCp1250(const std::string& bytes);
std::string toCp1250(const std::string& utf8);
int64_t wallSeconds(int year, int month, int day, int hour, int minute, int second);
std::string formatWall(int64_t secs, bool withTime = true); // "2026-03-07 12:00"

} // namespace vp
