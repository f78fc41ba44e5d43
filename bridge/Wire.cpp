#include "bridge/Wire.h"

#include "codepage/Cp1250Table.h"
#include "protocol/Commands.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace bridge {
namespace {

using Json = nlohmann::ordered_json;

Json valueToJson(const Value& v) {
    if (std::holds_alternative<int64_t>(v))
        return std::get<int64_t>(v);
    if (std::holds_alternative<double>(v)) {
        const double d = std::get<double>(v);
        return std::isfinite(d) ? Json(d) : Json(nullptr); // JSON has no infinity
    }
    if (std::holds_alternative<std::string>(v))
        return cp1250::bytesToUtf8(std::get<std::string>(v));
    return nullptr;
}

std::optional<Value> valueFromJson(const Json& j) {
    if (j.is_null())
        return Value(nullptr);
    if (j.is_number_integer()) {
        if (j.is_number_unsigned() && j.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX))
            return std::nullopt;
        return Value(j.get<int64_t>());
    }
    if (j.is_number_float())
        return Value(j.get<double>());
    if (j.is_string())
        return Value(cp1250::utf8ToBytes(j.get_ref<const std::string&>()));
    return std::nullopt;
}

Json callToJson(const Call& c) {
    Json args = Json::object();
    for (const Argument& a : c.arguments)
        args[a.name] = valueToJson(a.value);
    return Json{{"time", c.time},
                {"library", c.library},
                {"function", c.function},
                {"arguments", args},
                {"sizing", c.sizing},
                {"status", c.status},
                {"subCode", c.subCode},
                {"length", c.length},
                {"answer", toHex(c.answer)},
                {"ms", c.ms}};
}

struct Fail {
    std::string text;
};

const Json& member(const Json& o, const char* name) {
    const auto it = o.find(name);
    if (it == o.end())
        throw Fail{std::string("no \"") + name + "\""};
    return *it;
}
std::string text(const Json& o, const char* name) {
    const Json& j = member(o, name);
    if (!j.is_string())
        throw Fail{std::string("\"") + name + "\" is not a text"};
    return j.get<std::string>();
}
int32_t int32(const Json& o, const char* name) {
    const Json& j = member(o, name);
    if (!j.is_number_integer())
        throw Fail{std::string("\"") + name + "\" is not an integer"};
    const int64_t v = j.is_number_unsigned() && j.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX)
                          ? INT64_MAX
                          : j.get<int64_t>();
    if (v < INT32_MIN || v > INT32_MAX)
        throw Fail{std::string("\"") + name + "\" is out of range"};
    return static_cast<int32_t>(v);
}
bool boolean(const Json& o, const char* name) {
    const Json& j = member(o, name);
    if (!j.is_boolean())
        throw Fail{std::string("\"") + name + "\" is not true or false"};
    return j.get<bool>();
}

Call callFromJson(const Json& o) {
    static constexpr const char* kFields[] = {"time",   "library", "function", "arguments", "sizing",
                                              "status", "subCode", "length",   "answer",    "ms"};
    for (const auto& item : o.items()) {
        const std::string& key = item.key();
        if (std::none_of(std::begin(kFields), std::end(kFields), [&](const char* f) { return key == f; }))
            throw Fail{"a call has no field \"" + key + "\""};
    }
    Call c;
    c.time = text(o, "time");
    c.library = text(o, "library");
    if (c.library != "TavoUser" && c.library != "TavoSrv")
        throw Fail{"\"library\" is neither TavoUser nor TavoSrv"};
    c.function = text(o, "function");
    if (!protocol::knownFunction(c.function))
        throw Fail{"\"" + c.function + "\" is no function of the interface"};
    const Json& args = member(o, "arguments");
    if (!args.is_object())
        throw Fail{"\"arguments\" is not an object"};
    const std::vector<std::string_view> names = protocol::argumentNames(c.function);
    for (const auto& [key, value] : args.items())
        if (std::find(names.begin(), names.end(), key) == names.end())
            throw Fail{c.function + " has no argument \"" + key + "\""};
    for (std::string_view name : names) {
        const auto it = args.find(std::string(name));
        if (it == args.end())
            continue;
        auto v = valueFromJson(*it);
        if (!v)
            throw Fail{"argument \"" + std::string(name) + "\" is not a number, a text or null"};
        c.arguments.push_back(Argument{std::string(name), std::move(*v)});
    }
    c.sizing = boolean(o, "sizing");
    c.status = int32(o, "status");
    c.subCode = int32(o, "subCode");
    c.length = int32(o, "length");
    auto answer = fromHex(text(o, "answer"));
    if (!answer)
        throw Fail{"\"answer\" is not hexadecimal"};
    c.answer = std::move(*answer);
    const Json& ms = member(o, "ms");
    if (!ms.is_number() || ms.get<double>() < 0)
        throw Fail{"\"ms\" is not a duration"};
    c.ms = ms.get<double>();
    return c;
}

