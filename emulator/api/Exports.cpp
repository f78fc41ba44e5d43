// Skeleton exports: every function of the device interface.
#include "Link.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

#include <exception>

namespace {
template <class F> CommandResult guarded(F f) {
    try {
        return f();
    } catch (...) {
        CommandResult r{};
        r.Status = -4;
        r.SubCode = 63;
        return r;
    }
}
} // namespace

extern "C" {

TAVO_API CommandResult TAVO_CALL cmSetID(const char* idCode, const char* idNumber, char* buffer,
                                         int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetID", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetTaxID(const char* taxId, int32_t format, char* buffer,
                                            int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetTaxID", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmEnterFiscalMode(const char* idCode, const char* idNumber, char* buffer,
                                                   int32_t* length) {
    return guarded([&] { return vp::linkRun("cmEnterFiscalMode", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSRAMErase(int32_t day, int32_t month, int32_t year, int32_t hour,
                                             int32_t minute, int32_t second, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSRAMErase", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmXReport(int32_t printFlag, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmXReport", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmZReport(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmZReport", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmPrnProgramReport(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmPrnProgramReport", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmMemReportByZNo(int32_t kind, int32_t firstZ, int32_t lastZ, char* buffer,
                                                  int32_t* length) {
    return guarded([&] { return vp::linkRun("cmMemReportByZNo", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmMemReportByDate(int32_t kind, int32_t day1, int32_t month1, int32_t year1,
                                                   int32_t day2, int32_t month2, int32_t year2, char* buffer,
                                                   int32_t* length) {
    return guarded([&] { return vp::linkRun("cmMemReportByDate", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmMemReportMonthly(int32_t kind, int32_t month, int32_t year, char* buffer,
                                                    int32_t* length) {
    return guarded([&] { return vp::linkRun("cmMemReportMonthly", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmUploadFisRptByZNo(int32_t kind, int32_t firstZ, int32_t lastZ,
                                                     char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmUploadFisRptByZNo", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmUploadFisRptByDate(int32_t kind, int32_t day1, int32_t month1,
                                                      int32_t year1, int32_t day2, int32_t month2,
                                                      int32_t year2, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmUploadFisRptByDate", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmUploadFisRptMonthly(int32_t kind, int32_t month, int32_t year,
                                                       char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmUploadFisRptMonthly", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmHardwareStatus(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmHardwareStatus", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSoftwareStatus(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSoftwareStatus", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmPrinterStatus(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmPrinterStatus", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmUploadTaxRate(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmUploadTaxRate", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmUploadDepartment(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmUploadDepartment", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmUploadHeadMessage(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmUploadHeadMessage", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmUploadPlu(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmUploadPlu", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmUploadPkg(int32_t clearFlag, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmUploadPkg", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmUploadFisStatus(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmUploadFisStatus", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmUploadExchangeRate(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmUploadExchangeRate", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmUploadCurrencyChange(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmUploadCurrencyChange", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSRAMDump(int32_t address, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSRAMDump", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmEPROMDump(int32_t address, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmEPROMDump", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmROMDump(int32_t address, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmROMDump", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSaleItem(double quantity, const char* unit, double price,
                                            const char* taxGroup, const char* name, int32_t returnPackageFlag,
                                            double returnPackagePrice, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSaleItem", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmCancelItem(double quantity, const char* unit, double price,
                                              const char* taxGroup, const char* name,
                                              int32_t returnPackageFlag, double returnPackagePrice,
                                              char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmCancelItem", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmDiscount(int32_t discountType, int32_t value, int32_t isDiscount,
                                            int32_t byRate, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmDiscount", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmPrintSubTotal(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmPrintSubTotal", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmPayment(int32_t code1, int32_t code2, int32_t code3, double amount1,
                                           double amount2, double amount3, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmPayment", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetClientId(const char* buyerId, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetClientId", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmReceiptCancel(const char* footer, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmReceiptCancel", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmReceiptClose(const char* footer, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmReceiptClose", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmInvoiceInfo(int32_t mode, int32_t slot, double receiptTotal,
                                               double vatTotal, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmInvoiceInfo", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmReturnPackage(double quantity, const char* unit, double price,
                                                 const char* name, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmReturnPackage", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSalePackage(double quantity, const char* unit, double price,
                                               const char* name, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSalePackage", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmPackagePayment(int32_t zero, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmPackagePayment", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSalePackagePayment(int32_t zero, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSalePackagePayment", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmReceiveCash(double amount, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmReceiveCash", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmPaidOut(double amount, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmPaidOut", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmCashInDrawer(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmCashInDrawer", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmOpenDrawer(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmOpenDrawer", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetDate(int32_t day, int32_t month, int32_t year, char* buffer,
                                           int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetDate", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetTime(int32_t hour, int32_t minute, int32_t second, char* buffer,
                                           int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetTime", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetVatRate(int32_t rateA, int32_t rateB, int32_t rateC, int32_t rateD,
                                              int32_t rateE, int32_t rateF, int32_t rateG, int32_t rateH,
                                              int32_t rateI, const char* exemptLetter, char* buffer,
                                              int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetVatRate", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetHeadMessage(int32_t one, int32_t zero, const char* header, char* buffer,
                                                  int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetHeadMessage", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetDepartName(const char* number, const char* name, const char* vatLetter,
                                                 char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetDepartName", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetClerkPwd(int32_t clerk, const char* password, const char* name,
                                               char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetClerkPwd", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmClerkLogon(int32_t clerk, const char* password, char* buffer,
                                              int32_t* length) {
    return guarded([&] { return vp::linkRun("cmClerkLogon", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmClerkLogout(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmClerkLogout", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmServiceLogon(const char* password, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmServiceLogon", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSkipPswdLogon(const char* password, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSkipPswdLogon", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetEcrNumber(int32_t ecrNumber, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetEcrNumber", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetSysNum(const char* systemNumber, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetSysNum", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetMoney(int32_t year, int32_t month, int32_t day, int32_t hour,
                                            int32_t minute, const char* newCurrency, const char* rate1,
                                            const char* direction1, const char* secondCurrency,
                                            const char* rate2, const char* direction2, char* buffer,
                                            int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetMoney", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetExChangeRate(const char* rate1, const char* direction1,
                                                   const char* rate2, const char* direction2, char* buffer,
                                                   int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetExChangeRate", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetCurrencyName(const char* names, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetCurrencyName", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetPrinterSpeed(int32_t density, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetPrinterSpeed", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmSetParameter(const char* parameters, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmSetParameter", buffer, length); });
}
TAVO_API CommandResult TAVO_CALL cmEcrSleepMode(char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun("cmEcrSleepMode", buffer, length); });
}
TAVO_API int32_t TAVO_CALL OpenTavo(const char* portName, int32_t baud) {
    return vp::linkOpen(portName, baud);
}
TAVO_API int32_t TAVO_CALL CloseTavo(void) {
    return vp::linkClose();
}
TAVO_API int32_t TAVO_CALL isCommandExecuting(void) {
    return vp::linkIdle();
}
TAVO_API int32_t TAVO_CALL AbortTavo(void) {
    vp::linkAbort();
    return 0;
}
TAVO_API int32_t TAVO_CALL GetReturnBufLength(const char* commandCode) {
    return commandCode == nullptr ? 0 : vp::linkAnswerSize(commandCode);
}
TAVO_API CommandResult TAVO_CALL ExecCommand(const char* commandLine, char* buffer, int32_t* length) {
    return guarded([&] { return vp::linkRun(commandLine ? commandLine : "", buffer, length); });
}
TAVO_API void TAVO_CALL TavoSetIdleHandler(TavoIdleHandler handler, void* context) {
    vp::linkSetIdleHandler(handler, context);
}
TAVO_API int32_t TAVO_CALL UpdateTavoProgram(uintptr_t, const char*, int32_t) {
    return -1;
}
}
