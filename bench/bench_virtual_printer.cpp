// The virtual printer's cost per command over years of use. A fiscalised
// printer with a year of a busy shop (100,000 receipts of ten lines in the
// journal, 50,000 names in the article base, 365 daily records) is written
// straight into a database through the store, once; every scenario starts
// from a copy of it and drives the printer through libTavoUser.so, loaded by
// name with dlopen as the console loads it, in instant timing. The same
// commands on a freshly fiscalised printer give the baseline; the article
// base sizes 1,000 / 10,000 / 100,000 give the curve of a sale of a new name.

#include "Memories.h"
#include "Money.h"
#include "Paper.h"
#include "Printer.h"
#include "State.h"
#include "Store.h"
#include "device/TavoApi.h"

#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// ---- the device library ----

struct Api {
    decltype(&::OpenTavo) open = nullptr;
    decltype(&::CloseTavo) close = nullptr;
    decltype(&::ExecCommand) exec = nullptr;
    decltype(&::GetReturnBufLength) answerSize = nullptr;
};

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "bench_virtual_printer: %s\n", why.c_str());
    std::exit(EXIT_FAILURE);
}

const Api& api() {
    static const Api a = [] {
        const std::string path = std::string(CONSOLE_BIN_DIR) + "/libTavoUser.so";
        void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!h)
            fail(dlerror());
        Api x;
        x.open = reinterpret_cast<decltype(x.open)>(dlsym(h, "OpenTavo"));
        x.close = reinterpret_cast<decltype(x.close)>(dlsym(h, "CloseTavo"));
        x.exec = reinterpret_cast<decltype(x.exec)>(dlsym(h, "ExecCommand"));
        x.answerSize = reinterpret_cast<decltype(x.answerSize)>(dlsym(h, "GetReturnBufLength"));
        if (!x.open || !x.close || !x.exec || !x.answerSize)
            fail("libTavoUser.so lacks an export");
        return x;
    }();
    return a;
}

// ---- the printers written straight into a database ----

constexpr int kYearDays = 365;
constexpr int kYearReceipts = 100000;
constexpr int kLinesPerReceipt = 10;
constexpr int kYearArticles = 50000;
const std::array<int, 9> kRates{2300,
                                800,
                                500,
                                0,
                                vp::kInactiveRate,
                                vp::kInactiveRate,
                                vp::kInactiveRate,
                                vp::kInactiveRate,
                                vp::kInactiveRate};
const char* kLetters = "ABCDEFGHI";
// The year is 2025; the printer's clock reads 2026-01-01 08:00 when a link opens.
const char* kClockStart = "2026-01-01 08:00:00";

std::string articleName(int i) {
    return "Towar " + vp::paper::digits(i, 6);
}

vp::Grosze articlePrice(int i) {
    return 99 + (static_cast<int64_t>(i) * 7919) % 4900;
}

int articleGroup(int i) {
    return 1 + i % 3;
}

fs::path workRoot() {
    static const fs::path root = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vprinter-bench-XXXXXX";
        if (!mkdtemp(pattern.data()))
            fail("cannot make a directory under " + pattern);
        return fs::path(pattern);
    }();
    return root;
}

struct RemoveRoot {
    ~RemoveRoot() {
        std::error_code ec;
        fs::remove_all(workRoot(), ec);
    }
};

void add(std::vector<std::string>& text, const std::vector<std::string>& lines) {
    text.insert(text.end(), lines.begin(), lines.end());
}

std::string joined(const std::vector<std::string>& lines) {
    std::string t;
    for (const auto& l : lines)
        t += l + "\n";
    return t;
}

// What a printed document starts with.
std::vector<std::string> documentHead(int64_t at, int64_t documentNo, const std::string& title) {
    using namespace vp::paper;
    std::vector<std::string> t{centre("SKLEP POD LIPAMI SP. Z O.O."), centre("ul. Długa 7, 00-001 Warszawa"),
                               centre("NIP 526-025-02-74")};
    add(t, lr(vp::formatWall(at), "nr wydr. " + digits(documentNo, 6)));
    t.push_back(centre(title));
    t.push_back(rule());
    return t;
}

