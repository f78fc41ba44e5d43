// Recording a session from the window: every call through both libraries, in
// order, as the schema's lines; passwords never reach the file.
#include "TestWindow.h"
#include "session/Session.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using dev::Arg;
namespace cmd = protocol::cmd;

TEST(SessionRecording, EveryCallInOrderAndNeverAPassword) {
    TestWindow w;
    const QString path = w.dir.filePath(QStringLiteral("day.jsonl"));
    const QByteArray ack = "O0" + QByteArray(20, '0');
    w.user.reply("cmServiceLogon", 0, 0, ack);
    w.user.reply("cmSaleItem", 0, 0, ack);
    w.user.reply("ExecCommand", -4, 3);
    w.service.reply("cmSetID", 0, 0, ack);

    auto* rec = w.find<QLabel>(QStringLiteral("lbRec"));
    auto* action = w.find<QAction>(QStringLiteral("actRecord"));
    ASSERT_TRUE(rec && action);
    EXPECT_FALSE(rec->isVisibleTo(w.form.get())) << "recording is off at start";
    w.form->askRecordingPath = [&] { return path; };
    action->trigger();
    ASSERT_TRUE(w.form->recorder().recording());
    EXPECT_TRUE(rec->isVisibleTo(w.form.get()));

    auto& frame = w.ctx().frame;
    frame.run(cmd::cmServiceLogon, [] { return dev::Args{Arg::bytes("0246")}; });
    frame.runCommandLine("07|1|975");
    frame.run(cmd::cmSaleItem, [] {
        return dev::Args{Arg::real(1.5),   Arg::text1250(QStringLiteral("szt")),  Arg::real(2.0),
                         Arg::bytes("01"), Arg::text1250(QStringLiteral("Łódź")), Arg::integer(0),
                         Arg::real(0.25)};
    });
    frame.run(cmd::cmSetID, [] { return dev::Args{Arg::bytes("AB"), Arg::null()}; });
    action->trigger();
    EXPECT_FALSE(w.form->recorder().recording());
    EXPECT_FALSE(rec->isVisibleTo(w.form.get()));
    frame.run(cmd::cmServiceLogon, [] { return dev::Args{Arg::bytes("0246")}; }); // not recorded

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    for (const char* secret : {"0246", "975", "30323436", "393735"})
        EXPECT_FALSE(bytes.contains(secret)) << secret;
    const std::string check =
        "python3 " CONSOLE_SOURCE_DIR "/scripts/validate-session.py '" + path.toStdString() + "' >/dev/null";
    EXPECT_EQ(std::system(check.c_str()), 0) << check;

    const session::Read read = session::readFile(path);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    struct Expected {
        const char* library;
        const char* function;
        bool sizing;
        std::vector<session::Argument> arguments;
        int32_t status, subCode, length;
        int answerBytes;
    };
    const std::string ackText = ack.toStdString();
    const Expected expected[] = {
        {"TavoUser", "OpenTavo", false, {{"portName", "COM1"}, {"baud", int64_t{9600}}}, 0, 0, 0, 0},
        {"TavoUser", "cmServiceLogon", true, {{"password", "****"}}, 0, 0, 22, 0},
        {"TavoUser", "cmServiceLogon", false, {{"password", "****"}}, 0, 0, 22, 22},
        {"TavoUser", "GetReturnBufLength", false, {{"commandCode", "07"}}, 0, 0, 0, 0},
        {"TavoUser", "ExecCommand", false, {{"commandLine", "07|1|***"}}, -4, 3, 0, 0},
        {"TavoUser", "cmSaleItem", true, {}, 0, 0, 22, 0},
        {"TavoUser", "cmSaleItem", false, {}, 0, 0, 22, 22},
        {"TavoUser", "CloseTavo", false, {}, 0, 0, 0, 0}, // a service command closes the user link
        {"TavoSrv", "OpenTavo", false, {{"portName", "COM1"}, {"baud", int64_t{9600}}}, 0, 0, 0, 0},
        {"TavoSrv", "cmSetID", true, {{"idCode", "AB"}, {"idNumber", nullptr}}, 0, 0, 22, 0},
        {"TavoSrv", "cmSetID", false, {{"idCode", "AB"}, {"idNumber", nullptr}}, 0, 0, 22, 22},
    };
    const std::vector<session::Argument> sale{
        {"quantity", 1.5},           {"unit", "szt"},  {"price", int64_t{2}},
        {"taxGroup", "01"},          {"name", "Łódź"}, {"returnPackageFlag", int64_t{0}},
        {"returnPackagePrice", 0.25}};
    ASSERT_GE(read.calls.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const auto& e = expected[i];
        const session::Call& c = read.calls[i];
        SCOPED_TRACE("call " + std::to_string(i + 1) + " " + e.function);
        EXPECT_EQ(c.library, e.library);
        EXPECT_EQ(c.function, e.function);
        EXPECT_EQ(c.sizing, e.sizing);
        EXPECT_EQ(c.arguments, c.function == "cmSaleItem" ? sale : e.arguments);
        EXPECT_EQ(c.status, e.status);
        EXPECT_EQ(c.subCode, e.subCode);
        EXPECT_EQ(c.length, e.length);
        EXPECT_EQ(c.answer, ackText.substr(0, static_cast<size_t>(e.answerBytes)));
        EXPECT_GE(c.ms, 0.0);
    }
}

