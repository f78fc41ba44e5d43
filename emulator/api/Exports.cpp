// The device libraries' C interface.  Every cm... function turns its arguments
// into the printer's command fields (the same fields a raw command line
// carries, see docs/virtual-printer.md) and runs them on the link.  No
// exception crosses this boundary.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

#include "Commands.h"
#include "Link.h"
#include "Money.h"
#include "Printer.h"
#include "codepage/Cp1250.h"

namespace {

constexpr size_t kMaxText = 4096;

CommandResult failure(int32_t status, int32_t sub) {
    CommandResult r{};
    r.Status = status;
    r.SubCode = sub;
    return r;
}

class Args {
  public:
    Args(const char* function, const char* code) {
        call_.function = function;
        call_.request.code = code;
    }
    Args& text(const char* name, const char* value, bool secret = false) {
        std::string v;
        if (value != nullptr) {
            const size_t n = strnlen(value, kMaxText + 1);
            if (n > kMaxText)
                call_.invalid = true;
            else
                v.assign(value, n);
        }
        call_.request.fields.push_back(v);
        call_.traceArgs.emplace_back(name, value == nullptr ? std::string("(null)")
                                           : secret         ? std::string(v.size(), '*')
                                                            : cp1250::toUtf8(v));
        return *this;
    }
    Args& integer(const char* name, int32_t value) {
        call_.request.fields.push_back(std::to_string(value));
        call_.traceArgs.emplace_back(name, std::to_string(value));
        return *this;
    }
    // A double as decimal text with `decimals` places; "?" when not a finite,
    // non-negative number within 12 digits, so the printer refuses it.
    Args& number(const char* name, double value, int decimals) {
        const auto scaled = vp::scaleDouble(value, decimals, 999999999999LL);
        std::string t = "?";
        if (scaled) {
            int64_t scale = 1;
            for (int i = 0; i < decimals; ++i)
                scale *= 10;
            char buf[48];
            std::snprintf(buf, sizeof buf, "%lld.%0*lld", static_cast<long long>(*scaled / scale), decimals,
                          static_cast<long long>(*scaled % scale));
            t = buf;
        }
        call_.request.fields.push_back(t);
        char shown[48];
        std::snprintf(shown, sizeof shown, "%.15g", value);
        call_.traceArgs.emplace_back(name, shown);
        return *this;
    }
    Args& raw(const char* name, const std::string& field, const std::string& shown) {
        call_.request.fields.push_back(field);
        call_.traceArgs.emplace_back(name, shown);
        return *this;
    }
    CommandResult run(char* buffer, int32_t* length) {
        try {
            return vp::linkRun(call_, buffer, length);
        } catch (...) {
            if (length && buffer == nullptr)
                *length = vp::answerSize(call_.request.code);
            else if (length)
                *length = 0;
            return failure(-6, 6);
        }
    }

  private:
    vp::Call call_;
};

template <class F> CommandResult guarded(F f) {
    try {
        return f();
    } catch (...) {
        return failure(-6, 6);
    }
}

template <class F> int32_t guardedInt(F f, int32_t onError) {
    try {
        return f();
    } catch (...) {
        return onError;
    }
}

std::string textOf(const char* s) {
    if (s == nullptr)
        return "(null)";
    return cp1250::toUtf8(std::string(s, strnlen(s, kMaxText)));
}

} // namespace

