#include "Commands.h"

#include <array>
#include <string_view>

#include "Exec.h"

namespace vp {
namespace {

// clang-format off
constexpr std::array kTable{
    //          code  handler                        service noDoc  ramErr
    CommandEntry{"01", &Exec::setHeader,              false, true,  false},
    CommandEntry{"02", &Exec::setDepartment,          false, true,  false},
    CommandEntry{"03", &Exec::setVat,                 false, true,  false},
    CommandEntry{"04", &Exec::setDate,                false, true,  false},
    CommandEntry{"05", &Exec::setTime,                false, true,  false},
    CommandEntry{"06", &Exec::setClerk,               false, true,  false},
    CommandEntry{"07", &Exec::clerkLogon,             false, true,  false},
    CommandEntry{"08", &Exec::clerkLogout,            false, true,  true},
    CommandEntry{"09", &Exec::serviceLogon,           false, false, true},
    CommandEntry{"10", &Exec::readOnlyLogon,          false, true,  false},
    CommandEntry{"11", &Exec::setMoney,               false, true,  false},
    CommandEntry{"12", &Exec::sleepMode,              false, true,  true},
    CommandEntry{"13", &Exec::exchangeRate,           false, false, false},
    CommandEntry{"14", &Exec::fiscalStatus,           false, false, true},
    CommandEntry{"15", &Exec::uploadFiscalReport,     false, false, true},
    CommandEntry{"16", &Exec::setCurrencyName,        false, true,  false},
    CommandEntry{"17", &Exec::currencyChangeAnswer,   false, false, true},
    CommandEntry{"18", &Exec::setDensity,             false, false, false},
    CommandEntry{"19", &Exec::setParameters,          false, false, false},
    CommandEntry{"20", &Exec::setEcrNumber,           true,  true,  false},
    CommandEntry{"21", &Exec::memReportByNumber,      false, true,  true},
    CommandEntry{"22", &Exec::memReportByDate,        false, true,  true},
    CommandEntry{"23", &Exec::memReportMonthly,       false, true,  true},
    CommandEntry{"24", &Exec::setSystemNumber,        true,  false, false},
    CommandEntry{"30", &Exec::saleItem,               false, false, false},
    CommandEntry{"31", &Exec::cancelItem,             false, false, false},
    CommandEntry{"32", &Exec::discount,               false, false, false},
    CommandEntry{"33", &Exec::subtotal,               false, false, false},
    CommandEntry{"34", &Exec::payment,                false, false, false},
    CommandEntry{"35", &Exec::clientId,               false, false, false},
    CommandEntry{"36", &Exec::receiptCancel,          false, false, false},
    CommandEntry{"37", &Exec::receiptClose,           false, false, false},
    CommandEntry{"38", &Exec::returnPackage,          false, false, false},
    CommandEntry{"39", &Exec::salePackage,            false, false, false},
    CommandEntry{"40", &Exec::hardwareStatus,         false, false, true},
    CommandEntry{"41", &Exec::softwareStatus,         false, false, true},
    CommandEntry{"42", &Exec::returnPackagePayment,   false, false, false},
    CommandEntry{"43", &Exec::sramErase,              false, false, true},
    CommandEntry{"44", &Exec::sramDump,               false, false, true},
    CommandEntry{"45", &Exec::epromDump,              false, false, true},
    CommandEntry{"46", &Exec::salePackagePayment,     false, false, false},
    CommandEntry{"47", &Exec::printerStatus,          false, false, true},
    CommandEntry{"48", &Exec::romDump,                false, false, true},
    CommandEntry{"49", &Exec::cashIn,                 false, true,  false},
    CommandEntry{"50", &Exec::paidOut,                false, true,  false},
    CommandEntry{"51", &Exec::cashInDrawer,           false, false, false},
    CommandEntry{"52", &Exec::openDrawer,             false, false, false},
    CommandEntry{"60", &Exec::xReport,                false, true,  false},
    CommandEntry{"61", &Exec::zReport,                false, true,  false},
    CommandEntry{"62", &Exec::programReport,          false, true,  true},
    CommandEntry{"63", &Exec::postpone,               false, false, false},
    CommandEntry{"70", &Exec::setId,                  true,  false, false},
    CommandEntry{"71", &Exec::setTaxId,               true,  false, false},
    CommandEntry{"72", &Exec::enterFiscalMode,        true,  true,  false},
    CommandEntry{"89", &Exec::uploadPackages,         false, false, false},
    CommandEntry{"90", &Exec::uploadPlu,              false, false, false},
    CommandEntry{"91", &Exec::uploadRates,            false, false, true},
    CommandEntry{"92", &Exec::uploadDepartments,      false, false, false},
    CommandEntry{"93", &Exec::uploadHeader,           false, false, false},
};
// clang-format on

constexpr bool listed(std::string_view code) {
    for (const protocol::Command* c : protocol::kCommands)
        if (code == c->code)
            return true;
    return false;
}
constexpr bool inTable(std::string_view code) {
    int n = 0;
    for (const CommandEntry& e : kTable)
        n += code == e.code;
    return n == 1;
}
// The table and the catalogue know the same codes, and the table each once.
static_assert([] {
    for (const CommandEntry& e : kTable)
        if (!listed(e.code) || !inTable(e.code))
            return false;
    for (const protocol::Command* c : protocol::kCommands)
        if (!inTable(c->code))
            return false;
    return true;
}());

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
    return protocol::answerSize(code);
}

bool isKnownCode(const std::string& code) {
    return protocol::findCode(code) != nullptr;
}

} // namespace vp
