// The programming pages against the virtual printer: program rates, header,
// clerks and a currency change, read them back, log on as service, set the
// tax ID and the ID, fiscalise, and see the printer report fiscal mode; an ID
// number longer than the printer keeps is refused by the printer.

#include "VirtualPrinterTest.h"

#include "app/Main.h"
#include "core/AnswerDecoders.h"
#include "device/Cp1250.h"
#include "device/DeviceErrors.h"
#include "device/QLibraryDevice.h"
#include "programming/ProgrammingRules.h"
#include "programming/SetCurrencyNamePage.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct VirtualPrinter : VirtualPrinterTest {
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        VirtualPrinterTest::SetUp();
    }
    // Runs a command with no arguments and returns its answer.
    QByteArray read(const protocol::Command& command) { return run(command); }
};
} // namespace

TEST_F(VirtualPrinter, ProgramReadBackAndFiscalise) {
    // VAT rates.
    find<QLineEdit>("PtuME1")->setText("2300");
    find<QLineEdit>("PtuME2")->setText("0800");
    find<QComboBox>("cbTaxType2")->setCurrentText("I");
    click("SetVatRateBtn1");
    expectNoBoxes("set VAT rates");
    const QByteArray rates = read(protocol::cmd::cmUploadTaxRate);
    EXPECT_EQ(answers::fieldText(rates, protocol::TaxRates::RateA), "2300");
    EXPECT_EQ(answers::fieldText(rates, protocol::TaxRates::RateB), "0800");
    EXPECT_EQ(answers::fieldText(rates, protocol::TaxRates::RateC), "9999");
    messages.clear();

    // Header, with Polish letters.
    find<QLineEdit>("HMEdit1")->setText(QString::fromUtf8("SKLEP ŁÓDŹ"));
    find<QCheckBox>("chkCentralLine1")->setChecked(true);
    click("SetHeadMessageBtn1");
    expectNoBoxes("set header");
    const QByteArray header = read(protocol::cmd::cmUploadHeadMessage);
    const protocol::Field firstLine =
        protocol::recordField(protocol::HeaderLines::layout, 0, protocol::HeaderLines::Text);
    ASSERT_GE(header.size(), firstLine.end());
    EXPECT_EQ(answers::fieldBytes(header, firstLine),
              dev::toCp1250(prog::FormatHeaderLine(QString::fromUtf8("SKLEP ŁÓDŹ"), true)));
    messages.clear();

    // A clerk and its logon.
    click("bbtnSetClerkPwd");
    find<QLineEdit>("edClerk")->setText("1");
    find<QLineEdit>("edClerkPwd")->setText("123");
    find<QLineEdit>("edClerkName")->setText("Anna");
    click("btnExecClerkPwd");
    expectNoBoxes("set clerk password");
    click("bbtnClerkLogon");
    click("btnExecClerkLogon");
    expectNoBoxes("clerk logon");
    EXPECT_EQ(form->currentPage(), PageId::Menu);

    // A currency change a month ahead, read back.
    auto* currency = dynamic_cast<SetCurrencyNamePage*>(form->page(PageId::SetCurrencyName));
    ASSERT_NE(currency, nullptr);
    const QDateTime when = QDateTime::currentDateTime().addDays(30);
    currency->fillFrom(when);
    find<QLineEdit>("edtCurrencyName")->setText("EUR");
    find<QLineEdit>("ExchangeEdit1")->setText("4.1234");
    click("btnSetCurrency");
    expectNoBoxes("set currency change");
    click("btnUploadCurrency");
    expectNoBoxes("read currency change");
    EXPECT_EQ(find<QLineEdit>("edtCurrencyName")->text(), "EUR");
    EXPECT_EQ(find<QLineEdit>("ExchangeEdit1")->text(), "4.123400");
    EXPECT_EQ(find<QSpinBox>("cuDaySE")->value(), when.date().day());
    EXPECT_EQ(find<QSpinBox>("cuMonthSE")->value(), when.date().month());

    // Service logon admits "Set Tax ID".
    click("bbtnServiceLogon");
    find<QLineEdit>("edServicePwd")->setText("0000");
    click("bbtnExecServiceLogon");
    expectNoBoxes("service logon");
    ASSERT_TRUE(form->context().ServiceLoggedOn);
    click("bbtnUserMode");
    ASSERT_EQ(form->currentPage(), PageId::SetTaxId);
    find<QLineEdit>("edTaxID")->setText("1234563218");
    find<QLineEdit>("edIDFmt")->setText("3322");
    click("btnSetTaxID");
    expectNoBoxes("set tax ID");

    // Identity, the review and fiscalisation.
    click("bbtnSetId");
    find<QLineEdit>("edIDCode")->setText("ABC");
    find<QLineEdit>("edIDNo")->setText("12345678");
    click("btnExecSetID");
    expectNoBoxes("set ID");
    click("bbtnEnterFiscalMode");
    messages.clear(); // the review's own pages may have their say
    EXPECT_EQ(form->currentPage(), PageId::SetId);
    EXPECT_FALSE(form->context().FiscalReviewMode);
    ASSERT_TRUE(find<QPushButton>("btnExecEnterFiscalMode")->isEnabled());
    find<QLineEdit>("edIDCode")->setText("ABC");
    find<QLineEdit>("edIDNo")->setText("12345678");
    click("btnExecEnterFiscalMode");
    expectNoBoxes("enter fiscal mode");

    const QByteArray fis = read(protocol::cmd::cmUploadFisStatus);
    ASSERT_GE(fis.size(), protocol::FiscalStatus::Fiscal.end());
    EXPECT_TRUE(answers::fieldIs(fis, protocol::FiscalStatus::Fiscal, '1')) << "fiscal";
    const QByteArray sw = read(protocol::cmd::cmSoftwareStatus);
    ASSERT_GE(sw.size(), protocol::SoftwareStatus::FiscalMode.end());
    EXPECT_TRUE(answers::fieldIs(sw, protocol::SoftwareStatus::FiscalMode, '1'))
        << "software status reports fiscal mode";
}

