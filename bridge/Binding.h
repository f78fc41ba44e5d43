#pragma once
// The host's binding table: every function of the C interface the bridge
// forwards, with the C kinds of its arguments and a caller that passes a
// call's values to a bound function pointer. The commands come from the
// catalogue's list; &::fn names the function TavoApi.h declares, so a command
// the header lacks, or declares with kinds the caller cannot pass, does not
// compile. Standard library only (the host is built without Qt).

#include "bridge/Wire.h"
#include "device/TavoApi.h"
#include "protocol/Commands.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace bridge {

enum class Kind { Int, Double, Text, Pointer };

// Which library a function belongs in: a command's per the catalogue; the link
// functions per the interface (OpenTavo and CloseTavo in both).
enum class Where { User, Service, Both };

// A function's outcome: a command's CommandResult, or a link function's result
// as Status.
struct Outcome {
    int32_t status = 0;
    int32_t subCode = 0;
    int32_t length = 0;
    std::string answer;
};

using RawFunction = void (*)();
// Calls the function with the values in parameter order; throws
// std::invalid_argument when a value does not fit its parameter.
using Caller = Outcome (*)(RawFunction, const std::vector<Value>&, char* buffer, int32_t offered);

struct Binding {
    const char* name;
    Where where;
    bool required; // the library is of no use without it
    Caller call;
    std::vector<Kind> (*kinds)();
    int stackBytes; // what a 32-bit stdcall build puts after "@" in a decorated name
};

namespace detail {

template <typename T> T valueAs(const std::vector<Value>& v, std::size_t i) {
    const Value& x = v.at(i);
    const std::string where = "argument " + std::to_string(i + 1);
    if constexpr (std::is_same_v<T, int32_t>) {
        if (const auto* n = std::get_if<int64_t>(&x); n && *n >= INT32_MIN && *n <= INT32_MAX)
            return static_cast<int32_t>(*n);
        throw std::invalid_argument(where + " is not a 32-bit integer");
    } else if constexpr (std::is_same_v<T, uintptr_t>) {
        if (const auto* n = std::get_if<int64_t>(&x); n && *n >= 0)
            return static_cast<uintptr_t>(*n);
        throw std::invalid_argument(where + " is not a handle");
    } else if constexpr (std::is_same_v<T, double>) {
        if (const auto* d = std::get_if<double>(&x))
            return *d;
        if (const auto* n = std::get_if<int64_t>(&x)) // 12.0 may be written as 12
            return static_cast<double>(*n);
        throw std::invalid_argument(where + " is not a number");
    } else {
        static_assert(std::is_same_v<T, const char*>,
                      "a parameter is an integer, a double, a handle or a text");
        if (std::holds_alternative<std::nullptr_t>(x))
            return nullptr;
        if (const auto* s = std::get_if<std::string>(&x))
            return s->c_str();
        throw std::invalid_argument(where + " is not a text");
    }
}

template <typename T> constexpr Kind kindOf() {
    if constexpr (std::is_same_v<T, int32_t>)
        return Kind::Int;
    else if constexpr (std::is_same_v<T, double>)
        return Kind::Double;
    else if constexpr (std::is_same_v<T, uintptr_t>)
        return Kind::Pointer;
    else
        return Kind::Text;
}

// The bytes a parameter takes on a 32-bit stack.
template <typename T> constexpr int stackSize() {
    return sizeof(T) <= 4 ? 4 : static_cast<int>((sizeof(T) + 3) / 4 * 4);
}

template <typename F> struct Bind;

// A command: its arguments, then (char* buffer, int32_t* length); a
// CommandResult through the hidden pointer.
template <typename... P> struct Bind<CommandResult(TAVO_CALL*)(P...)> {
    using Fn = CommandResult(TAVO_CALL*)(P...);
    using Params = std::tuple<P...>;
    static constexpr std::size_t n = sizeof...(P) - 2;
    static_assert(std::is_same_v<std::tuple_element_t<n, Params>, char*> &&
                      std::is_same_v<std::tuple_element_t<n + 1, Params>, int32_t*>,
                  "a command ends with its buffer and length");

    template <std::size_t... I>
    static CommandResult invoke(Fn f, const std::vector<Value>& v, char* buf, int32_t* len,
                                std::index_sequence<I...>) {
        return f(valueAs<std::tuple_element_t<I, Params>>(v, I)..., buf, len);
    }
    static Outcome call(RawFunction raw, const std::vector<Value>& v, char* buffer, int32_t offered) {
        if (v.size() != n)
            throw std::invalid_argument("expected " + std::to_string(n) + " arguments, got " +
                                        std::to_string(v.size()));
        int32_t length = offered;
        const CommandResult r =
            invoke(reinterpret_cast<Fn>(raw), v, buffer, &length, std::make_index_sequence<n>{});
        Outcome o{r.Status, r.SubCode, length, {}};
        if (buffer != nullptr && length > 0)
            o.answer.assign(buffer, static_cast<std::size_t>(length < offered ? length : offered));
        return o;
    }
    template <std::size_t... I> static std::vector<Kind> kindsOf(std::index_sequence<I...>) {
        return {kindOf<std::tuple_element_t<I, Params>>()...};
    }
    static std::vector<Kind> kinds() { return kindsOf(std::make_index_sequence<n>{}); }
    // The hidden pointer counts.
    static constexpr int stack = (0 + ... + stackSize<P>()) + 4;
};

// A link function: its arguments; an int32_t back.
template <typename... P> struct Bind<int32_t(TAVO_CALL*)(P...)> {
    using Fn = int32_t(TAVO_CALL*)(P...);
    using Params = std::tuple<P...>;
    static constexpr std::size_t n = sizeof...(P);

    template <std::size_t... I>
    static int32_t invoke(Fn f, const std::vector<Value>& v, std::index_sequence<I...>) {
        return f(valueAs<std::tuple_element_t<I, Params>>(v, I)...);
    }
    static Outcome call(RawFunction raw, const std::vector<Value>& v, char*, int32_t) {
        if (v.size() != n)
            throw std::invalid_argument("expected " + std::to_string(n) + " arguments, got " +
                                        std::to_string(v.size()));
        return Outcome{invoke(reinterpret_cast<Fn>(raw), v, std::make_index_sequence<n>{}), 0, 0, {}};
    }
    template <std::size_t... I> static std::vector<Kind> kindsOf(std::index_sequence<I...>) {
        return {kindOf<std::tuple_element_t<I, Params>>()...};
    }
    static std::vector<Kind> kinds() { return kindsOf(std::make_index_sequence<n>{}); }
    static constexpr int stack = (0 + ... + stackSize<P>());
};

} // namespace detail

