#pragma once
// A session: every call through the device libraries, in order, one JSON line
// each (docs/session.schema.json). The console records one, the virtual
// printer's trace is one, and tavo-replay runs one again. Texts are UTF-8,
// decoded from code page 1250; a password is never held, only asterisks of
// its length.

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace session {

// An argument's value: a null text pointer, an integer, a real or a text.
using Value = std::variant<std::nullptr_t, int64_t, double, std::string>;

struct Argument {
    std::string name;
    Value value;
    bool operator==(const Argument&) const = default;
};

struct Call {
    std::string time;                // ISO 8601 with milliseconds and the UTC offset
    std::string library;             // "TavoUser" or "TavoSrv"
    std::string function;            // the exported C function
    std::vector<Argument> arguments; // in call order
    bool sizing = false;             // the first of a command's two calls: no buffer, only the size
    int32_t status = 0;              // the function's result, or the command's Status
    int32_t subCode = 0;
    int32_t length = 0; // the length the call gave back (on a sizing call, the size asked for)
    std::string answer; // the bytes the call put in the buffer
    double ms = 0.0;    // how long the call took

    bool operator==(const Call&) const = default;
    const Argument* argument(std::string_view name) const;
};

// The parameter names of a function, in call order: a command's from the
// protocol catalogue, the link functions' from the C interface. Empty for a
// function neither knows.
std::vector<std::string_view> parameterNames(std::string_view function);
bool knownFunction(std::string_view function);
// True when parameter `name` of `function` is a password.
bool isPassword(std::string_view function, std::string_view name);

// What a session holds for a text argument: UTF-8 from code page 1250, or
// asterisks of its length for a password.
std::string textValue(const QByteArray& bytes, bool password);
// A raw command line with every password field replaced by asterisks of its
// length (the fields a catalogue command of that code marks as passwords).
QByteArray maskCommandLine(const QByteArray& line);

// The current time as the "time" field writes it.
std::string now();

// One call as its JSON line, with the final '\n'.
QByteArray toJsonLine(const Call& call);
// One line back; nullopt and the reason when it is not a call of the schema.
std::optional<Call> fromJsonLine(QByteArrayView line, QString* error = nullptr);

// A whole session file. A last line without its '\n' (the program stopped
// while writing it) is left out and noted; any other bad line stops the read.
struct Read {
    std::vector<Call> calls;
    QString error;   // the file could not be read, or a line is not a call
    QString warning; // e.g. a last line cut short
    bool ok() const { return error.isEmpty(); }
};
Read readFile(const QString& path);

// Appends calls to a session file, each as one write and flushed at once, so
// the file holds every whole call however the program ends.
class Writer {
  public:
    Writer() = default;
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool open(const QString& path, QString* error = nullptr); // appends to an existing file
    void close();
    bool isOpen() const { return file_.isOpen(); }
    QString path() const { return file_.fileName(); }
    // False when the line could not be written whole.
    bool write(const Call& call);

    // One call appended to a file opened and closed for it.
    static bool append(const QString& path, const Call& call);

  private:
    QFile file_;
};

} // namespace session
