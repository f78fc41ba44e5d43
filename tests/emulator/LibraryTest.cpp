// The two device libraries loaded by name, as the console loads them.
#include "AnswerFields.h"
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "device/TavoApi.h"
#include "protocol/Layouts.h"
#include "session/Session.h"

namespace fs = std::filesystem;
namespace HW = protocol::HardwareStatus;
namespace SW = protocol::SoftwareStatus;
namespace Ack = protocol::Acknowledgement;
namespace XR = protocol::ExchangeRate;
namespace CC = protocol::CurrencyChange;

namespace {

void* library(const char* name) {
    static void* user = nullptr;
    static void* srv = nullptr;
    void*& h = std::strcmp(name, "TavoUser") == 0 ? user : srv;
    if (!h) {
        const std::string path = std::string(VPRINTER_BIN_DIR) + "/lib" + name + ".so";
        h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!h)
            ADD_FAILURE() << dlerror();
    }
    return h;
}

#define USER(fn) reinterpret_cast<decltype(&::fn)>(dlsym(library("TavoUser"), #fn))
#define SRV(fn) reinterpret_cast<decltype(&::fn)>(dlsym(library("TavoSrv"), #fn))

struct Reply {
    CommandResult r{};
    std::string answer;
    int32_t sized = 0;
    bool ok() const { return r.Status >= 0; }
};

// The console's frame: sizing call, zeroed buffer of that size, real call.
template <class F, class... A> Reply frame(F f, A... args) {
    Reply rep;
    int32_t length = 0;
    f(args..., nullptr, &length);
    rep.sized = length;
    std::string buffer(static_cast<size_t>(std::max(length, 0)), '\0');
    int32_t second = length;
    rep.r = f(args..., buffer.data(), &second);
    buffer.resize(static_cast<size_t>(std::clamp(second, 0, length)));
    rep.answer = buffer;
    return rep;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class Library : public ::testing::Test {
  protected:
    fs::path dir, oldCwd;

    void SetUp() override {
        char tmpl[] = "/tmp/vprinter-test-XXXXXX";
        dir = mkdtemp(tmpl);
        oldCwd = fs::current_path();
        fs::current_path(dir);
        setenv("VPRINTER_HOME", dir.c_str(), 1);
        setenv("VPRINTER_TIMING", "instant", 1);
        unsetenv("VPRINTER_TRACE");
        unsetenv("VPRINTER_FIRMWARE");
    }
    void TearDown() override {
        USER(TavoSetIdleHandler)(nullptr, nullptr);
        USER(CloseTavo)();
        SRV(CloseTavo)();
        fs::current_path(oldCwd);
        fs::remove_all(dir);
    }
    void ini(const std::string& text) { std::ofstream(dir / "virtual-printer.ini") << text; }
    void openUser(const char* port = "COM1") { ASSERT_EQ(USER(OpenTavo)(port, 9600), 0); }
    void openSrv(const char* port = "COM1") {
        USER(CloseTavo)();
        ASSERT_EQ(SRV(OpenTavo)(port, 9600), 0);
    }
    Reply sale(double qty, double price, const char* group, const char* name, int pkg = 0,
               double pkgPrice = 0) {
        return frame(USER(cmSaleItem), qty, "szt", price, group, name, pkg, pkgPrice);
    }
    Reply pay(int c1, int c2, int c3, double a1, double a2, double a3) {
        return frame(USER(cmPayment), c1, c2, c3, a1, a2, a3);
    }
    void fiscalise() {
        openUser();
        ASSERT_TRUE(frame(USER(cmServiceLogon), "0000").ok());
        ASSERT_TRUE(frame(USER(cmSetVatRate), 2300, 800, 500, 0, 9999, 9999, 9999, 9999, 9999, "D").ok());
        std::string header = "   Sklep \xA3\xF3"
                             "d\x9F Sp. z o.o.";
        header.resize(32, ' ');
        header += std::string(128, ' ');
        ASSERT_TRUE(frame(USER(cmSetHeadMessage), 1, 0, header.c_str()).ok());
        openSrv();
        ASSERT_TRUE(frame(SRV(cmSetTaxID), "5260250274", 0x3322).ok());
        ASSERT_TRUE(frame(SRV(cmSetID), "ABC", "12345678").ok());
        ASSERT_TRUE(frame(SRV(cmEnterFiscalMode), "ABC", "12345678").ok());
        SRV(CloseTavo)();
        openUser();
    }
    int64_t zCount() {
        const Reply hw = frame(USER(cmHardwareStatus));
        EXPECT_EQ(hw.answer.size(), 62u);
        return std::stoll(field(hw.answer, HW::LastZ));
    }
};

} // namespace

TEST_F(Library, PortsOneToTwelveOpenAndNothingElse) {
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(USER(OpenTavo)(("COM" + std::to_string(i)).c_str(), 9600), 0) << i;
    for (const char* bad : {"COM0", "COM13", "COM1 ", "com1", "LPT1", "", "COM01"})
        EXPECT_NE(USER(OpenTavo)(bad, 9600), 0) << bad;
    EXPECT_NE(USER(OpenTavo)(nullptr, 9600), 0);
    ini("[COM5]\npresent=false\n");
    EXPECT_NE(USER(OpenTavo)("COM5", 9600), 0) << "no printer on COM5";
}

TEST_F(Library, ClosedLinkAndSizing) {
    int32_t length = 0;
    EXPECT_EQ(USER(cmHardwareStatus)(nullptr, &length).Status, -1);
    openUser();
    EXPECT_EQ(USER(cmHardwareStatus)(nullptr, nullptr).Status, -4) << "no length to report";
    ASSERT_TRUE(frame(USER(cmSetVatRate), 2300, 800, 500, 0, 9999, 9999, 9999, 9999, 9999, "D").ok());
    // sizing calls execute nothing
    for (int i = 0; i < 3; ++i) {
        int32_t n = 0;
        USER(cmSaleItem)(1, "szt", 5, "01", "Chleb", 0, 0, nullptr, &n);
        EXPECT_EQ(n, 22);
    }
    EXPECT_EQ(field(frame(USER(cmSoftwareStatus)).answer, SW::ReceiptNotClosed), "0")
        << "no receipt opened by sizing";
    // a buffer shorter than the answer gets only what fits
    std::string buf(64, '\x55');
    int32_t small = 10;
    EXPECT_EQ(USER(cmHardwareStatus)(buf.data(), &small).Status, 0);
    EXPECT_EQ(small, 10);
    EXPECT_EQ(buf.substr(0, 2), "O0");
    EXPECT_EQ(buf.substr(10), std::string(54, '\x55'));
    // every answer fits in the size the sizing call announced
    for (auto f : {USER(cmHardwareStatus), USER(cmSoftwareStatus), USER(cmPrinterStatus),
                   USER(cmUploadTaxRate), USER(cmUploadDepartment), USER(cmUploadHeadMessage),
                   USER(cmUploadExchangeRate), USER(cmUploadCurrencyChange), USER(cmUploadFisStatus)}) {
        const Reply r = frame(f);
        EXPECT_TRUE(r.ok());
        EXPECT_EQ(r.answer.size(), static_cast<size_t>(r.sized));
    }
    EXPECT_EQ(frame(USER(cmUploadTaxRate)).answer.size(), 39u);
    EXPECT_EQ(frame(USER(cmUploadDepartment)).answer.size(), 209u);
    EXPECT_EQ(frame(USER(cmUploadHeadMessage)).answer.size(), 172u);
    EXPECT_EQ(frame(USER(cmPrinterStatus)).answer, "P00");
}

