// The programming pages on a scripted device: the arguments each handler
// sends, in declaration order, and the page afterwards.

#include "TestWindow.h"

#include "core/Page.h"
#include "core/ProgrammingWidgets.h"
#include "programming/ClerkLogonPage.h"
#include "programming/PrinterSpeedPage.h"
#include "programming/ProgrammingRules.h"
#include "programming/SetDatePage.h"
#include "programming/SetIdPage.h"
#include "programming/SetTimePage.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using dev::Arg;
using dev::Args;

namespace {
Arg text(const char* s) {
    return Arg::text1250(QString::fromUtf8(s));
}
Arg num(int v) {
    return Arg::integer(v);
}
std::string describe(const Args& args) {
    std::string s;
    for (const Arg& a : args)
        s += a.describe() + " ";
    return s;
}
#define EXPECT_ARGS(device, fn, ...)                                                                         \
    do {                                                                                                     \
        const auto* c_ = (device).lastCommand();                                                             \
        ASSERT_NE(c_, nullptr);                                                                              \
        EXPECT_EQ(c_->function, fn);                                                                         \
        const Args want_{__VA_ARGS__};                                                                       \
        EXPECT_EQ(c_->args, want_) << "got " << describe(c_->args) << "\nwant " << describe(want_);          \
    } while (0)

template <typename T> T* pageOf(TestWindow& w, PageId n) {
    auto* p = dynamic_cast<T*>(w.form->page(n));
    EXPECT_NE(p, nullptr);
    return p;
}
} // namespace

// ---- date and time ----

TEST(DateTimePages, DateGoesDayFirstAndReturnsToTheMenu) {
    TestWindow w;
    auto* page = pageOf<SetDatePage>(w, PageId::SetDate);
    page->fillFrom(QDate(2026, 12, 7));
    w.click("SetDateBtn1");
    EXPECT_ARGS(w.user, "cmSetDate", num(7), num(12), num(26));
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);

    page->fillFrom(QDate(2000, 1, 31));
    w.ctx().nav.show(PageId::SetDate);
    w.user.reply("cmSetDate", -1);
    w.click("SetDateBtn1");
    EXPECT_ARGS(w.user, "cmSetDate", num(31), num(1), num(0));
    EXPECT_EQ(w.ctx().nav.current(), PageId::SetDate) << "a refusal leaves the page";
    ASSERT_NE(w.messages.last(), nullptr);
    EXPECT_EQ(w.messages.last()->icon, IMessageService::Icon::Error);
}

TEST(DateTimePages, MenuButtonFillsFromTheClock) {
    TestWindow w;
    w.click("bbtnSetDate");
    EXPECT_EQ(w.ctx().nav.current(), PageId::SetDate);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(w.find<QSpinBox>("YearSE")->value(), today.year() % 100);
    EXPECT_EQ(w.find<QSpinBox>("DaySE")->value(), today.day());
    w.click("bbtnSetTime");
    EXPECT_EQ(w.ctx().nav.current(), PageId::SetTime);
    EXPECT_TRUE(w.find<QWidget>("BackBtn2")->isHidden());
}

TEST(DateTimePages, TimeDropsMillisecondsAndFourDigitYearBecomes99) {
    TestWindow w;
    pageOf<SetTimePage>(w, PageId::SetTime)->fillFrom(QTime(9, 5, 3, 870));
    w.click("SetTimeBtn1");
    EXPECT_ARGS(w.user, "cmSetTime", num(9), num(5), num(3));

    auto* year = w.find<prog::SpinEdit>("YearSE");
    EXPECT_EQ(year->maxLength(), 4);
    year->setFieldText("2026");
    EXPECT_EQ(year->value(), 99);
    year->setFieldText("x");
    EXPECT_EQ(year->value(), 0);
    auto* month = w.find<prog::SpinEdit>("MonthSE");
    month->setFieldText("0");
    EXPECT_EQ(month->value(), 1);
}

// ---- VAT rates ----

TEST(VatRatePage, DefaultsSendNine9999AndAnEmptyLetter) {
    TestWindow w;
    w.click("SetVatRateBtn");
    EXPECT_EQ(w.ctx().nav.current(), PageId::SetVatRate);
    w.click("SetVatRateBtn1");
    EXPECT_ARGS(w.user, "cmSetVatRate", num(9999), num(9999), num(9999), num(9999), num(9999), num(9999),
                num(9999), num(9999), num(9999), text(""));
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);
}

