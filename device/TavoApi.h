/*
 * The C interface of the printer's two device libraries.
 *
 *   TavoUser  ordinary commands (sales, reports, programming, uploads)
 *   TavoSrv   service commands (identity, tax number, fiscal mode, SRAM erase,
 *             firmware update), with its own OpenTavo / CloseTavo
 *
 * Every cm... function takes its parameters, then the return buffer, then the
 * address of the return length, and returns a CommandResult by value (through a
 * hidden pointer to caller storage).  Two-call sizing: the first call passes no
 * buffer and a length of 0 and learns the size; the second passes a zeroed
 * buffer of that size.  Texts are nul-terminated, code page 1250.
 *
 * The console never links against these symbols: it binds both libraries by
 * name at start-up.  The virtual printer's libraries (emulator/) implement
 * exactly this interface, plus TavoSetIdleHandler, which the maker's libraries
 * do not have.
 */
#ifndef TAVO_API_H
#define TAVO_API_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define TAVO_CALL __stdcall
#else
#define TAVO_CALL
#endif

#if defined(TAVO_BUILD_LIBRARY)
#if defined(_WIN32)
#define TAVO_API __declspec(dllexport)
#else
#define TAVO_API __attribute__((visibility("default")))
#endif
#else
#define TAVO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Seven 32-bit words.  Status < 0 means the command failed; SubCode goes with it. */
typedef struct CommandResult {
    int32_t Status;
    int32_t SubCode;
    int32_t Reserved[5];
} CommandResult;

/* ---- link and control (both libraries, unless noted) ---- */
TAVO_API int32_t TAVO_CALL OpenTavo(const char* portName, int32_t baud);
TAVO_API int32_t TAVO_CALL CloseTavo(void);
/* User library: 0 while a command is under way, non-zero when idle. */
TAVO_API int32_t TAVO_CALL isCommandExecuting(void);
TAVO_API int32_t TAVO_CALL AbortTavo(void);
TAVO_API int32_t TAVO_CALL GetReturnBufLength(const char* commandCode);
TAVO_API CommandResult TAVO_CALL ExecCommand(const char* commandLine, char* buffer, int32_t* length);

/*
 * Our own extension, absent from the maker's libraries: the console hands a
 * callback that the library calls repeatedly while a command runs, so that the
 * window keeps answering (the maker's library pumps window messages itself).
 * Passing a null handler removes it.
 */
typedef void(TAVO_CALL* TavoIdleHandler)(void* context);
TAVO_API void TAVO_CALL TavoSetIdleHandler(TavoIdleHandler handler, void* context);

/*
 * More of our own extensions, absent from the maker's libraries (the console
 * binds each one only when the library has it and works without them).  They
 * act on the link this library holds open; the other library's link keeps its
 * own faults and clock.
 *
 * Print handler: the library calls it with each line of the port's paper as it
 * is printed (UTF-8, at most 32 characters, no line end) and the number of the
 * document the line belongs to.  With real timing the lines come at the
 * printer's pace while the command waits; with instant timing all at once
 * before the command returns.  When a command that has delivered lines is
 * then aborted or fails, nothing of it is kept (neither the paper roll file
 * nor the journal hold it) and the handler gets one more line,
 * TAVO_PRINT_INTERRUPTED, with the same document number.  Like the idle
 * handler it runs inside the command: any command called from it answers busy.
 * Passing a null handler removes it.
 */
typedef void(TAVO_CALL* TavoPrintHandler)(void* context, const char* utf8Line, int32_t documentNumber);
TAVO_API void TAVO_CALL TavoSetPrintHandler(TavoPrintHandler handler, void* context);
#define TAVO_PRINT_INTERRUPTED "*** WYDRUK PRZERWANY ***"