TEST_F(Library, BadInputIsRefusedNotFollowed) {
    openUser();
    ASSERT_TRUE(frame(USER(cmSetVatRate), 2300, 800, 500, 0, 9999, 9999, 9999, 9999, 9999, "D").ok());
    std::string endless(8000, 'x'); // no nul within the bound
    Reply r =
        frame(USER(cmSaleItem), 1.0, "szt", 1.0, "01", static_cast<const char*>(endless.data()), 0, 0.0);
    EXPECT_EQ(r.r.Status, -4);
    EXPECT_EQ(r.r.SubCode, 2);
    r = sale(0.0 / 0.0, 1.0, "01", "NaN");
    EXPECT_EQ(r.r.SubCode, 16);
    r = sale(1.0, -3.0, "01", "Minus");
    EXPECT_EQ(r.r.SubCode, 18);
    r = sale(1.0, 1e30, "01", "Huge");
    EXPECT_EQ(r.r.SubCode, 18);
    r = frame(USER(cmSaleItem), 1.0, static_cast<const char*>(nullptr), 1.0,
              static_cast<const char*>(nullptr), static_cast<const char*>(nullptr), 0, 0.0);
    EXPECT_EQ(r.r.SubCode, 19);
    EXPECT_EQ(frame(USER(cmSRAMDump), -1).r.SubCode, 81);
    EXPECT_EQ(frame(USER(cmEPROMDump), 0x7FFFFFFF).r.SubCode, 44);
    EXPECT_EQ(frame(USER(cmSRAMDump), 0x100).answer.size(), 130u);
    EXPECT_EQ(USER(GetReturnBufLength)(nullptr), 22);
    EXPECT_EQ(field(frame(USER(cmSoftwareStatus)).answer, SW::ReceiptNotClosed), "0");
}

TEST_F(Library, AWholeFiscalDay) {
    fiscalise();
    ASSERT_TRUE(frame(USER(cmSetCurrencyName), "EURUSD").ok());
    ASSERT_TRUE(frame(USER(cmSetExChangeRate), "4,25", "A", "4", "A").ok());
    ASSERT_TRUE(frame(USER(cmReceiveCash), 200.0).ok());

    // receipt 1: three items, a rate discount on the last, an amount discount on the sub-total, three payment
    // lines
    ASSERT_TRUE(sale(2, 1.5, "01",
                     "Mleko \xB3"
                     "aciate")
                    .ok());
    ASSERT_TRUE(sale(1, 10, "02", "Chleb").ok());
    ASSERT_TRUE(sale(0.5, 40, "01", "Ser", 1, 0.5).ok());     // with a returnable package
    ASSERT_TRUE(frame(USER(cmDiscount), 0, 1000, 1, 1).ok()); // -10% on Ser: 20.00 -> 18.00
    ASSERT_TRUE(frame(USER(cmDiscount), 3, 100, 1, 0).ok());  // -1.00 on the sub-total
    ASSERT_TRUE(frame(USER(cmPrintSubTotal)).ok());
    const Reply rates = frame(USER(cmUploadExchangeRate));
    ASSERT_EQ(rates.answer.size(), 51u);
    EXPECT_EQ(field(rates.answer, XR::AmountDue), "0000003025"); // 3.00 + 10.00 + 18.00 - 1.00 + 0.25 deposit
    ASSERT_TRUE(frame(USER(cmSetClientId), "05260250274       ").ok());
    Reply paid = pay(4, 6, 0, 2.0, 1.0, 50.0); // card 2 EUR (8.50), cash 1 USD (4.00), cash 50 PLN
    ASSERT_TRUE(paid.ok()) << paid.r.SubCode;
    EXPECT_EQ(field(frame(USER(cmSoftwareStatus)).answer, SW::ReceiptNotClosed), "0")
        << "receipt closed by full payment";

    // receipt 2, cancelled
    ASSERT_TRUE(sale(1, 99.99, "03", "Książka").ok());
    ASSERT_TRUE(frame(USER(cmReceiptCancel), "").ok());
    // receipt 3, closed with a footer
    ASSERT_TRUE(sale(3, 0.1, "04", "Zapałki").ok());
    ASSERT_TRUE(frame(USER(cmReceiptClose), "Dzi\xEAkujemy").ok());

    ASSERT_TRUE(frame(USER(cmPaidOut), 20.0).ok());
    const Reply drawer = frame(USER(cmCashInDrawer));
    // 200 in, receipt 1: 4.00 + 50.00 cash - 32.25 change, receipt 3: 0.30, 20 out
    EXPECT_EQ(field(drawer.answer, Ack::Value), "000000020205");
    ASSERT_TRUE(frame(USER(cmXReport), 1).ok());
    const Reply z = frame(USER(cmZReport));
    ASSERT_TRUE(z.ok());
    EXPECT_EQ(field(z.answer, Ack::Value), "000000003030"); // 30.00 + 0.30: the deposit is outside sales
    EXPECT_EQ(zCount(), 1);

    // fiscal memory reports, printed and uploaded
    EXPECT_TRUE(frame(USER(cmMemReportByZNo), 1, 1, 1).ok());
    const Reply sw = frame(USER(cmSoftwareStatus));
    const int day = std::stoi(field(sw.answer, SW::Day)), month = std::stoi(field(sw.answer, SW::Month)),
              year = std::stoi(field(sw.answer, SW::Year).substr(2));
    EXPECT_TRUE(frame(USER(cmMemReportByDate), 0, day, month, year, day, month, year).ok());
    EXPECT_TRUE(frame(USER(cmMemReportMonthly), 1, month, year).ok());
    EXPECT_EQ(frame(USER(cmMemReportByZNo), 0, 2, 2).r.SubCode, 34);
    ASSERT_TRUE(frame(USER(cmUploadFisRptByZNo), 1, 1, 1).ok());
    const std::string report = readFile("_FisRpt.mem");
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.size() % 32, 0u);
    EXPECT_NE(report.find("30,30"), std::string::npos);
    ASSERT_TRUE(frame(USER(cmUploadFisRptByDate), 0, day, month, year, day, month, year).ok());
    ASSERT_TRUE(frame(USER(cmUploadFisRptMonthly), 0, month, year).ok());

    ASSERT_TRUE(frame(USER(cmUploadPlu)).ok());
    const std::string plu = readFile("_Plu.mem");
    EXPECT_EQ(plu.size(), 4u * 64) << "Mleko, Chleb, Ser, Zapałki";
    EXPECT_EQ(plu.substr(0, 13), "Mleko \xB3"
                                 "aciate");
    ASSERT_TRUE(frame(USER(cmUploadPkg), static_cast<int32_t>('0')).ok());
    EXPECT_EQ(readFile("_RtnPkg.mem").size(), 66u);
    ASSERT_TRUE(frame(USER(cmUploadPkg), static_cast<int32_t>('1')).ok());
    ASSERT_TRUE(frame(USER(cmUploadPkg), static_cast<int32_t>('0')).ok());
    EXPECT_EQ(readFile("_RtnPkg.mem").size(), 0u) << "cleared";

    const std::string paper = readFile(dir / "COM1-paper.txt");
    for (const char* text : {"Sklep Łódź Sp. z o.o.", "Mleko łaciate", "PTU A 23,00%",
                             "NIP nabywcy: 5260250274", "PARAGON ANULOWANY", "Dziękujemy",
                             "RAPORT FISKALNY DOBOWY", "PL ABC 12345678", "KAUCJA POBRANA", "RESZTA"})
        EXPECT_NE(paper.find(text), std::string::npos) << text;
    std::istringstream lines(paper);
    std::string line;
    while (std::getline(lines, line)) {
        const auto chars = std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; });
        EXPECT_LE(chars, 32) << line;
    }

    // all of it survives a close and reopen, through the other library too
    USER(CloseTavo)();
    openSrv();
    SRV(CloseTavo)();
    openUser();
    EXPECT_EQ(zCount(), 1);
    EXPECT_EQ(field(frame(USER(cmCashInDrawer)).answer, Ack::Value), "000000020205");
    EXPECT_EQ(frame(USER(cmUploadTaxRate)).answer, "O0230008000500000099999999999999999999D");
}

TEST_F(Library, RawCommandLinesReachTheCodedCommands) {
    openUser();
    auto exec = [](const std::string& line) {
        const int32_t size = USER(GetReturnBufLength)(line.substr(0, 2).c_str());
        std::string buf(static_cast<size_t>(size), '\0');
        int32_t n = size;
        const CommandResult r = USER(ExecCommand)(line.c_str(), buf.data(), &n);
        EXPECT_LE(n, size);
        buf.resize(static_cast<size_t>(std::max(n, 0)));
        return std::make_pair(r, buf);
    };
    EXPECT_EQ(exec("40").second.size(), 62u);
    EXPECT_EQ(exec("47").second, "P00");
    EXPECT_EQ(exec("03|2300|800|500|0|9999|9999|9999|9999|9999|D").first.Status, 0);
    EXPECT_EQ(exec("91").second, "O0230008000500000099999999999999999999D");
    EXPECT_EQ(exec("30|2|szt|1.50|01|Mleko|0|0").first.Status, 0);
    EXPECT_EQ(exec("34|0|0|0|3.00|0|0").first.Status, 0);
    EXPECT_EQ(exec("61").first.Status, 0);
    EXPECT_EQ(exec("99").first.SubCode, 1);
    EXPECT_EQ(exec("4").first.SubCode, 1);
    EXPECT_EQ(exec("").first.SubCode, 1);
    EXPECT_EQ(exec("44|7F80").second.size(), 130u);
    EXPECT_EQ(exec("44|7F81").first.SubCode, 81);
    EXPECT_EQ(exec("15|X|0|1|1").first.SubCode, 32);
    EXPECT_EQ(exec("13").second.size(), 51u);
    EXPECT_EQ(exec("17").second.size(), 43u);
    int32_t n = 0;
    EXPECT_EQ(USER(ExecCommand)("40", nullptr, &n).Status, 0);
    EXPECT_EQ(n, 62);
}

