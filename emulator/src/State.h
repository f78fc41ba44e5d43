// The virtual printer's working memory (what a real printer keeps in SRAM).
// Fiscal memory records live apart, in append-only tables (Store).
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
};

struct Payment {
    int code = 0;      // type + 3 x currency
    Grosze amount = 0; // in its own currency
    Grosze inSale = 0; // converted to the sale currency
    template <class V> void fields(V& v) { v("code", code), v("amount", amount), v("inSale", inSale); }
};

struct Receipt {
    bool open = false;
    std::vector<Item> items;
    std::array<Grosze, 9> subtotalAdjust{}; // sub-total discounts/increases per group
    bool subtotalAdjusted = false;
    std::vector<Payment> payments;
    std::string buyerId;                     // "NIP 1234567890"
    Grosze consoleTotal = 0, consoleVat = 0; // as handed over when postponed
    template <class V> void fields(V& v) {
        v("open", open), v("items", items), v("subAdj", subtotalAdjust), v("subAdjusted", subtotalAdjusted);
        v("payments", payments), v("buyer", buyerId), v("consoleTotal", consoleTotal),
            v("consoleVat", consoleVat);
    }
};

struct Clerk {
    std::string password, name;
    template <class V> void fields(V& v) { v("password", password), v("name", name); }
};

struct Department {
    std::string name;
    std::string letter;
    template <class V> void fields(V& v) { v("name", name), v("letter", letter); }
};

struct Plu { // one article the printer has sold
    std::string name;
    int group = 0;
    Grosze price = 0;
    int64_t soldMilli = 0;
    Grosze soldValue = 0;
    int64_t receipts = 0;
    template <class V> void fields(V& v) {
        v("name", name), v("group", group), v("price", price), v("sold", soldMilli), v("value", soldValue);
        v("receipts", receipts);
    }
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
};

struct Currency {
    std::string code; // three letters
    int64_t rateMicro = 0;
    std::string direction; // "A" or "B"
    template <class V> void fields(V& v) { v("code", code), v("rate", rateMicro), v("dir", direction); }
};

struct CurrencyChange {
    bool set = false;
    int64_t at = 0; // printer time, seconds since the epoch (UTC, printer clock)
    std::string newName;
    Currency first, second;
    template <class V> void fields(V& v) {
        v("set", set), v("at", at), v("newName", newName), v("first", first), v("second", second);
    }
};

struct DayTotals {
    std::array<Grosze, 9> gross{};
    std::array<Grosze, 9> vat{};
    Grosze deposits = 0;
    int64_t receipts = 0, cancelled = 0;
    Grosze cancelledValue = 0;
    Grosze cashIn = 0, paidOut = 0;
    Grosze discounts = 0, increases = 0;
    int64_t openedAt = 0; // printer time of the first sale of the day, 0 = none
    template <class V> void fields(V& v) {
        v("gross", gross), v("vat", vat), v("deposits", deposits), v("receipts", receipts);
        v("cancelled", cancelled), v("cancelledValue", cancelledValue), v("cashIn", cashIn);
        v("paidOut", paidOut), v("discounts", discounts), v("increases", increases), v("openedAt", openedAt);
    }
    bool hasSales() const { return openedAt != 0; }
};

struct State {
    // identity (copied into fiscal memory when written)
    std::string idCode, idNumber, taxId;
    int taxIdFormat = 0;
    bool fiscal = false;
    int ecrNumber = 1;
    std::string systemNumber;
    // programming
    std::array<int, 9> rates{kInactiveRate, kInactiveRate, kInactiveRate, kInactiveRate, kInactiveRate,
                             kInactiveRate, kInactiveRate, kInactiveRate, kInactiveRate};
    bool ratesSet = false;
    std::string exemptLetter;
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
    // clock: printer time = workstation time + offset
    int64_t clockOffset = 0;
    // money and documents
    Grosze drawer = 0;
    int64_t receiptNo = 0, documentNo = 0;
    int64_t vatChanges = 0, currencyChanges = 0, ramResets = 0;
    DayTotals day;
    Receipt receipt;
    std::array<Receipt, 3> postponed;
    std::vector<PackageLine> packageLines;
    std::vector<Plu> plus;
    std::vector<PackageRecord> packages;
    Currency sale{"PLN", 0, ""};
    Currency first, second;
    CurrencyChange change;

    template <class V> void fields(V& v) {
        v("idCode", idCode), v("idNumber", idNumber), v("taxId", taxId), v("taxIdFormat", taxIdFormat);
        v("fiscal", fiscal), v("ecrNumber", ecrNumber), v("systemNumber", systemNumber);
        v("rates", rates), v("ratesSet", ratesSet), v("exempt", exemptLetter), v("header", header);
        v("headerSet", headerSet), v("departments", departments), v("departmentSet", departmentSet);
        v("clerks", clerks), v("clerkOnDuty", clerkOnDuty), v("servicePassword", servicePassword);
        v("serviceMode", serviceMode), v("readOnlyMode", readOnlyMode), v("density", density);
        v("parameters", parameters), v("version", softwareVersion), v("clockOffset", clockOffset);
        v("drawer", drawer), v("receiptNo", receiptNo), v("documentNo", documentNo);
        v("vatChanges", vatChanges), v("currencyChanges", currencyChanges), v("ramResets", ramResets);
        v("day", day), v("receipt", receipt), v("postponed", postponed), v("packageLines", packageLines);
        v("plus", plus), v("packages", packages), v("sale", sale), v("first", first), v("second", second);
        v("change", change);
    }
};

std::string stateToJson(State& s);
bool stateFromJson(const std::string& json, State& s);

} // namespace vp
