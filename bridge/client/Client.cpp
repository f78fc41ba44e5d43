#include "bridge/client/Client.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bridge::client {
namespace {

using Clock = std::chrono::steady_clock;

int64_t msSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return std::nullopt;
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string homeFolder(const char* xdgName, const char* fallback) {
    std::string base = env(xdgName);
    if (base.empty())
        base = env("HOME") + fallback;
    return base;
}

// The program a word names: as given when it holds a '/', else found in PATH.
std::string findProgram(const std::string& word) {
    if (word.find('/') != std::string::npos)
        return word;
    std::string path = env("PATH");
    if (path.empty())
        path = "/usr/local/bin:/usr/bin:/bin";
    size_t at = 0;
    while (at <= path.size()) {
        const size_t colon = path.find(':', at);
        std::string dir = path.substr(at, colon == std::string::npos ? std::string::npos : colon - at);
        if (dir.empty())
            dir = ".";
        const std::string candidate = dir + "/" + word;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string::npos)
            break;
        at = colon + 1;
    }
    return std::string();
}

void makeFolders(const std::string& path) {
    for (size_t at = 1; at <= path.size(); ++at)
        if (at == path.size() || path[at] == '/')
            ::mkdir(path.substr(0, at).c_str(), 0700);
}

} // namespace

std::string libraryDir() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&libraryDir), &info) == 0 || info.dli_fname == nullptr)
        return std::string();
    const std::string file = info.dli_fname;
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

// ---- settings ----

Settings readSettings(const std::string& libraryDir) {
    std::vector<std::string> candidates;
    if (const std::string named = env("TAVO_BRIDGE_CONFIG"); !named.empty())
        candidates.push_back(named);
    if (!libraryDir.empty())
        candidates.push_back(libraryDir + "/bridge.ini");
    candidates.push_back(homeFolder("XDG_CONFIG_HOME", "/.config") + "/FiscalConsole/bridge.ini");
    Settings s;
    for (const std::string& path : candidates)
        if (auto text = readWholeFile(path)) {
            s = parseSettings(*text);
            s.source = path;
            break;
        }
    if (const std::string command = env("TAVO_BRIDGE_COMMAND"); !command.empty()) {
        s.command = command;
        s.source = "TAVO_BRIDGE_COMMAND";
    }
    if (s.wineprefix.empty())
        s.wineprefix = homeFolder("XDG_DATA_HOME", "/.local/share") + "/fiscal-console/wine";
    return s;
}

// ---- the host process ----

bool Process::start(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
                    std::string* why) {
    stop(0);
    if (argv.empty()) {
        *why = "no bridge command is set";
        return false;
    }
    const std::string program = findProgram(argv[0]);
    if (program.empty() || ::access(program.c_str(), X_OK) != 0) {
        *why = "cannot run \"" + argv[0] + "\": not found or not executable";
        return false;
    }
    // Everything the child needs is made before fork: after it, only calls
    // that are safe in a child of a threaded process.
    std::vector<std::string> envStrings;
    for (char** e = environ; e && *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string& x : extraEnv)
            replaced = replaced || x.substr(0, x.find('=')) == name;
        if (!replaced)
            envStrings.push_back(entry);
    }
    envStrings.insert(envStrings.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp, args;
    for (std::string& e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (std::string& a : argCopy)
        args.push_back(a.data());
    args.push_back(nullptr);

    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0) {
        *why = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        *why = std::string("cannot make a pipe: ") + std::strerror(errno);
        ::close(toChild[0]);
        ::close(toChild[1]);
        return false;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        *why = std::string("cannot start the host: ") + std::strerror(errno);
        for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]})
            ::close(fd);
        return false;
    }
    if (pid == 0) {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // the console gone: the host goes too
        if (::getppid() != parent)
            ::_exit(127);
        ::dup2(toChild[0], STDIN_FILENO);
        ::dup2(fromChild[1], STDOUT_FILENO);
        ::signal(SIGPIPE, SIG_DFL);
        ::execve(program.c_str(), args.data(), envp.data());
        static const char kFailed[] = "tavo bridge: the host command could not be run\n";
        [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, kFailed, sizeof kFailed - 1);
        ::_exit(127);
    }
    ::setpgid(pid, pid);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    in_ = toChild[1];
    out_ = fromChild[0];
    ::fcntl(out_, F_SETFL, ::fcntl(out_, F_GETFL) | O_NONBLOCK);
    pid_ = pid;
    return true;
}

