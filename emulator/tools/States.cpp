#include "States.h"

#include "Runner.h"
#include "Store.h"
#include "codepage/Cp1250.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace vp::ctl {
namespace {

// A connection closed on every path.
class Db {
  public:
    Db(const std::string& path, int flags, const char* what) {
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close_v2(db_);
            db_ = nullptr;
            fail(flags & SQLITE_OPEN_READONLY ? Unreadable : WriteFailed,
                 std::string("cannot open ") + what + " " + path + ": " + why);
        }
        sqlite3_busy_timeout(db_, 5000);
    }
    ~Db() { sqlite3_close_v2(db_); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;
    sqlite3* get() const { return db_; }
    bool exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    std::string error() const { return sqlite3_errmsg(db_); }

  private:
    sqlite3* db_ = nullptr;
};

// The whole of `from` into `to` in one step (one read transaction on the
// source, so the copy is one consistent moment of the printer); retried while
// the destination is busy with another connection's write.
int backup(Db& from, Db& to) {
    sqlite3_backup* b = sqlite3_backup_init(to.get(), "main", from.get(), "main");
    if (!b)
        return sqlite3_errcode(to.get());
    int rc = SQLITE_OK;
    for (int attempt = 0; attempt < 200; ++attempt) {
        rc = sqlite3_backup_step(b, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const int finished = sqlite3_backup_finish(b);
    return rc == SQLITE_DONE ? finished : rc;
}

// A snapshot is one file: the rollback journal, not WAL.
void finishSnapshot(const std::string& tmp, const std::string& path) {
    {
        Db db(tmp, SQLITE_OPEN_READWRITE, "the new state");
        if (!db.exec("PRAGMA journal_mode=DELETE"))
            fail(WriteFailed, "cannot finish the state " + path + ": " + db.error());
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        fail(WriteFailed, "cannot write " + path);
    }
}

std::string temporaryBeside(const std::string& path) {
    return path + "." + std::to_string(::getpid()) + ".part";
}

Request req(std::string code, std::vector<std::string> fields = {}) {
    return Request{std::move(code), std::move(fields)};
}

// Service logon, the rates as Polish printers have had them since May 2019
// (A 23 %, B 8 %, C 5 %, D 0 %, E exempt; F and G, the reserve letters, and H
// and I unused), two header lines, tax ID, ID, fiscal mode, logout.
std::vector<TimedRequest> fiscalisation(int64_t at) {
    std::string header;
    for (const char* line : {"         Sklep Testowy", "    ul. Pr\xC3\xB3"
                                                       "bna 1, Warszawa"}) {
        std::string l = cp1250::fromUtf8(line);
        l.resize(32, ' ');
        header += l;
    }
    std::vector<TimedRequest> steps = {
        {req("09", {"0000"}), 0},
        {req("03", {"2300", "800", "500", "0", "0", "9999", "9999", "9999", "9999", "E"}), 0},
        {req("01", {"1", "0", header}), 0},
        {req("71", {"5260250274", "13090"}), 0},
        {req("70", {"ABC", "12345678"}), 0},
        {req("72", {"ABC", "12345678"}), 0},
        {req("08"), 0},
    };
    for (size_t i = 0; i < steps.size(); ++i)
        steps[i].at = at ? at + static_cast<int64_t>(i) : 0;
    return steps;
}

// One receipt of the day: a few lines in different groups, paid in cash.
void receipt(std::vector<TimedRequest>& steps, int n, int64_t at) {
    const std::string units = cp1250::fromUtf8("szt");
    steps.push_back({req("30", {"1", units, "4.50", "03", "Chleb", "0", "0"}), at});
    steps.push_back({req("30", {std::to_string(1 + n % 3), units, "3.20", "03", "Mleko", "0", "0"}), at});
    if (n % 2 == 0)
        steps.push_back({req("30", {"1", units, "25.99", "01", "Kawa", "0", "0"}), at});
    steps.push_back({req("34", {"0", "0", "0", "100.00", "0", "0"}), at ? at + 1 : 0});
}

void run(Store& store, const std::vector<TimedRequest>& steps, const std::string& name) {
    const RunResult r = runCommands(store, steps);
    if (!r.ok())
        fail(WriteFailed, "cannot build the state " + name + ": command " +
                              steps[std::min(r.failedStep, steps.size() - 1)].request.code + " answered " +
                              std::to_string(r.status) + "/" + std::to_string(r.subCode));
}

} // namespace

bool validStateName(const std::string& name) {
    if (name.empty() || name.size() > 64 || name[0] == '.')
        return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
              c == '_' || c == '-'))
            return false;
    return true;
}

const std::vector<std::string>& readyMadeStates() {
    static const std::vector<std::string> names = {"fresh", "fiscalised", "day-open",
                                                   "fiscal-memory-nearly-full"};
    return names;
}

std::string statesDirectory(const std::string& dataDir) {
    return dataDir + "/states";
}

std::string statePath(const std::string& dataDir, const std::string& name) {
    return statesDirectory(dataDir) + "/" + name + ".sqlite";
}

