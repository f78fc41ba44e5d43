// The exported C functions called in random order with random arguments on one
// virtual printer: numbers at their limits, NaN and infinities, texts with and
// without a nul within 4096 bytes, null pointers, sizing calls and return
// buffers of any length between guard bytes. Checked: nothing is written
// outside the given buffer or beyond the returned length, the returned length
// never exceeds the given one nor the code's answer size, and, for a sample of
// the calls, a refused or sizing call changes nothing (hardware and software
// status without the clock, journal entries).
//
// An input is a sequence of calls: a function byte, its arguments, a buffer
// byte. Integer: byte < 0xF0 is the value, 0xF0 + 4 bytes little-endian, 0xF1
// INT32_MIN, 0xF2 INT32_MAX, above: -1, -2, ... Double: 0..9 special values,
// else two (bit 7: three) bytes scaled by 10^-(b & 3), negative with bit 6.
// Text: 0 null, 1 no nul within 4096 bytes, 2 4096 characters, 3 length byte +
// raw bytes, else a word of kWords. Buffer: 0 sizing, 1 no length pointer,
// 2 neither, 3 length given by an integer, else length b - 4.
//
// The printer's state lives on from input to input (a fresh printer every
// kInputsPerPrinter inputs), so a finding may need the inputs before it.
#include "Commands.h"
#include "Printer.h"
#include "device/TavoApi.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

constexpr size_t kMaxText = 4096;
constexpr int kInputsPerPrinter = 2000;
constexpr int kMaxCalls = 8; // the printer lives on between inputs
constexpr size_t kCheckEvery = 8;
constexpr size_t kGuard = 32;
constexpr size_t kMaxRoom = 512; // beyond every answer
constexpr unsigned char kGuardByte = 0xA5, kFreshByte = 0x5A;

// clang-format off
const char* const kWords[] = {
    "", "0", "1", "2", "3", "0000", "000", "123", "ABC", "XYZ", "12345678", "5260250274", "1234567890",
    "13090", "szt", "kg", "01", "02", "03", "04", "09", "10", "A", "B", "D", "I", "Z", "M", "PLN", "EUR",
    "USD", "EURUSD", "4.2", "0,25", "1.50", "10.00", "0.001", "Mleko", "Chleb", "\xa3\xf3" "d\x9f",
    "05260250274       ", "144051401359      ", "2ABC123", "8101010101010101010101010101010101", "123-456-78 90",
    "7FF80", "1FF80", "3FF80", "Sklep nr 1", "Dzi\xea" "kujemy",
    "Bardzo d\xb3uga nazwa towaru na paragonie 1234", "          Sklep nr 1            "};
// clang-format on
constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];

// Reads the input front to back; past its end every byte reads as zero.
class Input {
  public:
    Input(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    bool empty() const { return n_ == 0; }
    uint8_t byte() {
        if (n_ == 0)
            return 0;
        --n_;
        return *p_++;
    }
    uint32_t word() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t{byte()} << (8 * i);
        return v;
    }
    std::string bytes(size_t k) {
        k = std::min(k, n_);
        std::string s(reinterpret_cast<const char*>(p_), k);
        p_ += k;
        n_ -= k;
        return s;
    }

  private:
    const uint8_t* p_;
    size_t n_;
};

// The arguments of one call; texts live in allocations of their exact size.
class Args {
  public:
    explicit Args(Input& in) : in_(in) {}

