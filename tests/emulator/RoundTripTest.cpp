// Round trips through the protocol catalogue: the virtual printer's core
// answers from a known state, the console's own decoders read the answer
// back, and every field of the answer's layout is checked by its catalogue
// name. A field added to a layout without a check here fails its test.
#include <gtest/gtest.h>

#include <QLocale>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>

#include "AnswerWriter.h"
#include "Printer.h"
#include "answers/DataFiles.h"
#include "codepage/Cp1250.h"
#include "core/AnswerDecoders.h"
#include "core/ExchangeRate.h"
#include "programming/ProgrammingRules.h"
#include "protocol/Commands.h"

using namespace vp;
namespace P = protocol;

namespace {

// What was read back, and what must have been, by field name; a record
// field of record i (from 1) is named "Name#i".
using Values = std::map<std::string, std::string>;

std::string s(const QString& t) {
    return t.toStdString();
}
std::string flag(bool on) {
    return on ? "1" : "0";
}
// n bytes of 0xFF (the printer's "not set") as the console shows them.
std::string unset(int n) {
    return cp1250::toUtf8(std::string(static_cast<size_t>(n), '\xFF'));
}
// A field the console shows without decoding: its bytes, through the catalogue.
std::string bytes(const std::string& answer, const P::Field& f, int base = 0) {
    return answer.substr(static_cast<size_t>(base + f.offset), static_cast<size_t>(f.width));
}
std::string named(const P::Field& f, int record) {
    return std::string(f.name) + "#" + std::to_string(record + 1);
}

// Every field of the layout has an expected value, the value read back is
// it, and nothing is expected of a field the layout lacks.
void expectEveryField(const P::Layout& l, const Values& read, const Values& expected) {
    std::map<std::string, bool> seen;
    auto check = [&](const std::string& name) {
        seen[name] = true;
        const auto e = expected.find(name);
        if (e == expected.end()) {
            ADD_FAILURE() << l.name << "." << name << " has no check";
            return;
        }
        const auto r = read.find(name);
        ASSERT_NE(r, read.end()) << l.name << "." << name << " was not read back";
        EXPECT_EQ(r->second, e->second) << l.name << "." << name;
    };
    for (const P::Field& f : l.fields)
        if (l.records == 0 || f.offset != l.recordsAt) // the record block is checked record by record
            check(f.name);
    for (int i = 0; i < l.records; ++i)
        for (const P::Field& f : l.recordFields)
            check(named(f, i));
    for (const auto& [name, value] : expected)
        EXPECT_TRUE(seen.count(name)) << l.name << " has no field " << name;
}

class Rig {
  public:
    State state;
    FiscalMemory fm;
    ArticleBase articles;
    Faults faults;
    int64_t now = wallSeconds(2026, 3, 7, 10, 5, 9);

    // The answer of a code that answers with `layout`, of the layout's size.
    std::string answer(const std::string& code, const P::Layout& layout,
                       std::vector<std::string> fields = {}) {
        last = Printer::execute(state, fm, articles, faults, now, Request{code, std::move(fields)});
        EXPECT_EQ(last.status, 0) << code << " refused with " << last.subCode;
        EXPECT_EQ(P::answerLayout(code), &layout) << code;
        EXPECT_EQ(last.answer.size(), static_cast<size_t>(layout.size)) << code;
        return last.answer;
    }
    Outcome last;
};

QByteArray q(const std::string& a) {
    return QByteArray(a.data(), static_cast<qsizetype>(a.size()));
}

} // namespace

