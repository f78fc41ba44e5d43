#include "Audit.h"

#include "Exec.h"
#include "Json.h"
#include "States.h"
#include "Store.h"

#include <QDateTime>
#include <QJsonArray>
#include <QRegularExpression>
#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace vp::audit {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string money(Grosze v) {
    return paper::amount(v);
}

// "-12,34" to grosze.
Grosze amountOf(const QString& text) {
    const bool negative = text.startsWith('-');
    return (negative ? -1 : 1) * parseDecimal((negative ? text.mid(1) : text).toStdString(), 2).value_or(0);
}

// The printer's receipt arithmetic (Exec's own functions), on a receipt
// rebuilt from its printout.
struct Arithmetic {
    FiscalMemory fm;
    ArticleBase articles;
    Faults faults;
    Request none;
    Outcome scratch;
    Exec exec{fm, articles, faults, 0, none, scratch};
};

const QString kAmount = QStringLiteral("(-?\\d{1,12},\\d\\d)");

const QRegularExpression& re(const char* pattern) {
    // a small cache of the patterns used below, compiled once
    static std::map<const char*, QRegularExpression> cache;
    auto it = cache.find(pattern);
    if (it == cache.end())
        it = cache.emplace(pattern, QRegularExpression(QString::fromUtf8(pattern).replace("AMOUNT", kAmount)))
                 .first;
    return it->second;
}

QRegularExpressionMatch match(const char* pattern, const QString& line) {
    return re(pattern).match(line);
}

// The receipt's lines and their places, as the order check sees them.
enum Rank {
    rHeader = 0,
    rTaxId = 100,
    rDate = 200,
    rTitle = 300,
    rRule1 = 400,
    rItems = 500,
    rRule2 = 600,
    rTaxed = 700, // + 2 x group (+ 1 for the tax line)
    rExempt = 800,
    rSumVat = 900,
    rSum = 1000,
    rDeposits = 1100,
    rToPay = 1200,
    rPayment = 1300,
    rChange = 1400,
    rBuyer = 1500,
    rFooterText = 1600,
    rNumber = 1700,
    rLogo = 1800,
    rEnd = 1900,
};

std::string rankName(int rank) {
    if (rank >= rTaxed && rank < rExempt) {
        const char letter = kLetters[(rank - rTaxed) / 2];
        return (rank - rTaxed) % 2 ? std::string("PTU ") + letter : std::string("SPRZED. OPODATK. ") + letter;
    }
    switch (rank) {
    case rHeader:
        return "the seller's name and address";
    case rTaxId:
        return "the seller's NIP";
    case rDate:
        return "the date and print number";
    case rTitle:
        return "PARAGON FISKALNY";
    case rRule1:
        return "the rule above the items";
    case rItems:
        return "the items";
    case rRule2:
        return "the rule below the items";
    case rExempt:
        return "SPRZEDAŻ ZWOLNIONA";
    case rSumVat:
        return "SUMA PTU";
    case rSum:
        return "SUMA PLN";
    case rDeposits:
        return "KAUCJA POBRANA";
    case rToPay:
        return "DO ZAPŁATY";
    case rPayment:
        return "the payments";
    case rChange:
        return "RESZTA";
    case rBuyer:
        return "the buyer's ID";
    case rFooterText:
        return "the footer text";
    case rNumber:
        return "the receipt number, register and clerk";
    case rLogo:
        return "the fiscal logo and the printer's number";
    default:
        return "the end of the receipt";
    }
}

// The place of one line after the items, by its text.
std::optional<int> summaryRank(const QString& l) {
    if (auto m = match("^SPRZED\\. OPODATK\\. ([A-I]) +AMOUNT$", l); m.hasMatch())
        return rTaxed + 2 * (m.captured(1)[0].unicode() - 'A');
    if (auto m = match("^PTU ([A-I]) \\d{1,12},\\d\\d% +AMOUNT$", l); m.hasMatch())
        return rTaxed + 2 * (m.captured(1)[0].unicode() - 'A') + 1;
    if (match("^SPRZEDAŻ ZWOLNIONA +AMOUNT$", l).hasMatch())
        return rExempt;
    if (match("^SUMA PTU +AMOUNT$", l).hasMatch())
        return rSumVat;
    if (match("^SUMA [A-Z]{3} +AMOUNT$", l).hasMatch())
        return rSum;
    if (match("^KAUCJA POBRANA +AMOUNT$", l).hasMatch())
        return rDeposits;
    if (match("^DO ZAPŁATY +AMOUNT$", l).hasMatch())
        return rToPay;
    if (match("^(GOTÓWKA|KARTA|BON)( [A-Z]{3} \\d{1,12},\\d\\d)? +AMOUNT$", l).hasMatch())
        return rPayment;
    if (match("^RESZTA +AMOUNT$", l).hasMatch())
        return rChange;
    if (match("^(NIP|PESEL|ID) nabywcy: ", l).hasMatch())
        return rBuyer;
    if (match("^\\d{6} #\\d{3} .* \\d\\d:\\d\\d$", l).hasMatch())
        return rNumber;
    if (match("^ *PL [A-Z]{3} \\d{1,8}$", l).hasMatch())
        return rLogo;
    return std::nullopt;
}

