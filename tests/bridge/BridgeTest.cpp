// The bridge on this machine: the wire read and written (and one schema with
// the session format), the client's settings and command line, and the client
// driven through the console's device layer, to the Linux host on the virtual
// printer and to hosts that misbehave on purpose.

#include "bridge/Wire.h"
#include "bridge/client/Client.h"
#include "codepage/Cp1250.h"
#include "codepage/Cp1250Table.h"
#include "device/QLibraryDevice.h"
#include "session/Session.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace {

// The process this one started under that name (the client's host).
pid_t childNamed(const char* name) {
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray s = stat.readAll();
        const qsizetype close = s.lastIndexOf(')');
        const QByteArray comm = s.mid(s.indexOf('(') + 1, close - s.indexOf('(') - 1);
        const QList<QByteArray> rest = s.mid(close + 2).split(' ');
        if (comm == name && rest.size() > 1 && rest[1].toLongLong() == ::getpid())
            return static_cast<pid_t>(pid.toLongLong());
    }
    return -1;
}

bridge::Call sampleCall() {
    bridge::Call c;
    c.time = "2026-12-09T10:00:00.000Z";
    c.library = "TavoUser";
    c.function = "cmSaleItem";
    // cp1250 bytes of "Żółć" and an undefined byte, a real, a null text.
    c.arguments = {{"quantity", 0.1},
                   {"unit", std::string("szt")},
                   {"price", 12.345},
                   {"taxGroup", std::string("A")},
                   {"name", std::string("\xAF\xF3\xB3\xE6 \x81")},
                   {"returnPackageFlag", int64_t{-7}},
                   {"returnPackagePrice", nullptr}};
    c.length = 64;
    return c;
}

TEST(BridgeWire, EveryMessageSurvivesItsLineAndTheSessionReaderReadsTheCall) {
    bridge::Call reply = sampleCall();
    reply.status = -4;
    reply.subCode = 5;
    reply.length = 3;
    reply.answer = std::string("\x00\xFF\x41", 3);
    reply.ms = 1.5;
    bridge::Hello hello;
    hello.platform = "windows-x86";
    hello.dir = "C:\\Printer";
    hello.libraries = {{"TavoUser", "C:\\Printer\\TavoUser.DLL", true, "", {"cmROMDump"}},
                       {"TavoSrv", "C:\\Printer\\TavoSrv.DLL", false, "error 126: Module not found.", {}}};
    const std::vector<bridge::Message> messages = {hello,           sampleCall(),
                                                   reply,           bridge::Busy{1000},
                                                   bridge::Abort{}, bridge::Error{"cmX is not in TavoSrv"}};
    QTemporaryDir dir;
    QFile lines(dir.filePath("wire.jsonl"));
    ASSERT_TRUE(lines.open(QIODevice::WriteOnly));
    for (const bridge::Message& m : messages) {
        const std::string line = bridge::toLine(m);
        ASSERT_EQ(line.back(), '\n');
        ASSERT_EQ(line.find('\n'), line.size() - 1) << "one message, one line";
        std::string why;
        const auto back = bridge::readLine(line, &why);
        ASSERT_TRUE(back) << why << "\n" << line;
        EXPECT_EQ(back->index(), m.index());
        EXPECT_EQ(bridge::toLine(*back), line);
        lines.write(line.data(), static_cast<qint64>(line.size()));
    }
    lines.close();

    // A reply is a session call: the session reader takes it, texts decoded
    // from code page 1250 and the answer's bytes as they were.
    const std::string line = bridge::toLine(reply);
    const auto call = session::fromJsonLine(QByteArray::fromStdString(line));
    ASSERT_TRUE(call);
    EXPECT_EQ(call->function, "cmSaleItem");
    EXPECT_EQ(std::get<std::string>(call->argument("name")->value), "Żółć \u0081");
    EXPECT_EQ(std::get<double>(call->argument("price")->value), 12.345);
    EXPECT_EQ(call->answer, reply.answer);
    // And a session's line is a call of the wire.
    const auto fromSession = bridge::readLine(session::toJsonLine(*call).toStdString());
    ASSERT_TRUE(fromSession);
    EXPECT_EQ(std::get<bridge::Call>(*fromSession).arguments, reply.arguments);

    // Every line is one of the wire's schema.
    const std::string check = "python3 " CONSOLE_SOURCE_DIR "/scripts/validate-session.py --bridge '" +
                              lines.fileName().toStdString() + "' >/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0) << check;
}

