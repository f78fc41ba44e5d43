#pragma once
// The byte layout of every answer the printer gives and of every record of the
// data files its uploads leave behind, written once. The console reads answers
// through these fields and the virtual printer writes them through the same
// fields, so the two cannot disagree. Offsets count from 0; a record block
// repeats its fields every recordSize bytes from recordsAt.
//
// Standard library only: both sides build on it.

#include <span>
#include <string_view>

namespace protocol {

// How a field's bytes are read; the value a tooltip or a comparison shows.
enum class Kind {
    Text,      // code page 1250 text, blank padded
    Digits,    // decimal digits
    Flag,      // one character, '0' or '1'
    Char,      // one character of meaning given by the field
    Raw,       // bytes shown in hexadecimal
    BigEndian, // unsigned big-endian integer
    Bcd,       // one byte, two decimal digits
};

struct Field {
    int offset;
    int width;
    const char* name;    // the identifier the code uses
    const char* meaning; // what a person reading the answer needs to know
    Kind kind = Kind::Text;
    bool isVolatile = false; // changes by nature between two runs (clock, numbers)
    constexpr int end() const { return offset + width; }
};

struct Layout {
    const char* name;
    int size;                      // bytes of the whole answer, or of one record
    const char* prefix;            // what a good answer starts with; "" for records
    std::span<const Field> fields; // in order of offset, covering every byte
    // A repeated block inside the answer: `records` of `recordSize` bytes from
    // recordsAt; `recordFields` are relative to the record's first byte.
    int recordsAt = 0;
    int recordSize = 0;
    int records = 0;
    std::span<const Field> recordFields = {};
};

// The field that covers byte `offset` of an answer of this layout, with the
// record index (or -1 outside a record block); null past the layout.
struct FieldAt {
    const Field* field = nullptr;
    int record = -1;
    int offset = 0; // the field's absolute offset in the answer
};
FieldAt fieldAt(const Layout& layout, int offset);

// Field `f` of the layout's record `record` (counting from 0), at its absolute
// offset in the answer: how a reader walks a record block field by field.
constexpr Field recordField(const Layout& layout, int record, const Field& f) {
    Field at = f;
    at.offset = layout.recordsAt + record * layout.recordSize + f.offset;
    return at;
}

// True when the fields lie in order without gap or overlap from `from` to `to`.
constexpr bool tiles(std::span<const Field> fields, int from, int to) {
    int at = from;
    for (const Field& f : fields) {
        if (f.offset != at || f.width <= 0)
            return false;
        at = f.end();
    }
    return at == to;
}

// ---- code 40, hardware status, 62 bytes ----
namespace HardwareStatus {
inline constexpr Field Prefix{0, 2, "Prefix", "O0", Kind::Text};
inline constexpr Field IdCode{2, 3, "IdCode", "ID code, 0xFF when unset"};
inline constexpr Field IdNumber{5, 8, "IdNumber", "ID number, 0xFF when unset"};
inline constexpr Field TaxId{13, 10, "TaxId", "tax ID (NIP), 0xFF when unset"};
inline constexpr Field IdFormat{23, 2, "IdFormat", "tax ID grouping, two raw bytes", Kind::Raw};
inline constexpr Field OperationMode{25, 1, "OperationMode", "0 fiscal, 1 training", Kind::Char};
inline constexpr Field FiscalMemFull{26, 1, "FiscalMemFull", "1: fiscal memory full", Kind::Flag};
inline constexpr Field Battery{27, 1, "Battery", "0 low, 1 normal", Kind::Char};
inline constexpr Field ResetPin{28, 1, "ResetPin", "0 opened, 1 shorted", Kind::Char};
inline constexpr Field SaleReceipt{29, 1, "SaleReceipt", "1: sales receipt opened", Kind::Flag};
inline constexpr Field TestMemory{30, 1, "TestMemory", "1: test memory check", Kind::Flag};
inline constexpr Field ZReportBlocked{31, 1, "ZReportBlocked", "1: Z report blocked", Kind::Flag};
inline constexpr Field LastZ{32, 4, "LastZ", "number of the last Z report", Kind::Digits};
inline constexpr Field FreeZ{36, 4, "FreeZ", "Z reports the fiscal memory still takes", Kind::Digits};
inline constexpr Field ReceiptNo{40, 6, "ReceiptNo", "last receipt number", Kind::Digits, true};
inline constexpr Field RamResets{46, 4, "RamResets", "RAM resets so far", Kind::Digits};
inline constexpr Field VatChanges{50, 3, "VatChanges", "VAT rate changes so far", Kind::Digits};
inline constexpr Field CurrencyChanges{53, 3, "CurrencyChanges", "currency changes so far", Kind::Digits};
inline constexpr Field RecordsDamaged{56, 1, "RecordsDamaged", "1: records may be damaged", Kind::Flag};
inline constexpr Field RamCheck{57, 1, "RamCheck", "0: RAM check OK", Kind::Flag};
inline constexpr Field FlashCheck{58, 1, "FlashCheck", "1: flash check OK", Kind::Flag};
inline constexpr Field FiscalMemCheck{59, 1, "FiscalMemCheck", "0: fiscal memory check OK", Kind::Flag};
inline constexpr Field BatteryUnits{60, 1, "BatteryUnits", "battery voltage, units", Kind::Char};
inline constexpr Field BatteryTenths{61, 1, "BatteryTenths", "battery voltage, tenths", Kind::Char};
inline constexpr Field fields[] = {
    Prefix,         IdCode,   IdNumber,   TaxId,          IdFormat,     OperationMode,
    FiscalMemFull,  Battery,  ResetPin,   SaleReceipt,    TestMemory,   ZReportBlocked,
    LastZ,          FreeZ,    ReceiptNo,  RamResets,      VatChanges,   CurrencyChanges,
    RecordsDamaged, RamCheck, FlashCheck, FiscalMemCheck, BatteryUnits, BatteryTenths};
inline constexpr Layout layout{"HardwareStatus", 62, "O0", fields};
} // namespace HardwareStatus

// ---- code 41, software status, 48 bytes ----
namespace SoftwareStatus {
inline constexpr Field Prefix{0, 2, "Prefix", "O0"};
inline constexpr Field Day{2, 2, "Day", "date, day", Kind::Digits, true};
inline constexpr Field Month{4, 2, "Month", "date, month", Kind::Digits, true};
inline constexpr Field Year{6, 4, "Year", "date, year", Kind::Digits, true};
inline constexpr Field Hours{10, 2, "Hours", "time, hours", Kind::Digits, true};
inline constexpr Field Minutes{12, 2, "Minutes", "time, minutes", Kind::Digits, true};
inline constexpr Field Seconds{14, 2, "Seconds", "time, seconds", Kind::Digits, true};
inline constexpr Field ReceiptNo{16, 6, "ReceiptNo", "number of the next receipt", Kind::Digits, true};
inline constexpr Field Subtotal{22, 12, "Subtotal", "sub-total of the open receipt, grosz", Kind::Digits};
inline constexpr Field ReceiptNotClosed{34, 1, "ReceiptNotClosed", "1: sales receipt not closed", Kind::Flag};
inline constexpr Field PaymentStarted{35, 1, "PaymentStarted", "1: payment started", Kind::Flag};
inline constexpr Field ServiceMode{36, 1, "ServiceMode", "1: service mode", Kind::Flag};
inline constexpr Field FiscalMode{37, 1, "FiscalMode", "1: fiscal mode", Kind::Flag};
inline constexpr Field SuperMode{38, 1, "SuperMode", "1: super (read-only) mode", Kind::Flag};
inline constexpr Field ZReportNeeded{39, 1, "ZReportNeeded", "1: programming needs a Z report", Kind::Flag};
inline constexpr Field PrintBuffer{40, 3, "PrintBuffer", "print buffer left", Kind::Digits};
inline constexpr Field Version{43, 4, "Version", "software version"};
inline constexpr Field RamChecksum{47, 1, "RamChecksum", "1: RAM checksum error", Kind::Flag};
inline constexpr Field fields[] = {Prefix,         Day,         Month,      Year,      Hours,
                                   Minutes,        Seconds,     ReceiptNo,  Subtotal,  ReceiptNotClosed,
                                   PaymentStarted, ServiceMode, FiscalMode, SuperMode, ZReportNeeded,
                                   PrintBuffer,    Version,     RamChecksum};
inline constexpr Layout layout{"SoftwareStatus", 48, "O0", fields};
} // namespace SoftwareStatus

// ---- code 47, printer status, 3 bytes ----
namespace PrinterStatus {
inline constexpr Field Prefix{0, 2, "Prefix", "P0"};
inline constexpr Field State{2, 1, "State", "0 ready, 2 paper out, 6 offline (0 to 6)", Kind::Char};
inline constexpr Field fields[] = {Prefix, State};
inline constexpr Layout layout{"PrinterStatus", 3, "P0", fields};
} // namespace PrinterStatus

// ---- code 91, tax-rate upload, 39 bytes ----
namespace TaxRates {
inline constexpr Field Prefix{0, 2, "Prefix", "O0"};
inline constexpr Field RateA{2, 4, "RateA", "rate of A, hundredths of a per cent", Kind::Digits};
inline constexpr Field RateB{6, 4, "RateB", "rate of B, hundredths of a per cent", Kind::Digits};
inline constexpr Field RateC{10, 4, "RateC", "rate of C, hundredths of a per cent", Kind::Digits};
inline constexpr Field RateD{14, 4, "RateD", "rate of D, hundredths of a per cent", Kind::Digits};
inline constexpr Field RateE{18, 4, "RateE", "rate of E, hundredths of a per cent", Kind::Digits};
inline constexpr Field RateF{22, 4, "RateF", "rate of F, hundredths of a per cent", Kind::Digits};
inline constexpr Field RateG{26, 4, "RateG", "rate of G, hundredths of a per cent", Kind::Digits};
inline constexpr Field RateH{30, 4, "RateH", "rate of H, hundredths of a per cent", Kind::Digits};
inline constexpr Field RateI{34, 4, "RateI", "rate of I, hundredths of a per cent", Kind::Digits};
inline constexpr Field ExemptLetter{38, 1, "ExemptLetter", "letter of the exempt rate, 0xFF none",
                                    Kind::Char};
inline constexpr Field rates[9] = {RateA, RateB, RateC, RateD, RateE, RateF, RateG, RateH, RateI};
inline constexpr Field fields[] = {Prefix, RateA, RateB, RateC, RateD,       RateE,
                                   RateF,  RateG, RateH, RateI, ExemptLetter};
inline constexpr Layout layout{"TaxRates", 39, "O0", fields};
} // namespace TaxRates

// ---- code 92, department upload, 209 bytes: nine records of 23 ----
namespace Departments {
inline constexpr Field Prefix{0, 2, "Prefix", "O0"};
inline constexpr Field Records{2, 207, "Records", "nine departments", Kind::Raw};
inline constexpr Field Number{0, 2, "Number", "department number", Kind::Digits};
inline constexpr Field Letter{2, 1, "Letter", "tax letter, 0xFF when unset", Kind::Char};
inline constexpr Field Name{3, 20, "Name", "department name, 0xFF when unset"};
inline constexpr Field fields[] = {Prefix, Records};
inline constexpr Field recordFields[] = {Number, Letter, Name};
inline constexpr Layout layout{"Departments", 209, "O0", fields, 2, 23, 9, recordFields};
} // namespace Departments

// ---- code 93, header-line upload, 172 bytes: five records of 34 ----
namespace HeaderLines {
inline constexpr Field Prefix{0, 2, "Prefix", "O0"};
inline constexpr Field Records{2, 170, "Records", "five header lines", Kind::Raw};
inline constexpr Field Line{0, 1, "Line", "line number 1 to 5", Kind::Char};
inline constexpr Field Flag{1, 1, "Flag", "0", Kind::Char};
inline constexpr Field Text{2, 32, "Text", "header line, 0xFF when unset"};
inline constexpr Field fields[] = {Prefix, Records};
inline constexpr Field recordFields[] = {Line, Flag, Text};
inline constexpr Layout layout{"HeaderLines", 172, "O0", fields, 2, 34, 5, recordFields};
} // namespace HeaderLines

// ---- the acknowledgement every other command answers, 22 bytes ----
namespace Acknowledgement {
inline constexpr Field Prefix{0, 2, "Prefix", "O0"};
inline constexpr Field Code{2, 2, "Code", "the command's code", Kind::Digits};
inline constexpr Field DocumentNo{4, 6, "DocumentNo", "document number", Kind::Digits, true};
inline constexpr Field Value{10, 12, "Value", "the command's value (records, grosz)", Kind::Digits};
inline constexpr Field fields[] = {Prefix, Code, DocumentNo, Value};
inline constexpr Layout layout{"Acknowledgement", 22, "O0", fields};
} // namespace Acknowledgement

// ---- code 13, exchange rates and amount due, 51 bytes ----
namespace ExchangeRate {
inline constexpr Field Prefix{0, 2, "Prefix", "O0"};
inline constexpr Field SaleCode{2, 3, "SaleCode", "currency of sale"};
inline constexpr Field FirstCode{5, 3, "FirstCode", "first foreign currency"};
inline constexpr Field FirstRate{8, 14, "FirstRate", "first rate, decimal comma"};
inline constexpr Field FirstMode{22, 1, "FirstMode", "first rate's direction A or B", Kind::Char};
inline constexpr Field SecondCode{23, 3, "SecondCode", "second foreign currency"};
inline constexpr Field SecondRate{26, 14, "SecondRate", "second rate, decimal comma"};
inline constexpr Field SecondMode{40, 1, "SecondMode", "second rate's direction A or B", Kind::Char};
inline constexpr Field AmountDue{41, 10, "AmountDue", "amount due of the open receipt, grosz", Kind::Digits};
inline constexpr Field fields[] = {Prefix,     SaleCode,   FirstCode,  FirstRate, FirstMode,
                                   SecondCode, SecondRate, SecondMode, AmountDue};
inline constexpr Layout layout{"ExchangeRate", 51, "O0", fields};
} // namespace ExchangeRate

// ---- code 14, fiscalisation status, 13 bytes ----
namespace FiscalStatus {
inline constexpr Field Prefix{0, 2, "Prefix", "O0"};
inline constexpr Field MayFiscalise{2, 1, "MayFiscalise", "1: fiscal mode may be entered", Kind::Flag};
inline constexpr Field Fiscal{3, 1, "Fiscal", "1: fiscal mode", Kind::Flag};
inline constexpr Field IdSet{4, 1, "IdSet", "1: ID written", Kind::Flag};
inline constexpr Field TaxIdSet{5, 1, "TaxIdSet", "1: tax ID written", Kind::Flag};
inline constexpr Field RatesSet{6, 1, "RatesSet", "1: VAT rates programmed", Kind::Flag};
inline constexpr Field HeaderSet{7, 1, "HeaderSet", "1: header programmed", Kind::Flag};
inline constexpr Field ServiceMode{8, 1, "ServiceMode", "1: service mode", Kind::Flag};
inline constexpr Field ZCount{9, 4, "ZCount", "Z reports in the fiscal memory", Kind::Digits};
inline constexpr Field fields[] = {Prefix,   MayFiscalise, Fiscal,      IdSet, TaxIdSet,
                                   RatesSet, HeaderSet,    ServiceMode, ZCount};
inline constexpr Layout layout{"FiscalStatus", 13, "O0", fields};
} // namespace FiscalStatus

// ---- code 17, the programmed currency change, 43 bytes ----
namespace CurrencyChange {
inline constexpr Field Prefix{0, 2, "Prefix", "O0"};
inline constexpr Field Year{2, 1, "Year", "moment of change, year of century", Kind::Bcd};
inline constexpr Field Month{3, 1, "Month", "moment of change, month", Kind::Bcd};
inline constexpr Field Day{4, 1, "Day", "moment of change, day", Kind::Bcd};
inline constexpr Field Hour{5, 1, "Hour", "moment of change, hour", Kind::Bcd};
inline constexpr Field Minute{6, 1, "Minute", "moment of change, minute", Kind::Bcd};
inline constexpr Field NewCode{7, 3, "NewCode", "currency of sale after the change"};
inline constexpr Field FirstRate{10, 14, "FirstRate", "rate of the former currency, decimal comma"};
inline constexpr Field FirstMode{24, 1, "FirstMode", "its direction A or B", Kind::Char};
inline constexpr Field SecondCode{25, 3, "SecondCode", "second foreign currency"};
inline constexpr Field SecondRate{28, 14, "SecondRate", "second rate, decimal comma"};
inline constexpr Field SecondMode{42, 1, "SecondMode", "its direction A or B, N none", Kind::Char};
inline constexpr Field fields[] = {Prefix,  Year,      Month,     Day,        Hour,       Minute,
                                   NewCode, FirstRate, FirstMode, SecondCode, SecondRate, SecondMode};
inline constexpr Layout layout{"CurrencyChange", 43, "O0", fields};
} // namespace CurrencyChange

// ---- codes 44, 45, 48, memory dumps: 130 bytes read byte by byte ----
namespace MemoryDump {
inline constexpr int kSize = 130;
}

// ---- data-file records ----
inline constexpr char kPluFile[] = "_Plu.mem";
inline constexpr char kFiscalReportFile[] = "_FisRpt.mem";
inline constexpr char kReturnPackageFile[] = "_RtnPkg.mem";

// "_Plu.mem", 64 bytes per article
namespace PluRecord {
inline constexpr Field Name{0, 40, "Name", "article name"};
inline constexpr Field Price{40, 2, "Price", "price, grosz, 0xFFFF empty", Kind::BigEndian};
inline constexpr Field VatRate{42, 2, "VatRate", "VAT rate, hundredths of a per cent, 10000 exempt",
                               Kind::BigEndian};
inline constexpr Field Group{44, 2, "Group", "tax group times 100", Kind::BigEndian};
inline constexpr Field SoldQuantity{46, 2, "SoldQuantity", "sold quantity, hundredths", Kind::BigEndian};
inline constexpr Field SoldValue{48, 2, "SoldValue", "sold value, grosz, at most 655.34", Kind::BigEndian};
inline constexpr Field Spare{50, 2, "Spare", "unused, 0xFFFF", Kind::BigEndian};
inline constexpr Field Reserved{52, 12, "Reserved", "zeros", Kind::Raw};
inline constexpr Field values[6] = {Price, VatRate, Group, SoldQuantity, SoldValue, Spare};
inline constexpr Field fields[] = {Name, Price, VatRate, Group, SoldQuantity, SoldValue, Spare, Reserved};
inline constexpr Layout layout{"PluRecord", 64, "", fields};
} // namespace PluRecord

// "_FisRpt.mem", 32 bytes per line of the report
namespace FiscalReportRecord {
inline constexpr Field Line{0, 32, "Line", "one line of text up to the first zero byte"};
inline constexpr Field fields[] = {Line};
inline constexpr Layout layout{"FiscalReportRecord", 32, "", fields};
} // namespace FiscalReportRecord

// "_RtnPkg.mem", 66 bytes per returnable package
namespace PackageRecord {
inline constexpr Field Name{0, 40, "Name", "package name"};
inline constexpr Field Price{40, 6, "Price", "price, grosz", Kind::BigEndian};
inline constexpr Field ReturnedQuantity{46, 4, "ReturnedQuantity", "returned quantity, thousandths",
                                        Kind::BigEndian};
inline constexpr Field ReturnedValue{50, 6, "ReturnedValue", "returned value, grosz", Kind::BigEndian};
inline constexpr Field SoldQuantity{56, 4, "SoldQuantity", "sold quantity, thousandths", Kind::BigEndian};
inline constexpr Field SoldValue{60, 6, "SoldValue", "sold value, grosz", Kind::BigEndian};
// The numeric fields with the divisor that turns them into the shown value.
struct Value {
    Field field;
    int divisor;
};
inline constexpr Value values[5] = {
    {Price, 100}, {ReturnedQuantity, 1000}, {ReturnedValue, 100}, {SoldQuantity, 1000}, {SoldValue, 100}};
inline constexpr Field fields[] = {Name, Price, ReturnedQuantity, ReturnedValue, SoldQuantity, SoldValue};
inline constexpr Layout layout{"PackageRecord", 66, "", fields};
} // namespace PackageRecord

// Every layout, for the tools that walk them all (checks, fuzzers, documentation).
inline constexpr const Layout* kLayouts[] = {
    &HardwareStatus::layout, &SoftwareStatus::layout, &PrinterStatus::layout,   &TaxRates::layout,
    &Departments::layout,    &HeaderLines::layout,    &Acknowledgement::layout, &ExchangeRate::layout,
    &FiscalStatus::layout,   &CurrencyChange::layout, &PluRecord::layout,       &FiscalReportRecord::layout,
    &PackageRecord::layout};

const Layout* findLayout(std::string_view name);

// Every layout covers each of its bytes exactly once.
constexpr bool wellFormed(const Layout& l) {
    if (!tiles(l.fields, 0, l.size))
        return false;
    if (l.records == 0)
        return true;
    return tiles(l.recordFields, 0, l.recordSize) && l.recordsAt + l.records * l.recordSize <= l.size;
}
static_assert([] {
    for (const Layout* l : kLayouts)
        if (!wellFormed(*l))
            return false;
    return true;
}());

} // namespace protocol