bool isRule(const QString& l) {
    return l == QString(paper::kWidth, '-');
}

std::string normalised(const QString& name) {
    return name.simplified().toStdString();
}

class ReceiptCheck {
  public:
    ReceiptCheck(const std::vector<std::string>& lines, const ReceiptFacts& facts) : facts_(facts) {
        for (const auto& l : lines)
            lines_.push_back(q(l));
    }

    std::vector<Finding> run(ReceiptSums* sums) {
        checkOrder();
        checkItemsAndSums(sums);
        return std::move(findings_);
    }

  private:
    const ReceiptFacts& facts_;
    std::vector<QString> lines_;
    std::vector<Finding> findings_;
    size_t rule1_ = 0, rule2_ = 0; // 0: none

    void add(const std::string& check, const std::string& what, const std::string& expected,
             const std::string& found) {
        Finding f;
        f.check = check, f.what = what, f.expected = expected, f.found = found;
        findings_.push_back(std::move(f));
    }

    // ---- the order of the lines ----

    void checkOrder() {
        const QRegularExpression& title = re("^ *PARAGON FISKALNY$");
        size_t titleAt = lines_.size();
        for (size_t i = 0; i < lines_.size(); ++i)
            if (title.match(lines_[i]).hasMatch()) {
                titleAt = i;
                break;
            }
        for (size_t i = 0; i < lines_.size(); ++i)
            if (isRule(lines_[i])) {
                if (!rule1_)
                    rule1_ = i + 1;
                else if (!rule2_)
                    rule2_ = i + 1;
            }
        std::vector<int> ranks(lines_.size(), rHeader);
        bool sawNumber = false;
        for (size_t i = 0; i < lines_.size(); ++i) {
            const QString& l = lines_[i];
            int r;
            if (i == titleAt)
                r = rTitle;
            else if (rule1_ && i + 1 == rule1_)
                r = rRule1;
            else if (rule2_ && i + 1 == rule2_)
                r = rRule2;
            else if (rule1_ && i + 1 > rule1_ && (!rule2_ || i + 1 < rule2_))
                r = rItems;
            else if (match("^ *NIP [0-9-]+$", l).hasMatch())
                r = rTaxId;
            else if (match("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d +nr wydr\\. \\d{6}$", l).hasMatch())
                r = rDate;
            else if (const auto s = summaryRank(l))
                r = *s;
            else if (l.isEmpty() && i + 1 == lines_.size())
                r = rEnd;
            else if (!rule2_ || i + 1 < rule2_)
                r = rHeader; // free text above the items: the header
            else
                r = ranks[i ? i - 1 : 0] == rBuyer && !sawNumber ? rBuyer : rFooterText;
            sawNumber = sawNumber || r == rNumber;
            ranks[i] = r;
        }
        // the first line that stands before one it must follow
        size_t highest = 0;
        for (size_t i = 1; i < lines_.size(); ++i) {
            if (ranks[i] < ranks[highest]) {
                add("order", "order of the lines", rankName(ranks[i]) + " before " + rankName(ranks[highest]),
                    "line " + std::to_string(highest + 1) + " \"" +
                        lines_[highest].simplified().toStdString() + "\" before line " +
                        std::to_string(i + 1) + " \"" + lines_[i].simplified().toStdString() + "\"");
                break;
            }
            if (ranks[i] >= ranks[highest])
                highest = i;
        }
        // what every fiscal receipt carries
        auto has = [&](int lo, int hi) {
            return std::any_of(ranks.begin(), ranks.end(), [&](int r) { return r >= lo && r <= hi; });
        };
        const std::pair<int, int> needed[] = {
            {rHeader, rHeader}, {rTaxId, rTaxId}, {rDate, rDate},       {rTitle, rTitle},   {rItems, rItems},
            {rSumVat, rSumVat}, {rSum, rSum},     {rPayment, rPayment}, {rNumber, rNumber}, {rLogo, rLogo}};
        for (const auto& [lo, hi] : needed)
            if (!has(lo, hi))
                add("order", "a line every fiscal receipt carries", rankName(lo), "none");
        for (size_t i = 0; i < lines_.size(); ++i) {
            const std::string l = lines_[i].trimmed().toStdString();
            if (ranks[i] == rTaxId && !facts_.taxIdLine.empty() && l != facts_.taxIdLine)
                add("header", "the seller's NIP (fiscal memory)", facts_.taxIdLine, l);
            if (ranks[i] == rLogo && !facts_.logo.empty() && l != facts_.logo)
                add("header", "the fiscal logo and number (fiscal memory)", facts_.logo, l);
        }
    }

    // ---- the items, the tax per rate and the sums ----

