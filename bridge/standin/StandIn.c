/*
 * A stand-in for the maker's device libraries, for testing the bridge host
 * under Wine. Built with MinGW-w64 twice from this file: with STANDIN_USER into
 * TavoUser.dll, with STANDIN_SRV into TavoSrv.dll; for x86-64 and for 32-bit x86
 * (stdcall, undecorated or decorated export names). It exports exactly what the
 * maker's library of that name exports (device/TavoApi.h), nothing of our own.
 *
 * What a test can rely on:
 *
 *  - Every call appends one line to the file named by TAVO_STANDIN_LOG (a Unix
 *    path is read as Z:\...), written when the call arrives:
 *        <function> <argument>... buffer=<null|offered> length=<*length|null>
 *    integers "i:<decimal>", the owner window "u:<decimal>", doubles
 *    "d:<%.17g>", texts "t:<hex of their bytes>" or "t:null"; the link
 *    functions without buffer and length.
 *  - Commands need OpenTavo first (else Status -1). Two-call sizing as the
 *    maker's library: buffer NULL gives *length = the answer's size, Status 0.
 *    With a buffer the answer is copied up to *length bytes and *length is set
 *    to what was copied.
 *  - The answer follows from the call alone: h = FNV-1a (32 bit) of the line up
 *    to " buffer=" (function name and arguments). An acknowledgement is "O0",
 *    the command's code, h % 1000000 as 6 digits and h as 12 digits; any other
 *    answer is its prefix ("O0", "P0" for the printer status, none for a dump)
 *    followed by bytes of xorshift32 seeded with h (1 when h is 0): x ^= x << 13;
 *    x ^= x >> 17; x ^= x << 5; the byte is x & 0xFF.
 *  - A negative integer argument is refused: Status -4, SubCode 5 (sizing still
 *    gives the size; a refused call with a buffer gives *length 0).
 *  - cmPrnProgramReport runs TAVO_STANDIN_SLOW_MS milliseconds (30000 when
 *    unset) unless AbortTavo comes, then answers Status -3 at once;
 *    isCommandExecuting gives 0 while a command runs, 1 when idle; a second
 *    command meanwhile gets Status -5 SubCode 1.
 *  - TavoUser only: with TAVO_STANDIN_SERIAL=1 OpenTavo opens the port \\.\<portName> (8N1 at
 *    the baud rate given, 2 s read time-out) and answers 2 when it cannot;
 *    cmPrinterStatus then writes STX "47" ETX to it and answers exactly the 3
 *    bytes read back, or Status -3 when they do not come within 2 s.
 */
#define __USE_MINGW_ANSI_STDIO 1 /* exact %.17g, whatever msvcrt does */
/* STANDIN_DEF_EXPORTS: the exports come from a .def file given at the link
   (names as another compiler decorates them), not from dllexport. TAVO_CALL is
   __stdcall on 32-bit either way. */
#ifndef STANDIN_DEF_EXPORTS
#define TAVO_BUILD_LIBRARY
#endif
#include "device/TavoApi.h"

#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if defined(STANDIN_USER) == defined(STANDIN_SRV)
#error "define STANDIN_USER (TavoUser.dll) or STANDIN_SRV (TavoSrv.dll)"
#endif

enum { kAck = 22, kPrinterStatus = 3, kDump = 130 };

/* The catalogue's commands (protocol/Commands.h): code and answer size. */
typedef struct Entry {
    const char* function;
    const char* code;
    int size;
} Entry;

