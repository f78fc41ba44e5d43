#include "Commands.h"

#include <array>

#include "Exec.h"

namespace vp {
namespace {

constexpr int kAck = kAckLength;
constexpr int kDump = 130;

// clang-format off
constexpr std::array kTable{
    //          code  handler                        answer  prints service noDoc  ramErr secret
    CommandEntry{"01", &Exec::setHeader,              kAck,   false, false,  true,  false, 0},
    CommandEntry{"02", &Exec::setDepartment,          kAck,   false, false,  true,  false, 0},
    CommandEntry{"03", &Exec::setVat,                 kAck,   true,  false,  true,  false, 0},
    CommandEntry{"04", &Exec::setDate,                kAck,   false, false,  true,  false, 0},
    CommandEntry{"05", &Exec::setTime,                kAck,   false, false,  true,  false, 0},
    CommandEntry{"06", &Exec::setClerk,               kAck,   false, false,  true,  false, 0b10},
    CommandEntry{"07", &Exec::clerkLogon,             kAck,   false, false,  true,  false, 0b10},
    CommandEntry{"08", &Exec::clerkLogout,            kAck,   false, false,  true,  true,  0},
    CommandEntry{"09", &Exec::serviceLogon,           kAck,   false, false,  false, true,  0b1},
    CommandEntry{"10", &Exec::readOnlyLogon,          kAck,   false, false,  true,  false, 0b1},
    CommandEntry{"11", &Exec::setMoney,               kAck,   false, false,  true,  false, 0},
    CommandEntry{"12", &Exec::sleepMode,              kAck,   false, false,  true,  true,  0},
    CommandEntry{"13", &Exec::exchangeRate,           51,     false, false,  false, false, 0},
    CommandEntry{"14", &Exec::fiscalStatus,           13,     false, false,  false, true,  0},
    CommandEntry{"15", &Exec::uploadFiscalReport,     kAck,   false, false,  false, true,  0},
    CommandEntry{"16", &Exec::setCurrencyName,        kAck,   false, false,  true,  false, 0},
    CommandEntry{"17", &Exec::currencyChangeAnswer,   43,     false, false,  false, true,  0},
    CommandEntry{"18", &Exec::setDensity,             kAck,   false, false,  false, false, 0},
    CommandEntry{"19", &Exec::setParameters,          kAck,   false, false,  false, false, 0},
    CommandEntry{"20", &Exec::setEcrNumber,           kAck,   false, true,   true,  false, 0},
    CommandEntry{"21", &Exec::memReportByNumber,      kAck,   true,  false,  true,  true,  0},
    CommandEntry{"22", &Exec::memReportByDate,        kAck,   true,  false,  true,  true,  0},
    CommandEntry{"23", &Exec::memReportMonthly,       kAck,   true,  false,  true,  true,  0},
    CommandEntry{"24", &Exec::setSystemNumber,        kAck,   false, true,   false, false, 0},
    CommandEntry{"30", &Exec::saleItem,               kAck,   true,  false,  false, false, 0},
    CommandEntry{"31", &Exec::cancelItem,             kAck,   true,  false,  false, false, 0},
    CommandEntry{"32", &Exec::discount,               kAck,   true,  false,  false, false, 0},
    CommandEntry{"33", &Exec::subtotal,               kAck,   true,  false,  false, false, 0},
    CommandEntry{"34", &Exec::payment,                kAck,   true,  false,  false, false, 0},
    CommandEntry{"35", &Exec::clientId,               kAck,   false, false,  false, false, 0},
    CommandEntry{"36", &Exec::receiptCancel,          kAck,   true,  false,  false, false, 0},
    CommandEntry{"37", &Exec::receiptClose,           kAck,   true,  false,  false, false, 0},
    CommandEntry{"38", &Exec::returnPackage,          kAck,   true,  false,  false, false, 0},
    CommandEntry{"39", &Exec::salePackage,            kAck,   true,  false,  false, false, 0},
    CommandEntry{"40", &Exec::hardwareStatus,         62,     false, false,  false, true,  0},
    CommandEntry{"41", &Exec::softwareStatus,         48,     false, false,  false, true,  0},
    CommandEntry{"42", &Exec::returnPackagePayment,   kAck,   true,  false,  false, false, 0},
    CommandEntry{"43", &Exec::sramErase,              kAck,   false, false,  false, true,  0},
    CommandEntry{"44", &Exec::sramDump,               kDump,  false, false,  false, true,  0},
    CommandEntry{"45", &Exec::epromDump,              kDump,  false, false,  false, true,  0},
    CommandEntry{"46", &Exec::salePackagePayment,     kAck,   true,  false,  false, false, 0},
    CommandEntry{"47", &Exec::printerStatus,          3,      false, false,  false, true,  0},
    CommandEntry{"48", &Exec::romDump,                kDump,  false, false,  false, true,  0},
    CommandEntry{"49", &Exec::cashIn,                 kAck,   true,  false,  true,  false, 0},
    CommandEntry{"50", &Exec::paidOut,                kAck,   true,  false,  true,  false, 0},
    CommandEntry{"51", &Exec::cashInDrawer,           kAck,   false, false,  false, false, 0},
    CommandEntry{"52", &Exec::openDrawer,             kAck,   true,  false,  false, false, 0},
    CommandEntry{"60", &Exec::xReport,                kAck,   true,  false,  true,  false, 0},
    CommandEntry{"61", &Exec::zReport,                kAck,   true,  false,  true,  false, 0},
    CommandEntry{"62", &Exec::programReport,          kAck,   true,  false,  true,  true,  0},
    CommandEntry{"63", &Exec::postpone,               kAck,   true,  false,  false, false, 0},
    CommandEntry{"70", &Exec::setId,                  kAck,   false, true,   false, false, 0},
    CommandEntry{"71", &Exec::setTaxId,               kAck,   false, true,   false, false, 0},
    CommandEntry{"72", &Exec::enterFiscalMode,        kAck,   true,  true,   true,  false, 0},
    CommandEntry{"89", &Exec::uploadPackages,         kAck,   false, false,  false, false, 0},
    CommandEntry{"90", &Exec::uploadPlu,              kAck,   false, false,  false, false, 0},
    CommandEntry{"91", &Exec::uploadRates,            39,     false, false,  false, true,  0},
    CommandEntry{"92", &Exec::uploadDepartments,      209,    false, false,  false, false, 0},
    CommandEntry{"93", &Exec::uploadHeader,           172,    false, false,  false, false, 0},
};
// clang-format on

} // namespace

std::span<const CommandEntry> commandTable() {
    return kTable;
}

const CommandEntry* findCommand(const std::string& code) {
    for (const auto& c : kTable)
        if (code == c.code)
            return &c;
    return nullptr;
}

int answerSize(const std::string& code) {
    const CommandEntry* c = findCommand(code);
    return c ? c->answerSize : kAckLength;
}

bool isKnownCode(const std::string& code) {
    return findCommand(code) != nullptr;
}

std::string traceText(const Request& request) {
    const CommandEntry* command = findCommand(request.code);
    std::string t = cp1250::toUtf8(request.code);
    for (size_t i = 0; i < request.fields.size(); ++i) {
        const bool secret = command && i < 32 && (command->secretMask >> i) & 1u;
        t += "|" + (secret ? std::string(request.fields[i].size(), '*') : cp1250::toUtf8(request.fields[i]));
    }
    return t;
}

} // namespace vp
