// tavo-replay end to end: sessions recorded on one virtual printer through the
// recording library, replayed by the real executable on printers of their own.

#include "device/QLibraryDevice.h"
#include "device/SessionRecorder.h"
#include "protocol/Commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

class ReplayTool : public ::testing::Test {
  protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "replay_tests";
        static char* argv[] = {name, nullptr};
        if (QCoreApplication::instance() == nullptr)
            new QCoreApplication(argc, argv); // QProcess wants one; it lives as long as the tests
        ASSERT_TRUE(dir.isValid());
        user = std::make_unique<dev::QLibraryDevice>(dev::Library::User, QStringLiteral(CONSOLE_BIN_DIR));
        service =
            std::make_unique<dev::QLibraryDevice>(dev::Library::Service, QStringLiteral(CONSOLE_BIN_DIR));
        recUser = std::make_unique<dev::RecordingLibrary>(*user, dev::Library::User, recorder);
        recService = std::make_unique<dev::RecordingLibrary>(*service, dev::Library::Service, recorder);
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // The printer of that folder for the calls that follow (read when a link opens).
    void usePrinter(const char* name) {
        qputenv("VPRINTER_HOME", path(name).toLocal8Bit());
        qputenv("VPRINTER_INSTANT", "1");
    }
    // A command's two calls, as the console makes them; its answer.
    QByteArray run(dev::IDeviceLibrary& lib, const protocol::Command& c, const dev::Args& args = {}) {
        int32_t length = 0;
        lib.command(c.function, args, nullptr, &length);
        std::vector<char> buffer(static_cast<size_t>(std::max(length, 1)), '\0');
        const CommandResult r = lib.command(c.function, args, buffer.data(), &length);
        EXPECT_EQ(r.Status, 0) << c.function << " " << r.SubCode;
        return QByteArray(buffer.data(), std::clamp<int32_t>(length, 0, static_cast<int32_t>(buffer.size())));
    }
    // Programs a tax ID in service mode on the printer of that folder, unrecorded.
    void setTaxId(const char* printer, const char* taxId) {
        usePrinter(printer);
        ASSERT_EQ(user->open("COM1", 9600), 0);
        run(*user, protocol::cmd::cmServiceLogon, {dev::Arg::bytes("0000")});
        user->close();
        ASSERT_EQ(service->open("COM1", 9600), 0);
        run(*service, protocol::cmd::cmSetTaxID, {dev::Arg::bytes(taxId), dev::Arg::integer(0)});
        service->close();
    }
    // Without libraryDir, tavo-replay finds the libraries beside itself.
    Outcome replay(const char* printer, QStringList args, bool libraryDir = true) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VPRINTER_HOME"), path(printer));
        env.insert(QStringLiteral("VPRINTER_INSTANT"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        if (libraryDir)
            args << QStringLiteral("--library-dir") << QStringLiteral(CONSOLE_BIN_DIR);
        p.start(QStringLiteral(CONSOLE_BIN_DIR "/tavo-replay"), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

    QTemporaryDir dir;
    dev::SessionRecorder recorder;
    std::unique_ptr<dev::QLibraryDevice> user, service;
    std::unique_ptr<dev::RecordingLibrary> recUser, recService;
};

TEST_F(ReplayTool, ADifferentTaxIdIsNamedInTheSummaryAndTheReport) {
    setTaxId("a", "5260250274");
    setTaxId("b", "1234563218");
    usePrinter("a");
    ASSERT_TRUE(recorder.start(path("status.jsonl")));
    ASSERT_EQ(recUser->open("COM1", 9600), 0);
    run(*recUser, protocol::cmd::cmHardwareStatus);
    run(*recUser, protocol::cmd::cmUploadTaxRate);
    recUser->close();
    recorder.stop();
    ASSERT_EQ(recorder.calls(), 6);

    // On the printer it was recorded on, every call answers the same.
    const Outcome same = replay("a", {path("status.jsonl")});
    EXPECT_EQ(same.status, 0) << same.out.toStdString() << same.err.toStdString();
    EXPECT_EQ(same.out, QStringLiteral("6 calls replayed, 0 differ\n"));

    // On the other printer the hardware status differs in the tax ID alone.
    const Outcome other =
        replay("b", {path("status.jsonl"), QStringLiteral("--report"), path("report.html")});
    EXPECT_EQ(other.status, 1) << other.err.toStdString();
    EXPECT_EQ(other.out, QStringLiteral("call 3 (cmHardwareStatus): TaxId: recorded \"5260250274\", replayed "
                                        "\"1234563218\"\n6 calls replayed, 1 differ\n"));
    QFile f(path("report.html"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(
        html.contains(QStringLiteral("<td>TaxId</td><td>tax ID (NIP), 0xFF when unset</td><td>13-22</td>"
                                     "<td>&quot;5260250274&quot;</td><td>&quot;1234563218&quot;</td>")))
        << html.toStdString();
    // Offset 0x10 holds bytes 16-31: "260250274" from byte 14 on, "234563218" on the other side;
    // byte 13 ("5" / "1") is the last of the first line, marked and outlined.
    EXPECT_TRUE(html.contains(QStringLiteral("<span class=\"f\"><mark>35</mark></span> ")));
    EXPECT_TRUE(html.contains(QStringLiteral("<span class=\"f\"><mark>31</mark></span> ")));
    EXPECT_FALSE(html.contains(QStringLiteral("<script")));
    EXPECT_FALSE(html.contains(QStringLiteral("http")));

    // Left out by name, the tax ID no longer counts.
    const Outcome ignored =
        replay("b", {path("status.jsonl"), QStringLiteral("--ignore"), QStringLiteral("TaxId")});
    EXPECT_EQ(ignored.status, 0);
    EXPECT_EQ(ignored.out, QStringLiteral("6 calls replayed, 0 differ (1 field ignored as asked)\n"));
}

TEST_F(ReplayTool, AMaskedPasswordStopsTheReplayUntilItIsGiven) {
    usePrinter("a");
    ASSERT_TRUE(recorder.start(path("service.jsonl")));
    ASSERT_EQ(recUser->open("COM1", 9600), 0);
    run(*recUser, protocol::cmd::cmServiceLogon, {dev::Arg::bytes("0000")});
    const QByteArray status = run(*recUser, protocol::cmd::cmSoftwareStatus);
    EXPECT_EQ(status.at(protocol::SoftwareStatus::ServiceMode.offset), '1');
    run(*recUser, protocol::cmd::cmClerkLogout);
    recUser->close();
    recorder.stop();
    QFile session(path("service.jsonl"));
    ASSERT_TRUE(session.open(QIODevice::ReadOnly));
    EXPECT_FALSE(session.readAll().contains("0000"));

    const Outcome stopped = replay("b", {path("service.jsonl")});
    EXPECT_EQ(stopped.status, 2);
    EXPECT_EQ(stopped.err,
              QStringLiteral("tavo-replay: call 2 (cmServiceLogon) needs the service password: give "
                             "--password service=…\n"));
    EXPECT_EQ(stopped.out, QStringLiteral("1 call replayed, 0 differ\n"));

    const Outcome wrong =
        replay("b", {path("service.jsonl"), QStringLiteral("--password"), QStringLiteral("service=9999")});
    EXPECT_EQ(wrong.status, 1);
    // A wrong password is refused on both calls, and service mode is not entered.
    EXPECT_TRUE(
        wrong.out.startsWith(QStringLiteral("call 2 (cmServiceLogon): Status: recorded 0, replayed -4\n"
                                            "call 3 (cmServiceLogon): Status: recorded 0, replayed -4; "
                                            "SubCode: recorded 0, replayed 67; Length: recorded 22, "
                                            "replayed 0; Prefix: recorded \"O0\", replayed (missing)")))
        << wrong.out.toStdString();
    EXPECT_TRUE(wrong.out.contains(
        QStringLiteral("call 5 (cmSoftwareStatus): ServiceMode: recorded 1, replayed 0\n")));

    const Outcome given =
        replay("b", {path("service.jsonl"), QStringLiteral("--password"), QStringLiteral("service=0000")});
    EXPECT_EQ(given.status, 0) << given.out.toStdString();
    EXPECT_TRUE(given.out.startsWith(QStringLiteral("8 calls replayed, 0 differ")))
        << given.out.toStdString();

    // Usage errors, a session that is not one, libraries that are not there: status 2.
    EXPECT_EQ(replay("b", {}).status, 2);
    EXPECT_EQ(
        replay("b", {path("service.jsonl"), QStringLiteral("--password"), QStringLiteral("admin=1")}).status,
        2);
    EXPECT_EQ(replay("b", {path("no-such.jsonl")}).status, 2);
    QProcess p;
    p.start(QStringLiteral(CONSOLE_BIN_DIR "/tavo-replay"),
            {path("service.jsonl"), QStringLiteral("--library-dir"), dir.path()});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(p.readAllStandardError().contains("Cannot load the device library"));
}

// A recording started on a link opened before it begins with that link's
// OpenTavo, and replays with no difference on the printer it was made on. The
// same calls without that line (as recorded before recordings began so) are
// refused in one sentence, and nothing is run; a call refused for want of a
// link before the OpenTavo is no reason.
TEST_F(ReplayTool, ARecordingStartedOnAnOpenLinkReplaysAndOneWithoutItsOpeningSaysWhy) {
    setTaxId("a", "5260250274");
    usePrinter("a");
    ASSERT_EQ(recUser->open("COM1", 9600), 0);
    run(*recUser, protocol::cmd::cmHardwareStatus); // before the recording
    ASSERT_TRUE(recorder.start(path("midway.jsonl")));
    run(*recUser, protocol::cmd::cmHardwareStatus);
    run(*recUser, protocol::cmd::cmUploadTaxRate);
    recUser->close();
    recorder.stop();
    ASSERT_EQ(recorder.calls(), 6);
    QFile f(path("midway.jsonl"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    f.close();
    ASSERT_TRUE(lines.first().contains("\"function\":\"OpenTavo\"")) << lines.first().toStdString();
    ASSERT_TRUE(lines.first().contains("\"portName\":\"COM1\"")) << lines.first().toStdString();

    const Outcome same = replay("a", {path("midway.jsonl")}, false);
    EXPECT_EQ(same.status, 0) << same.err.toStdString();
    EXPECT_EQ(same.out, QStringLiteral("6 calls replayed, 0 differ\n"));
    EXPECT_EQ(same.err, QString());

    QFile cut(path("no-open.jsonl"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(lines.mid(1).join('\n'));
    cut.close();
    const Outcome cannot = replay("a", {path("no-open.jsonl")});
    EXPECT_EQ(cannot.status, 2);
    EXPECT_EQ(cannot.out, QString());
    EXPECT_EQ(
        cannot.err,
        QStringLiteral("tavo-replay: the session cannot be replayed: its call 1 (cmHardwareStatus) was "
                       "answered by TavoUser before any OpenTavo of TavoUser, so it was recorded on a link "
                       "opened earlier and does not say which port to open.\n"));

    ASSERT_TRUE(recorder.start(path("refused-first.jsonl")));
    int32_t length = 0;
    EXPECT_LT(recUser->command("cmHardwareStatus", {}, nullptr, &length).Status, 0) << "no link yet";
    ASSERT_EQ(recUser->open("COM1", 9600), 0);
    run(*recUser, protocol::cmd::cmHardwareStatus);
    recUser->close();
    recorder.stop();
    const Outcome refused = replay("a", {path("refused-first.jsonl")});
    EXPECT_EQ(refused.status, 0) << refused.err.toStdString();
    EXPECT_EQ(refused.out, QStringLiteral("5 calls replayed, 0 differ\n"));
}

} // namespace