TEST(VatRatePage, RatesBlanksLetterAndHiddenFields) {
    TestWindow w;
    w.find<QLineEdit>("PtuME1")->setText("2200");
    w.find<QLineEdit>("PtuME2")->setText("0700");
    w.find<QLineEdit>("PtuME3")->setText("22");
    w.find<QLineEdit>("PtuME10")->setText("1234");
    w.find<QComboBox>("cbTaxType2")->setCurrentText("C");
    EXPECT_TRUE(w.find<QWidget>("PtuME10")->isHidden());
    EXPECT_FALSE(w.find<QWidget>("PtuME10")->isEnabled());
    w.ctx().nav.show(PageId::SetVatRate);
    w.user.reply("cmSetVatRate", -2);
    w.click("SetVatRateBtn1");
    EXPECT_ARGS(w.user, "cmSetVatRate", num(2200), num(700), num(255), num(9999), num(9999), num(9999),
                num(9999), num(9999), num(9999), text("C"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::SetVatRate);
    EXPECT_EQ(w.ctx().VatRates[2], 255);
}

TEST(VatRatePage, PolishNoticeIsShownWithItsLetters) {
    TestWindow w;
    const QString notice = w.find<QLabel>("Label48")->text();
    EXPECT_TRUE(notice.contains(QString::fromUtf8("NALEŻY WPISYWAĆ"))) << notice.toStdString();
}

TEST(VatRatePage, UploadRunsWithCode91) {
    TestWindow w;
    w.click("bbtnUploadTaxRate");
    EXPECT_ARGS(w.user, "cmUploadTaxRate");
}

// ---- header ----

TEST(HeadMessagePage, SendsOneHundredSixtyCharactersInCodePage1250) {
    TestWindow w;
    w.find<QLineEdit>("HMEdit1")->setText("abc");
    w.find<QCheckBox>("chkCentralLine1")->setChecked(true);
    w.find<QLineEdit>("HMEdit2")->setText(QString::fromUtf8("ŁÓDŹ"));
    w.ctx().nav.show(PageId::SetHeadMessage);
    w.click("SetHeadMessageBtn1");
    const auto* c = w.user.lastCommand();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->function, "cmSetHeadMessage");
    ASSERT_EQ(c->args.size(), 3u);
    EXPECT_EQ(c->args[0], num(1));
    EXPECT_EQ(c->args[1], num(0));
    const QByteArray header = *c->args[2].text;
    ASSERT_EQ(header.size(), 160);
    EXPECT_EQ(header.left(32), QByteArray(14, ' ') + "abc" + QByteArray(15, ' '));
    EXPECT_EQ(header.mid(32, 4), QByteArray("\xA3\xD3\x44\x8F"));
    EXPECT_EQ(header.mid(64), QByteArray(96, ' '));
    EXPECT_EQ(w.ctx().nav.current(), PageId::SetHeadMessage) << "the page stays";
}

// ---- departments ----

TEST(DepartmentPage, SendsThreeStringsAndNotBoundToMenu) {
    TestWindow w;
    w.find<QComboBox>("cbDepID2")->setCurrentText("03");
    w.find<QLineEdit>("edDepName")->setText("DRINKS");
    w.find<QComboBox>("cbTaxType")->setCurrentText("B");
    w.click("bbtnExecSetDept");
    EXPECT_ARGS(w.user, "cmSetDepartName", text("03"), text("DRINKS"), text("B"));

    w.find<QComboBox>("cbDepID2")->setCurrentIndex(-1);
    w.find<QComboBox>("cbTaxType")->setCurrentIndex(-1);
    w.click("bbtnExecSetDept");
    EXPECT_ARGS(w.user, "cmSetDepartName", text(""), text("DRINKS"), text(""));

    w.user.clearCalls();
    w.click("bbtnSetDept"); // hidden, bound to nothing
    w.click("bbtnUploadDepart");
    EXPECT_TRUE(w.user.commands().empty());
}

// ---- clerks and service logon ----

TEST(ClerkPage, ModesShowOneButtonEach) {
    TestWindow w;
    w.click("bbtnSetClerkPwd");
    EXPECT_EQ(w.ctx().nav.current(), PageId::ClerkLogon);
    EXPECT_FALSE(w.find<QWidget>("btnExecClerkPwd")->isHidden());
    EXPECT_TRUE(w.find<QWidget>("btnExecClerkLogon")->isHidden());
    w.click("bbtnClerkLogon");
    EXPECT_TRUE(w.find<QWidget>("btnExecClerkPwd")->isHidden());
    EXPECT_FALSE(w.find<QWidget>("btnExecClerkLogon")->isHidden());
}