#define BRIDGE_BIND(fn, where, required)                                                                     \
    Binding {                                                                                                \
#fn, where, required, &detail::Bind < decltype(&::fn)> ::call,                                       \
            &detail::Bind < decltype(&::fn)> ::kinds, detail::Bind < decltype(&::fn)> ::stack                \
    }
#define BRIDGE_CATALOGUE_COMMAND(fn, code, lib, answer, prints, params)                                      \
    BRIDGE_BIND(fn, protocol::Library::lib == protocol::Library::Service ? Where::Service : Where::User,     \
                true),

// Every function the host binds: the link functions, then the catalogue's
// commands. isCommandExecuting is bound for AbortTavo's sake only: the client
// answers it itself.
inline const std::vector<Binding>& bindings() {
    static const std::vector<Binding> table = {BRIDGE_BIND(OpenTavo, Where::Both, true),
                                               BRIDGE_BIND(CloseTavo, Where::Both, true),
                                               BRIDGE_BIND(isCommandExecuting, Where::User, false),
                                               BRIDGE_BIND(AbortTavo, Where::User, false),
                                               BRIDGE_BIND(GetReturnBufLength, Where::User, true),
                                               BRIDGE_BIND(ExecCommand, Where::User, true),
                                               BRIDGE_BIND(UpdateTavoProgram, Where::Service, true),
                                               PROTOCOL_COMMANDS(BRIDGE_CATALOGUE_COMMAND)};
    return table;
}
#undef BRIDGE_CATALOGUE_COMMAND
#undef BRIDGE_BIND

// True when `exported` is `name` in a 32-bit stdcall build's decorated form:
// "_name@N" or "name@N", N digits.
inline bool isDecoratedName(std::string_view exported, std::string_view name) {
    if (!exported.empty() && exported.front() == '_' && exported.substr(1, name.size()) == name)
        exported.remove_prefix(1);
    if (exported.substr(0, name.size()) != name || exported.size() < name.size() + 2 ||
        exported[name.size()] != '@')
        return false;
    for (const char c : exported.substr(name.size() + 1))
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace bridge
