// vprinterctl audit end to end: a printer built by its own commands audits
// clean; then each kind of forgery a person could plant in the database —
// with the write-once triggers dropped, as a forger would — is named with the
// document, what was expected and what was found.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <string>

#include "Runner.h"
#include "Store.h"
#include "codepage/Cp1250.h"

namespace fs = std::filesystem;
using namespace vp;

namespace {

Request req(std::string code, std::vector<std::string> fields = {}) {
    return Request{std::move(code), std::move(fields)};
}

int64_t at(int day, int hour, int minute) {
    return wallSeconds(2026, 3, day, hour, minute, 0);
}

// A fiscalised printer (A 23, B 8, C 5, D 0, E exempt), a day of three
// receipts with line and sub-total discounts and increases, a cancelled line,
// a deposit, exempt sales, a wrapped name and a fractional quantity, its daily
// report, then one receipt of the next day.
std::vector<TimedRequest> life() {
    std::string header;
    for (const char* line : {"Sklep Testowy", "ul. Pr\xC3\xB3"
                                              "bna 1, Warszawa"}) {
        std::string l = cp1250::fromUtf8(line);
        l.resize(32, ' ');
        header += l;
    }
    const std::string szt = "szt";
    std::vector<TimedRequest> s = {
        {req("09", {"0000"}), at(7, 9, 0)},
        {req("03", {"2300", "800", "500", "0", "0", "9999", "9999", "9999", "9999", "E"}), at(7, 9, 0)},
        {req("01", {"1", "0", header}), at(7, 9, 0)},
        {req("71", {"5260250274", "13090"}), at(7, 9, 0)},
        {req("70", {"ABC", "12345678"}), at(7, 9, 0)},
        {req("72", {"ABC", "12345678"}), at(7, 9, 0)},
        {req("08"), at(7, 9, 0)},
        // receipt 1: a line discount by rate, a sub-total discount by amount
        {req("30", {"2", szt, "1.50", "01", "Mleko", "0", "0"}), at(7, 10, 0)},
        {req("30",
             {"1", szt, "10.00", "02", cp1250::fromUtf8("Chleb pszenny krojony ze słonecznikiem"), "0", "0"}),
         at(7, 10, 0)},
        {req("32", {"0", "1000", "1", "1"}), at(7, 10, 0)},
        {req("30", {"1", szt, "5.00", "03", "Jajka", "0", "0"}), at(7, 10, 0)},
        {req("30", {"1", szt, "20.00", "04", cp1250::fromUtf8("Książka"), "0", "0"}), at(7, 10, 0)},
        {req("32", {"3", "200", "1", "0"}), at(7, 10, 0)},
        {req("35", {"05260250274"}), at(7, 10, 0)},
        {req("34", {"0", "0", "0", "50.00", "0", "0"}), at(7, 10, 0)},
        // receipt 2: a deposit on exempt water, a line increase, a cancelled line, a sub-total
        {req("30", {"3", szt, "2.00", "05", "Woda", "1", "0.50"}), at(7, 11, 0)},
        {req("30", {"1", szt, "25.99", "01", "Kawa", "0", "0"}), at(7, 11, 0)},
        {req("32", {"0", "500", "0", "1"}), at(7, 11, 0)},
        {req("30", {"1", szt, "4.00", "01", "Sok", "0", "0"}), at(7, 11, 0)},
        {req("31", {"1", szt, "4.00", "01", "Sok", "0", "0"}), at(7, 11, 0)},
        {req("33"), at(7, 11, 0)},
        {req("34", {"1", "0", "0", "10.00", "40.00", "0"}), at(7, 11, 0)},
        // receipt 3: a fractional quantity, a sub-total discount by rate, closed exact
        {req("30", {"1.5", "kg", "3.99", "03", "Jabłka", "0", "0"}), at(7, 12, 0)},
        {req("30", {"1000", "abcd", "999999.99", "04", "Ser", "0", "0"}), at(7, 12, 0)},
        {req("31", {"1000", "abcd", "999999.99", "04", "Ser", "0", "0"}), at(7, 12, 0)},
        {req("30", {"1", szt, "0.99", "01", "Guma", "0", "0"}), at(7, 12, 0)},
        {req("32", {"1", "1000", "1", "1"}), at(7, 12, 0)},
        {req("37", {""}), at(7, 12, 0)},
        {req("30", {"1", szt, "7.00", "02", "Ser", "0", "0"}), at(7, 13, 0)},
        {req("36", {""}), at(7, 13, 0)},
        {req("61"), at(7, 20, 0)},
        {req("21", {"1", "1", "1"}), at(7, 20, 5)},
        {req("22", {"0", "1", "3", "26", "31", "3", "26"}), at(7, 20, 6)},
        {req("30", {"1", szt, "0.99", "01", "Guma", "0", "0"}), at(8, 10, 0)},
        {req("34", {"0", "0", "0", "1.00", "0", "0"}), at(8, 10, 0)},
        // a receipt set aside while another is sold, then taken up and paid
        {req("30", {"2", szt, "3.00", "02", "Chleb", "0", "0"}), at(8, 11, 0)},
        {req("63", {"0", "1", "6.00", "0.44"}), at(8, 11, 0)},
        {req("30", {"1", szt, "0.99", "01", "Guma", "0", "0"}), at(8, 11, 5)},
        {req("34", {"0", "0", "0", "0.99", "0", "0"}), at(8, 11, 5)},
        {req("63", {"1", "1", "0", "0"}), at(8, 11, 10)},
        {req("30", {"1", szt, "1.00", "03", "Jajko", "0", "0"}), at(8, 11, 10)},
        {req("34", {"0", "0", "0", "7.00", "0", "0"}), at(8, 11, 10)},
    };
    return s;
}

struct Ran {
    int exit = -1;
    std::string out, err;
};

class Audit : public ::testing::Test {
  protected:
    fs::path dir;
    fs::path db() const { return dir / "COM1.sqlite"; }