TEST(ClerkPage, ShortPasswordIsRefusedWithTheNumber3) {
    TestWindow w(true);
    w.click("bbtnClerkLogon");
    w.find<QLineEdit>("edClerkPwd")->setText("12");
    w.click("btnExecClerkLogon");
    EXPECT_EQ(w.user.count("cmClerkLogon"), 0);
    ASSERT_NE(w.messages.last(), nullptr);
    EXPECT_TRUE(w.messages.last()->text.contains("3")) << w.messages.last()->text.toStdString();
    EXPECT_FALSE(w.messages.last()->text.contains("12"));
    EXPECT_EQ(w.messages.last()->icon, IMessageService::Icon::Error);
    EXPECT_EQ(w.ctx().nav.current(), PageId::ClerkLogon);

    w.find<QLineEdit>("edClerkPwd")->setText(" 1 ");
    w.click("btnExecClerkPwd");
    EXPECT_EQ(w.user.count("cmSetClerkPwd"), 0) << "blanks do not count";
}

TEST(ClerkPage, LogonWithBlankClerkSendsZeroAndPasswordSetSendsName) {
    TestWindow w;
    w.click("bbtnClerkLogon");
    w.find<QLineEdit>("edClerkPwd")->setText("123");
    w.find<QLineEdit>("edClerkName")->setText(QString::fromUtf8("Żaneta"));
    w.click("btnExecClerkLogon");
    EXPECT_ARGS(w.user, "cmClerkLogon", num(0), text("123"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);

    w.click("bbtnSetClerkPwd");
    w.find<QLineEdit>("edClerk")->setText("4");
    w.user.reply("cmSetClerkPwd", -5);
    w.click("btnExecClerkPwd");
    EXPECT_ARGS(w.user, "cmSetClerkPwd", num(4), text("123"), text("Żaneta"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::ClerkLogon);
    EXPECT_EQ(w.find<QLineEdit>("edClerkPwd")->text(), "123") << "the clerk page keeps its fields";

    w.click("Button7");
    EXPECT_ARGS(w.user, "cmClerkLogout");
}

TEST(ClerkPage, PasswordFieldsTakeDigitsOnlyAndHideThem) {
    TestWindow w;
    auto* pwd = w.find<QLineEdit>("edClerkPwd");
    EXPECT_EQ(pwd->echoMode(), QLineEdit::Password);
    QTest::keyClicks(pwd, "1a-2.3");
    EXPECT_EQ(pwd->text(), "123");
    auto* service = w.find<QLineEdit>("edServicePwd");
    EXPECT_EQ(service->echoMode(), QLineEdit::Password);
    QTest::keyClicks(service, "9x8");
    EXPECT_EQ(service->text(), "98");
}

TEST(KeyFilters, PasteAndKeysHeldWithCtrlOrAltObeyTheFieldsRules) {
    TestWindow w;
    w.form->show();
    QApplication::setActiveWindow(w.form.get());
    struct Case {
        const char* field;
        const char* pasted;
        const char* expected;
    };
    // A rate field writes "." whatever the workstation's decimal sign.
    const QString rate = QStringLiteral("1x2.5.7ł");
    const QString rateKept = QStringLiteral("12.57");
    const Case cases[] = {{"edClerkPwd", "1a2", "12"},         {"edServicePwd", "9 8-7ą", "987"},
                          {"edIDNo", "12ab34", "1234"},        {"edIDCode", "x1y", "XY"},
                          {"ExchangeEdit1", nullptr, nullptr}, {"edDiscRate", "1a2.5", "12.5"}};
    for (const Case& c : cases) {
        auto* edit = w.find<QLineEdit>(c.field);
        const QString pasted = c.pasted ? QString::fromUtf8(c.pasted) : rate;
        const QString expected = c.expected ? QString::fromUtf8(c.expected) : rateKept;
        QWidget* page = edit;
        while (page && !qobject_cast<Page*>(page))
            page = page->parentWidget();
        ASSERT_NE(page, nullptr) << c.field;
        w.form->showPage(static_cast<Page*>(page)->id());
        edit->parentWidget()->setEnabled(true); // the second rate group starts disabled
        edit->clear();
        QApplication::clipboard()->setText(pasted);
        edit->paste();
        EXPECT_EQ(edit->text(), expected) << c.field;
        // AltGr arrives as Ctrl+Alt with a character (a Polish letter on Windows).
        QKeyEvent altGr(QEvent::KeyPress, 0, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("ł"));
        QApplication::sendEvent(edit, &altGr);
        EXPECT_EQ(edit->text(), expected) << c.field;
    }
    // The same rule as a pure function: typed one character after another.
    const prog::KeyFilterFn upperLetters = [](const QString&, QChar& key) {
        if (!prog::FilterLetterKey(key))
            return false;
        key = key.toUpper();
        return true;
    };
    EXPECT_EQ(prog::FilterText(QStringLiteral("a1b-ćd"), upperLetters), QStringLiteral("ABD"));
}

TEST(ServiceLogon, AdmitsSetTaxIdAndAFailedLogonClearsItAgain) {
    TestWindow w(true);
    w.click("bbtnUserMode");
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu) << "refused without a service logon";
    ASSERT_NE(w.messages.last(), nullptr);
    EXPECT_EQ(w.messages.last()->icon, IMessageService::Icon::None);
    EXPECT_FALSE(w.messages.last()->text.isEmpty());

    w.click("bbtnServiceLogon");
    EXPECT_EQ(w.ctx().nav.current(), PageId::ServiceLogon);
    w.find<QLineEdit>("edServicePwd")->setText("1234");
    w.click("bbtnExecServiceLogon");
    EXPECT_ARGS(w.user, "cmServiceLogon", text("1234"));
    EXPECT_TRUE(w.ctx().ServiceLoggedOn);
    EXPECT_TRUE(w.find<QLineEdit>("edServicePwd")->text().isEmpty());
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);
    w.click("bbtnUserMode");
    EXPECT_EQ(w.ctx().nav.current(), PageId::SetTaxId);

    w.ctx().nav.show(PageId::ServiceLogon);
    w.find<QLineEdit>("edServicePwd")->setText("0000");
    w.user.reply("cmServiceLogon", -1);
    w.messages.clear();
    w.click("bbtnExecServiceLogon");
    EXPECT_FALSE(w.ctx().ServiceLoggedOn);
    EXPECT_TRUE(w.find<QLineEdit>("edServicePwd")->text().isEmpty()) << "emptied after a failure too";
    EXPECT_EQ(w.ctx().nav.current(), PageId::ServiceLogon);
    for (const auto& box : w.messages.boxes)
        EXPECT_FALSE(box.text.contains("0000"));
    w.ctx().nav.show(PageId::Menu);
    w.click("bbtnUserMode");
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);
}