// The code page's table, written out for the host built without Qt, is Qt's
// "windows-1250" byte for byte (undefined bytes keep their value), and every
// byte survives UTF-8 and back.
TEST(BridgeWire, TheCodePageTableIsWindows1250AndEveryByteComesBack) {
    QStringDecoder qt("windows-1250");
    ASSERT_TRUE(qt.isValid());
    std::string all;
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const QString s = qt.decode(QByteArrayView(&c, 1));
        qt.resetState();
        const char16_t expected = s.size() == 1 && s.at(0) != QChar::ReplacementCharacter
                                      ? s.at(0).unicode()
                                      : static_cast<char16_t>(b);
        EXPECT_EQ(cp1250::kTable[static_cast<size_t>(b)], expected) << b;
        all += c;
    }
    EXPECT_EQ(cp1250::utf8ToBytes(cp1250::bytesToUtf8(all)), all);
    EXPECT_EQ(QString::fromStdString(cp1250::bytesToUtf8(all)),
              cp1250::decode(QByteArray::fromStdString(all)));
    EXPECT_EQ(cp1250::utf8ToBytes("\xF0\x9F\x98\x80 \xC3"), "? ?") << "beyond the code page, or cut short";
}

TEST(BridgeWire, LinesThatAreNoMessageSayWhy) {
    const std::string call = bridge::toLine(sampleCall());
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = call;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    const struct {
        std::string line, why;
    } cases[] = {
        {"", "not JSON"},
        {"garbage", "not JSON"},
        {"[1,2]", "not a JSON object"},
        {"{\"hello\":\"other\"}", "a hello from something other than tavo-bridge"},
        {"{\"busy\":\"soon\"}", "a busy message is {\"busy\": milliseconds}"},
        {"{\"abort\":false}", "an abort is {\"abort\": true}"},
        {"{\"what\":1}", "no message of the bridge"},
        {replaced("\"cmSaleItem\"", "\"cmNoSuch\""), "\"cmNoSuch\" is no function of the interface"},
        {replaced("\"unit\"", "\"colour\""), "cmSaleItem has no argument \"colour\""},
        {replaced("\"TavoUser\"", "\"TavoOther\""), "\"library\" is neither TavoUser nor TavoSrv"},
        {replaced("\"answer\":\"\"", "\"answer\":\"4G\""), "\"answer\" is not hexadecimal"},
        {replaced("\"length\":64", "\"length\":4294967296"), "\"length\" is out of range"},
        {replaced("\"sizing\":false", "\"sizing\":0"), "\"sizing\" is not true or false"},
        {replaced("\"price\":12.345", "\"price\":[1]"), "argument \"price\" is not a number, a text or null"},
        {replaced("\"ms\":0.0", "\"ms\":0.0,\"extra\":1"), "a call has no field \"extra\""},
        {std::string(bridge::kMaxLine + 1, ' '), "the line is too long"},
    };
    for (const auto& c : cases) {
        std::string why;
        EXPECT_FALSE(bridge::readLine(c.line, &why)) << c.line.substr(0, 80);
        EXPECT_EQ(why, c.why) << c.line.substr(0, 80);
    }
}

TEST(BridgeWire, CommandLinesSettingsAndLines) {
    using V = std::vector<std::string>;
    EXPECT_EQ(bridge::splitCommandLine("ssh shop-pc tavo-bridge.exe --dir C:\\Printer"),
              (V{"ssh", "shop-pc", "tavo-bridge.exe", "--dir", "C:\\Printer"}));
    EXPECT_EQ(bridge::splitCommandLine("  wine \"/opt/my bridge/x.exe\" --dir '/home/a b'\t"),
              (V{"wine", "/opt/my bridge/x.exe", "--dir", "/home/a b"}));
    EXPECT_EQ(bridge::splitCommandLine("a\"b c\"d ''"), (V{"ab cd", ""}));
    EXPECT_EQ(bridge::splitCommandLine(""), V{});

    const auto s =
        bridge::client::parseSettings("[Bridge]\n# a note\ncommand = ssh shop-pc tavo-bridge.exe --dir "
                                      "C:\\Printer\r\nname=Shop 1\nsilence_ms=250\nstart_ms=-5\n"
                                      "wineprefix=/w\nnonsense\n");
    EXPECT_EQ(s.command, "ssh shop-pc tavo-bridge.exe --dir C:\\Printer");
    EXPECT_EQ(s.name, "Shop 1");
    EXPECT_EQ(s.silenceMs, 250);
    EXPECT_EQ(s.startMs, 60000) << "a bad number keeps the default";
    EXPECT_EQ(s.wineprefix, "/w");

    bridge::LineReader r;
    r.feed("{\"busy\":1}\r\n{\"bu");
    EXPECT_EQ(r.next(), "{\"busy\":1}");
    EXPECT_EQ(r.next(), std::nullopt);
    r.feed("sy\":2}\n");
    EXPECT_EQ(r.next(), "{\"busy\":2}");
    r.feed(std::string(bridge::kMaxLine + 10, 'x'));
    EXPECT_EQ(r.next(), std::nullopt);
    r.feed("tail of the long line\n{\"abort\":true}\n");
    EXPECT_EQ(r.next(), "{\"abort\":true}");
    EXPECT_TRUE(r.overflowed());
}

