#include "Printer.h"

#include <QDateTime>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstdio>
#include <map>

namespace vp {

Grosze ZRecord::total() const {
    Grosze t = deposits;
    for (auto g : gross)
        t += g;
    return t;
}
Grosze ZRecord::vatTotal() const {
    Grosze t = 0;
    for (auto v : vat)
        t += v;
    return t;
}

std::string fromCp1250(const std::string& bytes) {
    QStringDecoder dec("windows-1250");
    QString s = dec.decode(QByteArray::fromStdString(bytes));
    return s.toStdString();
}

std::string toCp1250(const std::string& utf8) {
    QStringEncoder enc("windows-1250");
    QByteArray b = enc.encode(QString::fromStdString(utf8));
    return b.toStdString();
}

int64_t wallSeconds(int y, int mo, int d, int h, int mi, int s) {
    const QDateTime t(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    return t.isValid() ? t.toSecsSinceEpoch() : -1;
}

std::string formatWall(int64_t secs, bool withTime) {
    const QDateTime t = QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
    return t.toString(withTime ? "yyyy-MM-dd HH:mm" : "yyyy-MM-dd").toStdString();
}

namespace {

QDateTime wall(int64_t secs) {
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
}

struct Refusal {
    int32_t status, sub;
};
[[noreturn]] void refuse(int sub) {
    throw Refusal{-4, sub};
}

const char kLetters[] = "ABCDEFGHI";

// ---- paper ----
QString fit(const QString& s) {
    return s.left(kPaperWidth);
}
std::string centre(const std::string& text) {
    QString t = fit(QString::fromStdString(text).trimmed());
    const auto pad = (kPaperWidth - t.size()) / 2;
    return (QString(pad, ' ') + t).toStdString();
}
std::string lr(const std::string& left, const std::string& right) {
    QString l = QString::fromStdString(left), r = QString::fromStdString(right);
    if (l.size() + r.size() + 1 > kPaperWidth)
        l = l.left(std::max<qsizetype>(0, kPaperWidth - r.size() - 1));
    return (l + QString(kPaperWidth - l.size() - r.size(), ' ') + r).toStdString();
}
const std::string kRule(kPaperWidth, '-');

std::string pad(std::string s, size_t n, char c = ' ') {
    if (s.size() > n)
        s.resize(n);
    s.append(n - s.size(), c);
    return s;
}
std::string digits(int64_t v, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, static_cast<long long>(std::max<int64_t>(v, 0)));
    std::string s = buf;
    return s.size() > static_cast<size_t>(width) ? s.substr(s.size() - width) : s;
}
std::string groupTaxId(const std::string& taxId, int format) {
    if (format == 0)
        return taxId;
    std::string out;
    size_t p = 0;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const size_t n = static_cast<size_t>((format >> shift) & 0xF);
        if (!out.empty())
            out += '-';
        out += taxId.substr(std::min(p, taxId.size()), n);
        p += n;
    }
    return out;
}

class Exec {
  public:
    Exec(const FiscalMemory& fm, const Faults& f, int64_t now, const Request& r, Outcome& o)
        : s(o.state), fm_(fm), f_(f), now_(now), r_(r), o_(o) {}

    void run();

  private:
    State& s;
    const FiscalMemory& fm_;
    const Faults& f_;
    int64_t now_;
    const Request& r_;
    Outcome& o_;

    // ---- fields ----
    std::string raw(size_t i) const { return i < r_.fields.size() ? r_.fields[i] : std::string(); }
    std::string text(size_t i) const { return fromCp1250(raw(i)); }
    int64_t integer(size_t i, int sub) const {
        auto v = parseInt(raw(i));
        if (!v)
            refuse(sub);
        return *v;
    }
    int64_t decimal(size_t i, int decimals, int sub) const {
        auto v = parseDecimal(raw(i), decimals);
        if (!v)
            refuse(sub);
        return *v;
    }
    void needFields(size_t n) const {
        if (r_.fields.size() < n)
            refuse(2);
    }

    // ---- answers ----
    void ack(int64_t value) { o_.answer = "O0" + r_.code + digits(s.documentNo, 6) + digits(value, 12); }
    void changed() { o_.changed = true; }

    // ---- rules ----
    int64_t lastFmDate() const {
        int64_t last = 0;
        for (const auto& z : fm_.records)
            last = std::max(last, z.at);
        for (const auto& e : fm_.events)
            last = std::max(last, e.at);
        return last;
    }
    bool fmFull() const { return static_cast<int64_t>(fm_.records.size()) >= fm_.capacity; }
    void needPrinter() const {
        if (f_.paperOut || f_.offline)
            refuse(8);
    }
    void needService() const {
        if (!s.serviceMode)
            refuse(82);
    }
    void needNoDocument() const {
        if (s.receipt.open || !s.packageLines.empty())
            refuse(5);
    }
    void needDayClosed() const {
        needNoDocument();
        if (s.day.hasSales())
            refuse(5);
    }
    void needSalesAllowed() const {
        if (s.readOnlyMode)
            refuse(75);
        if (fmFull())
            refuse(7);
        if (fm_.damagedRecord > 0)
            refuse(95);
        if (s.day.hasSales() && now_ - s.day.openedAt >= 24 * 3600)
            refuse(72);
        bool anyClerk = false;
        for (const auto& c : s.clerks)
            anyClerk = anyClerk || !c.password.empty();
        if (anyClerk && s.clerkOnDuty == 0)
            refuse(65);
    }
    bool exemptGroup(int g) const {
        return s.exemptLetter.size() == 1 && s.exemptLetter[0] == kLetters[g - 1];
    }
    bool groupActive(int g) const { return exemptGroup(g) || s.rates[g - 1] != kInactiveRate; }

    // ---- documents ----
    void printHeader(const std::string& title) {
        auto& p = o_.paper;
        for (int i = 0; i < 5; ++i)
            if (s.headerSet[i] && !QString::fromStdString(s.header[i]).trimmed().isEmpty())
                p.push_back(centre(s.header[i]));
        if (!s.taxId.empty())
            p.push_back(centre("NIP " + groupTaxId(s.taxId, s.taxIdFormat)));
        ++s.documentNo;
        p.push_back(lr(formatWall(now_), "nr " + digits(s.documentNo, 6)));
        p.push_back(centre(title));
        p.push_back(kRule);
    }
    void printFooter() {
        auto& p = o_.paper;
        std::string clerk =
            s.clerkOnDuty ? "Kasjer " + std::to_string(s.clerkOnDuty) + " " + s.clerks[s.clerkOnDuty - 1].name
                          : std::string("Kasa");
        p.push_back(
            lr("#" + digits(s.ecrNumber, 3) + " " + clerk, wall(now_).toString("HH:mm").toStdString()));
        if (s.fiscal)
            p.push_back(centre("PL " + s.idCode + " " + s.idNumber));
        else
            p.push_back(centre("NIEFISKALNY"));
        p.push_back("");
    }
    void document(const std::string& kind) { o_.documentKind = kind; }

    // ---- receipt ----
    std::array<Grosze, 9> receiptGross(const Receipt& r) const {
        std::array<Grosze, 9> g{};
        for (const auto& it : r.items)
            if (!it.cancelled)
                g[it.group - 1] += it.value + it.adjustment;
        for (int i = 0; i < 9; ++i)
            g[i] += r.subtotalAdjust[i];
        return g;
    }
    Grosze receiptDeposits(const Receipt& r) const {
        Grosze d = 0;
        for (const auto& it : r.items)
            if (!it.cancelled)
                d += it.deposit;
        return d;
    }
    Grosze receiptTotal(const Receipt& r) const {
        Grosze t = receiptDeposits(r);
        for (auto g : receiptGross(r))
            t += g;
        return t;
    }
    Grosze paid(const Receipt& r) const {
        Grosze p = 0;
        for (const auto& x : r.payments)
            p += x.inSale;
        return p;
    }
    Grosze due() const {
        return s.receipt.open ? std::max<Grosze>(0, receiptTotal(s.receipt) - paid(s.receipt)) : 0;
    }
    const Currency& currency(int index) const {
        return index == 0 ? s.sale : index == 1 ? s.first : s.second;
    }

