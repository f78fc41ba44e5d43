// The bridge client's exported functions: every function of the C interface,
// each handed to the link of this library (Client.cpp), which forwards it to
// the host. Each command names its catalogue entry and passes exactly its
// parameters; its definition must match TavoApi.h's declaration or the library
// does not build. No exception crosses this boundary.
#include "bridge/client/Client.h"
#include "protocol/Commands.h"

#include <cstring>
#include <exception>
#include <string>
#include <string_view>

namespace bridge::client {

Link& link() {
    static Link theLink(BRIDGE_LIBRARY_NAME);
    return theLink;
}

} // namespace bridge::client

namespace {

namespace cmd = protocol::cmd;
using bridge::Value;
using bridge::client::link;

constexpr size_t kMaxText = 4096;

Value valueOf(int32_t v) {
    return Value(int64_t{v});
}
Value valueOf(double v) {
    return Value(v);
}
Value valueOf(const char* v) {
    if (v == nullptr)
        return Value(nullptr);
    return Value(std::string(v, strnlen(v, kMaxText)));
}

// The C arguments of a command: its parameters less those it fills in itself.
constexpr int argumentCount(const protocol::Command& c) {
    const std::string_view p = c.params;
    if (p.empty())
        return 0;
    int n = 0;
    bool start = true;
    for (const char ch : p) {
        if (start && ch != '=')
            ++n;
        start = ch == ',';
    }
    return n;
}

template <const protocol::Command& C, class... A>
CommandResult forward(char* buffer, int32_t* length, A... a) {
    static_assert(sizeof...(A) == static_cast<size_t>(argumentCount(C)),
                  "a command passes exactly the catalogue's parameters");
    try {
        return link().command(C.function, {valueOf(a)...}, buffer, length);
    } catch (...) {
        CommandResult r{};
        r.Status = -3;
        if (length)
            *length = 0;
        return r;
    }
}

template <class F> int32_t guarded(F f, int32_t failed) {
    try {
        return f();
    } catch (...) {
        return failed;
    }
}

} // namespace

