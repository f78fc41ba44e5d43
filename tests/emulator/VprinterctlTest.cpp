// vprinterctl end to end: the real program on a temporary data directory,
// beside a device library that has the same port open.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <dlfcn.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <string>

#include "PortLock.h"
#include "device/TavoApi.h"

namespace fs = std::filesystem;

namespace {

void* user() {
    static void* h = [] {
        void* l = dlopen(VPRINTER_BIN_DIR "/libTavoUser.so", RTLD_NOW | RTLD_LOCAL);
        if (!l)
            ADD_FAILURE() << dlerror();
        return l;
    }();
    return h;
}
#define USER(fn) reinterpret_cast<decltype(&::fn)>(dlsym(user(), #fn))

// The console's frame: sizing call, then the call with a buffer of that size.
template <class F, class... A> std::pair<CommandResult, std::string> call(F f, A... args) {
    int32_t length = 0;
    f(args..., nullptr, &length);
    std::string buffer(static_cast<size_t>(std::max(length, 0)), '\0');
    const CommandResult r = f(args..., buffer.data(), &length);
    buffer.resize(static_cast<size_t>(std::clamp<int32_t>(length, 0, static_cast<int32_t>(buffer.size()))));
    return {r, buffer};
}

struct Ran {
    int exit = -1;
    std::string out, err;
};

int sql(const fs::path& db, const char* statements) {
    sqlite3* h = nullptr;
    sqlite3_open(db.c_str(), &h);
    const int rc = sqlite3_exec(h, statements, nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return rc;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class Vprinterctl : public ::testing::Test {
  protected:
    fs::path dir;

    void SetUp() override {
        char tmpl[] = "/tmp/vprinterctl-test-XXXXXX";
        dir = mkdtemp(tmpl);
        setenv("VPRINTER_HOME", dir.c_str(), 1);
        setenv("VPRINTER_TIMING", "instant", 1);
    }
    void TearDown() override {
        USER(CloseTavo)();
        fs::remove_all(dir);
    }
    Ran ctl(const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        p.start(VPRINTERCTL, args);
        Ran r;
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit) {
            ADD_FAILURE() << "vprinterctl " << args.join(' ').toStdString() << " did not finish";
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exit = p.exitCode();
        r.out = p.readAllStandardOutput().toStdString();
        r.err = p.readAllStandardError().toStdString();
        return r;
    }
    QJsonObject json(const QStringList& args) {
        const Ran r = ctl(args);
        EXPECT_EQ(r.exit, 0) << r.err;
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    }
    // hardware status through the open library: Z count, receipt counter,
    // fiscal memory damaged (bytes 56 and 59)
    std::string hardware() {
        const auto [r, answer] = call(USER(cmHardwareStatus));
        EXPECT_EQ(r.Status, 0);
        EXPECT_EQ(answer.size(), 62u);
        return answer.size() == 62 ? answer : std::string(62, '?');
    }
};

} // namespace

TEST_F(Vprinterctl, ADayOpenPrinterVerifiesWholeUntilARowIsTampered) {
    const Ran built = ctl({"load-state", "day-open"});
    ASSERT_EQ(built.exit, 0) << built.err;
    const QJsonObject st = json({"status", "--json"});
    EXPECT_EQ(st["mode"].toString(), "fiscal");
    EXPECT_EQ(st["id"].toString(), "ABC 12345678");
    EXPECT_EQ(st["taxId"].toString(), "5260250274");
    EXPECT_EQ(st["counters"].toObject()["receipts"].toInt(), 10);
    EXPECT_EQ(st["day"].toObject()["receipts"].toInt(), 10);
    EXPECT_TRUE(st["day"].toObject()["open"].toBool());
    EXPECT_FALSE(st["openReceipt"].toObject()["open"].toBool());
    EXPECT_EQ(st["fiscalMemory"].toObject()["zRecords"].toInt(), 0);
    EXPECT_TRUE(st["chains"].toObject()["whole"].toBool());
    const QJsonArray groups = st["day"].toObject()["groups"].toArray();
    qint64 gross = 0;
    for (const auto g : groups)
        gross += g.toObject()["gross"].toInteger();
    EXPECT_EQ(gross, st["day"].toObject()["total"].toInteger());
    EXPECT_EQ(groups[0].toObject()["rate"].toInt(), 2300);
    EXPECT_GT(groups[0].toObject()["gross"].toInteger(), 0);

    // the day closed by the console's library: one daily record in the chain
    ASSERT_EQ(USER(OpenTavo)("COM1", 9600), 0);
    ASSERT_EQ(call(USER(cmZReport)).first.Status, 0);
    USER(CloseTavo)();
    EXPECT_EQ(ctl({"verify"}).exit, 0);
    const QJsonArray records =
        json({"fiscal-memory", "--json", "--from", "1", "--to", "1"})["records"].toArray();
    ASSERT_FALSE(records.isEmpty());
    const QJsonObject z = records.last().toObject();
    EXPECT_EQ(z["z"].toInt(), 1);
    EXPECT_EQ(z["receipts"].toInt(), 10);
    EXPECT_EQ(z["sales"].toInteger(), gross);
    EXPECT_TRUE(z["ok"].toBool());
    ASSERT_EQ(ctl({"save-state", "closed-day"}).exit, 0);

    struct Case {
        const char* what;
        const char* statements;
        const char* named; // how verify names the row
    };
    for (const Case& c :
         {Case{"a daily record's figures",
               "DROP TRIGGER fiscal_record_no_update;"
               "UPDATE fiscal_record SET data = replace(data, '\"receipts\":10', '\"receipts\":9') WHERE "
               "z_no = 1",
               "(Z 0001) does not match its hash"},
          Case{"a fiscal event removed",
               "DROP TRIGGER fiscal_record_no_delete; DELETE FROM fiscal_record WHERE kind = 'taxid'",
               "does not follow the row before it"},
          Case{"a journal entry",
               "DROP TRIGGER journal_no_update; UPDATE journal SET text = 'nic' WHERE id = 5",
               "journal entry 5 does not match its hash"}}) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(ctl({"load-state", "closed-day", "--force"}).exit, 0);
        ASSERT_EQ(sql(dir / "COM1.sqlite", c.statements), SQLITE_OK);
        const Ran v = ctl({"verify"});
        EXPECT_EQ(v.exit, 1) << v.out;
        EXPECT_NE(v.out.find(c.named), std::string::npos) << v.out;
        EXPECT_FALSE(json({"status", "--json"})["chains"].toObject()["whole"].toBool());
    }
    ASSERT_EQ(ctl({"load-state", "closed-day", "--force"}).exit, 0);
    EXPECT_EQ(ctl({"verify"}).exit, 0) << "the saved state came back whole";
}

// A console with the port open sees the loaded printer at its next command,
// whatever chain it had walked before.
TEST_F(Vprinterctl, LoadStateReachesAnOpenConsole) {
    ASSERT_EQ(ctl({"load-state", "day-open"}).exit, 0);
    ASSERT_EQ(ctl({"save-state", "ten-receipts"}).exit, 0);
    const QJsonArray listed =
        QJsonDocument::fromJson(QByteArray::fromStdString(ctl({"states", "--json"}).out)).array();
    QStringList names;
    for (const auto s : listed)
        names << s.toObject()["name"].toString();
    EXPECT_TRUE(names.contains("ten-receipts") && names.contains("fiscal-memory-nearly-full"))
        << names.join(' ').toStdString();

    ASSERT_EQ(USER(OpenTavo)("COM1", 9600), 0);
    EXPECT_EQ(hardware().substr(40, 6), "000010");
    ASSERT_EQ(call(USER(cmZReport)).first.Status, 0);
    EXPECT_EQ(hardware().substr(32, 4), "0001");

    // the saved printer has a shorter chain than the one the library walked
    const Ran loaded = ctl({"load-state", "ten-receipts", "--force"});
    ASSERT_EQ(loaded.exit, 0) << loaded.err;
    std::string hw = hardware();
    EXPECT_EQ(hw.substr(32, 4), "0000") << "the daily report is not in the loaded printer";
    EXPECT_EQ(hw.substr(40, 6), "000010");
    EXPECT_EQ(hw[56], '0') << "nothing damaged";
    EXPECT_EQ(hw[59], '0');
    // and grows into a different one from there: rows written after the load
    // follow the loaded chain, not the one walked before
    auto sell = [&](double price) {
        const auto sale = call(USER(cmSaleItem), 1.0, "szt", price, "01", "Kawa", 0, 0.0);
        EXPECT_EQ(sale.first.Status, 0) << sale.first.SubCode;
        EXPECT_EQ(call(USER(cmPayment), 0, 0, 0, price, 0.0, 0.0).first.Status, 0);
    };
    for (int day = 1; day <= 2; ++day) {
        SCOPED_TRACE(day);
        sell(2.5 * day);
        ASSERT_EQ(call(USER(cmZReport)).first.Status, 0);
        hw = hardware();
        EXPECT_EQ(hw.substr(32, 4), "000" + std::to_string(day));
        EXPECT_EQ(hw[56], '0') << "nothing damaged";
        EXPECT_EQ(hw[59], '0');
    }
    EXPECT_EQ(ctl({"verify"}).exit, 0);

    // a training printer replaces the fiscal one under the open link
    ASSERT_EQ(ctl({"load-state", "fresh", "--force"}).exit, 0);
    const auto sw = call(USER(cmSoftwareStatus)).second;
    ASSERT_GT(sw.size(), 37u);
    EXPECT_EQ(sw[37], '0') << "training mode";
    EXPECT_EQ(hardware().substr(40, 6), "000000");
}

TEST_F(Vprinterctl, ChangesWaitForTheCommandRunningOnThePort) {
    ASSERT_EQ(ctl({"load-state", "day-open"}).exit, 0);
    vp::PortLock lock((dir / "COM1.lock").string());
    ASSERT_TRUE(lock.tryLock());
    const Ran busy = ctl({"load-state", "fresh"});
    EXPECT_EQ(busy.exit, 4);
    EXPECT_NE(busy.err.find("COM1 is busy: a command is running; try again"), std::string::npos) << busy.err;
    // reading needs no lock, and shows the printer unchanged
    EXPECT_EQ(json({"status", "--json"})["counters"].toObject()["receipts"].toInt(), 10);
    lock.unlock();
    EXPECT_EQ(ctl({"load-state", "fresh", "--force"}).exit, 0);
    EXPECT_EQ(json({"status", "--json"})["counters"].toObject()["receipts"].toInt(), 0);
}

// load-state keeps the printer it replaces as a state named by the port, the
// date and the time, and says so; a fiscalised printer it replaces only with
// --force, and refused it changes nothing and keeps nothing.
TEST_F(Vprinterctl, LoadStateKeepsThePrinterItReplacesAndAFiscalisedOneOnlyWithForce) {
    const std::string states = (dir / "states").string();
    const std::string kept =
        "kept the printer on COM1 as the state (COM1-kept-[0-9]{8}-[0-9]{6}(-[0-9]+)?) \\(" + states +
        "/\\1\\.sqlite\\)\n";
    const auto keptStates = [&] {
        int n = 0;
        for (const auto& f : fs::directory_iterator(dir / "states"))
            n += f.path().filename().string().rfind("COM1-kept-", 0) == 0;
        return n;
    };
    // Nothing to keep on a port without a printer.
    const Ran first = ctl({"load-state", "fresh"});
    ASSERT_EQ(first.exit, 0) << first.err;
    EXPECT_EQ(first.out, "built " + states + "/fresh.sqlite\nloaded the state fresh into COM1\n");
    EXPECT_EQ(keptStates(), 0);

    // A training printer is replaced without a word of warning, and kept.
    const Ran dayOpen = ctl({"load-state", "day-open"});
    ASSERT_EQ(dayOpen.exit, 0) << dayOpen.err;
    std::smatch m;
    EXPECT_TRUE(std::regex_match(dayOpen.out, m,
                                 std::regex("built " + states + "/day-open\\.sqlite\n" + kept +
                                            "loaded the state day-open into COM1\n")))
        << dayOpen.out;
    EXPECT_EQ(keptStates(), 1);

    // The fiscalised printer is not replaced without --force.
    auto holdings = [&] {
        QJsonObject st = json({"status", "--json"});
        st.remove("clock");
        return QJsonDocument(st).toJson().toStdString();
    };
    const std::string before = holdings();
    const int events = json({"status", "--json"})["fiscalMemory"].toObject()["events"].toInt();
    ASSERT_GT(events, 1);
    const Ran refused = ctl({"load-state", "fresh"});
    EXPECT_EQ(refused.exit, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err,
              "vprinterctl: COM1's printer is fiscalised (fiscal mode; its fiscal memory holds 0 daily "
              "reports and " +
                  std::to_string(events) +
                  " events): loading a state would replace its fiscal memory, which otherwise only "
                  "deleting the database empties; give --force to replace it all the same (the printer "
                  "is kept as a saved state first)\n");
    EXPECT_EQ(holdings(), before);
    EXPECT_EQ(keptStates(), 1);

    // With --force it is replaced, and kept first.
    const Ran forced = ctl({"load-state", "fresh", "--force"});
    ASSERT_EQ(forced.exit, 0) << forced.err;
    ASSERT_TRUE(std::regex_match(forced.out, m, std::regex(kept + "loaded the state fresh into COM1\n")))
        << forced.out;
    const QString fiscalised = QString::fromStdString(m[1].str());
    EXPECT_EQ(json({"status", "--json"})["mode"].toString(), "training");
    EXPECT_EQ(keptStates(), 2);

    // The kept printer comes back whole (onto a training printer: no --force needed).
    const Ran back = ctl({"load-state", fiscalised});
    ASSERT_EQ(back.exit, 0) << back.err;
    EXPECT_TRUE(std::regex_match(
        back.out, std::regex(kept + "loaded the state " + fiscalised.toStdString() + " into COM1\n")))
        << back.out;
    EXPECT_EQ(holdings(), before);
    EXPECT_EQ(ctl({"verify"}).exit, 0);
    EXPECT_EQ(keptStates(), 3);
}

// The export carries everything an auditor needs to recompute the chain.
TEST_F(Vprinterctl, ExportedJournalRecomputesToItsHashes) {
    ASSERT_EQ(ctl({"load-state", "day-open"}).exit, 0);
    const fs::path file = dir / "audit.txt";
    ASSERT_EQ(ctl({"export-journal", QString::fromStdString(file.string())}).exit, 0);
    const std::string text = readFile(file);
    const int entries = json({"status", "--json"})["chains"].toObject()["journalEntries"].toInt();
    ASSERT_GT(entries, 10);
    std::string prev;
    size_t at = 0;
    auto field = [&](const std::string& name, size_t from) {
        const size_t b = text.find("\n" + name, from);
        EXPECT_NE(b, std::string::npos) << name;
        if (b == std::string::npos)
            return std::string();
        const size_t eol = text.find('\n', b + 1);
        const std::string value = text.substr(b + 1 + name.size(), eol - b - 1 - name.size());
        const size_t start = value.find_first_not_of(' ');
        return start == std::string::npos ? std::string() : value.substr(start);
    };
    for (int i = 1; i <= entries; ++i) {
        SCOPED_TRACE(i);
        at = text.find("\n=== entry " + std::to_string(i) + "\n", at);
        ASSERT_NE(at, std::string::npos);
        const size_t body = text.find("\ntext:\n", at) + 7;
        size_t end = text.find("\n=== entry ", body);
        end = end == std::string::npos ? text.size() : end;
        const std::string hashed = prev + "\n" + field("at:", at) + "\n" + field("kind:", at) + "\n" +
                                   field("print no.:", at) + "\n" + text.substr(body, end - body);
        const std::string hash = field("hash:", at);
        EXPECT_EQ(field("prev hash:", at), prev);
        EXPECT_EQ(QCryptographicHash::hash(QByteArray::fromStdString(hashed), QCryptographicHash::Sha256)
                      .toHex()
                      .toStdString(),
                  hash);
        prev = hash;
    }
    // a period without entries, and a file that cannot be written
    ASSERT_EQ(
        ctl({"export-journal", QString::fromStdString(file.string()), "--from-date", "2099-01-01"}).exit, 0);
    EXPECT_NE(readFile(file).find(", 0 entries"), std::string::npos);
    const Ran bad = ctl({"export-journal", QString::fromStdString((dir / "no" / "such.txt").string())});
    EXPECT_EQ(bad.exit, 5);
    EXPECT_FALSE(fs::exists(dir / "no"));
    // the copy of a receipt is marked as a copy and fits the paper
    const Ran copy = ctl({"reprint", "3"});
    ASSERT_EQ(copy.exit, 0);
    EXPECT_EQ(copy.out.substr(0, copy.out.find('\n')), "         *** KOPIA ***");
    std::istringstream lines(copy.out);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(QString::fromStdString(line).size(), 32) << line;
    EXPECT_NE(copy.out.find("PARAGON FISKALNY"), std::string::npos) << copy.out;
}

TEST_F(Vprinterctl, NearlyFullFiscalMemoryTakesTenMoreReports) {
    ASSERT_EQ(ctl({"load-state", "fiscal-memory-nearly-full"}).exit, 0);
    const QJsonObject fm = json({"status", "--json"})["fiscalMemory"].toObject();
    EXPECT_EQ(fm["zRecords"].toInt(), 1990);
    EXPECT_EQ(fm["capacity"].toInt(), 2000);
    EXPECT_EQ(ctl({"verify"}).exit, 0);
    ASSERT_EQ(USER(OpenTavo)("COM1", 9600), 0);
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(call(USER(cmZReport)).first.Status, 0) << i;
    const CommandResult full = call(USER(cmZReport)).first;
    EXPECT_EQ(full.Status, -4);
    EXPECT_EQ(full.SubCode, 7);
}

TEST_F(Vprinterctl, BadInputGetsAClearMessageAndChangesNothing) {
    ASSERT_EQ(ctl({"load-state", "day-open"}).exit, 0);
    // what the port's printer holds, as the tool reads it
    auto holdings = [&] {
        QJsonObject st = json({"status", "--json"});
        st.remove("clock");
        return QJsonDocument(st).toJson().toStdString() + ctl({"fiscal-memory", "--json"}).out +
               ctl({"journal", "--json"}).out;
    };
    const std::string before = holdings();
    std::ofstream(dir / "COM3.sqlite") << std::string(8192, 'x');
    fs::create_directories(dir / "states");
    std::ofstream(dir / "states" / "broken.sqlite") << "not a printer";
    struct Case {
        QStringList args;
        int exit;
        const char* message;
    };
    const std::string missing = (dir / "missing").string();
    for (const Case& c : {
             Case{{"--port", "COM13", "status"}, 2, "unknown port \"COM13\""},
             Case{{"frobnicate"}, 2, "unknown command"},
             Case{{}, 2, "no command given"},
             Case{{"status", "--bogus"}, 2, "bogus"},
             Case{{"load-state", "no-such"}, 2, "no state no-such"},
             Case{{"load-state", "../COM1"}, 2, "is not a state name"},
             Case{{"load-state", "broken"}, 3, "is not a printer's database"},
             Case{{"save-state"}, 2, "wants one state name"},
             Case{{"--home", QString::fromStdString(missing), "status"}, 3, "does not exist"},
             Case{{"--port", "COM2", "status"}, 3, "no printer on COM2"},
             Case{{"--port", "COM3", "verify"}, 3, "cannot read the printer on COM3"},
             Case{{"--port", "COM3", "save-state", "x"}, 3, "COM3"},
             Case{{"reprint", "999"}, 2, "no document with print number 999"},
             Case{{"reprint", "abc"}, 2, "wants a print number"},
             Case{{"journal", "--date", "2026-13-01"}, 2, "yyyy-MM-dd"},
             Case{{"fiscal-memory", "--from", "3", "--to", "1"}, 2, "--from is after --to"},
             Case{{"last", "7"}, 2, "too many arguments for last"},
         }) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Ran r = ctl(c.args);
        EXPECT_EQ(r.exit, c.exit) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_TRUE(holdings() == before) << "the port's printer is as it was";
    EXPECT_FALSE(fs::exists(dir / "COM2.sqlite")) << "reading creates no printer";
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_FALSE(fs::exists(dir / "states" / "x.sqlite"));
    for (const char* command : {"status", "fiscal-memory", "journal", "reprint", "last", "verify",
                                "export-journal", "save-state", "load-state", "states"}) {
        const Ran help = ctl({command, "--help"});
        EXPECT_EQ(help.exit, 0) << command;
        EXPECT_NE(help.out.find(std::string("vprinterctl [options] ") + command), std::string::npos)
            << help.out;
    }
}

// What the printer last did, whatever the caller saw: an open receipt, its
// payment whose answer was lost, a cash-in that timed out (nothing), the
// next one, a cancelled receipt, the daily report. On the ready-made
// fiscalised printer, whose rates are the letters of today's printers.
TEST_F(Vprinterctl, LastTellsWhatThePrinterLastDid) {
    ASSERT_EQ(ctl({"load-state", "fiscalised"}).exit, 0);
    std::string letters;
    for (const auto g : json({"status", "--json"})["day"].toObject()["groups"].toArray()) {
        const QJsonObject o = g.toObject();
        letters += o["group"].toString().toStdString() +
                   (o["exempt"].toBool() ? "zw"
                    : o["rate"].isNull() ? "-"
                                         : std::to_string(o["rate"].toInt())) +
                   " ";
    }
    EXPECT_EQ(letters, "A2300 B800 C500 D0 Ezw F- G- H- I- ");
    const QJsonObject fiscalisation = json({"last", "--json"});
    EXPECT_EQ(fiscalisation["kind"].toString(), "fiscalisation");
    const qint64 printed = fiscalisation["printNo"].toInteger();

    ASSERT_EQ(USER(OpenTavo)("COM1", 9600), 0);
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* title;
        qint64 printNo; // counted from the fiscalisation's
        std::optional<qint64> receiptNo, total;
        bool committed;
    };
    const Step steps[] = {
        {"a sale",
         [] { EXPECT_EQ(call(USER(cmSaleItem), 2.0, "szt", 6.25, "01", "Kawa", 0, 0.0).first.Status, 0); },
         "receipt, still open (not paid)", 1, 1, 1250, false},
        {"the payment, its answer lost",
         [] {
             ASSERT_EQ(USER(TavoSetFault)("lost_answers", "1"), TAVO_EXT_OK);
             EXPECT_EQ(call(USER(cmPayment), 0, 0, 0, 12.5, 0.0, 0.0).first.Status, -3);
         },
         "receipt", 1, 1, 1250, true},
        {"a cash-in timed out",
         [] {
             ASSERT_EQ(USER(TavoSetFault)("timeouts", "1"), TAVO_EXT_OK);
             EXPECT_EQ(call(USER(cmReceiveCash), 5.0).first.Status, -3);
         },
         "receipt", 1, 1, 1250, true},
        {"a cash-in", [] { EXPECT_EQ(call(USER(cmReceiveCash), 5.0).first.Status, 0); },
         "cash in (non-fiscal)", 2, std::nullopt, 500, true},
        {"a cancelled receipt",
         [] {
             EXPECT_EQ(call(USER(cmSaleItem), 1.0, "szt", 3.0, "05", "Chleb", 0, 0.0).first.Status, 0);
             EXPECT_EQ(call(USER(cmReceiptCancel), "").first.Status, 0);
         },
         "cancelled receipt", 3, std::nullopt, 300, true},
        {"the daily report", [] { EXPECT_EQ(call(USER(cmZReport)).first.Status, 0); }, "daily report", 4,
         std::nullopt, 1250, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        const QJsonObject l = json({"last", "--json"});
        EXPECT_EQ(l["title"].toString().toStdString(), step.title);
        EXPECT_EQ(l["printNo"].toInteger(), printed + step.printNo);
        EXPECT_EQ(l["receiptNo"].isNull() ? std::optional<qint64>() : l["receiptNo"].toInteger(),
                  step.receiptNo);
        EXPECT_EQ(l["total"].toInteger(), step.total);
        EXPECT_EQ(l["committed"].toBool(), step.committed);
        EXPECT_EQ(l["open"].toBool(), !step.committed);
        EXPECT_TRUE(l["onPaperRoll"].toBool());
        EXPECT_TRUE(l["hashesMatch"].toBool());
        EXPECT_EQ(l["nextPrintNo"].toInteger(), printed + step.printNo + 1);
    }

    // the same as text, every line but the time, on another port
    ASSERT_EQ(ctl({"--port", "COM2", "load-state", "fiscalised"}).exit, 0);
    ASSERT_EQ(USER(OpenTavo)("COM2", 9600), 0);
    steps[0].act();
    steps[1].act();
    const QJsonObject entries = json({"--port", "COM2", "last", "--json"})["journalEntries"].toObject();
    const Ran text = ctl({"--port", "COM2", "last"});
    ASSERT_EQ(text.exit, 0) << text.err;
    auto digits = [](qint64 n) { return QString::number(n).rightJustified(6, '0').toStdString(); };
    EXPECT_EQ(std::regex_replace(text.out, std::regex("\nTime  +[^\n]*\n"), "\nTime\n"),
              "Port            COM2\n"
              "Print no.       " +
                  digits(printed + 1) +
                  "\n"
                  "Kind            receipt\n"
                  "Receipt no.     000001\n"
                  "Time\n"
                  "Total           12,50\n"
                  "Committed       yes: in the electronic journal (entries " +
                  std::to_string(entries["first"].toInteger()) + "-" +
                  std::to_string(entries["last"].toInteger()) +
                  ")\n"
                  "Paper roll      the roll file ends with it\n"
                  "After it        nothing: a command cut short after it left no trace; the next "
                  "document takes print no. " +
                  digits(printed + 2) + "\n");
}