    void finishReceipt(const std::string& footer);

    // ---- commands ----
    void saleItem(bool cancel);
    void discount();
    void subtotal();
    void payment();
    void clientId();
    void receiptCancel();
    void receiptClose();
    void postpone();
    void packageEntry(bool returned);
    void packagePayment(bool returned);
    void cash(bool in);
    void xReport();
    void zReport();
    void programReport();
    void fiscalReport(char mode, bool upload);
    void setDate();
    void setTime();
    void setVat();
    void setHeader();
    void setDepartment();
    void setClerk();
    void clerkLogon();
    void serviceLogon(bool readOnly);
    void setMoney();
    void exchangeRate();
    void setCurrencyName();
    void setId(bool enterFiscal);
    void setTaxId();
    void sramErase();
    void dump(int which);
    void hardwareStatus();
    void softwareStatus();
    void uploadRates();
    void uploadDepartments();
    void uploadHeader();
    void uploadPlu();
    void uploadPackages();
    void fiscalStatus();
    void currencyChangeAnswer();
    void zTotals(const std::vector<const ZRecord*>& rs, bool detail, std::vector<std::string>& lines) const;
};

// ======================= receipts =======================

void Exec::saleItem(bool cancel) {
    needFields(7);
    const int64_t qty = decimal(0, 3, 16);
    const std::string unit = text(1);
    const Grosze price = decimal(2, 2, 18);
    const auto group = parseInt(raw(3));
    const std::string name = text(4);
    const auto pkgFlag = parseInt(raw(5));
    const Grosze pkgPrice = decimal(6, 2, 76);
    if (!group || *group < 1 || *group > 9)
        refuse(19);
    if (!pkgFlag || (*pkgFlag != 0 && *pkgFlag != 1))
        refuse(76);
    if (qty <= 0)
        refuse(16);
    if (price <= 0 || price > 99999999)
        refuse(18);
    if (QString::fromStdString(name).trimmed().isEmpty() || QString::fromStdString(name).size() > 40 ||
        QString::fromStdString(unit).size() > 4)
        refuse(3);
    const int g = static_cast<int>(*group);
    const Grosze deposit = *pkgFlag ? lineValue(qty, pkgPrice) : 0;

    if (cancel) {
        if (!s.receipt.open || !s.receipt.payments.empty())
            refuse(5);
        for (auto it = s.receipt.items.rbegin(); it != s.receipt.items.rend(); ++it) {
            if (!it->cancelled && it->name == name && it->group == g && it->price == price &&
                it->quantity == qty && it->depositPrice == (*pkgFlag ? pkgPrice : 0)) {
                const Grosze after = receiptTotal(s.receipt) - it->value - it->adjustment - it->deposit;
                if (after < 0)
                    refuse(23);
                it->cancelled = true;
                needPrinter();
                o_.paper.push_back(lr("STORNO " + name, "-" + formatMoney(it->value + it->adjustment)));
                if (it->deposit)
                    o_.paper.push_back(lr("  STORNO KAUCJA", "-" + formatMoney(it->deposit)));
                changed();
                ack(receiptTotal(s.receipt));
                return;
            }
        }
        refuse(23);
    }

    if (!s.packageLines.empty() || (s.receipt.open && !s.receipt.payments.empty()))
        refuse(5);
    needSalesAllowed();
    if (!groupActive(g))
        refuse(20);
    const Grosze value = lineValue(qty, price);
    if (value <= 0)
        refuse(16);
    if (receiptTotal(s.receipt) + value + deposit > kMaxAmount)
        refuse(21);
    // at most 100 different articles on one receipt
    std::vector<std::pair<std::string, int>> distinct;
    for (const auto& it : s.receipt.items)
        if (std::find(distinct.begin(), distinct.end(), std::make_pair(it.name, it.group)) == distinct.end())
            distinct.emplace_back(it.name, it.group);
    if (std::find(distinct.begin(), distinct.end(), std::make_pair(name, g)) == distinct.end() &&
        distinct.size() >= 100)
        refuse(50);
    needPrinter();
    if (!s.receipt.open) {
        s.receipt = Receipt{};
        s.receipt.open = true;
        printHeader(s.fiscal ? "PARAGON FISKALNY" : "PARAGON NIEFISKALNY");
    }
    if (!s.day.hasSales())
        s.day.openedAt = now_;
    Item it;
    it.name = name, it.unit = unit, it.quantity = qty, it.price = price, it.group = g, it.value = value;
    it.deposit = deposit, it.depositPrice = *pkgFlag ? pkgPrice : 0;
    s.receipt.items.push_back(it);
    o_.paper.push_back(name);
    o_.paper.push_back(
        lr("  " + formatQuantity(qty) + (unit.empty() ? "" : " " + unit) + " x" + formatMoney(price),
           formatMoney(value) + " " + kLetters[g - 1]));
    if (deposit)
        o_.paper.push_back(
            lr("  KAUCJA " + formatQuantity(qty) + " x" + formatMoney(pkgPrice), formatMoney(deposit)));
    changed();
    ack(receiptTotal(s.receipt));
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
    if (!value || *value <= 0)
        refuse(24);
    if (!s.receipt.open || !s.receipt.payments.empty())
        refuse(5);
    const bool rate = *byRate == 1, onSubtotal = (*type % 2) == 1, down = *isDiscount == 1;
    if (rate && *value > (down ? 9999 : 99999))
        refuse(24);
    needPrinter();
    const char* word = down ? "RABAT" : "NARZUT";
    if (!onSubtotal) {
        auto last = std::find_if(s.receipt.items.rbegin(), s.receipt.items.rend(),
                                 [](const Item& i) { return !i.cancelled; });
        if (last == s.receipt.items.rend() || &*last != &s.receipt.items.back() || last->adjusted)
            refuse(5);
        Grosze amount = rate ? percentOf(last->value, static_cast<int>(*value)) : *value;
        if (amount <= 0 || (down && amount >= last->value))
            refuse(23);
        if (!down && last->value + amount > kMaxAmount)
            refuse(21);
        last->adjustment = down ? -amount : amount;
        last->adjusted = true;
        o_.paper.push_back(
            lr(std::string(word) + (rate ? " " + formatRatePercent(static_cast<int>(*value)) : ""),
               (down ? "-" : "") + formatMoney(amount) + " " + kLetters[last->group - 1]));
    } else {
        auto gross = receiptGross(s.receipt);
        Grosze sum = 0;
        for (auto g : gross)
            sum += g;
        Grosze amount = rate ? percentOf(sum, static_cast<int>(*value)) : *value;
        if (amount <= 0 || (down && amount >= sum))
            refuse(23);
        std::vector<Grosze> w(gross.begin(), gross.end());
        auto parts = splitProportionally(amount, w);
        for (int i = 0; i < 9; ++i)
            s.receipt.subtotalAdjust[i] += down ? -parts[i] : parts[i];
        s.receipt.subtotalAdjusted = true;
        o_.paper.push_back(lr("PODSUMA", formatMoney(sum)));
        o_.paper.push_back(
            lr(std::string(word) + (rate ? " " + formatRatePercent(static_cast<int>(*value)) : ""),
               (down ? "-" : "") + formatMoney(amount)));
    }
    changed();
    ack(receiptTotal(s.receipt));
}

void Exec::subtotal() {
    if (!s.receipt.open)
        refuse(5);
    needPrinter();
    o_.paper.push_back(lr("PODSUMA", formatMoney(receiptTotal(s.receipt))));
    changed();
    ack(receiptTotal(s.receipt));
}

void Exec::payment() {
    needFields(6);
    if (!s.receipt.open)
        refuse(5);
    if (receiptTotal(s.receipt) <= 0)
        refuse(5);
    std::vector<Payment> lines;
    for (int i = 0; i < 3; ++i) {
        const auto code = parseInt(raw(static_cast<size_t>(i)));
        const auto amount = parseDecimal(raw(static_cast<size_t>(3 + i)), 2);
        if (!code || *code < 0 || *code > 8)
            refuse(26);
        if (!amount)
            refuse(27);
        if (*amount == 0)
            continue;
        Payment p;
        p.code = static_cast<int>(*code);
        p.amount = *amount;
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
    if (added > kMaxAmount)
        refuse(22);
    for (const auto& p : lines)
        s.receipt.payments.push_back(p);
    if (due() == 0)
        finishReceipt("");
    changed();
    ack(due());
}

void Exec::finishReceipt(const std::string& footer) {
    Receipt& r = s.receipt;
    auto& p = o_.paper;
    const auto gross = receiptGross(r);
    Grosze vatSum = 0;
    p.push_back(kRule);
    for (int i = 0; i < 9; ++i) {
        if (gross[i] == 0)
            continue;
        const bool zw = exemptGroup(i + 1);
        const Grosze vat = zw ? 0 : vatFromGross(gross[i], s.rates[i]);
        p.push_back(lr(std::string("SPRZED. OPODATK. ") + kLetters[i], formatMoney(gross[i])));
        p.push_back(lr(std::string("PTU ") + kLetters[i] + " " + (zw ? "ZW" : formatRatePercent(s.rates[i])),
                       formatMoney(vat)));
        s.day.gross[i] += gross[i];
        s.day.vat[i] += vat;
        vatSum += vat;
    }
    p.push_back(lr("SUMA PTU", formatMoney(vatSum)));
    const Grosze deposits = receiptDeposits(r);
    if (deposits)
        p.push_back(lr("KAUCJE", formatMoney(deposits)));
    const Grosze total = receiptTotal(r);
    p.push_back(lr("SUMA " + s.sale.code, formatMoney(total)));
    static const char* kTypes[] = {"GOTÓWKA", "KARTA", "BON"};
    Grosze cashIn = 0;
    for (const auto& x : r.payments) {
        const int cur = x.code / 3;
        std::string label = kTypes[x.code % 3];
        if (cur != 0)
            label += " " + currency(cur).code + " " + formatMoney(x.amount);
        p.push_back(lr(label, formatMoney(x.inSale)));
        if (x.code % 3 == 0)
            cashIn += x.inSale;
    }
    const Grosze change = std::max<Grosze>(0, paid(r) - total);
    if (change)
        p.push_back(lr("RESZTA GOTÓWKA", formatMoney(change)));
    if (!r.buyerId.empty())
        p.push_back(r.buyerId);
    if (!footer.empty())
        p.push_back(centre(footer));
    ++s.receiptNo;
    printFooter();
    s.drawer += cashIn - change;
    s.day.deposits += deposits;
    ++s.day.receipts;
    for (const auto& it : r.items) {
        if (it.cancelled)
            continue;
        auto plu = std::find_if(s.plus.begin(), s.plus.end(),
                                [&](const Plu& x) { return x.name == it.name && x.group == it.group; });
        if (plu == s.plus.end()) {
            s.plus.push_back(Plu{it.name, it.group, it.price, 0, 0, 0});
            plu = s.plus.end() - 1;
        }
        plu->price = it.price;
        plu->soldMilli += it.quantity;
        plu->soldValue += it.value + it.adjustment;
        ++plu->receipts;
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
    for (auto a : r.subtotalAdjust) {
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
        refuse(5);
    const std::string t = raw(0);
    if (t.empty())
        refuse(3);
    std::string id = QString::fromStdString(text(0).substr(1)).trimmed().toStdString();
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
        o_.paper.push_back(kRule);
        o_.paper.push_back(centre("ANULOWANY"));
        o_.paper.push_back(lr("SUMA ANULOWANA", formatMoney(total)));
        if (!text(0).empty())
            o_.paper.push_back(centre(text(0)));
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
        o_.paper.push_back(centre("ANULOWANO OPAKOWANIA"));
        printFooter();
        s.packageLines.clear();
        document("packages-cancelled");
        changed();
        ack(0);
        return;
    }
    refuse(5);
}

void Exec::receiptClose() {
    if (!s.receipt.open || receiptTotal(s.receipt) <= 0)
        refuse(5);
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
            refuse(5);
        if (kept.open)
            refuse(47);
        kept = s.receipt;
        kept.consoleTotal = *total;
        kept.consoleVat = *vat;
        s.receipt = Receipt{};
        o_.paper.push_back(lr("ODŁOŻONY NR " + std::to_string(*slot), formatMoney(receiptTotal(kept))));
    } else {
        if (s.receipt.open || !s.packageLines.empty())
            refuse(5);
        if (!kept.open)
            refuse(46);
        s.receipt = kept;
        kept = Receipt{};
        o_.paper.push_back(lr("PODJĘTY NR " + std::to_string(*slot), formatMoney(receiptTotal(s.receipt))));
    }
    changed();
    ack(receiptTotal(s.receipt));
}

void Exec::packageEntry(bool returned) {
    needFields(4);
    const int64_t qty = decimal(0, 3, 16);
    const std::string unit = text(1);
    const Grosze price = decimal(2, 2, 76);
    const std::string name = text(3);
    if (qty <= 0)
        refuse(16);
    if (price <= 0)
        refuse(76);
    if (QString::fromStdString(name).trimmed().isEmpty() || QString::fromStdString(name).size() > 40)
        refuse(3);
    if (s.receipt.open)
        refuse(5);
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
    const Grosze value = lineValue(qty, price);
    needPrinter();
    if (s.packageLines.empty())
        printHeader(returned ? "ZWROT OPAKOWAŃ" : "SPRZEDAŻ OPAKOWAŃ");
    s.packageLines.push_back(PackageLine{name, unit, qty, price, value, returned});
    o_.paper.push_back(lr(std::string(returned ? "ZWROT " : "") + name + " " + formatQuantity(qty) + " x" +
                              formatMoney(price),
                          (returned ? "-" : "") + formatMoney(value)));
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
        refuse(5);
    if (returned && total > s.drawer)
        refuse(28);
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
    o_.paper.push_back(kRule);
    o_.paper.push_back(lr(returned ? "WYPŁATA ZA OPAKOWANIA" : "WPŁATA ZA OPAKOWANIA", formatMoney(total)));
    printFooter();
    document(returned ? "package-return" : "package-sale");
    changed();
    ack(total);
}

void Exec::cash(bool in) {
    needFields(1);
    const auto amount = parseDecimal(raw(0), 2);
    if (!amount || *amount <= 0)
        refuse(in ? 29 : 30);
    needNoDocument();
    if (in && s.drawer + *amount > kMaxAmount)
        refuse(22);
    if (!in && *amount > s.drawer)
        refuse(31);
    needPrinter();
    printHeader(in ? "WPŁATA DO KASY" : "WYPŁATA Z KASY");
    o_.paper.push_back(lr(in ? "WPŁATA" : "WYPŁATA", formatMoney(*amount)));
    s.drawer += in ? *amount : -*amount;
    (in ? s.day.cashIn : s.day.paidOut) += *amount;
    o_.paper.push_back(lr("W KASIE", formatMoney(s.drawer)));
    printFooter();
    document(in ? "cash-in" : "paid-out");
    changed();
    ack(s.drawer);
}

// ======================= reports =======================

void Exec::xReport() {
    needFields(1);
    const auto flag = parseInt(raw(0));
    if (!flag || (*flag != 0 && *flag != 1))
        refuse(25);
    Grosze total = s.day.deposits;
    for (auto g : s.day.gross)
        total += g;
    if (*flag == 1) {
        needPrinter();
        printHeader("RAPORT X");
        Grosze vat = 0;
        for (int i = 0; i < 9; ++i) {
            if (s.day.gross[i] == 0)
                continue;
            o_.paper.push_back(
                lr(std::string("SPRZED. OPODATK. ") + kLetters[i], formatMoney(s.day.gross[i])));
            o_.paper.push_back(lr(std::string("PTU ") + kLetters[i], formatMoney(s.day.vat[i])));
            vat += s.day.vat[i];
        }
        o_.paper.push_back(lr("SUMA PTU", formatMoney(vat)));
        o_.paper.push_back(lr("NALEŻNOŚĆ", formatMoney(total)));
        o_.paper.push_back(lr("PARAGONY", std::to_string(s.day.receipts)));
        o_.paper.push_back(lr("ANULOWANE", std::to_string(s.day.cancelled)));
        o_.paper.push_back(lr("WPŁATY", formatMoney(s.day.cashIn)));
        o_.paper.push_back(lr("WYPŁATY", formatMoney(s.day.paidOut)));
        o_.paper.push_back(lr("W KASIE", formatMoney(s.drawer)));
        printFooter();
        document("x-report");
        changed();
    }
    ack(total);
}

void Exec::zReport() {
    needNoDocument();
    if (s.fiscal && fmFull())
        refuse(7);
    needPrinter();
    ZRecord z;
    z.zNo = static_cast<int64_t>(fm_.records.size()) + 1;
    z.at = now_;
    z.gross = s.day.gross;
    z.vat = s.day.vat;
    z.rates = s.rates;
    z.exempt = s.exemptLetter;
    z.deposits = s.day.deposits;
    z.receipts = s.day.receipts;
    z.cancelled = s.day.cancelled;
    z.cancelledValue = s.day.cancelledValue;
    z.currency = s.sale.code;
    z.fiscal = s.fiscal;
    printHeader(s.fiscal ? "RAPORT DOBOWY" : "RAPORT DOBOWY NIEFISKALNY");
    if (s.fiscal)
        o_.paper.push_back(lr("RAPORT NR", digits(z.zNo, 4)));
    for (int i = 0; i < 9; ++i) {
        const bool zw = s.exemptLetter.size() == 1 && s.exemptLetter[0] == kLetters[i];
        o_.paper.push_back(lr(std::string("PTU ") + kLetters[i], zw ? "ZW"
                                                                 : s.rates[i] == kInactiveRate
                                                                     ? "---"
                                                                     : formatRatePercent(s.rates[i])));
    }
    for (int i = 0; i < 9; ++i) {
        if (z.gross[i] == 0)
            continue;
        o_.paper.push_back(lr(std::string("SPRZED. OPODATK. ") + kLetters[i], formatMoney(z.gross[i])));
        o_.paper.push_back(lr(std::string("KWOTA PTU ") + kLetters[i], formatMoney(z.vat[i])));
    }
    o_.paper.push_back(lr("ŁĄCZNA KWOTA PTU", formatMoney(z.vatTotal())));
    o_.paper.push_back(lr("ŁĄCZNA NALEŻNOŚĆ", formatMoney(z.total())));
    o_.paper.push_back(lr("PARAGONY", std::to_string(z.receipts)));
    o_.paper.push_back(lr("ANULOWANE", std::to_string(z.cancelled) + " / " + formatMoney(z.cancelledValue)));
    o_.paper.push_back(lr("W KASIE", formatMoney(s.drawer)));
    printFooter();
    if (s.fiscal)
        o_.newRecords.push_back(z);
    s.day = DayTotals{};
    s.readOnlyMode = false;
    document("z-report");
    changed();
    ack(z.total());
}

void Exec::programReport() {
    needPrinter();
    printHeader("RAPORT PROGRAMOWANIA");
    for (int i = 0; i < 9; ++i) {
        const bool zw = exemptGroup(i + 1);
        o_.paper.push_back(lr(std::string("PTU ") + kLetters[i], zw ? "ZW"
                                                                 : s.rates[i] == kInactiveRate
                                                                     ? "---"
                                                                     : formatRatePercent(s.rates[i])));
    }
    for (int i = 0; i < 9; ++i)
        if (s.departmentSet[i])
            o_.paper.push_back(
                lr("DZIAŁ " + digits(i + 1, 2) + " " + s.departments[i].name, s.departments[i].letter));
    for (int i = 0; i < 9; ++i)
        if (!s.clerks[i].password.empty())
            o_.paper.push_back("KASJER " + std::to_string(i + 1) + " " + s.clerks[i].name);
    o_.paper.push_back(lr("WALUTA", s.sale.code));
    if (!s.first.code.empty())
        o_.paper.push_back(lr(s.first.code + " " + s.first.direction, formatRate(s.first.rateMicro, false)));
    if (!s.second.code.empty())
        o_.paper.push_back(
            lr(s.second.code + " " + s.second.direction, formatRate(s.second.rateMicro, false)));
    o_.paper.push_back(lr("NR KASY", digits(s.ecrNumber, 3)));
    if (!s.systemNumber.empty())
        o_.paper.push_back(lr("NR SYSTEMOWY", s.systemNumber));
    o_.paper.push_back(lr("ZMIANY PTU", std::to_string(s.vatChanges)));
    o_.paper.push_back(lr("ZMIANY WALUTY", std::to_string(s.currencyChanges)));
    o_.paper.push_back(lr("ZEROWANIA RAM", std::to_string(s.ramResets)));
    o_.paper.push_back(lr("WERSJA", s.softwareVersion));
    printFooter();
    document("program-report");
    changed();
    ack(0);
}

void Exec::zTotals(const std::vector<const ZRecord*>& rs, bool detail,
                   std::vector<std::string>& lines) const {
    std::array<Grosze, 9> gross{}, vat{};
    Grosze total = 0;
    int64_t receipts = 0, cancelled = 0;
    for (const ZRecord* z : rs) {
        if (z->zNo == fm_.damagedRecord) {
            lines.push_back(lr("RAPORT " + digits(z->zNo, 4), "USZKODZONY"));
            continue;
        }
        if (detail) {
            lines.push_back(lr("RAPORT " + digits(z->zNo, 4), formatWall(z->at, false)));
            for (int i = 0; i < 9; ++i)
                if (z->gross[i])
                    lines.push_back(lr(std::string(" ") + kLetters[i] + " " + formatMoney(z->gross[i]),
                                       "PTU " + formatMoney(z->vat[i])));
            lines.push_back(lr(" NALEŻNOŚĆ", formatMoney(z->total())));
        }
        for (int i = 0; i < 9; ++i) {
            gross[i] += z->gross[i];
            vat[i] += z->vat[i];
        }
        total += z->total();
        receipts += z->receipts;
        cancelled += z->cancelled;
    }
    lines.push_back(kRule);
    lines.push_back(centre("PODSUMOWANIE"));
    for (int i = 0; i < 9; ++i)
        if (gross[i]) {
            lines.push_back(lr(std::string("SPRZED. OPODATK. ") + kLetters[i], formatMoney(gross[i])));
            lines.push_back(lr(std::string("KWOTA PTU ") + kLetters[i], formatMoney(vat[i])));
        }
    lines.push_back(lr("ŁĄCZNA NALEŻNOŚĆ", formatMoney(total)));
    lines.push_back(lr("PARAGONY", std::to_string(receipts)));
    lines.push_back(lr("ANULOWANE", std::to_string(cancelled)));
    lines.push_back(lr("LICZBA RAPORTÓW", std::to_string(rs.size())));
}

void Exec::fiscalReport(char mode, bool upload) {
    const auto kind = parseInt(raw(0));
    if (!kind || (*kind != 0 && *kind != 1))
        refuse(mode == 'Z' ? 32 : 36);
    std::vector<const ZRecord*> rs;
    std::string title;
    if (mode == 'Z') {
        needFields(3);
        const auto a = parseInt(raw(1)), b = parseInt(raw(2));
        if (!a || !b || *a < 0 || *b < 0)
            refuse(32);
        if (*a > *b)
            refuse(33);
        const auto n = static_cast<int64_t>(fm_.records.size());
        if (*a < 1 || *a > n)
            refuse(34);
        if (*b > n)
            refuse(35);
        for (const auto& z : fm_.records)
            if (z.zNo >= *a && z.zNo <= *b)
                rs.push_back(&z);
        title = "OD NR " + std::to_string(*a) + " DO NR " + std::to_string(*b);
    } else {
        int64_t from = 0, to = 0;
        if (mode == 'D') {
            needFields(7);
            int64_t v[6];
            for (int i = 0; i < 6; ++i)
                v[i] = integer(static_cast<size_t>(1 + i), 36);
            if (v[2] < 0 || v[2] > 99 || v[5] < 0 || v[5] > 99)
                refuse(36);
            from = wallSeconds(static_cast<int>(2000 + v[2]), static_cast<int>(v[1]), static_cast<int>(v[0]),
                               0, 0, 0);
            to = wallSeconds(static_cast<int>(2000 + v[5]), static_cast<int>(v[4]), static_cast<int>(v[3]),
                             23, 59, 59);
            if (from < 0 || to < 0)
                refuse(36);
            if (from > to)
                refuse(39);
        } else {
            needFields(3);
            const int64_t month = integer(1, 36), year = integer(2, 36);
            if (month < 1 || month > 12 || year < 0 || year > 99)
                refuse(36);
            const QDate first(static_cast<int>(2000 + year), static_cast<int>(month), 1);
            from = wallSeconds(first.year(), first.month(), 1, 0, 0, 0);
            to = wallSeconds(first.year(), first.month(), first.daysInMonth(), 23, 59, 59);
        }
        for (const auto& z : fm_.records)
            if (z.at >= from && z.at <= to)
                rs.push_back(&z);
        if (rs.empty())
            refuse(37);
        title = "OD " + formatWall(from, false) + " DO " + formatWall(to, false);
    }
    std::vector<std::string> lines;
    lines.push_back(centre(*kind ? "RAPORT OKRESOWY SZCZEGÓŁOWY" : "RAPORT OKRESOWY"));
    if (mode == 'M')
        lines.front() = centre("RAPORT MIESIĘCZNY");
    lines.push_back(centre(title));
    if (!s.taxId.empty())
        lines.push_back(centre("NIP " + groupTaxId(s.taxId, s.taxIdFormat)));
    zTotals(rs, *kind == 1, lines);
    if (upload) {
        std::string bytes;
        for (const auto& l : lines)
            bytes += pad(toCp1250(l), 32, '\0');
        o_.file = DataFile{"_FisRpt.mem", bytes};
        ack(static_cast<int64_t>(lines.size()));
        return;
    }
    needPrinter();
    printHeader(s.fiscal ? "RAPORT Z PAMIĘCI FISKALNEJ" : "RAPORT Z PAMIĘCI");
    for (auto& l : lines)
        o_.paper.push_back(l);
    printFooter();
    document("fiscal-memory-report");
    changed();
    ack(static_cast<int64_t>(rs.size()));
}

// ======================= programming =======================

void Exec::setDate() {
    needFields(3);
    const auto d = parseInt(raw(0)), m = parseInt(raw(1)), y = parseInt(raw(2));
    if (!d || !m || !y)
        refuse(41);
    if (*m < 1 || *m > 12)
        refuse(42);
    if (*d < 1 || *d > 31)
        refuse(43);
    if (*y < 0 || *y > 99)
        refuse(91);
    const QDateTime cur = wall(now_);
    const int64_t target =
        wallSeconds(static_cast<int>(2000 + *y), static_cast<int>(*m), static_cast<int>(*d),
                    cur.time().hour(), cur.time().minute(), cur.time().second());
    if (target < 0)
        refuse(91);
    needDayClosed();
    const int64_t last = lastFmDate();
    if (last && QDate(wall(target).date()) < wall(last).date())
        refuse(74);
    s.clockOffset += target - now_;
    changed();
    ack(0);
}

void Exec::setTime() {
    needFields(3);
    const auto h = parseInt(raw(0)), m = parseInt(raw(1)), sec = parseInt(raw(2));
    if (!h || !m || !sec)
        refuse(12);
    if (*h < 0 || *h > 23)
        refuse(13);
    if (*m < 0 || *m > 59)
        refuse(14);
    if (*sec < 0 || *sec > 59)
        refuse(15);
    const QDateTime cur = wall(now_);
    const int64_t target = wallSeconds(cur.date().year(), cur.date().month(), cur.date().day(),
                                       static_cast<int>(*h), static_cast<int>(*m), static_cast<int>(*sec));
    if (std::llabs(target - now_) > 3600)
        refuse(73);
    needNoDocument();
    if (s.fiscal && fm_.records.size() && target < lastFmDate())
        refuse(74);
    s.clockOffset += target - now_;
    changed();
    ack(0);
}

void Exec::setVat() {
    needFields(10);
    std::array<int, 9> rates{};
    for (int i = 0; i < 9; ++i) {
        const auto v = parseInt(raw(static_cast<size_t>(i)));
        if (!v)
            refuse(71);
        if (*v < 0 || *v > kInactiveRate)
            refuse(86);
        rates[i] = static_cast<int>(*v);
    }
    const std::string exempt = raw(9);
    if (!exempt.empty() && (exempt.size() != 1 || exempt[0] < 'A' || exempt[0] > 'I'))
        refuse(11);
    needDayClosed();
    if (rates == s.rates && exempt == s.exemptLetter && s.ratesSet) {
        ack(s.vatChanges);
        return;
    }
    if (s.fiscal) {
        if (s.vatChanges >= 30)
            refuse(70);
        if (fmFull())
            refuse(7);
        std::string data = "{\"rates\":[";
        for (int i = 0; i < 9; ++i)
            data += (i ? "," : "") + std::to_string(rates[i]);
        data += "],\"exempt\":\"" + exempt + "\"}";
        o_.newEvents.push_back(FmEvent{now_, "vat", data});
        ++s.vatChanges;
    }
    s.rates = rates;
    s.exemptLetter = exempt;
    s.ratesSet = true;
    needPrinter();
    printHeader("ZMIANA STAWEK PTU");
    for (int i = 0; i < 9; ++i)
        o_.paper.push_back(lr(std::string("PTU ") + kLetters[i], exemptGroup(i + 1) ? "ZW"
                                                                 : rates[i] == kInactiveRate
                                                                     ? "---"
                                                                     : formatRatePercent(rates[i])));
    printFooter();
    document("vat-change");
    changed();
    ack(s.vatChanges);
}

void Exec::setHeader() {
    needFields(3);
    const auto first = parseInt(raw(0)), attr = parseInt(raw(1));
    if (!first || *first < 1 || *first > 5 || !attr || *attr < 0 || *attr > 1)
        refuse(10);
    const std::string bytes = raw(2);
    if (bytes.empty() || bytes.size() % 32 != 0 || static_cast<int64_t>(bytes.size() / 32) > 6 - *first)
        refuse(2);
    needNoDocument();
    for (size_t i = 0; i < bytes.size() / 32; ++i) {
        const size_t line = static_cast<size_t>(*first - 1) + i;
        s.header[line] = fromCp1250(bytes.substr(i * 32, 32));
        s.headerSet[line] = true;
    }
    changed();
    ack(0);
}

void Exec::setDepartment() {
    needFields(3);
    const std::string num = raw(0), letter = raw(2);
    const auto n = parseInt(num);
    if (num.size() != 2 || !n || *n < 1 || *n > 9)
        refuse(3);
    if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'I')
        refuse(19);
    const std::string name = text(1);
    if (raw(1).size() > 20)
        refuse(2);
    s.departments[static_cast<size_t>(*n - 1)] = Department{name, letter};
    s.departmentSet[static_cast<size_t>(*n - 1)] = true;
    changed();
    ack(*n);
}

static bool threeDigits(const std::string& p) {
    return p.size() == 3 && std::all_of(p.begin(), p.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void Exec::setClerk() {
    needFields(3);
    const auto n = parseInt(raw(0));
    if (!n || *n < 1 || *n > 9)
        refuse(66);
    if (!threeDigits(raw(1)) || raw(2).size() > 14)
        refuse(64);
    needNoDocument();
    s.clerks[static_cast<size_t>(*n - 1)] = Clerk{raw(1), text(2)};
    changed();
    ack(*n);
}

void Exec::clerkLogon() {
    needFields(2);
    const auto n = parseInt(raw(0));
    if (!n || *n < 1 || *n > 9)
        refuse(66);
    const Clerk& c = s.clerks[static_cast<size_t>(*n - 1)];
    if (c.password.empty() || c.password != raw(1))
        refuse(65);
    needNoDocument();
    s.clerkOnDuty = static_cast<int>(*n);
    s.readOnlyMode = false;
    changed();
    ack(*n);
}

void Exec::serviceLogon(bool readOnly) {
    needFields(1);
    if (raw(0) != s.servicePassword)
        refuse(67);
    if (readOnly) {
        needNoDocument();
        s.readOnlyMode = true;
    } else {
        s.serviceMode = true;
        s.readOnlyMode = false;
    }
    changed();
    ack(0);
}

static std::optional<int64_t> parseRate(const std::string& t) {
    return parseDecimal(t, 6);
}

void Exec::setMoney() {
    needFields(11);
    int64_t v[5];
    for (int i = 0; i < 5; ++i) {
        const auto x = parseInt(raw(static_cast<size_t>(i)));
        if (!x)
            refuse(91);
        v[i] = *x;
    }
    if (v[0] < 0 || v[0] > 99)
        refuse(91);
    const int64_t at = wallSeconds(static_cast<int>(2000 + v[0]), static_cast<int>(v[1]),
                                   static_cast<int>(v[2]), static_cast<int>(v[3]), static_cast<int>(v[4]), 0);
    if (at < 0 || v[3] > 23 || v[4] > 59 || at <= now_)
        refuse(91);
    const std::string name = raw(5);
    if (name.size() != 3 ||
        !std::all_of(name.begin(), name.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
        refuse(3);
    if (name == s.sale.code)
        refuse(92);
    const auto rate1 = parseRate(raw(6));
    if (!rate1 || *rate1 <= 0 || (raw(7) != "A" && raw(7) != "B"))
        refuse(3);
    CurrencyChange c;
    c.set = true;
    c.at = at;
    c.newName = name;
    c.first = Currency{s.sale.code, *rate1, raw(7)};
    const std::string second = raw(8);
    if (!second.empty()) {
        const auto rate2 = parseRate(raw(9));
        if (second.size() != 3 || !rate2 || *rate2 <= 0 || (raw(10) != "A" && raw(10) != "B"))
            refuse(3);
        c.second = Currency{second, *rate2, raw(10)};
    }
    if (s.currencyChanges >= 8)
        refuse(93);
    s.change = c;
    changed();
    ack(s.currencyChanges);
}

void Exec::exchangeRate() {
    if (!r_.fields.empty() && !(r_.fields.size() == 1 && r_.fields[0].empty())) {
        needFields(4);
        const auto rate1 = parseRate(raw(0));
        if (!rate1 || *rate1 <= 0 || (raw(1) != "A" && raw(1) != "B"))
            refuse(3);
        Currency second = s.second;
        if (!raw(2).empty() || !raw(3).empty()) {
            const auto rate2 = parseRate(raw(2));
            if (!rate2 || *rate2 <= 0 || (raw(3) != "A" && raw(3) != "B"))
                refuse(3);
            second.rateMicro = *rate2;
            second.direction = raw(3);
        }
        if (s.receipt.open && !s.receipt.payments.empty())
            refuse(5);
        s.first.rateMicro = *rate1;
        s.first.direction = raw(1);
        s.second = second;
        changed();
    }
    auto code = [](const Currency& c) { return pad(c.code, 3); };
    auto mode = [](const Currency& c) {
        return c.direction.empty() ? std::string(" ") : c.direction.substr(0, 1);
    };
    o_.answer = "O0" + code(s.sale) + code(s.first) + formatRate(s.first.rateMicro, true) + mode(s.first) +
                code(s.second) + formatRate(s.second.rateMicro, true) + mode(s.second) + digits(due(), 10);
}

void Exec::setCurrencyName() {
    needFields(1);
    const std::string t = pad(raw(0), 6);
    auto ok = [](const std::string& n) {
        return n == "   " || std::all_of(n.begin(), n.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    };
    const std::string a = t.substr(0, 3), b = t.substr(3, 3);
    if (raw(0).size() > 6 || !ok(a) || !ok(b) || a == "   ")
        refuse(3);
    if (a == s.sale.code || b == s.sale.code)
        refuse(92);
    if (s.receipt.open)
        refuse(5);
    s.first.code = a;
    s.second.code = b == "   " ? std::string() : b;
    if (b == "   ")
        s.second = Currency{};
    changed();
    ack(0);
}

void Exec::setId(bool enterFiscal) {
    needFields(2);
    const std::string code = raw(0), number = raw(1);
    const bool codeOk = code.size() == 3 &&
                        std::all_of(code.begin(), code.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    const bool numberOk =
        !number.empty() && number.size() <= 8 &&
        std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!codeOk || !numberOk)
        refuse(51);
    needService();
    if (!enterFiscal) {
        if (!s.idCode.empty())
            refuse(52);
        s.idCode = code;
        s.idNumber = number;
        o_.newEvents.push_back(
            FmEvent{now_, "id", "{\"code\":\"" + code + "\",\"number\":\"" + number + "\"}"});
        changed();
        ack(0);
        return;
    }
    if (s.fiscal)
        refuse(53);
    if (s.idCode != code || s.idNumber != number)
        refuse(51);
    if (s.taxId.empty())
        refuse(69);
    if (!s.ratesSet)
        refuse(20);
    needDayClosed();
    if (fmFull())
        refuse(7);
    needPrinter();
    s.fiscal = true;
    s.day = DayTotals{};
    o_.newEvents.push_back(FmEvent{now_, "fiscal", "{}"});
    printHeader("FISKALIZACJA");
    o_.paper.push_back(centre("PL " + code + " " + number));
    printFooter();
    document("fiscalisation");
    changed();
    ack(0);
}

void Exec::setTaxId() {
    needFields(2);
    const std::string id = raw(0);
    const auto fmt = parseInt(raw(1));
    if (!fmt || *fmt < 0 || *fmt > 0xFFFF || !validNip(id))
        refuse(69);
    int sum = 0;
    for (int shift = 0; shift < 16; shift += 4) {
        const int d = static_cast<int>((*fmt >> shift) & 0xF);
        if (d > 9)
            refuse(69);
        sum += d;
    }
    if (sum != 0 && sum != 10)
        refuse(69);
    needService();
    if (!s.taxId.empty())
        refuse(84);
    s.taxId = id;
    s.taxIdFormat = static_cast<int>(*fmt);
    o_.newEvents.push_back(
        FmEvent{now_, "taxid", "{\"taxId\":\"" + id + "\",\"format\":" + std::to_string(*fmt) + "}"});
    changed();
    ack(0);
}

void Exec::sramErase() {
    needFields(6);
    int64_t v[6];
    for (int i = 0; i < 6; ++i) {
        const auto x = parseInt(raw(static_cast<size_t>(i)));
        if (!x)
            refuse(91);
        v[i] = *x;
    }
    if (v[2] < 0 || v[2] > 99 || v[3] < 0 || v[3] > 23 || v[4] < 0 || v[4] > 59 || v[5] < 0 || v[5] > 59)
        refuse(91);
    const int64_t at =
        wallSeconds(static_cast<int>(2000 + v[2]), static_cast<int>(v[1]), static_cast<int>(v[0]),
                    static_cast<int>(v[3]), static_cast<int>(v[4]), static_cast<int>(v[5]));
    if (at < 0)
        refuse(91);
    if (!s.serviceMode && !f_.resetPinShorted)
        refuse(40);
    const int64_t last = lastFmDate();
    if (last && at < last)
        refuse(74);
    if (s.ramResets >= 200)
        refuse(79);
    State fresh;
    // what fiscal memory holds survives
    fresh.idCode = s.idCode, fresh.idNumber = s.idNumber, fresh.taxId = s.taxId,
    fresh.taxIdFormat = s.taxIdFormat;
    fresh.fiscal = s.fiscal;
    fresh.vatChanges = s.vatChanges, fresh.currencyChanges = s.currencyChanges;
    fresh.ramResets = s.ramResets + 1;
    fresh.receiptNo = s.receiptNo, fresh.documentNo = s.documentNo;
    fresh.softwareVersion = s.softwareVersion;
    fresh.serviceMode = s.serviceMode;
    fresh.servicePassword = s.servicePassword;
    fresh.sale = s.sale;
    if (s.fiscal) {
        fresh.rates = s.rates;
        fresh.exemptLetter = s.exemptLetter;
        fresh.ratesSet = s.ratesSet;
    }
    fresh.clockOffset = s.clockOffset + (at - now_);
    s = fresh;
    if (s.fiscal)
        o_.newEvents.push_back(FmEvent{at, "ramreset", "{\"count\":" + std::to_string(s.ramResets) + "}"});
    if (!f_.paperOut && !f_.offline) {
        printHeader("ZEROWANIE RAM");
        o_.paper.push_back(lr("ZEROWANIE NR", std::to_string(s.ramResets)));
        printFooter();
        document("ram-reset");
    }
    changed();
    ack(s.ramResets);
}

// ======================= answers =======================

constexpr int kDumpBlock = 128;

void Exec::dump(int which) {
    needFields(1);
    bool ok = !raw(0).empty() && raw(0).size() <= 8;
    int64_t address = 0;
    for (char c : raw(0)) {
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : -1;
        if (d < 0)
            ok = false;
        address = address * 16 + std::max(d, 0);
    }
    std::string image;
    int64_t size = 0;
    if (which == 0) {
        size = 0x8000;
        image = stateToJson(s);
    } else if (which == 1) {
        size = 0x20000;
        for (const auto& z : fm_.records) {
            char rec[33];
            std::snprintf(rec, sizeof rec, "Z%04lld %s %012lld", static_cast<long long>(z.zNo),
                          formatWall(z.at, false).c_str(), static_cast<long long>(z.total()));
            image += pad(rec, 32, '\0');
        }
    } else {
        size = 0x40000;
        const std::string banner = "TAVO VIRTUAL PRINTER ROM " + s.softwareVersion;
        image = banner;
        for (int64_t i = static_cast<int64_t>(banner.size()); i < size; ++i)
            image += static_cast<char>((i * 131 + 7) & 0xFF);
    }
    if (!ok || address < 0 || address + kDumpBlock > size)
        refuse(which == 0 ? 81 : 44);
    if (static_cast<int64_t>(image.size()) < size)
        image.append(static_cast<size_t>(size) - image.size(), '\xFF');
    o_.answer = "O0" + image.substr(static_cast<size_t>(address), kDumpBlock);
}

void Exec::hardwareStatus() {
    std::string a = "O0";
    a += s.idCode.empty() ? std::string(3, '\xFF') : pad(s.idCode, 3);
    a += s.idNumber.empty() ? std::string(8, '\xFF') : pad(s.idNumber, 8);
    a += s.taxId.empty() ? std::string(10, '\xFF') : pad(s.taxId, 10);
    a += static_cast<char>((s.taxIdFormat >> 8) & 0xFF);
    a += static_cast<char>(s.taxIdFormat & 0xFF);
    a += s.fiscal ? '0' : '1';
    a += fmFull() ? '1' : '0';
    a += f_.lowBattery ? '0' : '1';
    a += f_.resetPinShorted ? '1' : '0';
    a += s.receipt.open ? '1' : '0';
    a += '0';
    const bool zBlocked = s.day.hasSales() && now_ - s.day.openedAt >= 24 * 3600;
    a += zBlocked ? '1' : '0';
    a += digits(static_cast<int64_t>(fm_.records.size()), 4);
    a += digits(std::max<int64_t>(0, fm_.capacity - static_cast<int64_t>(fm_.records.size())), 4);
    a += digits(s.receiptNo, 6) + digits(s.ramResets, 4) + digits(s.vatChanges, 3) +
         digits(s.currencyChanges, 3);
    a += fm_.damagedRecord > 0 ? '1' : '0';
    a += '0';
    a += '1';
    a += fm_.damagedRecord > 0 ? '1' : '0';
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
    a += '0';
    o_.answer = a;
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
            a += pad(toCp1250(s.departments[i].name), 20);
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
        a += s.headerSet[i] ? pad(toCp1250(s.header[i]), 32) : std::string(32, '\xFF');
    }
    o_.answer = a;
}

static void put16(std::string& out, int64_t v) {
    const auto x = static_cast<uint16_t>(std::clamp<int64_t>(v, 0, 0xFFFE));
    out += static_cast<char>(x >> 8);
    out += static_cast<char>(x & 0xFF);
}
static void putBig(std::string& out, int64_t v, int width) {
    for (int i = width - 1; i >= 0; --i)
        out += static_cast<char>((static_cast<uint64_t>(v) >> (8 * i)) & 0xFF);
}

void Exec::uploadPlu() {
    std::string bytes;
    for (const auto& p : s.plus) {
        std::string rec = pad(toCp1250(p.name), 40);
        const bool zw = exemptGroup(p.group);
        put16(rec, std::min<Grosze>(p.price, 65534));                    // price
        put16(rec, zw ? 10000 : s.rates[p.group - 1]);                   // VAT rate
        put16(rec, p.group * 100);                                       // group 1..9
        put16(rec, std::min<int64_t>(roundDiv(p.soldMilli, 10), 65534)); // sold quantity
        put16(rec, std::min<Grosze>(p.soldValue / 100, 65534));          // sold value, whole units
        rec += "\xFF\xFF";                                               // unused
        rec += pad("", 12, '\0');
        bytes += rec;
    }
    o_.file = DataFile{"_Plu.mem", bytes};
    ack(static_cast<int64_t>(s.plus.size()));
}

void Exec::uploadPackages() {
    needFields(1);
    const std::string flag = raw(0);
    if (flag != "0" && flag != "1")
        refuse(26);
    std::string bytes;
    for (const auto& p : s.packages) {
        std::string rec = pad(toCp1250(p.name), 40);
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
                     !s.day.hasSales() && !s.receipt.open && !fmFull();
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
    a += digits(static_cast<int64_t>(fm_.records.size()), 4);
    o_.answer = a;
}

static char bcd(int v) {
    return static_cast<char>(((v / 10) << 4) | (v % 10));
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

// ======================= dispatch =======================

void Exec::run() {
    const std::string& c = r_.code;
    if (c == "01")
        return setHeader();
    if (c == "02")
        return setDepartment();
    if (c == "03")
        return setVat();
    if (c == "04")
        return setDate();
    if (c == "05")
        return setTime();
    if (c == "06")
        return setClerk();
    if (c == "07")
        return clerkLogon();
    if (c == "08") {
        needNoDocument();
        s.clerkOnDuty = 0;
        s.serviceMode = false; // the technician leaves with the clerks
        changed();
        return ack(0);
    }
    if (c == "09")
        return serviceLogon(false);
    if (c == "10")
        return serviceLogon(true);
    if (c == "11")
        return setMoney();
    if (c == "12") {
        needNoDocument();
        return ack(0);
    }
    if (c == "13")
        return exchangeRate();
    if (c == "14")
        return fiscalStatus();
    if (c == "15") {
        const std::string sel = raw(0);
        Request sub{r_.code, std::vector<std::string>(r_.fields.begin() + (r_.fields.empty() ? 0 : 1),
                                                      r_.fields.end())};
        Exec e(fm_, f_, now_, sub, o_);
        if (sel != "Z" && sel != "D" && sel != "M")
            refuse(32);
        return e.fiscalReport(sel[0], true);
    }
    if (c == "16")
        return setCurrencyName();
    if (c == "17")
        return currencyChangeAnswer();
    if (c == "18") {
        needFields(1);
        const auto d = parseInt(raw(0));
        if (!d || *d < 1 || *d > 9)
            refuse(3);
        s.density = static_cast<int>(*d);
        changed();
        return ack(*d);
    }
    if (c == "19") {
        needFields(1);
        const std::string p = raw(0);
        if (p.size() != 34 || p.substr(0, 2) != "81" ||
            !std::all_of(p.begin() + 2, p.end(), [](char x) { return x == '0' || x == '1'; }))
            refuse(3);
        s.parameters = p;
        changed();
        return ack(0);
    }
    if (c == "20") {
        needFields(1);
        const auto n = parseInt(raw(0));
        if (!n || *n < 1 || *n > 99)
            refuse(3);
        needService();
        needNoDocument();
        s.ecrNumber = static_cast<int>(*n);
        changed();
        return ack(*n);
    }
    if (c == "21")
        return fiscalReport('Z', false);
    if (c == "22")
        return fiscalReport('D', false);
    if (c == "23")
        return fiscalReport('M', false);
    if (c == "24") {
        needFields(1);
        const std::string n = raw(0);
        if (n.size() > 16 || !std::all_of(n.begin(), n.end(), [](char x) {
                return x == '-' || x == ' ' || (x >= '0' && x <= '9');
            }))
            refuse(3);
        needService();
        s.systemNumber = QString::fromStdString(n).trimmed().toStdString();
        changed();
        return ack(0);
    }
    if (c == "30")
        return saleItem(false);
    if (c == "31")
        return saleItem(true);
    if (c == "32")
        return discount();
    if (c == "33")
        return subtotal();
    if (c == "34")
        return payment();
    if (c == "35")
        return clientId();
    if (c == "36")
        return receiptCancel();
    if (c == "37")
        return receiptClose();
    if (c == "38")
        return packageEntry(true);
    if (c == "39")
        return packageEntry(false);
    if (c == "40")
        return hardwareStatus();
    if (c == "41")
        return softwareStatus();
    if (c == "42")
        return packagePayment(true);
    if (c == "43")
        return sramErase();
    if (c == "44")
        return dump(0);
    if (c == "45")
        return dump(1);
    if (c == "46")
        return packagePayment(false);
    if (c == "47") {
        char st = '0';
        if (f_.offline)
            st = '6';
        else if (f_.paperOut)
            st = '2';
        o_.answer = std::string("P0") + st;
        return;
    }
    if (c == "48")
        return dump(2);
    if (c == "49")
        return cash(true);
    if (c == "50")
        return cash(false);
    if (c == "51")
        return ack(s.drawer);
    if (c == "52") {
        needPrinter();
        return ack(s.drawer);
    }
    if (c == "60")
        return xReport();
    if (c == "61")
        return zReport();
    if (c == "62")
        return programReport();
    if (c == "63")
        return postpone();
    if (c == "70")
        return setId(false);
    if (c == "71")
        return setTaxId();
    if (c == "72")
        return setId(true);
    if (c == "89")
        return uploadPackages();
    if (c == "90")
        return uploadPlu();
    if (c == "91")
        return uploadRates();
    if (c == "92")
        return uploadDepartments();
    if (c == "93")
        return uploadHeader();
    refuse(1);
}

} // namespace

int answerSize(const std::string& code) {
    static const std::map<std::string, int> sizes = {{"13", 51},  {"14", 13},  {"17", 43},  {"40", 62},
                                                     {"41", 48},  {"44", 130}, {"45", 130}, {"47", 3},
                                                     {"48", 130}, {"91", 39},  {"92", 209}, {"93", 172}};
    const auto it = sizes.find(code);
    return it != sizes.end() ? it->second : kAckLength;
}

bool isKnownCode(const std::string& code) {
    static const char* known[] = {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12",
                                  "13", "14", "15", "16", "17", "18", "19", "20", "21", "22", "23", "24",
                                  "30", "31", "32", "33", "34", "35", "36", "37", "38", "39", "40", "41",
                                  "42", "43", "44", "45", "46", "47", "48", "49", "50", "51", "52", "60",
                                  "61", "62", "63", "70", "71", "72", "89", "90", "91", "92", "93"};
    return std::find(std::begin(known), std::end(known), code) != std::end(known);
}

void Printer::catchUp(State& s, int64_t now, std::vector<FmEvent>& events, std::vector<std::string>& paper) {
    if (!s.change.set || now < s.change.at || s.receipt.open || !s.packageLines.empty() || s.day.hasSales())
        return;
    const CurrencyChange c = s.change;
    s.first = c.first;
    s.second = c.second;
    s.sale = Currency{c.newName, 0, ""};
    s.change = CurrencyChange{};
    ++s.currencyChanges;
    if (s.fiscal)
        events.push_back(FmEvent{now, "currency", "{\"name\":\"" + c.newName + "\"}"});
    paper.push_back(centre("ZMIANA WALUTY NA " + c.newName));
    paper.push_back(lr("OD", formatWall(c.at)));
    paper.push_back("");
}

Outcome Printer::execute(const State& state, const FiscalMemory& fm, const Faults& faults, int64_t now,
                         const Request& request) {
    Outcome o;
    o.state = state;
    try {
        if (!isKnownCode(request.code))
            refuse(1);
        Printer::catchUp(o.state, now, o.newEvents, o.paper);
        if (!o.newEvents.empty() || !o.paper.empty())
            o.changed = true;
        Exec e(fm, faults, now, request, o);
        e.run();
    } catch (const Refusal& r) {
        Outcome refused;
        refused.state = state;
        refused.status = r.status;
        refused.subCode = r.sub;
        return refused;
    }
    return o;
}

} // namespace vp
