// Raw command lines, one a line, run on the printer core with an in-memory
// fiscal memory and article base: a refused command leaves no trace, a command
// that reports no change has nothing to store, every answer fits its code's
// size, every paper line fits the roll, numbering never goes back. Two control
// lines steer what is not a command: "+N" moves the clock N minutes on, "!c"
// sets the faults from the bits of c (paper out, offline, low battery, reset
// pin, fiscal memory full, last record damaged).
#include "Commands.h"
#include "Printer.h"

#include <string_view>

using namespace vp;

namespace {

void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

size_t codePoints(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        n += (c & 0xC0) != 0x80;
    return n;
}

// What the link would store; a data file is written either way.
bool storesNothing(const Outcome& o, const State& before) {
    return o.state == before && o.paper.empty() && o.newRecords.empty() && o.newEvents.empty() &&
           o.articleWrites.empty() && !o.articlesCleared;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    State state;
    FiscalMemory fm;
    ArticleBase articles;
    Faults faults;
    int64_t now = wallSeconds(2026, 3, 7, 10, 0, 0);

    std::string_view in(reinterpret_cast<const char*>(data), size);
    while (!in.empty()) {
        const size_t end = in.find('\n');
        const std::string line(in.substr(0, end));
        in = end == std::string_view::npos ? std::string_view() : in.substr(end + 1);
        now += 1;
        if (!line.empty() && line[0] == '+') {
            int64_t minutes = 0;
            for (size_t i = 1; i < line.size() && i < 7 && line[i] >= '0' && line[i] <= '9'; ++i)
                minutes = minutes * 10 + (line[i] - '0');
            now += minutes * 60;
            continue;
        }
        if (line.size() == 2 && line[0] == '!') {
            const auto bits = static_cast<unsigned char>(line[1]);
            faults = Faults{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
            fm.fmCapacity = bits & 16 ? fm.zCount() : 2000;
            fm.damagedZ.clear();
            if (bits & 32 && !fm.records.empty())
                fm.damagedZ.insert(fm.records.back().zNo);
            continue;
        }

        const Request request = parseCommandLine(line);
        const Outcome o = Printer::execute(state, fm, articles, faults, now, request);
        check(o.answer.size() <= static_cast<size_t>(answerSize(request.code)));
        for (const auto& l : o.paper)
            check(codePoints(l) <= kPaperWidth);
        if (o.status < 0) {
            check(storesNothing(o, state) && !o.file && o.answer.empty());
            continue;
        }
        // The link rolls back what a command does not report as a change.
        if (!o.changed)
            check(storesNothing(o, state));
        // Numbering survives everything, an SRAM erase too; the fiscal memory
        // takes only the next daily report number.
        check(o.state.receiptNo >= state.receiptNo && o.state.documentNo >= state.documentNo);
        for (const auto& z : o.newRecords) {
            check(z.zNo == fm.zCount() + 1);
            fm.records.push_back(z);
        }
        fm.events.insert(fm.events.end(), o.newEvents.begin(), o.newEvents.end());
        if (o.articlesCleared)
            articles.articles.clear();
        for (const auto& a : o.articleWrites)
            articles.articles[a.name] = a;
    }
    return 0;
}
