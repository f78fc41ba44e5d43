// glosk_gen: turns the language library's string table into C++ source.
//
//   glosk_gen [--require REQUIREMENTS] TABLE OUTPUT.cpp   generate (and check)
//   glosk_gen --check TABLE REQUIREMENTS                  check only
//
// Table format (UTF-8): one string per line, "<id><TAB><text>". The id is a
// decimal number; the text runs to the end of the line and may use the escapes
// \n (line feed), \r (carriage return), \t (tab) and \\ (backslash); any other
// backslash sequence is an error. Lines starting with '#' and empty lines are
// ignored; a trailing CR (CRLF files) and a leading byte order mark are dropped.
// Duplicate ids and invalid UTF-8 are errors.
//
// Requirements format: one rule per line, "<id>" or "<first>-<last>", optionally
// followed by the exact placeholder sequence the text must carry ("%s", "%d%s",
// ...) or "none" for a text without placeholders. '#' starts a comment line.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Rule {
    uint32_t first = 0;
    uint32_t last = 0;
    std::optional<std::string> placeholders; // normalised, e.g. "sd"
    int line = 0;
};

bool fail(const std::string& where, int line, const std::string& what) {
    std::cerr << where << ":" << line << ": error: " << what << "\n";
    return false;
}

bool parseId(const std::string& s, uint32_t& id) {
    if (s.empty() || s.size() > 10)
        return false;
    uint64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > UINT32_MAX)
        return false;
    id = static_cast<uint32_t>(v);
    return true;
}

bool validUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n;
        uint32_t cp;
        if (c < 0x80) {
            if (c == 0)
                return false;
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + n >= s.size())
            return false;
        for (std::size_t k = 1; k <= n; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

// The conversions of a format text, in order, as the console's formatter reads
// them: "%%" is a literal, "%[-+ #0][width][.precision][h|l|hh|ll](s|d|i)" a
// placeholder (i counts as d); anything else after '%' is literal text.
std::string placeholders(const std::string& s) {
    std::string out;
    std::size_t i = 0;
    while (i < s.size()) {
        if (s[i] != '%') {
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        if (j < s.size() && s[j] == '%') {
            i = j + 1;
            continue;
        }
        while (j < s.size() && std::string("-+ #0").find(s[j]) != std::string::npos)
            ++j;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9')
            ++j;
        if (j < s.size() && s[j] == '.') {
            ++j;
            while (j < s.size() && s[j] >= '0' && s[j] <= '9')
                ++j;
        }
        for (int k = 0; k < 2 && j < s.size() && (s[j] == 'h' || s[j] == 'l'); ++k)
            ++j;
        if (j < s.size() && (s[j] == 's' || s[j] == 'd' || s[j] == 'i')) {
            out += s[j] == 's' ? 's' : 'd';
            i = j + 1;
        } else {
            ++i;
        }
    }
    return out;
}

bool readTable(const std::string& path, std::map<uint32_t, std::string>& table) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail(path, 0, "cannot open");
    std::string line;
    int lineNo = 0;
    bool ok = true;
    while (std::getline(in, line)) {
        ++lineNo;
        if (lineNo == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        std::size_t tab = line.find('\t');
        uint32_t id = 0;
        if (tab == std::string::npos || !parseId(line.substr(0, tab), id)) {
            ok = fail(path, lineNo, "expected <id><TAB><text>");
            continue;
        }
        std::string raw = line.substr(tab + 1);
        std::string text;
        bool lineOk = true;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '\\') {
                text += raw[i];
                continue;
            }
            char e = i + 1 < raw.size() ? raw[i + 1] : '\0';
            switch (e) {
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 't':
                text += '\t';
                break;
            case '\\':
                text += '\\';
                break;
            default:
                lineOk = fail(path, lineNo, "unknown escape sequence");
                break;
            }
            ++i;
        }
        if (!validUtf8(text))
            lineOk = fail(path, lineNo, "text is not valid UTF-8");
        if (table.count(id) != 0)
            lineOk = fail(path, lineNo, "duplicate id " + std::to_string(id));
        if (!lineOk) {
            ok = false;
            continue;
        }
        table[id] = text;
    }
    return ok;
}

