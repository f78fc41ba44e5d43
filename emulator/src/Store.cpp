#include "Store.h"

#include <sqlite3.h>

#include "Json.h"

namespace vp {
namespace {

const char* kSchema = R"sql(
PRAGMA journal_mode=WAL;
PRAGMA synchronous=FULL;
CREATE TABLE IF NOT EXISTS working_memory (id INTEGER PRIMARY KEY CHECK (id = 1), state TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS fiscal_z (z_no INTEGER PRIMARY KEY, at INTEGER NOT NULL, record TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS fiscal_event (id INTEGER PRIMARY KEY AUTOINCREMENT, at INTEGER NOT NULL,
                                         kind TEXT NOT NULL, data TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS journal (id INTEGER PRIMARY KEY AUTOINCREMENT, at INTEGER NOT NULL,
                                    kind TEXT NOT NULL, text TEXT NOT NULL);
CREATE TRIGGER IF NOT EXISTS fiscal_z_no_update BEFORE UPDATE ON fiscal_z
  BEGIN SELECT RAISE(ABORT, 'fiscal memory is write-once'); END;
CREATE TRIGGER IF NOT EXISTS fiscal_z_no_delete BEFORE DELETE ON fiscal_z
  BEGIN SELECT RAISE(ABORT, 'fiscal memory is write-once'); END;
CREATE TRIGGER IF NOT EXISTS fiscal_z_in_order BEFORE INSERT ON fiscal_z
  WHEN NEW.z_no <> (SELECT IFNULL(MAX(z_no), 0) + 1 FROM fiscal_z)
  BEGIN SELECT RAISE(ABORT, 'Z records are numbered without gaps'); END;
CREATE TRIGGER IF NOT EXISTS fiscal_event_no_update BEFORE UPDATE ON fiscal_event
  BEGIN SELECT RAISE(ABORT, 'fiscal memory is write-once'); END;
CREATE TRIGGER IF NOT EXISTS fiscal_event_no_delete BEFORE DELETE ON fiscal_event
  BEGIN SELECT RAISE(ABORT, 'fiscal memory is write-once'); END;
)sql";

struct Stmt {
    sqlite3_stmt* s = nullptr;
    Stmt(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &s, nullptr); }
    ~Stmt() { sqlite3_finalize(s); }
    bool ok() const { return s != nullptr; }
    void text(int i, const std::string& v) {
        sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    void integer(int i, int64_t v) { sqlite3_bind_int64(s, i, v); }
    int step() { return sqlite3_step(s); }
    std::string col(int i) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(s, i))) : std::string();
    }
};

} // namespace

Store::~Store() {
    close();
}

bool Store::open(const std::string& path) {
    close();
    if (sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        close();
        return false;
    }
    sqlite3_busy_timeout(db_, 5000);
    if (!exec(kSchema)) {
        close();
        return false;
    }
    return true;
}

void Store::close() {
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool Store::exec(const char* sql) {
    return db_ && sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}
bool Store::begin() {
    return exec("BEGIN IMMEDIATE");
}
bool Store::commit() {
    return exec("COMMIT");
}
void Store::rollback() {
    exec("ROLLBACK");
}

bool Store::load(State& state, FiscalMemory& fm) {
    if (!db_)
        return false;
    state = State{};
    {
        Stmt q(db_, "SELECT state FROM working_memory WHERE id = 1");
        if (!q.ok())
            return false;
        if (q.step() == SQLITE_ROW && !stateFromJson(q.col(0), state))
            return false;
    }
    fm.records.clear();
    fm.events.clear();
    {
        Stmt q(db_, "SELECT record FROM fiscal_z ORDER BY z_no");
        if (!q.ok())
            return false;
        while (q.step() == SQLITE_ROW) {
            ZRecord z;
            json::decode(q.col(0), z);
            fm.records.push_back(z);
        }
    }
    Stmt q(db_, "SELECT at, kind, data FROM fiscal_event ORDER BY id");
    if (!q.ok())
        return false;
    while (q.step() == SQLITE_ROW)
        fm.events.push_back(FmEvent{sqlite3_column_int64(q.s, 0), q.col(1), q.col(2)});
    return true;
}

bool Store::save(State& state, const Outcome& o, int64_t at, const std::string& journalText) {
    {
        Stmt q(db_, "INSERT INTO working_memory (id, state) VALUES (1, ?1) "
                    "ON CONFLICT(id) DO UPDATE SET state = excluded.state");
        if (!q.ok())
            return false;
        q.text(1, stateToJson(state));
        if (q.step() != SQLITE_DONE)
            return false;
    }
    for (ZRecord z : o.newRecords) {
        Stmt q(db_, "INSERT INTO fiscal_z (z_no, at, record) VALUES (?1, ?2, ?3)");
        q.integer(1, z.zNo);
        q.integer(2, z.at);
        q.text(3, json::encode(z));
        if (q.step() != SQLITE_DONE)
            return false;
    }
    for (const auto& e : o.newEvents) {
        Stmt q(db_, "INSERT INTO fiscal_event (at, kind, data) VALUES (?1, ?2, ?3)");
        q.integer(1, e.at);
        q.text(2, e.kind);
        q.text(3, e.data);
        if (q.step() != SQLITE_DONE)
            return false;
    }
    if (!journalText.empty()) {
        Stmt q(db_, "INSERT INTO journal (at, kind, text) VALUES (?1, ?2, ?3)");
        q.integer(1, at);
        q.text(2, o.documentKind.empty() ? std::string("note") : o.documentKind);
        q.text(3, journalText);
        if (q.step() != SQLITE_DONE)
            return false;
    }
    return true;
}

std::vector<std::string> Store::journal() {
    std::vector<std::string> out;
    Stmt q(db_, "SELECT text FROM journal ORDER BY id");
    while (q.ok() && q.step() == SQLITE_ROW)
        out.push_back(q.col(0));
    return out;
}

} // namespace vp