    int32_t integer() {
        const uint8_t b = in_.byte();
        if (b < 0xF0)
            return b;
        if (b == 0xF0)
            return static_cast<int32_t>(in_.word());
        if (b == 0xF1)
            return std::numeric_limits<int32_t>::min();
        if (b == 0xF2)
            return std::numeric_limits<int32_t>::max();
        return 0xF2 - b;
    }
    double number() {
        const uint8_t d = in_.byte();
        switch (d) {
        case 0:
            return std::numeric_limits<double>::quiet_NaN();
        case 1:
            return std::numeric_limits<double>::infinity();
        case 2:
            return -std::numeric_limits<double>::infinity();
        case 3:
            return -0.0;
        case 4:
            return 1e300;
        case 5:
            return -1e300;
        case 6:
            return std::numeric_limits<double>::denorm_min();
        case 7: {
            const uint64_t bits = in_.word() | uint64_t{in_.word()} << 32;
            double v;
            std::memcpy(&v, &bits, sizeof v);
            return v;
        }
        case 8:
            return 999999999999.995;
        case 9:
            return 0.005;
        default: {
            uint32_t v = in_.byte() | uint32_t{in_.byte()} << 8;
            if (d & 0x80)
                v |= uint32_t{in_.byte()} << 16;
            static constexpr double kScale[] = {1, 10, 100, 1000};
            const double x = v / kScale[d & 3];
            return d & 0x40 ? -x : x;
        }
        }
    }
    const char* text() {
        const uint8_t t = in_.byte();
        if (t == 0)
            return nullptr;
        if (t == 1 || t == 2) {
            // no nul among the bytes the library may read, or the longest text it takes
            std::string s(kMaxText + (t == 1), static_cast<char>('A' + in_.byte() % 26));
            return keep(s, t == 2);
        }
        if (t == 3)
            return keep(in_.bytes(in_.byte()), true);
        return keep(kWords[(t - 4) % kWordCount], true);
    }
    // A raw command line: random text, or a known code with fields.
    const char* line() {
        const uint8_t e = in_.byte();
        if (e < 0x10)
            return text();
        const auto table = vp::commandTable();
        std::string l = table[e % table.size()].code;
        for (int i = 0, n = in_.byte() % 13; i < n; ++i) {
            const uint8_t f = in_.byte();
            l += '|';
            l += f & 0x80    ? std::to_string(integer())
                 : f == 0x7F ? in_.bytes(in_.byte())
                             : kWords[f % kWordCount];
        }
        return keep(l, true);
    }

  private:
    const char* keep(const std::string& s, bool terminated) {
        auto p = std::make_unique<char[]>(s.size() + terminated);
        std::memcpy(p.get(), s.data(), s.size());
        if (terminated)
            p[s.size()] = '\0';
        texts_.push_back(std::move(p));
        return texts_.back().get();
    }
    Input& in_;
    std::vector<std::unique_ptr<char[]>> texts_;
};

// A return buffer between guard bytes, and the length pointer in its own allocation.
class Out {
  public:
    explicit Out(Input& in) {
        const uint8_t m = in.byte();
        const bool withBuffer = m != 0 && m != 2;
        if (m != 1 && m != 2)
            length_ = std::make_unique<int32_t>();
        if (m == 0)
            *length_ = Args(in).integer();
        given_ = m == 1 ? 64 : m == 3 ? Args(in).integer() : m - 4;
        if (withBuffer) {
            room_ = std::min<size_t>(static_cast<size_t>(std::max(given_, 0)), kMaxRoom);
            block_.assign(kGuard + room_ + kGuard, kGuardByte);
            std::fill_n(block_.begin() + kGuard, room_, kFreshByte);
            if (length_)
                *length_ = given_;
        }
    }
    char* buffer() { return block_.empty() ? nullptr : reinterpret_cast<char*>(block_.data() + kGuard); }
    int32_t* length() { return length_.get(); }
    bool sizing() const { return block_.empty(); }

    void verify(const CommandResult& r, const std::string& code) const {
        const auto untouched = [&](size_t from, size_t to, unsigned char b) {
            return std::all_of(block_.begin() + static_cast<long>(from),
                               block_.begin() + static_cast<long>(to),
                               [b](unsigned char c) { return c == b; });
        };
        if (!block_.empty()) {
            check(untouched(0, kGuard, kGuardByte) && untouched(kGuard + room_, block_.size(), kGuardByte));
            if (!length_) {
                check(untouched(kGuard, kGuard + room_, kFreshByte));
                return;
            }
            const int32_t written = *length_;
            check(written >= 0 && written <= std::max(given_, 0));
            check(untouched(kGuard + std::min<size_t>(static_cast<size_t>(written), room_), kGuard + room_,
                            kFreshByte));
            if (r.Status < 0)
                check(written == 0);
        }
        if (length_)
            check(*length_ >= 0 && *length_ <= vp::answerSize(code));
    }

  private:
    std::vector<unsigned char> block_;
    size_t room_ = 0;
    int32_t given_ = 0;
    std::unique_ptr<int32_t> length_;
};

// What a refused command must leave as it was.
struct Snapshot {
    std::string hardware, software;
    int64_t journal = 0;
    bool operator==(const Snapshot&) const = default;
};