extern "C" {

// ---- link and control ----

TAVO_API int32_t TAVO_CALL OpenTavo(const char* portName, int32_t baud) {
    return guardedInt(
        [&] {
            const int32_t r = vp::linkOpen(portName, baud);
            vp::linkTrace("OpenTavo", {{"portName", textOf(portName)}, {"baud", std::to_string(baud)}}, r);
            return r;
        },
        1);
}

TAVO_API int32_t TAVO_CALL CloseTavo(void) {
    return guardedInt(
        [] {
            const int32_t r = vp::linkClose();
            vp::linkTrace("CloseTavo", {}, r);
            return r;
        },
        1);
}

TAVO_API int32_t TAVO_CALL isCommandExecuting(void) {
    return guardedInt([] { return vp::linkIdle(); }, 1);
}

TAVO_API int32_t TAVO_CALL AbortTavo(void) {
    return guardedInt(
        [] {
            const int32_t r = vp::linkAbort();
            vp::linkTrace("AbortTavo", {}, r);
            return r;
        },
        0);
}

TAVO_API int32_t TAVO_CALL GetReturnBufLength(const char* commandCode) {
    return guardedInt([&] { return vp::linkAnswerSize(commandCode); }, 64);
}

TAVO_API CommandResult TAVO_CALL ExecCommand(const char* commandLine, char* buffer, int32_t* length) {
    return guarded([&] {
        vp::Call call;
        call.function = "ExecCommand";
        std::string line;
        if (commandLine != nullptr) {
            const size_t n = strnlen(commandLine, kMaxText + 1);
            call.invalid = n > kMaxText;
            line.assign(commandLine, std::min(n, kMaxText));
        }
        call.request = vp::parseCommandLine(line);
        // passwords never reach the trace
        call.traceArgs.emplace_back("commandLine", vp::traceText(call.request));
        try {
            return vp::linkRun(call, buffer, length);
        } catch (...) {
            if (length)
                *length = 0;
            return failure(-6, 6);
        }
    });
}

TAVO_API void TAVO_CALL TavoSetIdleHandler(TavoIdleHandler handler, void* context) {
    try {
        vp::linkSetIdleHandler(handler, context);
    } catch (...) {
    }
}

// ---- our own extensions ----

TAVO_API void TAVO_CALL TavoSetPrintHandler(TavoPrintHandler handler, void* context) {
    try {
        vp::linkSetPrintHandler(handler, context);
    } catch (...) {
    }
}

} // extern "C"

namespace {
constexpr size_t kMaxKey = 64;

// A short text argument, or nothing when null or without a nul within max bytes.
std::optional<std::string> shortText(const char* s, size_t max) {
    if (s == nullptr)
        return std::nullopt;
    const size_t n = strnlen(s, max + 1);
    if (n > max)
        return std::nullopt;
    return std::string(s, n);
}

// Writes value and its nul when *length allows; with a null buffer only sizes.
int32_t giveText(const std::string& value, char* buffer, int32_t* length) {
    const auto needed = static_cast<int32_t>(value.size() + 1);
    if (buffer == nullptr) {
        *length = needed;
        return TAVO_EXT_OK;
    }
    if (*length < needed) {
        *length = needed;
        return TAVO_EXT_SMALL_BUFFER;
    }
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    *length = needed;
    return TAVO_EXT_OK;
}
} // namespace

