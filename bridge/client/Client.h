#pragma once
// The bridge client: one library's link to its host (docs/bridge.md). The
// exported functions hand every call to the process-wide Link of the library
// they are built into; it starts the host at OpenTavo, writes each call as a
// line, and waits for the reply while calling the idle handler about every
// 10 ms. The host lives from OpenTavo to CloseTavo. A host that never
// starts, dies or stays silent ends the call with Status -3 (time-out) within
// the bound of the settings; the next call or OpenTavo starts a new host. Standard library and POSIX only.

#include "bridge/Binding.h"
#include "bridge/Settings.h"
#include "bridge/Wire.h"
#include "device/TavoApi.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace bridge::client {

// The settings in force: TAVO_BRIDGE_CONFIG, bridge.ini beside the library
// (`libraryDir`), then $XDG_CONFIG_HOME/FiscalConsole/bridge.ini; the
// environment variable TAVO_BRIDGE_COMMAND wins over the command.
Settings readSettings(const std::string& libraryDir);

// The host process: its standard input and output are pipes of ours; it is
// the leader of a process group of its own, killed with everything it
// started, and killed too if this process ends first.
class Process {
  public:
    ~Process() { stop(0); }
    // argv[0] is looked up in PATH; `env` adds or replaces NAME=value entries.
    bool start(const std::vector<std::string>& argv, const std::vector<std::string>& env, std::string* why);
    bool running() const { return pid_ > 0; }
    // Closes its input, waits up to graceMs for it to end, then kills it.
    void stop(int graceMs);
    bool write(const std::string& bytes);
    // Waits up to timeoutMs for bytes; appends them. False at the end of its output.
    bool read(std::string* into, int timeoutMs);
    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
};

class Link {
  public:
    explicit Link(std::string library) : library_(std::move(library)) {}
    ~Link() { process_.stop(500); }

    int32_t open(const char* port, int32_t baud);
    int32_t close();
    int32_t executing() const { return busy_ ? 0 : 1; }
    int32_t abort();
    void setIdleHandler(TavoIdleHandler handler, void* context) {
        idle_ = handler;
        idleContext_ = context;
    }
    int32_t describe(char* buffer, int32_t* length);
    int32_t lastError(char* buffer, int32_t* length) const;

    // A command: the arguments in parameter order.
    CommandResult command(const char* function, std::vector<Value> values, char* buffer, int32_t* length);
    // A link function with an int32_t result; `failed` when it could not be
    // carried out.
    int32_t linkCall(const char* function, std::vector<Value> values, int32_t failed);

  private:
    struct Reply {
        std::optional<Call> call;
        int32_t status = 0; // when no call: -1 refused by the host, -3 no answer
    };
    bool ensureHost(std::string* why);
    Reply exchange(Call call);
    std::optional<Hello> awaitHello(std::string* why);
    void giveUp(const std::string& why); // says why on stderr and stops the host
    void idle();

    std::string library_;
    Settings settings_;
    std::string runningCommand_;
    Process process_;
    LineReader lines_;
    std::optional<Hello> hello_;
    TavoIdleHandler idle_ = nullptr;
    void* idleContext_ = nullptr;
    std::atomic<bool> busy_{false};
    std::atomic<bool> abortWanted_{false};
    bool linkOpen_ = false; // OpenTavo succeeded and CloseTavo has not come
    std::string lastError_; // why the last call failed; empty when it went through
    std::string port_;
    int32_t baud_ = 0;
};

// The link of the library this code is built into.
Link& link();
// The folder of the library this code is built into.
std::string libraryDir();

} // namespace bridge::client
