// The device libraries' C interface.  Every cm... function names its entry of
// the protocol catalogue (protocol/Commands.h), turns its arguments into the
// printer's command fields (the same fields a raw command line carries, see
// docs/virtual-printer.md) traced under the catalogue's parameter names, and
// runs them on the link.  No exception crosses this boundary.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "Commands.h"
#include "Link.h"
#include "Money.h"
#include "Printer.h"
#include "codepage/Cp1250.h"
#include "protocol/Commands.h"

namespace {

constexpr size_t kMaxText = 4096;

CommandResult failure(int32_t status, int32_t sub) {
    CommandResult r{};
    r.Status = status;
    r.SubCode = sub;
    return r;
}

namespace cmd = protocol::cmd;

// A double sent as decimal text with `decimals` places.
struct Number {
    double value;
    int decimals;
};
// A field sent as given, traced as the C argument `shown`.
struct Raw {
    std::string field;
    session::Value shown;
};
// A field the function fills in itself: no C argument, so never traced.
struct Fixed {
    std::string field;
};

// The catalogue's parameter count of a command, at compile time.
constexpr int parameterCount(const protocol::Command& c) {
    const std::string_view p = c.params;
    if (p.empty())
        return 0;
    int n = 1;
    for (char ch : p)
        n += ch == ',';
    return n;
}

// One call of an exported function: the printer's fields in the catalogue's
// parameter order, each traced under the catalogue's name (a password as
// asterisks).
class Args {
  public:
    explicit Args(const protocol::Command& command) : command_(command) {
        call_.function = command.function;
        call_.request.code = command.code;
    }
    void add(const char* value) {
        std::string v;
        if (value != nullptr) {
            const size_t n = strnlen(value, kMaxText + 1);
            if (n > kMaxText)
                call_.invalid = true;
            else
                v.assign(value, n);
        }
        const protocol::Param p = next();
        call_.request.fields.push_back(v);
        trace(p, value == nullptr
                     ? session::Value(nullptr)
                     : session::Value(session::textValue(QByteArray::fromStdString(v), p.secret)));
    }
    void add(int32_t value) { add(Raw{std::to_string(value), int64_t{value}}); }
    // "?" when not a finite, non-negative number within 12 digits, so the
    // printer refuses it.
    void add(const Number& n) {
        const auto scaled = vp::scaleDouble(n.value, n.decimals, 999999999999LL);
        std::string t = "?";
        if (scaled) {
            int64_t scale = 1;
            for (int i = 0; i < n.decimals; ++i)
                scale *= 10;
            char buf[48];
            std::snprintf(buf, sizeof buf, "%lld.%0*lld", static_cast<long long>(*scaled / scale), n.decimals,
                          static_cast<long long>(*scaled % scale));
            t = buf;
        }
        add(Raw{t, n.value});
    }
    void add(const Raw& r) {
        const protocol::Param p = next();
        call_.request.fields.push_back(r.field);
        trace(p, r.shown);
    }
    void add(const Fixed& f) {
        next();
        call_.request.fields.push_back(f.field);
        ++fixed_;
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
    protocol::Param next() const {
        return protocol::param(command_, static_cast<int>(call_.traceArgs.size()) + fixed_);
    }
    void trace(const protocol::Param& p, session::Value v) {
        call_.traceArgs.push_back(session::Argument{std::string(p.name), std::move(v)});
    }

    const protocol::Command& command_;
    vp::Call call_;
    int fixed_ = 0; // fields filled in by the function so far
};

// The call of catalogue entry C with its arguments: as many as the catalogue
// has parameters, or the library does not build.
template <const protocol::Command& C, class... A> Args args(const A&... a) {
    static_assert(sizeof...(A) == static_cast<size_t>(parameterCount(C)),
                  "an exported function passes exactly the catalogue's parameters");
    Args r(C);
    (r.add(a), ...);
    return r;
}

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

session::Value textOf(const char* s) {
    if (s == nullptr)
        return nullptr;
    return session::textValue(QByteArray(s, static_cast<qsizetype>(strnlen(s, kMaxText))), false);
}

} // namespace

extern "C" {

// ---- link and control ----

TAVO_API int32_t TAVO_CALL OpenTavo(const char* portName, int32_t baud) {
    return guardedInt(
        [&] {
            const int32_t r = vp::linkOpen(portName, baud);
            vp::linkTrace("OpenTavo", {{"portName", textOf(portName)}, {"baud", int64_t{baud}}}, r);
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
        call.traceArgs.push_back(
            {"commandLine",
             session::textValue(session::maskCommandLine(QByteArray::fromStdString(line)), false)});
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
    return args<cmd::cmSetID>(idCode, idNumber).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetTaxID(const char* taxId, int32_t format, char* buffer,
                                            int32_t* length) {
    return args<cmd::cmSetTaxID>(taxId, format).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmEnterFiscalMode(const char* idCode, const char* idNumber, char* buffer,
                                                   int32_t* length) {
    return args<cmd::cmEnterFiscalMode>(idCode, idNumber).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSRAMErase(int32_t day, int32_t month, int32_t year, int32_t hour,
                                             int32_t minute, int32_t second, char* buffer, int32_t* length) {
    return args<cmd::cmSRAMErase>(day, month, year, hour, minute, second).run(buffer, length);
}

// ---- reports ----

TAVO_API CommandResult TAVO_CALL cmXReport(int32_t printFlag, char* buffer, int32_t* length) {
    return args<cmd::cmXReport>(printFlag).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmZReport(char* buffer, int32_t* length) {
    return args<cmd::cmZReport>().run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPrnProgramReport(char* buffer, int32_t* length) {
    return args<cmd::cmPrnProgramReport>().run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmMemReportByZNo(int32_t kind, int32_t firstZ, int32_t lastZ, char* buffer,
                                                  int32_t* length) {
    return args<cmd::cmMemReportByZNo>(kind, firstZ, lastZ).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmMemReportByDate(int32_t kind, int32_t day1, int32_t month1, int32_t year1,
                                                   int32_t day2, int32_t month2, int32_t year2, char* buffer,
                                                   int32_t* length) {
    return args<cmd::cmMemReportByDate>(kind, day1, month1, year1, day2, month2, year2).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmMemReportMonthly(int32_t kind, int32_t month, int32_t year, char* buffer,
                                                    int32_t* length) {
    return args<cmd::cmMemReportMonthly>(kind, month, year).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadFisRptByZNo(int32_t kind, int32_t firstZ, int32_t lastZ,
                                                     char* buffer, int32_t* length) {
    return args<cmd::cmUploadFisRptByZNo>(Fixed{"Z"}, kind, firstZ, lastZ).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadFisRptByDate(int32_t kind, int32_t day1, int32_t month1,
                                                      int32_t year1, int32_t day2, int32_t month2,
                                                      int32_t year2, char* buffer, int32_t* length) {
    return args<cmd::cmUploadFisRptByDate>(Fixed{"D"}, kind, day1, month1, year1, day2, month2, year2)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadFisRptMonthly(int32_t kind, int32_t month, int32_t year,
                                                       char* buffer, int32_t* length) {
    return args<cmd::cmUploadFisRptMonthly>(Fixed{"M"}, kind, month, year).run(buffer, length);
}

// ---- status and uploads ----

TAVO_API CommandResult TAVO_CALL cmHardwareStatus(char* buffer, int32_t* length) {
    return args<cmd::cmHardwareStatus>().run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmSoftwareStatus(char* buffer, int32_t* length) {
    return args<cmd::cmSoftwareStatus>().run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmPrinterStatus(char* buffer, int32_t* length) {
    return args<cmd::cmPrinterStatus>().run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadTaxRate(char* buffer, int32_t* length) {
    return args<cmd::cmUploadTaxRate>().run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadDepartment(char* buffer, int32_t* length) {
    return args<cmd::cmUploadDepartment>().run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadHeadMessage(char* buffer, int32_t* length) {
    return args<cmd::cmUploadHeadMessage>().run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadPlu(char* buffer, int32_t* length) {
    return args<cmd::cmUploadPlu>().run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadPkg(int32_t clearFlag, char* buffer, int32_t* length) {
    const std::string flag = clearFlag == '1' || clearFlag == 1   ? "1"
                             : clearFlag == '0' || clearFlag == 0 ? "0"
                                                                  : "?";
    return args<cmd::cmUploadPkg>(Raw{flag, int64_t{clearFlag}}).run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadFisStatus(char* buffer, int32_t* length) {
    return args<cmd::cmUploadFisStatus>().run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadExchangeRate(char* buffer, int32_t* length) {
    return args<cmd::cmUploadExchangeRate>().run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmUploadCurrencyChange(char* buffer, int32_t* length) {
    return args<cmd::cmUploadCurrencyChange>().run(buffer, length);
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
    return args<cmd::cmSRAMDump>(Raw{hexAddress(address), int64_t{address}}).run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmEPROMDump(int32_t address, char* buffer, int32_t* length) {
    return args<cmd::cmEPROMDump>(Raw{hexAddress(address), int64_t{address}}).run(buffer, length);
}
TAVO_API CommandResult TAVO_CALL cmROMDump(int32_t address, char* buffer, int32_t* length) {
    return args<cmd::cmROMDump>(Raw{hexAddress(address), int64_t{address}}).run(buffer, length);
}

// ---- receipts ----

TAVO_API CommandResult TAVO_CALL cmSaleItem(double quantity, const char* unit, double price,
                                            const char* taxGroup, const char* name, int32_t returnPackageFlag,
                                            double returnPackagePrice, char* buffer, int32_t* length) {
    return args<cmd::cmSaleItem>(Number{quantity, 3}, unit, Number{price, 2}, taxGroup, name,
                                 returnPackageFlag, Number{returnPackagePrice, 2})
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmCancelItem(double quantity, const char* unit, double price,
                                              const char* taxGroup, const char* name,
                                              int32_t returnPackageFlag, double returnPackagePrice,
                                              char* buffer, int32_t* length) {
    return args<cmd::cmCancelItem>(Number{quantity, 3}, unit, Number{price, 2}, taxGroup, name,
                                   returnPackageFlag, Number{returnPackagePrice, 2})
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmDiscount(int32_t discountType, int32_t value, int32_t isDiscount,
                                            int32_t byRate, char* buffer, int32_t* length) {
    return args<cmd::cmDiscount>(discountType, value, isDiscount, byRate).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPrintSubTotal(char* buffer, int32_t* length) {
    return args<cmd::cmPrintSubTotal>().run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPayment(int32_t code1, int32_t code2, int32_t code3, double amount1,
                                           double amount2, double amount3, char* buffer, int32_t* length) {
    return args<cmd::cmPayment>(code1, code2, code3, Number{amount1, 2}, Number{amount2, 2},
                                Number{amount3, 2})
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetClientId(const char* buyerId, char* buffer, int32_t* length) {
    return args<cmd::cmSetClientId>(buyerId).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmReceiptCancel(const char* footer, char* buffer, int32_t* length) {
    return args<cmd::cmReceiptCancel>(footer).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmReceiptClose(const char* footer, char* buffer, int32_t* length) {
    return args<cmd::cmReceiptClose>(footer).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmInvoiceInfo(int32_t mode, int32_t slot, double receiptTotal,
                                               double vatTotal, char* buffer, int32_t* length) {
    return args<cmd::cmInvoiceInfo>(mode, slot, Number{receiptTotal, 2}, Number{vatTotal, 2})
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmReturnPackage(double quantity, const char* unit, double price,
                                                 const char* name, char* buffer, int32_t* length) {
    return args<cmd::cmReturnPackage>(Number{quantity, 3}, unit, Number{price, 2}, name).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSalePackage(double quantity, const char* unit, double price,
                                               const char* name, char* buffer, int32_t* length) {
    return args<cmd::cmSalePackage>(Number{quantity, 3}, unit, Number{price, 2}, name).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPackagePayment(int32_t zero, char* buffer, int32_t* length) {
    return args<cmd::cmPackagePayment>(zero).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSalePackagePayment(int32_t zero, char* buffer, int32_t* length) {
    return args<cmd::cmSalePackagePayment>(zero).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmReceiveCash(double amount, char* buffer, int32_t* length) {
    return args<cmd::cmReceiveCash>(Number{amount, 2}).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPaidOut(double amount, char* buffer, int32_t* length) {
    return args<cmd::cmPaidOut>(Number{amount, 2}).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmCashInDrawer(char* buffer, int32_t* length) {
    return args<cmd::cmCashInDrawer>().run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmOpenDrawer(char* buffer, int32_t* length) {
    return args<cmd::cmOpenDrawer>().run(buffer, length);
}

// ---- programming ----

TAVO_API CommandResult TAVO_CALL cmSetDate(int32_t day, int32_t month, int32_t year, char* buffer,
                                           int32_t* length) {
    return args<cmd::cmSetDate>(day, month, year).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetTime(int32_t hour, int32_t minute, int32_t second, char* buffer,
                                           int32_t* length) {
    return args<cmd::cmSetTime>(hour, minute, second).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetVatRate(int32_t rateA, int32_t rateB, int32_t rateC, int32_t rateD,
                                              int32_t rateE, int32_t rateF, int32_t rateG, int32_t rateH,
                                              int32_t rateI, const char* exemptLetter, char* buffer,
                                              int32_t* length) {
    return args<cmd::cmSetVatRate>(rateA, rateB, rateC, rateD, rateE, rateF, rateG, rateH, rateI,
                                   exemptLetter)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetHeadMessage(int32_t one, int32_t zero, const char* header, char* buffer,
                                                  int32_t* length) {
    return args<cmd::cmSetHeadMessage>(one, zero, header).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetDepartName(const char* number, const char* name, const char* vatLetter,
                                                 char* buffer, int32_t* length) {
    return args<cmd::cmSetDepartName>(number, name, vatLetter).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetClerkPwd(int32_t clerk, const char* password, const char* name,
                                               char* buffer, int32_t* length) {
    return args<cmd::cmSetClerkPwd>(clerk, password, name).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmClerkLogon(int32_t clerk, const char* password, char* buffer,
                                              int32_t* length) {
    return args<cmd::cmClerkLogon>(clerk, password).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmClerkLogout(char* buffer, int32_t* length) {
    return args<cmd::cmClerkLogout>().run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmServiceLogon(const char* password, char* buffer, int32_t* length) {
    return args<cmd::cmServiceLogon>(password).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSkipPswdLogon(const char* password, char* buffer, int32_t* length) {
    return args<cmd::cmSkipPswdLogon>(password).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetEcrNumber(int32_t ecrNumber, char* buffer, int32_t* length) {
    return args<cmd::cmSetEcrNumber>(ecrNumber).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetSysNum(const char* systemNumber, char* buffer, int32_t* length) {
    return args<cmd::cmSetSysNum>(systemNumber).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetMoney(int32_t year, int32_t month, int32_t day, int32_t hour,
                                            int32_t minute, const char* newCurrency, const char* rate1,
                                            const char* direction1, const char* secondCurrency,
                                            const char* rate2, const char* direction2, char* buffer,
                                            int32_t* length) {
    return args<cmd::cmSetMoney>(year, month, day, hour, minute, newCurrency, rate1, direction1,
                                 secondCurrency, rate2, direction2)
        .run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetExChangeRate(const char* rate1, const char* direction1,
                                                   const char* rate2, const char* direction2, char* buffer,
                                                   int32_t* length) {
    return args<cmd::cmSetExChangeRate>(rate1, direction1, rate2, direction2).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetCurrencyName(const char* names, char* buffer, int32_t* length) {
    return args<cmd::cmSetCurrencyName>(names).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetPrinterSpeed(int32_t density, char* buffer, int32_t* length) {
    return args<cmd::cmSetPrinterSpeed>(density).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetParameter(const char* parameters, char* buffer, int32_t* length) {
    return args<cmd::cmSetParameter>(parameters).run(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmEcrSleepMode(char* buffer, int32_t* length) {
    return args<cmd::cmEcrSleepMode>().run(buffer, length);
}

} // extern "C"
