#include "device/SessionRecorder.h"

#include <algorithm>
#include <chrono>

namespace dev {

bool SessionRecorder::start(const QString& path, QString* error) {
    calls_ = 0;
    if (!writer_.open(path, error))
        return false;
    for (const RecordingLibrary* library : libraries_)
        if (library->openLink() && !write(library->openingCall())) {
            if (error)
                *error = QStringLiteral("Cannot write the session \"%1\".").arg(writer_.path());
            writer_.close();
            return false;
        }
    return true;
}

void SessionRecorder::stop() {
    writer_.close();
}

bool SessionRecorder::write(const session::Call& call) {
    if (!writer_.write(call))
        return false;
    ++calls_;
    return true;
}

void SessionRecorder::record(session::Call call) {
    if (!writer_.isOpen())
        return;
    if (!write(call)) {
        const QString why =
            QStringLiteral("The session \"%1\" could not be written; recording stopped.").arg(writer_.path());
        writer_.close();
        if (onFailure)
            onFailure(why);
    }
}

void SessionRecorder::attach(RecordingLibrary* library) {
    if (std::find(libraries_.begin(), libraries_.end(), library) == libraries_.end())
        libraries_.push_back(library);
}

void SessionRecorder::detach(RecordingLibrary* library) {
    libraries_.erase(std::remove(libraries_.begin(), libraries_.end(), library), libraries_.end());
}

session::Value textArgument(const std::optional<QByteArray>& text, bool password) {
    if (!text)
        return nullptr;
    return session::textValue(*text, password);
}

namespace {

session::Value argument(const Arg& a, bool password) {
    switch (a.kind) {
    case Arg::Kind::Int:
        return int64_t{a.i};
    case Arg::Kind::Double:
        return a.d;
    case Arg::Kind::Text:
        break;
    }
    return textArgument(a.text, password);
}

// What a call gave back, for the record.
struct Outcome {
    bool sizing = false;
    int32_t length = 0;
    std::string answer;
};
struct Result {
    int32_t status = 0, subCode = 0;
};
Result resultOf(int32_t r) {
    return Result{r, 0};
}
Result resultOf(const CommandResult& r) {
    return Result{r.Status, r.SubCode};
}

} // namespace

template <typename F>
auto RecordingLibrary::recorded(const char* function, std::vector<session::Argument> arguments, F f) {
    if (!recorder_.recording())
        return f(static_cast<Outcome*>(nullptr));
    session::Call call;
    call.time = session::now();
    const auto started = std::chrono::steady_clock::now();
    Outcome extra;
    auto r = f(&extra);
    call.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    const Result result = resultOf(r);
    call.library = libraryName(which_).toStdString();
    call.function = function;
    call.arguments = std::move(arguments);
    call.sizing = extra.sizing;
    call.status = result.status;
    call.subCode = result.subCode;
    call.length = extra.length;
    call.answer = std::move(extra.answer);
    recorder_.record(std::move(call));
    return r;
}

namespace {
// Notes a two-call read's outcome: sizing or not, the length given back and the
// bytes written into the buffer (never past the capacity the caller gave).
void noteBuffer(Outcome* o, const char* buffer, int32_t capacity, const int32_t* length) {
    if (o == nullptr)
        return;
    o->sizing = buffer == nullptr;
    o->length = length ? *length : 0;
    if (buffer != nullptr && length != nullptr)
        o->answer.assign(buffer, static_cast<size_t>(std::clamp(*length, 0, std::max(capacity, 0))));
}
} // namespace

RecordingLibrary::RecordingLibrary(IDeviceLibrary& inner, Library which, SessionRecorder& recorder)
    : inner_(inner), which_(which), recorder_(recorder) {
    recorder_.attach(this);
}

RecordingLibrary::~RecordingLibrary() {
    recorder_.detach(this);
}

session::Call RecordingLibrary::openingCall() const {
    session::Call call;
    call.time = session::now();
    call.library = libraryName(which_).toStdString();
    call.function = "OpenTavo";
    if (link_)
        call.arguments = {{"portName", textArgument(link_->port)}, {"baud", int64_t{link_->baud}}};
    return call; // status 0, no answer, 0 ms: the link was opened before
}

int32_t RecordingLibrary::open(const QByteArray& port, int32_t baud) {
    const int32_t r = recorded("OpenTavo", {{"portName", textArgument(port)}, {"baud", int64_t{baud}}},
                               [&](Outcome*) { return inner_.open(port, baud); });
    if (r == 0)
        link_ = Link{port, baud};
    return r;
}

int32_t RecordingLibrary::close() {
    const int32_t r = recorded("CloseTavo", {}, [&](Outcome*) { return inner_.close(); });
    if (r == 0)
        link_.reset();
    return r;
}

int32_t RecordingLibrary::isCommandExecuting() {
    return recorded("isCommandExecuting", {}, [&](Outcome*) { return inner_.isCommandExecuting(); });
}

void RecordingLibrary::abort() {
    recorded("AbortTavo", {}, [&](Outcome*) {
        inner_.abort();
        return int32_t{0};
    });
}

int32_t RecordingLibrary::getReturnBufLength(const QByteArray& code) {
    return recorded("GetReturnBufLength", {{"commandCode", textArgument(code)}},
                    [&](Outcome*) { return inner_.getReturnBufLength(code); });
}

CommandResult RecordingLibrary::execCommand(const QByteArray& line, char* buffer, int32_t* length) {
    const int32_t capacity = length ? *length : 0;
    return recorded("ExecCommand", {{"commandLine", textArgument(session::maskCommandLine(line))}},
                    [&](Outcome* o) {
                        const CommandResult r = inner_.execCommand(line, buffer, length);
                        noteBuffer(o, buffer, capacity, length);
                        return r;
                    });
}

CommandResult RecordingLibrary::command(const std::string& function, const Args& args, char* buffer,
                                        int32_t* length) {
    std::vector<session::Argument> named;
    if (recorder_.recording()) {
        const auto names = session::parameterNames(function);
        for (size_t i = 0; i < args.size(); ++i) {
            const std::string name =
                i < names.size() ? std::string(names[i]) : "argument" + std::to_string(i + 1);
            named.push_back({name, argument(args[i], session::isPassword(function, name))});
        }
    }
    const int32_t capacity = length ? *length : 0;
    return recorded(function.c_str(), std::move(named), [&](Outcome* o) {
        const CommandResult r = inner_.command(function, args, buffer, length);
        noteBuffer(o, buffer, capacity, length);
        return r;
    });
}

int32_t RecordingLibrary::updateProgram(uintptr_t ownerWindow, const QByteArray& port, int32_t full) {
    return recorded("UpdateTavoProgram",
                    {{"ownerWindow", static_cast<int64_t>(ownerWindow)},
                     {"portName", textArgument(port)},
                     {"full", int64_t{full}}},
                    [&](Outcome*) { return inner_.updateProgram(ownerWindow, port, full); });
}

int32_t RecordingLibrary::setFault(const QByteArray& key, const QByteArray& value) {
    return recorded("TavoSetFault", {{"key", textArgument(key)}, {"value", textArgument(value)}},
                    [&](Outcome*) { return inner_.setFault(key, value); });
}

int32_t RecordingLibrary::getFault(const QByteArray& key, QByteArray* value) {
    return recorded("TavoGetFault", {{"key", textArgument(key)}}, [&](Outcome* o) {
        const int32_t r = inner_.getFault(key, value);
        if (o && value && r == 0) {
            o->answer = value->toStdString();
            o->length = static_cast<int32_t>(value->size());
        }
        return r;
    });
}

int32_t RecordingLibrary::setClock(const QByteArray& dateTime) {
    return recorded("TavoSetClock", {{"dateTime", textArgument(dateTime)}},
                    [&](Outcome*) { return inner_.setClock(dateTime); });
}

int32_t RecordingLibrary::getClock(QByteArray* value) {
    return recorded("TavoGetClock", {}, [&](Outcome* o) {
        const int32_t r = inner_.getClock(value);
        if (o && value && r == 0) {
            o->answer = value->toStdString();
            o->length = static_cast<int32_t>(value->size());
        }
        return r;
    });
}

} // namespace dev