    void checkItemsAndSums(ReceiptSums* sums) {
        Arithmetic a;
        Receipt r;
        r.open = true;
        const size_t first = rule1_ ? rule1_ : lines_.size(), last = rule2_ ? rule2_ - 1 : lines_.size();
        std::vector<QString> name; // lines of a sale's name (and its quantity line when wrapped)
        // A sub-total printed and not yet checked (has, value): a pair rather
        // than an optional, which GCC's -O2 flow analysis wrongly calls
        // uninitialised here.
        bool hasPodsuma = false;
        Grosze podsuma = 0;
        auto completeItem = [&](const QRegularExpressionMatch& m, const QString& valueText,
                                const QString& letter) {
            Item it;
            it.name = normalised(QStringList(name.begin(), name.end()).join(' '));
            it.quantity = parseDecimal(m.captured(1).toStdString(), 3).value_or(0);
            it.unit = m.captured(2).toStdString();
            it.price = amountOf(m.captured(3));
            it.value = amountOf(valueText);
            it.group = letter[0].unicode() - 'A' + 1;
            const auto expected = lineValue(it.quantity, it.price);
            if (!expected || *expected != it.value)
                add("line", it.name + " " + paper::quantity(it.quantity) + " x" + money(it.price),
                    expected ? money(*expected) : "a value within the printer's limits", money(it.value));
            r.items.push_back(it);
            name.clear();
        };
        for (size_t i = first; i < last; ++i) {
            const QString& l = lines_[i];
            if (!name.empty()) {
                // a sale: its name, then "  2 szt x1,50    3,00 A" (the amount on a line
                // of its own when the quantity and price fill the line)
                if (auto m = match(
                        "^ *(\\d{1,9}(?:,\\d{1,3})?)(?: (.{1,4}))? x(\\d{1,12},\\d\\d) +AMOUNT ([A-I])$", l);
                    m.hasMatch() && name.size() >= 1) {
                    completeItem(m, m.captured(4), m.captured(5));
                    continue;
                }
                if (auto v = match("^ +AMOUNT ([A-I])$", l); v.hasMatch() && name.size() >= 2) {
                    const QString qty = name.back();
                    if (auto m = match("^ *(\\d{1,9}(?:,\\d{1,3})?)(?: (.{1,4}))? x(\\d{1,12},\\d\\d)$", qty);
                        m.hasMatch()) {
                        name.pop_back();
                        completeItem(m, v.captured(1), v.captured(2));
                        continue;
                    }
                }
                name.push_back(l);
                continue;
            }
            if (auto m = match("^(RABAT|NARZUT)(?: (\\d{1,12},\\d\\d)%)? +AMOUNT(?: ([A-I]))?$", l);
                m.hasMatch()) {
                const bool down = m.captured(1) == "RABAT";
                const Grosze change = std::abs(amountOf(m.captured(3)));
                const bool byRate = !m.captured(2).isEmpty();
                const int rate = byRate ? static_cast<int>(amountOf(m.captured(2))) : 0;
                if (!m.captured(4).isEmpty()) { // on the last line
                    auto lastItem = std::find_if(r.items.rbegin(), r.items.rend(),
                                                 [](const Item& x) { return !x.cancelled; });
                    if (lastItem == r.items.rend()) {
                        add("discount", l.simplified().toStdString(), "a line to apply it to", "none");
                        continue;
                    }
                    if (byRate && percentOf(lastItem->value, rate) != change)
                        add("discount",
                            l.left(l.indexOf("  ")).toStdString() + " of " + money(lastItem->value),
                            money(percentOf(lastItem->value, rate)), money(change));
                    lastItem->adjustment = down ? -change : change;
                    lastItem->adjusted = true;
                } else {
                    const Grosze sales = a.exec.receiptSales(r);
                    if (hasPodsuma && podsuma != sales)
                        add("receipt-sum", "PODSUMA before " + m.captured(1).toStdString(), money(sales),
                            money(podsuma));
                    if (byRate && percentOf(sales, rate) != change)
                        add("discount", l.left(l.indexOf("  ")).toStdString() + " of " + money(sales),
                            money(percentOf(sales, rate)), money(change));
                    r.subtotalAdjustments.push_back(down ? -change : change);
                }
                hasPodsuma = false;
                continue;
            }
            if (hasPodsuma) { // a sub-total printed on its own: the receipt's total so far
                if (podsuma != a.exec.receiptTotal(r))
                    add("receipt-sum", "PODSUMA", money(a.exec.receiptTotal(r)), money(podsuma));
                hasPodsuma = false;
            }
            if (auto m = match("^PODSUMA +AMOUNT$", l); m.hasMatch()) {
                podsuma = amountOf(m.captured(1));
                hasPodsuma = true;
                continue;
            }
            if (auto m = match("^ *KAUCJA (\\d{1,9}(?:,\\d{1,3})?) x(\\d{1,12},\\d\\d) +AMOUNT$", l);
                m.hasMatch()) {
                if (!r.items.empty()) {
                    Item& it = r.items.back();
                    it.depositPrice = amountOf(m.captured(2));
                    it.deposit = amountOf(m.captured(3));
                    const auto expected =
                        lineValue(parseDecimal(m.captured(1).toStdString(), 3).value_or(0), it.depositPrice);
                    if (!expected || *expected != it.deposit)
                        add("line", "KAUCJA " + m.captured(1).toStdString() + " x" + money(it.depositPrice),
                            expected ? money(*expected) : "a value within the printer's limits",
                            money(it.deposit));
                }
                continue;
            }
            if (match("^ *STORNO KAUCJA +AMOUNT$", l).hasMatch())
                continue; // cancelled with its line
            if (l.startsWith("STORNO ")) {
                // "STORNO name  -3,00", the name wrapped when long
                QString text = l;
                size_t j = i;
                auto end = match("^(.*?) *AMOUNT$", text);
                while (!(end.hasMatch() && end.captured(2).startsWith('-')) && j + 1 < last) {
                    text += " " + lines_[++j];
                    end = match("^(.*?) *AMOUNT$", text);
                }
                i = j;
                if (!end.hasMatch() || !end.captured(2).startsWith('-')) {
                    add("line", l.simplified().toStdString(), "the value it takes off", "none");
                    continue;
                }
                const std::string cancelled = normalised(end.captured(1).mid(7));
                const Grosze value = -amountOf(end.captured(2));
                auto it = std::find_if(r.items.rbegin(), r.items.rend(), [&](const Item& x) {
                    return !x.cancelled && x.name == cancelled && x.value + x.adjustment == value;
                });
                if (it == r.items.rend())
                    add("line", "STORNO " + cancelled,
                        "a line " + money(value) + " of that name on the receipt", "none");
                else
                    it->cancelled = true;
                continue;
            }
            if (match("^(ODŁOŻONY|PODJĘTY) NR \\d +AMOUNT$", l).hasMatch())
                continue;
            name.push_back(l);
        }
        if (hasPodsuma && podsuma != a.exec.receiptTotal(r))
            add("receipt-sum", "PODSUMA", money(a.exec.receiptTotal(r)), money(podsuma));
        if (!name.empty())
            add("line", "a sale", "its quantity, price and value", "\"" + normalised(name.back()) + "\"");

        // what the paper says below the items
        std::array<std::optional<Grosze>, 9> printedGross, printedVat;
        std::array<std::optional<int>, 9> printedRate;
        std::optional<Grosze> exempt, vatSum, sum, deposits, toPay, change;
        Grosze paid = 0;
        int64_t receiptNo = 0;
        for (size_t i = rule2_ ? rule2_ : lines_.size(); i < lines_.size(); ++i) {
            const QString& l = lines_[i];
            if (auto m = match("^SPRZED\\. OPODATK\\. ([A-I]) +AMOUNT$", l); m.hasMatch())
                printedGross[static_cast<size_t>(m.captured(1)[0].unicode() - 'A')] = amountOf(m.captured(2));
            else if (auto t = match("^PTU ([A-I]) (\\d{1,12},\\d\\d)% +AMOUNT$", l); t.hasMatch()) {
                const auto g = static_cast<size_t>(t.captured(1)[0].unicode() - 'A');
                printedRate[g] = static_cast<int>(amountOf(t.captured(2)));
                printedVat[g] = amountOf(t.captured(3));
            } else if (auto e = match("^SPRZEDAŻ ZWOLNIONA +AMOUNT$", l); e.hasMatch())
                exempt = exempt.value_or(0) + amountOf(e.captured(1));
            else if (auto v = match("^SUMA PTU +AMOUNT$", l); v.hasMatch())
                vatSum = amountOf(v.captured(1));
            else if (auto s = match("^SUMA [A-Z]{3} +AMOUNT$", l); s.hasMatch())
                sum = amountOf(s.captured(1));
            else if (auto d = match("^KAUCJA POBRANA +AMOUNT$", l); d.hasMatch())
                deposits = amountOf(d.captured(1));
            else if (auto p = match("^DO ZAPŁATY +AMOUNT$", l); p.hasMatch())
                toPay = amountOf(p.captured(1));
            else if (auto x = match("^(GOTÓWKA|KARTA|BON)( [A-Z]{3} \\d{1,12},\\d\\d)? +AMOUNT$", l);
                     x.hasMatch())
                paid += amountOf(x.captured(3));
            else if (auto c = match("^RESZTA +AMOUNT$", l); c.hasMatch())
                change = amountOf(c.captured(1));
            else if (auto n = match("^(\\d{6}) #\\d{3} ", l); n.hasMatch())
                receiptNo = n.captured(1).toLongLong();
        }
        const auto gross = a.exec.receiptGross(r);
        Grosze vatTotal = 0, exemptTotal = 0, sales = 0;
        bool anyExempt = false;
        auto shown = [](const std::optional<Grosze>& v) { return v ? money(*v) : std::string("none"); };
        for (size_t i = 0; i < 9; ++i) {
            const std::string letter(1, kLetters[i]);
            sales += gross[i];
            const bool isExempt = facts_.exempt == letter;
            if (isExempt) {
                exemptTotal += gross[i];
                anyExempt = anyExempt || gross[i] != 0;
                if (printedGross[i] || printedVat[i])
                    add("receipt-tax", "SPRZED. OPODATK. " + letter + " of the exempt group", "none",
                        shown(printedGross[i]));
                continue;
            }
            const int rate = facts_.rates[i];
            const Grosze vat = vatFromGross(gross[i], rate);
            vatTotal += vat;
            const std::optional<Grosze> expectedGross =
                gross[i] != 0 ? std::optional<Grosze>(gross[i]) : std::nullopt;
            const std::optional<Grosze> expectedVat =
                gross[i] != 0 ? std::optional<Grosze>(vat) : std::nullopt;
            if (printedGross[i] != expectedGross)
                add("receipt-tax", "SPRZED. OPODATK. " + letter, shown(expectedGross),
                    shown(printedGross[i]));
            if (printedRate[i] && *printedRate[i] != rate)
                add("receipt-tax", "PTU " + letter + " rate",
                    rate == kInactiveRate ? "none" : paper::ratePercent(rate),
                    paper::ratePercent(*printedRate[i]));
            if (printedVat[i] != expectedVat)
                add("receipt-tax",
                    "PTU " + letter + (rate == kInactiveRate ? "" : " " + paper::ratePercent(rate)),
                    shown(expectedVat), shown(printedVat[i]));
        }
        if (exempt != (anyExempt ? std::optional<Grosze>(exemptTotal) : std::nullopt))
            add("receipt-tax", "SPRZEDAŻ ZWOLNIONA", anyExempt ? money(exemptTotal) : "none", shown(exempt));
        if (vatSum != vatTotal)
            add("receipt-tax", "SUMA PTU", money(vatTotal), shown(vatSum));
        if (sum != sales)
            add("receipt-sum", "SUMA PLN", money(sales), shown(sum));
        const Grosze deposited = a.exec.receiptDeposits(r);
        if (deposits != (deposited ? std::optional<Grosze>(deposited) : std::nullopt))
            add("receipt-sum", "KAUCJA POBRANA", deposited ? money(deposited) : "none", shown(deposits));
        if (toPay != (deposited ? std::optional<Grosze>(sales + deposited) : std::nullopt))
            add("receipt-sum", "DO ZAPŁATY", deposited ? money(sales + deposited) : "none", shown(toPay));
        const Grosze due = sales + deposited;
        if (paid < due)
            add("receipt-sum", "the payments", "at least " + money(due), money(paid));
        const std::optional<Grosze> expectedChange =
            paid > due ? std::optional<Grosze>(paid - due) : std::nullopt;
        if (change != expectedChange)
            add("receipt-sum", "RESZTA", shown(expectedChange), shown(change));
        if (sums) {
            sums->gross = gross;
            sums->receiptNo = receiptNo;
            sums->deposits = deposited;
            for (const auto& it : r.items)
                if (!it.cancelled)
                    (it.adjustment < 0 ? sums->discounts : sums->increases) += std::abs(it.adjustment);
            for (Grosze adj : r.subtotalAdjustments)
                (adj < 0 ? sums->discounts : sums->increases) += std::abs(adj);
        }
        for (auto& f : findings_)
            f.receiptNo = receiptNo;
    }
};

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            out.push_back(text.substr(start));
            break;
        }
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// ---- the day ----