TEST_F(Library, RefusalsThroughTheLibrary) {
    openUser();
    EXPECT_EQ(sale(1, 1, "01", "X").r.SubCode, 20);
    EXPECT_EQ(pay(0, 0, 0, 1, 0, 0).r.SubCode, 5);
    EXPECT_EQ(frame(USER(cmPaidOut), 1.0).r.SubCode, 31);
    EXPECT_EQ(frame(USER(cmServiceLogon), "9999").r.SubCode, 67);
    EXPECT_EQ(frame(USER(cmClerkLogon), 1, "123").r.SubCode, 65);
    openSrv();
    EXPECT_EQ(frame(SRV(cmSetTaxID), "5260250274", 0).r.SubCode, 82);
    EXPECT_EQ(frame(SRV(cmSRAMErase), 1, 1, 26, 0, 0, 0).r.SubCode, 40);
    SRV(CloseTavo)();
    fiscalise();
    openSrv();
    EXPECT_EQ(frame(SRV(cmEnterFiscalMode), "ABC", "12345678").r.SubCode, 53);
    EXPECT_EQ(frame(SRV(cmSetTaxID), "5260250274", 0).r.SubCode, 84);
}

TEST_F(Library, FaultsFromTheSettings) {
    ini("[COM2]\npaper=out\nbattery=low\n[COM3]\ntimeouts=2\n[COM4]\nfiscal_memory=full\ndamaged_record=1\n"
        "[COM5]\nfiscal_memory=nearly_full\n");
    openUser("COM2");
    EXPECT_EQ(frame(USER(cmPrinterStatus)).answer, "P02");
    ASSERT_TRUE(frame(USER(cmSetVatRate), 2300, 800, 500, 0, 9999, 9999, 9999, 9999, 9999, "D").r.SubCode ==
                8);
    const Reply hw = frame(USER(cmHardwareStatus));
    EXPECT_EQ(field(hw.answer, HW::Battery), "0");
    EXPECT_EQ(fields(hw.answer, HW::BatteryUnits, HW::BatteryTenths), "24");
    openUser("COM3");
    EXPECT_EQ(frame(USER(cmPrinterStatus)).r.Status, -3);
    EXPECT_EQ(frame(USER(cmPrinterStatus)).r.Status, -3);
    EXPECT_EQ(frame(USER(cmPrinterStatus)).r.Status, 0);
    // nearly full: ten records left when the port opens, then full
    openUser("COM5");
    ASSERT_TRUE(frame(USER(cmServiceLogon), "0000").ok());
    ASSERT_TRUE(frame(USER(cmSetVatRate), 2300, 800, 500, 0, 9999, 9999, 9999, 9999, 9999, "D").ok());
    ASSERT_TRUE(frame(USER(cmSetTaxID), "5260250274", 0).ok());
    ASSERT_TRUE(frame(USER(cmSetID), "ABC", "1").ok());
    ASSERT_TRUE(frame(USER(cmEnterFiscalMode), "ABC", "1").ok());
    EXPECT_EQ(fields(frame(USER(cmHardwareStatus)).answer, HW::LastZ, HW::FreeZ), "00000010");
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(frame(USER(cmZReport)).ok()) << i;
    EXPECT_EQ(frame(USER(cmZReport)).r.SubCode, 7);
    EXPECT_EQ(field(frame(USER(cmHardwareStatus)).answer, HW::FiscalMemFull) +
                  fields(frame(USER(cmHardwareStatus)).answer, HW::LastZ, HW::FreeZ),
              "100100000");
    openUser("COM4");
    const Reply full = frame(USER(cmHardwareStatus));
    EXPECT_EQ(field(full.answer, HW::FiscalMemFull), "1");
    EXPECT_EQ(field(full.answer, HW::RecordsDamaged), "1");
    EXPECT_EQ(field(full.answer, HW::FiscalMemCheck), "1");
    EXPECT_EQ(field(full.answer, HW::FreeZ), "0000");
}

TEST_F(Library, TraceShowsEveryCallWithPasswordsMasked) {
    const fs::path trace = dir / "calls.jsonl";
    setenv("VPRINTER_TRACE", trace.c_str(), 1);
    openUser();
    frame(USER(cmServiceLogon), "0246");
    frame(USER(cmSetDepartName), "01", "Pieczywo \xB3", "A");
    frame(USER(ExecCommand), "09|0246");
    frame(USER(ExecCommand), "06|1|975|Ala");
    frame(USER(cmSRAMDump), 0); // the dump's answer is traced in hexadecimal
    USER(CloseTavo)();
    const std::string t = readFile(trace);
    // times and durations are digits too: look only at what the calls carried
    const std::string carried =
        std::regex_replace(t, std::regex(R"re("(time|ms)":("[^"]*"|[0-9.e+-]+))re"), "");
    for (const char* secret : {"0246", "975", "30323436" /* "0246" in hexadecimal */, "393735"})
        EXPECT_EQ(carried.find(secret), std::string::npos) << secret;
    EXPECT_NE(t.find("\"commandLine\":\"09|****\""), std::string::npos);
    EXPECT_NE(t.find("\"commandLine\":\"06|1|***|Ala\""), std::string::npos);
    EXPECT_NE(t.find("\"function\":\"OpenTavo\""), std::string::npos);
    EXPECT_NE(t.find("\"password\":\"****\""), std::string::npos);
    EXPECT_NE(t.find("Pieczywo ł"), std::string::npos);
    EXPECT_NE(t.find("\"library\":\"TavoUser\""), std::string::npos);
    EXPECT_GE(std::count(t.begin(), t.end(), '\n'), 12);

    // A trace is a session: every line is a call of the schema, and reads back
    // as the calls made, arguments typed and in call order.
    const std::string check =
        "python3 " CONSOLE_SOURCE_DIR "/scripts/validate-session.py '" + trace.string() + "' >/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0) << check;
    const session::Read read = session::readFile(QString::fromStdString(trace.string()));
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    auto it = std::find_if(read.calls.begin(), read.calls.end(), [](const session::Call& c) {
        return c.function == "cmSetDepartName" && !c.sizing;
    });
    ASSERT_NE(it, read.calls.end());
    EXPECT_EQ(it->arguments, (std::vector<session::Argument>{
                                 {"number", "01"}, {"name", "Pieczywo \u0142"}, {"vatLetter", "A"}}));
    EXPECT_EQ(it->length, 22);
    it = std::find_if(read.calls.begin(), read.calls.end(),
                      [](const session::Call& c) { return c.function == "cmSRAMDump" && c.sizing; });
    ASSERT_NE(it, read.calls.end());
    EXPECT_EQ(it->arguments, (std::vector<session::Argument>{{"address", int64_t{0}}}));
    EXPECT_EQ(it->length, protocol::MemoryDump::kSize);
    EXPECT_TRUE(it->answer.empty());
}

namespace {
struct IdleProbe {
    int calls = 0;
    int32_t executing = -1;
    CommandResult nested{};
};
void TAVO_CALL abortingIdle(void* ctx) {
    auto* p = static_cast<IdleProbe*>(ctx);
    if (++p->calls == 3) {
        p->executing = USER(isCommandExecuting)();
        int32_t n = 0;
        p->nested = USER(cmPrinterStatus)(nullptr, &n);
        USER(AbortTavo)();
    }
}
} // namespace

TEST_F(Library, IdleHandlerRunsAndAbortLeavesNoTrace) {
    ini("[COM1]\ntiming=real\nextra_ms=5000\n");
    unsetenv("VPRINTER_TIMING");
    openUser();
    IdleProbe probe;
    USER(TavoSetIdleHandler)(abortingIdle, &probe);
    EXPECT_NE(USER(isCommandExecuting)(), 0) << "idle";
    const auto started = std::chrono::steady_clock::now();
    const Reply r = frame(USER(cmReceiveCash), 50.0);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(r.r.Status, -3);
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_EQ(probe.executing, 0);
    EXPECT_EQ(probe.nested.Status, -5);
    EXPECT_EQ(probe.nested.SubCode, 1);
    USER(TavoSetIdleHandler)(nullptr, nullptr);
    setenv("VPRINTER_TIMING", "instant", 1);
    openUser(); // settings are read when the link opens
    EXPECT_EQ(field(frame(USER(cmCashInDrawer)).answer, Ack::Value), std::string(12, '0'));
}

namespace {
int gSignalFd = -1;
void TAVO_CALL signalIdle(void*) {
    if (gSignalFd >= 0) {
        const char c = 'z';
        [[maybe_unused]] auto n = write(gSignalFd, &c, 1);
        close(gSignalFd);
        gSignalFd = -1;
    }
}
} // namespace

TEST_F(Library, KillDuringZReportLosesNothing) {
    fiscalise();
    ASSERT_TRUE(sale(1, 12.3, "01", "Kawa").ok());
    ASSERT_TRUE(pay(0, 0, 0, 12.3, 0, 0).ok());
    USER(CloseTavo)();
    ini("[COM1]\ntiming=real\nextra_ms=10000\n");
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        unsetenv("VPRINTER_TIMING");
        gSignalFd = fds[1];
        if (USER(OpenTavo)("COM1", 9600) != 0)
            _exit(2);
        USER(TavoSetIdleHandler)(signalIdle, nullptr);
        frame(USER(cmZReport));
        _exit(0);
    }
    close(fds[1]);
    char c = 0;
    ASSERT_EQ(read(fds[0], &c, 1), 1) << "the child never reached the Z report";
    close(fds[0]);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    fs::remove(dir / "virtual-printer.ini");
    openUser();
    const int64_t records = zCount();
    const Reply sw = frame(USER(cmSoftwareStatus));
    ASSERT_TRUE(records == 0 || records == 1);
    // before: the day still holds its sale; after: one complete record and a closed day
    EXPECT_EQ(field(sw.answer, SW::ZReportNeeded), records == 0 ? "1" : "0");
    const Reply z = frame(USER(cmZReport));
    ASSERT_TRUE(z.ok());
    EXPECT_EQ(zCount(), records + 1);
    ASSERT_TRUE(frame(USER(cmUploadFisRptByZNo), 1, 1, 1).ok());
    EXPECT_NE(readFile("_FisRpt.mem").find("12,30"), std::string::npos) << "the day's sale is in Z number 1";
}

