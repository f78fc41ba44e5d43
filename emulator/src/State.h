// The virtual printer's working memory (what a real printer keeps in SRAM).
// It is small and bounded: the article base, the fiscal memory and the
// electronic journal live apart (Memories.h) and are reached row by row.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Money.h"

namespace vp {

struct Item {
    std::string name, unit; // UTF-8
    int64_t quantity = 0;   // thousandths
    Grosze price = 0;
    int group = 0;           // 1..9
    Grosze value = 0;        // quantity x price
    Grosze adjustment = 0;   // discount (negative) or increase on this line
    Grosze deposit = 0;      // returnable package deposit, outside VAT
    Grosze depositPrice = 0; // per unit
    bool cancelled = false;
    bool adjusted = false;
    template <class V> void fields(V& v) {
        v("name", name), v("unit", unit), v("qty", quantity), v("price", price), v("group", group);
        v("value", value), v("adj", adjustment), v("deposit", deposit), v("depositPrice", depositPrice);
        v("cancelled", cancelled), v("adjusted", adjusted);
    }
    bool operator==(const Item&) const = default;
};

struct Payment {
    int code = 0;      // type + 3 x currency
    Grosze amount = 0; // in its own currency
    Grosze inSale = 0; // converted to the sale currency
    template <class V> void fields(V& v) { v("code", code), v("amount", amount), v("inSale", inSale); }
    bool operator==(const Payment&) const = default;
};

struct Receipt {
    bool open = false;
    std::vector<Item> items;
    // Sub-total discounts (negative) and increases in the order given; they are
    // spread over the groups still on the receipt whenever the totals are taken,
    // so a later line cancel re-spreads them.
    std::vector<Grosze> subtotalAdjustments;
    std::vector<Payment> payments;
    std::string buyerId;                     // "NIP 1234567890"
    Grosze consoleTotal = 0, consoleVat = 0; // as handed over when postponed
    int64_t openedAt = 0;                    // printer time of the first line
    template <class V> void fields(V& v) {
        v("open", open), v("items", items), v("subAdjustments", subtotalAdjustments);
        v("payments", payments), v("buyer", buyerId), v("consoleTotal", consoleTotal),
            v("consoleVat", consoleVat), v("openedAt", openedAt);
    }
    bool operator==(const Receipt&) const = default;
};

struct Clerk {
    std::string password, name;
    template <class V> void fields(V& v) { v("password", password), v("name", name); }
    bool operator==(const Clerk&) const = default;
};

struct Department {
    std::string name;
    std::string letter;
    template <class V> void fields(V& v) { v("name", name), v("letter", letter); }
    bool operator==(const Department&) const = default;
};

struct PackageRecord { // returnable package kind
    std::string name;
    Grosze price = 0;
    int64_t returnedMilli = 0;
    Grosze returnedValue = 0;
    int64_t soldMilli = 0;
    Grosze soldValue = 0;
    template <class V> void fields(V& v) {
        v("name", name), v("price", price), v("retQty", returnedMilli), v("retVal", returnedValue);
        v("soldQty", soldMilli), v("soldVal", soldValue);
    }
    bool operator==(const PackageRecord&) const = default;
};

struct PackageLine {
    std::string name, unit;
    int64_t quantity = 0;
    Grosze price = 0, value = 0;
    bool returned = false;
    template <class V> void fields(V& v) {
        v("name", name), v("unit", unit), v("qty", quantity), v("price", price), v("value", value);
        v("returned", returned);
    }
    bool operator==(const PackageLine&) const = default;
};

struct Currency {
    std::string code; // three letters
    int64_t rateMicro = 0;
    std::string direction; // "A" or "B"
    template <class V> void fields(V& v) { v("code", code), v("rate", rateMicro), v("dir", direction); }
    bool operator==(const Currency&) const = default;
};

struct CurrencyChange {
    bool set = false;
    int64_t at = 0; // printer wall time
    std::string newName;
    Currency first, second;
    template <class V> void fields(V& v) {
        v("set", set), v("at", at), v("newName", newName), v("first", first), v("second", second);
    }
    bool operator==(const CurrencyChange&) const = default;
};

// The fiscal day so far: gross sales per group (tax is computed from these at
// the report, never summed from receipts), and the day's counters.
struct DayTotals {
    std::array<Grosze, 9> gross{};
    Grosze deposits = 0; // returnable package deposits taken, outside sales and VAT
    int64_t receipts = 0, cancelled = 0;
    Grosze cancelledValue = 0;
    Grosze cashIn = 0, paidOut = 0;
    Grosze discounts = 0, increases = 0;
    int64_t openedAt = 0; // printer time of the first sale of the day, 0 = none
    int64_t firstReceipt = 0, lastReceipt = 0;
    int64_t lastAt = 0;
    template <class V> void fields(V& v) {
        v("gross", gross), v("deposits", deposits), v("receipts", receipts);
        v("cancelled", cancelled), v("cancelledValue", cancelledValue), v("cashIn", cashIn);
        v("paidOut", paidOut), v("discounts", discounts), v("increases", increases), v("openedAt", openedAt);
        v("firstReceipt", firstReceipt), v("lastReceipt", lastReceipt), v("lastAt", lastAt);
    }
    bool hasSales() const { return openedAt != 0; }
    bool operator==(const DayTotals&) const = default;
};

struct State {
    // Fiscal facts: kept here for the commands' convenience, but always taken
    // from the fiscal memory when a printer is read (never from its SRAM).
    std::string idCode, idNumber, taxId;
    int taxIdFormat = 0;
    bool fiscal = false;
    int64_t vatChanges = 0, currencyChanges = 0, ramResets = 0;
    // programming (the rates come from the fiscal memory in fiscal mode)
    std::array<int, 9> rates{kInactiveRate, kInactiveRate, kInactiveRate, kInactiveRate, kInactiveRate,
                             kInactiveRate, kInactiveRate, kInactiveRate, kInactiveRate};
    bool ratesSet = false;
    std::string exemptLetter;
    int ecrNumber = 1;
    std::string systemNumber;
    std::array<std::string, 5> header;
    std::array<bool, 5> headerSet{};
    std::array<Department, 9> departments;
    std::array<bool, 9> departmentSet{};
    std::array<Clerk, 9> clerks;
    int clerkOnDuty = 0;
    std::string servicePassword = "0000";
    bool serviceMode = false, readOnlyMode = false;
    int density = 5;
    std::string parameters = "8111" + std::string(30, '0');
    std::string softwareVersion = "0100";
    // clock: printer wall time = UTC + this offset (the printer never follows
    // summer time by itself)
    int64_t clockOffset = 0;
    // set when the SRAM was found lost or damaged; only service work and status
    // are possible until an SRAM erase
    bool ramError = false;
    // money and documents
    Grosze drawer = 0;
    int64_t receiptNo = 0, documentNo = 0;
    DayTotals day;
    Receipt receipt;
    std::array<Receipt, 3> postponed;
    std::vector<PackageLine> packageLines;
    std::vector<PackageRecord> packages;
    Currency sale{"PLN", 0, ""};
    Currency first, second;
    CurrencyChange change;