extern "C" {

TAVO_API int32_t TAVO_CALL TavoSetFault(const char* key, const char* value) {
    return guardedInt(
        [&] {
            const auto k = shortText(key, kMaxKey);
            if (!k)
                return static_cast<int32_t>(TAVO_EXT_UNKNOWN_KEY);
            const auto v = shortText(value, kMaxKey);
            const int32_t r = v ? vp::linkSetFault(*k, *v) : static_cast<int32_t>(TAVO_EXT_BAD_VALUE);
            vp::linkTrace("TavoSetFault", {{"key", textOf(key)}, {"value", textOf(value)}}, r);
            return r;
        },
        TAVO_EXT_BAD_VALUE);
}

TAVO_API int32_t TAVO_CALL TavoGetFault(const char* key, char* buffer, int32_t* length) {
    return guardedInt(
        [&] {
            if (length == nullptr)
                return static_cast<int32_t>(TAVO_EXT_BAD_VALUE);
            const auto k = shortText(key, kMaxKey);
            if (!k)
                return static_cast<int32_t>(TAVO_EXT_UNKNOWN_KEY);
            std::string value;
            const int32_t r = vp::linkGetFault(*k, value);
            return r == TAVO_EXT_OK ? giveText(value, buffer, length) : r;
        },
        TAVO_EXT_BAD_VALUE);
}

TAVO_API int32_t TAVO_CALL TavoSetClock(const char* dateTime) {
    return guardedInt(
        [&] {
            const auto t = shortText(dateTime, kMaxKey);
            const int32_t r = t ? vp::linkSetClock(*t) : static_cast<int32_t>(TAVO_EXT_BAD_VALUE);
            vp::linkTrace("TavoSetClock", {{"dateTime", textOf(dateTime)}}, r);
            return r;
        },
        TAVO_EXT_BAD_VALUE);
}

TAVO_API int32_t TAVO_CALL TavoGetClock(char* buffer, int32_t* length) {
    return guardedInt(
        [&] {
            if (length == nullptr)
                return static_cast<int32_t>(TAVO_EXT_BAD_VALUE);
            std::string value;
            const int32_t r = vp::linkGetClock(value);
            return r == TAVO_EXT_OK ? giveText(value, buffer, length) : r;
        },
        TAVO_EXT_BAD_VALUE);
}

// ---- service library ----

TAVO_API CommandResult TAVO_CALL cmSetID(const char* idCode, const char* idNumber, char* buffer,
                                         int32_t* length) {
    return Args("cmSetID", "70").text("idCode", idCode).text("idNumber", idNumber).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetTaxID(const char* taxId, int32_t format, char* buffer,
                                            int32_t* length) {
    return Args("cmSetTaxID", "71").text("taxId", taxId).integer("format", format).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmEnterFiscalMode(const char* idCode, const char* idNumber, char* buffer,
                                                   int32_t* length) {
    return Args("cmEnterFiscalMode", "72")
        .text("idCode", idCode)
        .text("idNumber", idNumber)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSRAMErase(int32_t day, int32_t month, int32_t year, int32_t hour,
                                             int32_t minute, int32_t second, char* buffer, int32_t* length) {
    return Args("cmSRAMErase", "43")
        .integer("day", day)
        .integer("month", month)
        .integer("year", year)
        .integer("hour", hour)
        .integer("minute", minute)
        .integer("second", second)
        .run(buffer, length);
}

// ---- reports ----

TAVO_API CommandResult TAVO_CALL cmXReport(int32_t printFlag, char* buffer, int32_t* length) {
    return Args("cmXReport", "60").integer("printFlag", printFlag).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmZReport(char* buffer, int32_t* length) {
    return Args("cmZReport", "61").run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPrnProgramReport(char* buffer, int32_t* length) {
    return Args("cmPrnProgramReport", "62").run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmMemReportByZNo(int32_t kind, int32_t firstZ, int32_t lastZ, char* buffer,
                                                  int32_t* length) {
    return Args("cmMemReportByZNo", "21")
        .integer("kind", kind)
        .integer("firstZ", firstZ)
        .integer("lastZ", lastZ)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmMemReportByDate(int32_t kind, int32_t day1, int32_t month1, int32_t year1,
                                                   int32_t day2, int32_t month2, int32_t year2, char* buffer,
                                                   int32_t* length) {
    return Args("cmMemReportByDate", "22")
        .integer("kind", kind)
        .integer("day1", day1)
        .integer("month1", month1)
        .integer("year1", year1)
        .integer("day2", day2)
        .integer("month2", month2)
        .integer("year2", year2)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmMemReportMonthly(int32_t kind, int32_t month, int32_t year, char* buffer,
                                                    int32_t* length) {
    return Args("cmMemReportMonthly", "23")
        .integer("kind", kind)
        .integer("month", month)
        .integer("year", year)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadFisRptByZNo(int32_t kind, int32_t firstZ, int32_t lastZ,
                                                     char* buffer, int32_t* length) {
    return Args("cmUploadFisRptByZNo", "15")
        .raw("range", "Z", "Z")
        .integer("kind", kind)
        .integer("firstZ", firstZ)
        .integer("lastZ", lastZ)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadFisRptByDate(int32_t kind, int32_t day1, int32_t month1,
                                                      int32_t year1, int32_t day2, int32_t month2,
                                                      int32_t year2, char* buffer, int32_t* length) {
    return Args("cmUploadFisRptByDate", "15")
        .raw("range", "D", "D")
        .integer("kind", kind)
        .integer("day1", day1)
        .integer("month1", month1)
        .integer("year1", year1)
        .integer("day2", day2)
        .integer("month2", month2)
        .integer("year2", year2)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadFisRptMonthly(int32_t kind, int32_t month, int32_t year,
                                                       char* buffer, int32_t* length) {
    return Args("cmUploadFisRptMonthly", "15")
        .raw("range", "M", "M")
        .integer("kind", kind)
        .integer("month", month)
        .integer("year", year)
        .run(buffer, length);
}

// ---- status and uploads ----

TAVO_API CommandResult TAVO_CALL cmHardwareStatus(char* buffer, int32_t* length) {
    return Args("cmHardwareStatus", "40").run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmSoftwareStatus(char* buffer, int32_t* length) {
    return Args("cmSoftwareStatus", "41").run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmPrinterStatus(char* buffer, int32_t* length) {
    return Args("cmPrinterStatus", "47").run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadTaxRate(char* buffer, int32_t* length) {
    return Args("cmUploadTaxRate", "91").run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadDepartment(char* buffer, int32_t* length) {
    return Args("cmUploadDepartment", "92").run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadHeadMessage(char* buffer, int32_t* length) {
    return Args("cmUploadHeadMessage", "93").run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadPlu(char* buffer, int32_t* length) {
    return Args("cmUploadPlu", "90").run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadPkg(int32_t clearFlag, char* buffer, int32_t* length) {
    const std::string flag = clearFlag == '1' || clearFlag == 1   ? "1"
                             : clearFlag == '0' || clearFlag == 0 ? "0"
                                                                  : "?";
    return Args("cmUploadPkg", "89").raw("clearFlag", flag, std::to_string(clearFlag)).run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadFisStatus(char* buffer, int32_t* length) {
    return Args("cmUploadFisStatus", "14").run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadExchangeRate(char* buffer, int32_t* length) {
    return Args("cmUploadExchangeRate", "13").run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadCurrencyChange(char* buffer, int32_t* length) {
    return Args("cmUploadCurrencyChange", "17").run(buffer, length);
}

// ---- memory dumps ----

static std::string hexAddress(int32_t address) {
    if (address < 0)
        return "?";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(address));
    return buf;
}

TAVO_API CommandResult TAVO_CALL cmSRAMDump(int32_t address, char* buffer, int32_t* length) {
    return Args("cmSRAMDump", "44")
        .raw("address", hexAddress(address), std::to_string(address))
        .run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmEPROMDump(int32_t address, char* buffer, int32_t* length) {
    return Args("cmEPROMDump", "45")
        .raw("address", hexAddress(address), std::to_string(address))
        .run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmROMDump(int32_t address, char* buffer, int32_t* length) {
    return Args("cmROMDump", "48")
        .raw("address", hexAddress(address), std::to_string(address))
        .run(buffer, length);
}

// ---- receipts ----

static CommandResult itemCommand(const char* fn, const char* code, double quantity, const char* unit,
                                 double price, const char* taxGroup, const char* name,
                                 int32_t returnPackageFlag, double returnPackagePrice, char* buffer,
                                 int32_t* length) {
    return Args(fn, code)
        .number("quantity", quantity, 3)
        .text("unit", unit)
        .number("price", price, 2)
        .text("taxGroup", taxGroup)
        .text("name", name)
        .integer("returnPackageFlag", returnPackageFlag)
        .number("returnPackagePrice", returnPackagePrice, 2)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSaleItem(double quantity, const char* unit, double price,
                                            const char* taxGroup, const char* name, int32_t returnPackageFlag,
                                            double returnPackagePrice, char* buffer, int32_t* length) {
    return itemCommand("cmSaleItem", "30", quantity, unit, price, taxGroup, name, returnPackageFlag,
                       returnPackagePrice, buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmCancelItem(double quantity, const char* unit, double price,
                                              const char* taxGroup, const char* name,
                                              int32_t returnPackageFlag, double returnPackagePrice,
                                              char* buffer, int32_t* length) {
    return itemCommand("cmCancelItem", "31", quantity, unit, price, taxGroup, name, returnPackageFlag,
                       returnPackagePrice, buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmDiscount(int32_t discountType, int32_t value, int32_t isDiscount,
                                            int32_t byRate, char* buffer, int32_t* length) {
    return Args("cmDiscount", "32")
        .integer("discountType", discountType)
        .integer("value", value)
        .integer("isDiscount", isDiscount)
        .integer("byRate", byRate)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPrintSubTotal(char* buffer, int32_t* length) {
    return Args("cmPrintSubTotal", "33").run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPayment(int32_t code1, int32_t code2, int32_t code3, double amount1,
                                           double amount2, double amount3, char* buffer, int32_t* length) {
    return Args("cmPayment", "34")
        .integer("code1", code1)
        .integer("code2", code2)
        .integer("code3", code3)
        .number("amount1", amount1, 2)
        .number("amount2", amount2, 2)
        .number("amount3", amount3, 2)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetClientId(const char* buyerId, char* buffer, int32_t* length) {
    return Args("cmSetClientId", "35").text("buyerId", buyerId).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmReceiptCancel(const char* footer, char* buffer, int32_t* length) {
    return Args("cmReceiptCancel", "36").text("footer", footer).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmReceiptClose(const char* footer, char* buffer, int32_t* length) {
    return Args("cmReceiptClose", "37").text("footer", footer).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmInvoiceInfo(int32_t mode, int32_t slot, double receiptTotal,
                                               double vatTotal, char* buffer, int32_t* length) {
    return Args("cmInvoiceInfo", "63")
        .integer("mode", mode)
        .integer("slot", slot)
        .number("receiptTotal", receiptTotal, 2)
        .number("vatTotal", vatTotal, 2)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmReturnPackage(double quantity, const char* unit, double price,
                                                 const char* name, char* buffer, int32_t* length) {
    return Args("cmReturnPackage", "38")
        .number("quantity", quantity, 3)
        .text("unit", unit)
        .number("price", price, 2)
        .text("name", name)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSalePackage(double quantity, const char* unit, double price,
                                               const char* name, char* buffer, int32_t* length) {
    return Args("cmSalePackage", "39")
        .number("quantity", quantity, 3)
        .text("unit", unit)
        .number("price", price, 2)
        .text("name", name)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPackagePayment(int32_t zero, char* buffer, int32_t* length) {
    return Args("cmPackagePayment", "42").integer("zero", zero).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSalePackagePayment(int32_t zero, char* buffer, int32_t* length) {
    return Args("cmSalePackagePayment", "46").integer("zero", zero).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmReceiveCash(double amount, char* buffer, int32_t* length) {
    return Args("cmReceiveCash", "49").number("amount", amount, 2).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPaidOut(double amount, char* buffer, int32_t* length) {
    return Args("cmPaidOut", "50").number("amount", amount, 2).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmCashInDrawer(char* buffer, int32_t* length) {
    return Args("cmCashInDrawer", "51").run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmOpenDrawer(char* buffer, int32_t* length) {
    return Args("cmOpenDrawer", "52").run(buffer, length);
}

// ---- programming ----

TAVO_API CommandResult TAVO_CALL cmSetDate(int32_t day, int32_t month, int32_t year, char* buffer,
                                           int32_t* length) {
    return Args("cmSetDate", "04")
        .integer("day", day)
        .integer("month", month)
        .integer("year", year)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetTime(int32_t hour, int32_t minute, int32_t second, char* buffer,
                                           int32_t* length) {
    return Args("cmSetTime", "05")
        .integer("hour", hour)
        .integer("minute", minute)
        .integer("second", second)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetVatRate(int32_t rateA, int32_t rateB, int32_t rateC, int32_t rateD,
                                              int32_t rateE, int32_t rateF, int32_t rateG, int32_t rateH,
                                              int32_t rateI, const char* exemptLetter, char* buffer,
                                              int32_t* length) {
    return Args("cmSetVatRate", "03")
        .integer("rateA", rateA)
        .integer("rateB", rateB)
        .integer("rateC", rateC)
        .integer("rateD", rateD)
        .integer("rateE", rateE)
        .integer("rateF", rateF)
        .integer("rateG", rateG)
        .integer("rateH", rateH)
        .integer("rateI", rateI)
        .text("exemptLetter", exemptLetter)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetHeadMessage(int32_t one, int32_t zero, const char* header, char* buffer,
                                                  int32_t* length) {
    return Args("cmSetHeadMessage", "01")
        .integer("one", one)
        .integer("zero", zero)
        .text("header", header)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetDepartName(const char* number, const char* name, const char* vatLetter,
                                                 char* buffer, int32_t* length) {
    return Args("cmSetDepartName", "02")
        .text("number", number)
        .text("name", name)
        .text("vatLetter", vatLetter)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetClerkPwd(int32_t clerk, const char* password, const char* name,
                                               char* buffer, int32_t* length) {
    return Args("cmSetClerkPwd", "06")
        .integer("clerk", clerk)
        .text("password", password, true)
        .text("name", name)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmClerkLogon(int32_t clerk, const char* password, char* buffer,
                                              int32_t* length) {
    return Args("cmClerkLogon", "07")
        .integer("clerk", clerk)
        .text("password", password, true)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmClerkLogout(char* buffer, int32_t* length) {
    return Args("cmClerkLogout", "08").run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmServiceLogon(const char* password, char* buffer, int32_t* length) {
    return Args("cmServiceLogon", "09").text("password", password, true).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSkipPswdLogon(const char* password, char* buffer, int32_t* length) {
    return Args("cmSkipPswdLogon", "10").text("password", password, true).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetEcrNumber(int32_t ecrNumber, char* buffer, int32_t* length) {
    return Args("cmSetEcrNumber", "20").integer("ecrNumber", ecrNumber).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetSysNum(const char* systemNumber, char* buffer, int32_t* length) {
    return Args("cmSetSysNum", "24").text("systemNumber", systemNumber).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetMoney(int32_t year, int32_t month, int32_t day, int32_t hour,
                                            int32_t minute, const char* newCurrency, const char* rate1,
                                            const char* direction1, const char* secondCurrency,
                                            const char* rate2, const char* direction2, char* buffer,
                                            int32_t* length) {
    return Args("cmSetMoney", "11")
        .integer("year", year)
        .integer("month", month)
        .integer("day", day)
        .integer("hour", hour)
        .integer("minute", minute)
        .text("newCurrency", newCurrency)
        .text("rate1", rate1)
        .text("direction1", direction1)
        .text("secondCurrency", secondCurrency)
        .text("rate2", rate2)
        .text("direction2", direction2)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetExChangeRate(const char* rate1, const char* direction1,
                                                   const char* rate2, const char* direction2, char* buffer,
                                                   int32_t* length) {
    return Args("cmSetExChangeRate", "13")
        .text("rate1", rate1)
        .text("direction1", direction1)
        .text("rate2", rate2)
        .text("direction2", direction2)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetCurrencyName(const char* names, char* buffer, int32_t* length) {
    return Args("cmSetCurrencyName", "16").text("names", names).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetPrinterSpeed(int32_t density, char* buffer, int32_t* length) {
    return Args("cmSetPrinterSpeed", "18").integer("density", density).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetParameter(const char* parameters, char* buffer, int32_t* length) {
    return Args("cmSetParameter", "19").text("parameters", parameters).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmEcrSleepMode(char* buffer, int32_t* length) {
    return Args("cmEcrSleepMode", "12").run(buffer, length);
}

} // extern "C"