class Printer {
  public:
    fs::path dir;
    void fresh() {
        if (count_) {
            sqlite3_finalize(count_);
            sqlite3_close(db_);
        }
        CloseTavo();
        if (!dir.empty())
            fs::remove_all(dir);
        dir = base() / std::to_string(++generation_);
        fs::create_directory(dir);
        setenv("VPRINTER_HOME", dir.c_str(), 1);
        check(OpenTavo("COM1", 9600) == 0);
        check(sqlite3_open_v2((dir / "COM1.sqlite").c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) ==
              SQLITE_OK);
        check(sqlite3_prepare_v2(db_, "SELECT COUNT(*) FROM journal", -1, &count_, nullptr) == SQLITE_OK);
        inputs_ = 0;
    }
    void nextInput() {
        if (++inputs_ > kInputsPerPrinter)
            fresh();
    }
    static const fs::path& base() {
        static const fs::path b = [] {
            // in memory when possible: every command commits with a sync
            const char* tmp = std::getenv("TMPDIR");
            std::string t = tmp && *tmp ? tmp : access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
            t += "/fuzz_exports.XXXXXX";
            check(mkdtemp(t.data()) != nullptr);
            return fs::path(t);
        }();
        return b;
    }
    Snapshot snapshot() {
        Snapshot s;
        char buf[256];
        int32_t n = sizeof buf;
        cmHardwareStatus(buf, &n);
        s.hardware.assign(buf, static_cast<size_t>(n));
        n = sizeof buf;
        cmSoftwareStatus(buf, &n);
        s.software.assign(buf, static_cast<size_t>(n));
        // the clock: software status date and time, hardware status "Z report blocked"
        if (s.software.size() >= 16)
            s.software.replace(2, 14, 14, '.');
        if (s.hardware.size() > 31)
            s.hardware[31] = '.';
        sqlite3_reset(count_);
        check(sqlite3_step(count_) == SQLITE_ROW);
        s.journal = sqlite3_column_int64(count_, 0);
        sqlite3_reset(count_);
        return s;
    }
    static std::string currencyChanges(const Snapshot& s) {
        return s.hardware.size() >= 56 ? s.hardware.substr(53, 3) : std::string();
    }

  private:
    int generation_ = 0, inputs_ = 0;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* count_ = nullptr;
};

Printer* gPrinter = nullptr;

// SQLite's heap: blocks of 16 << k bytes kept for reuse. The store prepares its
// statements afresh for every command, and through the sanitiser's allocator
// that would be most of a call's time.
namespace heap {
constexpr int kClasses = 27;
constexpr int kHead = 16;
void* gFree[kClasses];
int classOf(int n) {
    int c = 0;
    while (c < kClasses && (int64_t{16} << c) < int64_t{n} + kHead)
        ++c;
    return c;
}
int size(void* q) {
    return q ? (16 << *reinterpret_cast<int*>(static_cast<char*>(q) - kHead)) - kHead : 0;
}
void* allocate(int n) {
    const int c = classOf(n);
    if (c == kClasses)
        return nullptr;
    void* p = gFree[c];
    if (p)
        gFree[c] = *static_cast<void**>(p);
    else if ((p = std::malloc(size_t{16} << c)) == nullptr)
        return nullptr;
    *static_cast<int*>(p) = c;
    return static_cast<char*>(p) + kHead;
}
void release(void* q) {
    if (!q)
        return;
    char* p = static_cast<char*>(q) - kHead;
    const int c = *reinterpret_cast<int*>(p);
    *reinterpret_cast<void**>(p) = gFree[c];
    gFree[c] = p;
}
void* resize(void* q, int n) {
    if (n <= size(q))
        return q;
    void* r = allocate(n);
    if (r && q) {
        std::memcpy(r, q, static_cast<size_t>(size(q)));
        release(q);
    }
    return r;
}
int roundUp(int n) {
    const int c = classOf(n);
    return c == kClasses ? n : (16 << c) - kHead;
}
int init(void*) {
    return SQLITE_OK;
}
void shutdown(void*) {}
} // namespace heap

class Session {
  public:
    Session(Input& in, size_t salt) : in_(in), salt_(salt) {}

