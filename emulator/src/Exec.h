// One command being executed: the state it works on, its fields, the shared
// rules and the paper helpers. The handlers live in one file per concern
// (Receipts, Packages, Reports, Programming, Service, Answers); the command
// table (Commands.cpp) says which handler a code runs and what it needs.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "Paper.h"
#include "Printer.h"
#include "codepage/Cp1250.h"

namespace vp {

struct Refusal {
    int32_t status, sub;
};
[[noreturn]] inline void refuse(int sub) {
    throw Refusal{-4, sub};
}

inline constexpr char kLetters[] = "ABCDEFGHI";

// Device errors the printer gives for its own rules (beyond field checks).
namespace err {
inline constexpr int Sequence = 5;
inline constexpr int FiscalMemoryFull = 7;
inline constexpr int PaperOut = 8;
inline constexpr int ReceiptTotal = 21;
inline constexpr int DrawerTotal = 22;
inline constexpr int AboveSale = 23;
inline constexpr int ZRequired = 72;
inline constexpr int RamChecksum = 68;
inline constexpr int ServiceOnly = 82;
inline constexpr int ArticleBaseFull = 89;
inline constexpr int WrongData = 95;
} // namespace err

class Exec {
  public:
    Exec(const FiscalView& fm, const ArticleView& articles, const Faults& f, int64_t now, const Request& r,
         Outcome& o)
        : s(o.state), fm_(fm), articles_(articles), f_(f), now_(now), r_(r), o_(o) {}

    State& s;
    const FiscalView& fm_;
    const ArticleView& articles_;
    const Faults& f_;
    int64_t now_;
    const Request& r_;
    Outcome& o_;

    // ---- fields ----
    std::string raw(size_t i) const { return i < r_.fields.size() ? r_.fields[i] : std::string(); }
    std::string text(size_t i) const; // decoded from code page 1250
    int64_t integer(size_t i, int sub) const;
    int64_t decimal(size_t i, int decimals, int sub) const;
    void needFields(size_t n) const {
        if (r_.fields.size() < n)
            refuse(2);
    }

    // ---- answers ----
    void ack(int64_t value);
    void changed() { o_.changed = true; }

    // ---- rules ----
    void needPrinter() const {
        if (f_.paperOut || f_.offline)
            refuse(err::PaperOut);
    }
    void needService() const {
        if (!s.serviceMode)
            refuse(err::ServiceOnly);
    }
    bool documentOpen() const { return s.receipt.open || !s.packageLines.empty(); }
    void needNoDocument() const {
        if (documentOpen())
            refuse(err::Sequence);
    }
    bool anyPostponed() const;
    void needDayClosed() const {
        needNoDocument();
        if (s.day.hasSales() || anyPostponed())
            refuse(err::Sequence);
    }
    // The fiscal day is a calendar day of the printer's clock: once the date
    // has changed since the day's first sale, a daily report is due.
    bool zReportDue() const;
    void needSalesAllowed() const;
    bool exemptGroup(int g) const {
        return s.exemptLetter.size() == 1 && s.exemptLetter[0] == kLetters[g - 1];
    }
    bool groupActive(int g) const { return exemptGroup(g) || s.rates[g - 1] != kInactiveRate; }
    std::string rateText(int i) const; // "23,00%", "ZW", "---"

    // ---- paper ----
    void print(const std::string& line) { o_.paper.push_back(line); }
    void print(const std::vector<std::string>& lines) {
        o_.paper.insert(o_.paper.end(), lines.begin(), lines.end());
    }
    void printLr(const std::string& left, const std::string& right) { print(paper::lr(left, right)); }
    void printHeader(const std::string& title);
    void printFooter(int64_t receiptNo = 0);
    void document(const std::string& kind) { o_.documentKind = kind; }

    // ---- receipt arithmetic ----
    std::array<Grosze, 9> lineGross(const Receipt& r) const;
    std::array<Grosze, 9> receiptGross(const Receipt& r) const; // after sub-total adjustments
    Grosze receiptDeposits(const Receipt& r) const;
    Grosze receiptSales(const Receipt& r) const;
    Grosze receiptTotal(const Receipt& r) const { return receiptSales(r) + receiptDeposits(r); }
    Grosze paid(const Receipt& r) const;
    Grosze due() const;
    const Currency& currency(int index) const {
        return index == 0 ? s.sale : index == 1 ? s.first : s.second;
    }
    void finishReceipt(const std::string& footer);

    // ---- receipts ----
    void saleItem();
    void cancelItem();
    void discount();
    void subtotal();
    void payment();
    void clientId();
    void receiptCancel();
    void receiptClose();
    void postpone();
    // ---- packages and drawer ----
    void returnPackage() { packageEntry(true); }
    void salePackage() { packageEntry(false); }
    void packageEntry(bool returned);
    void returnPackagePayment() { packagePayment(true); }
    void salePackagePayment() { packagePayment(false); }
    void packagePayment(bool returned);
    void cashIn() { cash(true); }
    void paidOut() { cash(false); }
    void cash(bool in);
    void cashInDrawer();
    void openDrawer();
    // ---- reports ----
    void xReport();
    void zReport();
    void programReport();
    void memReportByNumber() { fiscalReport('Z', false); }
    void memReportByDate() { fiscalReport('D', false); }
    void memReportMonthly() { fiscalReport('M', false); }
    void uploadFiscalReport();
    void fiscalReport(char mode, bool upload);
    void zTotals(const std::vector<ZRecord>& rs, bool detail, std::vector<std::string>& lines) const;
    // ---- programming ----
    void setDate();
    void setTime();
    void setVat();
    void setHeader();
    void setDepartment();
    void setClerk();
    void clerkLogon();
    void clerkLogout();
    void serviceLogon() { logon(false); }
    void readOnlyLogon() { logon(true); }
    void logon(bool readOnly);
    void setMoney();
    void exchangeRate();
    void setCurrencyName();
    void sleepMode();
    void setDensity();
    void setParameters();
    void setEcrNumber();
    void setSystemNumber();
    void setId() { identity(false); }
    void enterFiscalMode() { identity(true); }
    void identity(bool enterFiscal);
    void setTaxId();
    // ---- service ----
    void sramErase();
    void sramDump() { dump(0); }
    void epromDump() { dump(1); }
    void romDump() { dump(2); }
    void dump(int which);
    // ---- answers ----
    void hardwareStatus();
    void softwareStatus();
    void printerStatus();
    void uploadRates();
    void uploadDepartments();
    void uploadHeader();
    void uploadPlu();
    void uploadPackages();
    void fiscalStatus();
    void currencyChangeAnswer();
};

} // namespace vp
