#include "Link.h"

#include "Commands.h"
#include "Paper.h"
#include "PortLock.h"
#include "Runner.h"
#include "Settings.h"
#include "platform/Platform.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <thread>

#ifndef VPRINTER_LIBRARY_NAME
#define VPRINTER_LIBRARY_NAME "TavoUser"
#endif

namespace vp {
namespace {

struct Session {
    std::string port;
    Settings settings;
    Store store;
    std::unique_ptr<PortLock> lock;
    // the line's faults still to come (see LineFault)
    int timeoutsLeft = 0, droppedLeft = 0, lostLeft = 0, lateLeft = 0;
    int64_t lateMs = 2000;
    uint32_t dropSeed = 1;
    std::minstd_rand drops{1}; // before or after, for each dropped link
    int64_t clockOffset = 0;   // settings' offset, with clock_start resolved
    std::string liveKey;       // the database's path: where switches set now are kept
};

std::mutex gMutex; // guards gSession between commands
Session* gSession = nullptr;
std::atomic<bool> gBusy{false};
std::atomic<bool> gAbort{false};
std::atomic<TavoIdleHandler> gIdle{nullptr};
std::atomic<void*> gIdleContext{nullptr};
std::atomic<TavoPrintHandler> gPrint{nullptr};
std::atomic<void*> gPrintContext{nullptr};
std::string gTracePath; // of the open session, or from the environment

// Faults and clock switched while the program runs (TavoSetFault, TavoSetClock),
// per port. They outlive a close and reopen of this library's link (the console
// closes it for every service command) and lie over the settings file's.
struct Live {
    std::map<std::string, std::string> faults; // key -> value, as set
    std::optional<int64_t> clockOffset;        // the settings' offset
    std::optional<std::minstd_rand> drops;     // the dropped links' generator, as far as it has drawn
};
std::map<std::string, Live> gLive; // by database path; guarded by gMutex

CommandResult result(int32_t status, int32_t sub) {
    CommandResult r{};
    r.Status = status;
    r.SubCode = sub;
    return r;
}

// The printer's clock runs on UTC plus its own offset, so a change of summer
// time on the workstation never moves it.
int64_t utcNow() {
    return QDateTime::currentSecsSinceEpoch();
}

void writeTrace(const char* function, std::vector<session::Argument> args, int32_t status, int32_t sub,
                int32_t length, const std::string& answer, double ms, bool sizing) {
    std::string path = gTracePath;
    if (path.empty())
        if (const char* env = std::getenv("VPRINTER_TRACE"); env && *env)
            path = std::strcmp(env, "1") == 0 ? dataDirectory() + "/trace.jsonl" : std::string(env);
    if (path.empty())
        return;
    session::Call call;
    call.time = session::now();
    call.library = VPRINTER_LIBRARY_NAME;
    call.function = function;
    call.arguments = std::move(args);
    call.sizing = sizing;
    call.status = status;
    call.subCode = sub;
    call.length = length;
    call.answer = answer;
    call.ms = ms;
    session::Writer::append(QString::fromStdString(path), call);
}

bool writeDataFile(const DataFile& f) {
    // flushed to the disk, then renamed over the old file in one step, so the
    // console never reads a half-written file
    const std::filesystem::path target(std::u8string(f.name.begin(), f.name.end()));
    std::filesystem::path temp = target;
    temp += ".part";
    return platform::WriteFileReplacing(target, temp, f.bytes);
}

void appendPaper(const std::string& port, const std::vector<std::string>& lines) {
    appendToRoll(dataDirectory() + "/" + port + "-paper.txt", lines);
}

// Hands printed lines to the print handler, from `next` on.
class PrintFeed {
  public:
    PrintFeed(const std::vector<std::string>& lines, int64_t document)
        : lines_(lines), document_(static_cast<int32_t>(document)) {}
    // Delivers the lines up to (not including) `until`.
    void deliverUntil(size_t until) {
        TavoPrintHandler h = gPrint.load();
        for (; next_ < std::min(until, lines_.size()); ++next_)
            if (h)
                h(gPrintContext.load(), lines_[next_].c_str(), document_);
    }
    void deliverAll() { deliverUntil(lines_.size()); }
    // After lines went out of a command that is then not kept.
    void interrupted() {
        if (next_ == 0)
            return;
        if (TavoPrintHandler h = gPrint.load())
            h(gPrintContext.load(), TAVO_PRINT_INTERRUPTED, document_);
    }
    size_t size() const { return lines_.size(); }