static const Entry kEntries[] = {
    {"cmSetID", "70", kAck},
    {"cmSetTaxID", "71", kAck},
    {"cmEnterFiscalMode", "72", kAck},
    {"cmSRAMErase", "43", kAck},
    {"cmXReport", "60", kAck},
    {"cmZReport", "61", kAck},
    {"cmPrnProgramReport", "62", kAck},
    {"cmMemReportByZNo", "21", kAck},
    {"cmMemReportByDate", "22", kAck},
    {"cmMemReportMonthly", "23", kAck},
    {"cmUploadFisRptByZNo", "15", kAck},
    {"cmUploadFisRptByDate", "15", kAck},
    {"cmUploadFisRptMonthly", "15", kAck},
    {"cmHardwareStatus", "40", 62},
    {"cmSoftwareStatus", "41", 48},
    {"cmPrinterStatus", "47", kPrinterStatus},
    {"cmUploadTaxRate", "91", 39},
    {"cmUploadDepartment", "92", 209},
    {"cmUploadHeadMessage", "93", 172},
    {"cmUploadPlu", "90", kAck},
    {"cmUploadPkg", "89", kAck},
    {"cmUploadFisStatus", "14", 13},
    {"cmUploadExchangeRate", "13", 51},
    {"cmUploadCurrencyChange", "17", 43},
    {"cmSRAMDump", "44", kDump},
    {"cmEPROMDump", "45", kDump},
    {"cmROMDump", "48", kDump},
    {"cmSaleItem", "30", kAck},
    {"cmCancelItem", "31", kAck},
    {"cmDiscount", "32", kAck},
    {"cmPrintSubTotal", "33", kAck},
    {"cmPayment", "34", kAck},
    {"cmSetClientId", "35", kAck},
    {"cmReceiptCancel", "36", kAck},
    {"cmReceiptClose", "37", kAck},
    {"cmInvoiceInfo", "63", kAck},
    {"cmReturnPackage", "38", kAck},
    {"cmSalePackage", "39", kAck},
    {"cmPackagePayment", "42", kAck},
    {"cmSalePackagePayment", "46", kAck},
    {"cmReceiveCash", "49", kAck},
    {"cmPaidOut", "50", kAck},
    {"cmCashInDrawer", "51", kAck},
    {"cmOpenDrawer", "52", kAck},
    {"cmSetDate", "04", kAck},
    {"cmSetTime", "05", kAck},
    {"cmSetVatRate", "03", kAck},
    {"cmSetHeadMessage", "01", kAck},
    {"cmSetDepartName", "02", kAck},
    {"cmSetClerkPwd", "06", kAck},
    {"cmClerkLogon", "07", kAck},
    {"cmClerkLogout", "08", kAck},
    {"cmServiceLogon", "09", kAck},
    {"cmSkipPswdLogon", "10", kAck},
    {"cmSetEcrNumber", "20", kAck},
    {"cmSetSysNum", "24", kAck},
    {"cmSetMoney", "11", kAck},
    {"cmSetExChangeRate", "13", 51},
    {"cmSetCurrencyName", "16", kAck},
    {"cmSetPrinterSpeed", "18", kAck},
    {"cmSetParameter", "19", kAck},
    {"cmEcrSleepMode", "12", kAck},
};
enum { kEntryCount = sizeof kEntries / sizeof kEntries[0] };

static const Entry* byFunction(const char* function) {
    for (int i = 0; i < kEntryCount; ++i)
        if (strcmp(kEntries[i].function, function) == 0)
            return &kEntries[i];
    return NULL;
}

/* ---- state ---- */

static SRWLOCK gLogLock = SRWLOCK_INIT;
static volatile LONG gOpen = 0;
static volatile LONG gRunning = 0;
static HANDLE gAbort = NULL; /* manual reset: set by AbortTavo while a command runs */
static HANDLE gPort = INVALID_HANDLE_VALUE;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        gAbort = CreateEventA(NULL, TRUE, FALSE, NULL);
        if (gAbort == NULL)
            return FALSE;
    } else if (reason == DLL_PROCESS_DETACH) {
        if (gPort != INVALID_HANDLE_VALUE)
            CloseHandle(gPort);
        CloseHandle(gAbort);
    }
    return TRUE;
}

/* An environment variable, or "" when unset or too long. */
static const char* env(const char* name, char* out, DWORD size) {
    const DWORD n = GetEnvironmentVariableA(name, out, size);
    if (n == 0 || n >= size)
        out[0] = '\0';
    return out;
}

/* ---- the call line ---- */

typedef struct Line {
    char text[8192];
    size_t used;
    int refused; /* a negative integer argument */
} Line;