TEST(RoundTrip, HardwareStatus) {
    namespace H = P::HardwareStatus;
    struct Case {
        const char* what;
        bool fiscal, lowBattery, ramError;
        Values expected;
    };
    const Case cases[] = {
        {"a fiscal printer",
         true,
         false,
         false,
         {{"Prefix", "O0"},        {"IdCode", "ABC"},        {"IdNumber", "12345678"},
          {"TaxId", "5260250274"}, {"IdFormat", "3322"},     {"OperationMode", "0"},
          {"FiscalMemFull", "0"},  {"Battery", "1"},         {"ResetPin", "0"},
          {"SaleReceipt", "0"},    {"TestMemory", "0"},      {"ZReportBlocked", "0"},
          {"LastZ", "2"},          {"FreeZ", "1998"},        {"ReceiptNo", "000042"},
          {"RamResets", "0003"},   {"VatChanges", "004"},    {"CurrencyChanges", "005"},
          {"RecordsDamaged", "0"}, {"RamCheck", "0"},        {"FlashCheck", "1"},
          {"FiscalMemCheck", "0"}, {"BatteryUnits", "3.1V"}, {"BatteryTenths", "3.1V"}}},
        {"a new printer with a low battery and a lost memory",
         false,
         true,
         true,
         {{"Prefix", "O0"},        {"IdCode", ""},           {"IdNumber", ""},
          {"TaxId", unset(10)},    {"IdFormat", "0000"},     {"OperationMode", "1"},
          {"FiscalMemFull", "0"},  {"Battery", "0"},         {"ResetPin", "0"},
          {"SaleReceipt", "0"},    {"TestMemory", "0"},      {"ZReportBlocked", "0"},
          {"LastZ", "2"},          {"FreeZ", "1998"},        {"ReceiptNo", "000042"},
          {"RamResets", "0003"},   {"VatChanges", "004"},    {"CurrencyChanges", "005"},
          {"RecordsDamaged", "0"}, {"RamCheck", "1"},        {"FlashCheck", "1"},
          {"FiscalMemCheck", "0"}, {"BatteryUnits", "2.4V"}, {"BatteryTenths", "2.4V"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig r;
        if (c.fiscal) {
            r.state.idCode = "ABC";
            r.state.idNumber = "12345678";
            r.state.taxId = "5260250274";
            r.state.taxIdFormat = 0x3322;
        }
        r.state.fiscal = c.fiscal;
        r.state.ramError = c.ramError;
        r.faults.lowBattery = c.lowBattery;
        r.state.receiptNo = 42;
        r.state.ramResets = 3;
        r.state.vatChanges = 4;
        r.state.currencyChanges = 5;
        r.fm.records.resize(2);
        const std::string a = r.answer("40", H::layout);
        const auto d = answers::decodeHardwareStatus(q(a));
        ASSERT_TRUE(d);
        const Values read{{"Prefix", bytes(a, H::Prefix)},
                          {"IdCode", s(d->idCode)},
                          {"IdNumber", s(d->idNumber)},
                          {"TaxId", s(d->taxIdRaw)},
                          {"IdFormat", s(d->idFormat)},
                          {"OperationMode", std::string(1, d->operationMode)},
                          {"FiscalMemFull", flag(d->fiscalMemFull)},
                          {"Battery", std::string(1, d->battery)},
                          {"ResetPin", std::string(1, d->resetPin)},
                          {"SaleReceipt", flag(d->saleReceipt)},
                          {"TestMemory", flag(d->testMemory)},
                          {"ZReportBlocked", flag(d->zReportBlocked)},
                          {"LastZ", s(d->lastZ)},
                          {"FreeZ", s(d->freeZ)},
                          {"ReceiptNo", bytes(a, H::ReceiptNo)},
                          {"RamResets", bytes(a, H::RamResets)},
                          {"VatChanges", bytes(a, H::VatChanges)},
                          {"CurrencyChanges", bytes(a, H::CurrencyChanges)},
                          {"RecordsDamaged", flag(d->recordsDamaged)},
                          {"RamCheck", flag(!d->ramOk)},
                          {"FlashCheck", flag(d->flashOk)},
                          {"FiscalMemCheck", flag(!d->fiscalMemOk)},
                          {"BatteryUnits", s(d->batteryVoltage)},
                          {"BatteryTenths", s(d->batteryVoltage)}};
        expectEveryField(H::layout, read, c.expected);
    }
}

TEST(RoundTrip, SoftwareStatus) {
    namespace S = P::SoftwareStatus;
    Rig r;
    r.state.rates[0] = 2300;
    r.state.receiptNo = 41;
    r.state.receipt.open = true;
    r.state.receipt.items.push_back(Item{"Chleb", "szt", 2000, 617, 1, 1234});
    r.state.day.openedAt = r.now - 60;
    r.state.serviceMode = true;
    r.state.fiscal = true;
    const std::string a = r.answer("41", S::layout);
    const auto d = answers::decodeSoftwareStatus(q(a), QLatin1Char('-'), QLatin1Char(':'));
    ASSERT_TRUE(d);
    const QStringList date = d->date.split(QLatin1Char('-')), time = d->time.split(QLatin1Char(':'));
    ASSERT_EQ(date.size(), 3);
    ASSERT_EQ(time.size(), 3);
    const Values read{{"Prefix", bytes(a, S::Prefix)},
                      {"Day", s(date[0])},
                      {"Month", s(date[1])},
                      {"Year", s(date[2])},
                      {"Hours", s(time[0])},
                      {"Minutes", s(time[1])},
                      {"Seconds", s(time[2])},
                      {"ReceiptNo", s(d->receiptNo)},
                      {"Subtotal", s(d->subtotal)},
                      {"ReceiptNotClosed", flag(d->receiptNotClosed)},
                      {"PaymentStarted", flag(d->paymentStarted)},
                      {"ServiceMode", flag(d->serviceMode)},
                      {"FiscalMode", bytes(a, S::FiscalMode)},
                      {"SuperMode", flag(d->superMode)},
                      {"ZReportNeeded", flag(d->zReportNeeded)},
                      {"PrintBuffer", s(d->printBuffer)},
                      {"Version", s(d->version)},
                      {"RamChecksum", flag(d->ramChecksumError)}};
    expectEveryField(S::layout, read,
                     {{"Prefix", "O0"},
                      {"Day", "07"},
                      {"Month", "03"},
                      {"Year", "2026"},
                      {"Hours", "10"},
                      {"Minutes", "05"},
                      {"Seconds", "09"},
                      {"ReceiptNo", "000042"},
                      {"Subtotal", "1234"},
                      {"ReceiptNotClosed", "1"},
                      {"PaymentStarted", "0"},
                      {"ServiceMode", "1"},
                      {"FiscalMode", "1"},
                      {"SuperMode", "0"},
                      {"ZReportNeeded", "1"},
                      {"PrintBuffer", "100"},
                      {"Version", "0100"},
                      {"RamChecksum", "0"}});
}

TEST(RoundTrip, PrinterStatus) {
    struct Case {
        bool paperOut, offline;
        const char* state;
    };
    for (const Case& c : {Case{false, false, "0"}, Case{true, false, "2"}, Case{false, true, "6"}}) {
        Rig r;
        r.faults.paperOut = c.paperOut;
        r.faults.offline = c.offline;
        const std::string a = r.answer("47", P::PrinterStatus::layout);
        const auto d = answers::decodePrinterStatus(q(a));
        ASSERT_TRUE(d);
        expectEveryField(P::PrinterStatus::layout,
                         {{"Prefix", bytes(a, P::PrinterStatus::Prefix)}, {"State", std::to_string(*d)}},
                         {{"Prefix", "P0"}, {"State", c.state}});
    }
}

TEST(RoundTrip, TaxRates) {
    namespace T = P::TaxRates;
    Rig r;
    r.state.rates = {2300, 800, 500, 0, kInactiveRate, kInactiveRate, kInactiveRate, kInactiveRate, 1234};
    r.state.exemptLetter = "D";
    const std::string a = r.answer("91", T::layout);
    const auto d = answers::decodeTaxRates(q(a));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->exemptIndex, 3);
    Values read{{"Prefix", bytes(a, T::Prefix)}, {"ExemptLetter", s(d->exemptLetter)}};
    for (size_t k = 0; k < 9; ++k)
        read[T::rates[k].name] = s(d->rates[k]);
    expectEveryField(T::layout, read,
                     {{"Prefix", "O0"},
                      {"RateA", "2300"},
                      {"RateB", "0800"},
                      {"RateC", "0500"},
                      {"RateD", "0000"},
                      {"RateE", "9999"},
                      {"RateF", "9999"},
                      {"RateG", "9999"},
                      {"RateH", "9999"},
                      {"RateI", "1234"},
                      {"ExemptLetter", "D"}});
}

// Departments 1 and 3 programmed, 5 kept without its tax letter (as a stored
// memory may hold it): its answer keeps every later record in place.
TEST(RoundTrip, Departments) {
    namespace D = P::Departments;
    Rig r;
    const struct {
        int number;
        const char* letter;
        const char* name;
    } set[] = {{1, "A", "Pieczywo"}, {3, "B", "Nabiał i jaja"}, {5, "", "Różne"}};
    for (const auto& d : set) {
        r.state.departments[static_cast<size_t>(d.number - 1)] = Department{d.name, d.letter};
        r.state.departmentSet[static_cast<size_t>(d.number - 1)] = true;
    }
    const std::string a = r.answer("92", D::layout);
    const auto rows = answers::decodeDepartments(q(a));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), D::layout.records);
    Values read{{"Prefix", bytes(a, D::Prefix)}}, expected{{"Prefix", "O0"}};
    for (int i = 0; i < D::layout.records; ++i) {
        const QStringList& row = rows->at(i);
        ASSERT_EQ(row.size(), 3);
        read[named(D::Number, i)] = s(row[0]);
        read[named(D::Letter, i)] = s(row[1]);
        read[named(D::Name, i)] = s(row[2]);
        expected[named(D::Number, i)] = "0" + std::to_string(i + 1);
        expected[named(D::Letter, i)] = unset(1);
        expected[named(D::Name, i)] = unset(20);
    }
    for (const auto& d : set) {
        const int i = d.number - 1;
        expected[named(D::Letter, i)] = *d.letter ? d.letter : " ";
        const std::string name = d.name;
        expected[named(D::Name, i)] =
            name + std::string(static_cast<size_t>(20 - QString::fromStdString(name).size()), ' ');
    }
    expectEveryField(D::layout, read, expected);
}

