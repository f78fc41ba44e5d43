// The printer's rules, run on the core without the libraries.
#include "AnswerFields.h"
#include <gtest/gtest.h>

#include <set>

#include "Commands.h"
#include "Printer.h"
#include "codepage/Cp1250.h"
#include "protocol/Layouts.h"

using namespace vp;
namespace HW = protocol::HardwareStatus;
namespace FS = protocol::FiscalStatus;
namespace Ack = protocol::Acknowledgement;
namespace XR = protocol::ExchangeRate;
namespace CC = protocol::CurrencyChange;

namespace {

class Rig {
  public:
    State state;
    FiscalMemory fm;
    ArticleBase articles;
    Faults faults;
    int64_t now = wallSeconds(2026, 3, 7, 10, 0, 0);

    Outcome run(const std::string& code, std::vector<std::string> fields = {}) {
        Outcome o = Printer::execute(state, fm, articles, faults, now, Request{code, std::move(fields)});
        if (o.status >= 0) {
            state = o.state;
            for (auto& z : o.newRecords)
                fm.records.push_back(z);
            for (auto& e : o.newEvents)
                fm.events.push_back(e);
            if (o.articlesCleared)
                articles.articles.clear();
            for (auto& a : o.articleWrites)
                articles.articles[a.name] = a;
        }
        return o;
    }
    std::pair<int, int> refusal(const std::string& code, std::vector<std::string> fields = {}) {
        const State before = state;
        const Outcome o = run(code, std::move(fields));
        EXPECT_TRUE(state == before) << "a refused command changed the state";
        EXPECT_TRUE(o.paper.empty() && o.newRecords.empty() && o.newEvents.empty() &&
                    o.articleWrites.empty());
        return {o.status, o.subCode};
    }
    void ok(const std::string& code, std::vector<std::string> fields = {}) {
        const Outcome o = run(code, fields);
        ASSERT_GE(o.status, 0) << code << " refused with " << o.status << "/" << o.subCode;
    }
    // A: 23%, B: 8%, C: 5%, D exempt, E..I inactive
    void program() { ok("03", {"2300", "800", "500", "0", "9999", "9999", "9999", "9999", "9999", "D"}); }
    void sell(const std::string& qty, const std::string& price, const std::string& group,
              const std::string& name = "Towar") {
        ok("30", {qty, "szt", price, group, name, "0", "0.00"});
    }
    void fiscalise() {
        ok("09", {"0000"});
        ok("71", {"5260250274", "13090"});
        ok("70", {"ABC", "12345678"});
        program();
        ok("72", {"ABC", "12345678"});
    }
    int64_t ackValue(const Outcome& o) { return std::stoll(field(o.answer, Ack::Value)); }
};

const std::pair<int, int> kSequence{-4, 5};

} // namespace

TEST(PrinterReceipt, VatIsComputedPerGroupNotPerLine) {
    Rig r;
    r.program();
    for (int i = 0; i < 3; ++i)
        r.sell("1", "0.99", "01", "Bułka " + std::to_string(i));
    r.sell("1", "10.00", "02", "Chleb");
    r.sell("1", "3.00", "04", "Książka"); // exempt
    const Outcome paid = r.run("34", {"0", "0", "0", "20.00", "0", "0"});
    ASSERT_EQ(paid.status, 0);
    EXPECT_EQ(r.state.day.gross[0], 297);
    EXPECT_EQ(r.state.day.gross[3], 300);
    EXPECT_EQ(r.state.drawer, 1597); // 20.00 in, 4.03 change
    EXPECT_FALSE(r.state.receipt.open);
    EXPECT_EQ(r.state.receiptNo, 1);
    bool changeLine = false;
    for (const auto& l : paid.paper)
        changeLine = changeLine || l.find("RESZTA") != std::string::npos;
    EXPECT_TRUE(changeLine);
}