// The ID number field takes ten digits and sends them all; the printer keeps
// eight and refuses a longer number with its error 51, so nothing is cut off.
TEST_F(VirtualPrinter, ALongIdNumberReachesThePrinterWholeAndIsRefused) {
    const QString trace = home.filePath(QStringLiteral("calls.jsonl"));
    qputenv("VPRINTER_TRACE", trace.toLocal8Bit());
    click("bbtnServiceLogon");
    find<QLineEdit>("edServicePwd")->setText("0000");
    click("bbtnExecServiceLogon");
    expectNoBoxes("service logon");

    click("bbtnSetId");
    auto* number = find<QLineEdit>("edIDNo");
    QTest::keyClicks(find<QLineEdit>("edIDCode"), "abc");
    QTest::keyClicks(number, "12345678901");
    EXPECT_EQ(number->text(), "1234567890");
    click("btnExecSetID");
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, dev::DeviceErrorText(-4, 51));
    EXPECT_EQ(messages.boxes[0].text, "fiscal code & number are illegal");
    messages.clear();
    qunsetenv("VPRINTER_TRACE");

    const session::Read traced = session::readFile(trace);
    ASSERT_TRUE(traced.ok()) << traced.error.toStdString();
    std::vector<session::Call> setId;
    for (const auto& c : traced.calls)
        if (c.function == "cmSetID" && !c.sizing)
            setId.push_back(c);
    ASSERT_EQ(setId.size(), 1u);
    EXPECT_EQ(setId[0].arguments,
              (std::vector<session::Argument>{{"idCode", "ABC"}, {"idNumber", "1234567890"}}));
    EXPECT_EQ(setId[0].status, -4);
    EXPECT_EQ(setId[0].subCode, 51);
    // nothing was written: eight digits are taken after the refusal
    const QByteArray before = read(protocol::cmd::cmHardwareStatus);
    EXPECT_EQ(answers::fieldBytes(before, protocol::HardwareStatus::IdNumber), QByteArray(8, '\xFF'));
    number->clear();
    QTest::keyClicks(number, "12345678");
    click("btnExecSetID");
    expectNoBoxes("set an ID of eight digits");
    const QByteArray after = read(protocol::cmd::cmHardwareStatus);
    EXPECT_EQ(answers::fieldText(after, protocol::HardwareStatus::IdNumber), "12345678");
}