namespace {

// Runs SQL on a closed port's database as someone with the file would.
int sql(const fs::path& db, const std::string& statements) {
    sqlite3* h = nullptr;
    EXPECT_EQ(sqlite3_open(db.c_str(), &h), SQLITE_OK);
    const int rc = sqlite3_exec(h, statements.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(h);
    return rc;
}

} // namespace

TEST_F(Library, FiscalMemoryAndJournalOnlyGrow) {
    fiscalise();
    ASSERT_TRUE(sale(1, 12.3, "01", "Kawa").ok());
    ASSERT_TRUE(pay(0, 0, 0, 12.3, 0, 0).ok());
    ASSERT_TRUE(frame(USER(cmZReport)).ok());
    USER(CloseTavo)();
    const fs::path db = dir / "COM1.sqlite";
    for (const char* attempt : {"UPDATE fiscal_record SET at = 0", "DELETE FROM fiscal_record WHERE z_no = 1",
                                "REPLACE INTO fiscal_record SELECT * FROM fiscal_record WHERE z_no = 1",
                                "INSERT INTO fiscal_record (kind, z_no, at, data, prev_hash, hash) VALUES "
                                "('z', 9, 0, '{}', '', '')",
                                "UPDATE journal SET text = 'x'", "DELETE FROM journal",
                                "REPLACE INTO journal SELECT * FROM journal LIMIT 1"})
        EXPECT_NE(sql(db, attempt), SQLITE_OK) << attempt;
    openUser();
    EXPECT_EQ(fields(frame(USER(cmHardwareStatus)).answer, HW::RecordsDamaged, HW::FiscalMemCheck), "0010")
        << "nothing damaged";
}

// Whoever gets past the guards is caught by the hash chains: the printer reads
// the record back as damaged and refuses sales until service.
TEST_F(Library, ATamperedRecordOrJournalEntryIsReportedDamaged) {
    struct Case {
        const char* what;
        const char* statements;
        bool recordDamaged; // the daily report reprints the record as damaged
    };
    for (const Case& c :
         {Case{"a daily record's figures",
               "DROP TRIGGER fiscal_record_no_update;"
               "UPDATE fiscal_record SET data = replace(data, '1230', '1000') WHERE z_no = 1",
               true},
          Case{"a fiscal event",
               "DROP TRIGGER fiscal_record_no_update;"
               "UPDATE fiscal_record SET data = '{\"code\":\"XYZ\",\"number\":\"1\"}' WHERE kind = 'id'",
               false},
          Case{"a journal entry",
               "DROP TRIGGER journal_no_update; UPDATE journal SET text = 'nic' WHERE id = 2", false}}) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        fiscalise();
        ASSERT_TRUE(sale(1, 12.3, "01", "Kawa").ok());
        ASSERT_TRUE(pay(0, 0, 0, 12.3, 0, 0).ok());
        ASSERT_TRUE(frame(USER(cmZReport)).ok());
        USER(CloseTavo)();
        ASSERT_EQ(sql(dir / "COM1.sqlite", c.statements), SQLITE_OK);
        openUser();
        const Reply hw = frame(USER(cmHardwareStatus));
        EXPECT_EQ(field(hw.answer, HW::RecordsDamaged), "1") << "records may be damaged";
        EXPECT_EQ(field(hw.answer, HW::FiscalMemCheck), "1") << "fiscal memory check";
        EXPECT_EQ(sale(1, 1, "01", "Kawa").r.SubCode, 95);
        ASSERT_TRUE(frame(USER(cmMemReportByZNo), 1, 1, 1).ok());
        const std::string paper = readFile(dir / "COM1-paper.txt");
        EXPECT_EQ(paper.find("RAPORT 0001           USZKODZONY") != std::string::npos, c.recordDamaged);
    }
}

// A lost or damaged working memory is a RAM failure: status shows it, sales
// wait, and an SRAM erase brings the printer back with its fiscal facts.
TEST_F(Library, ALostWorkingMemoryKeepsTheFiscalFacts) {
    for (const char* damage :
         {"DELETE FROM setting", "UPDATE setting SET value = '999999' WHERE key = 'drawer'",
          "DROP TABLE header_line", "UPDATE vat_rate SET rate = 0 WHERE grp = 1"}) {
        SCOPED_TRACE(damage);
        TearDown();
        SetUp();
        ini("[COM1]\nclock_start=2026-05-12 10:00:00\n"); // the erase's hour below stays ahead of it
        fiscalise();
        ASSERT_TRUE(frame(USER(cmReceiveCash), 10.0).ok());
        USER(CloseTavo)();
        ASSERT_EQ(sql(dir / "COM1.sqlite", damage), SQLITE_OK);
        openSrv();
        Reply hw = frame(SRV(cmHardwareStatus));
        EXPECT_EQ(fields(hw.answer, HW::IdCode, HW::TaxId), "ABC123456785260250274")
            << "identity from the fiscal memory";
        EXPECT_EQ(field(hw.answer, HW::OperationMode), "0") << "still fiscal";
        EXPECT_EQ(field(hw.answer, HW::RamCheck), "1") << "RAM check failed";
        EXPECT_EQ(field(frame(SRV(cmSoftwareStatus)).answer, SW::RamChecksum), "1");
        EXPECT_EQ(frame(SRV(cmSaleItem), 1.0, "szt", 1.0, "01", "X", 0, 0.0).r.SubCode, 68);
        EXPECT_EQ(frame(SRV(cmSetTaxID), "5260250274", 0).r.SubCode, 68);
        ASSERT_TRUE(frame(SRV(cmServiceLogon), "0000").ok());
        const Reply sw = frame(SRV(cmSoftwareStatus));
        const int d = std::stoi(field(sw.answer, SW::Day)), m = std::stoi(field(sw.answer, SW::Month)),
                  y = std::stoi(field(sw.answer, SW::Year).substr(2)),
                  h = std::stoi(field(sw.answer, SW::Hours));
        ASSERT_TRUE(frame(SRV(cmSRAMErase), d, m, y, h + 1, 0, 0).ok());
        hw = frame(SRV(cmHardwareStatus));
        EXPECT_EQ(field(hw.answer, HW::RamCheck), "0");
        EXPECT_EQ(fields(hw.answer, HW::IdCode, HW::TaxId), "ABC123456785260250274");
        EXPECT_EQ(field(hw.answer, HW::RamResets), "0001") << "one RAM reset";
        EXPECT_EQ(frame(SRV(cmSetTaxID), "5260250274", 0).r.SubCode, 84) << "the tax ID stays written";
        EXPECT_EQ(frame(SRV(cmUploadTaxRate)).answer, "O0230008000500000099999999999999999999D");
        EXPECT_TRUE(frame(SRV(cmSaleItem), 1.0, "szt", 1.0, "01", "X", 0, 0.0).ok());
    }
}