/* What TavoSetFault, TavoGetFault, TavoSetClock and TavoGetClock return. */
enum TavoExtensionResult {
    TAVO_EXT_OK = 0,
    TAVO_EXT_NOT_OPEN = 1,     /* no link open */
    TAVO_EXT_UNKNOWN_KEY = 2,  /* not a fault this printer knows */
    TAVO_EXT_BAD_VALUE = 3,    /* nothing was changed */
    TAVO_EXT_SMALL_BUFFER = 4, /* *length now holds the size needed, with the nul */
    TAVO_EXT_BUSY = 5          /* a command is running */
};

/*
 * Live faults of the open link, with the keys and values of the settings file
 * (paper, offline, battery, fiscal_memory, fm_capacity, timeouts,
 * damaged_record, reset_pin).  They hold from the next command until the link
 * is closed; reopening reads the settings file again.  TavoGetFault writes the
 * value and a nul; with a null buffer it only sets *length to the size needed.
 */
TAVO_API int32_t TAVO_CALL TavoSetFault(const char* key, const char* value);
TAVO_API int32_t TAVO_CALL TavoGetFault(const char* key, char* buffer, int32_t* length);

/*
 * The printer's clock, "yyyy-MM-dd HH:mm:ss": TavoSetClock moves it now (as
 * clock_start does when the link opens); TavoGetClock reads it, with the
 * sizing rule of TavoGetFault.
 */
TAVO_API int32_t TAVO_CALL TavoSetClock(const char* dateTime);
TAVO_API int32_t TAVO_CALL TavoGetClock(char* buffer, int32_t* length);

/*
 * The bridge client's own (docs/bridge.md): what it forwards to, for the
 * console's status bar ("wine ... --dir /home/anna/printer", "ssh shop-pc ...",
 * or the name its settings give), with the sizing rule of TavoGetFault. Only
 * the bridge client's libraries export it.
 */
TAVO_API int32_t TAVO_CALL TavoBridgeDescribe(char* buffer, int32_t* length);
/* Why the last call through the bridge failed ("cannot run \"wine\": not
 * found", "the host was silent for 5000 ms during cmXReport"); empty after a
 * call that went through. Same sizing rule. Never holds a call's arguments. */
TAVO_API int32_t TAVO_CALL TavoBridgeLastError(char* buffer, int32_t* length);