// ---- tax ID, identity, ECR number ----

TEST(TaxIdPage, FormatValueGoesThroughTheServiceLibrary) {
    TestWindow w(true);
    w.ctx().ServiceLoggedOn = true;
    w.click("bbtnUserMode");
    w.user.clearCalls();
    w.ctx().frame.EnsureLinkOpen(dev::Library::User);
    w.find<QLineEdit>("edTaxID")->setText("1234567890");
    w.find<QLineEdit>("edIDFmt")->setText("3322");
    w.click("btnSetTaxID");
    EXPECT_ARGS(w.service, "cmSetTaxID", text("1234567890"), num(13090));
    EXPECT_EQ(w.user.count("CloseTavo"), 1) << "the user link is closed before a service command";
    EXPECT_FALSE(w.ctx().frame.UserLinkOpen);
    EXPECT_TRUE(w.ctx().frame.ServiceLinkOpen);
}

TEST(TaxIdPage, BadFormatsAndShortTaxIdAreRefused) {
    TestWindow w(true);
    w.ctx().ServiceLoggedOn = true;
    w.find<QLineEdit>("edTaxID")->setText("1234567890");
    for (const char* fmt : {"3332", "", "55"}) {
        w.messages.clear();
        w.find<QLineEdit>("edIDFmt")->setText(fmt);
        w.click("btnSetTaxID");
        ASSERT_NE(w.messages.last(), nullptr) << fmt;
        EXPECT_EQ(w.messages.last()->icon, IMessageService::Icon::None) << fmt;
    }
    w.messages.clear();
    w.find<QLineEdit>("edIDFmt")->setText("3_22"); // a position left empty between digits
    w.click("btnSetTaxID");
    ASSERT_NE(w.messages.last(), nullptr);
    EXPECT_EQ(w.messages.last()->text, "' ' is not a valid integer value");

    w.find<QLineEdit>("edIDFmt")->setText("0000");
    w.find<QLineEdit>("edTaxID")->setText("12345");
    w.click("btnSetTaxID");
    EXPECT_EQ(w.service.count("cmSetTaxID"), 0);
    // The console's own string 19000, from the language library.
    ASSERT_NE(w.messages.last(), nullptr);
    EXPECT_EQ(w.messages.last()->text, w.ctx().LocaleString(19000));
    EXPECT_EQ(w.messages.last()->text, QStringLiteral("NIP musi mieć 10 cyfr."));
    w.find<QLineEdit>("edTaxID")->setText("9876543210");
    w.click("btnSetTaxID");
    EXPECT_ARGS(w.service, "cmSetTaxID", text("9876543210"), num(0));
}

