#pragma once
// Every command of the two device libraries, written once: the exported
// function, the printer's command code, the library the maker ships it in, the
// answer it gives, whether it prints, and its parameters in call order (a "*"
// marks a password, which no trace or recording may hold; a "=" a field the
// function fills in itself, which is no argument of the C function). The console's
// binding table, the virtual printer's exports and command table, the answer
// sizes and the decoders' dispatch all come from this list.
//
// Standard library only: both sides build on it.

#include "protocol/Layouts.h"

#include <span>
#include <string_view>
#include <vector>

namespace protocol {

enum class Library { User, Service };

// What a command answers: its size in bytes and, when known, its layout.
struct Answer {
    int size;
    const Layout* layout; // null: read byte by byte
};
namespace answer {
inline constexpr Answer Ack{protocol::Acknowledgement::layout.size, &protocol::Acknowledgement::layout};
inline constexpr Answer Hardware{protocol::HardwareStatus::layout.size, &protocol::HardwareStatus::layout};
inline constexpr Answer Software{protocol::SoftwareStatus::layout.size, &protocol::SoftwareStatus::layout};
inline constexpr Answer Printer{protocol::PrinterStatus::layout.size, &protocol::PrinterStatus::layout};
inline constexpr Answer Rates{protocol::TaxRates::layout.size, &protocol::TaxRates::layout};
inline constexpr Answer Departments{protocol::Departments::layout.size, &protocol::Departments::layout};
inline constexpr Answer Header{protocol::HeaderLines::layout.size, &protocol::HeaderLines::layout};
inline constexpr Answer Fiscal{protocol::FiscalStatus::layout.size, &protocol::FiscalStatus::layout};
inline constexpr Answer Exchange{protocol::ExchangeRate::layout.size, &protocol::ExchangeRate::layout};
inline constexpr Answer Change{protocol::CurrencyChange::layout.size, &protocol::CurrencyChange::layout};
inline constexpr Answer Dump{MemoryDump::kSize, nullptr};
} // namespace answer

struct Command {
    const char* function; // the exported C function
    const char* code;     // the printer's two-digit command code
    Library library;      // where the maker's libraries have it
    Answer answer;
    bool prints;
    const char* params; // comma-separated, call order; "*name" is a password, "=name" fixed
};

// X(function, code, library, answer, prints, params)
// clang-format off
#define PROTOCOL_COMMANDS(X) \
    X(cmSetID, "70", Service, Ack, false, "idCode,idNumber") \
    X(cmSetTaxID, "71", Service, Ack, false, "taxId,format") \
    X(cmEnterFiscalMode, "72", Service, Ack, true, "idCode,idNumber") \
    X(cmSRAMErase, "43", Service, Ack, false, "day,month,year,hour,minute,second") \
    X(cmXReport, "60", User, Ack, true, "printFlag") \
    X(cmZReport, "61", User, Ack, true, "") \
    X(cmPrnProgramReport, "62", User, Ack, true, "") \
    X(cmMemReportByZNo, "21", User, Ack, true, "kind,firstZ,lastZ") \
    X(cmMemReportByDate, "22", User, Ack, true, "kind,day1,month1,year1,day2,month2,year2") \
    X(cmMemReportMonthly, "23", User, Ack, true, "kind,month,year") \
    X(cmUploadFisRptByZNo, "15", User, Ack, false, "=range,kind,firstZ,lastZ") \
    X(cmUploadFisRptByDate, "15", User, Ack, false, "=range,kind,day1,month1,year1,day2,month2,year2") \
    X(cmUploadFisRptMonthly, "15", User, Ack, false, "=range,kind,month,year") \
    X(cmHardwareStatus, "40", User, Hardware, false, "") \
    X(cmSoftwareStatus, "41", User, Software, false, "") \
    X(cmPrinterStatus, "47", User, Printer, false, "") \
    X(cmUploadTaxRate, "91", User, Rates, false, "") \
    X(cmUploadDepartment, "92", User, Departments, false, "") \
    X(cmUploadHeadMessage, "93", User, Header, false, "") \
    X(cmUploadPlu, "90", User, Ack, false, "") \
    X(cmUploadPkg, "89", User, Ack, false, "clearFlag") \
    X(cmUploadFisStatus, "14", User, Fiscal, false, "") \
    X(cmUploadExchangeRate, "13", User, Exchange, false, "") \
    X(cmUploadCurrencyChange, "17", User, Change, false, "") \
    X(cmSRAMDump, "44", User, Dump, false, "address") \
    X(cmEPROMDump, "45", User, Dump, false, "address") \
    X(cmROMDump, "48", User, Dump, false, "address") \
    X(cmSaleItem, "30", User, Ack, true, "quantity,unit,price,taxGroup,name,returnPackageFlag,returnPackagePrice") \
    X(cmCancelItem, "31", User, Ack, true, "quantity,unit,price,taxGroup,name,returnPackageFlag,returnPackagePrice") \
    X(cmDiscount, "32", User, Ack, true, "discountType,value,isDiscount,byRate") \
    X(cmPrintSubTotal, "33", User, Ack, true, "") \
    X(cmPayment, "34", User, Ack, true, "code1,code2,code3,amount1,amount2,amount3") \
    X(cmSetClientId, "35", User, Ack, false, "buyerId") \
    X(cmReceiptCancel, "36", User, Ack, true, "footer") \
    X(cmReceiptClose, "37", User, Ack, true, "footer") \
    X(cmInvoiceInfo, "63", User, Ack, true, "mode,slot,receiptTotal,vatTotal") \
    X(cmReturnPackage, "38", User, Ack, true, "quantity,unit,price,name") \
    X(cmSalePackage, "39", User, Ack, true, "quantity,unit,price,name") \
    X(cmPackagePayment, "42", User, Ack, true, "zero") \
    X(cmSalePackagePayment, "46", User, Ack, true, "zero") \
    X(cmReceiveCash, "49", User, Ack, true, "amount") \
    X(cmPaidOut, "50", User, Ack, true, "amount") \
    X(cmCashInDrawer, "51", User, Ack, false, "") \
    X(cmOpenDrawer, "52", User, Ack, true, "") \
    X(cmSetDate, "04", User, Ack, false, "day,month,year") \
    X(cmSetTime, "05", User, Ack, false, "hour,minute,second") \
    X(cmSetVatRate, "03", User, Ack, true, "rateA,rateB,rateC,rateD,rateE,rateF,rateG,rateH,rateI,exemptLetter") \
    X(cmSetHeadMessage, "01", User, Ack, false, "one,zero,header") \
    X(cmSetDepartName, "02", User, Ack, false, "number,name,vatLetter") \
    X(cmSetClerkPwd, "06", User, Ack, false, "clerk,*password,name") \
    X(cmClerkLogon, "07", User, Ack, false, "clerk,*password") \
    X(cmClerkLogout, "08", User, Ack, false, "") \
    X(cmServiceLogon, "09", User, Ack, false, "*password") \
    X(cmSkipPswdLogon, "10", User, Ack, false, "*password") \
    X(cmSetEcrNumber, "20", User, Ack, false, "ecrNumber") \
    X(cmSetSysNum, "24", User, Ack, false, "systemNumber") \
    X(cmSetMoney, "11", User, Ack, false, "year,month,day,hour,minute,newCurrency,rate1,direction1,secondCurrency,rate2,direction2") \
    X(cmSetExChangeRate, "13", User, Exchange, false, "rate1,direction1,rate2,direction2") \
    X(cmSetCurrencyName, "16", User, Ack, false, "names") \
    X(cmSetPrinterSpeed, "18", User, Ack, false, "density") \
    X(cmSetParameter, "19", User, Ack, false, "parameters") \
    X(cmEcrSleepMode, "12", User, Ack, false, "")
// clang-format on

namespace cmd {
#define PROTOCOL_COMMAND_ENTRY(fn, code, lib, ans, prints, params)                                           \
    inline constexpr Command fn{#fn, code, Library::lib, answer::ans, prints, params};
PROTOCOL_COMMANDS(PROTOCOL_COMMAND_ENTRY)
#undef PROTOCOL_COMMAND_ENTRY
} // namespace cmd

// Every command, in the order of the list above.
inline constexpr const Command* kCommands[] = {
#define PROTOCOL_COMMAND_POINTER(fn, code, lib, ans, prints, params) &cmd::fn,
    PROTOCOL_COMMANDS(PROTOCOL_COMMAND_POINTER)
#undef PROTOCOL_COMMAND_POINTER
};

// The C interface's functions that are no command of the printer: the link,
// the raw command line, the firmware update and the virtual printer's own
// extensions, each with its parameters in call order (as for a command).
struct LinkFunction {
    const char* name;
    const char* params;
};
inline constexpr LinkFunction kLinkFunctions[] = {
    {"OpenTavo", "portName,baud"},
    {"CloseTavo", ""},
    {"isCommandExecuting", ""},
    {"AbortTavo", ""},
    {"GetReturnBufLength", "commandCode"},
    {"ExecCommand", "commandLine"},
    {"UpdateTavoProgram", "ownerWindow,portName,full"},
    {"TavoSetFault", "key,value"},
    {"TavoGetFault", "key"},
    {"TavoSetClock", "dateTime"},
    {"TavoGetClock", ""},
};

const Command* findFunction(std::string_view function);
// The first command of that code (codes 13 and 15 belong to several functions,
// which answer alike).
const Command* findCode(std::string_view code);
// The size of the largest answer the code gives; the acknowledgement's for an
// unknown code.
int answerSize(std::string_view code);
// The layout of the code's answer; null for a dump or an unknown code.
const Layout* answerLayout(std::string_view code);
// True when the code's commands print.
bool codePrints(std::string_view code);

// The parameters of a command, one at a time.
struct Param {
    std::string_view name;
    bool secret = false;
    bool fixed = false; // filled in by the function: no argument of the C function
};
// Parameter i of the command; an empty name past the last.
Param param(const Command& command, int index);
int paramCount(const Command& command);
// Bit i set when parameter i of any command of that code is a password.
unsigned secretMask(std::string_view code);

// The names of a function's C arguments, in call order (the buffer and length
// of a two-call read excluded): a command's parameters less those it fills in
// itself, or a link function's; empty for a function the interface lacks.
std::vector<std::string_view> argumentNames(std::string_view function);
// A command of the catalogue or a link function.
bool knownFunction(std::string_view function);

} // namespace protocol
