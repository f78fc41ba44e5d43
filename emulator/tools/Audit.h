// vprinterctl audit: the printer's figures checked against its own rules —
// every fiscal receipt of the electronic journal (line values, discounts, tax
// per rate, sums, the order of its lines) and every daily report (the fiscal
// memory's record and its printout against the receipts of its day).
#pragma once

#include <QDate>
#include <QJsonObject>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vp {
class Store;
}

namespace vp::audit {

// One thing that does not add up: the document it is in, what was expected
// and what was found.
struct Finding {
    // "line", "discount", "receipt-tax", "receipt-sum", "order", "header", "day", "day-printout", "periodic"
    std::string check;
    int64_t printNo = 0;
    int64_t receiptNo = 0; // 0: none (a daily report, or not printed)
    int64_t zNo = 0;       // daily reports
    int64_t at = 0;        // printer time of the document
    std::string what, expected, found;
};

// "print no. 000003, receipt 000001, 2026-03-07 10:00: PTU A 23,00%: expected 0,53, found 0,54"
std::string findingText(const Finding& f);

struct Options {
    std::optional<QDate> from, to; // the documents' days; none: the printer's whole life
    // Called now and then with the journal entries read so far and their number.
    std::function<void(int64_t done, int64_t total)> progress;
};

struct Result {
    std::vector<Finding> findings;
    int64_t receipts = 0;    // fiscal receipts checked
    int64_t days = 0;        // daily reports checked
    int64_t periodic = 0;    // periodic reports (from the fiscal memory) checked
    int64_t notChecked = 0;  // fiscal receipts taken up from a receipt set aside before the journal holds it
    bool chainsWhole = true; // as the store found them when it opened
};

// Reads the journal once, oldest first, and the fiscal memory.
Result run(Store& store, const Options& options);

QJsonObject toJson(const Result& r);
std::string toText(const Result& r);

// The checks of one fiscal receipt as printed (its lines, without line ends),
// with the rates in force (hundredths of a per cent, 9999 unused) and the
// exempt letter. Adds the receipt's gross per group to `gross` when given.
struct ReceiptFacts {
    std::array<int, 9> rates{};
    std::string exempt;
    std::string taxIdLine; // "NIP 526-025-02-74", empty: not checked
    std::string logo;      // "PL ABC 12345678", empty: not checked
};
struct ReceiptSums {
    std::array<int64_t, 9> gross{};
    int64_t receiptNo = 0, discounts = 0, increases = 0, deposits = 0;
};
std::vector<Finding> checkReceipt(const std::vector<std::string>& lines, const ReceiptFacts& facts,
                                  ReceiptSums* sums = nullptr);

} // namespace vp::audit
