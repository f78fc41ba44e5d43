#include "bridge/host/Loader.h"

#include <dlfcn.h>

namespace bridge {
namespace {

class PosixModule : public Module {
  public:
    explicit PosixModule(void* handle) : handle_(handle) {}
    // Left loaded until the host ends: a thread or callback of its own may
    // still run in it.
    ~PosixModule() override = default;
    RawFunction find(const Binding& binding) override {
        return reinterpret_cast<RawFunction>(dlsym(handle_, binding.name));
    }

  private:
    void* handle_;
};

} // namespace

std::string libraryFile(const std::string& dir, const std::string& library) {
    return (dir.empty() ? std::string(".") : dir) + "/lib" + library + ".so";
}

std::unique_ptr<Module> loadModule(const std::string& file, std::string* error) {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        if (error)
            *error = dlerror();
        return nullptr;
    }
    return std::make_unique<PosixModule>(handle);
}

const char* platformName() {
#if defined(__x86_64__)
    return "linux-x86_64";
#elif defined(__aarch64__)
    return "linux-aarch64";
#else
    return "linux";
#endif
}

} // namespace bridge

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace bridge {

std::vector<std::string> arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void prepareStdio() {
    // A client gone while we answer is an error to see, not a signal to die of.
    std::signal(SIGPIPE, SIG_IGN);
}

size_t readInput(char* buffer, size_t size) {
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, size);
        if (n < 0 && errno == EINTR)
            continue;
        return n > 0 ? static_cast<size_t>(n) : 0;
    }
}

bool writeOutput(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace bridge
