#include "Store.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <string_view>

#include "Json.h"

namespace vp {
namespace {

const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS setting (key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS vat_rate (grp INTEGER PRIMARY KEY CHECK (grp BETWEEN 1 AND 9), rate INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS header_line (line INTEGER PRIMARY KEY CHECK (line BETWEEN 1 AND 5), text TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS department (number INTEGER PRIMARY KEY CHECK (number BETWEEN 1 AND 9),
                                       name TEXT NOT NULL, letter TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS clerk (number INTEGER PRIMARY KEY CHECK (number BETWEEN 1 AND 9),
                                  password TEXT NOT NULL, name TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS currency (role TEXT PRIMARY KEY, code TEXT NOT NULL, rate_micro INTEGER NOT NULL,
                                     direction TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS receipt (slot INTEGER PRIMARY KEY CHECK (slot BETWEEN 0 AND 3), buyer TEXT NOT NULL,
                                    console_total INTEGER NOT NULL, console_vat INTEGER NOT NULL,
                                    opened_at INTEGER NOT NULL, adjustments TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS receipt_line (slot INTEGER NOT NULL, seq INTEGER NOT NULL, name TEXT NOT NULL,
                                         unit TEXT NOT NULL, quantity INTEGER NOT NULL, price INTEGER NOT NULL,
                                         grp INTEGER NOT NULL, value INTEGER NOT NULL, adjustment INTEGER NOT NULL,
                                         deposit INTEGER NOT NULL, deposit_price INTEGER NOT NULL,
                                         cancelled INTEGER NOT NULL, adjusted INTEGER NOT NULL,
                                         PRIMARY KEY (slot, seq)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS receipt_payment (slot INTEGER NOT NULL, seq INTEGER NOT NULL, code INTEGER NOT NULL,
                                            amount INTEGER NOT NULL, in_sale INTEGER NOT NULL,
                                            PRIMARY KEY (slot, seq)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS package_kind (pos INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, price INTEGER NOT NULL,
                                         returned_milli INTEGER NOT NULL, returned_value INTEGER NOT NULL,
                                         sold_milli INTEGER NOT NULL, sold_value INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS package_line (pos INTEGER PRIMARY KEY, name TEXT NOT NULL, unit TEXT NOT NULL,
                                         quantity INTEGER NOT NULL, price INTEGER NOT NULL, value INTEGER NOT NULL,
                                         returned INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS day_total (grp INTEGER PRIMARY KEY CHECK (grp BETWEEN 1 AND 9), gross INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS article (name TEXT PRIMARY KEY, seq INTEGER NOT NULL, grp INTEGER NOT NULL,
                                    price INTEGER NOT NULL, sold_milli INTEGER NOT NULL, sold_value INTEGER NOT NULL,
                                    receipts INTEGER NOT NULL, last_day INTEGER NOT NULL) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS article_count (id INTEGER PRIMARY KEY CHECK (id = 1), n INTEGER NOT NULL);
INSERT OR IGNORE INTO article_count VALUES (1, 0);
CREATE TRIGGER IF NOT EXISTS article_added AFTER INSERT ON article
  BEGIN UPDATE article_count SET n = n + 1; END;
CREATE TRIGGER IF NOT EXISTS article_removed AFTER DELETE ON article
  BEGIN UPDATE article_count SET n = n - 1; END;

CREATE TABLE IF NOT EXISTS fiscal_record (seq INTEGER PRIMARY KEY, kind TEXT NOT NULL, z_no INTEGER UNIQUE,
                                          at INTEGER NOT NULL, data TEXT NOT NULL,
                                          prev_hash TEXT NOT NULL, hash TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS fiscal_record_at ON fiscal_record (at);
CREATE TRIGGER IF NOT EXISTS fiscal_record_no_update BEFORE UPDATE ON fiscal_record
  BEGIN SELECT RAISE(ABORT, 'fiscal memory is write-once'); END;
CREATE TRIGGER IF NOT EXISTS fiscal_record_no_delete BEFORE DELETE ON fiscal_record
  BEGIN SELECT RAISE(ABORT, 'fiscal memory is write-once'); END;
CREATE TRIGGER IF NOT EXISTS fiscal_record_at_end BEFORE INSERT ON fiscal_record
  WHEN NEW.seq IS NOT (SELECT IFNULL(MAX(seq), 0) + 1 FROM fiscal_record)
    OR NEW.prev_hash IS NOT IFNULL((SELECT hash FROM fiscal_record ORDER BY seq DESC LIMIT 1), '')
    OR (NEW.z_no IS NOT NULL AND NEW.z_no IS NOT (SELECT IFNULL(MAX(z_no), 0) + 1 FROM fiscal_record))
  BEGIN SELECT RAISE(ABORT, 'fiscal memory only grows at its end'); END;

CREATE TABLE IF NOT EXISTS journal (id INTEGER PRIMARY KEY, at INTEGER NOT NULL, kind TEXT NOT NULL,
                                    doc_no INTEGER NOT NULL, text TEXT NOT NULL,
                                    prev_hash TEXT NOT NULL, hash TEXT NOT NULL);
CREATE TRIGGER IF NOT EXISTS journal_no_update BEFORE UPDATE ON journal
  BEGIN SELECT RAISE(ABORT, 'the electronic journal is write-once'); END;
CREATE TRIGGER IF NOT EXISTS journal_no_delete BEFORE DELETE ON journal
  BEGIN SELECT RAISE(ABORT, 'the electronic journal is write-once'); END;
CREATE TRIGGER IF NOT EXISTS journal_at_end BEFORE INSERT ON journal
  WHEN NEW.id IS NOT (SELECT IFNULL(MAX(id), 0) + 1 FROM journal)
    OR NEW.prev_hash IS NOT IFNULL((SELECT hash FROM journal ORDER BY id DESC LIMIT 1), '')
  BEGIN SELECT RAISE(ABORT, 'the electronic journal only grows at its end'); END;
)sql";

// Prepared statements are kept per connection and reused: a command runs a
// few dozen small statements, and preparing them again each time would cost
// more than running them.
class StatementCache {
  public:
    sqlite3_stmt* get(sqlite3* db, const char* sql, bool& owned) {
        std::lock_guard lock(mutex_);
        sqlite3_stmt*& s = cache_[db][sql];
        owned = false;
        if (s && !sqlite3_stmt_busy(s))
            return s;
        sqlite3_stmt* fresh = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &fresh, nullptr) != SQLITE_OK)
            return nullptr;
        if (s) { // the cached one is in use further up: this one is private
            owned = true;
            return fresh;
        }
        return s = fresh;
    }
    void forget(sqlite3* db) {
        std::lock_guard lock(mutex_);
        for (auto& [sql, s] : cache_[db])
            sqlite3_finalize(s);
        cache_.erase(db);
    }

  private:
    std::mutex mutex_;
    std::map<sqlite3*, std::map<const char*, sqlite3_stmt*>> cache_;
};

StatementCache& statements() {
    static StatementCache cache;
    return cache;
}

class Stmt {
  public:
    Stmt(sqlite3* db, const char* sql) : s_(statements().get(db, sql, owned_)) {}
    ~Stmt() {
        if (owned_) {
            sqlite3_finalize(s_);
        } else if (s_) {
            sqlite3_reset(s_);
            sqlite3_clear_bindings(s_);
        }
    }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    bool ok() const { return s_ != nullptr; }
    Stmt& text(int i, const std::string& v) {
        sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Stmt& integer(int i, int64_t v) {
        sqlite3_bind_int64(s_, i, v);
        return *this;
    }
    Stmt& null(int i) {
        sqlite3_bind_null(s_, i);
        return *this;
    }
    bool row() { return s_ && sqlite3_step(s_) == SQLITE_ROW; }
    bool done() { return s_ && sqlite3_step(s_) == SQLITE_DONE; }
    std::string col(int i) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s_, i));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(s_, i))) : std::string();
    }
    int64_t num(int i) const { return sqlite3_column_int64(s_, i); }
    // valid until the next step
    std::string_view view(int i) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s_, i));
        return p ? std::string_view(p, static_cast<size_t>(sqlite3_column_bytes(s_, i))) : std::string_view();
    }
    bool isNull(int i) const { return sqlite3_column_type(s_, i) == SQLITE_NULL; }

  private:
    bool owned_ = false;
    sqlite3_stmt* s_ = nullptr;
};

int64_t localUtcOffset() {
    return QDateTime::currentDateTime().offsetFromUtc();
}

// ---- the settings table: every scalar of the working memory ----

using Settings = std::map<std::string, std::string>;

std::string b(bool v) {
    return v ? "1" : "0";
}
std::string n(int64_t v) {
    return std::to_string(v);
}

Settings settingsOf(const State& s) {
    Settings m;
    m["ecr_number"] = n(s.ecrNumber);
    m["system_number"] = s.systemNumber;
    m["clerk_on_duty"] = n(s.clerkOnDuty);
    m["service_password"] = s.servicePassword;
    m["service_mode"] = b(s.serviceMode);
    m["read_only"] = b(s.readOnlyMode);
    m["density"] = n(s.density);
    m["parameters"] = s.parameters;
    m["software_version"] = s.softwareVersion;
    m["clock_offset"] = n(s.clockOffset);
    m["ram_error"] = b(s.ramError);
    m["drawer"] = n(s.drawer);
    m["receipt_no"] = n(s.receiptNo);
    m["document_no"] = n(s.documentNo);
    m["vat_changes"] = n(s.vatChanges);
    m["currency_changes"] = n(s.currencyChanges);
    m["rates_set"] = b(s.ratesSet);
    m["exempt"] = s.exemptLetter;
    CurrencyChange c = s.change;
    m["currency_change"] = json::encode(c);
    return m;
}

bool readSettings(const Settings& m, State& s) {
    auto get = [&](const char* k) -> const std::string* {
        const auto it = m.find(k);
        return it == m.end() ? nullptr : &it->second;
    };
    bool ok = true;
    auto integer = [&](const char* k, auto& v) {
        const std::string* t = get(k);
        const auto x = t ? parseInt(*t) : std::nullopt;
        if (!x) {
            ok = false;
            return;
        }
        v = static_cast<std::remove_reference_t<decltype(v)>>(*x);
    };
    auto flag = [&](const char* k, bool& v) {
        const std::string* t = get(k);
        ok = ok && t && (*t == "0" || *t == "1");
        v = t && *t == "1";
    };
    auto text = [&](const char* k, std::string& v) {
        const std::string* t = get(k);
        ok = ok && t;
        if (t)
            v = *t;
    };
    integer("ecr_number", s.ecrNumber);
    text("system_number", s.systemNumber);
    integer("clerk_on_duty", s.clerkOnDuty);
    text("service_password", s.servicePassword);
    flag("service_mode", s.serviceMode);
    flag("read_only", s.readOnlyMode);
    integer("density", s.density);
    text("parameters", s.parameters);
    text("software_version", s.softwareVersion);
    integer("clock_offset", s.clockOffset);
    flag("ram_error", s.ramError);
    integer("drawer", s.drawer);
    integer("receipt_no", s.receiptNo);
    integer("document_no", s.documentNo);
    integer("vat_changes", s.vatChanges);
    integer("currency_changes", s.currencyChanges);
    flag("rates_set", s.ratesSet);
    text("exempt", s.exemptLetter);
    std::string change;
    text("currency_change", change);
    ok = ok && json::decode(change, s.change);
    ok = ok && s.clerkOnDuty >= 0 && s.clerkOnDuty <= 9;
    return ok;
}

std::string adjustmentsText(const std::vector<Grosze>& a) {
    std::string t;
    for (size_t i = 0; i < a.size(); ++i)
        t += (i ? "," : "") + std::to_string(a[i]);
    return t;
}

bool parseAdjustments(const std::string& t, std::vector<Grosze>& out) {
    out.clear();
    size_t start = 0;
    while (start < t.size()) {
        const size_t comma = t.find(',', start);
        const auto v = parseInt(t.substr(start, comma == std::string::npos ? comma : comma - start));
        if (!v)
            return false;
        out.push_back(*v);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return true;
}

const char* kRoles[] = {"sale", "first", "second"};

} // namespace

namespace {

// SHA-256 of the parts joined by line feeds, fed piece by piece (a year's
// journal is walked at every opening, so nothing is copied on the way).
std::string chainHash(std::initializer_list<std::string_view> parts) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    bool first = true;
    for (std::string_view p : parts) {
        if (!first)
            h.addData(QByteArrayView("\n", 1));
        first = false;
        h.addData(QByteArrayView(p.data(), static_cast<qsizetype>(p.size())));
    }
    return h.result().toHex().toStdString();
}

} // namespace

std::string fiscalHash(const std::string& prev, const std::string& kind, std::optional<int64_t> zNo,
                       int64_t at, const std::string& data) {
    const std::string z = zNo ? std::to_string(*zNo) : std::string(), when = std::to_string(at);
    return chainHash({prev, kind, z, when, data});
}

std::string journalHash(const std::string& prev, int64_t at, const std::string& kind, int64_t documentNo,
                        const std::string& text) {
    const std::string when = std::to_string(at), number = std::to_string(documentNo);
    return chainHash({prev, when, kind, number, text});
}

namespace {

// Feeds every member of a working memory, in order and with lengths, to
// SHA-256: the canonical form the seal is taken over.
class Sealer {
  public:
    void value(int64_t v) { add(&v, sizeof v); }
    void value(int v) { value(static_cast<int64_t>(v)); }
    void value(bool v) { value(static_cast<int64_t>(v)); }
    void value(const std::string& v) {
        value(static_cast<int64_t>(v.size()));
        add(v.data(), v.size());
    }
    template <class T, size_t N> void value(const std::array<T, N>& a) {
        for (const auto& e : a)
            value(e);
    }
    template <class T> void value(const std::vector<T>& a) {
        value(static_cast<int64_t>(a.size()));
        for (const auto& e : a)
            value(e);
    }
    template <class T> void value(const T& v) { const_cast<T&>(v).fields(*this); }
    template <class T> void operator()(const char*, T& member) { value(member); }
    std::string hex() const { return hash_.result().toHex().toStdString(); }

  private:
    void add(const void* p, size_t n) {
        hash_.addData(QByteArrayView(static_cast<const char*>(p), static_cast<qsizetype>(n)));
    }
    QCryptographicHash hash_{QCryptographicHash::Sha256};
};

} // namespace

std::string Store::stateDigest(const State& state) {
    State s = state;
    // the fiscal facts are not kept in the working memory
    s.idCode.clear(), s.idNumber.clear(), s.taxId.clear();
    s.taxIdFormat = 0, s.fiscal = false, s.ramResets = 0;
    Sealer sealer;
    sealer.value(s);
    return sealer.hex();
}

Store::~Store() {
    close();
}

bool Store::exec(const char* sql) const {
    return db_ && sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool Store::open(const std::string& path, std::string* error) {
    close();
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why + (db_ ? std::string(": ") + sqlite3_errmsg(db_) : std::string());
        close();
        return false;
    };
    if (sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK)
        return fail("cannot open " + path);
    sqlite3_busy_timeout(db_, 5000);
    if (!exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA recursive_triggers=ON; PRAGMA "
              "cache_size=-16384;"))
        return fail("cannot set up " + path);
    if (!migrate(error)) {
        close();
        return false;
    }
    report_ = verify();
    return true;
}

void Store::close() {
    if (db_) {
        statements().forget(db_);
        sqlite3_close_v2(db_);
    }
    db_ = nullptr;
    report_ = ChainReport{};
    verifiedSeq_ = verifiedJournal_ = 0;
    fiscalHead_.clear(), journalHead_.clear();
    factsSeq_ = -1;
    cacheValid_ = pendingValid_ = false;
}

bool Store::begin() {
    pendingValid_ = false;
    return exec("BEGIN IMMEDIATE");
}
bool Store::commit() {
    // A command that wrote the fiscal memory waits until its record is on the
    // disk (a checkpoint syncs the write-ahead log first); the others are kept
    // whole by the log and reach the disk with the next sync.
    const bool durable = fiscalWritten_;
    fiscalWritten_ = false;
    if (!exec("COMMIT"))
        return false;
    if (durable)
        exec("PRAGMA wal_checkpoint(PASSIVE)");
    if (pendingValid_) {
        cached_ = pending_;
        cachedVersion_ = dataVersion();
        cacheValid_ = true;
        pendingValid_ = false;
    }
    return true;
}
void Store::rollback() {
    fiscalWritten_ = false;
    exec("ROLLBACK");
    if (pendingValid_)
        cacheValid_ = false; // what was written is gone, and with it what the cache held before it
    pendingValid_ = false;
}

bool Store::migrate(std::string* error) {
    int version = 0;
    {
        Stmt q(db_, "PRAGMA user_version");
        if (q.row())
            version = static_cast<int>(q.num(0));
    }
    if (version == kSchemaVersion) {
        // tables or guards dropped by hand come back empty (a lost working
        // memory then reads as lost, and the chains tell what was changed)
        if (!exec(kSchema)) {
            if (error)
                *error = std::string("cannot restore the layout: ") + sqlite3_errmsg(db_);
            return false;
        }
        return true;
    }
    if (version > kSchemaVersion) {
        if (error)
            *error = "the printer's database was written by a newer version (layout " +
                     std::to_string(version) + ")";
        return false;
    }
    if (!begin()) {
        if (error)
            *error = std::string("cannot lock the database: ") + sqlite3_errmsg(db_);
        return false;
    }
    bool legacy = false;
    {
        Stmt q(db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'working_memory'");
        legacy = q.row();
    }
    // the earlier journal table has the new one's name: keep it aside while copying
    bool ok = !legacy || exec("ALTER TABLE journal RENAME TO journal_v1");
    ok = ok && exec(kSchema);
    if (ok && legacy)
        ok = migrateFromDocument(error);
    ok = ok && exec(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    if (!ok) {
        if (error && error->empty())
            *error = std::string("cannot lay out the database: ") + sqlite3_errmsg(db_);
        rollback();
        return false;
    }
    return commit();
}

// The earlier layout kept the working memory as one JSON document and the
// fiscal memory in two tables without hashes. Every Z record, fiscal event and
// journal entry is carried over, in order, into the chains.
bool Store::migrateFromDocument(std::string* error) {
    State state;
    QJsonObject doc;
    {
        Stmt q(db_, "SELECT state FROM working_memory WHERE id = 1");
        if (q.row()) {
            const std::string text = q.col(0);
            doc = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
            json::decode(text, state);
        }
    }
    // sub-total adjustments were kept per group: one adjustment of their sum
    auto adjustments = [](const QJsonObject& receipt) {
        std::vector<Grosze> out;
        Grosze sum = 0;
        for (const auto v : receipt.value("subAdj").toArray())
            sum += v.toInteger();
        if (sum)
            out.push_back(sum);
        return out;
    };
    state.receipt.subtotalAdjustments = adjustments(doc.value("receipt").toObject());
    const QJsonArray kept = doc.value("postponed").toArray();
    for (qsizetype i = 0; i < 3 && i < kept.size(); ++i)
        state.postponed[static_cast<size_t>(i)].subtotalAdjustments = adjustments(kept[i].toObject());
    // the clock was kept against the workstation's local time; it is kept against UTC now
    state.clockOffset += localUtcOffset();
    state.ramError = false;
    for (const auto v : doc.value("plus").toArray()) {
        const QJsonObject p = v.toObject();
        Article a;
        a.name = p.value("name").toString().toStdString();
        a.group = p.value("group").toInt();
        a.price = p.value("price").toInteger();
        a.soldMilli = p.value("sold").toInteger();
        a.soldValue = p.value("value").toInteger();
        a.receipts = p.value("receipts").toInteger();
        Stmt w(db_, "INSERT INTO article (name, seq, grp, price, sold_milli, sold_value, receipts, last_day) "
                    "VALUES (?1, (SELECT n FROM article_count) + 1, ?2, ?3, ?4, ?5, ?6, 0) "
                    "ON CONFLICT(name) DO UPDATE SET grp = excluded.grp");
        if (!w.text(1, a.name)
                 .integer(2, a.group)
                 .integer(3, a.price)
                 .integer(4, a.soldMilli)
                 .integer(5, a.soldValue)
                 .integer(6, a.receipts)
                 .done())
            return false;
    }
    // fiscal records and events in the order they were written
    struct Entry {
        int64_t at, order;
        std::string kind;
        std::optional<int64_t> zNo;
        std::string data;
    };
    std::vector<Entry> entries;
    {
        Stmt q(db_, "SELECT z_no, at, record FROM fiscal_z ORDER BY z_no");
        while (q.row()) {
            ZRecord z;
            json::decode(q.col(2), z);
            for (size_t i = 0; i < 9; ++i)
                z.net[i] = z.gross[i] - z.vat[i];
            entries.push_back(Entry{q.num(1), q.num(0), "z", q.num(0), json::encode(z)});
        }
    }
    {
        Stmt q(db_, "SELECT id, at, kind, data FROM fiscal_event ORDER BY id");
        while (q.row())
            entries.push_back(Entry{q.num(1), q.num(0), q.col(2), std::nullopt, q.col(3)});
    }
    // in time order; within one second the events come first (a daily report
    // closes its second)
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.at != b.at ? a.at < b.at : (!a.zNo && b.zNo);
    });
    for (const auto& e : entries)
        if (!insertFiscal(e.kind, e.zNo, e.at, e.data))
            return false;
    {
        Stmt q(db_, "SELECT at, kind, text FROM journal_v1 ORDER BY id");
        int64_t documentNo = 0;
        while (q.row())
            if (!insertJournal(q.num(0), q.col(1), ++documentNo, q.col(2)))
                return false;
    }
    if (!writeState(nullptr, state))
        return false;
    if (!exec("DROP TABLE working_memory; DROP TABLE fiscal_z; DROP TABLE fiscal_event; DROP TABLE "
              "journal_v1;")) {
        if (error)
            *error = std::string("cannot retire the earlier layout: ") + sqlite3_errmsg(db_);
        return false;
    }
    return true;
}

bool Store::insertFiscal(const std::string& kind, std::optional<int64_t> zNo, int64_t at,
                         const std::string& data) {
    std::string prev;
    int64_t seq = 1;
    {
        Stmt q(db_, "SELECT seq, hash FROM fiscal_record ORDER BY seq DESC LIMIT 1");
        if (q.row()) {
            seq = q.num(0) + 1;
            prev = q.col(1);
        }
    }
    Stmt w(db_, "INSERT INTO fiscal_record (seq, kind, z_no, at, data, prev_hash, hash) "
                "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    w.integer(1, seq).text(2, kind).integer(4, at).text(5, data).text(6, prev);
    if (zNo)
        w.integer(3, *zNo);
    else
        w.null(3);
    return w.text(7, fiscalHash(prev, kind, zNo, at, data)).done();
}

bool Store::insertJournal(int64_t at, const std::string& kind, int64_t documentNo, const std::string& text) {
    std::string prev;
    int64_t id = 1;
    {
        Stmt q(db_, "SELECT id, hash FROM journal ORDER BY id DESC LIMIT 1");
        if (q.row()) {
            id = q.num(0) + 1;
            prev = q.col(1);
        }
    }
    Stmt w(db_, "INSERT INTO journal (id, at, kind, doc_no, text, prev_hash, hash) VALUES (?1, ?2, ?3, ?4, "
                "?5, ?6, ?7)");
    return w.integer(1, id)
        .integer(2, at)
        .text(3, kind)
        .integer(4, documentNo)
        .text(5, text)
        .text(6, prev)
        .text(7, journalHash(prev, at, kind, documentNo, text))
        .done();
}

// ---- the working memory ----

bool Store::readFacts(FiscalFacts& facts) {
    int64_t last = 0;
    {
        Stmt q(db_, "SELECT IFNULL(MAX(seq), 0) FROM fiscal_record WHERE z_no IS NULL");
        if (!q.row())
            return false;
        last = q.num(0);
    }
    if (last != factsSeq_) {
        std::vector<FmEvent> events;
        Stmt q(db_, "SELECT at, kind, data FROM fiscal_record WHERE z_no IS NULL ORDER BY seq");
        if (!q.ok())
            return false;
        while (q.row())
            events.push_back(FmEvent{q.num(0), q.col(1), q.col(2)});
        facts_ = deriveFacts(events);
        factsSeq_ = last;
    }
    facts = facts_;
    return true;
}

int64_t Store::dataVersion() const {
    Stmt q(db_, "PRAGMA data_version");
    return q.row() ? q.num(0) : -1;
}

// Another connection wrote: if it replaced the printer (a saved state loaded
// over it), the chains this store walked are not the ones in the file any more.
void Store::resyncChains() {
    auto same = [&](const char* sql, int64_t at, const std::string& head) {
        if (at == 0)
            return true;
        Stmt q(db_, sql);
        q.integer(1, at);
        return q.row() && q.col(0) == head;
    };
    if (!same("SELECT hash FROM fiscal_record WHERE seq = ?1", verifiedSeq_, fiscalHead_) ||
        !same("SELECT hash FROM journal WHERE id = ?1", verifiedJournal_, journalHead_)) {
        verify();
        factsSeq_ = -1;
    }
}

bool Store::loadState(State& state) {
    if (!db_)
        return false;
    // what this connection read or wrote last is still what the tables hold
    // unless another connection has committed since
    const int64_t version = dataVersion();
    const bool cached = cacheValid_ && version == cachedVersion_;
    if (!cached)
        resyncChains();
    verifyNew();
    FiscalFacts facts;
    if (!readFacts(facts))
        return false;
    if (cached) {
        State s = cached_;
        applyFacts(facts, s);
        wmIntact_ = true;
        state = s;
        return true;
    }
    cacheValid_ = false;
    State s;
    Settings m;
    {
        Stmt q(db_, "SELECT key, value FROM setting");
        if (!q.ok())
            return false;
        while (q.row())
            m[q.col(0)] = q.col(1);
    }
    bool intact = !m.empty() && readSettings(m, s);
    const std::string sealed = m.count("wm_check") ? m["wm_check"] : std::string();
    auto each = [&](const char* sql, const std::function<void(Stmt&)>& f) {
        Stmt q(db_, sql);
        if (!q.ok()) {
            intact = false;
            return;
        }
        while (q.row())
            f(q);
    };
    auto index = [&](int64_t v, int64_t lo, int64_t hi) {
        if (v < lo || v > hi)
            intact = false;
        return static_cast<size_t>(std::clamp(v, lo, hi) - lo);
    };
    each("SELECT grp, rate FROM vat_rate",
         [&](Stmt& q) { s.rates[index(q.num(0), 1, 9)] = static_cast<int>(q.num(1)); });
    each("SELECT line, text FROM header_line", [&](Stmt& q) {
        const size_t i = index(q.num(0), 1, 5);
        s.header[i] = q.col(1);
        s.headerSet[i] = true;
    });
    each("SELECT number, name, letter FROM department", [&](Stmt& q) {
        const size_t i = index(q.num(0), 1, 9);
        s.departments[i] = Department{q.col(1), q.col(2)};
        s.departmentSet[i] = true;
    });
    each("SELECT number, password, name FROM clerk", [&](Stmt& q) {
        s.clerks[index(q.num(0), 1, 9)] = Clerk{q.col(1), q.col(2)};
    });
    each("SELECT role, code, rate_micro, direction FROM currency", [&](Stmt& q) {
        Currency c{q.col(1), q.num(2), q.col(3)};
        const std::string role = q.col(0);
        (role == "sale" ? s.sale : role == "first" ? s.first : s.second) = c;
    });
    auto receiptOf = [&](int64_t slot) -> Receipt& {
        const size_t i = index(slot, 0, 3);
        return i == 0 ? s.receipt : s.postponed[i - 1];
    };
    each("SELECT slot, buyer, console_total, console_vat, opened_at, adjustments FROM receipt", [&](Stmt& q) {
        Receipt& r = receiptOf(q.num(0));
        r.open = true;
        r.buyerId = q.col(1);
        r.consoleTotal = q.num(2);
        r.consoleVat = q.num(3);
        r.openedAt = q.num(4);
        if (!parseAdjustments(q.col(5), r.subtotalAdjustments))
            intact = false;
    });
    each("SELECT slot, name, unit, quantity, price, grp, value, adjustment, deposit, deposit_price, "
         "cancelled, "
         "adjusted FROM receipt_line ORDER BY slot, seq",
         [&](Stmt& q) {
             Item it;
             it.name = q.col(1), it.unit = q.col(2), it.quantity = q.num(3), it.price = q.num(4);
             it.group = static_cast<int>(index(q.num(5), 1, 9) + 1);
             it.value = q.num(6), it.adjustment = q.num(7), it.deposit = q.num(8), it.depositPrice = q.num(9);
             it.cancelled = q.num(10) != 0, it.adjusted = q.num(11) != 0;
             receiptOf(q.num(0)).items.push_back(it);
         });
    each("SELECT slot, code, amount, in_sale FROM receipt_payment ORDER BY slot, seq", [&](Stmt& q) {
        receiptOf(q.num(0)).payments.push_back(Payment{static_cast<int>(q.num(1)), q.num(2), q.num(3)});
    });
    each("SELECT name, price, returned_milli, returned_value, sold_milli, sold_value FROM package_kind ORDER "
         "BY pos",
         [&](Stmt& q) {
             s.packages.push_back(PackageRecord{q.col(0), q.num(1), q.num(2), q.num(3), q.num(4), q.num(5)});
         });
    each("SELECT name, unit, quantity, price, value, returned FROM package_line ORDER BY pos", [&](Stmt& q) {
        s.packageLines.push_back(
            PackageLine{q.col(0), q.col(1), q.num(2), q.num(3), q.num(4), q.num(5) != 0});
    });
    each("SELECT grp, gross FROM day_total", [&](Stmt& q) { s.day.gross[index(q.num(0), 1, 9)] = q.num(1); });
    {
        const std::string dayText = m.count("day") ? m["day"] : std::string();
        DayTotals day;
        if (!json::decode(dayText, day))
            intact = false;
        day.gross = s.day.gross;
        s.day = day;
    }
    if (intact && sealed != stateDigest(s))
        intact = false;
    wmIntact_ = intact;
    if (intact) {
        cached_ = s;
        cachedVersion_ = version;
        cacheValid_ = true;
    }

    if (!intact) {
        bool anything = zCount() > 0 || !journalHead().empty();
        {
            Stmt q(db_, "SELECT 1 FROM fiscal_record LIMIT 1");
            anything = anything || q.row();
        }
        s = State{};
        s.clockOffset = localUtcOffset();
        if (anything || !m.empty()) {
            // the SRAM is lost or damaged: numbering goes on from what the
            // memories hold, everything else waits for an SRAM erase
            s.ramError = true;
            Stmt z(db_, "SELECT data FROM fiscal_record WHERE z_no IS NOT NULL ORDER BY seq DESC LIMIT 1");
            if (z.row()) {
                ZRecord last;
                json::decode(z.col(0), last);
                s.receiptNo = last.lastReceipt;
            }
            Stmt d(db_, "SELECT IFNULL(MAX(doc_no), 0) FROM journal");
            if (d.row())
                s.documentNo = d.num(0);
        }
    }
    applyFacts(facts, s);
    state = s;
    return true;
}

bool Store::saveState(const State& before, const State& after) {
    // a working memory that was not read whole from the tables is written whole
    const bool whole = !wmIntact_;
    if (!writeState(whole ? nullptr : &before, after))
        return false;
    wmIntact_ = true;
    pending_ = after;
    pendingValid_ = true;
    return true;
}

bool Store::writeState(const State* before, const State& after) {
    const State& a = after;
    auto run = [&](Stmt& w) { return w.done(); };
    // settings
    const Settings now = settingsOf(a);
    const Settings was = before ? settingsOf(*before) : Settings{};
    for (const auto& [k, v] : now) {
        const auto it = was.find(k);
        if (before && it != was.end() && it->second == v)
            continue;
        Stmt w(db_, "INSERT INTO setting (key, value) VALUES (?1, ?2) "
                    "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
        if (!run(w.text(1, k).text(2, v)))
            return false;
    }
    if (!before || before->rates != a.rates)
        for (size_t i = 0; i < 9; ++i) {
            Stmt w(db_, "INSERT OR REPLACE INTO vat_rate (grp, rate) VALUES (?1, ?2)");
            if (!run(w.integer(1, static_cast<int64_t>(i + 1)).integer(2, a.rates[i])))
                return false;
        }
    for (size_t i = 0; i < 5; ++i) {
        if (before && before->header[i] == a.header[i] && before->headerSet[i] == a.headerSet[i])
            continue;
        Stmt w(db_, a.headerSet[i] ? "INSERT OR REPLACE INTO header_line (line, text) VALUES (?1, ?2)"
                                   : "DELETE FROM header_line WHERE line = ?1");
        w.integer(1, static_cast<int64_t>(i + 1));
        if (a.headerSet[i])
            w.text(2, a.header[i]);
        if (!run(w))
            return false;
    }
    for (size_t i = 0; i < 9; ++i) {
        if (before && before->departments[i] == a.departments[i] &&
            before->departmentSet[i] == a.departmentSet[i])
            continue;
        Stmt w(db_, a.departmentSet[i]
                        ? "INSERT OR REPLACE INTO department (number, name, letter) VALUES (?1, ?2, ?3)"
                        : "DELETE FROM department WHERE number = ?1");
        w.integer(1, static_cast<int64_t>(i + 1));
        if (a.departmentSet[i])
            w.text(2, a.departments[i].name).text(3, a.departments[i].letter);
        if (!run(w))
            return false;
    }
    for (size_t i = 0; i < 9; ++i) {
        if (before && before->clerks[i] == a.clerks[i])
            continue;
        const bool set = !a.clerks[i].password.empty() || !a.clerks[i].name.empty();
        Stmt w(db_, set ? "INSERT OR REPLACE INTO clerk (number, password, name) VALUES (?1, ?2, ?3)"
                        : "DELETE FROM clerk WHERE number = ?1");
        w.integer(1, static_cast<int64_t>(i + 1));
        if (set)
            w.text(2, a.clerks[i].password).text(3, a.clerks[i].name);
        if (!run(w))
            return false;
    }
    const Currency* nowC[] = {&a.sale, &a.first, &a.second};
    const Currency* wasC[] = {before ? &before->sale : nullptr, before ? &before->first : nullptr,
                              before ? &before->second : nullptr};
    for (size_t i = 0; i < 3; ++i) {
        if (before && *wasC[i] == *nowC[i])
            continue;
        Stmt w(db_,
               "INSERT OR REPLACE INTO currency (role, code, rate_micro, direction) VALUES (?1, ?2, ?3, ?4)");
        if (!run(w.text(1, kRoles[i])
                     .text(2, nowC[i]->code)
                     .integer(3, nowC[i]->rateMicro)
                     .text(4, nowC[i]->direction)))
            return false;
    }
    // receipts: slot 0 is the open one, 1 to 3 the postponed
    for (int64_t slot = 0; slot < 4; ++slot) {
        const Receipt& r = slot == 0 ? a.receipt : a.postponed[static_cast<size_t>(slot - 1)];
        const Receipt* old =
            before ? (slot == 0 ? &before->receipt : &before->postponed[static_cast<size_t>(slot - 1)])
                   : nullptr;
        if (old && *old == r)
            continue;
        if (!r.open) {
            for (const char* sql :
                 {"DELETE FROM receipt WHERE slot = ?1", "DELETE FROM receipt_line WHERE slot = ?1",
                  "DELETE FROM receipt_payment WHERE slot = ?1"}) {
                Stmt w(db_, sql);
                if (!run(w.integer(1, slot)))
                    return false;
            }
            continue;
        }
        {
            Stmt w(db_, "INSERT OR REPLACE INTO receipt (slot, buyer, console_total, console_vat, opened_at, "
                        "adjustments) "
                        "VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
            if (!run(w.integer(1, slot)
                         .text(2, r.buyerId)
                         .integer(3, r.consoleTotal)
                         .integer(4, r.consoleVat)
                         .integer(5, r.openedAt)
                         .text(6, adjustmentsText(r.subtotalAdjustments))))
                return false;
        }
        // lines: only those that changed or came (a sale adds one line)
        const bool sameReceipt = old && old->open;
        for (size_t i = 0; i < r.items.size(); ++i) {
            if (sameReceipt && i < old->items.size() && old->items[i] == r.items[i])
                continue;
            const Item& it = r.items[i];
            Stmt w(db_,
                   "INSERT OR REPLACE INTO receipt_line (slot, seq, name, unit, quantity, price, grp, value, "
                   "adjustment, deposit, deposit_price, cancelled, adjusted) "
                   "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
            if (!run(w.integer(1, slot)
                         .integer(2, static_cast<int64_t>(i))
                         .text(3, it.name)
                         .text(4, it.unit)
                         .integer(5, it.quantity)
                         .integer(6, it.price)
                         .integer(7, it.group)
                         .integer(8, it.value)
                         .integer(9, it.adjustment)
                         .integer(10, it.deposit)
                         .integer(11, it.depositPrice)
                         .integer(12, it.cancelled)
                         .integer(13, it.adjusted)))
                return false;
        }
        {
            Stmt w(db_, "DELETE FROM receipt_line WHERE slot = ?1 AND seq >= ?2");
            if (!run(w.integer(1, slot).integer(2, static_cast<int64_t>(r.items.size()))))
                return false;
        }
        for (size_t i = 0; i < r.payments.size(); ++i) {
            if (sameReceipt && i < old->payments.size() && old->payments[i] == r.payments[i])
                continue;
            const Payment& p = r.payments[i];
            Stmt w(db_, "INSERT OR REPLACE INTO receipt_payment (slot, seq, code, amount, in_sale) "
                        "VALUES (?1, ?2, ?3, ?4, ?5)");
            if (!run(w.integer(1, slot)
                         .integer(2, static_cast<int64_t>(i))
                         .integer(3, p.code)
                         .integer(4, p.amount)
                         .integer(5, p.inSale)))
                return false;
        }
        Stmt w(db_, "DELETE FROM receipt_payment WHERE slot = ?1 AND seq >= ?2");
        if (!run(w.integer(1, slot).integer(2, static_cast<int64_t>(r.payments.size()))))
            return false;
    }
    if (!before || before->packages != a.packages) {
        if (!exec("DELETE FROM package_kind"))
            return false;
        for (size_t i = 0; i < a.packages.size(); ++i) {
            const PackageRecord& p = a.packages[i];
            Stmt w(db_,
                   "INSERT INTO package_kind (pos, name, price, returned_milli, returned_value, sold_milli, "
                   "sold_value) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
            if (!run(w.integer(1, static_cast<int64_t>(i))
                         .text(2, p.name)
                         .integer(3, p.price)
                         .integer(4, p.returnedMilli)
                         .integer(5, p.returnedValue)
                         .integer(6, p.soldMilli)
                         .integer(7, p.soldValue)))
                return false;
        }
    }
    if (!before || before->packageLines != a.packageLines) {
        if (!exec("DELETE FROM package_line"))
            return false;
        for (size_t i = 0; i < a.packageLines.size(); ++i) {
            const PackageLine& p = a.packageLines[i];
            Stmt w(db_, "INSERT INTO package_line (pos, name, unit, quantity, price, value, returned) "
                        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
            if (!run(w.integer(1, static_cast<int64_t>(i))
                         .text(2, p.name)
                         .text(3, p.unit)
                         .integer(4, p.quantity)
                         .integer(5, p.price)
                         .integer(6, p.value)
                         .integer(7, p.returned)))
                return false;
        }
    }
    for (size_t i = 0; i < 9; ++i) {
        if (before && before->day.gross[i] == a.day.gross[i])
            continue;
        Stmt w(db_, "INSERT OR REPLACE INTO day_total (grp, gross) VALUES (?1, ?2)");
        if (!run(w.integer(1, static_cast<int64_t>(i + 1)).integer(2, a.day.gross[i])))
            return false;
    }
    if (!before || !(before->day == a.day)) {
        DayTotals day = a.day;
        day.gross = {};
        Stmt w(db_, "INSERT INTO setting (key, value) VALUES ('day', ?1) "
                    "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
        if (!run(w.text(1, json::encode(day))))
            return false;
    }
    Stmt w(db_, "INSERT INTO setting (key, value) VALUES ('wm_check', ?1) "
                "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    return run(w.text(1, stateDigest(a)));
}

bool Store::append(const Outcome& o, int64_t at, int64_t documentNo, const std::string& journalText) {
    fiscalWritten_ = fiscalWritten_ || !o.newEvents.empty() || !o.newRecords.empty();
    for (const auto& e : o.newEvents)
        if (!insertFiscal(e.kind, std::nullopt, e.at, e.data))
            return false;
    for (ZRecord z : o.newRecords)
        if (!insertFiscal("z", z.zNo, z.at, json::encode(z)))
            return false;
    if (o.articlesCleared && !exec("DELETE FROM article"))
        return false;
    for (const Article& a : o.articleWrites) {
        Stmt w(db_,
               "INSERT INTO article (name, seq, grp, price, sold_milli, sold_value, receipts, last_day) "
               "VALUES (?1, (SELECT n FROM article_count) + 1, ?2, ?3, ?4, ?5, ?6, ?7) "
               "ON CONFLICT(name) DO UPDATE SET grp = excluded.grp, "
               "price = excluded.price, sold_milli = excluded.sold_milli, sold_value = excluded.sold_value, "
               "receipts = excluded.receipts, last_day = excluded.last_day");
        if (!w.text(1, a.name)
                 .integer(2, a.group)
                 .integer(3, a.price)
                 .integer(4, a.soldMilli)
                 .integer(5, a.soldValue)
                 .integer(6, a.receipts)
                 .integer(7, a.lastDay)
                 .done())
            return false;
    }
    if (!journalText.empty() &&
        !insertJournal(at, o.documentKind.empty() ? std::string("note") : o.documentKind, documentNo,
                       journalText))
        return false;
    return true;
}

// ---- the chains ----

ChainReport Store::verify() {
    report_ = ChainReport{};
    verifiedSeq_ = verifiedJournal_ = 0;
    fiscalHead_.clear(), journalHead_.clear();
    verifyNew();
    return report_;
}

void Store::verifyNew() {
    if (!db_)
        return;
    auto problem = [&](const std::string& what) {
        if (report_.firstProblem.empty())
            report_.firstProblem = what;
    };
    {
        Stmt q(db_, "SELECT seq, kind, z_no, at, data, prev_hash, hash FROM fiscal_record WHERE seq > ?1 "
                    "ORDER BY seq");
        q.integer(1, verifiedSeq_);
        while (q.row()) {
            const int64_t seq = q.num(0);
            const std::optional<int64_t> zNo = q.isNull(2) ? std::nullopt : std::optional<int64_t>(q.num(2));
            if (seq != verifiedSeq_ + 1 || q.col(5) != fiscalHead_) {
                report_.fiscalBroken = true;
                problem("fiscal memory row " + std::to_string(seq) + " does not follow row " +
                        std::to_string(verifiedSeq_));
            }
            if (fiscalHash(q.col(5), q.col(1), zNo, q.num(3), q.col(4)) != q.col(6)) {
                if (zNo)
                    report_.damagedZ.insert(*zNo);
                else
                    report_.fiscalBroken = true;
                problem("fiscal memory row " + std::to_string(seq) + " does not match its hash");
            }
            verifiedSeq_ = seq;
            fiscalHead_ = q.col(6);
            ++report_.fiscalRecords;
        }
    }
    Stmt q(db_, "SELECT id, at, kind, doc_no, text, prev_hash, hash FROM journal WHERE id > ?1 ORDER BY id");
    q.integer(1, verifiedJournal_);
    while (q.row()) {
        const int64_t id = q.num(0);
        if (id != verifiedJournal_ + 1 || q.col(5) != journalHead_) {
            report_.journalBroken = true;
            problem("journal entry " + std::to_string(id) + " does not follow entry " +
                    std::to_string(verifiedJournal_));
        }
        const std::string when = std::to_string(q.num(1)), number = std::to_string(q.num(3));
        if (chainHash({q.view(5), when, q.view(2), number, q.view(4)}) != q.view(6)) {
            report_.journalBroken = true;
            problem("journal entry " + std::to_string(id) + " does not match its hash");
        }
        verifiedJournal_ = id;
        journalHead_ = q.col(6);
        ++report_.journalEntries;
    }
}

std::vector<std::string> Store::journal() {
    std::vector<std::string> out;
    Stmt q(db_, "SELECT text FROM journal ORDER BY id");
    while (q.row())
        out.push_back(q.col(0));
    return out;
}

// ---- views ----

int64_t Store::zCount() const {
    Stmt q(db_, "SELECT IFNULL(MAX(z_no), 0) FROM fiscal_record");
    return q.row() ? q.num(0) : 0;
}

int64_t Store::lastEntryAt() const {
    Stmt q(db_, "SELECT IFNULL(MAX(at), 0) FROM fiscal_record");
    return q.row() ? q.num(0) : 0;
}

namespace {
std::vector<ZRecord> records(Stmt& q) {
    std::vector<ZRecord> out;
    while (q.row()) {
        ZRecord z;
        json::decode(q.col(0), z);
        z.zNo = q.num(1);
        out.push_back(z);
    }
    return out;
}
} // namespace

std::vector<ZRecord> Store::byNumber(int64_t first, int64_t last) const {
    Stmt q(db_, "SELECT data, z_no FROM fiscal_record WHERE z_no BETWEEN ?1 AND ?2 ORDER BY z_no");
    q.integer(1, first).integer(2, last);
    return records(q);
}

std::vector<ZRecord> Store::byTime(int64_t from, int64_t to) const {
    Stmt q(
        db_,
        "SELECT data, z_no FROM fiscal_record WHERE z_no IS NOT NULL AND at BETWEEN ?1 AND ?2 ORDER BY z_no");
    q.integer(1, from).integer(2, to);
    return records(q);
}

bool Store::damaged() const {
    return !report_.whole() || faultDamaged_ > 0;
}

bool Store::isDamaged(int64_t zNo) const {
    return zNo == faultDamaged_ || report_.damagedZ.count(zNo) != 0;
}

std::string Store::journalHead() const {
    Stmt q(db_, "SELECT hash FROM journal ORDER BY id DESC LIMIT 1");
    return q.row() ? q.col(0) : std::string();
}

std::optional<Article> Store::find(const std::string& name) const {
    Stmt q(db_, "SELECT grp, price, sold_milli, sold_value, receipts, last_day FROM article WHERE name = ?1");
    q.text(1, name);
    if (!q.row())
        return std::nullopt;
    return Article{name, static_cast<int>(q.num(0)), q.num(1), q.num(2), q.num(3), q.num(4), q.num(5)};
}

int64_t Store::count() const {
    Stmt q(db_, "SELECT n FROM article_count");
    return q.row() ? q.num(0) : 0;
}

void Store::forEach(const std::function<void(const Article&)>& f) const {
    Stmt q(db_,
           "SELECT name, grp, price, sold_milli, sold_value, receipts, last_day FROM article ORDER BY seq");
    while (q.row())
        f(Article{q.col(0), static_cast<int>(q.num(1)), q.num(2), q.num(3), q.num(4), q.num(5), q.num(6)});
}

} // namespace vp