struct Day {
    std::array<Grosze, 9> gross{};
    int64_t receipts = 0, firstReceipt = 0, lastReceipt = 0;
    Grosze discounts = 0, increases = 0, deposits = 0;
};

// The daily report's record and printout against the receipts of its day.
void checkDay(const ZRecord& z, const Day& day, const std::vector<std::string>* printout, int64_t printNo,
              std::vector<Finding>& out) {
    auto add = [&](const std::string& check, const std::string& what, const std::string& expected,
                   const std::string& found) {
        Finding f;
        f.check = check, f.printNo = printNo, f.zNo = z.zNo, f.at = z.at;
        f.what = what, f.expected = expected, f.found = found;
        out.push_back(std::move(f));
    };
    std::array<Grosze, 9> vat{};
    Grosze vatTotal = 0, total = 0, exemptTotal = 0;
    bool anyExempt = false;
    for (size_t i = 0; i < 9; ++i) {
        const std::string letter(1, kLetters[i]);
        const bool isExempt = z.exempt == letter;
        vat[i] = isExempt ? 0 : vatFromGross(day.gross[i], z.rates[i]);
        vatTotal += vat[i];
        total += day.gross[i];
        if (isExempt) {
            exemptTotal += day.gross[i];
            anyExempt = anyExempt || day.gross[i] != 0;
        }
        const std::string rate = isExempt ? " (exempt)" : " " + paper::ratePercent(z.rates[i]);
        if (z.gross[i] != day.gross[i])
            add("day", "fiscal memory: sales " + letter + " (the receipts of the day)", money(day.gross[i]),
                money(z.gross[i]));
        if (z.vat[i] != vat[i])
            add("day", "fiscal memory: KWOTA PTU " + letter + rate, money(vat[i]), money(z.vat[i]));
        if (z.net[i] != day.gross[i] - vat[i])
            add("day", "fiscal memory: NETTO " + letter, money(day.gross[i] - vat[i]), money(z.net[i]));
    }
    if (z.receipts != day.receipts)
        add("day", "fiscal memory: PARAGONY (the receipts of the day)", std::to_string(day.receipts),
            std::to_string(z.receipts));
    if (day.receipts && (z.firstReceipt != day.firstReceipt || z.lastReceipt != day.lastReceipt))
        add("day", "fiscal memory: first and last receipt",
            paper::digits(day.firstReceipt, 6) + "-" + paper::digits(day.lastReceipt, 6),
            paper::digits(z.firstReceipt, 6) + "-" + paper::digits(z.lastReceipt, 6));
    if (z.discounts != day.discounts)
        add("day", "fiscal memory: RABATY", money(day.discounts), money(z.discounts));
    if (z.increases != day.increases)
        add("day", "fiscal memory: NARZUTY", money(day.increases), money(z.increases));
    if (z.deposits != day.deposits)
        add("day", "fiscal memory: KAUCJE POBRANE", money(day.deposits), money(z.deposits));
    if (!printout)
        return;
    // the printout: every figure as recomputed
    std::map<std::string, Grosze> printed;
    for (const auto& line : *printout) {
        const auto m = match("^(SPRZED\\. OPODATK\\. [A-I]|NETTO [A-I]|KWOTA PTU [A-I]|SPRZEDAŻ ZWOLNIONA|"
                             "ŁĄCZNA KWOTA PTU|ŁĄCZNA NALEŻNOŚĆ|KAUCJE POBRANE|RABATY|NARZUTY) +AMOUNT$",
                             q(line));
        if (m.hasMatch())
            printed[m.captured(1).toStdString()] += amountOf(m.captured(2));
        if (const auto p = match("^PARAGONY +(\\d+)$", q(line)); p.hasMatch())
            printed["PARAGONY"] = p.captured(1).toLongLong();
    }
    auto expect = [&](const std::string& label, std::optional<Grosze> value, bool amount = true) {
        const auto it = printed.find(label);
        const std::optional<Grosze> found = it == printed.end() ? std::nullopt : std::optional(it->second);
        if (found != value)
            add("day-printout", "printout: " + label,
                value ? (amount ? money(*value) : std::to_string(*value)) : "none",
                found ? (amount ? money(*found) : std::to_string(*found)) : "none");
    };
    for (size_t i = 0; i < 9; ++i) {
        const std::string letter(1, kLetters[i]);
        const bool shown = day.gross[i] != 0 && z.exempt != letter;
        expect("SPRZED. OPODATK. " + letter, shown ? std::optional(day.gross[i]) : std::nullopt);
        expect("NETTO " + letter, shown ? std::optional(day.gross[i] - vat[i]) : std::nullopt);
        expect("KWOTA PTU " + letter, shown ? std::optional(vat[i]) : std::nullopt);
    }
    expect("SPRZEDAŻ ZWOLNIONA", anyExempt ? std::optional(exemptTotal) : std::nullopt);
    expect("ŁĄCZNA KWOTA PTU", vatTotal);
    expect("ŁĄCZNA NALEŻNOŚĆ", total);
    expect("KAUCJE POBRANE", day.deposits ? std::optional(day.deposits) : std::nullopt);
    expect("RABATY", day.discounts);
    expect("NARZUTY", day.increases);
    expect("PARAGONY", day.receipts, false);
}

