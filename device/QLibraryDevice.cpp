#include "device/QLibraryDevice.h"

#include "protocol/Commands.h"

#include <QDir>
#include <QFileInfo>

#include <tuple>
#include <type_traits>
#include <utility>

namespace dev {

BindError::BindError(QString lib, QString fn, QString why)
    : std::runtime_error((lib + QLatin1String(": ") + fn + QLatin1String(": ") + why).toStdString()),
      library(std::move(lib)), function(std::move(fn)), reason(std::move(why)) {}

QString BindError::message() const {
    if (function.isEmpty())
        return QStringLiteral("Cannot load the device library \"%1\".\n%2").arg(library, reason);
    return QStringLiteral("Cannot bind the function \"%1\" of the device library \"%2\".\n%3")
        .arg(function, library, reason);
}

namespace {

// Unpacks Args into the typed parameters of one cm... function.
template <typename T> T argAs(const Args& a, std::size_t i);

template <> int32_t argAs<int32_t>(const Args& a, std::size_t i) {
    if (a[i].kind != Arg::Kind::Int)
        throw std::invalid_argument("argument " + std::to_string(i) + " must be an integer");
    return a[i].i;
}
template <> double argAs<double>(const Args& a, std::size_t i) {
    if (a[i].kind != Arg::Kind::Double)
        throw std::invalid_argument("argument " + std::to_string(i) + " must be a double");
    return a[i].d;
}
template <> const char* argAs<const char*>(const Args& a, std::size_t i) {
    if (a[i].kind != Arg::Kind::Text)
        throw std::invalid_argument("argument " + std::to_string(i) + " must be a text");
    return a[i].text ? a[i].text->constData() : nullptr; // QByteArray keeps its nul
}

template <typename T> constexpr Arg::Kind kindOf() {
    if constexpr (std::is_same_v<T, int32_t>)
        return Arg::Kind::Int;
    else if constexpr (std::is_same_v<T, double>)
        return Arg::Kind::Double;
    else {
        static_assert(std::is_same_v<T, const char*>, "a cm... parameter is an integer, a double or a text");
        return Arg::Kind::Text;
    }
}

template <typename F> struct Invoke;
template <typename... P> struct Invoke<CommandResult(TAVO_CALL*)(P...)> {
    using Fn = CommandResult(TAVO_CALL*)(P...);
    template <std::size_t... I, typename... A>
    static CommandResult call(Fn f, const Args& a, char* buf, int32_t* len, std::index_sequence<I...>,
                              std::tuple<A...>*) {
        return f(argAs<A>(a, I)..., buf, len);
    }
    static CommandResult run(QFunctionPointer fp, const Args& a, char* buf, int32_t* len) {
        // Every cm... function ends with (char* buffer, int32_t* length).
        using Params = std::tuple<P...>;
        constexpr std::size_t n = sizeof...(P) - 2;
        if (a.size() != n)
            throw std::invalid_argument("expected " + std::to_string(n) + " arguments, got " +
                                        std::to_string(a.size()));
        return dropLastTwo(reinterpret_cast<Fn>(fp), a, buf, len, std::make_index_sequence<n>{},
                           static_cast<Params*>(nullptr));
    }
    // The C kinds of the parameters before the buffer and its length.
    static std::vector<Arg::Kind> kinds() {
        using Params = std::tuple<P...>;
        return kindsOf(static_cast<Params*>(nullptr), std::make_index_sequence<sizeof...(P) - 2>{});
    }
    template <typename Params, std::size_t... I>
    static std::vector<Arg::Kind> kindsOf(Params*, std::index_sequence<I...>) {
        return {kindOf<std::tuple_element_t<I, Params>>()...};
    }
    template <std::size_t... I, typename Params>
    static CommandResult dropLastTwo(Fn f, const Args& a, char* buf, int32_t* len,
                                     std::index_sequence<I...> seq, Params*) {
        return call(f, a, buf, len, seq,
                    static_cast<std::tuple<std::tuple_element_t<I, Params>...>*>(nullptr));
    }
};

struct CommandEntry {
    const char* name;
    QLibraryDevice::Invoker invoke;
    bool service; // lives in the service library
    std::vector<Arg::Kind> (*kinds)();
};

// One entry per command of the catalogue, bound in the library the catalogue
// puts it in. &::fn names the function TavoApi.h declares: a command the header
// lacks does not compile, nor one whose declaration the invoker cannot call.
#define TAVO_COMMAND(fn, svc)                                                                                \
    { #fn, &Invoke < decltype(&::fn)> ::run, svc, &Invoke < decltype(&::fn)> ::kinds }
#define TAVO_CATALOGUE_COMMAND(fn, code, lib, answer, prints, params)                                        \
    TAVO_COMMAND(fn, protocol::Library::lib == protocol::Library::Service),
const CommandEntry kCommands[] = {PROTOCOL_COMMANDS(TAVO_CATALOGUE_COMMAND)};
#undef TAVO_CATALOGUE_COMMAND
#undef TAVO_COMMAND

using OpenFn = decltype(&::OpenTavo);
using CloseFn = decltype(&::CloseTavo);
using ExecutingFn = decltype(&::isCommandExecuting);
using AbortFn = decltype(&::AbortTavo);
using BufLengthFn = decltype(&::GetReturnBufLength);
using ExecFn = decltype(&::ExecCommand);
using UpdateFn = decltype(&::UpdateTavoProgram);
using IdleFn = decltype(&::TavoSetIdleHandler);
using PrintFn = decltype(&::TavoSetPrintHandler);
using SetFaultFn = decltype(&::TavoSetFault);
using GetFaultFn = decltype(&::TavoGetFault);
using SetClockFn = decltype(&::TavoSetClock);
using GetClockFn = decltype(&::TavoGetClock);
using DescribeBridgeFn = decltype(&::TavoBridgeDescribe);
using LastErrorFn = decltype(&::TavoBridgeLastError);

// The two-call read of a text: size first, then the text with its nul.
template <typename Read> int32_t readText(Read read, QByteArray* value) {
    int32_t length = 0;
    int32_t r = read(nullptr, &length);
    if (r != TAVO_EXT_OK && r != TAVO_EXT_SMALL_BUFFER)
        return r;
    if (length <= 0 || length > 4096)
        return TAVO_EXT_BAD_VALUE;
    QByteArray buffer(length, '\0');
    int32_t written = length;
    r = read(buffer.data(), &written);
    if (r != TAVO_EXT_OK)
        return r;
    if (value)
        *value = QByteArray(buffer.constData(),
                            static_cast<qsizetype>(qstrnlen(buffer.constData(), static_cast<uint>(length))));
    return TAVO_EXT_OK;
}

} // namespace

std::optional<std::vector<Arg::Kind>> QLibraryDevice::argumentKinds(std::string_view function) {
    for (const auto& c : kCommands)
        if (function == c.name)
            return c.kinds();
    return std::nullopt;
}

QLibraryDevice::QLibraryDevice(Library which, const QString& programDir) : which_(which) {
    const QString name = libraryName(which);
    // The program's directory first, then the system's search (the order Windows uses).
    QString firstError;
    if (!programDir.isEmpty()) {
        lib_.setFileName(QDir(programDir).filePath(name));
        if (!lib_.load())
            firstError = lib_.errorString();
    }
    if (!lib_.isLoaded()) {
        lib_.setFileName(name);
        if (!lib_.load())
            throw BindError(name, QString(),
                            firstError.isEmpty() ? lib_.errorString()
                                                 : firstError + QLatin1Char('\n') + lib_.errorString());
    }
    const bool service = which == Library::Service;
    open_ = resolve("OpenTavo", true);
    close_ = resolve("CloseTavo", true);
    executing_ = resolve("isCommandExecuting", !service);
    abort_ = resolve("AbortTavo", !service);
    bufLength_ = resolve("GetReturnBufLength", !service);
    exec_ = resolve("ExecCommand", !service);
    update_ = resolve("UpdateTavoProgram", service);
    idle_ = resolve("TavoSetIdleHandler", false);
    print_ = resolve("TavoSetPrintHandler", false);
    setFault_ = resolve("TavoSetFault", false);
    getFault_ = resolve("TavoGetFault", false);
    setClock_ = resolve("TavoSetClock", false);
    getClock_ = resolve("TavoGetClock", false);
    describeBridge_ = resolve("TavoBridgeDescribe", false);
    bridgeLastError_ = resolve("TavoBridgeLastError", false);
    for (const auto& c : kCommands) {
        if (QFunctionPointer f = resolve(c.name, c.service == service))
            commands_.emplace(c.name, Bound{f, c.invoke});
    }
}

QLibraryDevice::~QLibraryDevice() {
    // The library stays loaded until the program ends: a callback or a window of
    // its own may still point into it.
}

QFunctionPointer QLibraryDevice::resolve(const char* name, bool required) {
    QFunctionPointer f = lib_.resolve(name);
    if (!f && required)
        throw BindError(libraryName(which_), QString::fromLatin1(name), lib_.errorString());
    return f;
}

int32_t QLibraryDevice::open(const QByteArray& port, int32_t baud) {
    return reinterpret_cast<OpenFn>(open_)(port.constData(), baud);
}

int32_t QLibraryDevice::close() {
    return reinterpret_cast<CloseFn>(close_)();
}

int32_t QLibraryDevice::isCommandExecuting() {
    return executing_ ? reinterpret_cast<ExecutingFn>(executing_)() : 1;
}

void QLibraryDevice::abort() {
    if (abort_)
        reinterpret_cast<AbortFn>(abort_)();
}

int32_t QLibraryDevice::getReturnBufLength(const QByteArray& code) {
    return bufLength_ ? reinterpret_cast<BufLengthFn>(bufLength_)(code.constData()) : 0;
}

CommandResult QLibraryDevice::execCommand(const QByteArray& line, char* buffer, int32_t* length) {
    if (!exec_)
        throw std::invalid_argument("ExecCommand is not in " + libraryName(which_).toStdString());
    return reinterpret_cast<ExecFn>(exec_)(line.constData(), buffer, length);
}

CommandResult QLibraryDevice::command(const std::string& function, const Args& args, char* buffer,
                                      int32_t* length) {
    auto it = commands_.find(function);
    if (it == commands_.end())
        throw std::invalid_argument(function + " is not in " + libraryName(which_).toStdString());
    return it->second.invoke(it->second.fn, args, buffer, length);
}

int32_t QLibraryDevice::updateProgram(uintptr_t ownerWindow, const QByteArray& port, int32_t full) {
    if (!update_)
        throw std::invalid_argument("UpdateTavoProgram is not in " + libraryName(which_).toStdString());
    return reinterpret_cast<UpdateFn>(update_)(ownerWindow, port.constData(), full);
}

void QLibraryDevice::setIdleHandler(TavoIdleHandler handler, void* context) {
    if (idle_)
        reinterpret_cast<IdleFn>(idle_)(handler, context);
}

void QLibraryDevice::setPrintHandler(TavoPrintHandler handler, void* context) {
    if (print_)
        reinterpret_cast<PrintFn>(print_)(handler, context);
}

bool QLibraryDevice::offersLiveFaults() const {
    return setFault_ && getFault_ && setClock_ && getClock_;
}

int32_t QLibraryDevice::setFault(const QByteArray& key, const QByteArray& value) {
    if (!offersLiveFaults())
        return kNotOffered;
    return reinterpret_cast<SetFaultFn>(setFault_)(key.constData(), value.constData());
}

int32_t QLibraryDevice::getFault(const QByteArray& key, QByteArray* value) {
    if (!offersLiveFaults())
        return kNotOffered;
    const auto fn = reinterpret_cast<GetFaultFn>(getFault_);
    return readText([&](char* b, int32_t* l) { return fn(key.constData(), b, l); }, value);
}

int32_t QLibraryDevice::setClock(const QByteArray& dateTime) {
    if (!offersLiveFaults())
        return kNotOffered;
    return reinterpret_cast<SetClockFn>(setClock_)(dateTime.constData());
}

int32_t QLibraryDevice::getClock(QByteArray* value) {
    if (!offersLiveFaults())
        return kNotOffered;
    return readText(reinterpret_cast<GetClockFn>(getClock_), value);
}

int32_t QLibraryDevice::bridgeLastError(QByteArray* value) {
    if (!bridgeLastError_)
        return kNotOffered;
    return readText(reinterpret_cast<LastErrorFn>(bridgeLastError_), value);
}

int32_t QLibraryDevice::describeBridge(QByteArray* value) {
    if (!describeBridge_)
        return kNotOffered;
    return readText(reinterpret_cast<DescribeBridgeFn>(describeBridge_), value);
}

} // namespace dev