static void put(Line* line, const char* format, ...) {
    if (line->used >= sizeof line->text)
        return;
    va_list ap;
    va_start(ap, format);
    const int n = vsnprintf(line->text + line->used, sizeof line->text - line->used, format, ap);
    va_end(ap);
    if (n > 0)
        line->used += (size_t)n;
    if (line->used >= sizeof line->text)
        line->used = sizeof line->text - 1;
}

static void putText(Line* line, const char* s) {
    if (s == NULL) {
        put(line, " t:null");
        return;
    }
    put(line, " t:");
    for (const unsigned char* p = (const unsigned char*)s; *p; ++p)
        put(line, "%02x", *p);
}

/* The arguments, one kind letter each: i int32, u uintptr, d double, t text. */
static void putArgs(Line* line, const char* kinds, va_list ap) {
    for (const char* k = kinds; *k; ++k) {
        switch (*k) {
        case 'i': {
            const int v = va_arg(ap, int);
            if (v < 0)
                line->refused = 1;
            put(line, " i:%d", v);
            break;
        }
        case 'u':
            put(line, " u:%llu", (unsigned long long)va_arg(ap, uintptr_t));
            break;
        case 'd':
            put(line, " d:%.17g", va_arg(ap, double));
            break;
        case 't':
            putText(line, va_arg(ap, const char*));
            break;
        }
    }
}

static void writeLine(const Line* line) {
    char path[1024];
    env("TAVO_STANDIN_LOG", path, sizeof path);
    if (path[0] == '\0')
        return;
    if (path[0] == '/') { /* a Unix path: Wine's drive Z: is the root */
        const size_t n = strlen(path);
        if (n + 2 >= sizeof path)
            return;
        memmove(path + 2, path, n + 1);
        path[0] = 'Z';
        path[1] = ':';
    }
    for (char* p = path; *p; ++p)
        if (*p == '/')
            *p = '\\';
    AcquireSRWLockExclusive(&gLogLock);
    HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(f, line->text, (DWORD)line->used, &written, NULL);
        WriteFile(f, "\n", 1, &written, NULL);
        CloseHandle(f);
    }
    ReleaseSRWLockExclusive(&gLogLock);
}

static void logLink(const char* function, const char* kinds, ...) {
    Line line;
    line.used = 0;
    line.refused = 0;
    put(&line, "%s", function);
    va_list ap;
    va_start(ap, kinds);
    putArgs(&line, kinds, ap);
    va_end(ap);
    writeLine(&line);
}

/* ---- answers ---- */

static uint32_t fnv1a(const char* s, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) {
        h ^= (unsigned char)s[i];
        h *= 16777619u;
    }
    return h;
}

/* The answer of `code` (size bytes) for a call whose line hashes to h. */
static void makeAnswer(const char* code, int size, uint32_t h, char* out) {
    if (size == kAck) {
        char text[32];
        snprintf(text, sizeof text, "O0%.2s%06u%012u", code, (unsigned)(h % 1000000u), (unsigned)h);
        memcpy(out, text, kAck);
        return;
    }
    int at = 0;
    if (size != kDump) {
        out[0] = size == kPrinterStatus ? 'P' : 'O';
        out[1] = '0';
        at = 2;
    }
    uint32_t x = h ? h : 1u;
    for (; at < size; ++at) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[at] = (char)(x & 0xFFu);
    }
}

static CommandResult result(int32_t status, int32_t subCode) {
    CommandResult r;
    memset(&r, 0, sizeof r);
    r.Status = status;
    r.SubCode = subCode;
    return r;
}

static int slowMs(void) {
    char text[32];
    env("TAVO_STANDIN_SLOW_MS", text, sizeof text);
    return text[0] ? atoi(text) : 30000;
}

/* cmPrinterStatus over the open port: the 3 bytes the printer sends back. */
static int askPrinter(char* answer) {
    static const char request[] = "\x02"
                                  "47"
                                  "\x03";
    DWORD n = 0;
    if (!WriteFile(gPort, request, 4, &n, NULL) || n != 4)
        return 0;
    const DWORD started = GetTickCount();
    int got = 0;
    while (got < kPrinterStatus && GetTickCount() - started < 2000) {
        n = 0;
        if (!ReadFile(gPort, answer + got, (DWORD)(kPrinterStatus - got), &n, NULL))
            return 0;
        got += (int)n;
    }
    return got == kPrinterStatus;
}

