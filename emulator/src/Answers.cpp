// Answers that report state: statuses, uploads of programming and of the
// article and package records.
#include <QDateTime>

#include <algorithm>

#include "AnswerWriter.h"
#include "Exec.h"
#include "protocol/Layouts.h"

namespace vp {

namespace {

namespace P = protocol;

QDateTime wall(int64_t secs) {
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
}

// A value of a 16-bit record field: the largest, 0xFFFF, means "empty".
uint64_t u16(int64_t v) {
    return static_cast<uint64_t>(std::clamp<int64_t>(v, 0, 0xFFFE));
}

// A text field, or 0xFF over it when the printer holds none.
void putOrUnset(FieldWriter& w, const P::Field& f, const std::string& text, bool set) {
    if (set)
        w.put(f, text);
    else
        w.unset(f);
}

} // namespace

void Exec::hardwareStatus() {
    namespace H = P::HardwareStatus;
    AnswerWriter a(H::layout);
    putOrUnset(a, H::IdCode, s.idCode, !s.idCode.empty());
    putOrUnset(a, H::IdNumber, s.idNumber, !s.idNumber.empty());
    putOrUnset(a, H::TaxId, s.taxId, !s.taxId.empty());
    a.putBig(H::IdFormat, static_cast<uint64_t>(s.taxIdFormat) & 0xFFFF);
    a.putChar(H::OperationMode, s.fiscal ? '0' : '1');
    a.putFlag(H::FiscalMemFull, fm_.full());
    a.putChar(H::Battery, f_.lowBattery ? '0' : '1');
    a.putChar(H::ResetPin, f_.resetPinShorted ? '1' : '0');
    a.putFlag(H::SaleReceipt, s.receipt.open);
    a.putFlag(H::TestMemory, false);
    a.putFlag(H::ZReportBlocked, zReportDue());
    a.putDigits(H::LastZ, fm_.zCount());
    a.putDigits(H::FreeZ, std::max<int64_t>(0, fm_.capacity() - fm_.zCount()));
    a.putDigits(H::ReceiptNo, s.receiptNo);
    a.putDigits(H::RamResets, s.ramResets);
    a.putDigits(H::VatChanges, s.vatChanges);
    a.putDigits(H::CurrencyChanges, s.currencyChanges);
    a.putFlag(H::RecordsDamaged, fm_.damaged());
    a.putFlag(H::RamCheck, s.ramError);
    a.putFlag(H::FlashCheck, true);
    a.putFlag(H::FiscalMemCheck, fm_.damaged());
    a.putChar(H::BatteryUnits, f_.lowBattery ? '2' : '3');
    a.putChar(H::BatteryTenths, f_.lowBattery ? '4' : '1');
    o_.answer = a.finish();
}

void Exec::softwareStatus() {
    namespace S = P::SoftwareStatus;
    const QDateTime t = wall(now_);
    AnswerWriter a(S::layout);
    a.putDigits(S::Day, t.date().day());
    a.putDigits(S::Month, t.date().month());
    a.putDigits(S::Year, t.date().year());
    a.putDigits(S::Hours, t.time().hour());
    a.putDigits(S::Minutes, t.time().minute());
    a.putDigits(S::Seconds, t.time().second());
    a.putDigits(S::ReceiptNo, s.receiptNo + 1);
    a.putDigits(S::Subtotal, s.receipt.open ? receiptTotal(s.receipt) : 0);
    a.putFlag(S::ReceiptNotClosed, s.receipt.open);
    a.putFlag(S::PaymentStarted, s.receipt.open && !s.receipt.payments.empty());
    a.putFlag(S::ServiceMode, s.serviceMode);
    a.putFlag(S::FiscalMode, s.fiscal);
    a.putFlag(S::SuperMode, s.readOnlyMode);
    a.putFlag(S::ZReportNeeded, s.day.hasSales());
    a.putDigits(S::PrintBuffer, f_.paperOut || f_.offline ? 0 : 100);
    a.put(S::Version, s.softwareVersion);
    a.putFlag(S::RamChecksum, s.ramError);
    o_.answer = a.finish();
}

void Exec::printerStatus() {
    AnswerWriter a(P::PrinterStatus::layout);
    a.putChar(P::PrinterStatus::State, f_.offline ? '6' : f_.paperOut ? '2' : '0');
    o_.answer = a.finish();
}

void Exec::uploadRates() {
    namespace T = P::TaxRates;
    AnswerWriter a(T::layout);
    for (size_t i = 0; i < s.rates.size() && i < std::size(T::rates); ++i)
        a.putDigits(T::rates[i], s.rates[i]);
    putOrUnset(a, T::ExemptLetter, s.exemptLetter, !s.exemptLetter.empty());
    o_.answer = a.finish();
}

void Exec::uploadDepartments() {
    namespace D = P::Departments;
    AnswerWriter a(D::layout);
    for (size_t i = 0; i < static_cast<size_t>(D::layout.records); ++i) {
        FieldWriter r = a.record(static_cast<int>(i));
        r.putDigits(D::Number, static_cast<int64_t>(i) + 1);
        const bool set = i < s.departmentSet.size() && s.departmentSet[i];
        putOrUnset(r, D::Letter, set ? s.departments[i].letter : std::string(), set);
        putOrUnset(r, D::Name, set ? cp1250::fromUtf8(s.departments[i].name) : std::string(), set);
    }
    o_.answer = a.finish();
}

void Exec::uploadHeader() {
    namespace L = P::HeaderLines;
    AnswerWriter a(L::layout);
    for (size_t i = 0; i < static_cast<size_t>(L::layout.records); ++i) {
        FieldWriter r = a.record(static_cast<int>(i));
        r.putChar(L::Line, static_cast<char>('1' + i));
        r.putChar(L::Flag, '0');
        const bool set = i < s.headerSet.size() && s.headerSet[i];
        putOrUnset(r, L::Text, set ? cp1250::fromUtf8(s.header[i]) : std::string(), set);
    }
    o_.answer = a.finish();
}

void Exec::uploadPlu() {
    namespace R = P::PluRecord;
    std::string bytes;
    int64_t count = 0;
    articles_.forEach([&](const Article& p) {
        ++count;
        AnswerWriter rec(R::layout);
        rec.put(R::Name, cp1250::fromUtf8(p.name));
        rec.putBig(R::Price, u16(std::min<Grosze>(p.price, 65534)));
        if (p.group >= 1 && p.group <= static_cast<int>(s.rates.size())) {
            rec.putBig(R::VatRate, u16(exemptGroup(p.group) ? 10000 : s.rates[p.group - 1]));
            rec.putBig(R::Group, u16(p.group * 100));
        } else { // a row of a base edited by hand: no group, no rate
            rec.putBig(R::VatRate, 0xFFFF);
            rec.putBig(R::Group, 0xFFFF);
        }
        rec.putBig(R::SoldQuantity, u16(std::min<int64_t>(roundDiv(p.soldMilli, 10), 65534)));
        rec.putBig(R::SoldValue, u16(std::min<Grosze>(p.soldValue, 65534))); // grosze, as the price
        rec.putBig(R::Spare, 0xFFFF);
        rec.put(R::Reserved, ""); // zero bytes
        bytes += rec.finish();
    });
    o_.file = DataFile{P::kPluFile, bytes};
    ack(count);
}

void Exec::uploadPackages() {
    needFields(1);
    const std::string flag = raw(0);
    if (flag != "0" && flag != "1")
        refuse(26);
    namespace K = P::PackageRecord;
    std::string bytes;
    for (const auto& p : s.packages) {
        AnswerWriter rec(K::layout);
        rec.put(K::Name, cp1250::fromUtf8(p.name));
        rec.putBig(K::Price, static_cast<uint64_t>(p.price));
        rec.putBig(K::ReturnedQuantity, static_cast<uint64_t>(p.returnedMilli));
        rec.putBig(K::ReturnedValue, static_cast<uint64_t>(p.returnedValue));
        rec.putBig(K::SoldQuantity, static_cast<uint64_t>(p.soldMilli));
        rec.putBig(K::SoldValue, static_cast<uint64_t>(p.soldValue));
        bytes += rec.finish();
    }
    o_.file = DataFile{P::kReturnPackageFile, bytes};
    ack(static_cast<int64_t>(s.packages.size()));
    if (flag == "1" && !s.packages.empty()) {
        if (!s.packageLines.empty())
            refuse(5);
        s.packages.clear();
        changed();
    }
}

void Exec::fiscalStatus() {
    namespace F = P::FiscalStatus;
    const bool may = !s.fiscal && !s.idCode.empty() && !s.taxId.empty() && s.ratesSet && s.serviceMode &&
                     !s.day.hasSales() && !s.receipt.open && !fm_.full();
    bool header = false;
    for (bool h : s.headerSet)
        header = header || h;
    AnswerWriter a(F::layout);
    a.putFlag(F::MayFiscalise, may);
    a.putFlag(F::Fiscal, s.fiscal);
    a.putFlag(F::IdSet, !s.idCode.empty());
    a.putFlag(F::TaxIdSet, !s.taxId.empty());
    a.putFlag(F::RatesSet, s.ratesSet);
    a.putFlag(F::HeaderSet, header);
    a.putFlag(F::ServiceMode, s.serviceMode);
    a.putDigits(F::ZCount, fm_.zCount());
    o_.answer = a.finish();
}

void Exec::currencyChangeAnswer() {
    namespace C = P::CurrencyChange;
    const CurrencyChange& c = s.change;
    AnswerWriter a(C::layout);
    if (!c.set) {
        for (const P::Field& f : {C::Year, C::Month, C::Day, C::Hour, C::Minute})
            a.putBcd(f, 0);
        a.put(C::NewCode, "");
        a.put(C::FirstRate, std::string(static_cast<size_t>(C::FirstRate.width), '0'));
        a.putChar(C::FirstMode, 'N');
        a.put(C::SecondCode, "");
        a.put(C::SecondRate, std::string(static_cast<size_t>(C::SecondRate.width), '0'));
        a.putChar(C::SecondMode, 'N');
    } else {
        const QDateTime t = wall(c.at);
        a.putBcd(C::Year, t.date().year() % 100);
        a.putBcd(C::Month, t.date().month());
        a.putBcd(C::Day, t.date().day());
        a.putBcd(C::Hour, t.time().hour());
        a.putBcd(C::Minute, t.time().minute());
        a.put(C::NewCode, c.newName);
        a.put(C::FirstRate, formatRate(c.first.rateMicro, true));
        a.put(C::FirstMode, c.first.direction);
        a.put(C::SecondCode, c.second.code);
        a.put(C::SecondRate, formatRate(c.second.rateMicro, true));
        a.put(C::SecondMode, c.second.direction.empty() ? std::string("N") : c.second.direction);
    }
    o_.answer = a.finish();
}

} // namespace vp