  private:
    const std::vector<std::string>& lines_;
    int32_t document_;
    size_t next_ = 0;
};

// Waits until the deadline, calling `each` and then the idle handler about
// every 10 ms; false as soon as the command is aborted.
template <class Each> bool waitCallingIdle(std::chrono::steady_clock::time_point deadline, Each each) {
    using namespace std::chrono;
    do {
        if (gAbort.load())
            return false;
        each();
        if (TavoIdleHandler h = gIdle.load())
            h(gIdleContext.load());
        if (gAbort.load())
            return false;
        const auto left = deadline - steady_clock::now();
        std::this_thread::sleep_for(std::min<steady_clock::duration>(left, milliseconds(10)));
    } while (steady_clock::now() < deadline);
    return !gAbort.load();
}

// Waits as long as the printer would take, calling the idle handler and
// handing each line to the print handler as it is printed; false when aborted.
bool waitLikeAPrinter(const Settings& s, size_t bytes, PrintFeed& feed) {
    if (s.instant) {
        if (gAbort.load())
            return false;
        feed.deliverAll();
        return !gAbort.load();
    }
    using namespace std::chrono;
    const int64_t bytesMs = static_cast<int64_t>(bytes) * 10 * 1000 / s.baud;
    const int64_t ms = bytesMs + static_cast<int64_t>(feed.size()) * s.lineMs + s.extraMs;
    const auto start = steady_clock::now();
    const auto deadline = start + milliseconds(ms);
    // line i is on the paper once the command's bytes and i + 1 lines' time have passed
    auto printed = [&](steady_clock::time_point at) -> size_t {
        const int64_t elapsed = duration_cast<milliseconds>(at - start).count() - bytesMs;
        if (elapsed < 0)
            return 0;
        return s.lineMs <= 0 ? feed.size() : static_cast<size_t>(elapsed / s.lineMs);
    };
    if (!waitCallingIdle(deadline, [&] { feed.deliverUntil(printed(steady_clock::now())); }))
        return false;
    feed.deliverAll();
    return true;
}

// The answer on its way: ms more, the idle handler called meanwhile; false
// when aborted (the command is done all the same).
bool waitForLateAnswer(int64_t ms) {
    using namespace std::chrono;
    return waitCallingIdle(steady_clock::now() + milliseconds(ms), [] {});
}

std::string requestText(const Request& r) {
    std::string t = r.code;
    for (size_t i = 0; i < r.fields.size(); ++i)
        t += (i ? "|" : "") + r.fields[i];
    return t;
}

class BusyGuard {
  public:
    BusyGuard() : owned_(!gBusy.exchange(true)) {}
    ~BusyGuard() {
        if (owned_)
            gBusy = false;
    }
    bool owned() const { return owned_; }