TEST(RoundTrip, HeaderLines) {
    namespace L = P::HeaderLines;
    Rig r;
    r.state.header[0] = "SKLEP „ŻABKA”";
    r.state.header[1] = "ul. Długa 1, Łódź";
    r.state.headerSet[0] = r.state.headerSet[1] = true;
    const std::string a = r.answer("93", L::layout);
    const auto rows = answers::decodeHeaderLines(q(a));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), L::layout.records);
    Values read{{"Prefix", bytes(a, L::Prefix)}}, expected{{"Prefix", "O0"}};
    for (int i = 0; i < L::layout.records; ++i) {
        const QStringList& row = rows->at(i);
        ASSERT_EQ(row.size(), 2);
        read[named(L::Line, i)] = s(row[0]);
        read[named(L::Flag, i)] = bytes(a, L::Flag, L::layout.recordsAt + i * L::layout.recordSize);
        read[named(L::Text, i)] = s(row[1]);
        expected[named(L::Line, i)] = std::to_string(i + 1);
        expected[named(L::Flag, i)] = "0";
        expected[named(L::Text, i)] = unset(32);
    }
    expected[named(L::Text, 0)] = "SKLEP „ŻABKA”" + std::string(19, ' ');
    expected[named(L::Text, 1)] = "ul. Długa 1, Łódź" + std::string(15, ' ');
    expectEveryField(L::layout, read, expected);
}

