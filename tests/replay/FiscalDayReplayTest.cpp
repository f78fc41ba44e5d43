// A fiscal day through the console, every call recorded by the window's own
// recorder on its way to the virtual printer, then replayed by
// tavo-replay on a new printer: nothing differs but the fields that change by
// nature.

#include "VirtualPrinterTest.h"

#include "app/Main.h"
#include "device/SessionRecorder.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct FiscalDay : VirtualPrinterTest {
    void SetUp() override {
        VirtualPrinterTest::SetUp();
        ASSERT_TRUE(form->recorder().start(home.filePath(QStringLiteral("day.jsonl"))));
    }
    void sell(const QString& name, double price, const char* group, double quantity) {
        find<QLineEdit>("edName")->setText(name);
        find<QDoubleSpinBox>("edPrice")->setValue(price);
        auto* groups = find<QComboBox>("cbDepId");
        groups->setCurrentIndex(groups->findText(QString::fromLatin1(group)));
        find<QDoubleSpinBox>("edQty")->setValue(quantity);
        click("btnSaleItem");
    }
    void commandLine(const char* line) {
        form->showPage(PageId::CommandLine);
        find<QLineEdit>("Edit1")->setText(QString::fromLatin1(line));
        click("bbtnExec");
    }
};

TEST_F(FiscalDay, ReplaysOnANewPrinterWithoutADifference) {
    // Morning: rates, header and currencies programmed, service mode entered and left on the command line.
    run(protocol::cmd::cmSetVatRate,
        {dev::Arg::integer(2300), dev::Arg::integer(800), dev::Arg::integer(500), dev::Arg::integer(0),
         dev::Arg::integer(9999), dev::Arg::integer(9999), dev::Arg::integer(9999), dev::Arg::integer(9999),
         dev::Arg::integer(9999), dev::Arg::text1250(QStringLiteral("D"))});
    run(protocol::cmd::cmSetHeadMessage,
        {dev::Arg::integer(1), dev::Arg::integer(0),
         dev::Arg::text1250(QStringLiteral("Sklep Łódź").leftJustified(32) + QString(128, u' '))});
    run(protocol::cmd::cmSetCurrencyName, {dev::Arg::text1250(QStringLiteral("EURUSD"))});
    run(protocol::cmd::cmSetExChangeRate,
        {dev::Arg::text1250(QStringLiteral("4.5")), dev::Arg::text1250(QStringLiteral("A")),
         dev::Arg::text1250(QStringLiteral("4")), dev::Arg::text1250(QStringLiteral("A"))});
    commandLine("09|0000");
    commandLine("08");
    expectNoBoxes("set-up");

    // Two receipts, paid in cash.
    for (int receipt = 0; receipt < 2; ++receipt) {
        click("bbtnSale");
        sell(QStringLiteral("Mleko"), 2.5, "A", 2);
        sell(QStringLiteral("Chleb żytni"), 4.0, "B", 1 + receipt);
        click("btnSaleOK");
        ASSERT_EQ(form->currentPage(), PageId::Pay);
        find<QLineEdit>("CashEdit")->setText(QStringLiteral("20.00"));
        click("btnPay");
        expectNoBoxes("receipt");
        ASSERT_EQ(form->currentPage(), PageId::Menu);
    }
    // A third receipt cancelled, cash paid in and out, the drawer counted.
    click("bbtnSale");
    sell(QStringLiteral("Mleko"), 2.5, "A", 5);
    click("btnSaleVoid");
    ASSERT_EQ(form->currentPage(), PageId::EndReceipt);
    click("bbtnExecCancelRecp");
    expectNoBoxes("receipt cancel");
    run(protocol::cmd::cmReceiveCash, {dev::Arg::real(100)});
    run(protocol::cmd::cmPaidOut, {dev::Arg::real(12.5)});
    run(protocol::cmd::cmCashInDrawer);
    run(protocol::cmd::cmUploadTaxRate);
    run(protocol::cmd::cmUploadDepartment);
    run(protocol::cmd::cmUploadFisStatus);
    run(protocol::cmd::cmUploadHeadMessage);

    // Evening: the reports and the statuses.
    click("bbtnXReport");
    click("bbtnChkHw");
    commandLine("47");
    click("bbtnZReport");
    run(protocol::cmd::cmSoftwareStatus);
    expectNoBoxes("reports");
    form->recorder().stop();
    ASSERT_GT(form->recorder().calls(), 40);
    QFile session(home.filePath(QStringLiteral("day.jsonl")));
    ASSERT_TRUE(session.open(QIODevice::ReadOnly));
    EXPECT_FALSE(session.readAll().contains("0000|")) << "the service password reached the session";

    // Replayed on a new printer directly, and on another through the bridge
    // (client, Linux host, the virtual printer's libraries): the same outcome.
    for (const bool bridged : {false, true}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VPRINTER_HOME"), home.filePath(bridged ? "fresh-bridged" : "fresh"));
        env.insert(QStringLiteral("VPRINTER_INSTANT"), QStringLiteral("1"));
        env.insert(QStringLiteral("TAVO_BRIDGE_COMMAND"),
                   QStringLiteral(CONSOLE_BIN_DIR "/tavo-bridge --dir " CONSOLE_BIN_DIR));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(home.path());
        p.start(QStringLiteral(CONSOLE_BIN_DIR "/tavo-replay"),
                {home.filePath(QStringLiteral("day.jsonl")), QStringLiteral("--library-dir"),
                 bridged ? QStringLiteral(CONSOLE_BIN_DIR "/bridge") : QStringLiteral(CONSOLE_BIN_DIR),
                 QStringLiteral("--password"), QStringLiteral("service=0000")});
        ASSERT_TRUE(p.waitForFinished(120000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_EQ(p.exitCode(), 0) << bridged << out.toStdString() << p.readAllStandardError().toStdString();
        // The clock may have moved on: its fields are volatile and only counted.
        EXPECT_TRUE(
            QRegularExpression(
                QStringLiteral("^%1 calls replayed, 0 differ( \\(\\d+ volatile fields? ignored\\))?\n$")
                    .arg(form->recorder().calls()))
                .match(out)
                .hasMatch())
            << bridged << out.toStdString();
    }
}

} // namespace