TEST(PrinterReceipt, DiscountsAndIncreases) {
    Rig r;
    r.program();
    r.sell("2", "10.00", "01");
    Outcome o = r.run("32", {"0", "1000", "1", "1"}); // 10% off the last item
    ASSERT_EQ(o.status, 0);
    EXPECT_EQ(r.ackValue(o), 1800);
    EXPECT_EQ(r.refusal("32", {"2", "100", "1", "0"}), kSequence) << "second change of the same item";
    r.sell("1", "5.00", "02", "Chleb");
    o = r.run("32", {"3", "250", "0", "0"}); // increase of the sub-total by 2.50
    ASSERT_EQ(o.status, 0);
    EXPECT_EQ(r.ackValue(o), 2550);
    EXPECT_EQ(r.state.receipt.subtotalAdjustments, std::vector<Grosze>{250});
    EXPECT_EQ(r.refusal("32", {"1", "10000", "1", "1"}).second, 24) << "100% discount";
    EXPECT_EQ(r.refusal("32", {"3", "999999", "1", "0"}).second, 23) << "discount above the sub-total";
    EXPECT_EQ(r.refusal("32", {"0", "100", "1", "0"}).second, 25) << "rate type with the amount flag";
    ASSERT_EQ(r.run("34", {"0", "0", "0", "25.50", "0", "0"}).status, 0);
    EXPECT_EQ(r.state.day.gross[0] + r.state.day.gross[1], 2550);
    EXPECT_EQ(r.state.day.discounts, 200);
    EXPECT_EQ(r.state.day.increases, 250);
}

TEST(PrinterReceipt, CancelTakesBackAMatchingLineOnly) {
    Rig r;
    r.program();
    r.sell("2", "1.50", "01", "Mleko");
    EXPECT_EQ(r.refusal("31", {"2", "szt", "1.50", "02", "Mleko", "0", "0"}).second, 23) << "other group";
    EXPECT_EQ(r.refusal("31", {"3", "szt", "1.50", "01", "Mleko", "0", "0"}).second, 23) << "other quantity";
    r.ok("31", {"2", "szt", "1.50", "01", "Mleko", "0", "0"});
    EXPECT_EQ(r.refusal("34", {"0", "0", "0", "1.00", "0", "0"}), kSequence) << "nothing left to pay";
    r.ok("36", {""});
    EXPECT_EQ(r.state.day.cancelled, 1);
}

TEST(PrinterReceipt, ThreeLinePaymentInThreeCurrencies) {
    Rig r;
    r.program();
    r.ok("16", {"EURUSD"});
    r.ok("13", {"4.2", "A", "0.25", "B"}); // 1 EUR = 4.20, 1 USD = 1 / 0.25 ... = 4.00
    r.sell("1", "100.00", "01");
    const Outcome rates = r.run("13");
    ASSERT_EQ(rates.answer.size(), 51u);
    EXPECT_EQ(fields(rates.answer, XR::SaleCode, XR::FirstCode), "PLNEUR");
    EXPECT_EQ(fields(rates.answer, XR::FirstRate, XR::FirstMode), "0000004,200000A");
    EXPECT_EQ(field(rates.answer, XR::AmountDue), "0000010000");
    Outcome o = r.run("34", {"3", "7", "1", "10.00", "5.00", "20.00"}); // 42.00 + 20.00 + 20.00
    ASSERT_EQ(o.status, 0);
    EXPECT_EQ(r.ackValue(o), 1800);
    EXPECT_TRUE(r.state.receipt.open);
    EXPECT_EQ(r.refusal("34", {"1", "0", "0", "18.01", "0", "0"}).second, 26) << "card may not overpay";
    r.ok("34", {"0", "0", "0", "20.00", "0", "0"});
    EXPECT_FALSE(r.state.receipt.open);
    EXPECT_EQ(r.state.drawer, 4200 + 2000 - 200) << "cash lines in, change out";
}

TEST(PrinterReceipt, BuyerIdentificationIsValidated) {
    Rig r;
    r.program();
    r.sell("1", "1.00", "01");
    EXPECT_EQ(r.refusal("35", {"01234567890      "}).second, 3);
    r.ok("35", {"05260250274       "});
    EXPECT_EQ(r.state.receipt.buyerId, "NIP nabywcy: 5260250274");
    r.ok("35", {"144051401359      "});
}

TEST(PrinterReceipt, PostponedReceiptsUseThreeSlots) {
    Rig r;
    r.program();
    for (int slot = 1; slot <= 3; ++slot) {
        r.sell("1", std::to_string(slot) + ".00", "01");
        r.ok("63", {"0", std::to_string(slot), std::to_string(slot) + ".00", "0.00"});
        EXPECT_FALSE(r.state.receipt.open);
    }
    r.sell("1", "4.00", "01");
    EXPECT_EQ(r.refusal("63", {"0", "1", "4.00", "0.00"}).second, 47);
    EXPECT_EQ(r.refusal("63", {"1", "2", "2.00", "0.00"}), kSequence) << "a receipt is open";
    r.ok("36", {""});
    r.ok("63", {"1", "2", "2.00", "0.00"});
    EXPECT_EQ(r.state.receipt.items.at(0).price, 200);
    EXPECT_FALSE(r.state.postponed[1].open);
    EXPECT_EQ(r.refusal("63", {"2", "1", "0", "0"}).second, 45);
}