// The acknowledgement and the fiscalisation status have no decoder of their
// own in the console: they are read through the catalogue's fields.
TEST(RoundTrip, Acknowledgement) {
    namespace A = P::Acknowledgement;
    Rig r;
    r.state.documentNo = 17;
    r.state.drawer = 123456;
    const std::string a = r.answer("51", A::layout);
    Values read;
    for (const P::Field& f : A::fields)
        read[f.name] = bytes(a, f);
    expectEveryField(A::layout, read,
                     {{"Prefix", "O0"}, {"Code", "51"}, {"DocumentNo", "000017"}, {"Value", "000000123456"}});
}

TEST(RoundTrip, FiscalStatus) {
    namespace F = P::FiscalStatus;
    Rig r;
    r.state.idCode = "ABC";
    r.state.idNumber = "12345678";
    r.state.taxId = "5260250274";
    r.state.ratesSet = true;
    r.state.serviceMode = true;
    r.state.headerSet[2] = true;
    r.fm.records.resize(3);
    const std::string a = r.answer("14", F::layout);
    Values read;
    for (const P::Field& f : F::fields)
        read[f.name] = bytes(a, f);
    expectEveryField(F::layout, read,
                     {{"Prefix", "O0"},
                      {"MayFiscalise", "1"},
                      {"Fiscal", "0"},
                      {"IdSet", "1"},
                      {"TaxIdSet", "1"},
                      {"RatesSet", "1"},
                      {"HeaderSet", "1"},
                      {"ServiceMode", "1"},
                      {"ZCount", "0003"}});
}