TEST(SetIdPage, SetIdModeAndTheIdFilters) {
    TestWindow w;
    auto* code = w.find<QLineEdit>("edIDCode");
    auto* number = w.find<QLineEdit>("edIDNo");
    code->setText("OLD");
    number->setText("1");
    w.click("bbtnSetId");
    EXPECT_EQ(w.ctx().nav.current(), PageId::SetId);
    EXPECT_TRUE(code->text().isEmpty());
    EXPECT_TRUE(number->text().isEmpty());
    EXPECT_TRUE(w.find<QWidget>("btnExecEnterFiscalMode")->isHidden());
    EXPECT_FALSE(w.find<QWidget>("btnExecSetID")->isHidden());
    for (const char* name : {"StringGrid1", "Label130", "lbRate11", "lbFreeDep1", "lbTaxID1", "lbIDFmt1",
                             "lbCurDate1", "lbCurTime1", "lblCurrency", "CheckBox2", "Panel7"})
        EXPECT_FALSE(w.find<QWidget>(name)->isVisibleTo(w.form->page(PageId::SetId))) << name;

    QTest::keyClicks(code, "a1b-cd");
    EXPECT_EQ(code->text(), "ABC");
    // Ten digits, all sent: the printer judges the number.
    QTest::keyClicks(number, "12a3456789012");
    EXPECT_EQ(number->text(), "1234567890");
    w.click("btnExecSetID");
    EXPECT_ARGS(w.service, "cmSetID", text("ABC"), text("1234567890"));
    EXPECT_EQ(w.ctx().nav.current(), PageId::SetId);
}

TEST(SetIdPage, FiscalReviewFillsThePageAndEnablesOnlyOn1) {
    TestWindow w;
    bool reviewDuringUpload = false;
    w.user.during("cmUploadTaxRate", [&] { reviewDuringUpload = w.ctx().FiscalReviewMode; });
    QByteArray rates(40, '0');
    rates.replace(2, 3, "PLN");
    rates.replace(5, 3, "EUR");
    w.user.reply("cmUploadExchangeRate", 0, 0, rates);
    w.user.reply("cmUploadFisStatus", 0, 0, "001");
    w.click("bbtnEnterFiscalMode");
    EXPECT_TRUE(reviewDuringUpload);
    EXPECT_FALSE(w.ctx().FiscalReviewMode);
    EXPECT_EQ(w.ctx().nav.current(), PageId::SetId);
    auto* fiscal = w.find<QPushButton>("btnExecEnterFiscalMode");
    EXPECT_TRUE(fiscal->isEnabled());
    EXPECT_FALSE(fiscal->isHidden());
    EXPECT_TRUE(w.find<QWidget>("btnExecSetID")->isHidden());
    EXPECT_EQ(fiscal->x(), w.find<QWidget>("btnExecSetID")->x());
    EXPECT_TRUE(w.find<QWidget>("StringGrid1")->isVisibleTo(w.form->page(PageId::SetId)));
    EXPECT_EQ(w.find<QLabel>("lblCurrency")->text(), "PLN");
    EXPECT_EQ(w.ctx().receipt.CurrencyTable[1].code, "EUR");

    // The commands of the review, in turn, the fiscal status last.
    std::vector<std::string> order;
    for (const auto& c : w.user.commands())
        order.push_back(c.function);
    const auto at = [&](const char* f) { return std::find(order.begin(), order.end(), f) - order.begin(); };
    EXPECT_LT(at("cmUploadExchangeRate"), at("cmUploadTaxRate"));
    EXPECT_LT(at("cmUploadTaxRate"), at("cmUploadHeadMessage"));
    EXPECT_LT(at("cmUploadHeadMessage"), at("cmUploadFisStatus"));
    EXPECT_LT(at("cmUploadFisStatus"), static_cast<long>(order.size()));

    w.user.reply("cmUploadFisStatus", 0, 0, "000");
    w.click("bbtnEnterFiscalMode");
    EXPECT_FALSE(fiscal->isEnabled());
    w.user.reply("cmUploadFisStatus", 0, 0, "00");
    w.click("bbtnEnterFiscalMode");
    EXPECT_FALSE(fiscal->isEnabled()) << "a short answer has no third byte";
    w.user.reply("cmUploadFisStatus", -3);
    w.click("bbtnEnterFiscalMode");
    EXPECT_FALSE(fiscal->isEnabled());
    EXPECT_FALSE(w.ctx().FiscalReviewMode);
}