TEST(PrinterReceipt, PackagesAreSettledApartFromReceipts) {
    Rig r;
    r.program();
    r.ok("49", {"10.00"});
    r.ok("38", {"3", "szt", "0.50", "Butelka"});
    EXPECT_EQ(r.refusal("38", {"1", "szt", "0.60", "Butelka"}).second, 78) << "price differs from the record";
    EXPECT_EQ(r.refusal("30", {"1", "szt", "1.00", "01", "Piwo", "0", "0"}), kSequence);
    r.ok("42", {"0"});
    EXPECT_EQ(r.state.drawer, 850);
    EXPECT_EQ(r.state.packages.at(0).returnedMilli, 3000);
    r.ok("39", {"30", "szt", "0.50", "Butelka"});
    EXPECT_EQ(r.refusal("42", {"0"}), kSequence) << "no returned packages pending";
    r.ok("46", {"0"});
    EXPECT_EQ(r.state.drawer, 2350);
    r.ok("38", {"100", "szt", "0.50", "Butelka"});
    EXPECT_EQ(r.refusal("42", {"0"}).second, 28) << "the drawer cannot pay 50.00";
}

TEST(PrinterCash, PaidOutNeverExceedsTheDrawer) {
    Rig r;
    r.ok("49", {"100.00"});
    EXPECT_EQ(r.refusal("50", {"100.01"}).second, 31);
    r.ok("50", {"100.00"});
    EXPECT_EQ(r.state.drawer, 0);
    EXPECT_EQ(r.refusal("49", {"0"}).second, 29);
    EXPECT_EQ(r.refusal("49", {"-5"}).second, 29);
}

TEST(PrinterRules, SalesNeedAProgrammedRateAndAnOpenDay) {
    Rig r;
    EXPECT_EQ(r.refusal("30", {"1", "szt", "1.00", "01", "X", "0", "0"}).second, 20);
    r.program();
    EXPECT_EQ(r.refusal("30", {"1", "szt", "1.00", "05", "X", "0", "0"}).second, 20) << "E is inactive";
    EXPECT_EQ(r.refusal("30", {"1", "szt", "1.00", "10", "X", "0", "0"}).second, 19);
    EXPECT_EQ(r.refusal("30", {"1,2.3", "szt", "1.00", "01", "X", "0", "0"}).second, 16);
    EXPECT_EQ(r.refusal("30", {"1", "szt", "abc", "01", "X", "0", "0"}).second, 18);
    EXPECT_EQ(r.refusal("34", {"0", "0", "0", "1.00", "0", "0"}), kSequence) << "payment before any sale";
    r.sell("1", "1.00", "01");
    r.ok("34", {"0", "0", "0", "1.00", "0", "0"});
    r.now = wallSeconds(2026, 3, 8, 0, 0, 1); // the day ends at midnight
    EXPECT_EQ(r.refusal("30", {"1", "szt", "1.00", "01", "X", "0", "0"}).second, 72);
    EXPECT_EQ(field(r.run("40").answer, HW::ZReportBlocked), "1") << "Z report blocked";
    r.ok("61");
    r.sell("1", "1.00", "01");
}

TEST(PrinterRules, ClerksAndServiceMode) {
    Rig r;
    r.program();
    r.ok("06", {"1", "123", "Ala"});
    EXPECT_EQ(r.refusal("30", {"1", "szt", "1.00", "01", "X", "0", "0"}).second, 65) << "nobody logged on";
    EXPECT_EQ(r.refusal("07", {"1", "124"}).second, 65);
    EXPECT_EQ(r.refusal("07", {"0", "123"}).second, 66);
    EXPECT_EQ(r.refusal("06", {"2", "12", "Ola"}).second, 64);
    r.ok("07", {"1", "123"});
    r.sell("1", "1.00", "01");
    EXPECT_EQ(r.refusal("71", {"5260250274", "0"}).second, 82);
    EXPECT_EQ(r.refusal("09", {"1111"}).second, 67);
    EXPECT_EQ(r.refusal("20", {"7"}).second, 82);
}

