// Service work: SRAM erase and the memory dumps.
#include <algorithm>
#include <cstdio>

#include "Exec.h"

namespace vp {

namespace {

constexpr int kDumpBlock = 128;

// What the SRAM dump shows: the working memory as the printer keeps it, but
// never a password (a dump ends up in traces and on screens).
std::string sramImage(const State& s) {
    std::string out;
    auto line = [&](const std::string& k, const std::string& v) { out += k + "=" + v + "\n"; };
    line("ecr", std::to_string(s.ecrNumber));
    line("system", s.systemNumber);
    for (size_t i = 0; i < 9; ++i)
        line(std::string("rate") + kLetters[i], std::to_string(s.rates[i]));
    line("exempt", s.exemptLetter);
    for (size_t i = 0; i < 5; ++i)
        if (s.headerSet[i])
            line("header" + std::to_string(i + 1), cp1250::fromUtf8(s.header[i]));
    for (size_t i = 0; i < 9; ++i)
        if (s.departmentSet[i])
            line("dept" + std::to_string(i + 1),
                 cp1250::fromUtf8(s.departments[i].name) + "/" + s.departments[i].letter);
    for (size_t i = 0; i < 9; ++i)
        if (!s.clerks[i].password.empty())
            line("clerk" + std::to_string(i + 1), cp1250::fromUtf8(s.clerks[i].name));
    line("onDuty", std::to_string(s.clerkOnDuty));
    line("service", s.serviceMode ? "1" : "0");
    line("density", std::to_string(s.density));
    line("params", s.parameters);
    line("drawer", std::to_string(s.drawer));
    line("receiptNo", std::to_string(s.receiptNo));
    line("documentNo", std::to_string(s.documentNo));
    line("sale", s.sale.code);
    line("first", s.first.code);
    line("second", s.second.code);
    std::string day;
    for (auto g : s.day.gross)
        day += std::to_string(g) + ",";
    line("dayGross", day);
    line("receiptOpen", s.receipt.open ? "1" : "0");
    return out;
}

} // namespace

void Exec::sramErase() {
    needFields(6);
    int64_t v[6];
    for (size_t i = 0; i < 6; ++i) {
        const auto x = parseInt(raw(i));
        if (!x)
            refuse(91);
        v[i] = *x;
    }
    if (v[2] < 0 || v[2] > 99 || v[3] < 0 || v[3] > 23 || v[4] < 0 || v[4] > 59 || v[5] < 0 || v[5] > 59)
        refuse(91);
    const int64_t at =
        wallSeconds(static_cast<int>(2000 + v[2]), static_cast<int>(v[1]), static_cast<int>(v[0]),
                    static_cast<int>(v[3]), static_cast<int>(v[4]), static_cast<int>(v[5]));
    if (at < 0)
        refuse(91);
    if (!s.serviceMode && !f_.resetPinShorted)
        refuse(40);
    const int64_t last = fm_.lastEntryAt();
    if (last && at < last)
        refuse(74);
    if (s.ramResets >= 200)
        refuse(79);
    State fresh;
    // what the fiscal memory holds survives: the facts, and the numbering
    fresh.idCode = s.idCode, fresh.idNumber = s.idNumber, fresh.taxId = s.taxId;
    fresh.taxIdFormat = s.taxIdFormat;
    fresh.fiscal = s.fiscal;
    fresh.vatChanges = s.vatChanges, fresh.currencyChanges = s.currencyChanges;
    fresh.ramResets = s.ramResets + 1;
    fresh.receiptNo = s.receiptNo, fresh.documentNo = s.documentNo;
    fresh.softwareVersion = s.softwareVersion;
    fresh.serviceMode = s.serviceMode;
    fresh.servicePassword = s.ramError ? std::string("0000") : s.servicePassword;
    fresh.sale = s.sale;
    if (s.fiscal) {
        fresh.rates = s.rates;
        fresh.exemptLetter = s.exemptLetter;
        fresh.ratesSet = s.ratesSet;
    }
    fresh.clockOffset = s.clockOffset + (at - now_);
    s = fresh;
    o_.newEvents.push_back(FmEvent{at, "ramreset", "{\"count\":" + std::to_string(s.ramResets) + "}"});
    o_.articlesCleared = true;
    if (!f_.paperOut && !f_.offline) {
        printHeader("ZEROWANIE RAM");
        printLr("ZEROWANIE NR", std::to_string(s.ramResets));
        printFooter();
        document("ram-reset");
    }
    changed();
    ack(s.ramResets);
}

void Exec::dump(int which) {
    needFields(1);
    const std::string field = raw(0);
    const int64_t size = which == 0 ? 0x8000 : which == 1 ? 0x20000 : 0x40000;
    const int refusal = which == 0 ? 81 : 44;
    if (field.empty() || field.size() > 8)
        refuse(refusal);
    int64_t address = 0;
    for (char c : field) {
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : -1;
        if (d < 0)
            refuse(refusal);
        address = address * 16 + d;
    }
    if (address + kDumpBlock > size)
        refuse(refusal);
    std::string block;
    if (which == 0) {
        const std::string image = sramImage(s);
        if (static_cast<int64_t>(image.size()) > address)
            block = image.substr(static_cast<size_t>(address), kDumpBlock);
    } else if (which == 1) {
        // one 32-byte line per daily record
        const int64_t firstZ = address / 32 + 1, lastZ = (address + kDumpBlock - 1) / 32 + 1;
        std::string image;
        for (const auto& z : fm_.byNumber(firstZ, std::min(lastZ, fm_.zCount()))) {
            char rec[33];
            std::snprintf(rec, sizeof rec, "Z%04lld %s %012lld", static_cast<long long>(z.zNo),
                          formatWall(z.at, false).c_str(), static_cast<long long>(z.total()));
            image += paper::pad(rec, 32, '\0');
        }
        const auto skip = static_cast<size_t>(address - (firstZ - 1) * 32);
        if (image.size() > skip)
            block = image.substr(skip, kDumpBlock);
    } else {
        const std::string banner = "TAVO VIRTUAL PRINTER ROM " + s.softwareVersion;
        for (int64_t i = address; i < address + kDumpBlock; ++i)
            block += i < static_cast<int64_t>(banner.size()) ? banner[static_cast<size_t>(i)]
                                                             : static_cast<char>((i * 131 + 7) & 0xFF);
    }
    block.resize(kDumpBlock, '\xFF');
    o_.answer = "O0" + block;
}

} // namespace vp