TEST(RoundTrip, ExchangeRate) {
    namespace X = P::ExchangeRate;
    Rig r;
    r.state.rates[0] = 2300;
    r.state.first = Currency{"EUR", 4321000, "A"};
    r.state.second = Currency{"USD", 3900500, "B"};
    r.state.receipt.open = true;
    r.state.receipt.items.push_back(Item{"Chleb", "szt", 2000, 617, 1, 1234});
    const std::string a = r.answer("13", X::layout);
    const ExchangeRateAnswer d = ParseExchangeRate(q(a), QLocale::c());
    ASSERT_TRUE(d.hasAmountDue);
    expectEveryField(X::layout,
                     {{"Prefix", bytes(a, X::Prefix)},
                      {"SaleCode", s(d.currencies[0].code)},
                      {"FirstCode", s(d.currencies[1].code)},
                      {"FirstRate", s(d.currencies[1].rateText)},
                      {"FirstMode", s(d.currencies[1].mode)},
                      {"SecondCode", s(d.currencies[2].code)},
                      {"SecondRate", s(d.currencies[2].rateText)},
                      {"SecondMode", s(d.currencies[2].mode)},
                      {"AmountDue", s(d.amountDue)}},
                     {{"Prefix", "O0"},
                      {"SaleCode", "PLN"},
                      {"FirstCode", "EUR"},
                      {"FirstRate", "4.321000"},
                      {"FirstMode", "1"},
                      {"SecondCode", "USD"},
                      {"SecondRate", "3.900500"},
                      {"SecondMode", "2"},
                      {"AmountDue", "12.34"}});
}

TEST(RoundTrip, CurrencyChange) {
    namespace C = P::CurrencyChange;
    Rig r;
    r.state.change = CurrencyChange{true, wallSeconds(2027, 1, 2, 3, 45, 0), "EUR",
                                    Currency{"PLN", 4250000, "B"}, Currency{"USD", 1100000, "A"}};
    const std::string a = r.answer("17", C::layout);
    const prog::CurrencyChange d = prog::ParseCurrencyChange(q(a), QLatin1Char('.'));
    ASSERT_EQ(d.state, prog::CurrencyChange::State::Set);
    ASSERT_TRUE(d.secondName);
    expectEveryField(C::layout,
                     {{"Prefix", bytes(a, C::Prefix)},
                      {"Year", s(d.year)},
                      {"Month", s(d.month)},
                      {"Day", s(d.day)},
                      {"Hour", s(d.hour)},
                      {"Minute", s(d.minute)},
                      {"NewCode", s(d.name)},
                      {"FirstRate", s(d.rate1.rate)},
                      {"FirstMode", s(QString(d.rate1.direction))},
                      {"SecondCode", s(*d.secondName)},
                      {"SecondRate", s(d.rate2.rate)},
                      {"SecondMode", s(QString(d.rate2.direction))}},
                     {{"Prefix", "O0"},
                      {"Year", "27"},
                      {"Month", "01"},
                      {"Day", "02"},
                      {"Hour", "03"},
                      {"Minute", "45"},
                      {"NewCode", "EUR"},
                      {"FirstRate", "4.250000"},
                      {"FirstMode", "B"},
                      {"SecondCode", "USD"},
                      {"SecondRate", "1.100000"},
                      {"SecondMode", "A"}});
}