void documentFoot(std::vector<std::string>& t, int64_t receiptNo, int64_t at) {
    using namespace vp::paper;
    const std::string hhmm = vp::formatWall(at).substr(11);
    add(t, lr((receiptNo ? digits(receiptNo, 6) + " " : std::string()) + "#001 Kasa", hhmm));
    t.push_back(centre("PL ABC 12345678"));
    t.push_back("");
}

class Builder {
  public:
    explicit Builder(const fs::path& file) {
        std::string error;
        if (!store_.open(file.string(), &error))
            fail(error);
        // set-up only: the printer itself writes with synchronous=FULL
        sqlite3_exec(store_.handle(), "PRAGMA synchronous=OFF; PRAGMA cache_size=-262144", nullptr, nullptr,
                     nullptr);
    }

    void fiscalise() {
        const int64_t at = vp::wallSeconds(2024, 12, 31, 10, 0, 0);
        begin();
        vp::State before;
        if (!store_.loadState(before))
            fail("cannot read a new printer");
        vp::State after = before;
        after.clockOffset = 0;
        after.rates = kRates;
        after.ratesSet = true;
        after.header[0] = "SKLEP POD LIPAMI SP. Z O.O.";
        after.header[1] = "ul. Długa 7, 00-001 Warszawa";
        after.headerSet[0] = after.headerSet[1] = true;
        std::string rates = "{\"rates\":[";
        for (size_t i = 0; i < 9; ++i)
            rates += (i ? "," : "") + std::to_string(kRates[i]);
        rates += "],\"exempt\":\"\"}";
        const vp::FmEvent events[] = {{at, "taxid", R"({"taxId":"5260250274","format":13090})"},
                                      {at + 60, "id", R"({"code":"ABC","number":"12345678"})"},
                                      {at + 120, "fiscal", rates}};
        for (const auto& e : events) {
            vp::Outcome o;
            o.newEvents.push_back(e);
            std::vector<std::string> text;
            if (e.kind == "fiscal") {
                o.documentKind = "fiscalisation";
                text = documentHead(e.at, ++documentNo_, "FISKALIZACJA");
                for (size_t i = 0; i < 4; ++i)
                    add(text,
                        vp::paper::lr(std::string("PTU ") + kLetters[i], vp::paper::ratePercent(kRates[i])));
                documentFoot(text, 0, e.at);
            }
            if (!store_.append(o, e.at, documentNo_, joined(text)))
                fail(std::string("cannot write the fiscal event ") + e.kind + ": " +
                     sqlite3_errmsg(store_.handle()));
        }
        if (!store_.saveState(before, after))
            fail("cannot write the working memory");
        commit();
    }