// The client through the console's device layer, to hosts of the test's choosing.
class BridgeClient : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        qputenv("VPRINTER_HOME", home.filePath("printer").toLocal8Bit());
        qputenv("VPRINTER_INSTANT", "1");
        settings = home.filePath("bridge.ini");
        qputenv("TAVO_BRIDGE_CONFIG", settings.toLocal8Bit());
        if (!user)
            user = new dev::QLibraryDevice(dev::Library::User, QStringLiteral(CONSOLE_BIN_DIR "/bridge"));
    }
    void TearDown() override {
        user->close();
        qunsetenv("TAVO_BRIDGE_COMMAND");
        qunsetenv("TAVO_BRIDGE_CONFIG");
    }
    void host(const std::string& command, int silenceMs = 5000) {
        QFile f(settings);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString("command=" + command + "\nsilence_ms=" + std::to_string(silenceMs) +
                                          "\nstart_ms=5000\n"));
    }
    void fake(const char* mode, int silenceMs = 5000) {
        host("python3 " CONSOLE_SOURCE_DIR "/tests/bridge/fake_host.py " + std::string(mode), silenceMs);
    }
    CommandResult status(std::vector<char>* buffer, int32_t* length) {
        return user->command("cmPrinterStatus", {}, buffer->data(), length);
    }

    QTemporaryDir home;
    QString settings;
    static inline dev::QLibraryDevice* user = nullptr; // loaded once, as the console does
};

TEST_F(BridgeClient, ForwardsEveryKindOfCallToTheLinuxHostOnTheVirtualPrinter) {
    host(CONSOLE_BIN_DIR "/tavo-bridge --dir " CONSOLE_BIN_DIR);
    ASSERT_EQ(user->open("COM1", 9600), 0);
    int idles = 0;
    user->setIdleHandler([](void* n) { ++*static_cast<int*>(n); }, &idles);

    // Two-call sizing, then the answer: the printer status "P00".
    int32_t length = 0;
    CommandResult r = user->command("cmPrinterStatus", {}, nullptr, &length);
    EXPECT_EQ(r.Status, 0);
    ASSERT_EQ(length, 3);
    std::vector<char> buffer(3, '\0');
    r = status(&buffer, &length);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(std::string(buffer.data(), 3), "P00");

    // A refusal with its sub-code, a real and a cp1250 text on the way: a
    // sale with no VAT rates programmed.
    length = 16;
    buffer.assign(16, '\0');
    r = user->command("cmSaleItem",
                      {dev::Arg::real(1), dev::Arg::text1250("szt"), dev::Arg::real(2.5),
                       dev::Arg::text1250("A"), dev::Arg::text1250(QStringLiteral("Chleb żytni")),
                       dev::Arg::integer(0), dev::Arg::real(0)},
                      buffer.data(), &length);
    EXPECT_EQ(r.Status, -4);
    EXPECT_EQ(r.SubCode, 19); // the tax group is not programmed

    // The raw command line and the link functions.
    EXPECT_EQ(user->getReturnBufLength("47"), 3);
    length = 3;
    buffer.assign(3, '\0');
    r = user->execCommand("47", buffer.data(), &length);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(std::string(buffer.data(), 3), "P00");
    EXPECT_EQ(user->isCommandExecuting(), 1);

    // What the status bar shows.
    QByteArray text;
    QLibrary lib(QStringLiteral(CONSOLE_BIN_DIR "/bridge/libTavoUser.so"));
    auto describe = reinterpret_cast<decltype(&TavoBridgeDescribe)>(lib.resolve("TavoBridgeDescribe"));
    ASSERT_NE(describe, nullptr);
    char name[512];
    int32_t size = sizeof name;
    ASSERT_EQ(describe(name, &size), TAVO_EXT_OK);
    EXPECT_STREQ(name, CONSOLE_BIN_DIR "/tavo-bridge --dir " CONSOLE_BIN_DIR);
    user->setIdleHandler(nullptr, nullptr);
    EXPECT_EQ(user->close(), 0);
}