// ---- the journal, document by document ----

struct Doc {
    int64_t printNo = 0, at = 0, firstEntry = 0;
    std::string kind, text;
};

// A periodic report (from the fiscal memory) against the daily records it
// covers, summed by the printer's own function: its lines from the first
// record (or the rule) to LICZBA RAPORTÓW. False when it is not one this
// printer prints (nothing checked).
bool checkPeriodic(const std::vector<std::string>& lines, const std::map<int64_t, ZRecord>& records,
                   int64_t lastZ, const Doc& d, std::vector<Finding>& out) {
    size_t titleAt = lines.size();
    std::vector<ZRecord> covered;
    std::string range;
    for (size_t i = 0; i < lines.size() && titleAt == lines.size(); ++i) {
        const QString l = q(lines[i]).trimmed();
        if (const auto n = match("^OD NR (\\d+) DO NR (\\d+)$", l); n.hasMatch()) {
            titleAt = i;
            range = l.toStdString();
            for (const auto& [zNo, z] : records)
                if (zNo >= n.captured(1).toLongLong() && zNo <= n.captured(2).toLongLong())
                    covered.push_back(z);
        } else if (const auto t = match("^OD (\\d{4})-(\\d\\d)-(\\d\\d) DO (\\d{4})-(\\d\\d)-(\\d\\d)$", l);
                   t.hasMatch()) {
            titleAt = i;
            range = l.toStdString();
            auto part = [&](int k) { return t.captured(k).toInt(); };
            const int64_t from = wallSeconds(part(1), part(2), part(3), 0, 0, 0);
            const int64_t to = wallSeconds(part(4), part(5), part(6), 23, 59, 59);
            for (const auto& [zNo, z] : records)
                if (zNo <= lastZ && z.at >= from && z.at <= to)
                    covered.push_back(z);
        }
    }
    if (titleAt == lines.size())
        return false;
    size_t start = titleAt + 1;
    if (start < lines.size() && match("^ *NIP [0-9-]+$", q(lines[start])).hasMatch())
        ++start;
    const bool detail = start < lines.size() && !isRule(q(lines[start]));
    Arithmetic a;
    std::vector<std::string> expected;
    a.exec.zTotals(covered, detail, expected);
    auto add = [&](size_t line, const std::string& want, const std::string& found) {
        Finding f;
        f.check = "periodic", f.printNo = d.printNo, f.at = d.at;
        f.what = "periodic report " + range + ", line " + std::to_string(line + 1);
        f.expected = want, f.found = found;
        out.push_back(std::move(f));
    };
    for (size_t k = 0; k < expected.size(); ++k) {
        const size_t at = start + k;
        const std::string found = at < lines.size() ? q(lines[at]).simplified().toStdString() : "none";
        const std::string want = q(expected[k]).simplified().toStdString();
        if (found != want)
            add(at, "\"" + want + "\"", found == "none" ? found : "\"" + found + "\"");
    }
    return true;
}

} // namespace