TEST(SessionRecording, AFileThatCannotBeWrittenIsToldAndNothingIsRecorded) {
    TestWindow w;
    w.form->askRecordingPath = [&] { return w.dir.filePath(QStringLiteral("no/such/folder/s.jsonl")); };
    w.messages.clear();
    w.find<QAction>(QStringLiteral("actRecord"))->trigger();
    EXPECT_FALSE(w.form->recorder().recording());
    EXPECT_FALSE(w.find<QAction>(QStringLiteral("actRecord"))->isChecked());
    ASSERT_EQ(w.messages.boxes.size(), 1u);
    EXPECT_TRUE(w.messages.boxes[0].text.contains(QStringLiteral("Cannot write the session")));
}

TEST(SessionFile, ACallCutShortByAKillLeavesTheWholeCallsReadable) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.jsonl"));
    session::Call call;
    call.time = session::now();
    call.library = "TavoUser";
    call.function = "cmXReport";
    call.arguments = {{"printFlag", int64_t{1}}};
    call.length = 3;
    call.answer = std::string("O0\xff", 3);
    ASSERT_TRUE(session::Writer::append(path, call));
    ASSERT_TRUE(session::Writer::append(path, call));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(session::toJsonLine(call).left(40)); // the program died in the middle of a line
    }
    const session::Read read = session::readFile(path);
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    ASSERT_EQ(read.calls.size(), 2u);
    EXPECT_EQ(read.calls[1], read.calls[0]);
    EXPECT_EQ(read.calls[0].answer, call.answer);
    EXPECT_TRUE(read.warning.contains(QStringLiteral("Line 3"))) << read.warning.toStdString();

    // a line in the middle that is not a call stops the read with its number
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(session::toJsonLine(call) + "{\"time\":1}\n" + session::toJsonLine(call));
    f.close();
    const session::Read bad = session::readFile(path);
    EXPECT_FALSE(bad.ok());
    EXPECT_TRUE(bad.error.contains(QStringLiteral("Line 2"))) << bad.error.toStdString();
}

// A recording started while a link is open begins with that link's OpenTavo
// (as it was opened: its library, port and speed), so that a replay opens it;
// a link closed before the start, or never opened, adds nothing.
TEST(SessionRecording, ARecordingStartedOnAnOpenLinkBeginsWithItsOpenTavo) {
    const auto hardware = [](TestWindow& w) {
        w.ctx().frame.run(cmd::cmHardwareStatus, [] { return dev::Args{}; });
    };
    const auto service = [](TestWindow& w) {
        w.ctx().frame.run(cmd::cmSetID, [] { return dev::Args{Arg::bytes("AB"), Arg::null()}; });
    };
    const auto port = [](TestWindow& w, int index) {
        w.find<QComboBox>(QStringLiteral("PortCB"))->setCurrentIndex(index);
    };
    struct Case {
        const char* what;
        std::function<void(TestWindow&)> before;
        bool kept;         // the first line is the link opened before the recording
        QStringList lines; // library, function and port of each line
    };
    const Case cases[] = {
        {"nothing open",
         [](TestWindow&) {},
         false,
         {"TavoUser OpenTavo COM1", "TavoUser cmHardwareStatus", "TavoUser cmHardwareStatus"}},
        {"the user link open",
         hardware,
         true,
         {"TavoUser OpenTavo COM1", "TavoUser cmHardwareStatus", "TavoUser cmHardwareStatus"}},
        {"the service link open",
         service,
         true,
         {"TavoSrv OpenTavo COM1", "TavoSrv CloseTavo", "TavoUser OpenTavo COM1", "TavoUser cmHardwareStatus",
          "TavoUser cmHardwareStatus"}},
        {"the user link open on COM3",
         [&](TestWindow& w) {
             port(w, 2);
             hardware(w);
         },
         true,
         {"TavoUser OpenTavo COM3", "TavoUser cmHardwareStatus", "TavoUser cmHardwareStatus"}},
        {"the link closed by another port",
         [&](TestWindow& w) {
             hardware(w);
             port(w, 1);
         },
         false,
         {"TavoUser OpenTavo COM2", "TavoUser cmHardwareStatus", "TavoUser cmHardwareStatus"}},
        {"the link's opening refused",
         [&](TestWindow& w) {
             w.user.openResult = 2;
             hardware(w);
             w.user.openResult = 0;
         },
         false,
         {"TavoUser OpenTavo COM1", "TavoUser cmHardwareStatus", "TavoUser cmHardwareStatus"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestWindow w;
        w.user.reply("cmHardwareStatus", -1); // what the printer answers does not matter here
        c.before(w);
        const QString path = w.dir.filePath(QStringLiteral("s.jsonl"));
        ASSERT_TRUE(w.form->startRecording(path));
        hardware(w);
        w.form->stopRecording();

        const session::Read read = session::readFile(path);
        ASSERT_TRUE(read.ok()) << read.error.toStdString();
        QStringList lines;
        for (const session::Call& call : read.calls) {
            QString line = QString::fromStdString(call.library + " " + call.function);
            if (const session::Argument* a = call.argument("portName"))
                line += QLatin1Char(' ') + QString::fromStdString(std::get<std::string>(a->value));
            lines << line;
        }
        EXPECT_EQ(lines, c.lines);
        ASSERT_FALSE(read.calls.empty());
        const session::Call& first = read.calls.front();
        EXPECT_EQ(first.status, 0);
        EXPECT_EQ(first.argument("baud")->value, session::Value(int64_t{9600}));
        if (c.kept) { // written as it was opened, not opened again
            EXPECT_EQ(first.ms, 0.0);
        }
        const std::string check = "python3 " CONSOLE_SOURCE_DIR "/scripts/validate-session.py '" +
                                  path.toStdString() + "' >/dev/null";
        EXPECT_EQ(std::system(check.c_str()), 0) << check;
    }
}