TEST(PrinterRules, ClockChangesFollowThePrintersRules) {
    Rig r;
    EXPECT_EQ(r.refusal("05", {"11", "30", "0"}).second, 73);
    r.ok("05", {"10", "59", "59"});
    EXPECT_EQ(r.state.clockOffset, 3599);
    EXPECT_EQ(r.refusal("05", {"24", "0", "0"}).second, 13);
    EXPECT_EQ(r.refusal("04", {"31", "2", "26"}).second, 91);
    EXPECT_EQ(r.refusal("04", {"1", "13", "26"}).second, 42);
    r.fiscalise();
    r.ok("61");
    EXPECT_EQ(r.refusal("04", {"6", "3", "26"}).second, 74) << "before the last fiscal memory date";
    r.ok("04", {"8", "3", "26"});
}

TEST(PrinterFiscal, FiscalisationIsOneWay) {
    Rig r;
    r.ok("09", {"0000"});
    EXPECT_EQ(r.refusal("71", {"1234567890", "0"}).second, 69);
    EXPECT_EQ(r.refusal("71", {"5260250274", "13091"}).second, 69) << "groups add up to 11";
    r.ok("71", {"5260250274", "13090"});
    EXPECT_EQ(r.refusal("71", {"5260250274", "0"}).second, 84);
    const Outcome status = r.run("14");
    EXPECT_EQ(field(status.answer, FS::MayFiscalise), "0") << "no ID and no rates yet";
    r.ok("70", {"ABC", "12345678"});
    EXPECT_EQ(r.refusal("70", {"ABD", "12345678"}).second, 52);
    r.program();
    EXPECT_EQ(field(r.run("14").answer, FS::MayFiscalise), "1");
    EXPECT_EQ(r.refusal("72", {"ABC", "87654321"}).second, 51);
    r.ok("72", {"ABC", "12345678"});
    EXPECT_EQ(r.refusal("72", {"ABC", "12345678"}).second, 53);
    const Outcome hw = r.run("40");
    ASSERT_EQ(hw.answer.size(), 62u);
    EXPECT_EQ(fields(hw.answer, HW::IdCode, HW::IdNumber), "ABC12345678");
    EXPECT_EQ(field(hw.answer, HW::TaxId), "5260250274");
    EXPECT_EQ(field(hw.answer, HW::IdFormat), "\x33\x22");
    EXPECT_EQ(field(hw.answer, HW::OperationMode), "0");
}

TEST(PrinterFiscal, ZReportWritesTheDayAndClosesIt) {
    Rig r;
    r.fiscalise();
    r.sell("1", "12.30", "01", "Masło");
    r.sell("1", "10.80", "02", "Ser");
    r.ok("34", {"0", "0", "0", "23.10", "0", "0"});
    EXPECT_EQ(r.refusal("03", {"2300", "800", "500", "0", "0", "9999", "9999", "9999", "9999", "D"}),
              kSequence)
        << "VAT change needs a Z report first";
    r.ok("61");
    ASSERT_EQ(r.fm.records.size(), 1u);
    const ZRecord& z = r.fm.records[0];
    EXPECT_EQ(z.zNo, 1);
    EXPECT_EQ(z.gross[0], 1230);
    EXPECT_EQ(z.vat[0], 230);
    EXPECT_EQ(z.vat[1], 80);
    EXPECT_EQ(z.receipts, 1);
    EXPECT_EQ(r.state.day.gross[0], 0);
    r.ok("61"); // an empty day still gets its record
    EXPECT_EQ(r.fm.records.size(), 2u);
    EXPECT_EQ(fields(r.run("40").answer, HW::LastZ, HW::FreeZ), "00021998");
    EXPECT_EQ(r.refusal("21", {"0", "2", "1"}).second, 33);
    EXPECT_EQ(r.refusal("21", {"0", "3", "3"}).second, 34);
    EXPECT_EQ(r.refusal("21", {"0", "1", "3"}).second, 35);
    const Outcome report = r.run("21", {"1", "1", "2"});
    ASSERT_EQ(report.status, 0);
    EXPECT_EQ(r.refusal("22", {"0", "1", "4", "26", "30", "4", "26"}).second, 37);
    EXPECT_EQ(r.refusal("23", {"0", "13", "26"}).second, 36);
    const Outcome upload = r.run("15", {"M", "0", "3", "26"});
    ASSERT_TRUE(upload.file);
    EXPECT_EQ(upload.file->name, "_FisRpt.mem");
    EXPECT_EQ(upload.file->bytes.size() % 32, 0u);
}

