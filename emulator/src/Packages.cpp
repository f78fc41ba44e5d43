// Returnable packages outside receipts, and the cash drawer.
#include <QString>

#include <algorithm>

#include "Exec.h"

namespace vp {

using paper::amount;

void Exec::packageEntry(bool returned) {
    needFields(4);
    const int64_t qty = decimal(0, 3, 16);
    const std::string unit = text(1);
    const Grosze price = decimal(2, 2, 76);
    const std::string name = text(3);
    if (qty <= 0 || qty > kMaxQuantity)
        refuse(16);
    if (price <= 0 || price > kMaxPrice)
        refuse(76);
    if (QString::fromStdString(name).trimmed().isEmpty() || QString::fromStdString(name).size() > 40)
        refuse(3);
    if (s.receipt.open)
        refuse(err::Sequence);
    if (s.readOnlyMode)
        refuse(75);
    auto rec = std::find_if(s.packages.begin(), s.packages.end(),
                            [&](const PackageRecord& x) { return x.name == name; });
    if (rec != s.packages.end() && rec->price != price)
        refuse(78);
    for (const auto& l : s.packageLines)
        if (l.name == name && l.price != price)
            refuse(78);
    if (rec == s.packages.end() && s.packages.size() >= 100)
        refuse(77);
    const auto value = lineValue(qty, price);
    Grosze pending = 0;
    for (const auto& l : s.packageLines)
        pending += l.value;
    if (!value || pending + *value > kMaxAmount)
        refuse(err::ReceiptTotal);
    needPrinter();
    if (s.packageLines.empty())
        printHeader(returned ? "ZWROT OPAKOWAŃ" : "SPRZEDAŻ OPAKOWAŃ");
    s.packageLines.push_back(PackageLine{name, unit, qty, price, *value, returned});
    printLr(std::string(returned ? "ZWROT " : "") + name + " " + paper::quantity(qty) + " x" + amount(price),
            (returned ? "-" : "") + amount(*value));
    changed();
    Grosze t = 0;
    for (const auto& l : s.packageLines)
        if (l.returned == returned)
            t += l.value;
    ack(t);
}

void Exec::packagePayment(bool returned) {
    needFields(1);
    if (raw(0) != "0")
        refuse(26);
    Grosze total = 0;
    bool any = false;
    for (const auto& l : s.packageLines)
        if (l.returned == returned) {
            total += l.value;
            any = true;
        }
    if (!any)
        refuse(err::Sequence);
    if (returned && total > s.drawer)
        refuse(28);
    if (!returned && s.drawer + total > kMaxAmount)
        refuse(err::DrawerTotal);
    needPrinter();
    for (const auto& l : s.packageLines) {
        if (l.returned != returned)
            continue;
        auto rec = std::find_if(s.packages.begin(), s.packages.end(),
                                [&](const PackageRecord& x) { return x.name == l.name; });
        if (rec == s.packages.end()) {
            s.packages.push_back(PackageRecord{l.name, l.price, 0, 0, 0, 0});
            rec = s.packages.end() - 1;
        }
        if (returned) {
            rec->returnedMilli += l.quantity;
            rec->returnedValue += l.value;
        } else {
            rec->soldMilli += l.quantity;
            rec->soldValue += l.value;
        }
    }
    std::erase_if(s.packageLines, [&](const PackageLine& l) { return l.returned == returned; });
    s.drawer += returned ? -total : total;
    print(paper::rule());
    printLr(returned ? "WYPŁATA ZA OPAKOWANIA" : "WPŁATA ZA OPAKOWANIA", amount(total));
    printFooter();
    document(returned ? "package-return" : "package-sale");
    changed();
    ack(total);
}

void Exec::cash(bool in) {
    needFields(1);
    const auto value = parseDecimal(raw(0), 2);
    if (!value || *value <= 0 || *value > kMaxAmount)
        refuse(in ? 29 : 30);
    if (in && s.drawer + *value > kMaxAmount)
        refuse(err::DrawerTotal);
    if (!in && *value > s.drawer)
        refuse(31);
    needPrinter();
    printHeader(in ? "WPŁATA DO KASY" : "WYPŁATA Z KASY");
    printLr(in ? "WPŁATA" : "WYPŁATA", amount(*value));
    s.drawer += in ? *value : -*value;
    (in ? s.day.cashIn : s.day.paidOut) += *value;
    printLr("W KASIE", amount(s.drawer));
    printFooter();
    document(in ? "cash-in" : "paid-out");
    changed();
    ack(s.drawer);
}

void Exec::cashInDrawer() {
    ack(s.drawer);
}

void Exec::openDrawer() {
    needPrinter();
    ack(s.drawer);
}

} // namespace vp
