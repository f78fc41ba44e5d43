#include "ScriptedDevice.h"

#include <algorithm>
#include <cstring>

using dev::Arg;

std::vector<ScriptedDevice::Call> ScriptedDevice::commands(bool withSizing) const {
    std::vector<Call> out;
    for (const Call& c : calls)
        if (c.function.rfind("cm", 0) == 0 && (withSizing || !c.sizing))
            out.push_back(c);
    return out;
}

std::vector<std::string> ScriptedDevice::functions() const {
    std::vector<std::string> out;
    for (const Call& c : calls)
        out.push_back(c.function);
    return out;
}

const ScriptedDevice::Call* ScriptedDevice::lastCommand() const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if ((it->function.rfind("cm", 0) == 0 || it->function == "ExecCommand") && !it->sizing)
            return &*it;
    return nullptr;
}

int ScriptedDevice::count(const std::string& function) const {
    return static_cast<int>(std::count_if(
        calls.begin(), calls.end(), [&](const Call& c) { return c.function == function && !c.sizing; }));
}

int32_t ScriptedDevice::open(const QByteArray& port, int32_t baud) {
    calls.push_back({"OpenTavo", {Arg::bytes(port), Arg::integer(baud)}});
    return openResult;
}

int32_t ScriptedDevice::close() {
    calls.push_back({"CloseTavo", {}});
    return closeResult;
}

int32_t ScriptedDevice::isCommandExecuting() {
    return executing;
}

void ScriptedDevice::abort() {
    calls.push_back({"AbortTavo", {}});
}

int32_t ScriptedDevice::getReturnBufLength(const QByteArray& code) {
    calls.push_back({"GetReturnBufLength", {Arg::bytes(code)}});
    if (bufferLength)
        return bufferLength;
    auto it = replies_.find("ExecCommand");
    return it == replies_.end() ? 0 : static_cast<int32_t>(it->second.answer.size());
}

CommandResult ScriptedDevice::answer(const std::string& function, char* buffer, int32_t* length) {
    Reply r;
    if (auto it = replies_.find(function); it != replies_.end())
        r = it->second;
    if (!buffer) {
        *length = static_cast<int32_t>(r.answer.size());
        return dev::makeResult(r.status, r.subCode);
    }
    if (auto it = during_.find(function); it != during_.end() && it->second)
        it->second();
    const int32_t n = std::min<int32_t>(*length, static_cast<int32_t>(r.answer.size()));
    if (n > 0)
        std::memcpy(buffer, r.answer.constData(), static_cast<size_t>(n));
    *length = n;
    return dev::makeResult(r.status, r.subCode);
}

CommandResult ScriptedDevice::execCommand(const QByteArray& line, char* buffer, int32_t* length) {
    calls.push_back({"ExecCommand", {Arg::bytes(line)}, false, *length});
    if (!buffer && *length == 0) {
        // One call with a buffer of the announced size is the rule; a null buffer here means size 0.
        int32_t zero = 0;
        return answer("ExecCommand", reinterpret_cast<char*>(&zero), length);
    }
    return answer("ExecCommand", buffer, length);
}

CommandResult ScriptedDevice::command(const std::string& function, const dev::Args& args, char* buffer,
                                      int32_t* length) {
    calls.push_back({function, args, buffer == nullptr, *length});
    return answer(function, buffer, length);
}

int32_t ScriptedDevice::updateProgram(uintptr_t ownerWindow, const QByteArray& port, int32_t full) {
    calls.push_back(
        {"UpdateTavoProgram", {Arg::integer(ownerWindow != 0), Arg::bytes(port), Arg::integer(full)}});
    return 0;
}

void ScriptedDevice::setIdleHandler(TavoIdleHandler, void*) {}

void ScriptedDevice::print(const char* utf8Line, int32_t documentNumber) const {
    if (print_)
        print_(printContext_, utf8Line, documentNumber);
}

void ScriptedDevice::setPrintHandler(TavoPrintHandler handler, void* context) {
    print_ = extensions ? handler : nullptr;
    printContext_ = context;
}

int32_t ScriptedDevice::setFault(const QByteArray& key, const QByteArray& value) {
    if (!extensions)
        return kNotOffered;
    calls.push_back({"TavoSetFault", {Arg::bytes(key), Arg::bytes(value)}});
    if (extensionResult == 0)
        faults[key.toStdString()] = value.toStdString();
    return extensionResult;
}

int32_t ScriptedDevice::getFault(const QByteArray& key, QByteArray* value) {
    if (!extensions)
        return kNotOffered;
    auto it = faults.find(key.toStdString());
    if (value)
        *value = it == faults.end() ? QByteArray() : QByteArray::fromStdString(it->second);
    return 0;
}

int32_t ScriptedDevice::setClock(const QByteArray& dateTime) {
    if (!extensions)
        return kNotOffered;
    calls.push_back({"TavoSetClock", {Arg::bytes(dateTime)}});
    if (extensionResult == 0)
        clock = dateTime.toStdString();
    return extensionResult;
}

int32_t ScriptedDevice::getClock(QByteArray* value) {
    if (!extensions)
        return kNotOffered;
    if (value)
        *value = QByteArray::fromStdString(clock);
    return 0;
}