TEST(PrinterFiscal, LimitsOfTheFiscalMemory) {
    Rig r;
    r.fiscalise();
    r.fm.fmCapacity = 1;
    r.ok("61");
    EXPECT_EQ(r.refusal("61").second, 7);
    EXPECT_EQ(r.refusal("30", {"1", "szt", "1.00", "01", "X", "0", "0"}).second, 7);
    EXPECT_EQ(field(r.run("40").answer, HW::FiscalMemFull), "1");
}

TEST(PrinterFiscal, VatAndCurrencyChangesAreCounted) {
    Rig r;
    r.fiscalise();
    for (int i = 1; i <= 30; ++i)
        r.ok("03",
             {std::to_string(2300 + i), "800", "500", "0", "9999", "9999", "9999", "9999", "9999", "D"});
    EXPECT_EQ(r.state.vatChanges, 30);
    EXPECT_EQ(
        r.refusal("03", {"2200", "800", "500", "0", "9999", "9999", "9999", "9999", "9999", "D"}).second, 70);
    EXPECT_EQ(r.refusal("11", {"26", "3", "8", "0", "0", "PLN", "1", "A", "", "", ""}).second, 92);
    r.state.currencyChanges = 8;
    EXPECT_EQ(r.refusal("11", {"26", "3", "8", "0", "0", "EUR", "4.3", "B", "", "", ""}).second, 93);
    r.state.currencyChanges = 0;
    r.ok("11", {"26", "3", "8", "0", "0", "EUR", "4.3", "B", "", "", ""});
    const Outcome change = r.run("17");
    ASSERT_EQ(change.answer.size(), 43u);
    EXPECT_EQ(field(change.answer, CC::Year), "\x26");
    EXPECT_EQ(field(change.answer, CC::Day), "\x08");
    EXPECT_EQ(fields(change.answer, CC::NewCode, CC::FirstMode), "EUR0000004,300000B");
    r.now = wallSeconds(2026, 3, 8, 0, 0, 1);
    r.ok("41");
    EXPECT_EQ(r.state.sale.code, "EUR");
    EXPECT_EQ(r.state.first.code, "PLN");
    EXPECT_EQ(r.state.currencyChanges, 1);
}

TEST(PrinterMemory, SramEraseKeepsTheFiscalMemory) {
    Rig r;
    r.fiscalise();
    r.sell("1", "5.00", "01");
    r.ok("34", {"0", "0", "0", "5.00", "0", "0"});
    r.ok("61");
    r.ok("49", {"50.00"});
    EXPECT_EQ(r.refusal("43", {"1", "1", "26", "0", "0", "0"}).second, 74) << "before the last Z";
    r.ok("43", {"7", "3", "26", "12", "0", "0"});
    EXPECT_EQ(r.state.drawer, 0);
    EXPECT_EQ(r.state.ramResets, 1);
    EXPECT_TRUE(r.state.fiscal);
    EXPECT_EQ(r.state.rates[0], 2300);
    EXPECT_EQ(r.fm.records.size(), 1u);
    EXPECT_EQ(r.refusal("44", {"7FFFF"}).second, 81);
    EXPECT_EQ(r.refusal("45", {"FFFFF"}).second, 44);
    EXPECT_EQ(r.refusal("44", {"12G"}).second, 81);
    EXPECT_EQ(r.run("48", {"0"}).answer.size(), 130u);
}

TEST(PrinterFaults, PaperOutStopsPrintingButNotStatus) {
    Rig r;
    r.program();
    r.faults.paperOut = true;
    EXPECT_EQ(r.run("47").answer, "P02");
    EXPECT_EQ(r.refusal("30", {"1", "szt", "1.00", "01", "X", "0", "0"}).second, 8);
    EXPECT_EQ(r.refusal("60", {"1"}).second, 8);
    EXPECT_EQ(r.run("40").status, 0);
    r.faults = Faults{};
    r.faults.offline = true;
    EXPECT_EQ(r.run("47").answer, "P06");
}

