#pragma once
// The bridge's wire: one JSON object a line between the client libraries and
// the host (docs/bridge.md, docs/bridge.schema.json). A call is the session
// format's call object. In memory a text argument holds its bytes (code page
// 1250, as the C function takes them); on the wire it is UTF-8, byte for byte
// reversible. Standard library only: the host is built without Qt, for
// Windows too.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace bridge {

inline constexpr int kProtocol = 1;
// The longest line either side accepts: a call's texts are at most a few
// kilobytes and an answer at most 64 KiB (twice that in hexadecimal).
inline constexpr size_t kMaxLine = 1 << 20;

// An argument's value: a null text pointer, an integer, a real or a text's bytes.
using Value = std::variant<std::nullptr_t, int64_t, double, std::string>;

struct Argument {
    std::string name;
    Value value;
    bool operator==(const Argument&) const = default;
};

struct Call {
    std::string time;
    std::string library;  // "TavoUser" or "TavoSrv"
    std::string function; // the exported C function
    std::vector<Argument> arguments;
    bool sizing = false;
    int32_t status = 0;
    int32_t subCode = 0;
    int32_t length = 0; // request: the buffer offered; reply: the length given back
    std::string answer; // reply: the buffer's bytes
    double ms = 0.0;
    bool operator==(const Call&) const = default;
};

struct LibraryInfo {
    std::string library; // "TavoUser" or "TavoSrv"
    std::string file;
    bool loaded = false;
    std::string error;
    std::vector<std::string> missing; // functions of the interface the library lacks
    bool operator==(const LibraryInfo&) const = default;
};

struct Hello {
    int protocol = kProtocol;
    std::string platform; // "linux-x86_64", "windows-x86_64", "windows-x86"
    std::string dir;
    std::vector<LibraryInfo> libraries;
    bool operator==(const Hello&) const = default;
};

struct Busy {
    int64_t ms = 0;
};
struct Abort {};
struct Error {
    std::string text;
};

using Message = std::variant<Hello, Call, Busy, Abort, Error>;

// One message as its line, with the final '\n'.
std::string toLine(const Message& message);

// One line (without or with its '\n' or "\r\n") back; nullopt and the reason
// when it is no message of the wire. A call's arguments must be the function's
// parameters (the catalogue's names), each at most once.
std::optional<Message> readLine(std::string_view line, std::string* error = nullptr);

// The current time as a session's "time" field (UTC).
std::string now();

// Hexadecimal, two uppercase digits a byte, and back (nullopt when not hex).
std::string toHex(std::string_view bytes);
std::optional<std::string> fromHex(std::string_view hex);

// Splits a command line into words: spaces and tabs separate, "..." and '...'
// group (the quotes go), a backslash is an ordinary character.
std::vector<std::string> splitCommandLine(std::string_view line);

// Collects a stream of bytes into lines. A line longer than kMaxLine is a
// fault of the peer: overflowed() turns true and the rest of it is dropped.
class LineReader {
  public:
    void feed(std::string_view bytes);
    // The next whole line without its end, if one has come.
    std::optional<std::string> next();
    bool overflowed() const { return overflowed_; }

  private:
    std::string pending_;
    size_t scanned_ = 0;
    bool overflowed_ = false;
    bool skipping_ = false;
};

} // namespace bridge
