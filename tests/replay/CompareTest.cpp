// The comparison of a replayed call with the recorded one, case by case: a
// named field, a volatile field (left out, then compared on request), a field
// left out by name, bytes beyond the layout, a dump's byte ranges, a record
// block's field and a sizing call.

#include "replay/Compare.h"
#include "protocol/Commands.h"
#include "replay/Report.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace hw = protocol::HardwareStatus;

// A hardware status answer with the given fields put in.
std::string hardware(std::string taxId = "5260250274", std::string receiptNo = "000012") {
    std::string a(static_cast<size_t>(hw::layout.size), '0');
    a.replace(0, 2, "O0");
    a.replace(static_cast<size_t>(hw::IdCode.offset), 3, "ABC");
    a.replace(static_cast<size_t>(hw::IdNumber.offset), 8, "12345678");
    a.replace(static_cast<size_t>(hw::TaxId.offset), 10, taxId);
    a.replace(static_cast<size_t>(hw::ReceiptNo.offset), 6, receiptNo);
    return a;
}

session::Call call(const char* function, std::string answer, bool sizing = false) {
    session::Call c;
    c.library = "TavoUser";
    c.function = function;
    c.sizing = sizing;
    c.length = static_cast<int32_t>(sizing ? 62 : answer.size());
    c.answer = std::move(answer);
    return c;
}

std::string departments(int changedRecord, const char* name) {
    std::string a(209, ' ');
    a.replace(0, 2, "O0");
    for (int r = 0; r < 9; ++r) {
        const size_t at = 2 + static_cast<size_t>(r) * 23;
        a.replace(at, 3, std::to_string(10 + r) + "A");
        if (r == changedRecord)
            a.replace(at + 3, std::string(name).size(), name);
    }
    return a;
}

std::string dump(std::initializer_list<std::pair<int, char>> changes) {
    std::string a(protocol::MemoryDump::kSize, '\x11');
    for (auto [at, b] : changes)
        a[static_cast<size_t>(at)] = b;
    return a;
}

struct Case {
    const char* what;
    session::Call recorded, replayed;
    replay::CompareOptions options;
    // Each difference as "field | meaning | recorded | replayed | offset+width".
    std::vector<std::string> expected;
    int volatileIgnored = 0, ignored = 0;
};

std::string show(const replay::Difference& d) {
    return (d.field + " | " + d.meaning + " | " + d.recorded + " | " + d.replayed).toStdString() + " | " +
           std::to_string(d.offset) + "+" + std::to_string(d.width);
}

TEST(Compare, CallByCall) {
    session::Call refused = call("cmHardwareStatus", hardware());
    refused.status = -4;
    refused.subCode = 67;
    session::Call sizingLonger = call("cmHardwareStatus", "", true);
    sizingLonger.length = 70;
    const replay::CompareOptions compareVolatile{{}, true};
    const Case cases[] = {
        {"the same answer",
         call("cmHardwareStatus", hardware()),
         call("cmHardwareStatus", hardware()),
         {},
         {}},
        {"a named field",
         call("cmHardwareStatus", hardware()),
         call("cmHardwareStatus", hardware("1234563218")),
         {},
         {"TaxId | tax ID (NIP), 0xFF when unset | \"5260250274\" | \"1234563218\" | 13+10"}},
        {"a volatile field is left out",
         call("cmHardwareStatus", hardware()),
         call("cmHardwareStatus", hardware("5260250274", "000013")),
         {},
         {},
         1},
        {"a volatile field compared on request",
         call("cmHardwareStatus", hardware()),
         call("cmHardwareStatus", hardware("5260250274", "000013")),
         compareVolatile,
         {"ReceiptNo | last receipt number | 000012 | 000013 | 40+6"}},
        {"--ignore by name and by layout",
         call("cmHardwareStatus", hardware()),
         call("cmHardwareStatus", hardware("1234563218", "000013")),
         {{"HardwareStatus.TaxId"}, false},
         {},
         1,
         1},
        {"status, sub-code and the bytes beyond the layout",
         call("cmHardwareStatus", hardware() + "XYZ"),
         [&] {
             session::Call c = call("cmHardwareStatus", hardware() + "XQ");
             c.status = -4;
             c.subCode = 67;
             return c;
         }(),
         {},
         {"Status | what the function returned | 0 | -4 | -1+0",
          "SubCode | the printer's sub-code | 0 | 67 | -1+0", "Length | the answer's length | 65 | 64 | -1+0",
          "bytes 63-64 | beyond the answer's layout | 59 5A | 51 | 63+2"}},
        {"a dump byte by byte, in ranges",
         call("cmSRAMDump", dump({})),
         call("cmSRAMDump", dump({{10, 'a'}, {11, 'b'}, {12, 'c'}, {129, '\xFF'}})),
         {},
         {"bytes 10-12 | memory dump | 11 11 11 | 61 62 63 | 10+3",
          "byte 129 | memory dump | 11 | FF | 129+1"}},
        {"a record block's field, then left out by its block's name",
         call("cmUploadDepartment", departments(2, "Pieczywo")),
         call("cmUploadDepartment", departments(2, "Nabia\xB3")),
         {},
         {"Departments record 3: Name | department name, 0xFF when unset | \"Pieczywo\" | \"Nabiał\" | "
          "51+20"}},
        {"a record field left out as Departments.Name",
         call("cmUploadDepartment", departments(2, "Pieczywo")),
         call("cmUploadDepartment", departments(2, "Nabia\xB3")),
         {{"Departments.Name"}, false},
         {},
         0,
         1},
        {"a sizing call: status and length only",
         call("cmHardwareStatus", "", true),
         sizingLonger,
         {},
         {"Length | the answer's size the sizing call gave | 62 | 70 | -1+0"}},
    };
    for (const Case& c : cases) {
        const replay::Comparison r = replay::compare(c.recorded, c.replayed, c.options);
        std::vector<std::string> got;
        for (const auto& d : r.differences)
            got.push_back(show(d));
        EXPECT_EQ(got, c.expected) << c.what;
        EXPECT_EQ(r.volatileIgnored, c.volatileIgnored) << c.what;
        EXPECT_EQ(r.ignored, c.ignored) << c.what;
    }
}

} // namespace