TEST(PrinterAnswers, UploadsKeepTheirLayouts) {
    Rig r;
    r.program();
    r.ok("01", {"1", "0",
                std::string("Sklep \xA3\xF3"
                            "d\x9F",
                            10) +
                    std::string(22, ' ') + std::string(128, ' ')});
    r.ok("02", {"03", "NAPOJE", "B"});
    const Outcome h = r.run("93");
    ASSERT_EQ(h.answer.size(), 172u);
    EXPECT_EQ(h.answer.substr(4, 10), std::string("Sklep \xA3\xF3"
                                                  "d\x9F",
                                                  10))
        << "code page 1250 round trip";
    EXPECT_EQ(r.state.header[0].substr(0, 13), "Sklep Łódź");
    const Outcome d = r.run("92");
    ASSERT_EQ(d.answer.size(), 209u);
    EXPECT_EQ(d.answer.substr(2 + 2 * 23, 9), "03BNAPOJE");
    EXPECT_EQ(d.answer[2 + 23 + 2], '\xFF');
    const Outcome t = r.run("91");
    EXPECT_EQ(t.answer, "O0230008000500000099999999999999999999D");
    r.sell("1", "2.20", "01", "Woda");
    r.ok("37", {"Dziękujemy"});
    const Outcome plu = r.run("90");
    ASSERT_TRUE(plu.file);
    ASSERT_EQ(plu.file->bytes.size(), 64u);
    EXPECT_EQ(static_cast<unsigned char>(plu.file->bytes[40]) * 256 +
                  static_cast<unsigned char>(plu.file->bytes[41]),
              220);
    EXPECT_EQ(r.refusal("01", {"6", "0", std::string(32, ' ')}).second, 10);
    EXPECT_EQ(r.refusal("01", {"5", "0", std::string(64, ' ')}).second, 2);
}

namespace {

std::string joined(const std::vector<std::string>& lines) {
    std::string t;
    for (const auto& l : lines)
        t += l + "\n";
    return t;
}

void shop(Rig& r) {
    std::string header = "Sklep Testowy";
    header.resize(32, ' ');
    r.ok("01", {"1", "0", header});
    r.fiscalise();
}

} // namespace

// The cases where the arithmetic of a Polish fiscal printer differs from a
// naive sum, each with its figures.
TEST(PrinterArithmetic, TaxAndTotalsFollowTheFiscalRules) {
    // a line cancelled after a sub-total discount: the discount moves to what stays
    {
        Rig r;
        r.ok("03", {"2300", "800", "500", "0", "9999", "9999", "9999", "9999", "9999", ""});
        r.sell("1", "20.00", "01", "AAA");
        r.sell("1", "10.00", "02", "BBB");
        r.ok("32", {"3", "1000", "1", "0"});
        r.ok("31", {"1", "szt", "10.00", "02", "BBB", "0", "0"});
        const std::string paper = joined(r.run("34", {"0", "0", "0", "100", "0", "0"}).paper);
        EXPECT_NE(paper.find("SPRZED. OPODATK. A         10,00\nPTU A 23,00%                1,87\n"),
                  std::string::npos)
            << paper;
        EXPECT_EQ(paper.find("OPODATK. B"), std::string::npos);
        EXPECT_EQ(r.state.day.gross[0], 1000);
        EXPECT_EQ(r.state.day.gross[1], 0);
    }
    // a cancel that would leave less than the discount given is refused
    {
        Rig r;
        r.program();
        r.sell("1", "5.00", "01", "AAA");
        r.sell("1", "1.00", "02", "BBB");
        r.ok("32", {"3", "550", "1", "0"});
        EXPECT_EQ(r.refusal("31", {"1", "szt", "5.00", "01", "AAA", "0", "0"}).second, 23);
    }
    // the day's tax comes from the day's gross per rate, not from rounded receipts
    {
        Rig r;
        r.fiscalise();
        for (int i = 0; i < 3; ++i) {
            r.sell("1", "0.99", "01", "X");
            r.ok("34", {"0", "0", "0", "0.99", "0", "0"});
        }
        const Outcome z = r.run("61");
        EXPECT_EQ(r.fm.records.at(0).vat[0], 56) << "2.97 x 23/123; three receipts of 0.19 would give 0.57";
        EXPECT_EQ(r.fm.records.at(0).net[0], 241);
        EXPECT_NE(joined(z.paper).find("KWOTA PTU A                 0,56"), std::string::npos);
    }
    // deposits are outside sales in every total
    {
        Rig r;
        r.fiscalise();
        r.ok("30", {"2", "szt", "3.00", "01", "Piwo", "1", "0.50"});
        const Outcome paid = r.run("34", {"0", "0", "0", "7.00", "0", "0"});
        EXPECT_NE(joined(paid.paper)
                      .find("SUMA PLN                    6,00\nKAUCJA POBRANA              1,00\n"
                            "DO ZAPŁATY                  7,00\n"),
                  std::string::npos);
        EXPECT_EQ(r.ackValue(r.run("61")), 600);
        EXPECT_EQ(r.fm.records.at(0).total(), 600);
        EXPECT_EQ(r.fm.records.at(0).deposits, 100);
        EXPECT_EQ(r.state.drawer, 700);
    }
    // the printer's limits, computed without overflow
    {
        Rig r;
        r.program();
        EXPECT_EQ(r.refusal("30", {"274877906.945", "szt", "671088.64", "01", "Y", "0", "0"}).second, 16);
        EXPECT_EQ(r.refusal("30", {"99999.999", "szt", "999999.99", "01", "Y", "0", "0"}).second, 21);
        EXPECT_EQ(r.refusal("30", {"1", "szt", "1000000.00", "01", "Y", "0", "0"}).second, 18);
        r.sell("99999.999", "999.99", "01", "Y"); // 99,998,999.00
        EXPECT_EQ(r.state.receipt.items.at(0).value, 9999899900);
    }
}