// The article base's records, the second of a base edited by hand to a group
// the printer does not have: it comes out without group or rate.
TEST(RoundTrip, PluRecords) {
    namespace R = P::PluRecord;
    Rig r;
    r.state.rates = {2300,          800,           500,          0, kInactiveRate, kInactiveRate,
                     kInactiveRate, kInactiveRate, kInactiveRate};
    r.state.exemptLetter = "D";
    r.articles.articles["Chleb żytni"] = Article{"Chleb żytni", 2, 450, 2500, 1125, 2, 0};
    r.articles.articles["Książka"] = Article{"Książka", 4, 3999, 1000, 3999, 1, 0};
    r.articles.articles["Zły wiersz"] = Article{"Zły wiersz", 0, 100, 0, 0, 0, 0};
    const std::string ack = r.answer("90", P::Acknowledgement::layout);
    EXPECT_EQ(bytes(ack, P::Acknowledgement::Value), "000000000003");
    ASSERT_TRUE(r.last.file);
    EXPECT_EQ(r.last.file->name, P::kPluFile);
    const std::string& file = r.last.file->bytes;
    ASSERT_EQ(file.size(), 3u * R::layout.size);
    const struct {
        const char* name;
        Values values;
    } expected[] = {
        {"Chleb żytni",
         {{"Price", "4.5"},
          {"VatRate", "8"},
          {"Group", "2"},
          {"SoldQuantity", "2.5"},
          {"SoldValue", "11.25"}}},
        {"Książka",
         {{"Price", "39.99"},
          {"VatRate", "ZW"},
          {"Group", "4"},
          {"SoldQuantity", "1"},
          {"SoldValue", "39.99"}}},
        {"Zły wiersz",
         {{"Price", "1"}, {"VatRate", ""}, {"Group", ""}, {"SoldQuantity", "0"}, {"SoldValue", "0"}}},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].name);
        const std::string rec = file.substr(i * R::layout.size, R::layout.size);
        Values read{{"Reserved", bytes(rec, R::Reserved)}};
        for (int c = 0; c <= 6; ++c)
            read[c == 0 ? R::Name.name : R::values[c - 1].name] =
                s(answers::PluCell(rec.data(), c, QLocale::c()));
        Values want = expected[i].values;
        const std::string name = expected[i].name;
        want["Name"] = name + std::string(static_cast<size_t>(40 - QString::fromStdString(name).size()), ' ');
        want["Spare"] = "";
        want["Reserved"] = std::string(12, '\0');
        expectEveryField(R::layout, read, want);
    }
}

TEST(RoundTrip, PackageRecords) {
    namespace K = P::PackageRecord;
    Rig r;
    r.state.packages.push_back(PackageRecord{"Butelka 0,5 l", 50, 2000, 100, 3500, 175});
    r.state.packages.push_back(PackageRecord{"Skrzynka", 1200, 0, 0, 1000, 1200});
    r.answer("89", P::Acknowledgement::layout, {"0"});
    ASSERT_TRUE(r.last.file);
    EXPECT_EQ(r.last.file->name, P::kReturnPackageFile);
    const std::string& file = r.last.file->bytes;
    ASSERT_EQ(file.size(), 2u * K::layout.size);
    const Values expected[] = {
        {{"Name", "Butelka 0,5 l" + std::string(27, ' ')},
         {"Price", "0.5"},
         {"ReturnedQuantity", "2"},
         {"ReturnedValue", "1"},
         {"SoldQuantity", "3.5"},
         {"SoldValue", "1.75"}},
        {{"Name", "Skrzynka" + std::string(32, ' ')},
         {"Price", "12"},
         {"ReturnedQuantity", "0"},
         {"ReturnedValue", "0"},
         {"SoldQuantity", "1"},
         {"SoldValue", "12"}},
    };
    for (size_t i = 0; i < std::size(expected); ++i) {
        const std::string rec = file.substr(i * K::layout.size, K::layout.size);
        Values read{{"Name", s(answers::PackageCell(rec.data(), 0, QLocale::c()))}};
        for (int c = 1; c <= 5; ++c)
            read[K::values[c - 1].field.name] = s(answers::PackageCell(rec.data(), c, QLocale::c()));
        expectEveryField(K::layout, read, expected[i]);
    }
}