/* Runs one command: logs the call, then answers as described above. */
static CommandResult command(const char* function, const char* code, int size, char* buffer, int32_t* length,
                             const char* kinds, ...) {
    Line line;
    line.used = 0;
    line.refused = 0;
    put(&line, "%s", function);
    va_list ap;
    va_start(ap, kinds);
    putArgs(&line, kinds, ap);
    va_end(ap);
    const size_t hashed = line.used;
    if (buffer == NULL)
        put(&line, " buffer=null");
    else
        put(&line, " buffer=offered");
    if (length == NULL)
        put(&line, " length=null");
    else
        put(&line, " length=%d", (int)*length);
    writeLine(&line);

    if (!gOpen) {
        if (length)
            *length = 0;
        return result(-1, 0);
    }
    if (length == NULL)
        return result(-4, 2);
    if (buffer == NULL) {
        *length = size;
        return line.refused ? result(-4, 5) : result(0, 0);
    }
    const int32_t capacity = *length > 0 ? *length : 0;
    *length = 0;
    if (line.refused)
        return result(-4, 5);
    if (InterlockedCompareExchange(&gRunning, 1, 0) != 0)
        return result(-5, 1);

    char answer[256];
    CommandResult r = result(0, 0);
    ResetEvent(gAbort);
    if (strcmp(function, "cmPrnProgramReport") == 0 &&
        WaitForSingleObject(gAbort, (DWORD)slowMs()) == WAIT_OBJECT_0) {
        r = result(-3, 0);
    } else if (strcmp(code, "47") == 0 && gPort != INVALID_HANDLE_VALUE) {
        if (!askPrinter(answer))
            r = result(-3, 0);
    } else {
        makeAnswer(code, size, fnv1a(line.text, hashed), answer);
    }
    if (r.Status == 0) {
        const int n = size < capacity ? size : capacity;
        memcpy(buffer, answer, (size_t)n);
        *length = n;
    }
    InterlockedExchange(&gRunning, 0);
    return r;
}

