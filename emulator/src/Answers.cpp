// Answers that report state: statuses, uploads of programming and of the
// article and package records.
#include <QDateTime>

#include <algorithm>

#include "Exec.h"

namespace vp {

namespace {

QDateTime wall(int64_t secs) {
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
}

void put16(std::string& out, int64_t v) {
    const auto x = static_cast<uint16_t>(std::clamp<int64_t>(v, 0, 0xFFFE));
    out += static_cast<char>(x >> 8);
    out += static_cast<char>(x & 0xFF);
}

void putBig(std::string& out, int64_t v, int width) {
    for (int i = width - 1; i >= 0; --i)
        out += static_cast<char>((static_cast<uint64_t>(v) >> (8 * i)) & 0xFF);
}

char bcd(int v) {
    return static_cast<char>(((v / 10) << 4) | (v % 10));
}

} // namespace

using paper::digits;
using paper::pad;

void Exec::hardwareStatus() {
    std::string a = "O0";
    a += s.idCode.empty() ? std::string(3, '\xFF') : pad(s.idCode, 3);
    a += s.idNumber.empty() ? std::string(8, '\xFF') : pad(s.idNumber, 8);
    a += s.taxId.empty() ? std::string(10, '\xFF') : pad(s.taxId, 10);
    a += static_cast<char>((s.taxIdFormat >> 8) & 0xFF);
    a += static_cast<char>(s.taxIdFormat & 0xFF);
    a += s.fiscal ? '0' : '1';
    a += fm_.full() ? '1' : '0';
    a += f_.lowBattery ? '0' : '1';
    a += f_.resetPinShorted ? '1' : '0';
    a += s.receipt.open ? '1' : '0';
    a += '0';
    a += zReportDue() ? '1' : '0';
    a += digits(fm_.zCount(), 4);
    a += digits(std::max<int64_t>(0, fm_.capacity() - fm_.zCount()), 4);
    a += digits(s.receiptNo, 6) + digits(s.ramResets, 4) + digits(s.vatChanges, 3) +
         digits(s.currencyChanges, 3);
    a += fm_.damaged() ? '1' : '0';
    a += s.ramError ? '1' : '0';
    a += '1';
    a += fm_.damaged() ? '1' : '0';
    a += f_.lowBattery ? "24" : "31";
    o_.answer = a;
}

void Exec::softwareStatus() {
    const QDateTime t = wall(now_);
    std::string a = "O0" + t.toString("ddMMyyyyHHmmss").toStdString();
    a += digits(s.receiptNo + 1, 6);
    a += digits(s.receipt.open ? receiptTotal(s.receipt) : 0, 12);
    a += s.receipt.open ? '1' : '0';
    a += s.receipt.open && !s.receipt.payments.empty() ? '1' : '0';
    a += s.serviceMode ? '1' : '0';
    a += s.fiscal ? '1' : '0';
    a += s.readOnlyMode ? '1' : '0';
    a += s.day.hasSales() ? '1' : '0';
    a += f_.paperOut || f_.offline ? "000" : "100";
    a += pad(s.softwareVersion, 4);
    a += s.ramError ? '1' : '0';
    o_.answer = a;
}

void Exec::printerStatus() {
    o_.answer = std::string("P0") + (f_.offline ? '6' : f_.paperOut ? '2' : '0');
}

void Exec::uploadRates() {
    std::string a = "O0";
    for (int r : s.rates)
        a += digits(r, 4);
    a += s.exemptLetter.empty() ? std::string(1, '\xFF') : s.exemptLetter.substr(0, 1);
    o_.answer = a;
}

void Exec::uploadDepartments() {
    std::string a = "O0";
    for (int i = 0; i < 9; ++i) {
        a += digits(i + 1, 2);
        if (s.departmentSet[i]) {
            a += s.departments[i].letter.substr(0, 1);
            a += pad(cp1250::fromUtf8(s.departments[i].name), 20);
        } else {
            a += std::string(21, '\xFF');
        }
    }
    o_.answer = a;
}

void Exec::uploadHeader() {
    std::string a = "O0";
    for (int i = 0; i < 5; ++i) {
        a += static_cast<char>('1' + i);
        a += '0';
        a += s.headerSet[i] ? pad(cp1250::fromUtf8(s.header[i]), 32) : std::string(32, '\xFF');
    }
    o_.answer = a;
}

void Exec::uploadPlu() {
    std::string bytes;
    int64_t count = 0;
    articles_.forEach([&](const Article& p) {
        ++count;
        std::string rec = pad(cp1250::fromUtf8(p.name), 40);
        const bool zw = exemptGroup(p.group);
        put16(rec, std::min<Grosze>(p.price, 65534));                    // price
        put16(rec, zw ? 10000 : s.rates[p.group - 1]);                   // VAT rate
        put16(rec, p.group * 100);                                       // group 1..9
        put16(rec, std::min<int64_t>(roundDiv(p.soldMilli, 10), 65534)); // sold quantity
        put16(rec, std::min<Grosze>(p.soldValue / 100, 65534));          // sold value, whole units
        rec += "\xFF\xFF";                                               // unused
        rec += pad("", 12, '\0');
        bytes += rec;
    });
    o_.file = DataFile{"_Plu.mem", bytes};
    ack(count);
}

void Exec::uploadPackages() {
    needFields(1);
    const std::string flag = raw(0);
    if (flag != "0" && flag != "1")
        refuse(26);
    std::string bytes;
    for (const auto& p : s.packages) {
        std::string rec = pad(cp1250::fromUtf8(p.name), 40);
        putBig(rec, p.price, 6);
        putBig(rec, p.returnedMilli, 4);
        putBig(rec, p.returnedValue, 6);
        putBig(rec, p.soldMilli, 4);
        putBig(rec, p.soldValue, 6);
        bytes += rec;
    }
    o_.file = DataFile{"_RtnPkg.mem", bytes};
    ack(static_cast<int64_t>(s.packages.size()));
    if (flag == "1" && !s.packages.empty()) {
        if (!s.packageLines.empty())
            refuse(5);
        s.packages.clear();
        changed();
    }
}

void Exec::fiscalStatus() {
    const bool may = !s.fiscal && !s.idCode.empty() && !s.taxId.empty() && s.ratesSet && s.serviceMode &&
                     !s.day.hasSales() && !s.receipt.open && !fm_.full();
    std::string a = "O0";
    a += may ? '1' : '0';
    a += s.fiscal ? '1' : '0';
    a += s.idCode.empty() ? '0' : '1';
    a += s.taxId.empty() ? '0' : '1';
    a += s.ratesSet ? '1' : '0';
    bool header = false;
    for (bool h : s.headerSet)
        header = header || h;
    a += header ? '1' : '0';
    a += s.serviceMode ? '1' : '0';
    a += digits(fm_.zCount(), 4);
    o_.answer = a;
}

void Exec::currencyChangeAnswer() {
    std::string a = "O0";
    const CurrencyChange& c = s.change;
    if (!c.set) {
        a += std::string(5, '\0') + "   " + std::string(14, '0') + "N   " + std::string(14, '0') + "N";
    } else {
        const QDateTime t = wall(c.at);
        a += bcd(t.date().year() % 100);
        a += bcd(t.date().month());
        a += bcd(t.date().day());
        a += bcd(t.time().hour());
        a += bcd(t.time().minute());
        a += pad(c.newName, 3) + formatRate(c.first.rateMicro, true) + pad(c.first.direction, 1);
        a += pad(c.second.code, 3) + formatRate(c.second.rateMicro, true) +
             (c.second.direction.empty() ? std::string("N") : c.second.direction.substr(0, 1));
    }
    o_.answer = a;
}

} // namespace vp