void saveState(const std::string& dataDir, const std::string& port, const std::string& name) {
    const std::string source = dataDir + "/" + port + ".sqlite";
    if (!QFileInfo::exists(QString::fromStdString(source)))
        fail(Unreadable, "no printer on " + port + " yet: " + source + " does not exist");
    if (!QDir().mkpath(QString::fromStdString(statesDirectory(dataDir))))
        fail(WriteFailed, "cannot create " + statesDirectory(dataDir));
    const std::string path = statePath(dataDir, name), tmp = temporaryBeside(path);
    std::remove(tmp.c_str());
    {
        Db from(source, SQLITE_OPEN_READONLY, "the printer");
        Db to(tmp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, "the new state");
        if (const int rc = backup(from, to); rc != SQLITE_OK) {
            std::remove(tmp.c_str());
            fail(rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT ? Unreadable : WriteFailed,
                 "cannot copy the printer on " + port + ": " + sqlite3_errstr(rc));
        }
    }
    finishSnapshot(tmp, path);
}

void buildReadyMade(const std::string& name, const std::string& path) {
    {
        Store store;
        std::string why;
        if (!store.open(path, &why))
            fail(WriteFailed, "cannot build the state " + name + ": " + why);
        if (name == "fiscalised") {
            run(store, fiscalisation(0), name);
        } else if (name == "day-open") {
            std::vector<TimedRequest> steps = fiscalisation(0);
            for (int i = 0; i < 10; ++i)
                receipt(steps, i, 0);
            run(store, steps, name);
        } else if (name == "fiscal-memory-nearly-full") {
            // a printer fiscalised 1991 days ago that has closed every day
            // since with a daily report, up to yesterday: 1990 records
            constexpr int64_t kDay = 86400;
            const int64_t capacity = store.capacity(), records = capacity - 10;
            const int64_t today = QDateTime::currentSecsSinceEpoch() / kDay * kDay;
            const int64_t start = today - (records + 1) * kDay + 8 * 3600;
            std::vector<TimedRequest> steps = fiscalisation(start);
            steps.reserve(static_cast<size_t>(records) * 5 + steps.size());
            for (int64_t d = 1; d <= records; ++d) {
                const int64_t morning = start + d * kDay;
                receipt(steps, static_cast<int>(d), morning + 2 * 3600);
                steps.push_back({req("61"), morning + 12 * 3600});
            }
            run(store, steps, name);
        } else if (name != "fresh") {
            fail(Usage, "no state " + name);
        }
    }
    // the store's last connection closed: its WAL is folded back into the file
}

std::string stateForLoading(const std::string& dataDir, const std::string& name, bool* built) {
    const std::string path = statePath(dataDir, name);
    if (built)
        *built = false;
    if (QFileInfo::exists(QString::fromStdString(path)))
        return path;
    bool readyMade = false;
    for (const auto& n : readyMadeStates())
        readyMade = readyMade || n == name;
    if (!readyMade) {
        std::string known;
        for (const auto& n : readyMadeStates())
            known += (known.empty() ? "" : ", ") + n;
        fail(Usage, "no state " + name + " in " + statesDirectory(dataDir) +
                        " (saved states: see `states`; "
                        "ready-made: " +
                        known + ")");
    }
    if (!QDir().mkpath(QString::fromStdString(statesDirectory(dataDir))))
        fail(WriteFailed, "cannot create " + statesDirectory(dataDir));
    const std::string tmp = temporaryBeside(path);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::remove((tmp + suffix).c_str());
    try {
        buildReadyMade(name, tmp);
        finishSnapshot(tmp, path);
    } catch (...) {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            std::remove((tmp + suffix).c_str());
        throw;
    }
    if (built)
        *built = true;
    return path;
}

namespace {
// A printer's database of a layout this version reads, or a failure.
void checkPrinter(Db& from, const std::string& snapshot) {
    sqlite3_stmt* q = nullptr;
    int version = -1;
    if (sqlite3_prepare_v2(from.get(), "PRAGMA user_version", -1, &q, nullptr) == SQLITE_OK &&
        sqlite3_step(q) == SQLITE_ROW)
        version = sqlite3_column_int(q, 0);
    sqlite3_finalize(q);
    bool printer = false;
    if (sqlite3_prepare_v2(from.get(),
                           "SELECT 1 FROM sqlite_master WHERE name IN ('fiscal_record', 'fiscal_z')", -1, &q,
                           nullptr) == SQLITE_OK)
        printer = sqlite3_step(q) == SQLITE_ROW;
    sqlite3_finalize(q);
    if (version < 0 || !printer)
        fail(Unreadable, "the state " + snapshot + " is not a printer's database");
    if (version > kSchemaVersion)
        fail(Unreadable, "the state " + snapshot + " was written by a newer version (layout " +
                             std::to_string(version) + ")");
}
} // namespace

void checkState(const std::string& snapshot) {
    Db from(snapshot, SQLITE_OPEN_READONLY, "the state");
    checkPrinter(from, snapshot);
}

void loadState(const std::string& snapshot, const std::string& portDatabase) {
    Db from(snapshot, SQLITE_OPEN_READONLY, "the state");
    checkPrinter(from, snapshot);
    Db to(portDatabase, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, "the printer");
    if (const int rc = backup(from, to); rc != SQLITE_OK)
        fail(rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT ? Unreadable : WriteFailed,
             "cannot load the state into " + portDatabase + ": " + sqlite3_errstr(rc));
}

} // namespace vp::ctl
