// One SQLite database per port: working memory, append-only fiscal memory and
// the electronic journal.  Every state change is one transaction.
#pragma once

#include <string>
#include <vector>

#include "Printer.h"

struct sqlite3;

namespace vp {

class Store {
  public:
    Store() = default;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;
    ~Store();

    bool open(const std::string& path);
    void close();
    bool isOpen() const { return db_ != nullptr; }

    bool begin(); // write transaction (taken at once)
    bool commit();
    void rollback();

    // Reads the working memory and the fiscal memory (inside or outside a transaction).
    bool load(State& state, FiscalMemory& fm);
    bool save(State& state, const Outcome& outcome, int64_t at, const std::string& journalText);

    // The electronic journal, oldest first.
    std::vector<std::string> journal();

  private:
    bool exec(const char* sql);
    sqlite3* db_ = nullptr;
};

} // namespace vp