TEST(PrinterRules, DocumentsWaitForOpenAndPostponedReceipts) {
    Rig r;
    r.fiscalise();
    r.sell("1", "2.00", "01", "Woda");
    for (const auto& [code, fields] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"60", {"1"}}, {"61", {}}, {"62", {}}, {"21", {"0", "1", "1"}}, {"49", {"1.00"}}})
        EXPECT_EQ(r.refusal(code, fields), kSequence) << code << " during a receipt";
    r.ok("63", {"0", "1", "2.00", "0.37"});
    EXPECT_EQ(r.refusal("61"), kSequence) << "a postponed receipt belongs to the open day";
    EXPECT_EQ(r.refusal("03", {"2200", "800", "500", "0", "9999", "9999", "9999", "9999", "9999", "D"}),
              kSequence);
    r.ok("60", {"1"});
    r.ok("63", {"1", "1", "2.00", "0.37"});
    r.ok("34", {"0", "0", "0", "2.00", "0", "0"});
    r.ok("61");
    EXPECT_EQ(r.fm.records.at(0).gross[0], 200);
}

TEST(PrinterRules, ANameKeepsItsGroupForTheDay) {
    Rig r;
    r.fiscalise();
    r.sell("1", "3.00", "01", "Sok");
    EXPECT_EQ(r.refusal("30", {"1", "szt", "3.00", "02", "Sok", "0", "0"}), kSequence) << "same receipt";
    r.ok("34", {"0", "0", "0", "3.00", "0", "0"});
    EXPECT_EQ(r.refusal("30", {"1", "szt", "3.00", "02", "Sok", "0", "0"}), kSequence) << "same day";
    r.ok("61");
    r.sell("1", "3.00", "02", "Sok"); // a new day: the name takes its new group
    r.ok("34", {"0", "0", "0", "3.00", "0", "0"});
    EXPECT_EQ(r.articles.find("Sok")->group, 2);
    EXPECT_EQ(r.articles.find("Sok")->soldMilli, 2000);
    EXPECT_EQ(r.refusal("30", {"1", "szt", "3.00", "01", "Sok", "0", "0"}), kSequence);
}