TEST_F(Library, APrinterOfTheEarlierLayoutIsMigrated) {
    fs::copy_file(fs::path(VPRINTER_FIXTURES) / "layout1-printer.sqlite", dir / "COM1.sqlite");
    openUser();
    EXPECT_EQ(zCount(), 1);
    const Reply hw = frame(USER(cmHardwareStatus));
    EXPECT_EQ(fields(hw.answer, HW::IdCode, HW::TaxId), "ABC123456785260250274");
    EXPECT_EQ(field(hw.answer, HW::OperationMode), "0");
    EXPECT_EQ(fields(hw.answer, HW::RecordsDamaged, HW::FiscalMemCheck), "0010") << "the chains are whole";
    EXPECT_EQ(field(frame(USER(cmCashInDrawer)).answer, Ack::Value), "000000011349");
    EXPECT_EQ(frame(USER(cmUploadTaxRate)).answer, "O0230008000500000099999999999999999999D");
    ASSERT_TRUE(frame(USER(cmUploadPlu)).ok());
    const std::string plu = readFile("_Plu.mem");
    ASSERT_EQ(plu.size(), 4u * 64) << "what was sold; Woda waits on a receipt set aside";
    EXPECT_EQ(plu.substr(0, 5), "Mleko");
    EXPECT_EQ(plu.substr(3 * 64, 5), "Chleb");
    // the receipt set aside before the migration is taken up and paid
    ASSERT_TRUE(frame(USER(cmInvoiceInfo), 1, 1, 0.0, 0.0).ok());
    ASSERT_TRUE(pay(0, 0, 0, 2.0, 0, 0).ok());
    ASSERT_TRUE(frame(USER(cmUploadPlu)).ok());
    EXPECT_EQ(readFile("_Plu.mem").substr(4 * 64, 4), "Woda");
    ASSERT_TRUE(frame(USER(cmZReport)).ok());
    ASSERT_TRUE(frame(USER(cmMemReportByZNo), 1, 1, 2).ok());
    const std::string paper = readFile(dir / "COM1-paper.txt");
    EXPECT_NE(paper.find("ŁĄCZNA NALEŻNOŚĆ           13,99"), std::string::npos) << "both days, no deposits";
    USER(CloseTavo)();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir / "COM1.sqlite").c_str(), &db), SQLITE_OK);
    sqlite3_stmt* q = nullptr;
    sqlite3_prepare_v2(
        db,
        "SELECT (SELECT COUNT(*) FROM journal), (SELECT COUNT(*) FROM fiscal_record WHERE z_no IS NULL), "
        "(SELECT COUNT(*) FROM sqlite_master WHERE name IN ('working_memory', 'fiscal_z'))",
        -1, &q, nullptr);
    ASSERT_EQ(sqlite3_step(q), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(q, 0), 14 + 4)
        << "every journal entry kept, then take-up, payment, Z, report";
    EXPECT_EQ(sqlite3_column_int(q, 1), 3) << "tax ID, ID, fiscalisation";
    EXPECT_EQ(sqlite3_column_int(q, 2), 0) << "the earlier tables are gone";
    sqlite3_finalize(q);
    sqlite3_close(db);
}

// While a command runs in one library, the other says busy and refuses at once.
TEST_F(Library, BothLibrariesShareOneBusyState) {
    ini("[General]\ntiming=real\nextra_ms=600\n");
    unsetenv("VPRINTER_TIMING");
    openUser();
    ASSERT_EQ(SRV(OpenTavo)("COM1", 9600), 0);
    struct Seen {
        int idle = -1;
        CommandResult other{};
        double ms = 0;
        bool asked = false;
    } seen;
    USER(TavoSetIdleHandler)
    (
        [](void* context) {
            auto* s = static_cast<Seen*>(context);
            if (s->asked)
                return;
            s->asked = true;
            s->idle = SRV(isCommandExecuting)();
            const auto t0 = std::chrono::steady_clock::now();
            char buffer[62];
            int32_t length = sizeof buffer;
            s->other = SRV(cmHardwareStatus)(buffer, &length);
            s->ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        },
        &seen);
    EXPECT_TRUE(frame(USER(cmXReport), 0).ok());
    EXPECT_TRUE(seen.asked);
    EXPECT_EQ(seen.idle, 0) << "the service library sees the user library's command";
    EXPECT_EQ(seen.other.Status, -5);
    EXPECT_EQ(seen.other.SubCode, 1);
    EXPECT_LT(seen.ms, 500.0) << "refused at once, not after a wait";
    USER(TavoSetIdleHandler)(nullptr, nullptr);
    EXPECT_EQ(SRV(isCommandExecuting)(), 1);
    EXPECT_TRUE(frame(SRV(cmHardwareStatus)).ok());
}

TEST_F(Library, FirmwareUpdateChangesTheVersion) {
    std::ofstream(dir / "tavo-fw.bin") << "HEADER\nVERSION=0207\n";
    setenv("VPRINTER_FIRMWARE", (dir / "tavo-fw.bin").c_str(), 1);
    EXPECT_EQ(SRV(UpdateTavoProgram)(0, "COM1", 1), 0);
    std::ofstream(dir / "empty.bin") << "nothing";
    setenv("VPRINTER_FIRMWARE", (dir / "empty.bin").c_str(), 1);
    EXPECT_NE(SRV(UpdateTavoProgram)(0, "COM1", 0), 0);
    EXPECT_NE(SRV(UpdateTavoProgram)(0, "COM0", 0), 0);
    unsetenv("VPRINTER_FIRMWARE");
    openUser();
    EXPECT_EQ(field(frame(USER(cmSoftwareStatus)).answer, SW::Version), "0207");
}

TEST_F(Library, CurrencyChangeTakesEffectAfterItsMoment) {
    ini("[COM1]\nclock_start=2026-03-31 23:58:00\n");
    openUser();
    // the console passes null pointers for an absent second currency
    const char* none = nullptr;
    Reply r = frame(USER(cmSetMoney), 26, 4, 1, 0, 0, "EUR", "4.3", "B", none, none, none);
    ASSERT_TRUE(r.ok()) << r.r.SubCode;
    EXPECT_EQ(frame(USER(cmSetMoney), 26, 3, 1, 0, 0, "EUR", "4.3", "B", none, none, none).r.SubCode, 91)
        << "a moment in the past";
    const Reply before = frame(USER(cmUploadCurrencyChange));
    EXPECT_EQ(fields(before.answer, CC::Year, CC::Minute), std::string("\x26\x04\x01\x00\x00", 5));
    EXPECT_EQ(field(before.answer, CC::FirstMode), "B");
    EXPECT_EQ(field(frame(USER(cmUploadExchangeRate)).answer, XR::SaleCode), "PLN");
    USER(CloseTavo)();
    ini("[COM1]\nclock_start=2026-04-01 00:00:30\n");
    openUser();
    const Reply after = frame(USER(cmUploadExchangeRate));
    EXPECT_EQ(fields(after.answer, XR::SaleCode, XR::FirstCode), "EURPLN");
    EXPECT_EQ(fields(after.answer, XR::FirstRate, XR::FirstMode), "0000004,300000B");
    EXPECT_EQ(field(frame(USER(cmUploadCurrencyChange)).answer, CC::FirstMode), "N")
        << "nothing programmed any more";
    EXPECT_EQ(fields(frame(USER(cmSoftwareStatus)).answer, SW::Day, SW::Year), "01042026");
}

