// The bridge to the maker's Windows libraries, end to end under Wine: the
// console's device layer loads the bridge client (bin/bridge), which starts the
// Windows host under Wine on the stand-in libraries (bridge/standin/StandIn.c).
// The stand-in logs every call as it arrives and answers from its arguments
// alone, so each call's arguments and answer are known here to the byte.
//
// Run by scripts/test-bridge-windows.sh (not by ctest), which builds the
// stand-ins, prepares a Wine prefix with a printer on a pseudo-terminal as COM5
// and a mute one as COM6, and sets:
//   BRIDGE_WINE            the Wine loader (wine64, or wine for 32-bit hosts)
//   BRIDGE_HOST            the host, tavo-bridge-x64.exe or tavo-bridge-x86.exe
//   BRIDGE_STANDIN_DIR     the folder of the stand-in TavoUser.dll and TavoSrv.dll
//   BRIDGE_PRINTER_ANSWER  what the printer on COM5 answers, in hexadecimal
//   BRIDGE_PRINTER_LOG     the frames it received, one a line in hexadecimal
//   BRIDGE_MUTE_LOG        the same for the printer on COM6
#include "device/QLibraryDevice.h"
#include "protocol/Commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace {

using dev::Arg;
using dev::Args;

std::string need(const char* name) {
    const char* v = std::getenv(name);
    if (v == nullptr || *v == '\0') {
        std::fprintf(stderr, "%s is not set: run scripts/test-bridge-windows.sh\n", name);
        std::exit(2);
    }
    return v;
}

// Wine's drive Z: is the Unix root.
std::string windowsPath(std::string unix) {
    for (char& c : unix)
        if (c == '/')
            c = '\\';
    return "Z:" + unix;
}

std::string hex(const QByteArray& bytes) {
    return bytes.toHex().toStdString();
}

// ---- what the stand-in logs and answers (bridge/standin/StandIn.c) ----

std::string argText(const Arg& a) {
    char text[64];
    switch (a.kind) {
    case Arg::Kind::Int:
        std::snprintf(text, sizeof text, " i:%d", a.i);
        return text;
    case Arg::Kind::Double:
        std::snprintf(text, sizeof text, " d:%.17g", a.d);
        return text;
    case Arg::Kind::Text:
        return a.text ? " t:" + hex(*a.text) : std::string(" t:null");
    }
    return {};
}

// The line's part the answer is computed from: the function and its arguments.
std::string callText(const std::string& function, const Args& args) {
    std::string s = function;
    for (const Arg& a : args)
        s += argText(a);
    return s;
}

std::string logLine(const std::string& call, bool sizing, int32_t length) {
    return call + (sizing ? " buffer=null" : " buffer=offered") + " length=" + std::to_string(length);
}

uint32_t fnv1a(const std::string& s) {
    uint32_t h = 2166136261u;
    for (const char c : s) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

// The answer to a call of `command` whose line starts with `call`.
QByteArray standInAnswer(const protocol::Command& command, const std::string& call) {
    const uint32_t h = fnv1a(call);
    const protocol::Layout* layout = command.answer.layout;
    if (layout == &protocol::Acknowledgement::layout) {
        char text[32];
        std::snprintf(text, sizeof text, "O0%s%06u%012u", command.code, h % 1000000u, h);
        return QByteArray(text);
    }
    QByteArray out;
    if (layout != nullptr)
        out = layout->prefix;
    uint32_t x = h ? h : 1u;
    while (out.size() < command.answer.size) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out.append(static_cast<char>(x & 0xFFu));
    }
    return out;
}

// The stand-in's log, read line by line as it grows.
class LineFile {
  public:
    explicit LineFile(std::string path) : path_(std::move(path)) {}
    // The complete lines written since the last call.
    std::vector<std::string> take() {
        std::ifstream in(path_, std::ios::binary);
        std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::string> lines;
        std::size_t at = std::min(offset_, all.size());
        for (std::size_t end; (end = all.find('\n', at)) != std::string::npos; at = end + 1)
            lines.push_back(all.substr(at, end - at));
        offset_ = at;
        return lines;
    }