std::vector<Finding> checkReceipt(const std::vector<std::string>& lines, const ReceiptFacts& facts,
                                  ReceiptSums* sums) {
    return ReceiptCheck(lines, facts).run(sums);
}

std::string findingText(const Finding& f) {
    std::string t;
    if (f.zNo)
        t += "Z " + paper::digits(f.zNo, 4) + ", ";
    t += "print no. " + paper::digits(f.printNo, 6);
    if (f.receiptNo)
        t += ", receipt " + paper::digits(f.receiptNo, 6);
    t += ", " + formatWall(f.at) + ": " + f.what + ": expected " + f.expected + ", found " + f.found;
    return t;
}

Result run(Store& store, const Options& options) {
    Result result;
    result.chainsWhole = store.lastReport().whole();
    sqlite3* db = store.handle();
    auto prepare = [&](const char* sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
            ctl::fail(ctl::Unreadable, std::string("cannot read the printer: ") + sqlite3_errmsg(db));
        return s;
    };
    auto text = [](sqlite3_stmt* s, int i) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
        return t ? std::string(t, static_cast<size_t>(sqlite3_column_bytes(s, i))) : std::string();
    };

    // the fiscal memory: the events (rates in force, ID, tax ID) and the daily records
    std::vector<FmEvent> events, rateEvents;
    std::map<int64_t, ZRecord> records;
    {
        sqlite3_stmt* s = prepare("SELECT kind, z_no, at, data FROM fiscal_record ORDER BY seq");
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            if (sqlite3_column_type(s, 1) != SQLITE_NULL) {
                ZRecord z;
                json::decode(text(s, 3), z);
                z.zNo = sqlite3_column_int64(s, 1);
                records[z.zNo] = z;
                continue;
            }
            FmEvent e{sqlite3_column_int64(s, 2), text(s, 0), text(s, 3)};
            if (e.kind == "fiscal" || e.kind == "vat")
                rateEvents.push_back(e);
            events.push_back(std::move(e));
        }
        sqlite3_finalize(s);
        if (rc != SQLITE_DONE)
            ctl::fail(ctl::Unreadable, std::string("cannot read the printer: ") + sqlite3_errmsg(db));
    }
    const std::map<int64_t, ZRecord> allRecords = records;
    int64_t lastZ = 0; // the newest daily report the journal has reached
    const FiscalFacts facts = deriveFacts(events);
    ReceiptFacts rf;
    if (!facts.taxId.empty())
        rf.taxIdLine = "NIP " + paper::groupTaxId(facts.taxId, facts.taxIdFormat);
    if (!facts.idCode.empty())
        rf.logo = "PL " + facts.idCode + " " + facts.idNumber;
    size_t ratesUsed = 0; // rate events the journal has reached
    bool fiscal = false;
    auto takeRates = [&] {
        if (ratesUsed < rateEvents.size()) {
            const FiscalFacts f = deriveFacts({rateEvents[ratesUsed++]});
            rf.rates = f.rates;
            rf.exempt = f.exempt;
        }
    };

    auto inPeriod = [&](int64_t at) {
        const QDate d = QDateTime::fromSecsSinceEpoch(at, Qt::UTC).date();
        return (!options.from || d >= *options.from) && (!options.to || d <= *options.to);
    };

    int64_t total = 0, done = 0;
    if (options.progress) {
        sqlite3_stmt* s = prepare("SELECT IFNULL(MAX(id), 0) FROM journal");
        if (sqlite3_step(s) == SQLITE_ROW)
            total = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
    }

    Day day;
    std::map<std::string, std::vector<std::string>> setAside; // slot: the lines before "ODŁOŻONY NR"
    auto finish = [&](const Doc& d) {
        if (d.kind == "fiscalisation") {
            fiscal = true;
            takeRates();
            day = Day{};
            return;
        }
        if (d.kind == "vat-change" && fiscal) {
            takeRates();
            return;
        }
        if (d.kind == "ram-reset") {
            day = Day{}; // the day's totals went with the working memory
            return;
        }
        if (d.kind == "note") {
            // a receipt set aside: its lines wait for the receipt that takes it up
            const auto m = match("(?:^|\\n)ODŁOŻONY NR (\\d) +AMOUNT\\n$", q(d.text));
            if (m.hasMatch())
                setAside[m.captured(1).toStdString()] = splitLines(d.text);
            return;
        }
        if (d.kind == "z-report") {
            const std::vector<std::string> lines = splitLines(d.text);
            std::optional<int64_t> zNo;
            for (const auto& l : lines)
                if (const auto m = match("^RAPORT NR +(\\d+)$", q(l)); m.hasMatch())
                    zNo = m.captured(1).toLongLong();
            if (zNo && fiscal) {
                const auto it = records.find(*zNo);
                if (it == records.end()) {
                    Finding f;
                    f.check = "day", f.printNo = d.printNo, f.zNo = *zNo, f.at = d.at;
                    f.what = "the daily report in the fiscal memory", f.expected = "its record",
                    f.found = "none";
                    if (inPeriod(d.at))
                        result.findings.push_back(f);
                } else {
                    if (inPeriod(it->second.at)) {
                        checkDay(it->second, day, &lines, d.printNo, result.findings);
                        ++result.days;
                    }
                    records.erase(it);
                    lastZ = std::max(lastZ, *zNo);
                }
            }
            day = Day{};
            return;
        }
        if (d.kind == "fiscal-memory-report") {
            if (inPeriod(d.at) && checkPeriodic(splitLines(d.text), allRecords, lastZ, d, result.findings))
                ++result.periodic;
            return;
        }
        if (d.kind != "receipt")
            return;
        std::vector<std::string> lines = splitLines(d.text);
        if (!lines.empty()) {
            if (const auto m = match("^PODJĘTY NR (\\d) +AMOUNT$", q(lines.front())); m.hasMatch()) {
                const auto kept = setAside.find(m.captured(1).toStdString());
                if (kept == setAside.end()) {
                    result.notChecked += inPeriod(d.at) ? 1 : 0;
                    return;
                }
                lines.insert(lines.begin(), kept->second.begin(), kept->second.end());
                setAside.erase(kept);
            }
        }
        const bool fiscalReceipt = std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
            return match("^ *PARAGON FISKALNY$", q(l)).hasMatch();
        });
        if (!fiscalReceipt && !fiscal)
            return; // training mode
        ReceiptSums sums;
        std::vector<Finding> found = checkReceipt(lines, rf, &sums);
        for (size_t i = 0; i < 9; ++i)
            day.gross[i] += sums.gross[i];
        ++day.receipts;
        if (!day.firstReceipt)
            day.firstReceipt = sums.receiptNo;
        day.lastReceipt = sums.receiptNo;
        day.discounts += sums.discounts;
        day.increases += sums.increases;
        day.deposits += sums.deposits;
        if (!inPeriod(d.at))
            return;
        ++result.receipts;
        for (auto& f : found) {
            f.printNo = d.printNo, f.at = d.at;
            result.findings.push_back(std::move(f));
        }
    };

    sqlite3_stmt* s = prepare("SELECT id, at, kind, doc_no, text FROM journal ORDER BY id");
    Doc doc;
    bool closed = true;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        const int64_t printNo = sqlite3_column_int64(s, 3);
        const std::string kind = text(s, 2);
        if (!closed && doc.printNo != printNo) {
            finish(doc); // lines of a document that was not finished under its number
            closed = true;
        }
        if (closed) {
            doc = Doc{printNo, sqlite3_column_int64(s, 1), sqlite3_column_int64(s, 0), kind, {}};
        }
        doc.kind = kind;
        doc.text += text(s, 4);
        closed = kind != "note";
        if (closed)
            finish(doc);
        if (options.progress && (++done % 2000 == 0 || done == total))
            options.progress(done, total);
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE)
        ctl::fail(ctl::Unreadable, std::string("cannot read the printer: ") + sqlite3_errmsg(db));
    if (options.progress && done != total)
        options.progress(total, total);
    // daily records the journal holds no printout of
    for (const auto& [zNo, z] : records) {
        if (!inPeriod(z.at))
            continue;
        Finding f;
        f.check = "day", f.zNo = zNo, f.at = z.at;
        f.what = "the printout of the daily report", f.expected = "in the journal", f.found = "none";
        result.findings.push_back(f);
    }
    return result;
}

