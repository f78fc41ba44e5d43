// tavo-bridge: loads a pair of device libraries from a folder and serves
// their functions, one JSON line a message on standard input and output
// (docs/bridge.md). One thread reads the input, so that an abort reaches the
// library's AbortTavo while a command runs in the main thread; a third says
// every second that the command is still running. Nothing of a call (its
// arguments hold passwords) is ever written anywhere but to the client.

#include "bridge/Binding.h"
#include "bridge/Wire.h"
#include "bridge/host/Loader.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace bridge {
namespace {

constexpr const char* kUsage = "usage: tavo-bridge --dir FOLDER [--library TavoUser|TavoSrv]\n"
                               "Loads the device libraries from FOLDER and serves their functions on\n"
                               "standard input and output, one JSON line a message.\n";

struct Library {
    std::string name;
    Where where;
    std::unique_ptr<Module> module;
    std::map<std::string, std::pair<const Binding*, RawFunction>, std::less<>> functions;
    bool open = false; // OpenTavo succeeded and CloseTavo has not come
};

class Host {
  public:
    Host(std::string dir, const std::vector<std::string>& only) : dir_(std::move(dir)) {
        for (const char* name : {"TavoUser", "TavoSrv"}) {
            if (!only.empty() && std::find(only.begin(), only.end(), name) == only.end())
                continue;
            Library lib;
            lib.name = name;
            lib.where = lib.name == "TavoUser" ? Where::User : Where::Service;
            LibraryInfo info;
            info.library = name;
            info.file = libraryFile(dir_, name);
            lib.module = loadModule(info.file, &info.error);
            info.loaded = lib.module != nullptr;
            if (lib.module) {
                // A function is bound wherever the library has it; only those
                // the interface puts in it count as missing.
                for (const Binding& b : bindings()) {
                    if (RawFunction f = lib.module->find(b))
                        lib.functions.emplace(b.name, std::make_pair(&b, f));
                    else if (b.where == Where::Both || b.where == lib.where)
                        info.missing.emplace_back(b.name);
                }
            }
            hello_.libraries.push_back(std::move(info));
            libraries_.push_back(std::move(lib));
        }
        hello_.platform = platformName();
        hello_.dir = dir_;
    }