  private:
    std::string path_;
    std::size_t offset_ = 0;
};

// ---- the arguments: distinctive, and different from one parameter to the next ----

const std::vector<int32_t> kInts = {1, 0, 2147483647, 19, 2024, 123456789, 7, 31, 12, 1000000, 59, 3};
const std::vector<double> kDoubles = {
    12.345, 0.1, 1234567.89, 1.0 / 3.0, 0.0, 5e-324, 1.7976931348623157e308, -12.5, 2.5e-7};
QByteArray allBytes() {
    QByteArray b;
    for (int c = 1; c < 256; ++c)
        b.append(static_cast<char>(c));
    return b;
}
const std::vector<Arg> kTexts = {
    Arg::bytes("\xAF\xF3\xB3\xE6 \xB9\xEA"), // "Żółć ąę" in code page 1250
    Arg::null(),
    Arg::bytes(""),
    Arg::bytes(allBytes()),
    Arg::bytes("\"quoted\" back\\slash\ttab {\"json\":1}\r"),
    Arg::bytes("A"),
};

Args argumentsFor(const protocol::Command& command, std::size_t index) {
    const auto kinds = dev::QLibraryDevice::argumentKinds(command.function);
    Args args;
    if (!kinds)
        return args;
    for (std::size_t p = 0; p < kinds->size(); ++p) {
        const std::size_t at = index + p;
        switch ((*kinds)[p]) {
        case Arg::Kind::Int:
            args.push_back(Arg::integer(kInts[at % kInts.size()]));
            break;
        case Arg::Kind::Double:
            args.push_back(Arg::real(kDoubles[at % kDoubles.size()]));
            break;
        case Arg::Kind::Text:
            args.push_back(kTexts[at % kTexts.size()]);
            break;
        }
    }
    return args;
}

// ---- the host's process ----

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The host of `library` the client started: a child of this process.
pid_t hostOf(const std::string& library) {
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const pid_t pid = entry.toInt(&number);
        if (!number)
            continue;
        const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(close + 2));
        char state = 0;
        long parent = 0;
        fields >> state >> parent;
        if (parent != getpid())
            continue;
        const std::string cmdline = readFile("/proc/" + std::to_string(pid) + "/cmdline");
        if (cmdline.find("tavo-bridge") != std::string::npos && cmdline.find(library) != std::string::npos)
            return pid;
    }
    return -1;
}

// Kills the host and everything it started (it leads a process group of its own).
bool killHost(pid_t pid) {
    if (pid <= 0)
        return false;
    const pid_t group = getpgid(pid);
    return group == pid ? ::kill(-group, SIGKILL) == 0 : ::kill(pid, SIGKILL) == 0;
}

// ---- the fixture: both libraries of the bridge client, on one stand-in ----

class BridgeWindows : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(dir_->isValid());
        const std::string log = dir_->filePath(QStringLiteral("standin.log")).toStdString();
        const std::string config = dir_->filePath(QStringLiteral("bridge.ini")).toStdString();
        // A settings file of our own, so that no user's bridge.ini takes part;
        // Wine's first start in a new prefix may be slow.
        std::ofstream(config) << "start_ms=120000\n";
        const std::string command = need("BRIDGE_WINE") + " " + need("BRIDGE_HOST") + " --dir " +
                                    windowsPath(need("BRIDGE_STANDIN_DIR"));
        setenv("TAVO_BRIDGE_CONFIG", config.c_str(), 1);
        setenv("TAVO_BRIDGE_COMMAND", command.c_str(), 1);
        setenv("TAVO_STANDIN_LOG", log.c_str(), 1);
        setenv("TAVO_STANDIN_SERIAL", "1", 1);
        // The slow report takes 5 s, unless aborted (here about 200 ms in).
        setenv("TAVO_STANDIN_SLOW_MS", "5000", 1);
        log_ = std::make_unique<LineFile>(log);
        const QString client = QStringLiteral(BRIDGE_CLIENT_DIR);
        try {
            user_ = std::make_unique<dev::QLibraryDevice>(dev::Library::User, client);
            service_ = std::make_unique<dev::QLibraryDevice>(dev::Library::Service, client);
        } catch (const dev::BindError& e) {
            FAIL() << e.message().toStdString();
        }
    }
    void SetUp() override {
        ASSERT_TRUE(user_ && service_);
        log_->take();
        ASSERT_EQ(user().open("COM5", 19200), 0);
        ASSERT_EQ(service().open("COM5", 19200), 0);
        EXPECT_EQ(log_->take(),
                  (std::vector<std::string>{"OpenTavo t:434f4d35 i:19200", "OpenTavo t:434f4d35 i:19200"}));
    }
    void TearDown() override {
        user().setIdleHandler(nullptr, nullptr);
        user().close();
        service().close();
    }

    static dev::QLibraryDevice& user() { return *user_; }
    static dev::QLibraryDevice& service() { return *service_; }
    static dev::QLibraryDevice& deviceOf(const protocol::Command& c) {
        return dev::libraryOf(c) == dev::Library::User ? user() : service();
    }

    static inline std::unique_ptr<QTemporaryDir> dir_;
    static inline std::unique_ptr<LineFile> log_;
    static inline std::unique_ptr<dev::QLibraryDevice> user_, service_;
};