/* A command of the catalogue by its exported name. */
#define RUN(fn, kinds, ...)                                                                                  \
    command(#fn, byFunction(#fn)->code, byFunction(#fn)->size, buffer, length, kinds, __VA_ARGS__)
#define RUN0(fn) command(#fn, byFunction(#fn)->code, byFunction(#fn)->size, buffer, length, "")

/* ---- link ---- */

static int32_t openPort(const char* portName, int32_t baud) {
#ifdef STANDIN_SRV
    (void)portName;
    (void)baud;
    return 0; /* the service library's commands never reach the printer here */
#else
    char serial[8];
    env("TAVO_STANDIN_SERIAL", serial, sizeof serial);
    if (strcmp(serial, "1") != 0)
        return 0;
    if (portName == NULL || strlen(portName) > 64)
        return 2;
    char path[80];
    snprintf(path, sizeof path, "\\\\.\\%s", portName);
    HANDLE port = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (port == INVALID_HANDLE_VALUE)
        return 2;
    DCB dcb;
    memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    COMMTIMEOUTS timeouts;
    memset(&timeouts, 0, sizeof timeouts);
    timeouts.ReadTotalTimeoutConstant = 2000;
    timeouts.WriteTotalTimeoutConstant = 2000;
    if (!GetCommState(port, &dcb)) {
        CloseHandle(port);
        return 2;
    }
    dcb.BaudRate = (DWORD)baud;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    if (!SetCommState(port, &dcb) || !SetCommTimeouts(port, &timeouts)) {
        CloseHandle(port);
        return 2;
    }
    gPort = port;
    return 0;
#endif
}

static void closePort(void) {
    if (gPort != INVALID_HANDLE_VALUE) {
        CloseHandle(gPort);
        gPort = INVALID_HANDLE_VALUE;
    }
}

TAVO_API int32_t TAVO_CALL OpenTavo(const char* portName, int32_t baud) {
    logLink("OpenTavo", "ti", portName, baud);
    closePort();
    const int32_t r = openPort(portName, baud);
    InterlockedExchange(&gOpen, r == 0);
    return r;
}

TAVO_API int32_t TAVO_CALL CloseTavo(void) {
    logLink("CloseTavo", "");
    closePort();
    InterlockedExchange(&gOpen, 0);
    return 0;
}

#ifdef STANDIN_USER

/* The first command of that code (13 and 15 belong to several, which answer alike). */
static const Entry* byCode(const char* code) {
    for (int i = 0; i < kEntryCount; ++i)
        if (strncmp(kEntries[i].code, code, 2) == 0)
            return &kEntries[i];
    return NULL;
}

TAVO_API int32_t TAVO_CALL isCommandExecuting(void) {
    logLink("isCommandExecuting", "");
    return gRunning ? 0 : 1;
}

TAVO_API int32_t TAVO_CALL AbortTavo(void) {
    logLink("AbortTavo", "");
    if (gRunning)
        SetEvent(gAbort);
    return 0;
}

TAVO_API int32_t TAVO_CALL GetReturnBufLength(const char* commandCode) {
    logLink("GetReturnBufLength", "t", commandCode);
    const Entry* e = commandCode ? byCode(commandCode) : NULL;
    return e ? e->size : kAck;
}

TAVO_API CommandResult TAVO_CALL ExecCommand(const char* commandLine, char* buffer, int32_t* length) {
    const Entry* e = commandLine && strlen(commandLine) >= 2 ? byCode(commandLine) : NULL;
    /* an unknown code answers an acknowledgement carrying it */
    char code[3] = "??";
    if (commandLine && strlen(commandLine) >= 2)
        memcpy(code, commandLine, 2);
    return command("ExecCommand", e ? e->code : code, e ? e->size : kAck, buffer, length, "t", commandLine);
}

/* ---- reports ---- */
TAVO_API CommandResult TAVO_CALL cmXReport(int32_t printFlag, char* buffer, int32_t* length) {
    return RUN(cmXReport, "i", printFlag);
}
TAVO_API CommandResult TAVO_CALL cmZReport(char* buffer, int32_t* length) {
    return RUN0(cmZReport);
}
TAVO_API CommandResult TAVO_CALL cmPrnProgramReport(char* buffer, int32_t* length) {
    return RUN0(cmPrnProgramReport);
}
TAVO_API CommandResult TAVO_CALL cmMemReportByZNo(int32_t kind, int32_t firstZ, int32_t lastZ, char* buffer,
                                                  int32_t* length) {
    return RUN(cmMemReportByZNo, "iii", kind, firstZ, lastZ);
}
TAVO_API CommandResult TAVO_CALL cmMemReportByDate(int32_t kind, int32_t day1, int32_t month1, int32_t year1,
                                                   int32_t day2, int32_t month2, int32_t year2, char* buffer,
                                                   int32_t* length) {
    return RUN(cmMemReportByDate, "iiiiiii", kind, day1, month1, year1, day2, month2, year2);
}
TAVO_API CommandResult TAVO_CALL cmMemReportMonthly(int32_t kind, int32_t month, int32_t year, char* buffer,
                                                    int32_t* length) {
    return RUN(cmMemReportMonthly, "iii", kind, month, year);
}
TAVO_API CommandResult TAVO_CALL cmUploadFisRptByZNo(int32_t kind, int32_t firstZ, int32_t lastZ,
                                                     char* buffer, int32_t* length) {
    return RUN(cmUploadFisRptByZNo, "iii", kind, firstZ, lastZ);
}
TAVO_API CommandResult TAVO_CALL cmUploadFisRptByDate(int32_t kind, int32_t day1, int32_t month1,
                                                      int32_t year1, int32_t day2, int32_t month2,
                                                      int32_t year2, char* buffer, int32_t* length) {
    return RUN(cmUploadFisRptByDate, "iiiiiii", kind, day1, month1, year1, day2, month2, year2);
}
TAVO_API CommandResult TAVO_CALL cmUploadFisRptMonthly(int32_t kind, int32_t month, int32_t year,
                                                       char* buffer, int32_t* length) {
    return RUN(cmUploadFisRptMonthly, "iii", kind, month, year);
}

/* ---- status and uploads ---- */
TAVO_API CommandResult TAVO_CALL cmHardwareStatus(char* buffer, int32_t* length) {
    return RUN0(cmHardwareStatus);
}
TAVO_API CommandResult TAVO_CALL cmSoftwareStatus(char* buffer, int32_t* length) {
    return RUN0(cmSoftwareStatus);
}
TAVO_API CommandResult TAVO_CALL cmPrinterStatus(char* buffer, int32_t* length) {
    return RUN0(cmPrinterStatus);
}
TAVO_API CommandResult TAVO_CALL cmUploadTaxRate(char* buffer, int32_t* length) {
    return RUN0(cmUploadTaxRate);
}
TAVO_API CommandResult TAVO_CALL cmUploadDepartment(char* buffer, int32_t* length) {
    return RUN0(cmUploadDepartment);
}
TAVO_API CommandResult TAVO_CALL cmUploadHeadMessage(char* buffer, int32_t* length) {
    return RUN0(cmUploadHeadMessage);
}
TAVO_API CommandResult TAVO_CALL cmUploadPlu(char* buffer, int32_t* length) {
    return RUN0(cmUploadPlu);
}
TAVO_API CommandResult TAVO_CALL cmUploadPkg(int32_t clearFlag, char* buffer, int32_t* length) {
    return RUN(cmUploadPkg, "i", clearFlag);
}
TAVO_API CommandResult TAVO_CALL cmUploadFisStatus(char* buffer, int32_t* length) {
    return RUN0(cmUploadFisStatus);
}
TAVO_API CommandResult TAVO_CALL cmUploadExchangeRate(char* buffer, int32_t* length) {
    return RUN0(cmUploadExchangeRate);
}
TAVO_API CommandResult TAVO_CALL cmUploadCurrencyChange(char* buffer, int32_t* length) {
    return RUN0(cmUploadCurrencyChange);
}

/* ---- memory dumps ---- */
TAVO_API CommandResult TAVO_CALL cmSRAMDump(int32_t address, char* buffer, int32_t* length) {
    return RUN(cmSRAMDump, "i", address);
}
TAVO_API CommandResult TAVO_CALL cmEPROMDump(int32_t address, char* buffer, int32_t* length) {
    return RUN(cmEPROMDump, "i", address);
}
TAVO_API CommandResult TAVO_CALL cmROMDump(int32_t address, char* buffer, int32_t* length) {
    return RUN(cmROMDump, "i", address);
}

/* ---- receipts ---- */
TAVO_API CommandResult TAVO_CALL cmSaleItem(double quantity, const char* unit, double price,
                                            const char* taxGroup, const char* name, int32_t returnPackageFlag,
                                            double returnPackagePrice, char* buffer, int32_t* length) {
    return RUN(cmSaleItem, "dtdttid", quantity, unit, price, taxGroup, name, returnPackageFlag,
               returnPackagePrice);
}
TAVO_API CommandResult TAVO_CALL cmCancelItem(double quantity, const char* unit, double price,
                                              const char* taxGroup, const char* name,
                                              int32_t returnPackageFlag, double returnPackagePrice,
                                              char* buffer, int32_t* length) {
    return RUN(cmCancelItem, "dtdttid", quantity, unit, price, taxGroup, name, returnPackageFlag,
               returnPackagePrice);
}
TAVO_API CommandResult TAVO_CALL cmDiscount(int32_t discountType, int32_t value, int32_t isDiscount,
                                            int32_t byRate, char* buffer, int32_t* length) {
    return RUN(cmDiscount, "iiii", discountType, value, isDiscount, byRate);
}
TAVO_API CommandResult TAVO_CALL cmPrintSubTotal(char* buffer, int32_t* length) {
    return RUN0(cmPrintSubTotal);
}
TAVO_API CommandResult TAVO_CALL cmPayment(int32_t code1, int32_t code2, int32_t code3, double amount1,
                                           double amount2, double amount3, char* buffer, int32_t* length) {
    return RUN(cmPayment, "iiiddd", code1, code2, code3, amount1, amount2, amount3);
}
TAVO_API CommandResult TAVO_CALL cmSetClientId(const char* buyerId, char* buffer, int32_t* length) {
    return RUN(cmSetClientId, "t", buyerId);
}
TAVO_API CommandResult TAVO_CALL cmReceiptCancel(const char* footer, char* buffer, int32_t* length) {
    return RUN(cmReceiptCancel, "t", footer);
}
TAVO_API CommandResult TAVO_CALL cmReceiptClose(const char* footer, char* buffer, int32_t* length) {
    return RUN(cmReceiptClose, "t", footer);
}
TAVO_API CommandResult TAVO_CALL cmInvoiceInfo(int32_t mode, int32_t slot, double receiptTotal,
                                               double vatTotal, char* buffer, int32_t* length) {
    return RUN(cmInvoiceInfo, "iidd", mode, slot, receiptTotal, vatTotal);
}
TAVO_API CommandResult TAVO_CALL cmReturnPackage(double quantity, const char* unit, double price,
                                                 const char* name, char* buffer, int32_t* length) {
    return RUN(cmReturnPackage, "dtdt", quantity, unit, price, name);
}
TAVO_API CommandResult TAVO_CALL cmSalePackage(double quantity, const char* unit, double price,
                                               const char* name, char* buffer, int32_t* length) {
    return RUN(cmSalePackage, "dtdt", quantity, unit, price, name);
}
TAVO_API CommandResult TAVO_CALL cmPackagePayment(int32_t zero, char* buffer, int32_t* length) {
    return RUN(cmPackagePayment, "i", zero);
}
TAVO_API CommandResult TAVO_CALL cmSalePackagePayment(int32_t zero, char* buffer, int32_t* length) {
    return RUN(cmSalePackagePayment, "i", zero);
}
TAVO_API CommandResult TAVO_CALL cmReceiveCash(double amount, char* buffer, int32_t* length) {
    return RUN(cmReceiveCash, "d", amount);
}
TAVO_API CommandResult TAVO_CALL cmPaidOut(double amount, char* buffer, int32_t* length) {
    return RUN(cmPaidOut, "d", amount);
}
TAVO_API CommandResult TAVO_CALL cmCashInDrawer(char* buffer, int32_t* length) {
    return RUN0(cmCashInDrawer);
}
TAVO_API CommandResult TAVO_CALL cmOpenDrawer(char* buffer, int32_t* length) {
    return RUN0(cmOpenDrawer);
}

/* ---- programming ---- */
TAVO_API CommandResult TAVO_CALL cmSetDate(int32_t day, int32_t month, int32_t year, char* buffer,
                                           int32_t* length) {
    return RUN(cmSetDate, "iii", day, month, year);
}
TAVO_API CommandResult TAVO_CALL cmSetTime(int32_t hour, int32_t minute, int32_t second, char* buffer,
                                           int32_t* length) {
    return RUN(cmSetTime, "iii", hour, minute, second);
}
TAVO_API CommandResult TAVO_CALL cmSetVatRate(int32_t rateA, int32_t rateB, int32_t rateC, int32_t rateD,
                                              int32_t rateE, int32_t rateF, int32_t rateG, int32_t rateH,
                                              int32_t rateI, const char* exemptLetter, char* buffer,
                                              int32_t* length) {
    return RUN(cmSetVatRate, "iiiiiiiiit", rateA, rateB, rateC, rateD, rateE, rateF, rateG, rateH, rateI,
               exemptLetter);
}
TAVO_API CommandResult TAVO_CALL cmSetHeadMessage(int32_t one, int32_t zero, const char* header, char* buffer,
                                                  int32_t* length) {
    return RUN(cmSetHeadMessage, "iit", one, zero, header);
}
TAVO_API CommandResult TAVO_CALL cmSetDepartName(const char* number, const char* name, const char* vatLetter,
                                                 char* buffer, int32_t* length) {
    return RUN(cmSetDepartName, "ttt", number, name, vatLetter);
}
TAVO_API CommandResult TAVO_CALL cmSetClerkPwd(int32_t clerk, const char* password, const char* name,
                                               char* buffer, int32_t* length) {
    return RUN(cmSetClerkPwd, "itt", clerk, password, name);
}
TAVO_API CommandResult TAVO_CALL cmClerkLogon(int32_t clerk, const char* password, char* buffer,
                                              int32_t* length) {
    return RUN(cmClerkLogon, "it", clerk, password);
}
TAVO_API CommandResult TAVO_CALL cmClerkLogout(char* buffer, int32_t* length) {
    return RUN0(cmClerkLogout);
}
TAVO_API CommandResult TAVO_CALL cmServiceLogon(const char* password, char* buffer, int32_t* length) {
    return RUN(cmServiceLogon, "t", password);
}
TAVO_API CommandResult TAVO_CALL cmSkipPswdLogon(const char* password, char* buffer, int32_t* length) {
    return RUN(cmSkipPswdLogon, "t", password);
}
TAVO_API CommandResult TAVO_CALL cmSetEcrNumber(int32_t ecrNumber, char* buffer, int32_t* length) {
    return RUN(cmSetEcrNumber, "i", ecrNumber);
}
TAVO_API CommandResult TAVO_CALL cmSetSysNum(const char* systemNumber, char* buffer, int32_t* length) {
    return RUN(cmSetSysNum, "t", systemNumber);
}
TAVO_API CommandResult TAVO_CALL cmSetMoney(int32_t year, int32_t month, int32_t day, int32_t hour,
                                            int32_t minute, const char* newCurrency, const char* rate1,
                                            const char* direction1, const char* secondCurrency,
                                            const char* rate2, const char* direction2, char* buffer,
                                            int32_t* length) {
    return RUN(cmSetMoney, "iiiiitttttt", year, month, day, hour, minute, newCurrency, rate1, direction1,
               secondCurrency, rate2, direction2);
}
TAVO_API CommandResult TAVO_CALL cmSetExChangeRate(const char* rate1, const char* direction1,
                                                   const char* rate2, const char* direction2, char* buffer,
                                                   int32_t* length) {
    return RUN(cmSetExChangeRate, "tttt", rate1, direction1, rate2, direction2);
}
TAVO_API CommandResult TAVO_CALL cmSetCurrencyName(const char* names, char* buffer, int32_t* length) {
    return RUN(cmSetCurrencyName, "t", names);
}
TAVO_API CommandResult TAVO_CALL cmSetPrinterSpeed(int32_t density, char* buffer, int32_t* length) {
    return RUN(cmSetPrinterSpeed, "i", density);
}
TAVO_API CommandResult TAVO_CALL cmSetParameter(const char* parameters, char* buffer, int32_t* length) {
    return RUN(cmSetParameter, "t", parameters);
}
TAVO_API CommandResult TAVO_CALL cmEcrSleepMode(char* buffer, int32_t* length) {
    return RUN0(cmEcrSleepMode);
}

#else /* STANDIN_SRV */

TAVO_API int32_t TAVO_CALL UpdateTavoProgram(uintptr_t ownerWindow, const char* portName, int32_t full) {
    logLink("UpdateTavoProgram", "uti", ownerWindow, portName, full);
    return full < 0 ? 1 : 0;
}

TAVO_API CommandResult TAVO_CALL cmSetID(const char* idCode, const char* idNumber, char* buffer,
                                         int32_t* length) {
    return RUN(cmSetID, "tt", idCode, idNumber);
}
TAVO_API CommandResult TAVO_CALL cmSetTaxID(const char* taxId, int32_t format, char* buffer,
                                            int32_t* length) {
    return RUN(cmSetTaxID, "ti", taxId, format);
}
TAVO_API CommandResult TAVO_CALL cmEnterFiscalMode(const char* idCode, const char* idNumber, char* buffer,
                                                   int32_t* length) {
    return RUN(cmEnterFiscalMode, "tt", idCode, idNumber);
}
TAVO_API CommandResult TAVO_CALL cmSRAMErase(int32_t day, int32_t month, int32_t year, int32_t hour,
                                             int32_t minute, int32_t second, char* buffer, int32_t* length) {
    return RUN(cmSRAMErase, "iiiiii", day, month, year, hour, minute, second);
}

#endif