TEST_F(BridgeClient, EveryFailureIsAClearStatusAndNeverAWritePastTheBuffer) {
    // No host at all, one that ends at once, one that never says hello.
    host("/no/such/tavo-bridge --dir x");
    EXPECT_NE(user->open("COM1", 9600), 0);
    fake("exit");
    EXPECT_NE(user->open("COM1", 9600), 0);
    fake("nohello");
    EXPECT_NE(user->open("COM1", 9600), 0);
    QByteArray why;
    ASSERT_EQ(user->bridgeLastError(&why), TAVO_EXT_OK);
    EXPECT_EQ(why, "OpenTavo: the host's first message is no hello") << "the reason, for the console to show";
    std::vector<char> buffer(3, '\0');
    int32_t length = 3;
    EXPECT_EQ(status(&buffer, &length).Status, -1) << "no link: as a closed port";

    // The host answers garbage, refuses, goes silent, dies: -3 (or -1 for a
    // refusal), within the silence bound, and the next call starts a new host.
    const struct {
        const char* mode;
        int32_t status;
    } cases[] = {{"garbage", -3}, {"refuses", -1}, {"silent", -3}, {"dies", -3}};
    for (const auto& c : cases) {
        fake(c.mode, std::string_view(c.mode) == "silent" ? 300 : 5000); // only silence waits for the bound
        ASSERT_EQ(user->open("COM1", 9600), 0) << c.mode;
        length = 3;
        EXPECT_EQ(status(&buffer, &length).Status, c.status) << c.mode;
        user->close();
    }

    // An answer longer than the buffer given: refused, and not one byte
    // written beyond it (the guard bytes after the buffer stay).
    fake("long");
    ASSERT_EQ(user->open("COM1", 9600), 0);
    ASSERT_EQ(user->bridgeLastError(&why), TAVO_EXT_OK);
    EXPECT_EQ(why, "") << "a call that went through leaves no reason";
    std::vector<char> guarded(3 + 8, '#');
    length = 3;
    const CommandResult r = user->command("cmPrinterStatus", {}, guarded.data(), &length);
    EXPECT_EQ(r.Status, -3);
    EXPECT_EQ(std::string(guarded.data() + 3, 8), "########");
}

TEST_F(BridgeClient, AHostKilledMidCallIsATimeOutAndTheNextCallStartsANewOne) {
    host(CONSOLE_BIN_DIR "/tavo-bridge --dir " CONSOLE_BIN_DIR, 3000);
    QFile ini(home.filePath("printer/virtual-printer.ini"));
    QDir().mkpath(home.filePath("printer"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[General]\ntiming=real\nline_ms=400\n");
    ini.close();
    qunsetenv("VPRINTER_INSTANT");
    ASSERT_EQ(user->open("COM1", 9600), 0);
    // The X report prints for seconds: the host is killed while it does.
    struct Kill {
        int calls = 0;
        bool killed = false;
    } k;
    user->setIdleHandler(
        [](void* p) {
            auto* kill = static_cast<Kill*>(p);
            if (++kill->calls == 30 && !kill->killed) {
                ::kill(childNamed("tavo-bridge"), SIGKILL);
                kill->killed = true;
            }
        },
        &k);
    std::vector<char> buffer(64, '\0');
    int32_t length = 64;
    CommandResult r = user->command("cmXReport", {dev::Arg::integer(1)}, buffer.data(), &length);
    EXPECT_TRUE(k.killed);
    EXPECT_EQ(r.Status, -3);
    user->setIdleHandler(nullptr, nullptr);
    // The link the console holds is opened again on a new host for the next call.
    qputenv("VPRINTER_INSTANT", "1");
    length = 3;
    EXPECT_EQ(status(&buffer, &length).Status, 0);
    EXPECT_EQ(std::string(buffer.data(), 3), "P00");
}

} // namespace