TEST_F(Library, PostponedReceiptsPackagesAndClerks) {
    openUser();
    ASSERT_TRUE(frame(USER(cmSetVatRate), 2300, 800, 500, 0, 9999, 9999, 9999, 9999, 9999, "D").ok());
    ASSERT_TRUE(frame(USER(cmSetClerkPwd), 2, "321", "Ewa").ok());
    EXPECT_EQ(sale(1, 1, "01", "Kawa").r.SubCode, 65);
    ASSERT_TRUE(frame(USER(cmClerkLogon), 2, "321").ok());
    ASSERT_TRUE(sale(1, 7.5, "01", "Kawa").ok());
    ASSERT_TRUE(frame(USER(cmInvoiceInfo), 0, 1, 7.5, 1.4).ok());
    ASSERT_TRUE(sale(2, 3, "02", "Herbata").ok());
    ASSERT_TRUE(pay(0, 0, 0, 6.0, 0, 0).ok());
    EXPECT_EQ(frame(USER(cmInvoiceInfo), 1, 2, 0.0, 0.0).r.SubCode, 46) << "slot 2 is empty";
    ASSERT_TRUE(frame(USER(cmInvoiceInfo), 1, 1, 7.5, 1.4).ok());
    EXPECT_EQ(field(frame(USER(cmSoftwareStatus)).answer, SW::Subtotal), "000000000750");
    ASSERT_TRUE(pay(1, 0, 0, 7.5, 0, 0).ok());
    ASSERT_TRUE(frame(USER(cmSalePackage), 10.0, "szt", 0.5, "Skrzynka").ok());
    ASSERT_TRUE(frame(USER(cmSalePackagePayment), 0).ok());
    ASSERT_TRUE(frame(USER(cmReturnPackage), 4.0, "szt", 0.5, "Skrzynka").ok());
    ASSERT_TRUE(frame(USER(cmPackagePayment), 0).ok());
    EXPECT_EQ(field(frame(USER(cmCashInDrawer)).answer, Ack::Value), "000000000900"); // 6 + 5 - 2
    ASSERT_TRUE(frame(USER(cmUploadPkg), static_cast<int32_t>('0')).ok());
    const std::string pkg = readFile("_RtnPkg.mem");
    ASSERT_EQ(pkg.size(), 66u);
    EXPECT_EQ(pkg.substr(40, 6), std::string("\0\0\0\0\0\x32", 6)); // price 0.50
    EXPECT_EQ(pkg.substr(46, 4), std::string("\0\0\x0F\xA0", 4));   // 4.000 returned
    EXPECT_EQ(pkg.substr(56, 4), std::string("\0\0\x27\x10", 4));   // 10.000 sold
    ASSERT_TRUE(frame(USER(cmClerkLogout)).ok());
    EXPECT_EQ(sale(1, 1, "01", "Kawa").r.SubCode, 65);
}

namespace {
void TAVO_CALL countingIdle(void* ctx) {
    ++*static_cast<int*>(ctx);
}
} // namespace

TEST_F(Library, RealTimingTakesThePrintersTime) {
    ini("[COM1]\ntiming=real\nline_ms=40\n");
    unsetenv("VPRINTER_TIMING");
    openUser();
    int idles = 0;
    USER(TavoSetIdleHandler)(countingIdle, &idles);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(frame(USER(cmReceiveCash), 5.0).ok()); // a cash-in document of about 8 lines
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    EXPECT_GE(ms.count(), 300);
    EXPECT_LT(ms.count(), 3000);
    EXPECT_GE(idles, 10);
    idles = 0;
    ASSERT_TRUE(frame(USER(cmPrinterStatus)).ok()); // a few bytes, nothing printed
    EXPECT_LE(idles, 5);
}

TEST_F(Library, FixedBufferCallsAndHeadlessFirmwareUpdate) {
    openUser();
    // the parameter block is sent once with a 32-byte buffer, without sizing
    std::string params = "81" + std::string(32, '0');
    char buf[32] = {};
    int32_t n = 32;
    EXPECT_EQ(USER(cmSetParameter)(params.c_str(), buf, &n).Status, 0);
    EXPECT_EQ(n, 22);
    EXPECT_EQ(std::string(buf, 4), "O019");
    EXPECT_EQ(frame(USER(cmSetParameter), "80").r.SubCode, 3);
    EXPECT_EQ(field(frame(USER(cmSetPrinterSpeed), 5).answer, Ack::Value), "000000000005");
    EXPECT_EQ(frame(USER(cmSetPrinterSpeed), 10).r.SubCode, 3);
    USER(CloseTavo)();
    // no application object and no file given: nothing to ask, nothing changes
    EXPECT_NE(SRV(UpdateTavoProgram)(0, "COM1", 0), 0);
}

// ---- our own extensions: the print handler, live faults, the clock ----

namespace {
struct PaperProbe {
    std::vector<std::pair<std::string, int32_t>> lines;
    std::vector<std::string> events; // "line" and "idle" in the order they came
};
void TAVO_CALL paperLine(void* context, const char* line, int32_t document) {
    auto* p = static_cast<PaperProbe*>(context);
    p->lines.emplace_back(line, document);
    p->events.emplace_back("line");
}
void TAVO_CALL paperIdle(void* context) {
    static_cast<PaperProbe*>(context)->events.emplace_back("idle");
}
std::string lastLines(const std::string& text, size_t n) {
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        all.push_back(l);
    std::string out;
    for (size_t i = all.size() > n ? all.size() - n : 0; i < all.size(); ++i)
        out += all[i] + "\n";
    return out;
}
std::string getFault(const char* key) {
    int32_t length = 0;
    EXPECT_EQ(USER(TavoGetFault)(key, nullptr, &length), TAVO_EXT_OK) << key;
    std::string value(static_cast<size_t>(std::max(length, 1)), '\0');
    EXPECT_EQ(USER(TavoGetFault)(key, value.data(), &length), TAVO_EXT_OK) << key;
    return value.c_str();
}
} // namespace

TEST_F(Library, PrintHandlerSeesEachReceiptLineInOrderWithItsDocument) {
    fiscalise();
    PaperProbe probe;
    USER(TavoSetPrintHandler)(paperLine, &probe);
    ASSERT_TRUE(sale(2, 1.5, "01", "Mleko").ok());
    ASSERT_TRUE(sale(1, 10, "02", "Chleb").ok());
    ASSERT_TRUE(pay(0, 0, 0, 20, 0, 0).ok());
    USER(TavoSetPrintHandler)(nullptr, nullptr);
    ASSERT_TRUE(sale(1, 1, "01",
                     "Bez podgl\xB9"
                     "du")
                    .ok()); // no handler: nothing more arrives
    ASSERT_FALSE(probe.lines.empty());
    // exactly the receipt as the paper roll holds it, line for line, one document number
    std::string seen;
    for (const auto& [line, document] : probe.lines) {
        seen += line + "\n";
        EXPECT_EQ(document, probe.lines.front().second) << line;
    }
    const std::string roll = readFile(dir / "COM1-paper.txt");
    const size_t at = roll.find(seen);
    ASSERT_NE(at, std::string::npos) << seen;
    EXPECT_NE(seen.find("PARAGON FISKALNY"), std::string::npos);
    EXPECT_LT(seen.find("Mleko"), seen.find("Chleb"));
    EXPECT_NE(seen.find("RESZTA"), std::string::npos);
    EXPECT_NE(seen.find(std::to_string(probe.lines.front().second)), std::string::npos)
        << "the document number is the one printed (nr wydr.)";
}