// Every command of the catalogue, each with its two-call read: the arguments
// reach the maker's library exactly (integers, doubles to the last bit, texts
// byte for byte in code page 1250, a null text as null) and the caller gets
// exactly the library's Status, SubCode, length and bytes, none past them.
TEST_F(BridgeWindows, EveryCommandCrossesExactlyBothWays) {
    const QByteArray printer = QByteArray::fromHex(QByteArray::fromStdString(need("BRIDGE_PRINTER_ANSWER")));
    std::vector<std::string> expected;
    std::size_t index = 0;
    for (const protocol::Command* c : protocol::kCommands) {
        SCOPED_TRACE(c->function);
        const Args args = argumentsFor(*c, index++);
        const std::string call = callText(c->function, args);
        dev::IDeviceLibrary& device = deviceOf(*c);

        int32_t length = 0;
        CommandResult r = device.command(c->function, args, nullptr, &length);
        EXPECT_EQ(r.Status, 0);
        EXPECT_EQ(r.SubCode, 0);
        EXPECT_EQ(length, c->answer.size);
        expected.push_back(logLine(call, true, 0));

        const int size = c->answer.size;
        QByteArray buffer(size + 8, '\0');
        buffer.replace(size, 8, QByteArray(8, '\xEE'));
        length = size;
        r = device.command(c->function, args, buffer.data(), &length);
        EXPECT_EQ(r.Status, 0);
        EXPECT_EQ(r.SubCode, 0);
        EXPECT_EQ(length, size);
        // The printer status comes from the printer on COM5.
        const QByteArray answer = c == &protocol::cmd::cmPrinterStatus ? printer : standInAnswer(*c, call);
        EXPECT_EQ(hex(buffer.left(size)), hex(answer));
        EXPECT_EQ(hex(buffer.mid(size)), "eeeeeeeeeeeeeeee") << "written past the buffer offered";
        expected.push_back(logLine(call, false, size));
    }
    EXPECT_EQ(log_->take(), expected);
}