    int serve() {
        if (!send(Message(hello_)))
            return 1;
        std::thread reader([this] { readInput(); });
        std::thread beat([this] { heartbeat(); });
        for (;;) {
            std::optional<std::string> line;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return !queue_.empty() || ended_; });
                if (queue_.empty())
                    break;
                line = std::move(queue_.front());
                queue_.pop_front();
            }
            handle(*line);
        }
        closeOpenLinks();
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        beat.join();
        reader.detach(); // it may sit in a read that only the end of the input ends
        return 0;
    }

  private:
    bool send(const Message& m) {
        std::lock_guard lock(out_);
        return writeOutput(toLine(m));
    }

    void readInput() {
        LineReader lines;
        char buf[65536];
        for (;;) {
            const size_t n = bridge::readInput(buf, sizeof buf);
            if (n == 0)
                break;
            lines.feed(std::string_view(buf, n));
            while (auto line = lines.next()) {
                // An abort is carried out at once, while the command runs.
                if (line->find("\"abort\"") != std::string::npos) {
                    if (auto m = readLine(*line); m && std::holds_alternative<Abort>(*m)) {
                        abortRunning();
                        continue;
                    }
                }
                std::lock_guard lock(mutex_);
                queue_.push_back(std::move(*line));
                wake_.notify_all();
            }
            if (lines.overflowed()) {
                send(Message(Error{"a line longer than the wire allows was left out"}));
                lines = LineReader();
            }
        }
        // The client is gone: abort what runs, then end.
        abortRunning();
        std::lock_guard lock(mutex_);
        ended_ = true;
        wake_.notify_all();
    }

    void heartbeat() {
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            wake_.wait_for(lock, std::chrono::milliseconds(1000));
            if (stopping_)
                break;
            if (running_) {
                const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now() - started_)
                                    .count();
                lock.unlock();
                send(Message(Busy{ms}));
                lock.lock();
            }
        }
    }

    // AbortTavo of the library whose command runs, else of the first that has
    // it (the service library has none: its commands run on the same port).
    void abortRunning() {
        Library* running = nullptr;
        {
            std::lock_guard lock(mutex_);
            running = running_;
        }
        auto abortIn = [](Library& l) {
            const auto it = l.functions.find("AbortTavo");
            if (it == l.functions.end())
                return false;
            it->second.first->call(it->second.second, {}, nullptr, 0);
            return true;
        };
        if (running != nullptr && abortIn(*running))
            return;
        for (Library& l : libraries_)
            if (abortIn(l))
                return;
    }

    void handle(const std::string& line) {
        std::string why;
        auto m = readLine(line, &why);
        if (!m) {
            send(Message(Error{"a line that is no message of the bridge: " + why}));
            return;
        }
        auto* call = std::get_if<Call>(&*m);
        if (call == nullptr) {
            if (!std::holds_alternative<Abort>(*m))
                send(Message(Error{"the host takes calls and aborts only"}));
            return;
        }
        Library* lib = nullptr;
        for (Library& l : libraries_)
            if (l.name == call->library)
                lib = &l;
        if (lib == nullptr || !lib->module) {
            send(Message(Error{call->library + " is not loaded"}));
            return;
        }
        const auto fn = lib->functions.find(call->function);
        if (fn == lib->functions.end()) {
            send(Message(Error{call->function + " is not in " + call->library}));
            return;
        }
        // The values in parameter order; an argument left out is an error.
        std::vector<Value> values;
        for (std::string_view name : protocol::argumentNames(call->function)) {
            const auto a = std::find_if(call->arguments.begin(), call->arguments.end(),
                                        [&](const Argument& x) { return x.name == name; });
            if (a == call->arguments.end()) {
                send(Message(Error{call->function + ": no argument \"" + std::string(name) + "\""}));
                return;
            }
            values.push_back(a->value);
        }
        const int32_t offered = call->sizing ? 0 : std::max(call->length, 0);
        if (offered > (1 << 16)) {
            send(Message(Error{"a buffer of more than 64 KiB was asked for"}));
            return;
        }
        std::vector<char> buffer(static_cast<size_t>(offered) + 1, '\0');
        {
            std::lock_guard lock(mutex_);
            running_ = lib;
            started_ = std::chrono::steady_clock::now();
        }
        Outcome out;
        std::string failed;
        try {
            out = fn->second.first->call(fn->second.second, values, call->sizing ? nullptr : buffer.data(),
                                         offered);
        } catch (const std::exception& e) {
            failed = call->function + ": " + e.what();
        }
        const auto ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started_);
        {
            std::lock_guard lock(mutex_);
            running_ = nullptr;
        }
        if (!failed.empty()) {
            send(Message(Error{failed}));
            return;
        }
        if (call->function == "OpenTavo")
            lib->open = out.status == 0;
        else if (call->function == "CloseTavo" && out.status == 0)
            lib->open = false;
        Call reply = std::move(*call);
        reply.status = out.status;
        reply.subCode = out.subCode;
        reply.length = out.length;
        reply.answer = std::move(out.answer);
        reply.ms = ms.count();
        send(Message(std::move(reply)));
    }

    void closeOpenLinks() {
        for (Library& l : libraries_)
            if (l.open)
                if (auto it = l.functions.find("CloseTavo"); it != l.functions.end()) {
                    it->second.first->call(it->second.second, {}, nullptr, 0);
                    l.open = false;
                }
    }

    std::string dir_;
    Hello hello_;
    std::vector<Library> libraries_;
    std::mutex out_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> queue_;
    bool ended_ = false;
    bool stopping_ = false;
    Library* running_ = nullptr;
    std::chrono::steady_clock::time_point started_;
};

} // namespace
} // namespace bridge

int main(int argc, char** argv) {
    using namespace bridge;
    prepareStdio();
    const std::vector<std::string> args = arguments(argc, argv);
    std::string dir;
    std::vector<std::string> only;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--dir" && i + 1 < args.size()) {
            dir = args[++i];
        } else if (args[i] == "--library" && i + 1 < args.size()) {
            only.push_back(args[++i]);
            if (only.back() != "TavoUser" && only.back() != "TavoSrv") {
                std::fprintf(stderr, "tavo-bridge: no library \"%s\" (TavoUser or TavoSrv)\n",
                             only.back().c_str());
                return 2;
            }
        } else if (args[i] == "--help" || args[i] == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "tavo-bridge: unknown argument \"%s\"\n%s", args[i].c_str(), kUsage);
            return 2;
        }
    }
    if (dir.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        Host host(dir, only);
        return host.serve();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavo-bridge: %s\n", e.what());
        return 1;
    }
}