extern "C" {

TAVO_API int32_t TAVO_CALL OpenTavo(const char* portName, int32_t baud) {
    return guarded([&] { return link().open(portName, baud); }, 1);
}

TAVO_API int32_t TAVO_CALL CloseTavo(void) {
    return guarded([] { return link().close(); }, 1);
}

TAVO_API int32_t TAVO_CALL isCommandExecuting(void) {
    return link().executing();
}

TAVO_API int32_t TAVO_CALL AbortTavo(void) {
    return link().abort();
}

TAVO_API int32_t TAVO_CALL GetReturnBufLength(const char* commandCode) {
    return guarded([&] { return link().linkCall("GetReturnBufLength", {valueOf(commandCode)}, 0); }, 0);
}

TAVO_API CommandResult TAVO_CALL ExecCommand(const char* commandLine, char* buffer, int32_t* length) {
    try {
        return link().command("ExecCommand", {valueOf(commandLine)}, buffer, length);
    } catch (...) {
        CommandResult r{};
        r.Status = -3;
        if (length)
            *length = 0;
        return r;
    }
}

// The owner window is a handle of this computer's windows, which mean nothing
// to the host's: the library gets none.
TAVO_API int32_t TAVO_CALL UpdateTavoProgram(uintptr_t, const char* portName, int32_t full) {
    return guarded(
        [&] {
            return link().linkCall("UpdateTavoProgram", {Value(int64_t{0}), valueOf(portName), valueOf(full)},
                                   1);
        },
        1);
}

TAVO_API void TAVO_CALL TavoSetIdleHandler(TavoIdleHandler handler, void* context) {
    link().setIdleHandler(handler, context);
}

TAVO_API int32_t TAVO_CALL TavoBridgeDescribe(char* buffer, int32_t* length) {
    return guarded([&] { return link().describe(buffer, length); }, TAVO_EXT_BAD_VALUE);
}

TAVO_API int32_t TAVO_CALL TavoBridgeLastError(char* buffer, int32_t* length) {
    return guarded([&] { return link().lastError(buffer, length); }, TAVO_EXT_BAD_VALUE);
}

TAVO_API CommandResult TAVO_CALL cmSetID(const char* idCode, const char* idNumber, char* buffer,
                                         int32_t* length) {
    return forward<cmd::cmSetID>(buffer, length, idCode, idNumber);
}

TAVO_API CommandResult TAVO_CALL cmSetTaxID(const char* taxId, int32_t format, char* buffer,
                                            int32_t* length) {
    return forward<cmd::cmSetTaxID>(buffer, length, taxId, format);
}

TAVO_API CommandResult TAVO_CALL cmEnterFiscalMode(const char* idCode, const char* idNumber, char* buffer,
                                                   int32_t* length) {
    return forward<cmd::cmEnterFiscalMode>(buffer, length, idCode, idNumber);
}

TAVO_API CommandResult TAVO_CALL cmSRAMErase(int32_t day, int32_t month, int32_t year, int32_t hour,
                                             int32_t minute, int32_t second, char* buffer, int32_t* length) {
    return forward<cmd::cmSRAMErase>(buffer, length, day, month, year, hour, minute, second);
}

TAVO_API CommandResult TAVO_CALL cmXReport(int32_t printFlag, char* buffer, int32_t* length) {
    return forward<cmd::cmXReport>(buffer, length, printFlag);
}

TAVO_API CommandResult TAVO_CALL cmZReport(char* buffer, int32_t* length) {
    return forward<cmd::cmZReport>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPrnProgramReport(char* buffer, int32_t* length) {
    return forward<cmd::cmPrnProgramReport>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmMemReportByZNo(int32_t kind, int32_t firstZ, int32_t lastZ, char* buffer,
                                                  int32_t* length) {
    return forward<cmd::cmMemReportByZNo>(buffer, length, kind, firstZ, lastZ);
}

TAVO_API CommandResult TAVO_CALL cmMemReportByDate(int32_t kind, int32_t day1, int32_t month1, int32_t year1,
                                                   int32_t day2, int32_t month2, int32_t year2, char* buffer,
                                                   int32_t* length) {
    return forward<cmd::cmMemReportByDate>(buffer, length, kind, day1, month1, year1, day2, month2, year2);
}

TAVO_API CommandResult TAVO_CALL cmMemReportMonthly(int32_t kind, int32_t month, int32_t year, char* buffer,
                                                    int32_t* length) {
    return forward<cmd::cmMemReportMonthly>(buffer, length, kind, month, year);
}

TAVO_API CommandResult TAVO_CALL cmUploadFisRptByZNo(int32_t kind, int32_t firstZ, int32_t lastZ,
                                                     char* buffer, int32_t* length) {
    return forward<cmd::cmUploadFisRptByZNo>(buffer, length, kind, firstZ, lastZ);
}

TAVO_API CommandResult TAVO_CALL cmUploadFisRptByDate(int32_t kind, int32_t day1, int32_t month1,
                                                      int32_t year1, int32_t day2, int32_t month2,
                                                      int32_t year2, char* buffer, int32_t* length) {
    return forward<cmd::cmUploadFisRptByDate>(buffer, length, kind, day1, month1, year1, day2, month2, year2);
}

TAVO_API CommandResult TAVO_CALL cmUploadFisRptMonthly(int32_t kind, int32_t month, int32_t year,
                                                       char* buffer, int32_t* length) {
    return forward<cmd::cmUploadFisRptMonthly>(buffer, length, kind, month, year);
}

TAVO_API CommandResult TAVO_CALL cmHardwareStatus(char* buffer, int32_t* length) {
    return forward<cmd::cmHardwareStatus>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSoftwareStatus(char* buffer, int32_t* length) {
    return forward<cmd::cmSoftwareStatus>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPrinterStatus(char* buffer, int32_t* length) {
    return forward<cmd::cmPrinterStatus>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadTaxRate(char* buffer, int32_t* length) {
    return forward<cmd::cmUploadTaxRate>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadDepartment(char* buffer, int32_t* length) {
    return forward<cmd::cmUploadDepartment>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadHeadMessage(char* buffer, int32_t* length) {
    return forward<cmd::cmUploadHeadMessage>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadPlu(char* buffer, int32_t* length) {
    return forward<cmd::cmUploadPlu>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadPkg(int32_t clearFlag, char* buffer, int32_t* length) {
    return forward<cmd::cmUploadPkg>(buffer, length, clearFlag);
}

TAVO_API CommandResult TAVO_CALL cmUploadFisStatus(char* buffer, int32_t* length) {
    return forward<cmd::cmUploadFisStatus>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadExchangeRate(char* buffer, int32_t* length) {
    return forward<cmd::cmUploadExchangeRate>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmUploadCurrencyChange(char* buffer, int32_t* length) {
    return forward<cmd::cmUploadCurrencyChange>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSRAMDump(int32_t address, char* buffer, int32_t* length) {
    return forward<cmd::cmSRAMDump>(buffer, length, address);
}

TAVO_API CommandResult TAVO_CALL cmEPROMDump(int32_t address, char* buffer, int32_t* length) {
    return forward<cmd::cmEPROMDump>(buffer, length, address);
}

TAVO_API CommandResult TAVO_CALL cmROMDump(int32_t address, char* buffer, int32_t* length) {
    return forward<cmd::cmROMDump>(buffer, length, address);
}

TAVO_API CommandResult TAVO_CALL cmSaleItem(double quantity, const char* unit, double price,
                                            const char* taxGroup, const char* name, int32_t returnPackageFlag,
                                            double returnPackagePrice, char* buffer, int32_t* length) {
    return forward<cmd::cmSaleItem>(buffer, length, quantity, unit, price, taxGroup, name, returnPackageFlag,
                                    returnPackagePrice);
}

TAVO_API CommandResult TAVO_CALL cmCancelItem(double quantity, const char* unit, double price,
                                              const char* taxGroup, const char* name,
                                              int32_t returnPackageFlag, double returnPackagePrice,
                                              char* buffer, int32_t* length) {
    return forward<cmd::cmCancelItem>(buffer, length, quantity, unit, price, taxGroup, name,
                                      returnPackageFlag, returnPackagePrice);
}

TAVO_API CommandResult TAVO_CALL cmDiscount(int32_t discountType, int32_t value, int32_t isDiscount,
                                            int32_t byRate, char* buffer, int32_t* length) {
    return forward<cmd::cmDiscount>(buffer, length, discountType, value, isDiscount, byRate);
}

TAVO_API CommandResult TAVO_CALL cmPrintSubTotal(char* buffer, int32_t* length) {
    return forward<cmd::cmPrintSubTotal>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmPayment(int32_t code1, int32_t code2, int32_t code3, double amount1,
                                           double amount2, double amount3, char* buffer, int32_t* length) {
    return forward<cmd::cmPayment>(buffer, length, code1, code2, code3, amount1, amount2, amount3);
}

TAVO_API CommandResult TAVO_CALL cmSetClientId(const char* buyerId, char* buffer, int32_t* length) {
    return forward<cmd::cmSetClientId>(buffer, length, buyerId);
}

TAVO_API CommandResult TAVO_CALL cmReceiptCancel(const char* footer, char* buffer, int32_t* length) {
    return forward<cmd::cmReceiptCancel>(buffer, length, footer);
}

TAVO_API CommandResult TAVO_CALL cmReceiptClose(const char* footer, char* buffer, int32_t* length) {
    return forward<cmd::cmReceiptClose>(buffer, length, footer);
}

TAVO_API CommandResult TAVO_CALL cmInvoiceInfo(int32_t mode, int32_t slot, double receiptTotal,
                                               double vatTotal, char* buffer, int32_t* length) {
    return forward<cmd::cmInvoiceInfo>(buffer, length, mode, slot, receiptTotal, vatTotal);
}

TAVO_API CommandResult TAVO_CALL cmReturnPackage(double quantity, const char* unit, double price,
                                                 const char* name, char* buffer, int32_t* length) {
    return forward<cmd::cmReturnPackage>(buffer, length, quantity, unit, price, name);
}

TAVO_API CommandResult TAVO_CALL cmSalePackage(double quantity, const char* unit, double price,
                                               const char* name, char* buffer, int32_t* length) {
    return forward<cmd::cmSalePackage>(buffer, length, quantity, unit, price, name);
}

TAVO_API CommandResult TAVO_CALL cmPackagePayment(int32_t zero, char* buffer, int32_t* length) {
    return forward<cmd::cmPackagePayment>(buffer, length, zero);
}

TAVO_API CommandResult TAVO_CALL cmSalePackagePayment(int32_t zero, char* buffer, int32_t* length) {
    return forward<cmd::cmSalePackagePayment>(buffer, length, zero);
}

TAVO_API CommandResult TAVO_CALL cmReceiveCash(double amount, char* buffer, int32_t* length) {
    return forward<cmd::cmReceiveCash>(buffer, length, amount);
}

TAVO_API CommandResult TAVO_CALL cmPaidOut(double amount, char* buffer, int32_t* length) {
    return forward<cmd::cmPaidOut>(buffer, length, amount);
}

TAVO_API CommandResult TAVO_CALL cmCashInDrawer(char* buffer, int32_t* length) {
    return forward<cmd::cmCashInDrawer>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmOpenDrawer(char* buffer, int32_t* length) {
    return forward<cmd::cmOpenDrawer>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmSetDate(int32_t day, int32_t month, int32_t year, char* buffer,
                                           int32_t* length) {
    return forward<cmd::cmSetDate>(buffer, length, day, month, year);
}

TAVO_API CommandResult TAVO_CALL cmSetTime(int32_t hour, int32_t minute, int32_t second, char* buffer,
                                           int32_t* length) {
    return forward<cmd::cmSetTime>(buffer, length, hour, minute, second);
}

TAVO_API CommandResult TAVO_CALL cmSetVatRate(int32_t rateA, int32_t rateB, int32_t rateC, int32_t rateD,
                                              int32_t rateE, int32_t rateF, int32_t rateG, int32_t rateH,
                                              int32_t rateI, const char* exemptLetter, char* buffer,
                                              int32_t* length) {
    return forward<cmd::cmSetVatRate>(buffer, length, rateA, rateB, rateC, rateD, rateE, rateF, rateG, rateH,
                                      rateI, exemptLetter);
}

TAVO_API CommandResult TAVO_CALL cmSetHeadMessage(int32_t one, int32_t zero, const char* header, char* buffer,
                                                  int32_t* length) {
    return forward<cmd::cmSetHeadMessage>(buffer, length, one, zero, header);
}

TAVO_API CommandResult TAVO_CALL cmSetDepartName(const char* number, const char* name, const char* vatLetter,
                                                 char* buffer, int32_t* length) {
    return forward<cmd::cmSetDepartName>(buffer, length, number, name, vatLetter);
}

TAVO_API CommandResult TAVO_CALL cmSetClerkPwd(int32_t clerk, const char* password, const char* name,
                                               char* buffer, int32_t* length) {
    return forward<cmd::cmSetClerkPwd>(buffer, length, clerk, password, name);
}

TAVO_API CommandResult TAVO_CALL cmClerkLogon(int32_t clerk, const char* password, char* buffer,
                                              int32_t* length) {
    return forward<cmd::cmClerkLogon>(buffer, length, clerk, password);
}

TAVO_API CommandResult TAVO_CALL cmClerkLogout(char* buffer, int32_t* length) {
    return forward<cmd::cmClerkLogout>(buffer, length);
}

TAVO_API CommandResult TAVO_CALL cmServiceLogon(const char* password, char* buffer, int32_t* length) {
    return forward<cmd::cmServiceLogon>(buffer, length, password);
}

TAVO_API CommandResult TAVO_CALL cmSkipPswdLogon(const char* password, char* buffer, int32_t* length) {
    return forward<cmd::cmSkipPswdLogon>(buffer, length, password);
}

TAVO_API CommandResult TAVO_CALL cmSetEcrNumber(int32_t ecrNumber, char* buffer, int32_t* length) {
    return forward<cmd::cmSetEcrNumber>(buffer, length, ecrNumber);
}

TAVO_API CommandResult TAVO_CALL cmSetSysNum(const char* systemNumber, char* buffer, int32_t* length) {
    return forward<cmd::cmSetSysNum>(buffer, length, systemNumber);
}

TAVO_API CommandResult TAVO_CALL cmSetMoney(int32_t year, int32_t month, int32_t day, int32_t hour,
                                            int32_t minute, const char* newCurrency, const char* rate1,
                                            const char* direction1, const char* secondCurrency,
                                            const char* rate2, const char* direction2, char* buffer,
                                            int32_t* length) {
    return forward<cmd::cmSetMoney>(buffer, length, year, month, day, hour, minute, newCurrency, rate1,
                                    direction1, secondCurrency, rate2, direction2);
}

TAVO_API CommandResult TAVO_CALL cmSetExChangeRate(const char* rate1, const char* direction1,
                                                   const char* rate2, const char* direction2, char* buffer,
                                                   int32_t* length) {
    return forward<cmd::cmSetExChangeRate>(buffer, length, rate1, direction1, rate2, direction2);
}

TAVO_API CommandResult TAVO_CALL cmSetCurrencyName(const char* names, char* buffer, int32_t* length) {
    return forward<cmd::cmSetCurrencyName>(buffer, length, names);
}

TAVO_API CommandResult TAVO_CALL cmSetPrinterSpeed(int32_t density, char* buffer, int32_t* length) {
    return forward<cmd::cmSetPrinterSpeed>(buffer, length, density);
}

TAVO_API CommandResult TAVO_CALL cmSetParameter(const char* parameters, char* buffer, int32_t* length) {
    return forward<cmd::cmSetParameter>(buffer, length, parameters);
}

TAVO_API CommandResult TAVO_CALL cmEcrSleepMode(char* buffer, int32_t* length) {
    return forward<cmd::cmEcrSleepMode>(buffer, length);
}

} // extern "C"
