#include "Link.h"

#include <atomic>
#include <cstring>
#include <mutex>
#include <regex>

namespace vp {
namespace {

std::mutex gMutex;
std::string gPort;
std::atomic<bool> gBusy{false};

CommandResult result(int32_t status, int32_t sub) {
    CommandResult r{};
    r.Status = status;
    r.SubCode = sub;
    return r;
}

} // namespace

int32_t linkOpen(const char* portName, int32_t) {
    if (portName == nullptr || std::strlen(portName) > 8)
        return 1;
    static const std::regex re("COM([1-9]|1[0-2])");
    if (!std::regex_match(portName, re))
        return 1;
    std::lock_guard lock(gMutex);
    gPort = portName;
    return 0;
}

int32_t linkClose() {
    std::lock_guard lock(gMutex);
    gPort.clear();
    return 0;
}

bool linkIsOpen() {
    std::lock_guard lock(gMutex);
    return !gPort.empty();
}

int32_t linkIdle() {
    return gBusy ? 0 : 1;
}
void linkAbort() {}
void linkSetIdleHandler(TavoIdleHandler, void*) {}

CommandResult linkRun(const std::string&, char*, int32_t* length) {
    if (!linkIsOpen())
        return result(-1, 0);
    if (length != nullptr)
        *length = 0;
    return result(-4, 1);
}

int32_t linkAnswerSize(const std::string&) {
    return 64;
}

} // namespace vp