QJsonObject toJson(const Result& r) {
    QJsonObject o;
    QJsonObject checked;
    checked["receipts"] = static_cast<qint64>(r.receipts);
    checked["days"] = static_cast<qint64>(r.days);
    checked["periodic"] = static_cast<qint64>(r.periodic);
    checked["notChecked"] = static_cast<qint64>(r.notChecked);
    o["checked"] = checked;
    o["chainsWhole"] = r.chainsWhole;
    QJsonArray a;
    for (const auto& f : r.findings) {
        QJsonObject x;
        x["check"] = q(f.check);
        x["printNo"] = static_cast<qint64>(f.printNo);
        x["receiptNo"] = f.receiptNo ? QJsonValue(static_cast<qint64>(f.receiptNo)) : QJsonValue();
        x["z"] = f.zNo ? QJsonValue(static_cast<qint64>(f.zNo)) : QJsonValue();
        x["time"] = q(formatWall(f.at));
        x["what"] = q(f.what);
        x["expected"] = q(f.expected);
        x["found"] = q(f.found);
        x["text"] = q(findingText(f));
        a.append(x);
    }
    o["findings"] = a;
    return o;
}

std::string toText(const Result& r) {
    std::string t;
    for (const auto& f : r.findings)
        t += findingText(f) + "\n";
    auto count = [](int64_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    t += "audited " + count(r.receipts, "fiscal receipt", "fiscal receipts") + " and " +
         count(r.days, "daily report", "daily reports") +
         (r.periodic ? ", " + count(r.periodic, "periodic report", "periodic reports") : std::string()) +
         ": " +
         (r.findings.empty()
              ? std::string("nothing found")
              : std::to_string(r.findings.size()) + (r.findings.size() == 1 ? " finding" : " findings")) +
         "\n";
    if (r.notChecked)
        t += std::to_string(r.notChecked) +
             " receipts taken up from a receipt set aside before the journal's start were not checked\n";
    if (!r.chainsWhole)
        t += "the chains are broken: see `verify`\n";
    return t;
}

} // namespace vp::audit