// The writer pads and cuts each value to its field, and a misuse is a
// programming error with the layout and field named, never a short answer.
TEST(AnswerWriter, PadsCutsAndRefusesMisuse) {
    namespace X = P::ExchangeRate;
    AnswerWriter x(X::layout);
    x.put(X::SaleCode, "PLNX"); // cut
    x.put(X::FirstCode, "E");   // blank padded
    x.put(X::FirstRate, "1,5");
    x.putChar(X::FirstMode, 'A');
    x.put(X::SecondCode, "");
    x.put(X::SecondRate, "");
    x.put(X::SecondMode, "");
    x.putDigits(X::AmountDue, 12345678901); // its last ten digits
    EXPECT_EQ(x.finish(), "O0PLNE  1,5           A                  2345678901");
    namespace A = P::Acknowledgement;
    AnswerWriter a(A::layout);
    a.put(A::Code, "5");            // digits are right-aligned
    a.putDigits(A::DocumentNo, -5); // never negative
    a.putDigits(A::Value, 42);
    EXPECT_EQ(a.finish(), "O005000000000000000042");

    namespace H = P::HardwareStatus;
    const struct {
        const char* misuse;
        std::function<void()> write;
        std::string message;
    } cases[] = {
        {"a byte left unwritten", [] { AnswerWriter(P::PrinterStatus::layout).finish(); },
         "PrinterStatus: byte 2 (State) not written"},
        {"a byte written twice",
         [] { AnswerWriter(P::PrinterStatus::layout).put(P::PrinterStatus::Prefix, "P0"); },
         "PrinterStatus.Prefix: written twice"},
        {"a field of another layout", [] { AnswerWriter(P::PrinterStatus::layout).put(H::TaxId, "1"); },
         "PrinterStatus.TaxId: outside the layout"},
        {"digits into a flag", [] { AnswerWriter(H::layout).putDigits(H::RamCheck, 1); },
         "HardwareStatus.RamCheck: not a digits field"},
        {"a record past the block", [] { AnswerWriter(P::Departments::layout).record(9); },
         "Departments: no record 9"},
        {"a record field outside its record",
         [] { AnswerWriter(P::Departments::layout).record(0).put(P::HeaderLines::Text, "x"); },
         "Departments.Text: outside the layout"},
        {"three digits into a BCD byte",
         [] { AnswerWriter(P::CurrencyChange::layout).putBcd(P::CurrencyChange::Day, 100); },
         "CurrencyChange.Day: not two decimal digits"},
    };
    for (const auto& c : cases) {
        try {
            c.write();
            ADD_FAILURE() << c.misuse << " passed";
        } catch (const std::logic_error& e) {
            EXPECT_EQ(e.what(), c.message) << c.misuse;
        }
    }
}

// The fiscal memory report's upload: one record per line of the report.
TEST(RoundTrip, FiscalReportRecords) {
    namespace R = P::FiscalReportRecord;
    Rig r;
    ZRecord z;
    z.zNo = 1;
    z.at = wallSeconds(2026, 3, 6, 21, 0, 0);
    z.rates = {2300, 800, 500, 0, kInactiveRate, kInactiveRate, kInactiveRate, kInactiveRate, kInactiveRate};
    z.exempt = "D";
    z.gross[0] = 12300;
    z.net[0] = 10000;
    z.vat[0] = 2300;
    z.receipts = 3;
    r.fm.records.push_back(z);
    const std::string ack = r.answer("15", P::Acknowledgement::layout, {"Z", "0", "1", "1"});
    ASSERT_TRUE(r.last.file);
    EXPECT_EQ(r.last.file->name, P::kFiscalReportFile);
    const std::string& file = r.last.file->bytes;
    const std::vector<std::string> report{
        "        RAPORT OKRESOWY",          "        OD NR 1 DO NR 1",
        "--------------------------------", "          PODSUMOWANIE",
        "SPRZED. OPODATK. A        123,00", "NETTO A                   100,00",
        "KWOTA PTU A                23,00", "ŁĄCZNA KWOTA PTU           23,00",
        "ŁĄCZNA NALEŻNOŚĆ          123,00", "PARAGONY                       3",
        "ANULOWANE                      0", "LICZBA RAPORTÓW                1"};
    ASSERT_EQ(file.size(), report.size() * R::layout.size);
    EXPECT_EQ(bytes(ack, P::Acknowledgement::Value), "0000000000" + std::to_string(report.size()));
    for (size_t i = 0; i < report.size(); ++i)
        expectEveryField(
            R::layout,
            {{"Line", s(answers::FiscalReportLine(file.data() + i * R::layout.size, R::layout.size))}},
            {{"Line", report[i]}});
}