// A short buffer gets the answer's first bytes, a long one the answer only; a
// refusal crosses with its Status and SubCode, the sizing call still sizing.
TEST_F(BridgeWindows, SizingShortBuffersAndRefusals) {
    const protocol::Command& hw = protocol::cmd::cmHardwareStatus;
    const QByteArray answer = standInAnswer(hw, "cmHardwareStatus");
    QByteArray buffer(300, '\xEE');
    int32_t length = 10;
    CommandResult r = user().command(hw.function, {}, buffer.data(), &length);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(length, 10);
    EXPECT_EQ(hex(buffer.left(11)), hex(answer.left(10) + '\xEE'));

    buffer.fill('\xEE');
    length = 300;
    r = user().command(hw.function, {}, buffer.data(), &length);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(length, 62);
    EXPECT_EQ(hex(buffer.left(63)), hex(answer + '\xEE'));

    // A negative integer is refused: Status -4, SubCode 5.
    const Args refused = {Arg::integer(-1)};
    length = 0;
    r = user().command("cmXReport", refused, nullptr, &length);
    EXPECT_EQ(r.Status, -4);
    EXPECT_EQ(r.SubCode, 5);
    EXPECT_EQ(length, 22);
    buffer.fill('\0');
    length = 22;
    r = user().command("cmXReport", refused, buffer.data(), &length);
    EXPECT_EQ(r.Status, -4);
    EXPECT_EQ(r.SubCode, 5);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(buffer.count('\0'), buffer.size()) << "a refusal wrote into the buffer";
    const Args refusedTax = {Arg::bytes("1234567890"), Arg::integer(-2147483647 - 1)};
    length = 22;
    r = service().command("cmSetTaxID", refusedTax, buffer.data(), &length);
    EXPECT_EQ(r.Status, -4);
    EXPECT_EQ(r.SubCode, 5);

    EXPECT_EQ(log_->take(),
              (std::vector<std::string>{
                  "cmHardwareStatus buffer=offered length=10", "cmHardwareStatus buffer=offered length=300",
                  "cmXReport i:-1 buffer=null length=0", "cmXReport i:-1 buffer=offered length=22",
                  "cmSetTaxID t:31323334353637383930 i:-2147483648 buffer=offered length=22"}));
}

// The link functions that are no command: the raw command line, the answer
// size of a code, the firmware update of the service library.
TEST_F(BridgeWindows, LinkFunctionsCross) {
    EXPECT_EQ(user().getReturnBufLength("47"), 3);
    EXPECT_EQ(user().getReturnBufLength("13"), 51);
    EXPECT_EQ(user().getReturnBufLength("92"), 209);

    const QByteArray line = "60\t1 \xAF\xF3\xB3\xE6";
    const std::string call = "ExecCommand t:" + hex(line);
    int32_t length = 0;
    CommandResult r = user().execCommand(line, nullptr, &length);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(length, 22);
    QByteArray buffer(22, '\0');
    r = user().execCommand(line, buffer.data(), &length);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(length, 22);
    EXPECT_EQ(hex(buffer), hex(standInAnswer(protocol::cmd::cmXReport, call)));

    // The owner window is one of this computer's windows, nothing on the
    // other side: the library gets none.
    EXPECT_EQ(service().updateProgram(0x12345678u, "COM5", 1), 0);
    EXPECT_EQ(service().updateProgram(0, "COM5", -1), 1);

    EXPECT_EQ(log_->take(), (std::vector<std::string>{
                                "GetReturnBufLength t:3437",
                                "GetReturnBufLength t:3133",
                                "GetReturnBufLength t:3932",
                                logLine(call, true, 0),
                                logLine(call, false, 22),
                                "UpdateTavoProgram u:0 t:434f4d35 i:1",
                                "UpdateTavoProgram u:0 t:434f4d35 i:-1",
                            }));
}

// Calls the idle handler's action once, about 200 ms into the call.
struct Interruption {
    dev::QLibraryDevice* device = nullptr;
    bool kill = false; // else abort
    QElapsedTimer clock;
    bool done = false;
    int32_t executing = -1; // isCommandExecuting as seen during the call
    bool killed = false;
};

void TAVO_CALL interrupt(void* context) {
    auto* i = static_cast<Interruption*>(context);
    if (i->done || i->clock.elapsed() < 200)
        return;
    i->done = true;
    i->executing = i->device->isCommandExecuting();
    if (i->kill)
        i->killed = killHost(hostOf("TavoUser"));
    else
        i->device->abort();
}