TEST(PrinterPaper, AReceiptAndADailyReportAsPrinted) {
    Rig r;
    shop(r);
    std::string receipt;
    auto step = [&](const std::string& code, std::vector<std::string> fields) {
        const Outcome o = r.run(code, std::move(fields));
        ASSERT_GE(o.status, 0) << code;
        receipt += joined(o.paper);
    };
    step("30", {"2", "szt", "1.50", "01", "Mleko", "0", "0"});
    step("30",
         {"1", "szt", "10.00", "02", cp1250::fromUtf8("Chleb pszenny krojony ze słonecznikiem"), "0", "0"});
    step("32", {"0", "1000", "1", "1"});
    step("30", {"1", "szt", "5.00", "03", "Jajka", "0", "0"});
    step("30", {"1", "szt", "20.00", "04", cp1250::fromUtf8("Książka"), "0", "0"});
    step("32", {"3", "200", "1", "0"});
    step("35", {"05260250274       "});
    step("34", {"0", "0", "0", "50.00", "0", "0"});
    EXPECT_EQ(receipt, "         Sklep Testowy\n"
                       "       NIP 526-025-02-74\n"
                       "2026-03-07 10:00 nr wydr. 000003\n"
                       "        PARAGON FISKALNY\n"
                       "--------------------------------\n"
                       "Mleko\n"
                       "  2 szt x1,50             3,00 A\n"
                       "Chleb pszenny krojony ze\n"
                       "słonecznikiem\n"
                       "  1 szt x10,00           10,00 B\n"
                       "RABAT 10,00%             -1,00 B\n"
                       "Jajka\n"
                       "  1 szt x5,00             5,00 C\n"
                       "Książka\n"
                       "  1 szt x20,00           20,00 D\n"
                       "PODSUMA                    37,00\n"
                       "RABAT                      -2,00\n"
                       "--------------------------------\n"
                       "SPRZED. OPODATK. A          2,84\n"
                       "PTU A 23,00%                0,53\n"
                       "SPRZED. OPODATK. B          8,51\n"
                       "PTU B 8,00%                 0,63\n"
                       "SPRZED. OPODATK. C          4,73\n"
                       "PTU C 5,00%                 0,23\n"
                       "SPRZEDAŻ ZWOLNIONA         18,92\n"
                       "SUMA PTU                    1,39\n"
                       "SUMA PLN                   35,00\n"
                       "GOTÓWKA                    50,00\n"
                       "RESZTA                     15,00\n"
                       "NIP nabywcy: 5260250274\n"
                       "000001 #001 Kasa           10:00\n"
                       "        PL ABC 12345678\n"
                       "\n");
    r.now += 3600;
    const Outcome z = r.run("61");
    EXPECT_EQ(joined(z.paper), "         Sklep Testowy\n"
                               "       NIP 526-025-02-74\n"
                               "2026-03-07 11:00 nr wydr. 000004\n"
                               "     RAPORT FISKALNY DOBOWY\n"
                               "--------------------------------\n"
                               "RAPORT NR                   0001\n"
                               "POCZĄTEK NR 000001         10:00\n"
                               "KONIEC NR 000001           10:00\n"
                               "PTU A                     23,00%\n"
                               "PTU B                      8,00%\n"
                               "PTU C                      5,00%\n"
                               "PTU D                         ZW\n"
                               "PTU E                        ---\n"
                               "PTU F                        ---\n"
                               "PTU G                        ---\n"
                               "PTU H                        ---\n"
                               "PTU I                        ---\n"
                               "--------------------------------\n"
                               "SPRZED. OPODATK. A          2,84\n"
                               "NETTO A                     2,31\n"
                               "KWOTA PTU A                 0,53\n"
                               "SPRZED. OPODATK. B          8,51\n"
                               "NETTO B                     7,88\n"
                               "KWOTA PTU B                 0,63\n"
                               "SPRZED. OPODATK. C          4,73\n"
                               "NETTO C                     4,50\n"
                               "KWOTA PTU C                 0,23\n"
                               "SPRZEDAŻ ZWOLNIONA         18,92\n"
                               "ŁĄCZNA KWOTA PTU            1,39\n"
                               "ŁĄCZNA NALEŻNOŚĆ           35,00\n"
                               "PARAGONY                       1\n"
                               "ANULOWANE 0                 0,00\n"
                               "RABATY                      3,00\n"
                               "NARZUTY                     0,00\n"
                               "ZEROWANIA RAM                  0\n"
                               "ZMIANY PTU                     0\n"
                               "W KASIE                    35,00\n"
                               "#001 Kasa                  11:00\n"
                               "        PL ABC 12345678\n"
                               "\n");
}

// One table drives the dispatch: every code has a handler and an answer size
// its answers fit, and a command the table says does not print never prints.
TEST(PrinterCommands, TheTableCoversEveryCodeItAnswers) {
    std::set<std::string> codes;
    for (const CommandEntry& c : commandTable()) {
        EXPECT_TRUE(codes.insert(c.code).second) << c.code << " twice";
        EXPECT_NE(c.handler, nullptr) << c.code;
        EXPECT_GE(c.answerSize(), 3) << c.code;
    }
    EXPECT_EQ(codes.size(), 59u);
    Rig r;
    r.fiscalise();
    r.sell("1", "1.00", "01", "A");
    r.ok("34", {"0", "0", "0", "1.00", "0", "0"});
    for (const CommandEntry& c : commandTable()) {
        Rig copy = r;
        const Outcome o = copy.run(c.code, {"0", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1"});
        if (o.status >= 0) {
            EXPECT_LE(static_cast<int>(o.answer.size()), c.answerSize()) << c.code;
            EXPECT_TRUE(c.prints() || o.paper.empty()) << c.code << " printed";
        }
    }
    EXPECT_EQ(Printer::execute(r.state, r.fm, r.articles, r.faults, r.now, Request{"99", {}}).subCode, 1);
}
