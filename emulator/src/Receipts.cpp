// Fiscal receipts: sale and cancel of lines, discounts and increases, payment,
// buyer ID, cancel and close, postponement.
#include <QString>

#include <algorithm>

#include "Exec.h"

namespace vp {

using paper::amount;

// ---- arithmetic ----

std::array<Grosze, 9> Exec::lineGross(const Receipt& r) const {
    std::array<Grosze, 9> g{};
    for (const auto& it : r.items)
        if (!it.cancelled)
            g[static_cast<size_t>(it.group - 1)] += it.value + it.adjustment;
    return g;
}

std::array<Grosze, 9> Exec::receiptGross(const Receipt& r) const {
    auto g = lineGross(r);
    for (Grosze adjustment : r.subtotalAdjustments) {
        std::vector<Grosze> weights(9);
        for (size_t i = 0; i < 9; ++i)
            weights[i] = std::max<Grosze>(0, g[i]);
        const auto parts = splitProportionally(adjustment, weights);
        for (size_t i = 0; i < 9; ++i)
            g[i] += parts[i];
    }
    return g;
}

Grosze Exec::receiptDeposits(const Receipt& r) const {
    Grosze d = 0;
    for (const auto& it : r.items)
        if (!it.cancelled)
            d += it.deposit;
    return d;
}

Grosze Exec::receiptSales(const Receipt& r) const {
    Grosze t = 0;
    for (auto g : receiptGross(r))
        t += g;
    return t;
}

Grosze Exec::paid(const Receipt& r) const {
    Grosze p = 0;
    for (const auto& x : r.payments)
        p += x.inSale;
    return p;
}

Grosze Exec::due() const {
    return s.receipt.open ? std::max<Grosze>(0, receiptTotal(s.receipt) - paid(s.receipt)) : 0;
}

// ---- lines ----

namespace {

struct LineFields {
    int64_t qty;
    std::string unit;
    Grosze price;
    int group;
    std::string name;
    bool package;
    Grosze packagePrice;
};

LineFields lineFields(const Exec& e) {
    e.needFields(7);
    LineFields l{};
    l.qty = e.decimal(0, 3, 16);
    l.unit = e.text(1);
    l.price = e.decimal(2, 2, 18);
    const auto group = parseInt(e.raw(3));
    l.name = e.text(4);
    const auto pkgFlag = parseInt(e.raw(5));
    l.packagePrice = e.decimal(6, 2, 76);
    if (!group || *group < 1 || *group > 9)
        refuse(19);
    if (!pkgFlag || (*pkgFlag != 0 && *pkgFlag != 1))
        refuse(76);
    if (l.qty <= 0 || l.qty > kMaxQuantity)
        refuse(16);
    if (l.price <= 0 || l.price > kMaxPrice)
        refuse(18);
    if (l.packagePrice > kMaxPrice)
        refuse(76);
    if (QString::fromStdString(l.name).trimmed().isEmpty() || QString::fromStdString(l.name).size() > 40 ||
        QString::fromStdString(l.unit).size() > 4)
        refuse(3);
    l.group = static_cast<int>(*group);
    l.package = *pkgFlag == 1;
    if (!l.package)
        l.packagePrice = 0;
    return l;
}

} // namespace

void Exec::saleItem() {
    const LineFields l = lineFields(*this);
    if (!s.packageLines.empty() || (s.receipt.open && !s.receipt.payments.empty()))
        refuse(err::Sequence);
    needSalesAllowed();
    if (!groupActive(l.group))
        refuse(20);
    const auto value = lineValue(l.qty, l.price);
    const auto deposit = l.package ? lineValue(l.qty, l.packagePrice) : std::optional<Grosze>(0);
    if (!value || !deposit || receiptTotal(s.receipt) + *value + *deposit > kMaxAmount)
        refuse(err::ReceiptTotal);
    if (*value <= 0)
        refuse(16);
    // the name lock: a name keeps the group it was sold under for the whole
    // fiscal day; after the daily report it may be sold under another group
    for (const auto& it : s.receipt.items)
        if (!it.cancelled && it.name == l.name && it.group != l.group)
            refuse(err::Sequence);
    const auto known = articles_.find(l.name);
    if (known && known->group != l.group && s.day.hasSales() && known->lastDay == s.day.openedAt)
        refuse(err::Sequence);
    if (!known && articles_.count() >= kArticleCapacity)
        refuse(err::ArticleBaseFull);
    // at most 100 different articles on one receipt
    std::vector<std::string> distinct;
    for (const auto& it : s.receipt.items)
        if (std::find(distinct.begin(), distinct.end(), it.name) == distinct.end())
            distinct.push_back(it.name);
    if (std::find(distinct.begin(), distinct.end(), l.name) == distinct.end() && distinct.size() >= 100)
        refuse(50);
    needPrinter();
    if (!s.receipt.open) {
        s.receipt = Receipt{};
        s.receipt.open = true;
        s.receipt.openedAt = now_;
        printHeader(s.fiscal ? "PARAGON FISKALNY" : "PARAGON NIEFISKALNY");
    }
    if (!s.day.hasSales())
        s.day.openedAt = now_;
    Item it;
    it.name = l.name, it.unit = l.unit, it.quantity = l.qty, it.price = l.price, it.group = l.group;
    it.value = *value, it.deposit = *deposit, it.depositPrice = l.packagePrice;
    s.receipt.items.push_back(it);
    print(paper::wrap(l.name));
    printLr("  " + paper::quantity(l.qty) + (l.unit.empty() ? "" : " " + l.unit) + " x" + amount(l.price),
            amount(*value) + " " + kLetters[l.group - 1]);
    if (*deposit)
        printLr("  KAUCJA " + paper::quantity(l.qty) + " x" + amount(l.packagePrice), amount(*deposit));
    changed();
    ack(receiptTotal(s.receipt));
}

void Exec::cancelItem() {
    const LineFields l = lineFields(*this);
    if (!s.receipt.open || !s.receipt.payments.empty())
        refuse(err::Sequence);
    for (auto it = s.receipt.items.rbegin(); it != s.receipt.items.rend(); ++it) {
        if (it->cancelled || it->name != l.name || it->group != l.group || it->price != l.price ||
            it->quantity != l.qty || it->depositPrice != l.packagePrice)
            continue;
        // Sub-total discounts are spread again over what stays on the receipt;
        // a cancel that would leave less than the discounts given is refused
        // (cancel the receipt instead).
        Receipt after = s.receipt;
        after.items[static_cast<size_t>(std::distance(it, s.receipt.items.rend()) - 1)].cancelled = true;
        const auto g = lineGross(after);
        Grosze remaining = 0, adjustments = 0;
        for (auto x : g)
            remaining += x;
        for (auto a : after.subtotalAdjustments)
            adjustments += a;
        if (!after.subtotalAdjustments.empty() && remaining + adjustments <= 0)
            refuse(err::AboveSale);
        for (auto x : receiptGross(after))
            if (x < 0)
                refuse(err::AboveSale);
        needPrinter();
        it->cancelled = true;
        printLr("STORNO " + l.name, "-" + amount(it->value + it->adjustment));
        if (it->deposit)
            printLr("  STORNO KAUCJA", "-" + amount(it->deposit));
        changed();
        ack(receiptTotal(s.receipt));
        return;
    }
    refuse(err::AboveSale);
}

void Exec::discount() {
    needFields(4);
    const auto type = parseInt(raw(0));
    const auto value = parseInt(raw(1));
    const auto isDiscount = parseInt(raw(2));
    const auto byRate = parseInt(raw(3));
    if (!type || *type < 0 || *type > 3 || !isDiscount || (*isDiscount != 0 && *isDiscount != 1) || !byRate ||
        (*byRate != 0 && *byRate != 1) || (*byRate == 1) != (*type < 2))
        refuse(25);
    if (!value || *value <= 0 || *value > kMaxAmount)
        refuse(24);
    if (!s.receipt.open || !s.receipt.payments.empty())
        refuse(err::Sequence);
    const bool rate = *byRate == 1, onSubtotal = (*type % 2) == 1, down = *isDiscount == 1;
    if (rate && *value > (down ? 9999 : 99999))
        refuse(24);
    needPrinter();
    const std::string word = down ? "RABAT" : "NARZUT";
    const std::string label = word + (rate ? " " + paper::ratePercent(static_cast<int>(*value)) : "");
    if (!onSubtotal) {
        auto last = std::find_if(s.receipt.items.rbegin(), s.receipt.items.rend(),
                                 [](const Item& i) { return !i.cancelled; });
        if (last == s.receipt.items.rend() || &*last != &s.receipt.items.back() || last->adjusted)
            refuse(err::Sequence);
        const Grosze change = rate ? percentOf(last->value, static_cast<int>(*value)) : *value;
        if (change <= 0 || (down && change >= last->value))
            refuse(err::AboveSale);
        if (!down && receiptTotal(s.receipt) + change > kMaxAmount)
            refuse(err::ReceiptTotal);
        last->adjustment = down ? -change : change;
        last->adjusted = true;
        printLr(label, (down ? "-" : "") + amount(change) + " " + kLetters[last->group - 1]);
    } else {
        const Grosze sum = receiptSales(s.receipt);
        const Grosze change = rate ? percentOf(sum, static_cast<int>(*value)) : *value;
        if (change <= 0 || (down && change >= sum))
            refuse(err::AboveSale);
        if (!down && receiptTotal(s.receipt) + change > kMaxAmount)
            refuse(err::ReceiptTotal);
        s.receipt.subtotalAdjustments.push_back(down ? -change : change);
        printLr("PODSUMA", amount(sum));
        printLr(label, (down ? "-" : "") + amount(change));
    }
    changed();
    ack(receiptTotal(s.receipt));
}

void Exec::subtotal() {
    if (!s.receipt.open)
        refuse(err::Sequence);
    needPrinter();
    printLr("PODSUMA", amount(receiptTotal(s.receipt)));
    changed();
    ack(receiptTotal(s.receipt));
}

void Exec::payment() {
    needFields(6);
    if (!s.receipt.open || receiptTotal(s.receipt) <= 0)
        refuse(err::Sequence);
    std::vector<Payment> lines;
    for (size_t i = 0; i < 3; ++i) {
        const auto code = parseInt(raw(i));
        const auto value = parseDecimal(raw(3 + i), 2);
        if (!code || *code < 0 || *code > 8)
            refuse(26);
        if (!value || *value > kMaxAmount)
            refuse(27);
        if (*value == 0)
            continue;
        Payment p;
        p.code = static_cast<int>(*code);
        p.amount = *value;
        const int cur = p.code / 3;
        if (cur == 0) {
            p.inSale = p.amount;
        } else {
            const Currency& c = currency(cur);
            auto conv = c.code.empty() || c.direction.size() != 1
                            ? std::nullopt
                            : toSaleCurrency(p.amount, c.rateMicro, c.direction[0]);
            if (!conv)
                refuse(26);
            p.inSale = *conv;
        }
        lines.push_back(p);
    }
    if (lines.empty())
        refuse(27);
    needPrinter();
    // card and voucher may not exceed what is still due: change is given in cash only
    Grosze remaining = due();
    Grosze added = 0;
    for (const auto& p : lines) {
        if (p.code % 3 != 0 && p.inSale > remaining)
            refuse(26);
        remaining = std::max<Grosze>(0, remaining - p.inSale);
        added += p.inSale;
    }
    if (added + paid(s.receipt) > kMaxAmount)
        refuse(err::DrawerTotal);
    for (const auto& p : lines)
        s.receipt.payments.push_back(p);
    if (due() == 0)
        finishReceipt("");
    changed();
    ack(due());
}

void Exec::finishReceipt(const std::string& footer) {
    Receipt& r = s.receipt;
    const auto gross = receiptGross(r);
    Grosze vatSum = 0;
    print(paper::rule());
    for (size_t i = 0; i < 9; ++i) {
        if (gross[i] == 0 || exemptGroup(static_cast<int>(i + 1)))
            continue;
        const Grosze vat = vatFromGross(gross[i], s.rates[i]);
        printLr(std::string("SPRZED. OPODATK. ") + kLetters[i], amount(gross[i]));
        printLr(std::string("PTU ") + kLetters[i] + " " + paper::ratePercent(s.rates[i]), amount(vat));
        vatSum += vat;
    }
    for (size_t i = 0; i < 9; ++i)
        if (gross[i] != 0 && exemptGroup(static_cast<int>(i + 1)))
            printLr("SPRZEDAŻ ZWOLNIONA", amount(gross[i]));
    printLr("SUMA PTU", amount(vatSum));
    const Grosze sales = receiptSales(r);
    const Grosze deposits = receiptDeposits(r);
    printLr("SUMA " + s.sale.code, amount(sales));
    if (deposits) {
        printLr("KAUCJA POBRANA", amount(deposits));
        printLr("DO ZAPŁATY", amount(sales + deposits));
    }
    static const char* kTypes[] = {"GOTÓWKA", "KARTA", "BON"};
    Grosze cashTaken = 0;
    for (const auto& x : r.payments) {
        const int cur = x.code / 3;
        std::string label = kTypes[x.code % 3];
        if (cur != 0)
            label += " " + currency(cur).code + " " + amount(x.amount);
        printLr(label, amount(x.inSale));
        if (x.code % 3 == 0)
            cashTaken += x.inSale;
    }
    const Grosze change = std::max<Grosze>(0, paid(r) - (sales + deposits));
    if (change)
        printLr("RESZTA", amount(change));
    if (!r.buyerId.empty())
        print(paper::wrap(r.buyerId));
    if (!footer.empty())
        print(paper::centre(footer));
    ++s.receiptNo;
    printFooter(s.receiptNo);

    s.drawer += cashTaken - change;
    for (size_t i = 0; i < 9; ++i)
        s.day.gross[i] += gross[i];
    s.day.deposits += deposits;
    ++s.day.receipts;
    if (s.day.firstReceipt == 0)
        s.day.firstReceipt = s.receiptNo;
    s.day.lastReceipt = s.receiptNo;
    s.day.lastAt = now_;
    // what was sold goes into the article base, one row per name, in the order sold
    std::vector<Article> sold;
    for (const auto& it : r.items) {
        if (it.cancelled)
            continue;
        auto found =
            std::find_if(sold.begin(), sold.end(), [&](const Article& a) { return a.name == it.name; });
        if (found == sold.end()) {
            sold.push_back(articles_.find(it.name).value_or(Article{it.name}));
            ++sold.back().receipts;
            found = sold.end() - 1;
        }
        Article& a = *found;
        a.group = it.group;
        a.price = it.price;
        a.soldMilli += it.quantity;
        a.soldValue += it.value + it.adjustment;
        a.lastDay = s.day.openedAt;
        if (it.deposit) {
            auto pk = std::find_if(s.packages.begin(), s.packages.end(),
                                   [&](const PackageRecord& x) { return x.name == it.name; });
            if (pk == s.packages.end()) {
                s.packages.push_back(PackageRecord{it.name, it.depositPrice, 0, 0, 0, 0});
                pk = s.packages.end() - 1;
            }
            pk->soldMilli += it.quantity;
            pk->soldValue += it.deposit;
        }
        if (it.adjustment < 0)
            s.day.discounts -= it.adjustment;
        else
            s.day.increases += it.adjustment;
    }
    o_.articleWrites.insert(o_.articleWrites.end(), sold.begin(), sold.end());
    for (auto a : r.subtotalAdjustments) {
        if (a < 0)
            s.day.discounts -= a;
        else
            s.day.increases += a;
    }
    s.receipt = Receipt{};
    document("receipt");
}

void Exec::clientId() {
    needFields(1);
    if (!s.receipt.open || due() == 0)
        refuse(err::Sequence);
    const std::string t = raw(0);
    if (t.empty())
        refuse(3);
    const std::string id = QString::fromStdString(text(0).substr(1)).trimmed().toStdString();
    std::string label;
    switch (t[0]) {
    case '0':
        if (!validNip(id))
            refuse(3);
        label = "NIP nabywcy: " + id;
        break;
    case '1':
        if (!validPesel(id))
            refuse(3);
        label = "PESEL nabywcy: " + id;
        break;
    case '2':
        if (id.empty() || id.size() > 17)
            refuse(3);
        label = "ID nabywcy: " + id;
        break;
    default:
        refuse(3);
    }
    s.receipt.buyerId = label;
    changed();
    ack(receiptTotal(s.receipt));
}

void Exec::receiptCancel() {
    if (s.receipt.open) {
        needPrinter();
        const Grosze total = receiptTotal(s.receipt);
        print(paper::rule());
        print(paper::centre("PARAGON ANULOWANY"));
        printLr("SUMA ANULOWANA", amount(total));
        if (!text(0).empty())
            print(paper::centre(text(0)));
        printFooter();
        ++s.day.cancelled;
        s.day.cancelledValue += total;
        s.receipt = Receipt{};
        document("receipt-cancelled");
        changed();
        ack(total);
        return;
    }
    if (!s.packageLines.empty()) {
        needPrinter();
        print(paper::centre("ANULOWANO OPAKOWANIA"));
        printFooter();
        s.packageLines.clear();
        document("packages-cancelled");
        changed();
        ack(0);
        return;
    }
    refuse(err::Sequence);
}

void Exec::receiptClose() {
    if (!s.receipt.open || receiptTotal(s.receipt) <= 0)
        refuse(err::Sequence);
    needPrinter();
    const Grosze rest = due();
    if (rest > 0)
        s.receipt.payments.push_back(Payment{0, rest, rest});
    finishReceipt(text(0));
    changed();
    ack(0);
}

void Exec::postpone() {
    needFields(4);
    const auto mode = parseInt(raw(0));
    const auto slot = parseInt(raw(1));
    if (!mode || (*mode != 0 && *mode != 1))
        refuse(45);
    if (!slot || *slot < 1 || *slot > 3)
        refuse(46);
    const auto total = parseDecimal(raw(2), 2), vat = parseDecimal(raw(3), 2);
    if (!total || !vat)
        refuse(46);
    Receipt& kept = s.postponed[static_cast<size_t>(*slot - 1)];
    needPrinter();
    if (*mode == 0) {
        if (!s.receipt.open || !s.receipt.payments.empty())
            refuse(err::Sequence);
        if (kept.open)
            refuse(47);
        kept = s.receipt;
        kept.consoleTotal = *total;
        kept.consoleVat = *vat;
        s.receipt = Receipt{};
        printLr("ODŁOŻONY NR " + std::to_string(*slot), amount(receiptTotal(kept)));
    } else {
        if (documentOpen())
            refuse(err::Sequence);
        if (!kept.open)
            refuse(46);
        // a receipt set aside belongs to the day it was opened in; that day
        // cannot close while it waits, so taking it up needs no checks of the day
        s.receipt = kept;
        kept = Receipt{};
        printLr("PODJĘTY NR " + std::to_string(*slot), amount(receiptTotal(s.receipt)));
    }
    changed();
    ack(receiptTotal(s.receipt));
}

} // namespace vp