  private:
    bool owned_;
};

std::optional<int64_t> wholeNumber(const std::string& v, int64_t min, int64_t max) {
    int64_t n = 0;
    const char* end = v.data() + v.size();
    const auto [at, ec] = std::from_chars(v.data(), end, n);
    if (ec != std::errc() || at != end || v.empty() || n < min || n > max)
        return std::nullopt;
    return n;
}

std::optional<bool> yesNo(const std::string& v) {
    if (v == "true" || v == "1" || v == "yes" || v == "on")
        return true;
    if (v == "false" || v == "0" || v == "no" || v == "off")
        return false;
    return std::nullopt;
}

// What the line does to one command with a buffer.
enum class LineFault {
    None,
    Timeout,    // never reached the printer: nothing done
    DropBefore, // the link dropped before the printer had the command: nothing done
    DropAfter,  // the link dropped after it: done, the answer lost
    Lost,       // done, the answer lost
    Late,       // done, the answer late by lateMs
};

// The counted faults, in the order a command uses them up: one each command.
struct LineCounter {
    const char* key;
    int Session::*left;
    LineFault fault; // DropBefore stands for both drops
};
constexpr LineCounter kLineCounters[] = {
    {"timeouts", &Session::timeoutsLeft, LineFault::Timeout},
    {"dropped_link", &Session::droppedLeft, LineFault::DropBefore},
    {"lost_answers", &Session::lostLeft, LineFault::Lost},
    {"late_answers", &Session::lateLeft, LineFault::Late},
};

const LineCounter* lineCounter(const std::string& key) {
    for (const LineCounter& c : kLineCounters)
        if (key == c.key)
            return &c;
    return nullptr;
}

// Uses up the first fault still to come, if any; what switches set live keep
// their count (and the drops' generator) for a reopened link.
LineFault takeLineFault(Session& s) {
    for (const LineCounter& c : kLineCounters) {
        int& left = s.*(c.left);
        if (left <= 0)
            continue;
        --left;
        const auto live = gLive.find(s.liveKey);
        const bool isLive = live != gLive.end();
        if (isLive && live->second.faults.count(c.key))
            live->second.faults[c.key] = std::to_string(left);
        if (c.fault != LineFault::DropBefore)
            return c.fault;
        // the upper half of the generator's range: the printer had the command
        const bool after = s.drops() > std::minstd_rand::max() / 2;
        if (isLive && (live->second.faults.count("dropped_link") || live->second.faults.count("drop_seed")))
            live->second.drops = s.drops;
        return after ? LineFault::DropAfter : LineFault::DropBefore;
    }
    return LineFault::None;
}

// One fault of the settings file's keys on an open session, now.
int32_t applyFault(Session& s, const std::string& key, const std::string& value) {
    Settings& set = s.settings;
    auto choice = [&](const char* a, const char* b) -> std::optional<bool> {
        if (value == a)
            return false;
        if (value == b)
            return true;
        return std::nullopt;
    };
    std::optional<bool> flag;
    if (key == "paper") {
        if (!(flag = choice("ok", "out")))
            return TAVO_EXT_BAD_VALUE;
        set.faults.paperOut = *flag;
    } else if (key == "offline") {
        if (!(flag = yesNo(value)))
            return TAVO_EXT_BAD_VALUE;
        set.faults.offline = *flag;
    } else if (key == "battery") {
        if (!(flag = choice("normal", "low")))
            return TAVO_EXT_BAD_VALUE;
        set.faults.lowBattery = *flag;
    } else if (key == "reset_pin") {
        if (!(flag = choice("open", "shorted")))
            return TAVO_EXT_BAD_VALUE;
        set.faults.resetPinShorted = *flag;
    } else if (key == "fiscal_memory" || key == "fm_capacity") {
        if (key == "fiscal_memory" && value != "ok" && value != "nearly_full" && value != "full")
            return TAVO_EXT_BAD_VALUE;
        const auto capacity =
            key == "fm_capacity" ? wholeNumber(value, 1, 1'000'000) : std::optional<int64_t>(0);
        if (!capacity)
            return TAVO_EXT_BAD_VALUE;
        if (key == "fiscal_memory")
            set.fiscalMemory = value;
        else
            set.fmCapacity = *capacity;
        // nearly full: ten free records counted now, as at opening
        s.store.setCapacity(effectiveCapacity(set, s.store.zCount()));
    } else if (const LineCounter* c = lineCounter(key)) {
        const auto n = wholeNumber(value, 0, kMaxFaultCount);
        if (!n)
            return TAVO_EXT_BAD_VALUE;
        s.*(c->left) = static_cast<int>(*n);
    } else if (key == "late_ms") {
        const auto n = wholeNumber(value, 0, kMaxLateMs);
        if (!n)
            return TAVO_EXT_BAD_VALUE;
        s.lateMs = *n;
    } else if (key == "drop_seed") {
        const auto n = wholeNumber(value, 0, UINT32_MAX);
        if (!n)
            return TAVO_EXT_BAD_VALUE;
        s.dropSeed = static_cast<uint32_t>(*n);
        s.drops.seed(s.dropSeed);
    } else if (key == "damaged_record") {
        const auto n = wholeNumber(value, 0, 99'999'999);
        if (!n)
            return TAVO_EXT_BAD_VALUE;
        set.damagedRecord = *n;
        s.store.setDamagedRecord(*n);
    } else {
        return TAVO_EXT_UNKNOWN_KEY;
    }
    return TAVO_EXT_OK;
}

std::optional<std::string> faultValue(const Session& s, const std::string& key) {
    const Settings& set = s.settings;
    if (key == "paper")
        return set.faults.paperOut ? "out" : "ok";
    if (key == "offline")
        return set.faults.offline ? "true" : "false";
    if (key == "battery")
        return set.faults.lowBattery ? "low" : "normal";
    if (key == "reset_pin")
        return set.faults.resetPinShorted ? "shorted" : "open";
    if (key == "fiscal_memory")
        return set.fiscalMemory;
    if (key == "fm_capacity")
        return std::to_string(set.fmCapacity);
    if (const LineCounter* c = lineCounter(key))
        return std::to_string(s.*(c->left));
    if (key == "late_ms")
        return std::to_string(s.lateMs);
    if (key == "drop_seed")
        return std::to_string(s.dropSeed);
    if (key == "damaged_record")
        return std::to_string(set.damagedRecord);
    return std::nullopt;
}

// What the switches of this port set before the link was opened again.
void applyLive(Session& s) {
    auto it = gLive.find(s.liveKey);
    if (it == gLive.end())
        return;
    for (const auto& [key, value] : it->second.faults)
        applyFault(s, key, value);
    if (it->second.drops) // the sequence goes on where it was, not from its seed again
        s.drops = *it->second.drops;
    if (it->second.clockOffset)
        s.clockOffset = *it->second.clockOffset;
}

// The extension functions' entry: the open session, not busy, the port not
// held by a command of the other library or a tool.
template <class F> int32_t withSession(F f) {
    BusyGuard busy;
    if (!busy.owned())
        return TAVO_EXT_BUSY;
    std::lock_guard lock(gMutex);
    if (gSession == nullptr)
        return TAVO_EXT_NOT_OPEN;
    HeldPort held(gSession->lock.get());
    if (!held.held())
        return TAVO_EXT_BUSY;
    return f(*gSession);
}

std::string formatClock(int64_t secondsOfWallTime) {
    return QDateTime::fromSecsSinceEpoch(secondsOfWallTime, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toStdString();
}

} // namespace

std::string dataDirectory() {
    std::string dir;
    if (const char* home = std::getenv("VPRINTER_HOME"); home && *home)
        dir = home;
    else if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        dir = std::string(xdg) + "/virtual-printer";
    else if (const char* h = std::getenv("HOME"); h && *h)
        dir = std::string(h) + "/.local/share/virtual-printer";
    else
        dir = "./virtual-printer";
    QDir().mkpath(QString::fromStdString(dir));
    return dir;
}

bool validPortName(const char* portName) {
    if (portName == nullptr || strnlen(portName, 8) > 5 || std::strncmp(portName, "COM", 3) != 0)
        return false;
    const char* n = portName + 3;
    if (n[0] < '1' || n[0] > '9')
        return false;
    if (n[1] == '\0')
        return true;
    return n[0] == '1' && n[1] >= '0' && n[1] <= '2' && n[2] == '\0';
}

int32_t linkOpen(const char* portName, int32_t) {
    BusyGuard busy;
    if (!busy.owned())
        return 5;
    if (!validPortName(portName))
        return 1;
    const std::string port = portName;
    Settings settings = readSettings(port);
    if (!settings.present)
        return 2;
    auto session = std::make_unique<Session>();
    session->port = port;
    session->liveKey = dataDirectory() + "/" + port + ".sqlite";
    session->settings = settings;
    session->timeoutsLeft = settings.timeouts;
    session->droppedLeft = settings.droppedLink;
    session->lostLeft = settings.lostAnswers;
    session->lateLeft = settings.lateAnswers;
    session->lateMs = settings.lateMs;
    session->dropSeed = settings.dropSeed;
    session->drops.seed(settings.dropSeed);
    session->lock = std::make_unique<PortLock>(dataDirectory() + "/" + port + ".lock");
    {
        HeldPort held(session->lock.get());
        if (!held.held())
            return 5;
        if (!session->store.open(dataDirectory() + "/" + port + ".sqlite"))
            return 3;
    }
    // the fiscal memory's room is fixed when the port opens
    session->store.setCapacity(effectiveCapacity(settings, session->store.zCount()));
    session->store.setDamagedRecord(settings.damagedRecord);
    session->clockOffset = settings.clockOffset;
    if (!settings.clockStart.empty()) {
        const QDateTime target =
            QDateTime::fromString(QString::fromStdString(settings.clockStart), "yyyy-MM-dd HH:mm:ss");
        State st;
        if (target.isValid() && session->store.loadState(st)) {
            const int64_t wanted = QDateTime(target.date(), target.time(), Qt::UTC).toSecsSinceEpoch();
            session->clockOffset = wanted - (utcNow() + st.clockOffset);
        }
    }
    std::lock_guard lock(gMutex);
    applyLive(*session);
    delete gSession; // one link at a time: a second open replaces the first
    gSession = session.release();
    gTracePath = settings.trace ? settings.tracePath : std::string();
    return 0;
}

int32_t linkClose() {
    BusyGuard busy;
    if (!busy.owned())
        return 5;
    std::lock_guard lock(gMutex);
    delete gSession;
    gSession = nullptr;
    return 0;
}

int32_t linkIdle() {
    if (gBusy.load())
        return 0;
    // a command of the other library (or a tool) on the same port
    std::unique_lock lock(gMutex, std::try_to_lock);
    if (!lock.owns_lock())
        return 0;
    return gSession && gSession->lock && gSession->lock->heldElsewhere() ? 0 : 1;
}

int32_t linkAbort() {
    if (gBusy.load())
        gAbort = true;
    return 0;
}

void linkSetIdleHandler(TavoIdleHandler handler, void* context) {
    gIdleContext = context;
    gIdle = handler;
}

void linkSetPrintHandler(TavoPrintHandler handler, void* context) {
    gPrintContext = context;
    gPrint = handler;
}

int32_t linkSetFault(const std::string& key, const std::string& value) {
    return withSession([&](Session& s) {
        const int32_t r = applyFault(s, key, value);
        if (r == TAVO_EXT_OK) {
            Live& live = gLive[s.liveKey];
            live.faults[key] = value;
            if (key == "drop_seed")
                live.drops.reset(); // a new seed starts the sequence again
        }
        return r;
    });
}

int32_t linkGetFault(const std::string& key, std::string& value) {
    return withSession([&](Session& s) {
        const auto v = faultValue(s, key);
        if (!v)
            return static_cast<int32_t>(TAVO_EXT_UNKNOWN_KEY);
        value = *v;
        return static_cast<int32_t>(TAVO_EXT_OK);
    });
}

int32_t linkSetClock(const std::string& dateTime) {
    const QDateTime target = QDateTime::fromString(QString::fromStdString(dateTime), "yyyy-MM-dd HH:mm:ss");
    if (!target.isValid())
        return TAVO_EXT_BAD_VALUE;
    return withSession([&](Session& s) {
        State st;
        if (!s.store.loadState(st))
            return static_cast<int32_t>(TAVO_EXT_BAD_VALUE);
        const int64_t wanted = QDateTime(target.date(), target.time(), Qt::UTC).toSecsSinceEpoch();
        s.clockOffset = wanted - (utcNow() + st.clockOffset);
        gLive[s.liveKey].clockOffset = s.clockOffset;
        return static_cast<int32_t>(TAVO_EXT_OK);
    });
}

int32_t linkGetClock(std::string& dateTime) {
    return withSession([&](Session& s) {
        State st;
        if (!s.store.loadState(st))
            return static_cast<int32_t>(TAVO_EXT_BAD_VALUE);
        dateTime = formatClock(utcNow() + s.clockOffset + st.clockOffset);
        return static_cast<int32_t>(TAVO_EXT_OK);
    });
}

int32_t linkAnswerSize(const char* code) {
    if (code == nullptr)
        return kAckLength;
    const size_t n = strnlen(code, 4096);
    return answerSize(std::string(code, std::min<size_t>(n, 2)));
}

void linkTrace(const char* function, std::vector<session::Argument> args, int32_t r) {
    writeTrace(function, std::move(args), r, 0, 0, std::string(), 0.0, false);
}

CommandResult linkRun(const Call& call, char* buffer, int32_t* length) {
    const auto started = std::chrono::steady_clock::now();
    const bool sizing = buffer == nullptr;
    std::string answer;
    auto finish = [&](CommandResult r) {
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
        writeTrace(call.function, call.traceArgs, r.Status, r.SubCode, length ? *length : 0, answer, ms,
                   sizing);
        return r;
    };
    auto refused = [&](int32_t status, int32_t sub, int32_t shownLength) {
        if (length)
            *length = shownLength;
        return finish(result(status, sub));
    };

    BusyGuard busy;
    if (!busy.owned())
        return finish(result(-5, 1));
    gAbort = false;
    std::lock_guard lock(gMutex);
    Session* s = gSession;
    if (s == nullptr)
        return refused(-1, 0, 0);
    if (length == nullptr)
        return finish(result(-4, 2));
    const int32_t capacity = sizing ? 0 : std::max<int32_t>(*length, 0);
    const int32_t largest = answerSize(call.request.code);
    if (call.invalid)
        return refused(-4, 2, sizing ? largest : 0);
    HeldPort held(s->lock.get());
    if (!held.held())
        return refused(-5, 1, sizing ? largest : 0);
    const int64_t base = utcNow() + s->clockOffset;

    if (sizing) {
        State st;
        if (!s->store.loadState(st))
            return refused(-6, 6, largest);
        Outcome o =
            Printer::execute(st, s->store, s->store, s->settings.faults, base + st.clockOffset, call.request);
        *length = o.status < 0 ? largest : static_cast<int32_t>(o.answer.size());
        return finish(result(o.status, o.subCode));
    }

    // the line: a command that never reaches the printer, or one whose answer
    // is lost or late after the printer has done it
    const LineFault line = takeLineFault(*s);
    if (line == LineFault::Timeout || line == LineFault::DropBefore)
        return refused(-3, 0, 0);
    const bool answerLost = line == LineFault::Lost || line == LineFault::DropAfter;
    auto answerArrives = [&] {
        return !answerLost && (line != LineFault::Late || waitForLateAnswer(s->lateMs));
    };
    if (!s->store.begin())
        return refused(-5, 1, 0);
    State st;
    if (!s->store.loadState(st)) {
        s->store.rollback();
        return refused(-6, 6, 0);
    }
    const int64_t now = base + st.clockOffset;
    Outcome o = Printer::execute(st, s->store, s->store, s->settings.faults, now, call.request);
    if (o.status < 0) {
        s->store.rollback();
        return answerArrives() ? refused(o.status, o.subCode, 0) : refused(-3, 0, 0);
    }
    const std::string requestBytes = requestText(call.request);
    PrintFeed feed(o.paper, o.state.documentNo);
    if (!waitLikeAPrinter(s->settings, requestBytes.size() + o.answer.size() + 8, feed)) {
        s->store.rollback();
        feed.interrupted();
        return refused(-3, 0, 0);
    }
    if (o.file && !writeDataFile(*o.file)) {
        s->store.rollback();
        feed.interrupted();
        return refused(-3, 0, 0);
    }
    if (o.changed) {
        const std::string journal = paper::joinLines(o.paper);
        if (!s->store.saveState(st, o.state) || !s->store.append(o, now, o.state.documentNo, journal) ||
            !s->store.commit()) {
            s->store.rollback();
            feed.interrupted();
            return refused(-6, o.newRecords.empty() ? 6 : 3, 0);
        }
        appendPaper(s->port, o.paper);
    } else {
        s->store.rollback();
    }
    if (!answerArrives()) // done and kept, whatever the line does to the answer
        return refused(-3, 0, 0);
    answer = o.answer;
    const auto n = std::min<size_t>(answer.size(), static_cast<size_t>(capacity));
    std::memcpy(buffer, answer.data(), n);
    *length = static_cast<int32_t>(n);
    return finish(result(o.status, o.subCode));
}

int32_t linkUpdateFirmware(const std::string& port, const std::string& version, bool full) {
    BusyGuard busy;
    if (!busy.owned() || version.size() != 4)
        return 1;
    std::lock_guard lock(gMutex);
    if (!validPortName(port.c_str()) || !readSettings(port).present)
        return 2;
    PortLock portLock(dataDirectory() + "/" + port + ".lock");
    HeldPort held(&portLock);
    if (!held.held())
        return 1;
    Store store;
    if (!store.open(dataDirectory() + "/" + port + ".sqlite") || !store.begin())
        return 3;
    State st;
    if (!store.loadState(st)) {
        store.rollback();
        return 3;
    }
    if (st.receipt.open || !st.packageLines.empty()) {
        store.rollback();
        return 4;
    }
    State updated = st;
    updated.softwareVersion = version;
    Outcome o;
    o.documentKind = full ? "firmware-full" : "firmware";
    const std::string note = std::string(full ? "PEŁNA " : "") + "AKTUALIZACJA PROGRAMU " + version;
    if (!store.saveState(st, updated) ||
        !store.append(o, utcNow() + st.clockOffset, st.documentNo, note + "\n") || !store.commit()) {
        store.rollback();
        return 3;
    }
    appendPaper(port, {note, ""});
    const std::vector<std::string> printed{note, ""};
    PrintFeed feed(printed, st.documentNo);
    feed.deliverAll();
    return 0;
}

} // namespace vp