    template <class F, class... A> void run(const std::string& code, F f, std::tuple<A...> args) {
        Out out(in_);
        // decided by the input, so that a finding repeats
        const bool sampled = (calls_++ + salt_) % kCheckEvery == 0;
        Snapshot before;
        if (sampled)
            before = gPrinter->snapshot();
        const CommandResult r =
            std::apply([&](A... a) { return f(a..., out.buffer(), out.length()); }, std::move(args));
        out.verify(r, code);
        if (sampled && (r.Status < 0 || out.sizing())) {
            const Snapshot after = gPrinter->snapshot();
            // a programmed currency change takes effect by itself at its moment
            if (Printer::currencyChanges(before) == Printer::currencyChanges(after))
                check(before == after);
        }
    }
    void step() {
        Args a(in_);
        using std::tuple;
        switch (in_.byte() & 63) {
        case 0: {
            const char* l = a.line();
            return run(l ? std::string(l, strnlen(l, 2)) : std::string(), ExecCommand, tuple{l});
        }
        case 1:
            return run("70", cmSetID, tuple{a.text(), a.text()});
        case 2:
            return run("71", cmSetTaxID, tuple{a.text(), a.integer()});
        case 3:
            return run("72", cmEnterFiscalMode, tuple{a.text(), a.text()});
        case 4:
            return run("43", cmSRAMErase,
                       tuple{a.integer(), a.integer(), a.integer(), a.integer(), a.integer(), a.integer()});
        case 5:
            return run("60", cmXReport, tuple{a.integer()});
        case 6:
            return run("61", cmZReport, tuple{});
        case 7:
            return run("62", cmPrnProgramReport, tuple{});
        case 8:
            return run("21", cmMemReportByZNo, tuple{a.integer(), a.integer(), a.integer()});
        case 9:
            return run("22", cmMemReportByDate,
                       tuple{a.integer(), a.integer(), a.integer(), a.integer(), a.integer(), a.integer(),
                             a.integer()});
        case 10:
            return run("23", cmMemReportMonthly, tuple{a.integer(), a.integer(), a.integer()});
        case 11:
            return run("15", cmUploadFisRptByZNo, tuple{a.integer(), a.integer(), a.integer()});
        case 12:
            return run("15", cmUploadFisRptByDate,
                       tuple{a.integer(), a.integer(), a.integer(), a.integer(), a.integer(), a.integer(),
                             a.integer()});
        case 13:
            return run("15", cmUploadFisRptMonthly, tuple{a.integer(), a.integer(), a.integer()});
        case 14:
            return run("40", cmHardwareStatus, tuple{});
        case 15:
            return run("41", cmSoftwareStatus, tuple{});
        case 16:
            return run("47", cmPrinterStatus, tuple{});
        case 17:
            return run("91", cmUploadTaxRate, tuple{});
        case 18:
            return run("92", cmUploadDepartment, tuple{});
        case 19:
            return run("93", cmUploadHeadMessage, tuple{});
        case 20:
            return run("90", cmUploadPlu, tuple{});
        case 21:
            return run("89", cmUploadPkg, tuple{a.integer()});
        case 22:
            return run("14", cmUploadFisStatus, tuple{});
        case 23:
            return run("13", cmUploadExchangeRate, tuple{});
        case 24:
            return run("17", cmUploadCurrencyChange, tuple{});
        case 25:
            return run("44", cmSRAMDump, tuple{a.integer()});
        case 26:
            return run("45", cmEPROMDump, tuple{a.integer()});
        case 27:
            return run("48", cmROMDump, tuple{a.integer()});
        case 28:
            return run("30", cmSaleItem,
                       tuple{a.number(), a.text(), a.number(), a.text(), a.text(), a.integer(), a.number()});
        case 29:
            return run("31", cmCancelItem,
                       tuple{a.number(), a.text(), a.number(), a.text(), a.text(), a.integer(), a.number()});
        case 30:
            return run("32", cmDiscount, tuple{a.integer(), a.integer(), a.integer(), a.integer()});
        case 31:
            return run("33", cmPrintSubTotal, tuple{});
        case 32:
            return run("34", cmPayment,
                       tuple{a.integer(), a.integer(), a.integer(), a.number(), a.number(), a.number()});
        case 33:
            return run("35", cmSetClientId, tuple{a.text()});
        case 34:
            return run("36", cmReceiptCancel, tuple{a.text()});
        case 35:
            return run("37", cmReceiptClose, tuple{a.text()});
        case 36:
            return run("63", cmInvoiceInfo, tuple{a.integer(), a.integer(), a.number(), a.number()});
        case 37:
            return run("38", cmReturnPackage, tuple{a.number(), a.text(), a.number(), a.text()});
        case 38:
            return run("39", cmSalePackage, tuple{a.number(), a.text(), a.number(), a.text()});
        case 39:
            return run("42", cmPackagePayment, tuple{a.integer()});
        case 40:
            return run("46", cmSalePackagePayment, tuple{a.integer()});
        case 41:
            return run("49", cmReceiveCash, tuple{a.number()});
        case 42:
            return run("50", cmPaidOut, tuple{a.number()});
        case 43:
            return run("51", cmCashInDrawer, tuple{});
        case 44:
            return run("52", cmOpenDrawer, tuple{});
        case 45:
            return run("04", cmSetDate, tuple{a.integer(), a.integer(), a.integer()});
        case 46:
            return run("05", cmSetTime, tuple{a.integer(), a.integer(), a.integer()});
        case 47:
            return run("03", cmSetVatRate,
                       tuple{a.integer(), a.integer(), a.integer(), a.integer(), a.integer(), a.integer(),
                             a.integer(), a.integer(), a.integer(), a.text()});
        case 48:
            return run("01", cmSetHeadMessage, tuple{a.integer(), a.integer(), a.text()});
        case 49:
            return run("02", cmSetDepartName, tuple{a.text(), a.text(), a.text()});
        case 50:
            return run("06", cmSetClerkPwd, tuple{a.integer(), a.text(), a.text()});
        case 51:
            return run("07", cmClerkLogon, tuple{a.integer(), a.text()});
        case 52:
            return run("08", cmClerkLogout, tuple{});
        case 53:
            return run("09", cmServiceLogon, tuple{a.text()});
        case 54:
            return run("10", cmSkipPswdLogon, tuple{a.text()});
        case 55:
            return run("20", cmSetEcrNumber, tuple{a.integer()});
        case 56:
            return run("24", cmSetSysNum, tuple{a.text()});
        case 57:
            return run("11", cmSetMoney,
                       tuple{a.integer(), a.integer(), a.integer(), a.integer(), a.integer(), a.text(),
                             a.text(), a.text(), a.text(), a.text(), a.text()});
        case 58:
            return run("13", cmSetExChangeRate, tuple{a.text(), a.text(), a.text(), a.text()});
        case 59:
            return run("16", cmSetCurrencyName, tuple{a.text()});
        case 60:
            return run("18", cmSetPrinterSpeed, tuple{a.integer()});
        case 61:
            return run("19", cmSetParameter, tuple{a.text()});
        case 62:
            return run("12", cmEcrSleepMode, tuple{});
        default:
            check(GetReturnBufLength(a.text()) > 0);
        }
    }