    // `receipts` receipts of kLinesPerReceipt lines spread over `days` days of
    // 2025, each day closed by its daily report; names drawn from `names`.
    void year(int days, int receipts, int names) {
        uint64_t random = 88172645463325252ull;
        auto next = [&] {
            random ^= random << 13, random ^= random >> 7, random ^= random << 17;
            return random;
        };
        int64_t line = 0;
        for (int d = 0; d < days; ++d) {
            const int64_t midnight = vp::wallSeconds(2025, 1, 1, 0, 0, 0) + int64_t{86400} * d;
            const int count =
                static_cast<int>(int64_t{receipts} * (d + 1) / days - int64_t{receipts} * d / days);
            vp::DayTotals day;
            begin();
            for (int r = 0; r < count; ++r) {
                const int64_t at = midnight + 8 * 3600 + int64_t{r} * 12 * 3600 / count;
                if (r == 0)
                    day.openedAt = at;
                vp::Outcome o;
                o.documentKind = "receipt";
                std::vector<std::string> text = documentHead(at, ++documentNo_, "PARAGON FISKALNY");
                std::array<vp::Grosze, 9> gross{};
                std::vector<int> onReceipt;
                for (int k = 0; k < kLinesPerReceipt; ++k, ++line) {
                    // every name once first, then a skewed choice: a few sell often
                    const int i = line < names ? static_cast<int>(line)
                                               : static_cast<int>(next() % (next() % 2 ? 2000 : names));
                    const int64_t qty = 1000 * static_cast<int64_t>(1 + next() % 3);
                    const vp::Grosze price = articlePrice(i), value = *vp::lineValue(qty, price);
                    const int group = articleGroup(i);
                    gross[static_cast<size_t>(group - 1)] += value;
                    add(text, vp::paper::wrap(articleName(i)));
                    add(text,
                        vp::paper::lr("  " + vp::paper::quantity(qty) + " szt x" + vp::paper::amount(price),
                                      vp::paper::amount(value) + " " + kLetters[group - 1]));
                    // the article base as the printer keeps it: one row per name,
                    // counted once a receipt
                    vp::Article& a = articles_[i];
                    a.name = articleName(i);
                    a.group = group, a.price = price, a.soldMilli += qty, a.soldValue += value;
                    a.lastDay = day.openedAt;
                    if (std::find(onReceipt.begin(), onReceipt.end(), i) == onReceipt.end()) {
                        onReceipt.push_back(i);
                        ++a.receipts;
                    }
                }
                text.push_back(vp::paper::rule());
                vp::Grosze total = 0, vatSum = 0;
                for (size_t g = 0; g < 9; ++g) {
                    if (!gross[g])
                        continue;
                    const vp::Grosze vat = vp::vatFromGross(gross[g], kRates[g]);
                    add(text, vp::paper::lr(std::string("SPRZED. OPODATK. ") + kLetters[g],
                                            vp::paper::amount(gross[g])));
                    add(text, vp::paper::lr(std::string("PTU ") + kLetters[g] + " " +
                                                vp::paper::ratePercent(kRates[g]),
                                            vp::paper::amount(vat)));
                    total += gross[g], vatSum += vat;
                    day.gross[g] += gross[g];
                }
                add(text, vp::paper::lr("SUMA PTU", vp::paper::amount(vatSum)));
                add(text, vp::paper::lr("SUMA PLN", vp::paper::amount(total)));
                add(text, vp::paper::lr("GOTÓWKA", vp::paper::amount(total)));
                ++receiptNo_;
                documentFoot(text, receiptNo_, at);
                drawer_ += total;
                ++day.receipts;
                if (!day.firstReceipt)
                    day.firstReceipt = receiptNo_;
                day.lastReceipt = receiptNo_;
                day.lastAt = at;
                if (!store_.append(o, at, documentNo_, joined(text)))
                    fail(std::string("cannot write a receipt: ") + sqlite3_errmsg(store_.handle()));
            }
            zReport(midnight + 21 * 3600, day);
            commit();
        }
        // The rows as the year leaves them, written once: the printer rewrites a
        // name's row at every receipt, which would only repeat the same upsert a
        // million times here.
        begin();
        vp::Outcome o;
        for (const auto& [i, a] : articles_)
            o.articleWrites.push_back(a);
        if (!store_.append(o, vp::wallSeconds(2025, 12, 31, 21, 0, 0), documentNo_, std::string()))
            fail(std::string("cannot write the article base: ") + sqlite3_errmsg(store_.handle()));
        commit();
    }

    // The article base alone: `names` rows, last sold before the year began.
    void articlesOnly(int names) {
        begin();
        vp::Outcome o;
        for (int i = 0; i < names; ++i)
            o.articleWrites.push_back(vp::Article{articleName(i), articleGroup(i), articlePrice(i), 1000,
                                                  articlePrice(i), 1,
                                                  vp::wallSeconds(2024, 12, 31, 9, 0, 0)});
        if (!store_.append(o, vp::wallSeconds(2024, 12, 31, 12, 0, 0), documentNo_, std::string()))
            fail(std::string("cannot write the article base: ") + sqlite3_errmsg(store_.handle()));
        commit();
    }