// The slow report aborted from the idle handler: Status -3 at once, the
// library told through AbortTavo, and the host goes on serving.
TEST_F(BridgeWindows, AbortInTheMiddleOfASlowCommand) {
    Interruption i;
    i.device = &user();
    user().setIdleHandler(&interrupt, &i);
    i.clock.start();
    QByteArray buffer(22, '\0');
    int32_t length = 22;
    CommandResult r = user().command("cmPrnProgramReport", {}, buffer.data(), &length);
    user().setIdleHandler(nullptr, nullptr);
    ASSERT_TRUE(i.done) << "the idle handler was not called while the command ran";
    EXPECT_EQ(i.executing, 0);
    EXPECT_EQ(r.Status, -3);
    EXPECT_EQ(length, 0);
    EXPECT_NE(user().isCommandExecuting(), 0);

    const Args args = {Arg::integer(1)};
    length = 22;
    r = user().command("cmXReport", args, buffer.data(), &length);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(hex(buffer), hex(standInAnswer(protocol::cmd::cmXReport, "cmXReport i:1")));
    EXPECT_EQ(log_->take(),
              (std::vector<std::string>{"cmPrnProgramReport buffer=offered length=22", "AbortTavo",
                                        "cmXReport i:1 buffer=offered length=22"}));
}

// The host killed in the middle of a call: the call ends with Status -3, and
// the next OpenTavo starts a new host that serves.
TEST_F(BridgeWindows, HostKilledInTheMiddleOfACall) {
    const pid_t first = hostOf("TavoUser");
    ASSERT_GT(first, 0) << "no host of TavoUser among this process's children";
    Interruption i;
    i.device = &user();
    i.kill = true;
    user().setIdleHandler(&interrupt, &i);
    i.clock.start();
    QByteArray buffer(22, '\0');
    int32_t length = 22;
    CommandResult r = user().command("cmPrnProgramReport", {}, buffer.data(), &length);
    user().setIdleHandler(nullptr, nullptr);
    ASSERT_TRUE(i.done);
    ASSERT_TRUE(i.killed);
    EXPECT_EQ(r.Status, -3);
    EXPECT_EQ(length, 0);

    ASSERT_EQ(user().open("COM5", 19200), 0);
    const pid_t second = hostOf("TavoUser");
    EXPECT_GT(second, 0);
    EXPECT_NE(second, first);
    const Args args = {Arg::integer(0)};
    length = 22;
    r = user().command("cmXReport", args, buffer.data(), &length);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(hex(buffer), hex(standInAnswer(protocol::cmd::cmXReport, "cmXReport i:0")));
    EXPECT_EQ(log_->take(), (std::vector<std::string>{"cmPrnProgramReport buffer=offered length=22",
                                                      "OpenTavo t:434f4d35 i:19200",
                                                      "cmXReport i:0 buffer=offered length=22"}));
}

// The serial port under Wine: the library's request reaches the printer on the
// pseudo-terminal, its answer comes back byte for byte; a printer that stays
// silent gives Status -3, a port that is not there a failed OpenTavo.
TEST_F(BridgeWindows, PrinterOnTheSerialPort) {
    LineFile printer(need("BRIDGE_PRINTER_LOG"));
    LineFile mute(need("BRIDGE_MUTE_LOG"));
    printer.take();
    mute.take();
    const std::string request = "02343703"; // STX "47" ETX

    QByteArray buffer(3, '\0');
    int32_t length = 0;
    CommandResult r = user().command("cmPrinterStatus", {}, nullptr, &length);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(length, 3);
    r = user().command("cmPrinterStatus", {}, buffer.data(), &length);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(hex(buffer), need("BRIDGE_PRINTER_ANSWER"));
    EXPECT_EQ(printer.take(), std::vector<std::string>{request});

    ASSERT_EQ(user().open("COM6", 9600), 0);
    length = 3;
    buffer.fill('\0');
    r = user().command("cmPrinterStatus", {}, buffer.data(), &length);
    EXPECT_EQ(r.Status, -3);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(mute.take(), std::vector<std::string>{request});

    EXPECT_EQ(user().open("COM7", 9600), 2);
    EXPECT_EQ(log_->take(), (std::vector<std::string>{
                                "cmPrinterStatus buffer=null length=0",
                                "cmPrinterStatus buffer=offered length=3",
                                "OpenTavo t:434f4d36 i:9600",
                                "cmPrinterStatus buffer=offered length=3",
                                "OpenTavo t:434f4d37 i:9600",
                            }));
}

} // namespace