TEST_F(Library, PrintHandlerLinesComeDuringTheWaitAndAnAbortIsMarked) {
    ini("[COM1]\ntiming=real\nline_ms=40\n");
    unsetenv("VPRINTER_TIMING");
    openUser();
    PaperProbe probe;
    USER(TavoSetPrintHandler)(paperLine, &probe);
    USER(TavoSetIdleHandler)(paperIdle, &probe);
    ASSERT_TRUE(frame(USER(cmReceiveCash), 5.0).ok());
    // the printer's pace: the idle handler runs between the lines, not only before them
    const auto first = std::find(probe.events.begin(), probe.events.end(), "line");
    const auto last = std::find(probe.events.rbegin(), probe.events.rend(), "line").base();
    ASSERT_NE(first, probe.events.end());
    EXPECT_GT(std::count(first, last, "idle"), 2) << "lines spread over the printing time";
    const std::string roll = readFile(dir / "COM1-paper.txt");

    // aborted once a few lines went out: the handler is told, the roll and the journal keep nothing
    probe = {};
    struct Abort {
        PaperProbe* probe;
    } stop{&probe};
    USER(TavoSetIdleHandler)
    (
        [](void* c) {
            auto* a = static_cast<Abort*>(c);
            if (a->probe->lines.size() >= 2)
                USER(AbortTavo)();
        },
        &stop);
    EXPECT_EQ(frame(USER(cmReceiveCash), 7.0).r.Status, -3);
    ASSERT_GE(probe.lines.size(), 3u);
    EXPECT_EQ(probe.lines.back().first, TAVO_PRINT_INTERRUPTED);
    EXPECT_EQ(probe.lines.back().second, probe.lines.front().second);
    EXPECT_EQ(readFile(dir / "COM1-paper.txt"), roll);
    USER(TavoSetIdleHandler)(nullptr, nullptr);
    USER(TavoSetPrintHandler)(nullptr, nullptr);
    setenv("VPRINTER_TIMING", "instant", 1);
}

TEST_F(Library, FaultsSwitchedDuringTheSessionShowInTheNextAnswer) {
    // no link, unknown keys and bad values change nothing
    EXPECT_EQ(USER(TavoSetFault)("paper", "out"), TAVO_EXT_NOT_OPEN);
    openUser();
    EXPECT_EQ(USER(TavoSetFault)("colour", "red"), TAVO_EXT_UNKNOWN_KEY);
    EXPECT_EQ(USER(TavoSetFault)(nullptr, "out"), TAVO_EXT_UNKNOWN_KEY);
    EXPECT_EQ(USER(TavoSetFault)("paper", "gone"), TAVO_EXT_BAD_VALUE);
    EXPECT_EQ(USER(TavoSetFault)("paper", nullptr), TAVO_EXT_BAD_VALUE);
    EXPECT_EQ(USER(TavoSetFault)("timeouts", "2x"), TAVO_EXT_BAD_VALUE);
    EXPECT_EQ(getFault("paper"), "ok");
    int32_t small = 2;
    char two[2] = {'\x55', '\x55'};
    EXPECT_EQ(USER(TavoGetFault)("fiscal_memory", two, &small), TAVO_EXT_SMALL_BUFFER);
    EXPECT_EQ(small, 3);
    EXPECT_EQ(two[0], '\x55') << "nothing written into a short buffer";
    EXPECT_EQ(USER(TavoGetFault)("paper", nullptr, nullptr), TAVO_EXT_BAD_VALUE);

    EXPECT_EQ(frame(USER(cmPrinterStatus)).answer, "P00");
    ASSERT_EQ(USER(TavoSetFault)("paper", "out"), TAVO_EXT_OK);
    EXPECT_EQ(frame(USER(cmPrinterStatus)).answer, "P02");
    EXPECT_EQ(frame(USER(cmReceiveCash), 5.0).r.SubCode, 8);
    ASSERT_EQ(USER(TavoSetFault)("paper", "ok"), TAVO_EXT_OK);
    ASSERT_EQ(USER(TavoSetFault)("offline", "true"), TAVO_EXT_OK);
    EXPECT_EQ(frame(USER(cmPrinterStatus)).answer, "P06");
    ASSERT_EQ(USER(TavoSetFault)("offline", "false"), TAVO_EXT_OK);
    ASSERT_EQ(USER(TavoSetFault)("battery", "low"), TAVO_EXT_OK);
    ASSERT_EQ(USER(TavoSetFault)("reset_pin", "shorted"), TAVO_EXT_OK);
    ASSERT_EQ(USER(TavoSetFault)("fiscal_memory", "full"), TAVO_EXT_OK);
    Reply hw = frame(USER(cmHardwareStatus));
    EXPECT_EQ(field(hw.answer, HW::FiscalMemFull), "1") << "fiscal memory full";
    EXPECT_EQ(field(hw.answer, HW::Battery), "0") << "battery low";
    EXPECT_EQ(field(hw.answer, HW::ResetPin), "1") << "reset jumper shorted";
    EXPECT_EQ(fields(hw.answer, HW::BatteryUnits, HW::BatteryTenths), "24");
    ASSERT_EQ(USER(TavoSetFault)("fiscal_memory", "nearly_full"), TAVO_EXT_OK);
    EXPECT_EQ(field(frame(USER(cmHardwareStatus)).answer, HW::FreeZ), "0010") << "ten free records";
    EXPECT_EQ(getFault("fiscal_memory"), "nearly_full");

    // time-outs on the next commands, counted down as they are used
    ASSERT_EQ(USER(TavoSetFault)("timeouts", "2"), TAVO_EXT_OK);
    EXPECT_EQ(frame(USER(cmPrinterStatus)).r.Status, -3);
    EXPECT_EQ(getFault("timeouts"), "1");
    EXPECT_EQ(frame(USER(cmPrinterStatus)).r.Status, -3);
    EXPECT_EQ(frame(USER(cmPrinterStatus)).r.Status, 0);

    // the switches outlive a reopen of the link (the console reopens it after service commands)
    openSrv();
    SRV(CloseTavo)();
    openUser();
    EXPECT_EQ(getFault("battery"), "low");
    EXPECT_EQ(field(frame(USER(cmHardwareStatus)).answer, HW::Battery), "0");
    EXPECT_EQ(getFault("timeouts"), "0");

    // refused while a command runs, from inside it
    struct Nested {
        int32_t set = -1, get = -1;
    } nested;
    USER(TavoSetIdleHandler)
    (
        [](void* c) {
            auto* n = static_cast<Nested*>(c);
            n->set = USER(TavoSetFault)("paper", "out");
            int32_t length = 0;
            n->get = USER(TavoGetFault)("paper", nullptr, &length);
        },
        &nested);
    ini("[COM1]\ntiming=real\n");
    unsetenv("VPRINTER_TIMING");
    openUser();
    ASSERT_TRUE(frame(USER(cmPrinterStatus)).ok());
    USER(TavoSetIdleHandler)(nullptr, nullptr);
    setenv("VPRINTER_TIMING", "instant", 1);
    EXPECT_EQ(nested.set, TAVO_EXT_BUSY);
    EXPECT_EQ(nested.get, TAVO_EXT_BUSY);
    EXPECT_EQ(getFault("paper"), "ok");
}

TEST_F(Library, ClockSetBeforeMidnightThenASaleAfterItIsRefused) {
    fiscalise();
    EXPECT_EQ(USER(TavoSetClock)("2026-02-30 10:00:00"), TAVO_EXT_BAD_VALUE);
    EXPECT_EQ(USER(TavoSetClock)(nullptr), TAVO_EXT_BAD_VALUE);
    ASSERT_EQ(USER(TavoSetClock)("2099-03-31 23:59:30"), TAVO_EXT_OK);
    int32_t length = 0;
    ASSERT_EQ(USER(TavoGetClock)(nullptr, &length), TAVO_EXT_OK);
    ASSERT_EQ(length, 20);
    std::string clock(20, '\0');
    ASSERT_EQ(USER(TavoGetClock)(clock.data(), &length), TAVO_EXT_OK);
    EXPECT_EQ(clock.substr(0, 16), "2099-03-31 23:59");
    const Reply sw = frame(USER(cmSoftwareStatus));
    EXPECT_EQ(field(sw.answer, SW::Year) + field(sw.answer, SW::Hours), "209923") << sw.answer;
    ASSERT_TRUE(sale(1, 2, "01", "Przed p\xF3\xB3noc\xB9").ok());
    ASSERT_TRUE(pay(0, 0, 0, 2, 0, 0).ok());
    ASSERT_EQ(USER(TavoSetClock)("2099-04-01 00:00:10"), TAVO_EXT_OK);
    const Reply after = sale(1, 2, "01", "Po p\xF3\xB3nocy");
    EXPECT_EQ(after.r.Status, -4);
    EXPECT_EQ(after.r.SubCode, 72);
    EXPECT_EQ(field(frame(USER(cmHardwareStatus)).answer, HW::ZReportBlocked), "1") << "Z report blocked";
    ASSERT_TRUE(frame(USER(cmZReport)).ok());
    EXPECT_TRUE(sale(1, 2, "01", "Po raporcie").ok());
    const std::string roll = lastLines(readFile(dir / "COM1-paper.txt"), 40);
    EXPECT_NE(roll.find("2099-04-01"), std::string::npos) << roll;
}

