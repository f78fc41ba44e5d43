// Reports: X (the day so far), the daily fiscal report (Z), the programming
// report and the periodic reports from the fiscal memory.
#include <QDate>
#include <QDateTime>

#include "AnswerWriter.h"
#include "Exec.h"

namespace vp {

using paper::amount;

namespace {

std::string hhmm(int64_t at) {
    return QDateTime::fromSecsSinceEpoch(at, Qt::UTC).toString("HH:mm").toStdString();
}

// The tax of a day per group, from the day's gross of that group.
void dayTax(const std::array<Grosze, 9>& gross, const std::array<int, 9>& rates, const std::string& exempt,
            std::array<Grosze, 9>& vat, std::array<Grosze, 9>& net) {
    for (size_t i = 0; i < 9; ++i) {
        const bool zw = exempt.size() == 1 && exempt[0] == kLetters[i];
        vat[i] = zw ? 0 : vatFromGross(gross[i], rates[i]);
        net[i] = gross[i] - vat[i];
    }
}

} // namespace

void Exec::xReport() {
    needFields(1);
    const auto flag = parseInt(raw(0));
    if (!flag || (*flag != 0 && *flag != 1))
        refuse(25);
    Grosze total = 0;
    for (auto g : s.day.gross)
        total += g;
    if (*flag == 1) {
        needPrinter();
        printHeader("RAPORT X");
        std::array<Grosze, 9> vat{}, net{};
        dayTax(s.day.gross, s.rates, s.exemptLetter, vat, net);
        Grosze vatSum = 0;
        for (size_t i = 0; i < 9; ++i) {
            if (s.day.gross[i] == 0)
                continue;
            if (exemptGroup(static_cast<int>(i + 1))) {
                printLr("SPRZEDAŻ ZWOLNIONA", amount(s.day.gross[i]));
                continue;
            }
            printLr(std::string("SPRZED. OPODATK. ") + kLetters[i], amount(s.day.gross[i]));
            printLr(std::string("PTU ") + kLetters[i] + " " + rateText(static_cast<int>(i)), amount(vat[i]));
            vatSum += vat[i];
        }
        printLr("SUMA PTU", amount(vatSum));
        printLr("NALEŻNOŚĆ", amount(total));
        if (s.day.deposits)
            printLr("KAUCJE POBRANE", amount(s.day.deposits));
        printLr("PARAGONY", std::to_string(s.day.receipts));
        printLr("ANULOWANE", std::to_string(s.day.cancelled));
        printLr("WPŁATY", amount(s.day.cashIn));
        printLr("WYPŁATY", amount(s.day.paidOut));
        printLr("W KASIE", amount(s.drawer));
        printFooter();
        document("x-report");
        changed();
    }
    ack(total);
}

void Exec::zReport() {
    if (anyPostponed())
        refuse(err::Sequence);
    if (s.fiscal && fm_.full())
        refuse(err::FiscalMemoryFull);
    needPrinter();
    ZRecord z;
    z.zNo = fm_.zCount() + 1;
    z.at = now_;
    z.gross = s.day.gross;
    dayTax(s.day.gross, s.rates, s.exemptLetter, z.vat, z.net);
    z.rates = s.rates;
    z.exempt = s.exemptLetter;
    z.deposits = s.day.deposits;
    z.receipts = s.day.receipts;
    z.cancelled = s.day.cancelled;
    z.cancelledValue = s.day.cancelledValue;
    z.discounts = s.day.discounts;
    z.increases = s.day.increases;
    z.firstReceipt = s.day.firstReceipt;
    z.lastReceipt = s.day.lastReceipt;
    z.firstAt = s.day.openedAt;
    z.lastAt = s.day.lastAt;
    z.ramResets = s.ramResets;
    z.vatChanges = s.vatChanges;
    z.currency = s.sale.code;
    z.journalHash = fm_.journalHead();
    z.fiscal = s.fiscal;
    printHeader(s.fiscal ? "RAPORT FISKALNY DOBOWY" : "RAPORT DOBOWY NIEFISKALNY");
    if (s.fiscal)
        printLr("RAPORT NR", paper::digits(z.zNo, 4));
    if (z.receipts) {
        printLr("POCZĄTEK NR " + paper::digits(z.firstReceipt, 6), hhmm(z.firstAt));
        printLr("KONIEC NR " + paper::digits(z.lastReceipt, 6), hhmm(z.lastAt));
    }
    for (size_t i = 0; i < 9; ++i)
        printLr(std::string("PTU ") + kLetters[i], rateText(static_cast<int>(i)));
    print(paper::rule());
    for (size_t i = 0; i < 9; ++i) {
        if (z.gross[i] == 0 || exemptGroup(static_cast<int>(i + 1)))
            continue;
        printLr(std::string("SPRZED. OPODATK. ") + kLetters[i], amount(z.gross[i]));
        printLr(std::string("NETTO ") + kLetters[i], amount(z.net[i]));
        printLr(std::string("KWOTA PTU ") + kLetters[i], amount(z.vat[i]));
    }
    for (size_t i = 0; i < 9; ++i)
        if (z.gross[i] != 0 && exemptGroup(static_cast<int>(i + 1)))
            printLr("SPRZEDAŻ ZWOLNIONA", amount(z.gross[i]));
    printLr("ŁĄCZNA KWOTA PTU", amount(z.vatTotal()));
    printLr("ŁĄCZNA NALEŻNOŚĆ", amount(z.total()));
    if (z.deposits)
        printLr("KAUCJE POBRANE", amount(z.deposits));
    printLr("PARAGONY", std::to_string(z.receipts));
    printLr("ANULOWANE " + std::to_string(z.cancelled), amount(z.cancelledValue));
    printLr("RABATY", amount(z.discounts));
    printLr("NARZUTY", amount(z.increases));
    printLr("ZEROWANIA RAM", std::to_string(z.ramResets));
    printLr("ZMIANY PTU", std::to_string(z.vatChanges));
    printLr("W KASIE", amount(s.drawer));
    if (!z.journalHash.empty()) {
        print("SKRÓT DZIENNIKA SHA-256");
        print(z.journalHash.substr(0, 32));
        print(z.journalHash.substr(32));
    }
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
    for (size_t i = 0; i < 9; ++i)
        printLr(std::string("PTU ") + kLetters[i], rateText(static_cast<int>(i)));
    for (size_t i = 0; i < 9; ++i)
        if (s.departmentSet[i])
            printLr("DZIAŁ " + paper::digits(static_cast<int64_t>(i + 1), 2) + " " + s.departments[i].name,
                    s.departments[i].letter);
    for (size_t i = 0; i < 9; ++i)
        if (!s.clerks[i].password.empty())
            print("KASJER " + std::to_string(i + 1) + " " + s.clerks[i].name);
    printLr("WALUTA", s.sale.code);
    if (!s.first.code.empty())
        printLr(s.first.code + " " + s.first.direction, formatRate(s.first.rateMicro, true));
    if (!s.second.code.empty())
        printLr(s.second.code + " " + s.second.direction, formatRate(s.second.rateMicro, true));
    printLr("NR KASY", paper::digits(s.ecrNumber, 3));
    if (!s.systemNumber.empty())
        printLr("NR SYSTEMOWY", s.systemNumber);
    printLr("ZMIANY PTU", std::to_string(s.vatChanges));
    printLr("ZMIANY WALUTY", std::to_string(s.currencyChanges));
    printLr("ZEROWANIA RAM", std::to_string(s.ramResets));
    printLr("WERSJA", s.softwareVersion);
    printFooter();
    document("program-report");
    changed();
    ack(0);
}

void Exec::zTotals(const std::vector<ZRecord>& rs, bool detail, std::vector<std::string>& lines) const {
    std::array<Grosze, 9> gross{}, vat{};
    Grosze total = 0, deposits = 0, exempt = 0;
    int64_t receipts = 0, cancelled = 0;
    auto add = [&](const std::vector<std::string>& more) {
        lines.insert(lines.end(), more.begin(), more.end());
    };
    for (const ZRecord& z : rs) {
        if (fm_.isDamaged(z.zNo)) {
            add(paper::lr("RAPORT " + paper::digits(z.zNo, 4), "USZKODZONY"));
            continue;
        }
        auto isExempt = [&](size_t i) { return z.exempt.size() == 1 && z.exempt[0] == kLetters[i]; };
        if (detail) {
            add(paper::lr("RAPORT " + paper::digits(z.zNo, 4), formatWall(z.at, false)));
            for (size_t i = 0; i < 9; ++i)
                if (z.gross[i])
                    add(paper::lr(std::string(" ") + kLetters[i] + " " + amount(z.gross[i]),
                                  isExempt(i) ? std::string("ZW") : "PTU " + amount(z.vat[i])));
            add(paper::lr(" NALEŻNOŚĆ", amount(z.total())));
        }
        for (size_t i = 0; i < 9; ++i) {
            if (isExempt(i)) {
                exempt += z.gross[i];
                continue;
            }
            gross[i] += z.gross[i];
            vat[i] += z.vat[i];
        }
        total += z.total();
        deposits += z.deposits;
        receipts += z.receipts;
        cancelled += z.cancelled;
    }
    lines.push_back(paper::rule());
    lines.push_back(paper::centre("PODSUMOWANIE"));
    Grosze vatSum = 0;
    for (size_t i = 0; i < 9; ++i)
        if (gross[i]) {
            add(paper::lr(std::string("SPRZED. OPODATK. ") + kLetters[i], amount(gross[i])));
            add(paper::lr(std::string("NETTO ") + kLetters[i], amount(gross[i] - vat[i])));
            add(paper::lr(std::string("KWOTA PTU ") + kLetters[i], amount(vat[i])));
            vatSum += vat[i];
        }
    if (exempt)
        add(paper::lr("SPRZEDAŻ ZWOLNIONA", amount(exempt)));
    add(paper::lr("ŁĄCZNA KWOTA PTU", amount(vatSum)));
    add(paper::lr("ŁĄCZNA NALEŻNOŚĆ", amount(total)));
    if (deposits)
        add(paper::lr("KAUCJE POBRANE", amount(deposits)));
    add(paper::lr("PARAGONY", std::to_string(receipts)));
    add(paper::lr("ANULOWANE", std::to_string(cancelled)));
    add(paper::lr("LICZBA RAPORTÓW", std::to_string(rs.size())));
}

void Exec::uploadFiscalReport() {
    const std::string sel = raw(0);
    if (sel != "Z" && sel != "D" && sel != "M")
        refuse(32);
    const Request sub{r_.code, std::vector<std::string>(r_.fields.begin() + 1, r_.fields.end())};
    Exec e(fm_, articles_, f_, now_, sub, o_);
    e.fiscalReport(sel[0], true);
}

void Exec::fiscalReport(char mode, bool upload) {
    const auto kind = parseInt(raw(0));
    if (!kind || (*kind != 0 && *kind != 1))
        refuse(mode == 'Z' ? 32 : 36);
    std::vector<ZRecord> rs;
    std::string title;
    if (mode == 'Z') {
        needFields(3);
        const auto a = parseInt(raw(1)), b = parseInt(raw(2));
        if (!a || !b || *a < 0 || *b < 0)
            refuse(32);
        if (*a > *b)
            refuse(33);
        const int64_t n = fm_.zCount();
        if (*a < 1 || *a > n)
            refuse(34);
        if (*b > n)
            refuse(35);
        rs = fm_.byNumber(*a, *b);
        title = "OD NR " + std::to_string(*a) + " DO NR " + std::to_string(*b);
    } else {
        int64_t from = 0, to = 0;
        if (mode == 'D') {
            needFields(7);
            int64_t v[6];
            for (size_t i = 0; i < 6; ++i)
                v[i] = integer(1 + i, 36);
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
        rs = fm_.byTime(from, to);
        if (rs.empty())
            refuse(37);
        title = "OD " + formatWall(from, false) + " DO " + formatWall(to, false);
    }
    std::vector<std::string> lines;
    lines.push_back(paper::centre(*kind ? "RAPORT OKRESOWY SZCZEGÓŁOWY" : "RAPORT OKRESOWY"));
    if (mode == 'M')
        lines.front() = paper::centre("RAPORT MIESIĘCZNY");
    lines.push_back(paper::centre(title));
    if (!s.taxId.empty())
        lines.push_back(paper::centre("NIP " + paper::groupTaxId(s.taxId, s.taxIdFormat)));
    zTotals(rs, *kind == 1, lines);
    if (upload) {
        namespace R = protocol::FiscalReportRecord;
        std::string bytes;
        for (const auto& l : lines) {
            AnswerWriter rec(R::layout);
            rec.putRaw(R::Line, paper::pad(cp1250::fromUtf8(l), static_cast<size_t>(R::Line.width), '\0'));
            bytes += rec.finish();
        }
        o_.file = DataFile{protocol::kFiscalReportFile, bytes};
        ack(static_cast<int64_t>(lines.size()));
        return;
    }
    needPrinter();
    printHeader(s.fiscal ? "RAPORT Z PAMIĘCI FISKALNEJ" : "RAPORT Z PAMIĘCI");
    print(lines);
    printFooter();
    document("fiscal-memory-report");
    changed();
    ack(static_cast<int64_t>(rs.size()));
}

} // namespace vp
