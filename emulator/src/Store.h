// One SQLite database per port. The working memory is a set of small tables
// (settings, VAT rates, header, departments, clerks, currencies, receipts and
// their lines, packages, the day's totals) sealed by a checksum; the article
// base has one row per name; the fiscal memory and the electronic journal are
// write-once chains of SHA-256 hashes. A command reads and writes only the rows
// it needs, in one transaction.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Printer.h"

struct sqlite3;

namespace vp {

constexpr int kSchemaVersion = 2;

// The result of walking both chains.
struct ChainReport {
    int64_t fiscalRecords = 0, journalEntries = 0;
    std::set<int64_t> damagedZ; // daily records whose content fails its hash
    bool fiscalBroken = false;  // a record missing, added or out of its place
    bool journalBroken = false;
    std::string firstProblem; // for people: which row and why
    bool whole() const { return damagedZ.empty() && !fiscalBroken && !journalBroken; }
};

class Store : public FiscalView, public ArticleView {
  public:
    Store() = default;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;
    ~Store() override;

    // Opens or creates the database, migrates an earlier layout and verifies
    // both chains. `error` tells why it failed.
    bool open(const std::string& path, std::string* error = nullptr);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    sqlite3* handle() const { return db_; }

    bool begin(); // write transaction (taken at once)
    bool commit();
    void rollback();

    // The working memory with the fiscal facts laid over it from the fiscal
    // memory. A lost or damaged working memory reads as a fresh one with
    // ramError set.
    bool loadState(State& state);
    // Writes the parts of `after` that differ from `before`, and the checksum.
    bool saveState(const State& before, const State& after);
    // Appends fiscal records and events, article rows and a journal entry.
    bool append(const Outcome& outcome, int64_t at, int64_t documentNo, const std::string& journalText);

    // Settings that come from outside the database (faults, capacity).
    void setCapacity(int64_t capacity) { capacity_ = capacity; }
    void setDamagedRecord(int64_t zNo) { faultDamaged_ = zNo; }

    // Walks both chains from the start.
    ChainReport verify();
    const ChainReport& lastReport() const { return report_; }

    std::vector<std::string> journal(); // the electronic journal's texts, oldest first

    // FiscalView
    int64_t zCount() const override;
    int64_t capacity() const override { return capacity_; }
    int64_t lastEntryAt() const override;
    std::vector<ZRecord> byNumber(int64_t first, int64_t last) const override;
    std::vector<ZRecord> byTime(int64_t from, int64_t to) const override;
    bool damaged() const override;
    bool isDamaged(int64_t zNo) const override;
    std::string journalHead() const override;

    // ArticleView
    std::optional<Article> find(const std::string& name) const override;
    int64_t count() const override;
    void forEach(const std::function<void(const Article&)>& f) const override;

    // The canonical checksum of a working memory (what the store seals it with).
    static std::string stateDigest(const State& state);

  private:
    bool exec(const char* sql) const;
    bool migrate(std::string* error);
    bool migrateFromDocument(std::string* error);
    bool writeState(const State* before, const State& after); // before == nullptr: every part
    bool insertFiscal(const std::string& kind, std::optional<int64_t> zNo, int64_t at,
                      const std::string& data);
    bool insertJournal(int64_t at, const std::string& kind, int64_t documentNo, const std::string& text);
    void verifyNew(); // continues the walk over rows written since the last one
    void resyncChains();
    bool readFacts(FiscalFacts& facts);

    sqlite3* db_ = nullptr;
    int64_t capacity_ = 2000;
    int64_t faultDamaged_ = 0;
    ChainReport report_;
    int64_t verifiedSeq_ = 0, verifiedJournal_ = 0;
    std::string fiscalHead_, journalHead_;
    int64_t factsSeq_ = -1;
    bool wmIntact_ = false; // the last load found a whole, sealed working memory
    int64_t dataVersion() const;
    State cached_, pending_; // the working memory as the tables hold it, and as being written
    int64_t cachedVersion_ = -1;
    bool cacheValid_ = false, pendingValid_ = false;
    bool fiscalWritten_ = false; // this transaction appended to the fiscal memory
    FiscalFacts facts_;
};

// Hash of one fiscal memory row and of one journal entry, chained over the
// previous row's hash (hex SHA-256).
std::string fiscalHash(const std::string& prev, const std::string& kind, std::optional<int64_t> zNo,
                       int64_t at, const std::string& data);
std::string journalHash(const std::string& prev, int64_t at, const std::string& kind, int64_t documentNo,
                        const std::string& text);

} // namespace vp