// ---- faults of the line: the ambiguous outcome ----

namespace {
struct LineProbe {
    bool abort = false; // abort on the third call
    int calls = 0;
    int32_t executing = -1;
    CommandResult nested{};
};
void TAVO_CALL lineIdle(void* ctx) {
    auto* p = static_cast<LineProbe*>(ctx);
    if (++p->calls == 3 && p->abort) {
        p->executing = USER(isCommandExecuting)();
        int32_t n = 0;
        p->nested = USER(cmPrinterStatus)(nullptr, &n);
        USER(AbortTavo)();
    }
}
int64_t number(const std::string& answer, const protocol::Field& f) {
    return std::stoll(field(answer, f));
}
} // namespace

// A receipt's payment under each fault, set in the settings file and live:
// what the caller sees, whether the receipt was closed and recorded, and the
// software status telling which afterwards.
TEST_F(Library, EachFaultOfTheLineAndWhatTheSoftwareStatusTellsAfterIt) {
    using Faults = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        const char* what;
        Faults faults;
        int32_t status; // what the payment returns
        bool done;      // the receipt closed, printed and in the journal
        bool waits;     // the idle handler runs (instant timing otherwise calls it never)
        bool abort = false;
    };
    const Case cases[] = {
        {"time-out", {{"timeouts", "1"}}, -3, false, false},
        {"answer lost", {{"lost_answers", "1"}}, -3, true, false},
        {"answer late", {{"late_answers", "1"}, {"late_ms", "40"}}, 0, true, true},
        {"answer late, aborted", {{"late_answers", "1"}, {"late_ms", "60000"}}, -3, true, true, true},
        {"link dropped before", {{"dropped_link", "1"}, {"drop_seed", "1"}}, -3, false, false},
        {"link dropped after", {{"dropped_link", "1"}, {"drop_seed", "30000"}}, -3, true, false},
    };
    int port = 0;
    for (const Case& c : cases)
        for (const bool live : {false, true}) {
            const std::string com = "COM" + std::to_string(++port);
            SCOPED_TRACE(std::string(c.what) + (live ? ", live" : ", settings file") + ", " + com);
            ini("");
            openUser(com.c_str());
            ASSERT_TRUE(frame(USER(cmSetVatRate), 2300, 800, 500, 0, 0, 9999, 9999, 9999, 9999, "E").ok());
            ASSERT_TRUE(sale(2, 6.25, "01", "Kawa").ok());
            const Reply before = frame(USER(cmSoftwareStatus));
            EXPECT_EQ(field(before.answer, SW::ReceiptNotClosed), "1");
            if (live) {
                for (const auto& [key, value] : c.faults)
                    ASSERT_EQ(USER(TavoSetFault)(key.c_str(), value.c_str()), TAVO_EXT_OK) << key;
            } else { // counted from the opening of the port
                std::string text = "[" + com + "]\n";
                for (const auto& [key, value] : c.faults)
                    text += key + "=" + value + "\n";
                ini(text);
                openUser(com.c_str());
            }
            const std::string counter = c.faults.front().first;
            EXPECT_EQ(getFault(counter.c_str()), "1");
            // sizing calls use up nothing
            int32_t sized = 0;
            USER(cmPayment)(0, 0, 0, 12.5, 0, 0, nullptr, &sized);
            USER(cmSoftwareStatus)(nullptr, &sized);
            EXPECT_EQ(getFault(counter.c_str()), "1");

            LineProbe probe;
            probe.abort = c.abort;
            USER(TavoSetIdleHandler)(lineIdle, &probe);
            const Reply paid = pay(0, 0, 0, 12.5, 0, 0);
            USER(TavoSetIdleHandler)(nullptr, nullptr);
            EXPECT_EQ(paid.r.Status, c.status);
            EXPECT_EQ(paid.answer.size(), c.status == 0 ? 22u : 0u) << "no answer bytes without an answer";
            EXPECT_EQ(probe.calls > 0, c.waits) << probe.calls;
            if (c.abort) {
                EXPECT_EQ(probe.executing, 0) << "busy while the answer is on its way";
                EXPECT_EQ(probe.nested.Status, -5);
            }
            EXPECT_EQ(getFault(counter.c_str()), "0");

            // afterwards: the receipt number and the open flag tell what happened
            const Reply after = frame(USER(cmSoftwareStatus));
            ASSERT_EQ(after.r.Status, 0) << "one fault, used up";
            EXPECT_EQ(number(after.answer, SW::ReceiptNo),
                      number(before.answer, SW::ReceiptNo) + (c.done ? 1 : 0));
            EXPECT_EQ(field(after.answer, SW::ReceiptNotClosed), c.done ? "0" : "1");
            EXPECT_EQ(number(after.answer, SW::Subtotal), c.done ? 0 : 1250);
            const std::string roll = readFile(dir / (com + "-paper.txt"));
            EXPECT_EQ(roll.find("SUMA PLN") != std::string::npos, c.done) << "on paper and in the journal";
            // what the caller does next: pays again only a receipt still open
            if (!c.done)
                EXPECT_TRUE(pay(0, 0, 0, 12.5, 0, 0).ok());
            else
                EXPECT_EQ(pay(0, 0, 0, 12.5, 0, 0).r.SubCode, 5) << "nothing to pay";
            EXPECT_EQ(number(frame(USER(cmHardwareStatus)).answer, HW::ReceiptNo), 1)
                << "one receipt, never two";
        }
}

// Four cash-ins of 1, 2, 4 and 8 zł on a dropped link: the drawer shows which
// the printer had, the print number how many it printed. The seed decides,
// the same way every time (std::minstd_rand, upper half: after).
TEST_F(Library, ADroppedLinkFallsBeforeOrAfterAsItsSeedSays) {
    struct Case {
        uint32_t seed;
        int64_t had;     // grosze of the cash-ins the printer had
        int64_t printed; // documents
    };
    auto drawer = [&] {
        const Reply r = frame(USER(cmCashInDrawer));
        EXPECT_TRUE(r.ok());
        return std::pair{number(r.answer, Ack::Value), number(r.answer, Ack::DocumentNo)};
    };
    // seed 1: before, before, after, after; seed 30000: after, after, after, before
    for (const Case& c : {Case{1, 400 + 800, 2}, Case{30000, 100 + 200 + 400, 3}})
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE("seed " + std::to_string(c.seed) + ", round " + std::to_string(round));
            ini("");
            openUser();
            const auto [cash, printNo] = drawer();
            ini("[COM1]\ndropped_link=4\ndrop_seed=" + std::to_string(c.seed) + "\n");
            openUser();
            for (double amount : {1.0, 2.0, 4.0, 8.0})
                EXPECT_EQ(frame(USER(cmReceiveCash), amount).r.Status, -3) << amount;
            const auto [cashAfter, printNoAfter] = drawer();
            EXPECT_EQ(cashAfter - cash, c.had);
            EXPECT_EQ(printNoAfter - printNo, c.printed);
        }

    // set live, the sequence goes on across a reopened link instead of starting again
    ini("");
    openUser();
    const int64_t cash = drawer().first;
    ASSERT_EQ(USER(TavoSetFault)("drop_seed", "1"), TAVO_EXT_OK);
    ASSERT_EQ(USER(TavoSetFault)("dropped_link", "4"), TAVO_EXT_OK);
    EXPECT_EQ(frame(USER(cmReceiveCash), 1.0).r.Status, -3);
    openUser();
    EXPECT_EQ(getFault("dropped_link"), "3");
    for (double amount : {2.0, 4.0, 8.0})
        EXPECT_EQ(frame(USER(cmReceiveCash), amount).r.Status, -3) << amount;
    EXPECT_EQ(drawer().first - cash, 400 + 800);
}
