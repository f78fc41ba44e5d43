// The fiscal printer's command interpreter: a pure function from the working
// memory, views of the fiscal memory and the article base, and one command to
// an outcome (new working memory, answer bytes, printed paper, fiscal memory
// records to append, article rows to write, a data file). A refused command
// leaves no trace: the caller keeps the old state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Memories.h"
#include "State.h"

namespace vp {

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
    std::vector<Article> articleWrites; // rows of the article base to insert or replace
    bool articlesCleared = false;       // the base is emptied before the writes
    std::optional<DataFile> file;
};

constexpr int kPaperWidth = 32;

class Printer {
  public:
    // now: the printer's wall clock, seconds since 1970 of its local time.
    static Outcome execute(const State& state, const FiscalView& fm, const ArticleView& articles,
                           const Faults& faults, int64_t now, const Request& request);
    // Applies what happens by itself when time passes (a programmed currency change).
    static void catchUp(State& state, int64_t now, std::vector<FmEvent>& events,
                        std::vector<std::string>& paper);
};

// Splits a raw command line ("30|2|szt|1.50|01|Mleko|0|0") into its code and fields.
Request parseCommandLine(const std::string& line);

int64_t wallSeconds(int year, int month, int day, int hour, int minute, int second);
std::string formatWall(int64_t secs, bool withTime = true); // "2026-03-07 12:00"

} // namespace vp