    // The working memory after the last document, the chains checked whole.
    void finish(int64_t expectZ, int64_t expectJournal, int64_t expectArticles) {
        begin();
        vp::State before;
        if (!store_.loadState(before))
            fail("cannot read the working memory back");
        vp::State after = before;
        after.receiptNo = receiptNo_;
        after.documentNo = documentNo_;
        after.drawer = drawer_;
        if (!store_.saveState(before, after))
            fail("cannot write the working memory");
        commit();
        sqlite3_exec(store_.handle(), "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        const vp::ChainReport report = store_.verify();
        if (!report.whole())
            fail("the database is not whole after set-up: " + report.firstProblem);
        if (report.fiscalRecords != expectZ + 3 || report.journalEntries != expectJournal ||
            store_.zCount() != expectZ || store_.count() != expectArticles)
            fail("the database does not hold what was written");
        vp::State check;
        if (!store_.loadState(check) || !check.fiscal || check.ramError || check.rates != kRates ||
            check.receiptNo != receiptNo_)
            fail("the working memory does not read back as a fiscal printer");
        store_.close();
    }

  private:
    void begin() {
        if (!store_.begin())
            fail("cannot begin a transaction");
    }
    void commit() {
        if (!store_.commit())
            fail(std::string("cannot commit: ") + sqlite3_errmsg(store_.handle()));
    }

    void zReport(int64_t at, const vp::DayTotals& day) {
        vp::ZRecord z;
        z.zNo = ++zNo_;
        z.at = at;
        z.gross = day.gross;
        for (size_t i = 0; i < 9; ++i) {
            z.vat[i] = vp::vatFromGross(day.gross[i], kRates[i]);
            z.net[i] = z.gross[i] - z.vat[i];
        }
        z.rates = kRates;
        z.receipts = day.receipts;
        z.firstReceipt = day.firstReceipt, z.lastReceipt = day.lastReceipt;
        z.firstAt = day.openedAt, z.lastAt = day.lastAt;
        z.currency = "PLN";
        z.journalHash = store_.journalHead();
        z.fiscal = true;
        using namespace vp::paper;
        std::vector<std::string> text = documentHead(at, ++documentNo_, "RAPORT FISKALNY DOBOWY");
        add(text, lr("RAPORT NR", digits(z.zNo, 4)));
        for (size_t i = 0; i < 9; ++i)
            add(text, lr(std::string("PTU ") + kLetters[i],
                         kRates[i] == vp::kInactiveRate ? std::string("---") : ratePercent(kRates[i])));
        text.push_back(rule());
        for (size_t i = 0; i < 9; ++i)
            if (z.gross[i]) {
                add(text, lr(std::string("SPRZED. OPODATK. ") + kLetters[i], amount(z.gross[i])));
                add(text, lr(std::string("NETTO ") + kLetters[i], amount(z.net[i])));
                add(text, lr(std::string("KWOTA PTU ") + kLetters[i], amount(z.vat[i])));
            }
        add(text, lr("ŁĄCZNA KWOTA PTU", amount(z.vatTotal())));
        add(text, lr("ŁĄCZNA NALEŻNOŚĆ", amount(z.total())));
        add(text, lr("PARAGONY", std::to_string(z.receipts)));
        add(text, lr("W KASIE", amount(drawer_)));
        text.push_back("SKRÓT DZIENNIKA SHA-256");
        text.push_back(z.journalHash.substr(0, 32));
        text.push_back(z.journalHash.substr(32));
        documentFoot(text, 0, at);
        vp::Outcome o;
        o.documentKind = "z-report";
        o.newRecords.push_back(z);
        if (!store_.append(o, at, documentNo_, joined(text)))
            fail(std::string("cannot write a daily record: ") + sqlite3_errmsg(store_.handle()));
    }

    vp::Store store_;
    std::map<int, vp::Article> articles_;
    int64_t documentNo_ = 0, receiptNo_ = 0, zNo_ = 0;
    vp::Grosze drawer_ = 0;
};

struct Template {
    fs::path file;
    double setupSeconds = 0;
    double megabytes = 0;
    int64_t articles = 0, zRecords = 0, journal = 0;
};

const Template& yearPrinter() {
    static const Template t = [] {
        Template x;
        x.file = workRoot() / "year" / "COM1.sqlite";
        fs::create_directories(x.file.parent_path());
        const auto started = std::chrono::steady_clock::now();
        Builder b(x.file);
        b.fiscalise();
        b.year(kYearDays, kYearReceipts, kYearArticles);
        b.finish(kYearDays, 1 + kYearReceipts + kYearDays, kYearArticles);
        x.setupSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        x.megabytes = static_cast<double>(fs::file_size(x.file)) / (1024.0 * 1024.0);
        x.articles = kYearArticles, x.zRecords = kYearDays, x.journal = 1 + kYearReceipts + kYearDays;
        std::fprintf(stderr, "year printer: %.1f s to write, %.1f MiB\n", x.setupSeconds, x.megabytes);
        return x;
    }();
    return t;
}

const Template& emptyPrinter() {
    static const Template t = [] {
        Template x;
        x.file = workRoot() / "empty" / "COM1.sqlite";
        fs::create_directories(x.file.parent_path());
        Builder b(x.file);
        b.fiscalise();
        b.finish(0, 1, 0);
        x.megabytes = static_cast<double>(fs::file_size(x.file)) / (1024.0 * 1024.0);
        x.journal = 1;
        return x;
    }();
    return t;
}

const Template& articlePrinter(int names) {
    static std::map<int, Template> built;
    auto it = built.find(names);
    if (it != built.end())
        return it->second;
    Template x;
    x.file = workRoot() / ("articles-" + std::to_string(names)) / "COM1.sqlite";
    fs::create_directories(x.file.parent_path());
    Builder b(x.file);
    b.fiscalise();
    b.articlesOnly(names);
    b.finish(0, 1, names);
    x.megabytes = static_cast<double>(fs::file_size(x.file)) / (1024.0 * 1024.0);
    x.articles = names, x.journal = 1;
    return built.emplace(names, x).first->second;
}

// ---- one scenario: a copy of a printer behind an open link ----

class Scenario {
  public:
    explicit Scenario(const Template& from) {
        static int serial = 0;
        dir_ = workRoot() / ("run-" + std::to_string(++serial));
        fs::create_directories(dir_);
        fs::copy_file(from.file, dir_ / "COM1.sqlite");
        std::ofstream(dir_ / "virtual-printer.ini")
            << "[General]\ntiming=instant\nclock_start=" << kClockStart << "\nfm_capacity=1000000\n";
        setenv("VPRINTER_HOME", dir_.c_str(), 1);
        setenv("VPRINTER_TIMING", "instant", 1);
        unsetenv("VPRINTER_TRACE");
        fs::current_path(dir_); // uploads land in the working directory
        open();
    }
    ~Scenario() {
        api().close();
        fs::current_path(workRoot());
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;

    void open() {
        if (api().open("COM1", 9600) != 0)
            fail("OpenTavo refused " + dir_.string());
    }

    // One command line; false (and the reason in `error`) when refused.
    bool run(const std::string& line) {
        std::array<char, 4096> buffer{};
        int32_t length = api().answerSize(line.substr(0, 2).c_str());
        const CommandResult r = api().exec(line.c_str(), buffer.data(), &length);
        if (r.Status < 0 && error.empty())
            error = line + " refused " + std::to_string(r.Status) + "/" + std::to_string(r.SubCode);
        return r.Status >= 0;
    }

    std::string error;

  private:
    fs::path dir_;
};

std::string saleLine(const std::string& name) {
    return "30|1|szt|2.50|01|" + name + "|0|0";
}
const std::string kPayment = "34|0|0|0|1000.00|0|0";

enum class Base { Empty, Year };

const Template& templateOf(Base base) {
    return base == Base::Year ? yearPrinter() : emptyPrinter();
}

void sizes(benchmark::State& state, const Template& t) {
    state.counters["db_MiB"] = t.megabytes;
    state.counters["articles"] = static_cast<double>(t.articles);
    state.counters["z_records"] = static_cast<double>(t.zRecords);
    state.counters["journal"] = static_cast<double>(t.journal);
    if (t.setupSeconds > 0)
        state.counters["setup_s"] = t.setupSeconds;
}

// Names the printer already knows: on the year printer any of its 50,000, on
// the empty one ten sold before the measurement.
class KnownNames {
  public:
    KnownNames(Base base, Scenario& p) : count_(base == Base::Year ? kYearArticles : 10) {
        if (base == Base::Empty) {
            for (int i = 0; i < count_; ++i)
                p.run(saleLine(articleName(i)));
            p.run(kPayment);
        }
    }
    std::string next() { return articleName(static_cast<int>((i_++ * 7919) % count_)); }