    void SetUp() override {
        char tmpl[] = "/tmp/vprinter-audit-XXXXXX";
        dir = mkdtemp(tmpl);
        setenv("VPRINTER_HOME", dir.c_str(), 1);
        Store store;
        std::string why;
        ASSERT_TRUE(store.open(db().string(), &why)) << why;
        const auto steps = life();
        const RunResult r = runCommands(store, steps);
        ASSERT_TRUE(r.ok()) << "step " << r.failedStep << " (" << steps[r.failedStep].request.code
                            << ") answered " << r.status << "/" << r.subCode;
    }
    void TearDown() override { fs::remove_all(dir); }

    Ran ctl(const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        p.start(VPRINTERCTL, args);
        Ran r;
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
            ADD_FAILURE() << "vprinterctl did not finish";
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exit = p.exitCode();
        r.out = p.readAllStandardOutput().toStdString();
        r.err = p.readAllStandardError().toStdString();
        return r;
    }

    // The forger's edit: the triggers that refuse changes dropped, then the
    // journal entry of that print number holding `from` rewritten.
    void forgeJournal(int64_t printNo, const std::string& from, const std::string& to) {
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(db().c_str(), &h), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(h, "DROP TRIGGER journal_no_update", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(
            h, "UPDATE journal SET text = replace(text, ?1, ?2) WHERE doc_no = ?3 AND instr(text, ?1)", -1,
            &s, nullptr);
        sqlite3_bind_text(s, 1, from.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 2, to.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(s, 3, printNo);
        EXPECT_EQ(sqlite3_step(s), SQLITE_DONE);
        EXPECT_EQ(sqlite3_changes(h), 1) << from;
        sqlite3_finalize(s);
        sqlite3_close(h);
    }
    void forgeSql(const char* statements) {
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(db().c_str(), &h), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(h, statements, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(h);
        sqlite3_close(h);
    }
};

} // namespace

TEST_F(Audit, APrinterAsItsCommandsLeftItAuditsClean) {
    const Ran r = ctl({"audit"});
    EXPECT_EQ(r.exit, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "audited 6 fiscal receipts and 1 daily report, 2 periodic reports: nothing found\n");
    const Ran day = ctl({"audit", "--from-date", "2026-03-08", "--json"});
    EXPECT_EQ(day.exit, 0) << day.err;
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(day.out)).object();
    EXPECT_EQ(o["checked"].toObject()["receipts"].toInt(), 3);
    EXPECT_EQ(o["checked"].toObject()["days"].toInt(), 0);
    EXPECT_TRUE(o["findings"].toArray().isEmpty());
    EXPECT_EQ(ctl({"audit", "--from-date", "2026-03-09", "--to-date", "2026-03-08"}).exit, 2);
}

TEST_F(Audit, EachForgeryIsNamedWithTheDocumentAndWhatWasExpected) {
    ASSERT_EQ(ctl({"save-state", "honest"}).exit, 0);
    struct Case {
        const char* what;
        std::function<void()> forge;
        std::vector<std::string> findings; // the audit's lines, exactly
    };
    const std::vector<Case> cases = {
        {"a receipt's tax line changed",
         [&] { forgeJournal(3, "PTU A 23,00%                0,53", "PTU A 23,00%                0,63"); },
         {"print no. 000003, receipt 000001, 2026-03-07 10:00: PTU A 23,00%: expected 0,53, found 0,63"}},
        {"a line's value changed",
         [&] { forgeJournal(10, "  1 szt x0,99             0,99 A", "  1 szt x0,99             0,89 A"); },
         {"print no. 000010, receipt 000004, 2026-03-08 10:00: Guma 1 x0,99: expected 0,99, found 0,89",
          "print no. 000010, receipt 000004, 2026-03-08 10:00: SPRZED. OPODATK. A: expected 0,89, found 0,99",
          "print no. 000010, receipt 000004, 2026-03-08 10:00: PTU A 23,00%: expected 0,17, found 0,19",
          "print no. 000010, receipt 000004, 2026-03-08 10:00: SUMA PTU: expected 0,17, found 0,19",
          "print no. 000010, receipt 000004, 2026-03-08 10:00: SUMA PLN: expected 0,89, found 0,99",
          "print no. 000010, receipt 000004, 2026-03-08 10:00: RESZTA: expected 0,11, found 0,01"}},
        {"a daily record's tax changed in the fiscal memory",
         [&] {
             forgeSql("DROP TRIGGER fiscal_record_no_update;"
                      "UPDATE fiscal_record SET data = json_set(data, '$.vat[0]', json_extract(data, "
                      "'$.vat[0]') + "
                      "100) WHERE z_no = 1");
         },
         // the periodic reports, printed from the record before it was changed, now disagree with it
         {"Z 0001, print no. 000007, 2026-03-07 20:00: fiscal memory: KWOTA PTU A 23,00%: expected 5,80, "
          "found 6,80",
          "print no. 000008, 2026-03-07 20:05: periodic report OD NR 1 DO NR 1, line 11: expected \"A 31,02 "
          "PTU 6,80\", "
          "found \"A 31,02 PTU 5,80\"",
          "print no. 000008, 2026-03-07 20:05: periodic report OD NR 1 DO NR 1, line 20: expected \"NETTO A "
          "24,22\", "
          "found \"NETTO A 25,22\"",
          "print no. 000008, 2026-03-07 20:05: periodic report OD NR 1 DO NR 1, line 21: expected \"KWOTA "
          "PTU A "
          "6,80\", found \"KWOTA PTU A 5,80\"",
          "print no. 000008, 2026-03-07 20:05: periodic report OD NR 1 DO NR 1, line 32: expected \"ŁĄCZNA "
          "KWOTA PTU "
          "7,91\", found \"ŁĄCZNA KWOTA PTU 6,91\"",
          "print no. 000009, 2026-03-07 20:06: periodic report OD 2026-03-01 DO 2026-03-31, line 13: "
          "expected "
          "\"NETTO A 24,22\", found \"NETTO A 25,22\"",
          "print no. 000009, 2026-03-07 20:06: periodic report OD 2026-03-01 DO 2026-03-31, line 14: "
          "expected "
          "\"KWOTA PTU A 6,80\", found \"KWOTA PTU A 5,80\"",
          "print no. 000009, 2026-03-07 20:06: periodic report OD 2026-03-01 DO 2026-03-31, line 25: "
          "expected "
          "\"ŁĄCZNA KWOTA PTU 7,91\", found \"ŁĄCZNA KWOTA PTU 6,91\""}},
        {"a daily report's printout changed",
         [&] { forgeJournal(7, "KWOTA PTU A                 5,80", "KWOTA PTU A                 5,70"); },
         {"Z 0001, print no. 000007, 2026-03-07 20:00: printout: KWOTA PTU A: expected 5,80, found 5,70"}},
        {"a receipt's lines reordered",
         [&] {
             forgeJournal(3, "SUMA PTU                    1,39\nSUMA PLN                   35,00\n",
                          "SUMA PLN                   35,00\nSUMA PTU                    1,39\n");
         },
         {"print no. 000003, receipt 000001, 2026-03-07 10:00: order of the lines: "
          "expected SUMA PTU before SUMA PLN, found line 28 \"SUMA PLN 35,00\" before line 29 \"SUMA PTU "
          "1,39\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(ctl({"load-state", "honest", "--force"}).exit, 0);
        c.forge();
        const Ran r = ctl({"audit"});
        EXPECT_EQ(r.exit, 1) << r.out << r.err;
        std::string expected;
        for (const auto& f : c.findings)
            expected += f + "\n";
        EXPECT_EQ(r.out.substr(0, r.out.rfind("audited ")), expected);
        const Ran j = ctl({"audit", "--json"});
        EXPECT_EQ(j.exit, 1);
        const QJsonArray found =
            QJsonDocument::fromJson(QByteArray::fromStdString(j.out)).object()["findings"].toArray();
        ASSERT_EQ(found.size(), static_cast<qsizetype>(c.findings.size()));
        EXPECT_EQ(found[0].toObject()["text"].toString().toStdString(), c.findings[0]);
    }
}