Hello helloFromJson(const Json& o) {
    Hello h;
    if (text(o, "hello") != "tavo-bridge")
        throw Fail{"a hello from something other than tavo-bridge"};
    h.protocol = int32(o, "protocol");
    h.platform = text(o, "platform");
    h.dir = text(o, "dir");
    const Json& libs = member(o, "libraries");
    if (!libs.is_array())
        throw Fail{"\"libraries\" is not a list"};
    for (const Json& l : libs) {
        if (!l.is_object())
            throw Fail{"a library is not an object"};
        LibraryInfo info;
        info.library = text(l, "library");
        info.file = text(l, "file");
        info.loaded = boolean(l, "loaded");
        info.error = text(l, "error");
        const Json& missing = member(l, "missing");
        if (!missing.is_array())
            throw Fail{"\"missing\" is not a list"};
        for (const Json& m : missing) {
            if (!m.is_string())
                throw Fail{"a missing function is not a text"};
            info.missing.push_back(m.get<std::string>());
        }
        h.libraries.push_back(std::move(info));
    }
    return h;
}

} // namespace

std::string toLine(const Message& message) {
    Json j;
    if (const auto* h = std::get_if<Hello>(&message)) {
        Json libs = Json::array();
        for (const LibraryInfo& l : h->libraries)
            libs.push_back(Json{{"library", l.library},
                                {"file", l.file},
                                {"loaded", l.loaded},
                                {"error", l.error},
                                {"missing", l.missing}});
        j = Json{{"hello", "tavo-bridge"},
                 {"protocol", h->protocol},
                 {"platform", h->platform},
                 {"dir", h->dir},
                 {"libraries", libs}};
    } else if (const auto* c = std::get_if<Call>(&message)) {
        j = callToJson(*c);
    } else if (const auto* b = std::get_if<Busy>(&message)) {
        j = Json{{"busy", b->ms}};
    } else if (std::holds_alternative<Abort>(message)) {
        j = Json{{"abort", true}};
    } else {
        j = Json{{"error", std::get<Error>(message).text}};
    }
    // Texts the host reports (a file name, a system's error) need not be UTF-8.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace) + '\n';
}

std::optional<Message> readLine(std::string_view line, std::string* error) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    auto fail = [&](std::string why) -> std::optional<Message> {
        if (error)
            *error = std::move(why);
        return std::nullopt;
    };
    if (line.size() > kMaxLine)
        return fail("the line is too long");
    Json j = Json::parse(line, nullptr, false);
    if (j.is_discarded())
        return fail("not JSON");
    if (!j.is_object())
        return fail("not a JSON object");
    try {
        if (j.contains("hello"))
            return Message(helloFromJson(j));
        if (j.contains("function"))
            return Message(callFromJson(j));
        if (j.contains("busy")) {
            const Json& b = j["busy"];
            if (!b.is_number_integer() || j.size() != 1)
                throw Fail{"a busy message is {\"busy\": milliseconds}"};
            return Message(Busy{b.get<int64_t>()});
        }
        if (j.contains("abort")) {
            if (j.size() != 1 || j["abort"] != true)
                throw Fail{"an abort is {\"abort\": true}"};
            return Message(Abort{});
        }
        if (j.contains("error")) {
            if (j.size() != 1 || !j["error"].is_string())
                throw Fail{"an error is {\"error\": text}"};
            return Message(Error{j["error"].get<std::string>()});
        }
        return fail("no message of the bridge");
    } catch (const Fail& f) {
        return fail(f.text);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}

std::string now() {
    using namespace std::chrono;
    const auto t = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(t);
    const auto millis = duration_cast<milliseconds>(t.time_since_epoch()).count() % 1000;
    std::tm tm{};
#if defined(_WIN32)
    gmtime_s(&tm, &secs);
#else
    gmtime_r(&secs, &tm);
#endif
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(millis));
    return buf;
}

std::string toHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::optional<std::string> fromHex(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int hi = digit(hex[i]), lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
    }
    return out;
}

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (const char c : line) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                word += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

void LineReader::feed(std::string_view bytes) {
    pending_.append(bytes);
}

std::optional<std::string> LineReader::next() {
    for (;;) {
        const size_t end = pending_.find('\n', scanned_);
        if (end == std::string::npos) {
            if (pending_.size() > kMaxLine) {
                // Too long for a message: drop it up to its end.
                overflowed_ = true;
                skipping_ = true;
                pending_.clear();
            }
            scanned_ = pending_.size();
            return std::nullopt;
        }
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        scanned_ = 0;
        if (skipping_) {
            skipping_ = false;
            continue;
        }
        if (line.size() > kMaxLine) {
            overflowed_ = true;
            continue;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return line;
    }
}

} // namespace bridge