void Process::stop(int graceMs) {
    if (in_ >= 0)
        ::close(in_);
    in_ = -1;
    if (pid_ > 0) {
        const auto t0 = Clock::now();
        int status = 0;
        pid_t done = 0;
        while ((done = ::waitpid(pid_, &status, WNOHANG)) == 0 && msSince(t0) < graceMs)
            ::usleep(5000);
        if (done == 0) {
            ::kill(-pid_, SIGKILL);
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
        } else {
            ::kill(-pid_, SIGKILL); // anything it left behind in its group
        }
    }
    pid_ = -1;
    if (out_ >= 0)
        ::close(out_);
    out_ = -1;
}

bool Process::write(const std::string& bytes) {
    if (in_ < 0)
        return false;
    // A host that has gone makes write fail with EPIPE; the signal that comes
    // with it is kept from the console.
    sigset_t pipeSignal, old;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &old);
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(in_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            if (errno == EPIPE) {
                const timespec zero{};
                sigtimedwait(&pipeSignal, nullptr, &zero);
            }
            break;
        }
        done += static_cast<size_t>(n);
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return ok;
}

bool Process::read(std::string* into, int timeoutMs) {
    if (out_ < 0)
        return false;
    pollfd p{out_, POLLIN, 0};
    const int r = ::poll(&p, 1, timeoutMs);
    if (r < 0)
        return errno == EINTR;
    if (r == 0)
        return true;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(out_, buf, sizeof buf);
        if (n > 0) {
            into->append(buf, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        return false; // its end: the host is gone
    }
}

// ---- the link ----

void Link::idle() {
    if (idle_ != nullptr)
        idle_(idleContext_);
}

namespace {

// Text out by the extension functions' sizing rule.
int32_t giveText(const std::string& text, char* buffer, int32_t* length) {
    if (length == nullptr)
        return TAVO_EXT_BAD_VALUE;
    const auto need = static_cast<int32_t>(text.size() + 1);
    if (buffer == nullptr || *length < need) {
        *length = need;
        return buffer == nullptr ? TAVO_EXT_OK : TAVO_EXT_SMALL_BUFFER;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    *length = need;
    return TAVO_EXT_OK;
}

} // namespace

int32_t Link::lastError(char* buffer, int32_t* length) const {
    return giveText(lastError_, buffer, length);
}

void Link::giveUp(const std::string& why) {
    lastError_ = why;
    std::fprintf(stderr, "tavo bridge (%s): %s\n", library_.c_str(), why.c_str());
    process_.stop(0);
    hello_.reset();
    lines_ = LineReader();
}

std::optional<Hello> Link::awaitHello(std::string* why) {
    const auto t0 = Clock::now();
    for (;;) {
        while (auto line = lines_.next()) {
            // A shell's or Wine's notes before the hello are skipped.
            if (line->empty() || line->front() != '{')
                continue;
            std::string error;
            auto m = readLine(*line, &error);
            if (m && std::holds_alternative<Hello>(*m))
                return std::get<Hello>(*m);
            *why = "the host's first message is no hello" + (error.empty() ? std::string() : ": " + error);
            return std::nullopt;
        }
        if (lines_.overflowed()) {
            *why = "the host wrote a line longer than the wire allows";
            return std::nullopt;
        }
        std::string bytes;
        const bool alive = process_.read(&bytes, 10);
        lines_.feed(bytes);
        if (!alive && bytes.empty()) {
            *why = "the host ended before it said hello (is the command right?)";
            return std::nullopt;
        }
        idle();
        if (abortWanted_.exchange(false)) {
            *why = "the host's start was aborted";
            return std::nullopt;
        }
        if (msSince(t0) > settings_.startMs) {
            *why = "the host did not say hello within " + std::to_string(settings_.startMs) + " ms";
            return std::nullopt;
        }
    }
}

bool Link::ensureHost(std::string* why) {
    if (process_.running() && hello_)
        return true;
    process_.stop(0);
    lines_ = LineReader();
    hello_.reset();
    std::vector<std::string> argv = splitCommandLine(settings_.command);
    if (argv.empty()) {
        *why = "no bridge command is set (" +
               (settings_.source.empty() ? std::string("no bridge.ini found") : settings_.source) + ")";
        return false;
    }
    argv.push_back("--library");
    argv.push_back(library_);
    std::vector<std::string> extra;
    if (env("WINEPREFIX").empty()) {
        struct stat st {};
        if (::stat(settings_.wineprefix.c_str(), &st) != 0)
            makeFolders(settings_.wineprefix.substr(0, settings_.wineprefix.rfind('/')));
        extra.push_back("WINEPREFIX=" + settings_.wineprefix);
    }
    if (env("WINEDEBUG").empty())
        extra.push_back("WINEDEBUG=-all");
    if (!process_.start(argv, extra, why))
        return false;
    runningCommand_ = settings_.command;
    busy_ = true;
    hello_ = awaitHello(why);
    busy_ = false;
    if (!hello_) {
        process_.stop(0);
        return false;
    }
    if (hello_->protocol != kProtocol) {
        *why = "the host speaks protocol " + std::to_string(hello_->protocol) + ", not " +
               std::to_string(kProtocol);
        process_.stop(0);
        hello_.reset();
        return false;
    }
    for (const LibraryInfo& l : hello_->libraries)
        if (l.library == library_ && !l.loaded) {
            *why = "the host cannot load " + l.file + ": " + l.error;
            process_.stop(0);
            hello_.reset();
            return false;
        }
    return true;
}

Link::Reply Link::exchange(Call call) {
    Reply reply;
    reply.status = -3;
    call.time = now();
    call.library = library_;
    const std::string function = call.function;
    const int32_t offered = call.sizing ? 0 : call.length;
    if (!process_.write(toLine(Message(std::move(call))))) {
        giveUp("the host is gone (" + function + " could not be sent)");
        return reply;
    }
    abortWanted_ = false; // an abort that came after the last call ended
    busy_ = true;
    auto silentSince = Clock::now();
    std::optional<Clock::time_point> abortedAt;
    auto done = [&](Reply r) {
        busy_ = false;
        return r;
    };
    for (;;) {
        while (auto line = lines_.next()) {
            std::string error;
            auto m = readLine(*line, &error);
            if (!m) {
                giveUp("the host answered something that is no message (" + error + ")");
                return done(reply);
            }
            if (std::holds_alternative<Busy>(*m)) {
                silentSince = Clock::now();
                continue;
            }
            if (auto* e = std::get_if<Error>(&*m)) {
                lastError_ = "the host: " + e->text;
                std::fprintf(stderr, "tavo bridge (%s): %s\n", library_.c_str(), e->text.c_str());
                reply.status = -1;
                return done(reply);
            }
            auto* c = std::get_if<Call>(&*m);
            if (c == nullptr || c->function != function) {
                giveUp("the host answered " + function + " with another message");
                return done(reply);
            }
            if (c->answer.size() > static_cast<size_t>(std::max(offered, 0))) {
                giveUp("the host's answer to " + function + " has " + std::to_string(c->answer.size()) +
                       " bytes for a buffer of " + std::to_string(offered));
                return done(reply);
            }
            reply.call = std::move(*c);
            return done(reply);
        }
        if (lines_.overflowed()) {
            giveUp("the host wrote a line longer than the wire allows");
            return done(reply);
        }
        std::string bytes;
        const bool alive = process_.read(&bytes, 10);
        lines_.feed(bytes);
        if (!alive && bytes.empty()) {
            giveUp("the host ended during " + function);
            return done(reply);
        }
        idle();
        if (abortWanted_.exchange(false) && !abortedAt) {
            abortedAt = Clock::now();
            if (!process_.write(toLine(Message(Abort{})))) {
                giveUp("the host is gone (the abort could not be sent)");
                return done(reply);
            }
        }
        // After an abort the command must end within the bound, busy or not.
        if (abortedAt && msSince(*abortedAt) > settings_.silenceMs) {
            giveUp(function + " did not end within " + std::to_string(settings_.silenceMs) +
                   " ms of its abort");
            return done(reply);
        }
        if (msSince(silentSince) > settings_.silenceMs) {
            giveUp("the host was silent for " + std::to_string(settings_.silenceMs) + " ms during " +
                   function);
            return done(reply);
        }
    }
}

int32_t Link::open(const char* port, int32_t baud) {
    if (busy_)
        return 1;
    lastError_.clear();
    settings_ = readSettings(libraryDir());
    if (process_.running() && runningCommand_ != settings_.command)
        process_.stop(2000); // the settings changed: a new host
    std::string why;
    if (!ensureHost(&why)) {
        giveUp("OpenTavo: " + why);
        linkOpen_ = false;
        return 1;
    }
    Call c;
    c.function = "OpenTavo";
    c.arguments = {{"portName", port ? Value(std::string(port)) : Value(nullptr)}, {"baud", int64_t{baud}}};
    const Reply r = exchange(std::move(c));
    const int32_t result = r.call ? r.call->status : 1;
    linkOpen_ = result == 0;
    if (linkOpen_) {
        port_ = port ? port : "";
        baud_ = baud;
    }
    return result;
}

int32_t Link::close() {
    if (busy_)
        return 1;
    const bool wasOpen = linkOpen_;
    linkOpen_ = false;
    if (!process_.running() || !hello_)
        return wasOpen ? 0 : 1;
    Call c;
    c.function = "CloseTavo";
    const Reply r = exchange(std::move(c));
    // One host a link: it ends with its input, after closing its library's link.
    process_.stop(2000);
    hello_.reset();
    lines_ = LineReader();
    return r.call ? r.call->status : 1;
}

int32_t Link::abort() {
    if (busy_)
        abortWanted_ = true;
    return 0;
}

int32_t Link::describe(char* buffer, int32_t* length) {
    if (settings_.source.empty() && settings_.command.empty())
        settings_ = readSettings(libraryDir());
    std::string text = !settings_.name.empty() ? settings_.name : settings_.command;
    if (text.empty())
        text = "no bridge command set";
    return giveText(text, buffer, length);
}

CommandResult Link::command(const char* function, std::vector<Value> values, char* buffer, int32_t* length) {
    CommandResult result{};
    auto fail = [&](int32_t status, int32_t subCode) {
        result.Status = status;
        result.SubCode = subCode;
        if (length)
            *length = 0;
        return result;
    };
    if (busy_)
        return fail(-5, 1); // as the printer: busy while a command runs
    lastError_.clear();
    if (length == nullptr)
        return fail(-1, 0);
    // A link the console holds open whose host has gone: a new host, the link
    // opened again on the same port, then the command.
    if (linkOpen_ && !process_.running()) {
        std::string why;
        if (!ensureHost(&why)) {
            giveUp(std::string(function) + ": " + why);
            return fail(-3, 0);
        }
        Call reopen;
        reopen.function = "OpenTavo";
        reopen.arguments = {{"portName", Value(port_)}, {"baud", int64_t{baud_}}};
        const Reply r = exchange(std::move(reopen));
        if (!r.call || r.call->status != 0)
            return fail(r.call ? -1 : -3, 0);
    }
    if (!process_.running() || !hello_) {
        lastError_ = "no link: OpenTavo has not opened one";
        return fail(-1, 0); // as a closed port
    }
    Call c;
    c.function = function;
    const std::vector<std::string_view> names = protocol::argumentNames(function);
    for (size_t i = 0; i < values.size() && i < names.size(); ++i)
        c.arguments.push_back(Argument{std::string(names[i]), std::move(values[i])});
    c.sizing = buffer == nullptr;
    c.length = buffer == nullptr ? 0 : std::max(*length, 0);
    const int32_t offered = c.length;
    const Reply r = exchange(std::move(c));
    if (!r.call)
        return fail(r.status, 0);
    result.Status = r.call->status;
    result.SubCode = r.call->subCode;
    if (buffer != nullptr && !r.call->answer.empty())
        std::memcpy(buffer, r.call->answer.data(),
                    std::min(r.call->answer.size(), static_cast<size_t>(offered)));
    *length = r.call->length;
    return result;
}

int32_t Link::linkCall(const char* function, std::vector<Value> values, int32_t failed) {
    if (busy_ || !process_.running() || !hello_)
        return failed;
    Call c;
    c.function = function;
    const std::vector<std::string_view> names = protocol::argumentNames(function);
    for (size_t i = 0; i < values.size() && i < names.size(); ++i)
        c.arguments.push_back(Argument{std::string(names[i]), std::move(values[i])});
    const Reply r = exchange(std::move(c));
    return r.call ? r.call->status : failed;
}

} // namespace bridge::client
