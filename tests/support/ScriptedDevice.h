#pragma once
// A device library for tests: records every call with its arguments and answers
// with a chosen status, sub-code and answer bytes.

#include "device/DeviceLibrary.h"

#include <QByteArray>

#include <functional>
#include <map>
#include <string>
#include <vector>

class ScriptedDevice : public dev::IDeviceLibrary {
  public:
    struct Call {
        std::string function; // "OpenTavo", "cmXReport", ...
        dev::Args args;       // for OpenTavo: the port as text and the baud as an integer
        bool sizing = false;  // the first call of the two-call sizing (no buffer)
        int32_t lengthIn = 0;
    };
    struct Reply {
        int32_t status = 0;
        int32_t subCode = 0;
        QByteArray answer;
    };

    explicit ScriptedDevice(const char* name = "user") : name_(name) {}

    // The reply to every later call of function (until replaced); default: status 0, no bytes.
    void reply(const std::string& function, Reply r) { replies_[function] = std::move(r); }
    void reply(const std::string& function, int32_t status, int32_t subCode = 0, QByteArray answer = {}) {
        reply(function, Reply{status, subCode, std::move(answer)});
    }
    // Runs while the second call of function is under way (e.g. to click during a command).
    void during(const std::string& function, std::function<void()> fn) { during_[function] = std::move(fn); }

    // Calls of the real commands (sizing calls left out unless asked).
    std::vector<Call> commands(bool withSizing = false) const;
    std::vector<std::string> functions() const; // every call's name, in order
    const Call* lastCommand() const;
    int count(const std::string& function) const;
    void clearCalls() { calls.clear(); }

    int32_t openResult = 0;
    int32_t closeResult = 0;
    int32_t executing = 1;    // what isCommandExecuting answers (0 = busy)
    int32_t bufferLength = 0; // what GetReturnBufLength answers; 0: the reply's size
    std::vector<Call> calls;

    int32_t open(const QByteArray& port, int32_t baud) override;
    int32_t close() override;
    int32_t isCommandExecuting() override;
    void abort() override;
    int32_t getReturnBufLength(const QByteArray& code) override;
    CommandResult execCommand(const QByteArray& line, char* buffer, int32_t* length) override;
    CommandResult command(const std::string& function, const dev::Args& args, char* buffer,
                          int32_t* length) override;
    int32_t updateProgram(uintptr_t ownerWindow, const QByteArray& port, int32_t full) override;
    void setIdleHandler(TavoIdleHandler handler, void* context) override;

    // Our own extensions, offered when `extensions` is true: faults and the clock
    // are kept as set (TavoSetFault and TavoSetClock are recorded as calls), and
    // print() hands a line to the print handler as the library would.
    bool extensions = false;
    int32_t extensionResult = 0; // what TavoSetFault / TavoSetClock answer
    std::map<std::string, std::string> faults;
    std::string clock = "2026-03-07 10:00:00";
    void print(const char* utf8Line, int32_t documentNumber) const;
    bool offersPrintHandler() const override { return extensions; }
    void setPrintHandler(TavoPrintHandler handler, void* context) override;
    bool offersLiveFaults() const override { return extensions; }
    int32_t setFault(const QByteArray& key, const QByteArray& value) override;
    int32_t getFault(const QByteArray& key, QByteArray* value) override;
    int32_t setClock(const QByteArray& dateTime) override;
    int32_t getClock(QByteArray* value) override;

  private:
    CommandResult answer(const std::string& function, char* buffer, int32_t* length);
    std::string name_;
    std::map<std::string, Reply> replies_;
    std::map<std::string, std::function<void()>> during_;
    TavoPrintHandler print_ = nullptr;
    void* printContext_ = nullptr;
};