TEST(SetIdPage, EnterFiscalModeSendsTheIdThroughTheServiceLibrary) {
    TestWindow w;
    w.user.reply("cmUploadFisStatus", 0, 0, "001");
    w.click("bbtnEnterFiscalMode");
    w.find<QLineEdit>("edIDCode")->setText("ABC");
    w.find<QLineEdit>("edIDNo")->setText("77");
    w.click("btnExecEnterFiscalMode");
    EXPECT_ARGS(w.service, "cmEnterFiscalMode", text("ABC"), text("77"));
    EXPECT_FALSE(w.ctx().frame.UserLinkOpen);
}

TEST(EcrNumberPage, EmptyFieldStopsWithConversionMessage) {
    TestWindow w;
    w.click("Button2");
    EXPECT_EQ(w.ctx().nav.current(), PageId::EcrNumberSet);
    w.click("Button1");
    EXPECT_EQ(w.user.count("cmSetEcrNumber"), 0);
    ASSERT_NE(w.messages.last(), nullptr);
    EXPECT_EQ(w.messages.last()->text, "'' is not a valid integer value");
    EXPECT_EQ(w.ctx().nav.current(), PageId::EcrNumberSet);
    w.find<QLineEdit>("Edit3")->setText("5");
    w.click("Button1");
    EXPECT_ARGS(w.user, "cmSetEcrNumber", num(5));
    EXPECT_EQ(w.ctx().nav.current(), PageId::Menu);
}

// ---- device settings ----

TEST(DeviceSettings, DensityParameterAndSleep) {
    TestWindow w;
    w.click("bbtnPrinterSpeed");
    EXPECT_EQ(w.ctx().nav.current(), PageId::PrinterSpeed);
    w.find<QComboBox>("cbDensity")->setCurrentText("5");
    w.click("bbtnSetPrinterSpeed");
    EXPECT_ARGS(w.user, "cmSetPrinterSpeed", num(5));

    w.click("btn1");
    EXPECT_EQ(w.ctx().nav.current(), PageId::SetParameter);
    w.find<QCheckBox>("chk2")->setChecked(true);
    w.user.clearCalls();
    w.click("btn2");
    EXPECT_ARGS(w.user, "cmSetParameter", Arg::bytes("8110" + QByteArray(30, '0')));
    EXPECT_EQ(w.user.commands().size(), w.user.commands(true).size()) << "no sizing call";
    EXPECT_EQ(w.user.lastCommand()->lengthIn, 32);

    w.click("Button8");
    EXPECT_ARGS(w.user, "cmEcrSleepMode");
}

TEST(DeviceSettings, FirmwareUpdateClosesBothLinksFirst) {
    TestWindow w;
    w.find<QComboBox>("PortCB")->setCurrentIndex(2);
    w.ctx().frame.EnsureLinkOpen(dev::Library::User);
    w.user.clearCalls();
    w.messages.clear();
    pageOf<PrinterSpeedPage>(w, PageId::PrinterSpeed)->btnUpdateFullProgramClick();
    EXPECT_FALSE(w.ctx().frame.UserLinkOpen);
    EXPECT_FALSE(w.ctx().frame.ServiceLinkOpen);
    EXPECT_EQ(w.user.count("CloseTavo"), 1);
    ASSERT_FALSE(w.service.calls.empty());
    const auto& call = w.service.calls.back();
    EXPECT_EQ(call.function, "UpdateTavoProgram");
    EXPECT_EQ(call.args, (Args{num(1), Arg::bytes("COM3"), num(1)}));
    EXPECT_TRUE(w.messages.boxes.empty()) << "nothing is shown afterwards";

    pageOf<PrinterSpeedPage>(w, PageId::PrinterSpeed)->UpdateProgramBtnClick();
    EXPECT_EQ(w.service.calls.back().args[2], num(0));
}