    // The keys are those of the earlier one-document layout, so that layout reads
    // straight into this struct when a printer is migrated.
    template <class V> void fields(V& v) {
        v("idCode", idCode), v("idNumber", idNumber), v("taxId", taxId), v("taxIdFormat", taxIdFormat);
        v("fiscal", fiscal), v("ecrNumber", ecrNumber), v("systemNumber", systemNumber);
        v("rates", rates), v("ratesSet", ratesSet), v("exempt", exemptLetter), v("header", header);
        v("headerSet", headerSet), v("departments", departments), v("departmentSet", departmentSet);
        v("clerks", clerks), v("clerkOnDuty", clerkOnDuty), v("servicePassword", servicePassword);
        v("serviceMode", serviceMode), v("readOnlyMode", readOnlyMode), v("density", density);
        v("parameters", parameters), v("version", softwareVersion), v("clockOffset", clockOffset);
        v("ramError", ramError), v("drawer", drawer), v("receiptNo", receiptNo), v("documentNo", documentNo);
        v("vatChanges", vatChanges), v("currencyChanges", currencyChanges), v("ramResets", ramResets);
        v("day", day), v("receipt", receipt), v("postponed", postponed), v("packageLines", packageLines);
        v("packages", packages), v("sale", sale), v("first", first), v("second", second), v("change", change);
    }
    bool operator==(const State&) const = default;
};

// An article the printer has sold: the article base keeps every name with the
// group it was sold under (the name lock) and what was sold of it.
struct Article {
    std::string name; // UTF-8, the key
    int group = 0;    // 1..9
    Grosze price = 0; // last price
    int64_t soldMilli = 0;
    Grosze soldValue = 0;
    int64_t receipts = 0;
    int64_t lastDay = 0; // number of the daily report that closes the day of its last sale
    bool operator==(const Article&) const = default;
};

} // namespace vp
