// docs/virtual-printer.md and the protocol catalogue say the same: every
// command's row (code, functions, answer bytes), every answer's size and every
// field offset the document gives.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/Commands.h"

namespace P = protocol;

namespace {

std::string trim(const std::string& t) {
    const size_t a = t.find_first_not_of(" `"), b = t.find_last_not_of(" `");
    return a == std::string::npos ? std::string() : t.substr(a, b - a + 1);
}

// The cells of a table row, split at every "|" not escaped as "\|".
std::vector<std::string> cells(const std::string& row) {
    std::vector<std::string> out;
    std::string cell;
    for (size_t i = 1; i < row.size(); ++i) {
        if (row[i] == '|' && row[i - 1] != '\\') {
            out.push_back(trim(cell));
            cell.clear();
        } else {
            cell += row[i];
        }
    }
    return out;
}

std::vector<std::string> split(const std::string& t, const std::string& by) {
    std::vector<std::string> out;
    size_t at = 0;
    for (size_t next; (next = t.find(by, at)) != std::string::npos; at = next + by.size())
        out.push_back(trim(t.substr(at, next - at)));
    out.push_back(trim(t.substr(at)));
    return out;
}

// The body rows of every table whose header row is `header`.
std::vector<std::vector<std::string>> tables(const std::string& header) {
    std::ifstream in(CONSOLE_SOURCE_DIR "/docs/virtual-printer.md");
    EXPECT_TRUE(in) << "docs/virtual-printer.md not found";
    std::vector<std::vector<std::string>> rows;
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (line.rfind(header, 0) == 0) {
            inside = true;
            std::getline(in, line); // the |---| line
            continue;
        }
        if (inside && line.rfind("|", 0) == 0)
            rows.push_back(cells(line));
        else
            inside = false;
    }
    return rows;
}

int number(const std::string& t) {
    try {
        return std::stoi(t);
    } catch (...) {
        return -1;
    }
}

const P::Field* findField(const P::Layout& l, const std::string& name) {
    for (const P::Field& f : l.fields)
        if (name == f.name)
            return &f;
    for (const P::Field& f : l.recordFields)
        if (name == f.name)
            return &f;
    return nullptr;
}

} // namespace

TEST(CatalogueDoc, EveryCommandRowIsTheCatalogues) {
    std::map<std::string, int> seen;
    const auto rows = tables("| Code | Function | Parameters | Ack value | Answer bytes |");
    ASSERT_FALSE(rows.empty());
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 5u) << row[0];
        for (const std::string& fn : split(row[1], " / ")) {
            ++seen[fn];
            const P::Command* c = P::findFunction(fn);
            ASSERT_NE(c, nullptr) << fn << " is not in the catalogue";
            EXPECT_EQ(row[0], c->code) << fn;
            EXPECT_EQ(number(row[4]), c->answer.size) << fn;
        }
    }
    for (const P::Command* c : P::kCommands)
        EXPECT_EQ(seen[c->function], 1) << c->function << " rows in the document";
}

TEST(CatalogueDoc, AnswerSizesAndFieldOffsetsAreTheCatalogues) {
    const auto answers = tables("| Code | Answer | Bytes |");
    ASSERT_FALSE(answers.empty());
    for (const auto& row : answers) {
        ASSERT_EQ(row.size(), 3u);
        for (const std::string& code : split(row[0], ",")) {
            EXPECT_NE(P::findCode(code), nullptr) << code;
            EXPECT_EQ(number(row[2]), P::answerSize(code)) << code;
        }
    }
    const auto fields = tables("| Field | Offset | Width |");
    ASSERT_FALSE(fields.empty());
    for (const auto& row : fields) {
        ASSERT_GE(row.size(), 3u);
        const auto dot = row[0].find('.');
        ASSERT_NE(dot, std::string::npos) << row[0];
        const P::Layout* l = P::findLayout(row[0].substr(0, dot));
        ASSERT_NE(l, nullptr) << row[0];
        const P::Field* f = findField(*l, row[0].substr(dot + 1));
        ASSERT_NE(f, nullptr) << row[0];
        EXPECT_EQ(number(row[1]), f->offset) << row[0];
        EXPECT_EQ(number(row[2]), f->width) << row[0];
    }
}
