// What the printer keeps beside its working memory: the fiscal memory (daily
// records and fiscal events, write-once) and the article base. Commands reach
// them through these small views, row by row, so that a command's cost does not
// grow with a printer's years of use. The in-memory implementations serve the
// core's tests; the SQLite store implements the same views.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "State.h"

namespace vp {

// One daily report as the fiscal memory holds it: enough to reprint the report
// and to add up periodic reports.
struct ZRecord {
    int64_t zNo = 0;
    int64_t at = 0; // printer time
    std::array<Grosze, 9> gross{}, net{}, vat{};
    std::array<int, 9> rates{};
    std::string exempt;
    Grosze deposits = 0, cancelledValue = 0, discounts = 0, increases = 0;
    int64_t receipts = 0, cancelled = 0;
    int64_t firstReceipt = 0, lastReceipt = 0, firstAt = 0, lastAt = 0;
    int64_t ramResets = 0, vatChanges = 0;
    std::string currency;
    std::string journalHash; // hex SHA-256 of the day's last journal entry
    bool fiscal = true;
    template <class V> void fields(V& v) {
        v("z", zNo), v("at", at), v("gross", gross), v("net", net), v("vat", vat), v("rates", rates);
        v("exempt", exempt), v("deposits", deposits), v("cancelledValue", cancelledValue);
        v("discounts", discounts), v("increases", increases), v("receipts", receipts);
        v("cancelled", cancelled), v("firstReceipt", firstReceipt), v("lastReceipt", lastReceipt);
        v("firstAt", firstAt), v("lastAt", lastAt), v("ramResets", ramResets), v("vatChanges", vatChanges);
        v("currency", currency), v("journalHash", journalHash), v("fiscal", fiscal);
    }
    // Sales of the day (deposits are outside sales).
    Grosze total() const;
    Grosze vatTotal() const;
};

struct FmEvent {
    int64_t at = 0;
    std::string kind; // "id", "taxid", "fiscal", "vat", "currency", "ramreset"
    std::string data; // JSON
};

// The fiscal facts, derived from the fiscal memory's events in order.
struct FiscalFacts {
    std::string idCode, idNumber, taxId;
    int taxIdFormat = 0;
    bool fiscal = false;
    std::array<int, 9> rates{};
    std::string exempt;
    bool ratesKnown = false; // fiscal mode: the rates written to the fiscal memory
    int64_t vatChanges = 0, ramResets = 0, currencyChanges = 0;
    std::string saleCurrency; // empty: never changed
};
FiscalFacts deriveFacts(const std::vector<FmEvent>& events);
// Puts the facts into a working memory (what survives an SRAM loss).
void applyFacts(const FiscalFacts& facts, State& state);

class FiscalView {
  public:
    virtual ~FiscalView() = default;
    virtual int64_t zCount() const = 0;
    virtual int64_t capacity() const = 0;
    virtual int64_t lastEntryAt() const = 0; // printer time of the newest record or event, 0 = none
    virtual std::vector<ZRecord> byNumber(int64_t first, int64_t last) const = 0;
    virtual std::vector<ZRecord> byTime(int64_t from, int64_t to) const = 0;
    // A record whose stored content fails its check reads back damaged.
    virtual bool damaged() const = 0;
    virtual bool isDamaged(int64_t zNo) const = 0;
    // Hex hash of the newest journal entry (what a daily report seals).
    virtual std::string journalHead() const = 0;
    bool full() const { return zCount() >= capacity(); }
};

class ArticleView {
  public:
    virtual ~ArticleView() = default;
    virtual std::optional<Article> find(const std::string& name) const = 0;
    virtual int64_t count() const = 0;
    virtual void forEach(const std::function<void(const Article&)>& f) const = 0;
};

constexpr int64_t kArticleCapacity = 200000;

// ---- in memory ----

struct FiscalMemory : FiscalView {
    std::vector<ZRecord> records;
    std::vector<FmEvent> events;
    int64_t fmCapacity = 2000;
    std::set<int64_t> damagedZ; // these records read back damaged
    bool chainBroken = false;
    std::string head;

    int64_t zCount() const override { return static_cast<int64_t>(records.size()); }
    int64_t capacity() const override { return fmCapacity; }
    int64_t lastEntryAt() const override;
    std::vector<ZRecord> byNumber(int64_t first, int64_t last) const override;
    std::vector<ZRecord> byTime(int64_t from, int64_t to) const override;
    bool damaged() const override { return chainBroken || !damagedZ.empty(); }
    bool isDamaged(int64_t zNo) const override { return damagedZ.count(zNo) != 0; }
    std::string journalHead() const override { return head; }
};

struct ArticleBase : ArticleView {
    std::map<std::string, Article> articles;
    std::optional<Article> find(const std::string& name) const override;
    int64_t count() const override { return static_cast<int64_t>(articles.size()); }
    void forEach(const std::function<void(const Article&)>& f) const override;
};

} // namespace vp