/* ---- service library only ---- */
TAVO_API int32_t TAVO_CALL UpdateTavoProgram(uintptr_t ownerWindow, const char* portName, int32_t full);
TAVO_API CommandResult TAVO_CALL cmSetID(const char* idCode, const char* idNumber, char* buffer,
                                         int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetTaxID(const char* taxId, int32_t format, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmEnterFiscalMode(const char* idCode, const char* idNumber, char* buffer,
                                                   int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSRAMErase(int32_t day, int32_t month, int32_t year, int32_t hour,
                                             int32_t minute, int32_t second, char* buffer, int32_t* length);

/* ---- user library: reports ---- */
TAVO_API CommandResult TAVO_CALL cmXReport(int32_t printFlag, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmZReport(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmPrnProgramReport(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmMemReportByZNo(int32_t kind, int32_t firstZ, int32_t lastZ, char* buffer,
                                                  int32_t* length);
TAVO_API CommandResult TAVO_CALL cmMemReportByDate(int32_t kind, int32_t day1, int32_t month1, int32_t year1,
                                                   int32_t day2, int32_t month2, int32_t year2, char* buffer,
                                                   int32_t* length);
TAVO_API CommandResult TAVO_CALL cmMemReportMonthly(int32_t kind, int32_t month, int32_t year, char* buffer,
                                                    int32_t* length);
TAVO_API CommandResult TAVO_CALL cmUploadFisRptByZNo(int32_t kind, int32_t firstZ, int32_t lastZ,
                                                     char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmUploadFisRptByDate(int32_t kind, int32_t day1, int32_t month1,
                                                      int32_t year1, int32_t day2, int32_t month2,
                                                      int32_t year2, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmUploadFisRptMonthly(int32_t kind, int32_t month, int32_t year,
                                                       char* buffer, int32_t* length);

/* ---- user library: status and uploads ---- */
TAVO_API CommandResult TAVO_CALL cmHardwareStatus(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSoftwareStatus(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmPrinterStatus(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmUploadTaxRate(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmUploadDepartment(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmUploadHeadMessage(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmUploadPlu(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmUploadPkg(int32_t clearFlag, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmUploadFisStatus(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmUploadExchangeRate(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmUploadCurrencyChange(char* buffer, int32_t* length);

/* ---- user library: memory dumps ---- */
TAVO_API CommandResult TAVO_CALL cmSRAMDump(int32_t address, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmEPROMDump(int32_t address, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmROMDump(int32_t address, char* buffer, int32_t* length);

/* ---- user library: receipts ---- */
TAVO_API CommandResult TAVO_CALL cmSaleItem(double quantity, const char* unit, double price,
                                            const char* taxGroup, const char* name, int32_t returnPackageFlag,
                                            double returnPackagePrice, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmCancelItem(double quantity, const char* unit, double price,
                                              const char* taxGroup, const char* name,
                                              int32_t returnPackageFlag, double returnPackagePrice,
                                              char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmDiscount(int32_t discountType, int32_t value, int32_t isDiscount,
                                            int32_t byRate, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmPrintSubTotal(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmPayment(int32_t code1, int32_t code2, int32_t code3, double amount1,
                                           double amount2, double amount3, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetClientId(const char* buyerId, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmReceiptCancel(const char* footer, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmReceiptClose(const char* footer, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmInvoiceInfo(int32_t mode, int32_t slot, double receiptTotal,
                                               double vatTotal, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmReturnPackage(double quantity, const char* unit, double price,
                                                 const char* name, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSalePackage(double quantity, const char* unit, double price,
                                               const char* name, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmPackagePayment(int32_t zero, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSalePackagePayment(int32_t zero, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmReceiveCash(double amount, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmPaidOut(double amount, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmCashInDrawer(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmOpenDrawer(char* buffer, int32_t* length);

/* ---- user library: programming ---- */
TAVO_API CommandResult TAVO_CALL cmSetDate(int32_t day, int32_t month, int32_t year, char* buffer,
                                           int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetTime(int32_t hour, int32_t minute, int32_t second, char* buffer,
                                           int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetVatRate(int32_t rateA, int32_t rateB, int32_t rateC, int32_t rateD,
                                              int32_t rateE, int32_t rateF, int32_t rateG, int32_t rateH,
                                              int32_t rateI, const char* exemptLetter, char* buffer,
                                              int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetHeadMessage(int32_t one, int32_t zero, const char* header, char* buffer,
                                                  int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetDepartName(const char* number, const char* name, const char* vatLetter,
                                                 char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetClerkPwd(int32_t clerk, const char* password, const char* name,
                                               char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmClerkLogon(int32_t clerk, const char* password, char* buffer,
                                              int32_t* length);
TAVO_API CommandResult TAVO_CALL cmClerkLogout(char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmServiceLogon(const char* password, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSkipPswdLogon(const char* password, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetEcrNumber(int32_t ecrNumber, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetSysNum(const char* systemNumber, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetMoney(int32_t year, int32_t month, int32_t day, int32_t hour,
                                            int32_t minute, const char* newCurrency, const char* rate1,
                                            const char* direction1, const char* secondCurrency,
                                            const char* rate2, const char* direction2, char* buffer,
                                            int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetExChangeRate(const char* rate1, const char* direction1,
                                                   const char* rate2, const char* direction2, char* buffer,
                                                   int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetCurrencyName(const char* names, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetPrinterSpeed(int32_t density, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmSetParameter(const char* parameters, char* buffer, int32_t* length);
TAVO_API CommandResult TAVO_CALL cmEcrSleepMode(char* buffer, int32_t* length);

#ifdef __cplusplus
}
#endif

#endif /* TAVO_API_H */