  private:
    int count_;
    int64_t i_ = 0;
};

bool check(benchmark::State& state, Scenario& p) {
    if (p.error.empty())
        return true;
    state.SkipWithError(p.error.c_str());
    return false;
}

// ---- the commands ----

void BM_SaleKnownName(benchmark::State& state, Base base) {
    const Template& t = templateOf(base);
    Scenario p(t);
    KnownNames names(base, p);
    for (auto _ : state) {
        const std::string line = saleLine(names.next());
        p.run(line);
        state.PauseTiming();
        p.run(kPayment);
        state.ResumeTiming();
        if (!check(state, p))
            break;
    }
    sizes(state, t);
}
BENCHMARK_CAPTURE(BM_SaleKnownName, empty, Base::Empty)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaleKnownName, year, Base::Year)->Unit(benchmark::kMillisecond);

void saleNewName(benchmark::State& state, const Template& t) {
    Scenario p(t);
    int64_t n = 0;
    for (auto _ : state) {
        const std::string line = saleLine("Nowy towar " + std::to_string(n++));
        p.run(line);
        state.PauseTiming();
        p.run(kPayment);
        state.ResumeTiming();
        if (!check(state, p))
            break;
    }
    sizes(state, t);
}

void paymentOfNewName(benchmark::State& state, const Template& t) {
    Scenario p(t);
    int64_t n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        p.run(saleLine("Nowy towar " + std::to_string(n++)));
        state.ResumeTiming();
        p.run(kPayment);
        if (!check(state, p))
            break;
    }
    sizes(state, t);
}

