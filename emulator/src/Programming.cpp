// Programming: clock, VAT rates, header, departments, clerks and logons,
// currencies, numbers, and the fiscal identity (ID, tax ID, fiscalisation).
#include <QDate>
#include <QDateTime>
#include <QString>

#include <algorithm>
#include <cstdlib>

#include "AnswerWriter.h"
#include "Exec.h"

namespace vp {

namespace {

QDateTime wall(int64_t secs) {
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC);
}

bool threeDigits(const std::string& p) {
    return p.size() == 3 && std::all_of(p.begin(), p.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool upperLetters(const std::string& t, size_t n) {
    return t.size() == n && std::all_of(t.begin(), t.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::optional<int64_t> parseRate(const std::string& t) {
    return parseDecimal(t, 6);
}

std::string ratesJson(const std::array<int, 9>& rates, const std::string& exempt) {
    std::string data = "{\"rates\":[";
    for (size_t i = 0; i < 9; ++i)
        data += (i ? "," : "") + std::to_string(rates[i]);
    return data + "],\"exempt\":\"" + exempt + "\"}";
}

} // namespace

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
    const int64_t last = fm_.lastEntryAt();
    if (last && wall(target).date() < wall(last).date())
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
    if (s.fiscal && fm_.zCount() && target < fm_.lastEntryAt())
        refuse(74);
    s.clockOffset += target - now_;
    changed();
    ack(0);
}

void Exec::setVat() {
    needFields(10);
    std::array<int, 9> rates{};
    for (size_t i = 0; i < 9; ++i) {
        const auto v = parseInt(raw(i));
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
        if (fm_.full())
            refuse(err::FiscalMemoryFull);
        o_.newEvents.push_back(FmEvent{now_, "vat", ratesJson(rates, exempt)});
        ++s.vatChanges; // only changes in fiscal mode count
    }
    s.rates = rates;
    s.exemptLetter = exempt;
    s.ratesSet = true;
    needPrinter();
    printHeader("ZMIANA STAWEK PTU");
    for (size_t i = 0; i < 9; ++i)
        printLr(std::string("PTU ") + kLetters[i], rateText(static_cast<int>(i)));
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
    for (size_t i = 0; i < bytes.size() / 32; ++i) {
        const size_t line = static_cast<size_t>(*first - 1) + i;
        s.header[line] = cp1250::toUtf8(bytes.substr(i * 32, 32));
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
    if (raw(1).size() > 20)
        refuse(2);
    s.departments[static_cast<size_t>(*n - 1)] = Department{text(1), letter};
    s.departmentSet[static_cast<size_t>(*n - 1)] = true;
    changed();
    ack(*n);
}

void Exec::setClerk() {
    needFields(3);
    const auto n = parseInt(raw(0));
    if (!n || *n < 1 || *n > 9)
        refuse(66);
    if (!threeDigits(raw(1)) || raw(2).size() > 14)
        refuse(64);
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
    s.clerkOnDuty = static_cast<int>(*n);
    s.readOnlyMode = false;
    changed();
    ack(*n);
}

void Exec::clerkLogout() {
    s.clerkOnDuty = 0;
    s.serviceMode = false; // the technician leaves with the clerks
    changed();
    ack(0);
}

void Exec::logon(bool readOnly) {
    needFields(1);
    if (raw(0) != s.servicePassword)
        refuse(67);
    if (readOnly) {
        s.readOnlyMode = true;
    } else {
        s.serviceMode = true;
        s.readOnlyMode = false;
    }
    changed();
    ack(0);
}

void Exec::setMoney() {
    needFields(11);
    int64_t v[5];
    for (size_t i = 0; i < 5; ++i) {
        const auto x = parseInt(raw(i));
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
    if (!upperLetters(name, 3))
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
        if (!upperLetters(second, 3) || !rate2 || *rate2 <= 0 || (raw(10) != "A" && raw(10) != "B"))
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
            refuse(err::Sequence);
        s.first.rateMicro = *rate1;
        s.first.direction = raw(1);
        s.second = second;
        changed();
    }
    namespace X = protocol::ExchangeRate;
    AnswerWriter a(X::layout);
    a.put(X::SaleCode, s.sale.code);
    a.put(X::FirstCode, s.first.code);
    a.put(X::FirstRate, formatRate(s.first.rateMicro, true));
    a.put(X::FirstMode, s.first.direction);
    a.put(X::SecondCode, s.second.code);
    a.put(X::SecondRate, formatRate(s.second.rateMicro, true));
    a.put(X::SecondMode, s.second.direction);
    a.putDigits(X::AmountDue, due());
    o_.answer = a.finish();
}

void Exec::setCurrencyName() {
    needFields(1);
    const std::string t = paper::pad(raw(0), 6);
    auto ok = [](const std::string& n) { return n == "   " || upperLetters(n, 3); };
    const std::string a = t.substr(0, 3), b = t.substr(3, 3);
    if (raw(0).size() > 6 || !ok(a) || !ok(b) || a == "   ")
        refuse(3);
    if (a == s.sale.code || b == s.sale.code)
        refuse(92);
    if (s.receipt.open)
        refuse(err::Sequence);
    s.first.code = a;
    s.second.code = b == "   " ? std::string() : b;
    if (b == "   ")
        s.second = Currency{};
    changed();
    ack(0);
}

void Exec::sleepMode() {
    ack(0);
}

void Exec::setDensity() {
    needFields(1);
    const auto d = parseInt(raw(0));
    if (!d || *d < 1 || *d > 9)
        refuse(3);
    s.density = static_cast<int>(*d);
    changed();
    ack(*d);
}

void Exec::setParameters() {
    needFields(1);
    const std::string p = raw(0);
    if (p.size() != 34 || p.substr(0, 2) != "81" ||
        !std::all_of(p.begin() + 2, p.end(), [](char x) { return x == '0' || x == '1'; }))
        refuse(3);
    s.parameters = p;
    changed();
    ack(0);
}

void Exec::setEcrNumber() {
    needFields(1);
    const auto n = parseInt(raw(0));
    if (!n || *n < 1 || *n > 99)
        refuse(3);
    s.ecrNumber = static_cast<int>(*n);
    changed();
    ack(*n);
}

void Exec::setSystemNumber() {
    needFields(1);
    const std::string n = raw(0);
    if (n.size() > 16 || !std::all_of(n.begin(), n.end(),
                                      [](char x) { return x == '-' || x == ' ' || (x >= '0' && x <= '9'); }))
        refuse(3);
    s.systemNumber = QString::fromStdString(n).trimmed().toStdString();
    changed();
    ack(0);
}

void Exec::identity(bool enterFiscal) {
    needFields(2);
    const std::string code = raw(0), number = raw(1);
    const bool numberOk =
        !number.empty() && number.size() <= 8 &&
        std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!upperLetters(code, 3) || !numberOk)
        refuse(51);
    if (!enterFiscal) {
        if (!s.idCode.empty())
            refuse(52);
        if (fm_.full())
            refuse(err::FiscalMemoryFull);
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
    if (fm_.full())
        refuse(err::FiscalMemoryFull);
    needPrinter();
    s.fiscal = true;
    s.day = DayTotals{};
    o_.newEvents.push_back(FmEvent{now_, "fiscal", ratesJson(s.rates, s.exemptLetter)});
    printHeader("FISKALIZACJA");
    print(paper::centre("PL " + code + " " + number));
    for (size_t i = 0; i < 9; ++i)
        printLr(std::string("PTU ") + kLetters[i], rateText(static_cast<int>(i)));
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
    if (!s.taxId.empty())
        refuse(84);
    if (fm_.full())
        refuse(err::FiscalMemoryFull);
    s.taxId = id;
    s.taxIdFormat = static_cast<int>(*fmt);
    o_.newEvents.push_back(
        FmEvent{now_, "taxid", "{\"taxId\":\"" + id + "\",\"format\":" + std::to_string(*fmt) + "}"});
    changed();
    ack(0);
}

} // namespace vp