  private:
    Input& in_;
    size_t calls_ = 0, salt_;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Uploads write their files into the working directory, which is the
    // printer's directory while an input runs: keep crash files where the
    // fuzzer was started.
    bool prefixed = false;
    for (int i = 1; i < *argc; ++i)
        prefixed = prefixed || std::strncmp((*argv)[i], "-artifact_prefix=", 17) == 0;
    if (!prefixed) {
        static std::string flag = "-artifact_prefix=" + fs::current_path().string() + "/";
        static std::vector<char*> args(*argv, *argv + *argc);
        args.insert(args.begin() + 1, flag.data());
        args.push_back(nullptr);
        *argv = args.data();
        ++*argc;
    }
    static const sqlite3_mem_methods methods{heap::allocate, heap::release, heap::resize,   heap::size,
                                             heap::roundUp,  heap::init,    heap::shutdown, nullptr};
    check(sqlite3_config(SQLITE_CONFIG_MALLOC, &methods) == SQLITE_OK);
    setenv("VPRINTER_TIMING", "instant", 1);
    gPrinter = new Printer;
    gPrinter->fresh();
    std::atexit([] {
        CloseTavo();
        std::error_code ignored;
        fs::remove_all(Printer::base(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gPrinter->nextInput();
    const fs::path home = fs::current_path();
    check(chdir(gPrinter->dir.c_str()) == 0);
    Input in(data, size);
    Session session(in, size);
    for (int i = 0; i < kMaxCalls && !in.empty(); ++i)
        session.step();
    check(chdir(home.c_str()) == 0);
    return 0;
}