void BM_SaleNewName(benchmark::State& state, Base base) {
    saleNewName(state, templateOf(base));
}
BENCHMARK_CAPTURE(BM_SaleNewName, empty, Base::Empty)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaleNewName, year, Base::Year)->Unit(benchmark::kMillisecond);

// The payment that closes a receipt of ten lines of known names (it prints the
// VAT summary and writes ten rows of the article base).
void BM_PaymentClosingReceipt(benchmark::State& state, Base base) {
    const Template& t = templateOf(base);
    Scenario p(t);
    KnownNames names(base, p);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kLinesPerReceipt; ++i)
            p.run(saleLine(names.next()));
        state.ResumeTiming();
        p.run(kPayment);
        if (!check(state, p))
            break;
    }
    sizes(state, t);
}
BENCHMARK_CAPTURE(BM_PaymentClosingReceipt, empty, Base::Empty)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PaymentClosingReceipt, year, Base::Year)->Unit(benchmark::kMillisecond);

void BM_XReport(benchmark::State& state, Base base) {
    const Template& t = templateOf(base);
    Scenario p(t);
    p.run(saleLine(articleName(1)));
    p.run(kPayment);
    for (auto _ : state) {
        p.run("60|1");
        if (!check(state, p))
            break;
    }
    sizes(state, t);
}
BENCHMARK_CAPTURE(BM_XReport, empty, Base::Empty)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_XReport, year, Base::Year)->Unit(benchmark::kMillisecond);

// A daily report after one receipt (each iteration adds a daily record).
void BM_ZReport(benchmark::State& state, Base base) {
    const Template& t = templateOf(base);
    Scenario p(t);
    for (auto _ : state) {
        state.PauseTiming();
        p.run(saleLine(articleName(2)));
        p.run(kPayment);
        state.ResumeTiming();
        p.run("61");
        if (!check(state, p))
            break;
    }
    sizes(state, t);
}
BENCHMARK_CAPTURE(BM_ZReport, empty, Base::Empty)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZReport, year, Base::Year)->Unit(benchmark::kMillisecond);

// The fiscal memory report over the whole year, printed and uploaded.
void BM_FiscalMemoryReport(benchmark::State& state, const char* line) {
    const Template& t = yearPrinter();
    Scenario p(t);
    for (auto _ : state) {
        p.run(line);
        if (!check(state, p))
            break;
    }
    sizes(state, t);
}
BENCHMARK_CAPTURE(BM_FiscalMemoryReport, printed_365_days, "21|0|1|365")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FiscalMemoryReport, uploaded_365_days, "15|Z|0|1|365")->Unit(benchmark::kMillisecond);

// Opening the link walks both hash chains from the start.
void BM_OpenLink(benchmark::State& state, Base base) {
    const Template& t = templateOf(base);
    Scenario p(t);
    for (auto _ : state) {
        state.PauseTiming();
        api().close();
        state.ResumeTiming();
        p.open();
    }
    sizes(state, t);
}
BENCHMARK_CAPTURE(BM_OpenLink, empty, Base::Empty)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenLink, year, Base::Year)->Unit(benchmark::kMillisecond);

// ---- the curve: a new name against the size of the article base ----

void BM_SaleNewNameByBase(benchmark::State& state) {
    saleNewName(state, articlePrinter(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_SaleNewNameByBase)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PaymentOfNewNameByBase(benchmark::State& state) {
    paymentOfNewName(state, articlePrinter(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_PaymentOfNewNameByBase)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const RemoveRoot cleanup;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