bool readRules(const std::string& path, std::vector<Rule>& rules) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail(path, 0, "cannot open");
    std::string line;
    int lineNo = 0;
    bool ok = true;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        std::string range, signature, extra;
        if (!(words >> range) || range[0] == '#')
            continue;
        Rule rule;
        rule.line = lineNo;
        std::size_t dash = range.find('-');
        bool idsOk = dash == std::string::npos
                         ? parseId(range, rule.first) && parseId(range, rule.last)
                         : parseId(range.substr(0, dash), rule.first) &&
                               parseId(range.substr(dash + 1), rule.last) && rule.first <= rule.last;
        if (!idsOk) {
            ok = fail(path, lineNo, "expected <id> or <first>-<last>");
            continue;
        }
        if (words >> signature) {
            if (signature == "none") {
                rule.placeholders = std::string();
            } else {
                rule.placeholders = placeholders(signature);
                if (rule.placeholders->empty()) {
                    ok = fail(path, lineNo, "placeholder sequence expected, or 'none'");
                    continue;
                }
            }
        }
        if (words >> extra) {
            ok = fail(path, lineNo, "unexpected text after the rule");
            continue;
        }
        rules.push_back(rule);
    }
    return ok;
}

std::string describe(const std::string& conversions) {
    if (conversions.empty())
        return "no placeholders";
    std::string out;
    for (char c : conversions)
        out += std::string("%") + c;
    return out;
}

bool check(const std::map<uint32_t, std::string>& table, const std::vector<Rule>& rules,
           const std::string& rulesPath) {
    bool ok = true;
    for (const Rule& rule : rules) {
        for (uint64_t id = rule.first; id <= rule.last; ++id) {
            auto it = table.find(static_cast<uint32_t>(id));
            if (it == table.end()) {
                ok = fail(rulesPath, rule.line, "string " + std::to_string(id) + " is missing");
                continue;
            }
            if (it->second.empty())
                ok = fail(rulesPath, rule.line, "string " + std::to_string(id) + " is empty");
            if (rule.placeholders) {
                std::string found = placeholders(it->second);
                if (found != *rule.placeholders)
                    ok = fail(rulesPath, rule.line,
                              "string " + std::to_string(id) + " must carry " + describe(*rule.placeholders) +
                                  ", has " + describe(found));
            }
        }
    }
    return ok;
}

std::string cEscaped(const std::string& s) {
    std::string out;
    char octal[8];
    for (unsigned char c : s) {
        if (c == '"' || c == '\\' || c == '?') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        }
    }
    return out;
}

bool writeSource(const std::map<uint32_t, std::string>& table, const std::string& path) {
    std::ostringstream entries, text;
    uint64_t offset = 0;
    for (const auto& [id, s] : table) {
        entries << "    {" << id << "u, " << offset << "u, " << s.size() << "u},\n";
        text << "    \"" << cEscaped(s) << "\" \"\\0\"\n";
        offset += s.size() + 1;
    }
    if (offset > UINT32_MAX)
        return fail(path, 0, "string table too large");
    std::ostringstream src;
    src << "// Generated by glosk_gen from the string table. Do not edit.\n"
        << "#include \"GloskTable.h\"\n\n"
        << "namespace glosk {\n\n"
        << "const Entry kEntries[] = {\n"
        << (table.empty() ? "    {0u, 0u, 0u},\n" : entries.str()) << "};\n"
        << "const std::size_t kEntryCount = " << table.size() << ";\n\n"
        << "const char kText[] =\n"
        << (table.empty() ? "    \"\"\n" : text.str()) << "    ;\n\n"
        << "} // namespace glosk\n";
    // Rewrite only on change, so that an unchanged table relinks nothing.
    std::ifstream old(path, std::ios::binary);
    std::ostringstream oldText;
    oldText << old.rdbuf();
    if (old && oldText.str() == src.str())
        return true;
    old.close();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << src.str();
    return out.good() || fail(path, 0, "cannot write");
}

int usage() {
    std::cerr << "usage: glosk_gen [--require REQUIREMENTS] TABLE OUTPUT.cpp\n"
                 "       glosk_gen --check TABLE REQUIREMENTS\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::map<uint32_t, std::string> table;
    std::vector<Rule> rules;
    if (args.size() == 3 && args[0] == "--check") {
        bool ok = readTable(args[1], table) && readRules(args[2], rules) && check(table, rules, args[2]);
        if (ok)
            std::cout << table.size() << " strings, all " << rules.size() << " rules hold\n";
        return ok ? 0 : 1;
    }
    std::string requirements;
    if (args.size() == 4 && args[0] == "--require") {
        requirements = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() != 2)
        return usage();
    if (!readTable(args[0], table))
        return 1;
    if (!requirements.empty() && !(readRules(requirements, rules) && check(table, rules, requirements)))
        return 1;
    return writeSource(table, args[1]) ? 0 : 1;
}
